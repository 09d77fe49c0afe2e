#include "Framework/SysUtils.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "Framework/Exception.h"
#include "Framework/Locale.h"

std::string FormatV(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
#ifdef _WIN32
    // The system's C runtime formats what the program asks of it (%d, %s,
    // widths and zero padding) as the C standard does; mingw's own printf
    // would add some twenty kilobytes to the executable.
    int n = _vscprintf(format, measure);
#else
    int n = std::vsnprintf(nullptr, 0, format, measure);
#endif
    va_end(measure);
    if (n <= 0) return std::string();
    std::string result(static_cast<std::string::size_type>(n) + 1, '\0');
#ifdef _WIN32
    _vsnprintf(&result[0], result.size(), format, args);
#else
    std::vsnprintf(&result[0], result.size(), format, args);
#endif
    result.resize(static_cast<std::string::size_type>(n));
    return result;
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string result = FormatV(format, args);
    va_end(args);
    return result;
}

std::string IntToStr(long long value) { return std::to_string(value); }

bool TryStrToInt(const std::string& text, int& value) {
    std::string::size_type i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return false;
    unsigned long long acc = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        acc = acc * base + d;
        // Hexadecimal may fill all 32 bits (as $FFFFFFFF = -1); decimal must fit int.
        if (acc > (base == 16 ? 0xFFFFFFFFULL : (negative ? 2147483648ULL : 2147483647ULL))) return false;
    }
    long long v = (base == 16) ? static_cast<long long>(static_cast<int>(static_cast<unsigned int>(acc)))
                               : static_cast<long long>(acc);
    value = static_cast<int>(negative ? -v : v);
    return true;
}

int StrToInt(const std::string& text) {
    int value = 0;
    if (!TryStrToInt(text, value)) throw EConvertError(Format("'%s' は整数ではありません", text.c_str()));
    return value;
}

std::string Trim(const std::string& text) {
    std::string::size_type b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 0x20) ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 0x20) --e;
    return text.substr(b, e - b);
}

std::string UpperCaseAscii(const std::string& text) {
    const TLocale& loc = Locale();
    std::string r = text;
    for (std::string::size_type i = 0; i < r.size(); ++i) {
        if (loc.IsLeadByte(static_cast<unsigned char>(r[i]))) {
            ++i;  // a trail byte in a..z is part of a double-byte character
        } else if (r[i] >= 'a' && r[i] <= 'z') {
            r[i] = static_cast<char>(r[i] - 32);
        }
    }
    return r;
}

std::string ExtractFileName(const std::string& path) {
    auto p = LastDelimiter("\\:", path);
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ExtractFilePath(const std::string& path) {
    auto p = LastDelimiter("\\:", path);
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
    auto p = LastDelimiter(".\\:", path);
    if (p == std::string::npos || path[p] != '.') return path + ext;
    return path.substr(0, p) + ext;
}

void RaiseListIndexError(int index) {
    throw EStringListError(Format("リストのインデックスが範囲を超えています (%d)", index));
}

void RaiseAt(const char* source, int line) {
    throw Exception(Format("RVX:Exception occured at %s(%d).", source, line));
}

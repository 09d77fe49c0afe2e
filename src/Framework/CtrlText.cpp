#include "Framework/CtrlText.h"

#include <cctype>

#include "Framework/Locale.h"

std::string FilterToDoubleZero(const std::string& filter) {
    if (filter.empty()) return std::string();
    std::string out;
    out.reserve(filter.size() + 2);
    const TLocale& loc = Locale();
    for (size_t i = 0; i < filter.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(filter[i]);
        if (loc.IsLeadByte(c) && i + 1 < filter.size()) {
            out += filter[i];
            out += filter[++i];
        } else {
            out += c == '|' ? '\0' : filter[i];
        }
    }
    out += '\0';
    out += '\0';
    return out;
}

std::vector<std::string> TextLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t brk = text.find("\r\n", start);
        if (brk == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, brk - start));
        start = brk + 2;
    }
    return lines;
}

std::string LineAppendPiece(const std::string& text, const std::string& line) {
    bool open = !text.empty() && text.compare(text.size() >= 2 ? text.size() - 2 : 0, 2, "\r\n") != 0;
    return (open ? "\r\n" : "") + line + "\r\n";
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

bool IsAccel(char key, const std::string& caption) {
    // No double-byte code page has "&" as a trail byte, so every "&" byte is
    // one; the byte after it is a lead byte only when no letter follows.
    const auto upper = [](char c) { return std::toupper(static_cast<unsigned char>(c)); };
    for (size_t i = caption.find('&'); i != std::string::npos && i + 1 < caption.size(); i = caption.find('&', i + 2))
        if (caption[i + 1] != '&') return upper(caption[i + 1]) == upper(key);
    return false;
}

bool TCharReader::Whole(unsigned char c) {
    if (FTrailNext) {
        FTrailNext = false;
        return false;
    }
    FTrailNext = Locale().IsLeadByte(c);
    return !FTrailNext;
}

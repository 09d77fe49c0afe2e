#include "Framework/Locale.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

#ifdef _WIN32
class TWin32Locale : public TLocale {
public:
    int CompareText(const std::string& a, const std::string& b) const override {
        return Compare(NORM_IGNORECASE, a, b);
    }
    int CompareStr(const std::string& a, const std::string& b) const override {
        return Compare(0, a, b);
    }
    bool IsLeadByte(unsigned char c) const override { return IsDBCSLeadByte(c) != 0; }

private:
    static int Compare(DWORD flags, const std::string& a, const std::string& b) {
        int r = CompareStringA(LOCALE_USER_DEFAULT, flags, a.data(), static_cast<int>(a.size()),
                               b.data(), static_cast<int>(b.size()));
        return r - CSTR_EQUAL;
    }
};
const TWin32Locale platformLocale;
#else
const TNativeLocale platformLocale;
#endif

const TLocale* current = nullptr;

unsigned char FoldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

bool NativeLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

int CompareBytes(const std::string& a, const std::string& b, bool fold) {
    std::string::size_type n = std::min(a.size(), b.size());
    bool trail = false;  // trail bytes of double-byte characters are never folded
    for (std::string::size_type i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (fold && !trail) {
            x = FoldAscii(x);
            y = FoldAscii(y);
        }
        if (x != y) return x < y ? -1 : 1;
        trail = !trail && NativeLead(x);
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

const TLocale& Locale() { return current ? *current : platformLocale; }
void SetLocale(const TLocale* locale) { current = locale; }

int TNativeLocale::CompareText(const std::string& a, const std::string& b) const {
    return Sign(CompareBytes(a, b, true));
}
int TNativeLocale::CompareStr(const std::string& a, const std::string& b) const {
    return Sign(CompareBytes(a, b, false));
}
bool TNativeLocale::IsLeadByte(unsigned char c) const { return NativeLead(c); }

std::string::size_type AnsiPos(const std::string& needle, const std::string& text) {
    if (needle.empty() || needle.size() > text.size()) return std::string::npos;
    const TLocale& loc = Locale();
    std::string::size_type i = 0;
    while (i + needle.size() <= text.size()) {
        if (text.compare(i, needle.size(), needle) == 0) return i;
        i += (loc.IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    }
    return std::string::npos;
}

std::string::size_type LastDelimiter(const std::string& delims, const std::string& text) {
    const TLocale& loc = Locale();
    std::string::size_type found = std::string::npos;
    std::string::size_type i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (loc.IsLeadByte(c) && i + 1 < text.size()) {
            i += 2;
            continue;
        }
        if (delims.find(static_cast<char>(c)) != std::string::npos) found = i;
        ++i;
    }
    return found;
}

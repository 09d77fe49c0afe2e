#pragma once
// What portable code needs of the user's locale. Under Windows the real
// CompareStringA and lead-byte tables answer; natively a stand-in with the
// rules of the Japanese code page (932) does.
#include <string>

class TLocale {
public:
    virtual ~TLocale() = default;
    // Case-insensitive comparison under the user's default locale: <0, 0, >0.
    virtual int CompareText(const std::string& a, const std::string& b) const = 0;
    // Case-sensitive comparison under the user's default locale.
    virtual int CompareStr(const std::string& a, const std::string& b) const = 0;
    // True when the byte starts a double-byte character in the ANSI code page.
    virtual bool IsLeadByte(unsigned char c) const = 0;
};

// The locale in force: the platform's unless a test put another in place.
const TLocale& Locale();
// Puts a locale in place (nullptr restores the platform's); for tests.
void SetLocale(const TLocale* locale);

// The native stand-in: ASCII case folding, code page 932 lead bytes.
class TNativeLocale : public TLocale {
public:
    int CompareText(const std::string& a, const std::string& b) const override;
    int CompareStr(const std::string& a, const std::string& b) const override;
    bool IsLeadByte(unsigned char c) const override;
};

// Multi-byte-aware search: the 0-based position of the first occurrence of
// needle in text that starts on a character boundary, or npos.
std::string::size_type AnsiPos(const std::string& needle, const std::string& text);
// 0-based position of the last character of text that is one of delims
// (single-byte characters only), or npos; trail bytes never match.
std::string::size_type LastDelimiter(const std::string& delims, const std::string& text);

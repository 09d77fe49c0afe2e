#include "Lib/Inifileex.h"

#include <cstdarg>
#include <cstddef>
#include <exception>
#include <vector>

#include "Framework/SysUtils.h"
#include "Lib/IniStoreDateTime.h"

namespace {

bool IsSeparatorBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Splits a stored list into its items. ",", the double quote and the blank
// and control bytes are never the second byte of a double-byte character, so
// the bytes can be walked one by one.
std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && IsSeparatorBlank(text[i])) ++i;
    while (i < n) {
        std::string item;
        if (text[i] == '"') {
            for (++i; i < n; ++i) {
                if (text[i] != '"') {
                    item += text[i];
                } else if (i + 1 < n && text[i + 1] == '"') {
                    item += '"';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        } else {
            const std::size_t begin = i;
            while (i < n && !IsSeparatorBlank(text[i]) && text[i] != ',') ++i;
            item = text.substr(begin, i - begin);
        }
        items.push_back(item);
        while (i < n && IsSeparatorBlank(text[i])) ++i;
        if (i < n && text[i] == ',') {
            // A comma that ends the text ends it with an empty item.
            if (i + 1 == n) items.emplace_back();
            do ++i;
            while (i < n && IsSeparatorBlank(text[i]));
        }
    }
    return items;
}

// The stored text that means "no layout stored"; also what an absent key reads as.
constexpr char NoLayout[] = "0";

}  // namespace

TIniFileEx::TIniFileEx(const std::string& FileName)
    : TMemIniFile(FileName), FirstRun(SettleFirstRun()), FUncaughtAtCreation(std::uncaught_exceptions()) {}

bool TIniFileEx::SettleFirstRun() {
    if (ReadDateTime(AppInfoSection, FirstVaneIdent, 0) == 0) {
        WriteDateTime(AppInfoSection, FirstVaneIdent, DateTimeLocale().Now());
        return true;
    }
    if (ValueExists(AppInfoSection, DebugDoAsFirstIdent)) return ReadBool(AppInfoSection, DebugDoAsFirstIdent, false);
    WriteBool(AppInfoSection, DebugDoAsFirstIdent, false);
    return false;
}

TIniFileEx::~TIniFileEx() noexcept(false) {
    if (Modified() && std::uncaught_exceptions() <= FUncaughtAtCreation) UpdateFile();
}

void TIniFileEx::ReadColWidths(const std::string& Section, const std::string& Ident, IColWidths& Grid) const {
    const std::string text = ReadString(Section, Ident, NoLayout);
    if (text == NoLayout) return;
    const std::vector<std::string> items = SplitList(text);
    const int count = Grid.ColCount();
    for (std::size_t i = 0; i < items.size() && static_cast<long long>(i) < count; ++i)
        Grid.SetColWidth(static_cast<int>(i), StrToInt(items[i]));
}

void TIniFileEx::WriteColWidths(const std::string& Section, const std::string& Ident, const IColWidths& Grid) {
    std::string text;
    for (int i = 0; i < Grid.ColCount(); ++i) {
        if (i > 0) text += ',';
        text += IntToStr(Grid.ColWidth(i));
    }
    WriteString(Section, Ident, text);
}

void TIniFileEx::ReadBounds(const std::string& Section, const std::string& Ident, IBounds& Window) const {
    const std::string text = ReadString(Section, Ident, NoLayout);
    if (text == NoLayout) return;
    const std::vector<std::string> items = SplitList(text);
    int values[4];
    for (int i = 0; i < 4; ++i) {
        if (static_cast<std::size_t>(i) >= items.size()) RaiseListIndexError(i);
        values[i] = StrToInt(items[static_cast<std::size_t>(i)]);
    }
    Window.SetBounds(values[0], values[1], values[2], values[3]);
}

void TIniFileEx::WriteBounds(const std::string& Section, const std::string& Ident, const IBounds& Window) {
    WriteString(Section, Ident,
                Format("%d,%d,%d,%d", Window.Left(), Window.Top(), Window.Width(), Window.Height()));
}

std::string FormatText(const char* Format, ...) {
    va_list args;
    va_start(args, Format);
    std::string text = FormatV(Format, args);
    va_end(args);
    return text;
}

#include "Hotkey/ShortCut.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Framework/Locale.h"
#include "Framework/SysUtils.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr ShortCutCode scWin = 0x1000;
constexpr ShortCutCode scShift = 0x2000;
constexpr ShortCutCode scCtrl = 0x4000;
constexpr ShortCutCode scAlt = 0x8000;

constexpr const char* Separator = " + ";

// The key search runs past 255 on purpose: codes above it name their low
// byte, and a match there yields no shortcut.
constexpr ShortCutCode FirstKeyCode = 8;
constexpr ShortCutCode LastKeyCode = 0x255;

#ifdef _WIN32
class TWin32KeyNames : public TKeyNames {
public:
    std::string KeyName(std::uint8_t vk) const override {
        const LONG request = static_cast<LONG>(MapVirtualKeyA(vk, 0) << 16);
        if (request == 0) return {};
        char buffer[256] = {};
        GetKeyNameTextA(request, buffer, static_cast<int>(sizeof buffer));
        return std::string(buffer, strnlen(buffer, sizeof buffer));
    }
    std::uintptr_t Layout() const override { return reinterpret_cast<std::uintptr_t>(GetKeyboardLayout(0)); }
};
const TWin32KeyNames platformKeyNames;
#else
const TNativeKeyNames platformKeyNames;
#endif

const TKeyNames* currentKeyNames = nullptr;

// Every key's name, asked for once per layout: a conversion of a text
// compares up to 590 of them, and each costs the layout two system calls.
struct TKeyNameTable {
    const TKeyNames* Source = nullptr;
    std::uintptr_t Layout = 0;
    // 256 of them, on the heap: an array of strings would be stored whole
    // in the executable's data.
    std::vector<std::string> Names;
    // The codes from 8 to 0x255 that the key search compares, in order: a
    // code whose name an earlier code had already failed to match can't
    // match either, so it is left out (the codes above 0xFF repeat the names
    // of their low byte, and every nameless code after the first).
    std::vector<ShortCutCode> Searched;
};
TKeyNameTable keyNameTable;

const TKeyNameTable& KeyNameTable() {
    const TKeyNames& names = KeyNames();
    const std::uintptr_t layout = names.Layout();
    TKeyNameTable& t = keyNameTable;
    if (t.Source == &names && t.Layout == layout) return t;
    t.Source = nullptr;
    t.Names.resize(256);
    for (unsigned vk = 0; vk < 256; ++vk) t.Names[vk] = names.KeyName(static_cast<std::uint8_t>(vk));
    t.Searched.clear();
    bool namelessSearched = false;
    for (ShortCutCode code = FirstKeyCode; code <= LastKeyCode; ++code) {
        const unsigned vk = code & 0xFFu;
        if (code > 0xFF && vk >= FirstKeyCode) continue;
        if (t.Names[vk].empty()) {
            if (namelessSearched) continue;
            namelessSearched = true;
        }
        t.Searched.push_back(code);
    }
    t.Source = &names;
    t.Layout = layout;
    return t;
}

std::array<const char*, 256> UsKeyNameTable() {
    std::array<const char*, 256> t{};
    t[0x08] = "Backspace";
    t[0x09] = "Tab";
    t[0x0C] = "Num 5";
    t[0x0D] = "Enter";
    t[0x10] = "Shift";
    t[0x11] = "Ctrl";
    t[0x12] = "Alt";
    t[0x13] = "Pause";
    t[0x14] = "Caps Lock";
    t[0x1B] = "Esc";
    t[0x20] = "Space";
    t[0x21] = "Num 9";
    t[0x22] = "Num 3";
    t[0x23] = "Num 1";
    t[0x24] = "Num 7";
    t[0x25] = "Num 4";
    t[0x26] = "Num 8";
    t[0x27] = "Num 6";
    t[0x28] = "Num 2";
    t[0x2D] = "Num 0";
    t[0x2E] = "Num Del";
    static const char* const digits[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    for (int i = 0; i < 10; ++i) t[static_cast<size_t>(0x30 + i)] = digits[i];
    static const char* const letters[26] = {"A", "B", "C", "D", "E", "F", "G", "H", "I",
                                            "J", "K", "L", "M", "N", "O", "P", "Q", "R",
                                            "S", "T", "U", "V", "W", "X", "Y", "Z"};
    for (int i = 0; i < 26; ++i) t[static_cast<size_t>(0x41 + i)] = letters[i];
    static const char* const keypad[10] = {"Num 0", "Num 1", "Num 2", "Num 3", "Num 4",
                                           "Num 5", "Num 6", "Num 7", "Num 8", "Num 9"};
    for (int i = 0; i < 10; ++i) t[static_cast<size_t>(0x60 + i)] = keypad[i];
    t[0x6A] = "Num *";
    t[0x6B] = "Num +";
    t[0x6D] = "Num -";
    t[0x6E] = "Num Del";
    t[0x6F] = "/";
    static const char* const functions[24] = {"F1",  "F2",  "F3",  "F4",  "F5",  "F6",
                                              "F7",  "F8",  "F9",  "F10", "F11", "F12",
                                              "F13", "F14", "F15", "F16", "F17", "F18",
                                              "F19", "F20", "F21", "F22", "F23", "F24"};
    for (int i = 0; i < 24; ++i) t[static_cast<size_t>(0x70 + i)] = functions[i];
    // Num Lock shares its scan code with Pause; without the extended bit the
    // layout answers "Pause" for both.
    t[0x90] = "Pause";
    t[0x91] = "Scroll Lock";
    t[0xA0] = "Shift";
    t[0xA1] = "Right Shift";
    t[0xA2] = "Ctrl";
    t[0xA3] = "Ctrl";
    t[0xA4] = "Alt";
    t[0xA5] = "Alt";
    t[0xBA] = ";";
    t[0xBB] = "=";
    t[0xBC] = ",";
    t[0xBD] = "-";
    t[0xBE] = ".";
    t[0xBF] = "/";
    t[0xC0] = "`";
    t[0xDB] = "[";
    t[0xDC] = "\\";
    t[0xDD] = "]";
    t[0xDE] = "'";
    return t;
}

// Upper-cases the ASCII letters a-z that are characters of their own; the
// trail byte of a double-byte character may lie in that range too and must
// stay, or the character would turn into another one.
std::string UpperCaseLetters(const std::string& text) {
    const TLocale& loc = Locale();
    std::string r = text;
    for (std::string::size_type i = 0; i < r.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(r[i]);
        if (loc.IsLeadByte(c)) {
            ++i;
        } else if (c >= 'a' && c <= 'z') {
            r[i] = static_cast<char>(c - ('a' - 'A'));
        }
    }
    return r;
}

// Removes every single-byte "+"; a double-byte character is passed over whole.
std::string RemovePlusSigns(const std::string& text) {
    const TLocale& loc = Locale();
    std::string r;
    r.reserve(text.size());
    for (std::string::size_type i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (loc.IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < text.size()) {
            r += c;
            r += text[++i];
        } else if (c != '+') {
            r += c;
        }
    }
    return r;
}

}  // namespace

const TKeyNames& KeyNames() { return currentKeyNames ? *currentKeyNames : platformKeyNames; }
void SetKeyNames(const TKeyNames* names) {
    currentKeyNames = names;
    // Another object may come to the same address: ask it for its names.
    keyNameTable.Source = nullptr;
}

std::string TNativeKeyNames::KeyName(std::uint8_t vk) const {
    static const std::array<const char*, 256> table = UsKeyNameTable();
    const char* name = table[vk];
    return name ? std::string(name) : std::string();
}

ShortCutCode MakeShortCut(std::uint16_t key, ShiftKeys shift) {
    if ((key & 0xFF00) != 0) return 0;
    ShortCutCode code = key;
    if (shift.Contains(ShiftKey::Shift)) code |= scShift;
    if (shift.Contains(ShiftKey::Ctrl)) code |= scCtrl;
    if (shift.Contains(ShiftKey::Alt)) code |= scAlt;
    if (shift.Contains(ShiftKey::Win)) code |= scWin;
    return code;
}

void SplitShortCut(ShortCutCode code, std::uint16_t& key, ShiftKeys& shift) {
    key = static_cast<std::uint16_t>(code & 0x0FFF);
    shift = ShiftKeys();
    if (code & scShift) shift.Include(ShiftKey::Shift);
    if (code & scCtrl) shift.Include(ShiftKey::Ctrl);
    if (code & scAlt) shift.Include(ShiftKey::Alt);
    if (code & scWin) shift.Include(ShiftKey::Win);
}

std::string ShortCutToText(ShortCutCode code) {
    std::string text = KeyNameTable().Names[code & 0xFFu];
    if (text.empty()) return text;
    auto prepend = [&text](ShiftKey m) {
        text = ShiftNames[static_cast<unsigned>(m)] + (Separator + text);
    };
    if (code & scShift) prepend(ShiftKey::Shift);
    if (code & scCtrl) prepend(ShiftKey::Ctrl);
    if (code & scAlt) prepend(ShiftKey::Alt);
    if (code & scWin) prepend(ShiftKey::Win);
    return text;
}

ShortCutCode TextToShortCut(const std::string& text) {
    std::string rest = UpperCaseLetters(text);
    ShiftKeys shift;
    for (unsigned i = 0; i < 8; ++i) {
        const std::string word = ShiftNames[i];
        const std::string::size_type pos = AnsiPos(word, rest);
        if (pos == std::string::npos) continue;
        rest.erase(pos, word.size());
        shift.Include(static_cast<ShiftKey>(i));
    }
    const std::string keyPart = Trim(RemovePlusSigns(rest));

    const TLocale& loc = Locale();
    const TKeyNameTable& table = KeyNameTable();
    for (const ShortCutCode code : table.Searched) {
        if (loc.CompareText(keyPart, table.Names[code & 0xFFu]) == 0) return MakeShortCut(code, shift);
    }
    return 0;
}

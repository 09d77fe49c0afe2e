#include "Hotkey/ShortCut.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "Framework/SysUtils.h"

namespace {

// A layout of a few keys, for the rules that do not depend on real names.
class TFakeKeyNames : public TKeyNames {
public:
    explicit TFakeKeyNames(std::map<std::uint8_t, std::string> names) : FNames(std::move(names)) {}
    std::string KeyName(std::uint8_t vk) const override {
        auto it = FNames.find(vk);
        return it == FNames.end() ? std::string() : it->second;
    }

private:
    std::map<std::uint8_t, std::string> FNames;
};

// Puts a layout in place for one test and restores the platform's after it.
class ScopedKeyNames {
public:
    explicit ScopedKeyNames(const TKeyNames& names) { SetKeyNames(&names); }
    ~ScopedKeyNames() { SetKeyNames(nullptr); }
    ScopedKeyNames(const ScopedKeyNames&) = delete;
    ScopedKeyNames& operator=(const ScopedKeyNames&) = delete;
};

std::string Hex(unsigned v) { return Format("0x%04X", v); }

// The modifier combinations the code can carry: Win, Shift, Ctrl, Alt.
ShiftKeys Combination(unsigned i) {
    ShiftKeys s;
    if (i & 1) s.Include(ShiftKey::Win);
    if (i & 2) s.Include(ShiftKey::Shift);
    if (i & 4) s.Include(ShiftKey::Ctrl);
    if (i & 8) s.Include(ShiftKey::Alt);
    return s;
}

// The first code from 8 upward whose key the layout in force does not name.
ShortCutCode FirstNamelessCode() {
    for (unsigned code = 8; code <= 0x255; ++code)
        if (KeyNames().KeyName(static_cast<std::uint8_t>(code & 0xFF)).empty())
            return static_cast<ShortCutCode>(code);
    return 0;
}

}  // namespace

TEST(ShiftKeys, MemberIIsBitIOfOneByte) {
    const ShiftKey members[] = {ShiftKey::Shift, ShiftKey::Alt,    ShiftKey::Ctrl,   ShiftKey::Left,
                                ShiftKey::Right, ShiftKey::Middle, ShiftKey::Double, ShiftKey::Win};
    const char* const words[] = {"SHIFT", "ALT", "CTRL", "LEFT", "RIGHT", "MIDDLE", "DOUBLE", "WIN"};
    for (unsigned i = 0; i < 8; ++i) {
        ShiftKeys s{members[i]};
        EXPECT_EQ(s.Bits(), 1u << i) << words[i];
        EXPECT_STREQ(ShiftNames[i], words[i]);
        EXPECT_TRUE(s.Contains(members[i]));
        EXPECT_TRUE(s.Exclude(members[i]).Empty());
    }
    EXPECT_EQ(ShiftKeys::FromBits(0x81), (ShiftKeys{ShiftKey::Shift, ShiftKey::Win}));
}

TEST(MakeShortCut, SetsTheCodeBitsOfShiftCtrlAltAndWinOnly) {
    struct Case { std::uint16_t key; ShiftKeys shift; ShortCutCode code; };
    const Case cases[] = {
        {0x41, {ShiftKey::Win}, 0x1041},
        {0x41, {ShiftKey::Win, ShiftKey::Left}, 0x1041},
        {0x70, {ShiftKey::Ctrl, ShiftKey::Win}, 0x5070},
        {0x5A, {ShiftKey::Shift}, 0x205A},
        {0x5A, {ShiftKey::Alt}, 0x805A},
        {0x41, ShiftKeys::FromBits(0xFF), 0xF041},
        {0x41, {ShiftKey::Left, ShiftKey::Right, ShiftKey::Middle, ShiftKey::Double}, 0x0041},
        {0xFF, {}, 0x00FF},
        {0x0141, {ShiftKey::Win}, 0},
        {0x8000, ShiftKeys::FromBits(0xFF), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MakeShortCut(c.key, c.shift), c.code) << Hex(c.key) << " " << int(c.shift.Bits());
}

TEST(SplitShortCut, GivesTwelveKeyBitsAndTheFourModifiers) {
    struct Case { ShortCutCode code; std::uint16_t key; ShiftKeys shift; };
    const Case cases[] = {
        {0x5070, 0x70, {ShiftKey::Ctrl, ShiftKey::Win}},
        {0x1341, 0x341, {ShiftKey::Win}},
        {0xF0FF, 0xFF, {ShiftKey::Shift, ShiftKey::Alt, ShiftKey::Ctrl, ShiftKey::Win}},
        {0x2F00, 0xF00, {ShiftKey::Shift}},
        {0x0000, 0, {}},
    };
    for (const Case& c : cases) {
        std::uint16_t key = 0xFFFF;
        ShiftKeys shift = ShiftKeys::FromBits(0xFF);
        SplitShortCut(c.code, key, shift);
        EXPECT_EQ(key, c.key) << Hex(c.code);
        EXPECT_EQ(shift, c.shift) << Hex(c.code);
    }
}

TEST(ShortCutToText, WritesWinAltCtrlShiftThenTheKeyName) {
    struct Case { ShortCutCode code; const char* text; };
    const Case cases[] = {
        {0x1041, "WIN + A"},
        {0x107B, "WIN + F12"},
        {0x5041, "WIN + CTRL + A"},
        {0x3070, "WIN + SHIFT + F1"},
        {0xF05A, "WIN + ALT + CTRL + SHIFT + Z"},
        {0xA045, "ALT + SHIFT + E"},
        {0x0041, "A"},
        {0x1341, "WIN + A"},
        {0x1000, ""},
        {0xF000, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ShortCutToText(c.code), c.text) << Hex(c.code);
}

TEST(TextToShortCut, ReadsModifierWordsAnywhereAndInAnyCase) {
    struct Case { const char* text; ShortCutCode code; };
    const Case cases[] = {
        {"WIN + A", 0x1041},
        {"ctrl + shift + f5", 0x6074},
        {"SHIFT + WIN + B", 0x3042},
        {"win+a", 0x1041},
        {"a + WIN", 0x1041},
        {"A+wIn", 0x1041},
        {"WIN + LEFT + A", 0x1041},
        {"right middle double win a", 0x1041},
        {"WIN + ALT + CTRL + SHIFT + Z", 0xF05A},
        {"z shift ctrl alt win", 0xF05A},
        {"\t  WIN + F12 \r\n", 0x107B},
        {"++WIN+++F1++", 0x1070},
        {"A", 0x0041},
        {"f1", 0x0070},
        // The words are searched for in the order SHIFT ... WIN, each in what
        // the earlier deletions left: "WI" + "N" meet once SHIFT is gone.
        {"WISHIFTN + A", 0x3041},
        {"CTRALTL + A", 0xC041},
        {"WIN + NO SUCH KEY", 0},
        {"WIN + A + B", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(TextToShortCut(c.text), c.code) << c.text;
}

TEST(TextToShortCut, RoundTripsEveryEditorKeyWithEveryModifierCombination) {
    std::uint16_t keys[38];
    for (unsigned i = 0; i < 26; ++i) keys[i] = static_cast<std::uint16_t>(0x41 + i);
    for (unsigned i = 0; i < 12; ++i) keys[26 + i] = static_cast<std::uint16_t>(0x70 + i);
    for (std::uint16_t key : keys) {
        for (unsigned m = 0; m < 16; ++m) {
            const ShortCutCode code = MakeShortCut(key, Combination(m));
            const std::string text = ShortCutToText(code);
            ASSERT_FALSE(text.empty()) << Hex(code);
            EXPECT_EQ(TextToShortCut(text), code) << text;
        }
    }
}

TEST(TextToShortCut, AnEmptyKeyPartTakesTheFirstNamelessCode) {
    const ShortCutCode nameless = FirstNamelessCode();
    ASSERT_GE(nameless, 8);
    ASSERT_LE(nameless, 0xFF);
    EXPECT_EQ(TextToShortCut("WIN + "), nameless | 0x1000);
    EXPECT_EQ(TextToShortCut("WIN"), nameless | 0x1000);
    EXPECT_EQ(TextToShortCut(""), nameless);

    // Keys 8 and 9 named, 10 not: the search stops at 10.
    TFakeKeyNames layout({{0x08, "Back"}, {0x09, "Tab"}, {0x41, "A"}});
    ScopedKeyNames scoped(layout);
    EXPECT_EQ(TextToShortCut("WIN + "), 0x100A);
    EXPECT_EQ(TextToShortCut(" + shift + "), 0x200A);
}

TEST(TextToShortCut, AKeyFoundOnlyAbove255YieldsNoShortcut) {
    // Every key but 0 named: the first nameless code is 0x100, whose key does
    // not fit in a code.
    std::map<std::uint8_t, std::string> names;
    for (unsigned vk = 1; vk < 256; ++vk) names[static_cast<std::uint8_t>(vk)] = Format("K%u", vk);
    TFakeKeyNames layout(names);
    ScopedKeyNames scoped(layout);
    EXPECT_EQ(TextToShortCut("WIN + "), 0);
    EXPECT_EQ(TextToShortCut("WIN + K200"), 0x10C8);
}

TEST(TextToShortCut, StripsEachWordOnceAndTakesTheFirstCodeOfAName) {
    TFakeKeyNames layout({{0x14, "Caps Lock"},
                          {0x30, "dup"},
                          {0x31, "DUP"},
                          {0x41, "A"},
                          {0x5B, "Win Key"},
                          {0xA1, "Right Shift"}});
    ScopedKeyNames scoped(layout);
    struct Case { const char* text; ShortCutCode code; };
    const Case cases[] = {
        // Only the first WIN goes; the second belongs to the key's name.
        {"WIN + Win Key", 0x105B},
        {"Win Key", 0},
        {"win + caps lock", 0x1014},
        {"WIN + DUP", 0x1030},
        // A name made of modifier words loses them and names no key:
        // the empty key part takes the first nameless code, 8.
        {"WIN + Right Shift", 0x3008},
    };
    for (const Case& c : cases) EXPECT_EQ(TextToShortCut(c.text), c.code) << c.text;
    EXPECT_EQ(ShortCutToText(0x10A1), "WIN + Right Shift");
}

TEST(TextToShortCut, MatchesNoWordInsideADoubleByteCharacter) {
    // "ジ" is 0x83 0x57 ("W") and "ヂ" is 0x83 0x61 ("a") in Shift-JIS.
    TFakeKeyNames layout({{0x41, "A"}, {0xE5, "ジIN"}, {0xE6, "ヂ"}, {0xE7, "漢字"}});
    ScopedKeyNames scoped(layout);
    ASSERT_EQ(std::string("ジ"), "\x83\x57");
    struct Case { const char* text; ShortCutCode code; };
    const Case cases[] = {
        // "WIN" straddles the boundary after 0x83: it is no word there.
        {"ジIN", 0x00E5},
        {"ジIN + WIN", 0x10E5},
        {"WIN + ジIN", 0x10E5},
        // The trail byte "a" is no letter: it keeps its case.
        {"win + ヂ", 0x10E6},
        {"漢字 + ctrl", 0x40E7},
    };
    for (const Case& c : cases) EXPECT_EQ(TextToShortCut(c.text), c.code) << c.text;
    EXPECT_EQ(ShortCutToText(0x10E5), "WIN + ジIN");
}

// The names are kept per layout: a switch of the keyboard layout names the
// keys anew, in both directions.
TEST(TextToShortCut, FollowsAChangeOfKeyboardLayout) {
    class TSwitchingKeyNames : public TKeyNames {
    public:
        std::uintptr_t Current = 1;
        std::string KeyName(std::uint8_t vk) const override {
            if (vk != 0x41) return {};
            return Current == 1 ? "A" : "Q";
        }
        std::uintptr_t Layout() const override { return Current; }
    };
    TSwitchingKeyNames names;
    ScopedKeyNames scoped(names);
    EXPECT_EQ(TextToShortCut("WIN + A"), 0x1041);
    EXPECT_EQ(ShortCutToText(0x1041), "WIN + A");
    names.Current = 2;
    EXPECT_EQ(TextToShortCut("WIN + Q"), 0x1041);
    EXPECT_EQ(ShortCutToText(0x1041), "WIN + Q");
}

TEST(NativeKeyNames, NameTheKeysOfAUsLayout) {
    const TNativeKeyNames names;
    for (unsigned i = 0; i < 26; ++i) EXPECT_EQ(names.KeyName(static_cast<std::uint8_t>(0x41 + i)), std::string(1, char('A' + i)));
    for (unsigned i = 0; i < 10; ++i) EXPECT_EQ(names.KeyName(static_cast<std::uint8_t>(0x30 + i)), std::string(1, char('0' + i)));
    for (unsigned i = 0; i < 24; ++i) EXPECT_EQ(names.KeyName(static_cast<std::uint8_t>(0x70 + i)), Format("F%u", i + 1));
    EXPECT_EQ(names.KeyName(0x20), "Space");
    EXPECT_EQ(names.KeyName(0x0D), "Enter");
    EXPECT_EQ(names.KeyName(0xDC), "\\");
    for (std::uint8_t nameless : {0x00, 0x01, 0x07, 0x0A, 0x5B, 0x5C, 0xFF})
        EXPECT_EQ(names.KeyName(nameless), "") << Hex(nameless);
}

// Names with a modifier word or a plus sign in them lose it on the way back;
// a name that an earlier key also has goes back to that key.
TEST(NativeKeyNames, EveryOtherNamedKeyRoundTrips) {
    const TNativeKeyNames names;
    ScopedKeyNames scoped(names);
    std::map<std::string, unsigned> firstOfName;
    for (unsigned vk = 8; vk < 256; ++vk) {
        const std::string name = UpperCaseAscii(names.KeyName(static_cast<std::uint8_t>(vk)));
        if (!name.empty()) firstOfName.emplace(name, vk);
    }
    ASSERT_GT(firstOfName.size(), 80u);
    unsigned tried = 0;
    for (const auto& [name, vk] : firstOfName) {
        bool keeps = name.find('+') == std::string::npos;
        for (const char* word : ShiftNames) keeps = keeps && name.find(word) == std::string::npos;
        if (!keeps) continue;
        ++tried;
        const ShortCutCode code = static_cast<ShortCutCode>(0x9000 | vk);
        EXPECT_EQ(TextToShortCut(ShortCutToText(code)), code) << name;
    }
    EXPECT_GT(tried, 75u);
}

#include "Framework/CtrlText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Framework/Locale.h"

namespace {

struct NativeLocaleInForce {
    TNativeLocale locale;
    NativeLocaleInForce() { SetLocale(&locale); }
    ~NativeLocaleInForce() { SetLocale(nullptr); }
};

}  // namespace

TEST(FilterToDoubleZero, SplitsAtBarsOnCharacterBoundaries) {
    NativeLocaleInForce loc;
    struct Case {
        std::string filter, expected;
    };
    using namespace std::string_literals;
    const Case cases[] = {
        {"", ""},
        {"All|*.*", "All\0*.*\0\0"s},
        {"プログラム(*.EXE)|*.EXE|すべてのファイル (*.*)|*.*",
         "プログラム(*.EXE)\0*.EXE\0すべてのファイル (*.*)\0*.*\0\0"s},
        // "ポ" is 0x83 0x7C: its trail byte is no separator.
        {"ポ|*.p", "ポ\0*.p\0\0"s},
        {"a||b", "a\0\0b\0\0"s},
        // A lead byte at the very end is kept as it is.
        {"x|\x83", "x\0\x83\0\0"s},
    };
    for (const Case& c : cases) EXPECT_EQ(FilterToDoubleZero(c.filter), c.expected) << c.filter;
    ASSERT_EQ(std::string("ポ"), "\x83\x7C");
}

TEST(MemoText, LinesEndWithCrLfAndTheRestAfterTheLastDoesNotCount) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\n\r\n", {"a", ""}},
        {"\r\n", {""}},
        {"一行目\r\n二行目\r\n", {"一行目", "二行目"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextLines(c.text), c.lines) << c.text;
        EXPECT_EQ(TextLines(JoinLines(c.lines)), c.lines) << c.text;
    }
}

TEST(MemoText, AppendingALineClosesAnOpenLastLineFirst) {
    struct Case {
        std::string text, line, piece;
    };
    const Case cases[] = {
        {"", "x", "x\r\n"},
        {"a\r\n", "x", "x\r\n"},
        {"a", "x", "\r\nx\r\n"},
        {"a\r", "x", "\r\nx\r\n"},
        {"a\r\n", "", "\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LineAppendPiece(c.text, c.line), c.piece) << c.text;
        std::vector<std::string> lines = TextLines(c.text + c.piece);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), c.line);
    }
}

TEST(FirstLine, StopsAtTheFirstLineBreakOfEitherKind) {
    EXPECT_EQ(FirstLine(""), "");
    EXPECT_EQ(FirstLine("C:\\a.exe"), "C:\\a.exe");
    EXPECT_EQ(FirstLine("C:\\a.exe\r\nsecond"), "C:\\a.exe");
    EXPECT_EQ(FirstLine("one\ntwo"), "one");
    EXPECT_EQ(FirstLine("one\rtwo"), "one");
    EXPECT_EQ(FirstLine("\r\nx"), "");
}

TEST(IsAccel, TheLetterAfterASingleAmpersandInEitherCase) {
    struct Case {
        char key;
        std::string caption;
        bool accel;
    };
    const Case cases[] = {
        {'e', "編集(&E)", true},  {'E', "編集(&E)", true},   {'d', "編集(&E)", false},
        {'b', "A&&B", false},     {'&', "A&&B", false},      {'c', "&&&C", true},
        {'x', "OK", false},       {'x', "trailing&", false},
        // "&ア": the letter's place holds a double-byte character, whose
        // trail byte 0x41 is no "A".
        {'a', "&ア", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsAccel(c.key, c.caption), c.accel) << c.key << " " << c.caption;
    ASSERT_EQ(std::string("ア"), "\x83\x41");
}

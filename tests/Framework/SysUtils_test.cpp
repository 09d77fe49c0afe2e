#include "Framework/SysUtils.h"

#include <gtest/gtest.h>

#include "Framework/Exception.h"

TEST(StrToInt, AcceptsDecimalHexAndSigns) {
    struct Case { const char* text; int value; };
    const Case cases[] = {{"0", 0}, {"42", 42}, {"-7", -7}, {" 12", 12}, {"$1F", 31},
                          {"0x10", 16}, {"0X10", 16}, {"2147483647", 2147483647},
                          {"-2147483648", -2147483647 - 1}, {"$FFFFFFFF", -1}};
    for (const Case& c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
}

TEST(StrToInt, RefusesWhatIsNoIntegerWithTheFrameworkMessage) {
    for (const char* bad : {"", "abc", "12a", "2147483648", "$", "0x", "1 ", "$100000000"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), Format("'%s' は整数ではありません", bad));
        }
    }
}

TEST(Format, ProducesTheWholeTextOrNothing) {
    EXPECT_EQ(Format("#Item  %02d", 7), "#Item  07");
    EXPECT_EQ(Format("%s", ""), "");
    std::string longText(5000, 'x');
    EXPECT_EQ(Format("<%s>", longText.c_str()).size(), 5002u);
}

TEST(Paths, SplitAtTheLastSeparatorOutsideDoubleByteCharacters) {
    EXPECT_EQ(ExtractFileName("C:\\Tools\\Editor.exe"), "Editor.exe");
    EXPECT_EQ(ExtractFilePath("C:\\Tools\\Editor.exe"), "C:\\Tools\\");
    EXPECT_EQ(ExtractFilePath("C:a.exe"), "C:");
    EXPECT_EQ(ChangeFileExt("C:\\a\\Keyvane.exe", ".ini"), "C:\\a\\Keyvane.ini");
    EXPECT_EQ(ChangeFileExt("C:\\a\\Keyvane.exe", "ini"), "C:\\a\\Keyvaneini");
    EXPECT_EQ(ChangeFileExt("C:\\a.b\\Keyvane", ".lnk"), "C:\\a.b\\Keyvane.lnk");
    EXPECT_EQ(ChangeFileExt("my.tool.exe", ""), "my.tool");
    // "表" is 0x95 0x5C in Shift-JIS: its trail byte is no separator.
    EXPECT_EQ(ExtractFileName("C:\\表.exe"), "表.exe");
    EXPECT_EQ(ExtractFilePath("C:\\x\\表"), "C:\\x\\");
}

TEST(UpperCaseAscii, LeavesDoubleByteCharactersAlone) {
    EXPECT_EQ(UpperCaseAscii("win + a"), "WIN + A");
    // "ヂ" is 0x83 0x61: its trail byte looks like "a" and must stay.
    EXPECT_EQ(UpperCaseAscii("ヂa"), "ヂA");
}

TEST(Trim, RemovesControlCharactersAndBlanksAtBothEnds) {
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(Trim("   "), "");
}

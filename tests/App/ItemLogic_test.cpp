#include "App/ItemLogic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Hotkey/ShortCut.h"

TEST(ItemKeyList, OffersTheLettersThenTheFunctionKeysByTheirNames) {
    const std::vector<std::uint16_t>& codes = ItemKeyCodes();
    ASSERT_EQ(codes.size(), 38u);
    std::vector<std::string> names;
    for (std::uint16_t vk : codes) names.push_back(ShortCutToText(MakeShortCut(vk, ShiftKeys())));
    EXPECT_EQ(codes.front(), 0x41);
    EXPECT_EQ(codes[25], 0x5A);
    EXPECT_EQ(codes[26], 0x70);
    EXPECT_EQ(codes.back(), 0x7B);
    EXPECT_EQ(names.front(), "A");
    EXPECT_EQ(names[25], "Z");
    EXPECT_EQ(names[26], "F1");
    EXPECT_EQ(names.back(), "F12");
    for (std::size_t i = 0; i < 26; ++i) EXPECT_EQ(codes[i], 0x41 + i) << i;
    for (std::size_t i = 26; i < 38; ++i) EXPECT_EQ(codes[i], 0x70 + (i - 26)) << i;
}

TEST(ItemKeyList, AStoredShortCutSelectsItsKeyOrNothing) {
    const struct {
        const char* text;
        int index;
    } cases[] = {
        {"WIN + A", 0},
        {"WIN + Z", 25},
        {"WIN + F1", 26},
        {"WIN + F5", 30},
        {"WIN + F12", 37},
        {"win+f5", 30},           // typed by hand into the settings file
        {"WIN + ALT + B", 1},     // the list shows the key only
        {"WIN + 1", -1},          // a key the list does not offer
        {"WIN + Space", -1},
        {"", -1},
        {"WIN + ", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(KeyIndexForShortCut(c.text), c.index) << c.text;
}

TEST(ItemCloseCheck, ReportsOnlyTheFirstMissingEntryInOrder) {
    const std::string noKey = "ショートカットキーが定義されていません。";
    const std::string noName = "名前が定義されていません。";
    const std::string noCommand = "プログラムが定義されていません。";
    EXPECT_EQ(ItemCloseProblem("", "", ""), noKey);
    EXPECT_EQ(ItemCloseProblem("", "Editor", "C:\\Tools\\Editor.exe"), noKey);
    EXPECT_EQ(ItemCloseProblem("F5", "", ""), noName);
    EXPECT_EQ(ItemCloseProblem("F5", "", "C:\\Tools\\Editor.exe"), noName);
    EXPECT_EQ(ItemCloseProblem("F5", "Editor", ""), noCommand);
    EXPECT_EQ(ItemCloseProblem("F5", "Editor", "C:\\Tools\\Editor.exe"), "");
    // Blanks are an entry; only the empty text is missing.
    EXPECT_EQ(ItemCloseProblem("F5", " ", " "), "");
}

TEST(ItemChosenProgram, FillsCommandNameAndFolder) {
    const struct {
        const char* path;
        const char* name;
        const char* folder;
    } cases[] = {
        {"C:\\Tools\\Editor.exe", "Editor", "C:\\Tools\\"},
        {"C:\\Tools\\my.tool.exe", "my.tool", "C:\\Tools\\"},
        {"C:\\Tools\\README", "README", "C:\\Tools\\"},
        {"C:\\Editor.exe", "Editor", "C:\\"},
        {"\\\\server\\share\\run.bat", "run", "\\\\server\\share\\"},
        {"C:\\Tools.d\\run", "run", "C:\\Tools.d\\"},
        // The second byte of ソ and 表 is the separator's byte: the double-byte
        // characters must stay whole.
        {"C:\\ソフト\\表.exe", "表", "C:\\ソフト\\"},
    };
    for (const auto& c : cases) {
        const TChosenProgram p = ChosenProgramFields(c.path);
        EXPECT_EQ(p.Command, c.path);
        EXPECT_EQ(p.Name, c.name) << c.path;
        EXPECT_EQ(p.Path, c.folder) << c.path;
    }
}

TEST(ItemHelp, TopicLiesBesideTheProgram) {
    EXPECT_EQ(ItemHelpTopic("C:\\Program Files\\Keyvane\\Keyvane.exe"),
              "C:\\Program Files\\Keyvane\\kyvane.chm::/item.htm");
    EXPECT_EQ(ItemHelpTopic("D:\\ツール\\Keyvane.exe"), "D:\\ツール\\kyvane.chm::/item.htm");
}

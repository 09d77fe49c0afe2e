#include "Lib/Inifileex.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "Framework/Classes.h"
#include "Framework/Exception.h"
#include "Framework/SysUtils.h"
#include "Lib/IniStoreFile.h"
#include "LibTestSupport.h"

namespace {

using TGrid = TTestGrid;
using TWindow = TTestWindow;

const std::vector<int> Seven = {20, 64, 64, 64, 64, 64, 0};

std::string App(const TIniFileEx& ini, const char* ident) { return ini.ReadString(AppInfoSection, ident, "<none>"); }

}  // namespace

TEST(FirstRun, IsRecordedOnTheFirstStartAndTheSwitchAddedOnTheSecond) {
    TTempDir dir;
    const std::string file = dir.File("Keyvane.ini");
    TTestClock clock(At(2000, 12, 1, 9, 30, 0));
    const std::string firstVane = DateTimeLocale().DateTimeToStr(At(2000, 12, 1, 9, 30, 0));
    {
        TIniFileEx ini(file);
        EXPECT_TRUE(ini.FirstRun);
        EXPECT_EQ(App(ini, FirstVaneIdent), firstVane);
        EXPECT_FALSE(ini.ValueExists(AppInfoSection, DebugDoAsFirstIdent));
    }
    EXPECT_EQ(ReadFileBytes(file), "[%%% Application Infomation Section %%%]\r\nFirstVane=" + firstVane + "\r\n\r\n");

    clock.Set(At(2001, 1, 1));
    {
        TIniFileEx ini(file);
        EXPECT_FALSE(ini.FirstRun);
        EXPECT_EQ(App(ini, FirstVaneIdent), firstVane);
        EXPECT_EQ(App(ini, DebugDoAsFirstIdent), "0");
    }
    const std::string second = ReadFileBytes(file);
    EXPECT_EQ(second, "[%%% Application Infomation Section %%%]\r\nFirstVane=" + firstVane +
                          "\r\nDebugDoAsFirst=0\r\n\r\n");

    clock.Set(At(2002, 1, 1));
    {
        TIniFileEx ini(file);
        EXPECT_FALSE(ini.FirstRun);
        EXPECT_FALSE(ini.Modified()) << "a third start has nothing to record";
    }
    EXPECT_EQ(ReadFileBytes(file), second);
}

TEST(FirstRun, AnUnreadableOrZeroFirstVaneCountsAsMissingAndIsOverwritten) {
    TTempDir dir;
    const std::string file = dir.File("s.ini");
    TTestClock clock(At(2010, 5, 6, 7, 8, 9));
    for (const char* stored : {"FirstVane=yesterday", "FirstVane=", "FirstVane=1899/12/30 0:00:00",
                               "firstvane=2000/13/45 1:00:00"}) {
        WriteFileBytes(file, std::string("[%%% Application Infomation Section %%%]\r\n") + stored +
                                 "\r\nDebugDoAsFirst=0\r\n");
        TIniFileEx ini(file);
        EXPECT_TRUE(ini.FirstRun) << stored;
        EXPECT_EQ(ini.ReadDateTime(AppInfoSection, FirstVaneIdent, 0), At(2010, 5, 6, 7, 8, 9)) << stored;
        TStringList keys;
        ini.ReadSection(AppInfoSection, keys);
        EXPECT_EQ(keys.Count(), 2) << "replaced in place: " << stored;
    }
}

TEST(FirstRun, DebugDoAsFirstMakesEveryStartAFirstOne) {
    TTempDir dir;
    const std::string file = dir.File("s.ini");
    TTestClock clock(At(2010, 1, 1));
    const std::string head = "[%%% Application Infomation Section %%%]\r\nFirstVane=" +
                             DateTimeLocale().DateTimeToStr(At(2000, 12, 1, 9, 30, 0)) + "\r\n";
    struct Case {
        const char* value;
        bool firstRun;
    };
    for (const Case& c : {Case{"1", true}, Case{"0x1", true}, Case{"$1", true}, Case{"7", true},
                          Case{"0", false}, Case{"abc", false}, Case{"", false}}) {
        const std::string text = head + "DebugDoAsFirst=" + c.value + "\r\n\r\n";
        WriteFileBytes(file, text);
        {
            TIniFileEx ini(file);
            EXPECT_EQ(ini.FirstRun, c.firstRun) << c.value;
            EXPECT_EQ(ini.ReadDateTime(AppInfoSection, FirstVaneIdent, 0), At(2000, 12, 1, 9, 30, 0))
                << "never rewritten once it parses";
        }
        EXPECT_EQ(ReadFileBytes(file), text) << c.value;
    }
}

TEST(ColWidths, SetAsManyColumnsAsBothTheListAndTheGridHave) {
    TTempDir dir;
    TTestClock clock(At(2010, 1, 1));
    TIniFileEx ini(dir.File("s.ini"));
    struct Case {
        const char* stored;  // nullptr: no key
        std::vector<int> widths;
    };
    const Case cases[] = {
        {nullptr, Seven},
        {"0", Seven},
        {"", Seven},
        {"50,60", {50, 60, 64, 64, 64, 64, 0}},
        {"50,60,70,80,90,100,110,120", {50, 60, 70, 80, 90, 100, 110}},
        {"50,60,70,80,90,100,110,x", {50, 60, 70, 80, 90, 100, 110}},
        {" 1 , 2\t3,\"4\" , $10,0x11,-1", {1, 2, 3, 4, 16, 17, -1}},
        {"\" 5\",\"6\"", {5, 6, 64, 64, 64, 64, 0}},
        {"00", {0, 64, 64, 64, 64, 64, 0}},
    };
    for (const Case& c : cases) {
        ini.EraseSection("FormMain");
        if (c.stored) ini.WriteString("FormMain", "ColWidths", c.stored);
        TGrid grid(Seven);
        ini.ReadColWidths("FormMain", "ColWidths", grid);
        EXPECT_EQ(grid.Widths, c.widths) << (c.stored ? c.stored : "(absent)");
    }
}

TEST(ColWidths, ABadItemStopsAfterTheColumnsBeforeIt) {
    TTempDir dir;
    TTestClock clock(At(2010, 1, 1));
    TIniFileEx ini(dir.File("s.ini"));
    struct Case {
        const char* stored;
        const char* item;
        std::vector<int> widths;
    };
    const Case cases[] = {{"10,abc,30", "abc", {10, 64, 64, 64, 64, 64, 0}},
                          {"10,,30", "", {10, 64, 64, 64, 64, 64, 0}},
                          {"10,", "", {10, 64, 64, 64, 64, 64, 0}},
                          {"1.5", "1.5", Seven},
                          // A doubled quote inside quotes is one quote, and stays in the item.
                          {"\" 5\",\"6\"\"\"", "6\"", {5, 64, 64, 64, 64, 64, 0}}};
    for (const Case& c : cases) {
        ini.WriteString("FormMain", "ColWidths", c.stored);
        TGrid grid(Seven);
        try {
            ini.ReadColWidths("FormMain", "ColWidths", grid);
            ADD_FAILURE() << "no error for " << c.stored;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), Format("'%s' は整数ではありません", c.item)) << c.stored;
        }
        EXPECT_EQ(grid.Widths, c.widths) << c.stored;
    }
}

TEST(ColWidths, AreWrittenAsDecimalsJoinedByCommas) {
    TTempDir dir;
    TTestClock clock(At(2010, 1, 1));
    TIniFileEx ini(dir.File("s.ini"));
    ini.WriteColWidths("FormMain", "ColWidths", TGrid(std::vector<int>{120, 80, 200, 64}));
    EXPECT_EQ(ini.ReadString("FormMain", "ColWidths", ""), "120,80,200,64");
    ini.WriteColWidths("FormMain", "ColWidths", TGrid(std::vector<int>{}));
    EXPECT_EQ(ini.ReadString("FormMain", "ColWidths", "<none>"), "");
    TGrid grid(Seven);
    ini.WriteColWidths("FormMain", "ColWidths", TGrid(std::vector<int>{-3, 0, 2147483647}));
    ini.ReadColWidths("FormMain", "ColWidths", grid);
    EXPECT_EQ(grid.Widths, (std::vector<int>{-3, 0, 2147483647, 64, 64, 64, 0}));
}

TEST(Bounds, TakeTheFirstFourItemsAtOnce) {
    TTempDir dir;
    TTestClock clock(At(2010, 1, 1));
    TIniFileEx ini(dir.File("s.ini"));
    struct Case {
        const char* stored;
        std::vector<int> rect;
        int calls;
    };
    const Case cases[] = {{nullptr, {220, 201, 696, 478}, 0},
                          {"0", {220, 201, 696, 478}, 0},
                          {"10,20,300,400,999", {10, 20, 300, 400}, 1},
                          {"338,85,530,305", {338, 85, 530, 305}, 1},
                          {" -5 , $10 \"30\" 40", {-5, 16, 30, 40}, 1}};
    for (const Case& c : cases) {
        ini.EraseSection("FormMain");
        if (c.stored) ini.WriteString("FormMain", "FormRect", c.stored);
        TWindow window;
        ini.ReadBounds("FormMain", "FormRect", window);
        EXPECT_EQ(window.Rect, c.rect) << (c.stored ? c.stored : "(absent)");
        EXPECT_EQ(window.Calls, c.calls) << (c.stored ? c.stored : "(absent)");
    }
}

TEST(Bounds, ABadOrShortListRaisesAndLeavesTheWindowAlone) {
    TTempDir dir;
    TTestClock clock(At(2010, 1, 1));
    TIniFileEx ini(dir.File("s.ini"));
    struct Case {
        const char* stored;
        std::string message;
    };
    const Case cases[] = {
        {"", "リストのインデックスが範囲を超えています (0)"},
        {"10,20,300", "リストのインデックスが範囲を超えています (3)"},
        {"10,20", "リストのインデックスが範囲を超えています (2)"},
        {"10,x,300", "'x' は整数ではありません"},
        {"10,20,300,", "'' は整数ではありません"},
        {"10,20,300,4e2", "'4e2' は整数ではありません"},
    };
    for (const Case& c : cases) {
        ini.WriteString("FormMain", "FormRect", c.stored);
        TWindow window;
        try {
            ini.ReadBounds("FormMain", "FormRect", window);
            ADD_FAILURE() << "no error for " << c.stored;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.message) << c.stored;
        }
        EXPECT_EQ(window.Calls, 0) << c.stored;
    }
    TWindow window;
    window.Rect = {338, 85, 530, 305};
    ini.WriteBounds("FormMain", "FormRect", window);
    EXPECT_EQ(ini.ReadString("FormMain", "FormRect", ""), "338,85,530,305");
}

TEST(FormatText, FormatsTheWholeText) {
    EXPECT_EQ(FormatText("#Item  %02d", 7), "#Item  07");
    EXPECT_EQ(FormatText("#Item  %02d", 100), "#Item  100");
    EXPECT_EQ(FormatText("Version %d.%d Release %d Build(%d)", 0, 5, 1, 77), "Version 0.5 Release 1 Build(77)");
    EXPECT_EQ(FormatText("%s", ""), "");
    EXPECT_EQ(FormatText("%s", std::string(3000, 'x').c_str()).size(), 3000u);
}

TEST(Destruction, WritesOnlyWhatNoUpdateFileCovered) {
    TTempDir dir;
    const std::string file = dir.File("s.ini");
    TTestClock clock(At(2010, 1, 1));
    {
        TIniFileEx ini(file);
        ini.UpdateFile();
        ini.WriteString("A", "x", "1");
    }
    EXPECT_EQ(TMemIniFile(file).ReadString("A", "x", "-"), "1") << "a change after UpdateFile is written";

    // An UpdateFile that failed has reported its failure; the destructor does
    // not try again, and the file keeps what it had.
    const std::string before = ReadFileBytes(file);
    std::filesystem::create_directory(ReplacementFileName(file));
    {
        TIniFileEx ini(file);
        ini.WriteString("A", "x", "2");
        EXPECT_THROW(ini.UpdateFile(), EFCreateError);
    }
    EXPECT_EQ(ReadFileBytes(file), before);

    // Without an UpdateFile the destructor's own write reports the failure.
    bool raised = false;
    try {
        TIniFileEx ini(file);
        ini.WriteString("A", "x", "3");
    } catch (const EFCreateError& e) {
        raised = true;
        EXPECT_EQ(e.Message(), "ファイル " + file + " を作成できません");
    }
    EXPECT_TRUE(raised);
    EXPECT_EQ(ReadFileBytes(file), before);
}

TEST(Destruction, WritesNothingWhileAnotherErrorIsOnItsWay) {
    TTempDir dir;
    const std::string file = dir.File("s.ini");
    TTestClock clock(At(2010, 1, 1));
    {
        TIniFileEx ini(file);
    }
    const std::string before = ReadFileBytes(file);
    try {
        TIniFileEx ini(file);
        ini.WriteString("A", "x", "half-way");
        throw std::runtime_error("saving failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(ReadFileBytes(file), before);
}

#include "Lib/InifileexLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Framework/Classes.h"
#include "Framework/Exception.h"
#include "Lib/Inifileex.h"
#include "LibTestSupport.h"

using namespace std::string_literals;

namespace {

using TGrid = TTestGrid;
using TWindow = TTestWindow;

// What a start finds in the file: the items in the program's load order, read
// with the program's own routines, and the layout. Only for files that load
// whole; the stopping cases are the launcher window's tests.
std::vector<TItemTexts> LoadItems(const TIniFileEx& ini, TGrid& grid, TWindow& window) {
    std::vector<TItemTexts> items;
    for (const std::string& section : ItemSections(ini)) items.push_back(ReadItemTexts(ini, section));
    ini.ReadColWidths(FormMainSection, ColWidthsIdent, grid);
    grid.Widths[6] = 0;
    ini.ReadBounds(FormMainSection, FormRectIdent, window);
    return items;
}

// The end of a run: the layout, then the program's saving of the item list.
void SaveItems(TIniFileEx& ini, const std::vector<TItemTexts>& items, const TGrid& grid, const TWindow& window) {
    ini.WriteColWidths(FormMainSection, ColWidthsIdent, grid);
    ini.WriteBounds(FormMainSection, FormRectIdent, window);
    WriteItemSections(ini, items);
    ini.UpdateFile();
}

TItemTexts Item(int i) {
    const std::string n = std::to_string(i);
    return {"Item" + n, "WIN + F" + n, "C:\\Tools\\T" + n + ".exe", "/n=" + n, ""};
}

}  // namespace

static bool operator==(const TItemTexts& a, const TItemTexts& b) {
    return a.Name == b.Name && a.ShortCut == b.ShortCut && a.Command == b.Command && a.Params == b.Params &&
           a.Path == b.Path;
}

TEST(SettingsLayout, ThreeStartsProduceTheDocumentedFile) {
    TTempDir dir;
    const std::string file = dir.File("Keyvane.ini");
    TTestClock clock(At(2000, 12, 1, 9, 30, 0));
    const std::vector<TItemTexts> items = {
        {"NOTEPAD", "WIN + N", "C:\\WINDOWS\\NOTEPAD.EXE", "", "C:\\WINDOWS\\"},
        {"CALC", "WIN + C", "C:\\WINDOWS\\CALC.EXE", "", ""},
    };
    {
        TIniFileEx ini(file);
        TGrid grid;
        TWindow window;
        EXPECT_TRUE(LoadItems(ini, grid, window).empty());
        SaveItems(ini, items, grid, window);
    }
    clock.Set(At(2000, 12, 2));
    {
        TIniFileEx ini(file);
        EXPECT_FALSE(ini.FirstRun);
        TGrid grid;
        TWindow window;
        EXPECT_EQ(LoadItems(ini, grid, window), items);
        grid.Widths = {20, 110, 100, 240, 64, 180, 0};
        SaveItems(ini, items, grid, window);
    }
    const std::string expected =
        "[%%% Application Infomation Section %%%]\r\n"
        "FirstVane=" + DateTimeLocale().DateTimeToStr(At(2000, 12, 1, 9, 30, 0)) + "\r\n"
        "DebugDoAsFirst=0\r\n"
        "\r\n"
        "[FormMain]\r\n"
        "ColWidths=20,110,100,240,64,180,0\r\n"
        "FormRect=220,201,696,478\r\n"
        "\r\n"
        "[#Item  00]\r\n"
        "Name=NOTEPAD\r\n"
        "ShortCut=WIN + N\r\n"
        "Command=C:\\WINDOWS\\NOTEPAD.EXE\r\n"
        "Params=\r\n"
        "Path=C:\\WINDOWS\\\r\n"
        "\r\n"
        "[#Item  01]\r\n"
        "Name=CALC\r\n"
        "ShortCut=WIN + C\r\n"
        "Command=C:\\WINDOWS\\CALC.EXE\r\n"
        "Params=\r\n"
        "Path=\r\n"
        "\r\n";
    EXPECT_EQ(ReadFileBytes(file), expected);

    // A third start loads the same and, with nothing changed, writes the same.
    {
        TIniFileEx ini(file);
        TGrid grid;
        TWindow window;
        EXPECT_EQ(LoadItems(ini, grid, window), items);
        EXPECT_EQ(grid.Widths, (std::vector<int>{20, 110, 100, 240, 64, 180, 0}));
        SaveItems(ini, items, grid, window);
    }
    EXPECT_EQ(ReadFileBytes(file), expected);
}

TEST(SettingsLayout, ItemSectionNamesHaveTwoBlanksAndAtLeastTwoDigits) {
    EXPECT_EQ(ItemSectionName(0), "#Item  00");
    EXPECT_EQ(ItemSectionName(9), "#Item  09");
    EXPECT_EQ(ItemSectionName(99), "#Item  99");
    EXPECT_EQ(ItemSectionName(100), "#Item  100");
    EXPECT_TRUE(IsItemSection("#Item  00"));
    EXPECT_TRUE(IsItemSection("#Item 00"));
    EXPECT_TRUE(IsItemSection("#Item x"));
    EXPECT_FALSE(IsItemSection("#item  00"));
    EXPECT_FALSE(IsItemSection("#Item"));
    EXPECT_FALSE(IsItemSection(" #Item  00"));
    EXPECT_EQ(ItemSectionIndex("#Item  07"), 7);
    EXPECT_EQ(ItemSectionIndex("#Item 00"), 0);
    EXPECT_EQ(ItemSectionIndex("#Item  $0A"), 10);
    try {
        ItemSectionIndex("#Item  1x");
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "' 1x' は整数ではありません");
    }
}

TEST(SettingsLayout, ItemSectionsAreOrderedByNumber) {
    struct Case {
        const char* name;
        std::vector<std::string> inFile;
        std::vector<std::string> loadOrder;
    };
    const Case cases[] = {
        {"file order does not matter", {"#Item  01", "FormMain", "#Item  00"}, {"#Item  00", "#Item  01"}},
        {"other sections and lower case are no items", {"#item  00", "Other", "#Item  00"}, {"#Item  00"}},
        {"three digits after two", {"#Item  100", "#Item  10", "#Item  11", "#Item  99", "#Item  09"},
         {"#Item  09", "#Item  10", "#Item  11", "#Item  99", "#Item  100"}},
        {"one blank sorts after two with the same number", {"#Item 00", "#Item  00", "#Item  01"},
         {"#Item  00", "#Item 00", "#Item  01"}},
        {"a gap stays a gap", {"#Item  03", "#Item  00", "#Item  02"}, {"#Item  00", "#Item  02", "#Item  03"}},
        // One section without a number: the whole list keeps the name order.
        {"name order when a number is missing", {"#Item  100", "#Item  abc", "#Item  11", "#Item  10"},
         {"#Item  10", "#Item  100", "#Item  11", "#Item  abc"}},
        {"name order is case-insensitive", {"#Item  B", "#Item  a", "#Item  01"}, {"#Item  01", "#Item  a", "#Item  B"}},
    };
    TTempDir dir;
    for (const Case& c : cases) {
        TMemIniFile ini(dir.File("s.ini"));
        std::string text;
        for (const std::string& s : c.inFile) text += "[" + s + "]\r\n";
        ini.SetText(text);
        EXPECT_EQ(ItemSections(ini), c.loadOrder) << c.name;
    }
}

TEST(SettingsLayout, WithoutNumbersTheOrderIsTheStringListSort) {
    // Every file that failed to load for a section without a number must fail
    // the same way: the list's own sort decides.
    const std::vector<std::string> names = {"#Item  12", "#Item  x", "#Item  2", "#Item 1", "#Item  1a", "#Item  00",
                                            "#Item  $1", "#Item  -1", "#Item  ", "#Item  100", "#Item  0X"};
    TTempDir dir;
    TMemIniFile ini(dir.File("s.ini"));
    TStringList expected;
    for (const std::string& s : names) {
        ini.WriteString(s, "Name", s);
        expected.Add(s);
    }
    expected.Sort();
    const std::vector<std::string> order = ItemSections(ini);
    ASSERT_EQ(order.size(), names.size());
    for (int i = 0; i < expected.Count(); ++i) EXPECT_EQ(order[static_cast<size_t>(i)], expected.Strings(i));
}

TEST(SettingsLayout, MoreThanAHundredItemsLoadBack) {
    TTempDir dir;
    const std::string file = dir.File("Keyvane.ini");
    TTestClock clock(At(2010, 1, 1));
    std::vector<TItemTexts> items;
    for (int i = 0; i < 250; ++i) items.push_back(Item(i));
    TGrid grid;
    TWindow window;
    {
        TIniFileEx ini(file);
        SaveItems(ini, items, grid, window);
    }
    TIniFileEx ini(file);
    EXPECT_EQ(LoadItems(ini, grid, window), items);
    // Saving a shorter list removes every old item section, three digits included.
    items.resize(3);
    SaveItems(ini, items, grid, window);
    TIniFileEx again(file);
    EXPECT_EQ(SectionNames(again),
              (std::vector<std::string>{AppInfoSection, "FormMain", "#Item  00", "#Item  01", "#Item  02"}));
}

TEST(SettingsLayout, SavingRewritesItemSectionsAndKeepsTheRest) {
    TTempDir dir;
    const std::string file = dir.File("Keyvane.ini");
    TTestClock clock(At(2010, 1, 1));
    WriteFileBytes(file,
                   "[Mine]\r\nkeep=1\r\n[#Item  00]\r\nName=A\r\nExtra=x\r\n[#Item  01]\r\nName=B\r\n"
                   "[#Item  02]\r\nName=C\r\n[#Item  03]\r\nName=D\r\n[#Item  04]\r\nName=E\r\n[#item  zz]\r\n");
    {
        TIniFileEx ini(file);
        TGrid grid;
        TWindow window;
        std::vector<TItemTexts> items = LoadItems(ini, grid, window);
        ASSERT_EQ(items.size(), 5u);
        EXPECT_EQ(items[1].Name, "B");
        EXPECT_EQ(items[1].Command, "");
        // Delete two, move the last one up.
        items.erase(items.begin() + 3, items.end());
        std::swap(items[1], items[2]);
        SaveItems(ini, items, grid, window);
    }
    TIniFileEx ini(file);
    EXPECT_EQ(SectionNames(ini), (std::vector<std::string>{"Mine", "#item  zz", AppInfoSection, "FormMain",
                                                          "#Item  00", "#Item  01", "#Item  02"}));
    EXPECT_EQ(ini.ReadString("#Item  01", "Name", ""), "C");
    EXPECT_EQ(ini.ReadString("#Item  02", "Name", ""), "B");
    EXPECT_FALSE(ini.ValueExists("#Item  00", "Extra")) << "item sections are written anew";
    EXPECT_EQ(ini.ReadString("Mine", "keep", ""), "1");
}

TEST(SettingsLayout, EveryItemIsReadFromAndSavedToItsOwnSection) {
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::string> loaded;  // the names of the items read
        std::vector<std::string> saved;   // the names of the items at the end
        std::vector<std::string> sections;  // after saving
    };
    const Case cases[] = {
        {"a hand-made one-blank name is written anew with two", "[#Item 00]\r\nName=x\r\n", {"x"}, {"x"},
         {"#Item  00"}},
        // Sections the locale takes for an item's are someone else's and stay.
        {"a foreign section named like an item, case aside",
         "[#Item  00]\r\nName=x\r\n[#item  00]\r\nName=foreign\r\n", {"x"}, {"x"}, {"#item  00", "#Item  00"}},
        {"a NUL byte in its name", "[\0#Item  00]\r\nName=foreign\r\n[#Item  00]\r\nName=x\r\n"s,
         {"x"}, {"x", "y"}, {"\0#Item  00"s, "#Item  00", "#Item  01"}},
        {"when it is the only section and the first item is added", "[#item  00]\r\nName=foreign\r\n", {},
         {"new"}, {"#item  00", "#Item  00"}},
        {"no items at the end", "[#ITEM  01]\r\nName=foreign\r\n[#Item  00]\r\nName=x\r\n", {"x"}, {},
         {"#ITEM  01"}},
    };
    TTempDir dir;
    for (const Case& c : cases) {
        TMemIniFile ini(dir.File("s.ini"));
        ini.SetText(c.file);
        std::vector<std::string> loaded;
        for (const std::string& section : ItemSections(ini)) loaded.push_back(ReadItemTexts(ini, section).Name);
        EXPECT_EQ(loaded, c.loaded) << c.name;
        std::vector<TItemTexts> items;
        for (const std::string& name : c.saved) items.push_back({name, "", "", "", ""});
        WriteItemSections(ini, items);
        EXPECT_EQ(SectionNames(ini), c.sections) << c.name;
        // The next start finds every item under its own name.
        std::vector<TItemTexts> read;
        for (const std::string& section : ItemSections(ini)) read.push_back(ReadItemTexts(ini, section));
        EXPECT_TRUE(read == items) << c.name;
    }
}

TEST(SettingsLayout, AValueHoldingEqualsSignsIsStoredWhole) {
    TTempDir dir;
    const std::string file = dir.File("Keyvane.ini");
    TTestClock clock(At(2010, 1, 1));
    const TItemTexts item = {"名前=値", "WIN + A", "cmd.exe", "/a=1 /b==2", "C:\\表\\"};
    {
        TIniFileEx ini(file);
        WriteItemTexts(ini, 0, item);
    }
    EXPECT_NE(ReadFileBytes(file).find("Params=/a=1 /b==2\r\n"), std::string::npos);
    TIniFileEx ini(file);
    EXPECT_EQ(ReadItemTexts(ini, "#ITEM  00"), item);
    EXPECT_EQ(ReadItemTexts(ini, "#Item  01"), TItemTexts());
}

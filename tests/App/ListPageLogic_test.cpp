#include "App/ListPageLogic.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// Cell texts of a list with two items, as the main window gives them.
std::string TwoItemCell(int col, int row) {
    static const char* const rows[2][7] = {
        {"", "Editor", "WIN + F5", "C:\\Tools\\Editor.exe", "/s", "C:\\Tools\\", "0"},
        {"", "Mail", "WIN + F6", "C:\\Mail\\mail.exe", "", "", "3"},
    };
    return rows[row - 1][col];
}

// A registrar that records what it was asked and answers as told.
struct FakeRegistrar {
    std::vector<std::pair<int, ShortCutCode>> added;
    std::vector<int> deleted;
    int addResult = 0;
    bool deleteResult = true;
    TItemRegistrar Fns() {
        return TItemRegistrar{[this](int id, ShortCutCode code) {
                                  added.emplace_back(id, code);
                                  return addResult;
                              },
                              [this](int id) {
                                  deleted.push_back(id);
                                  return deleteResult;
                              }};
    }
};

}  // namespace

TEST(ListPageCells, HeaderRowShowsTheColumnTitlesCentred) {
    const char* const titles[] = {"", "名称", "ショートカット", "プログラム", "実行時引数", "作業フォルダ", "ID"};
    for (int col = 0; col < 7; ++col) {
        const TCellPlan p = PlanCell(col, 0, 2, TwoItemCell);
        EXPECT_TRUE(p.Draw) << col;
        EXPECT_EQ(p.Text, titles[col]) << col;
        EXPECT_EQ(p.HAlign, taCentre) << col;
        EXPECT_FALSE(p.Icon) << col;
        EXPECT_FALSE(p.ShortenPath) << col;
    }
}

TEST(ListPageCells, FixedColumnNumbersTheRowsFromOne) {
    for (int row = 1; row <= 3; ++row) {
        const TCellPlan p = PlanCell(0, row, 2, TwoItemCell);
        EXPECT_TRUE(p.Draw);
        EXPECT_EQ(p.Text, std::to_string(row));
        EXPECT_EQ(p.HAlign, taCentre);
        EXPECT_FALSE(p.Icon);
    }
}

TEST(ListPageCells, ItemCellsTakeTheirTextAlignmentIconAndShortening) {
    const struct {
        int col;
        const char* text;
        int align;
        bool icon;
        bool shorten;
    } cases[] = {
        {1, "Mail", taLeftTop, true, false},
        {2, "WIN + F6", taCentre, false, false},
        {3, "C:\\Mail\\mail.exe", taLeftTop, false, true},
        {4, "", taLeftTop, false, false},
        {5, "", taLeftTop, false, true},
        {6, "3", taCentre, false, false},
    };
    for (const auto& c : cases) {
        const TCellPlan p = PlanCell(c.col, 2, 2, TwoItemCell);
        EXPECT_TRUE(p.Draw) << c.col;
        EXPECT_EQ(p.Text, c.text) << c.col;
        EXPECT_EQ(p.HAlign, c.align) << c.col;
        EXPECT_EQ(p.Icon, c.icon) << c.col;
        EXPECT_EQ(p.ShortenPath, c.shorten) << c.col;
    }
}

TEST(ListPageCells, RowsBeyondTheListDrawNothingAndAskForNoText) {
    int asked = 0;
    const TCellTextFn counting = [&](int, int) {
        ++asked;
        return std::string("x");
    };
    for (int col = 1; col < 7; ++col) {
        EXPECT_FALSE(PlanCell(col, 3, 2, counting).Draw) << col;
        EXPECT_FALSE(PlanCell(col, 1, 0, counting).Draw) << col;
    }
    EXPECT_EQ(asked, 0);
}

TEST(ListPageHint, IsTheFullCellTextOverItemsAndEmptyElsewhere) {
    EXPECT_EQ(CellHint(3, 1, 2, TwoItemCell), "C:\\Tools\\Editor.exe");
    EXPECT_EQ(CellHint(1, 2, 2, TwoItemCell), "Mail");
    EXPECT_EQ(CellHint(5, 1, 2, TwoItemCell), "C:\\Tools\\");
    // Header row, row numbers, no cell at all, and a row no item holds.
    EXPECT_EQ(CellHint(3, 0, 2, TwoItemCell), "");
    EXPECT_EQ(CellHint(0, 1, 2, TwoItemCell), "");
    EXPECT_EQ(CellHint(-1, -1, 2, TwoItemCell), "");
    EXPECT_EQ(CellHint(2, -1, 2, TwoItemCell), "");
    EXPECT_EQ(CellHint(-1, 1, 2, TwoItemCell), "");
    EXPECT_EQ(CellHint(2, 3, 2, TwoItemCell), "");
    EXPECT_EQ(CellHint(2, 1, 0, TwoItemCell), "");
}

TEST(ListPageMove, NeighboursSwapWithinTheListOnly) {
    EXPECT_EQ(MoveTarget(1, 3, -1), 0);
    EXPECT_EQ(MoveTarget(2, 3, -1), 1);
    EXPECT_EQ(MoveTarget(0, 3, -1), -1);  // the first item stays
    EXPECT_EQ(MoveTarget(0, 3, +1), 1);
    EXPECT_EQ(MoveTarget(1, 3, +1), 2);
    EXPECT_EQ(MoveTarget(2, 3, +1), -1);  // the last item stays
    EXPECT_EQ(MoveTarget(0, 1, -1), -1);
    EXPECT_EQ(MoveTarget(0, 1, +1), -1);
    // An empty list keeps the grid's old current row: nothing may move.
    EXPECT_EQ(MoveTarget(1, 0, -1), -1);
    EXPECT_EQ(MoveTarget(0, 0, +1), -1);
    EXPECT_EQ(MoveTarget(-1, 3, +1), -1);
    EXPECT_EQ(MoveTarget(3, 3, -1), -1);
}

TEST(ListPageRegistration, NewItemsTakeTheLowestFreeIdentifierBelowTheBound) {
    EXPECT_EQ(LowestFreeHotKeyId({}), 0);
    EXPECT_EQ(LowestFreeHotKeyId({-1, -1}), 0) << "items without registration take none";
    EXPECT_EQ(LowestFreeHotKeyId({2, 0, -1, 1}), 3);
    EXPECT_EQ(LowestFreeHotKeyId({3, 0, 1}), 2) << "a freed identifier is handed out again";
    std::vector<int> taken(HotKeyIdBound);
    for (int i = 0; i < HotKeyIdBound; ++i) taken[static_cast<size_t>(i)] = i;
    EXPECT_EQ(LowestFreeHotKeyId(taken), 0xAFFFF) << "all below the bound taken: the bound itself";
    taken.push_back(HotKeyIdBound);
    EXPECT_EQ(LowestFreeHotKeyId(taken), 0xAFFFF) << "never the trial registration's 0xB0000";
    taken[4711] = -1;
    EXPECT_EQ(LowestFreeHotKeyId(taken), 4711);
}

TEST(ListPageRegistration, ReleasingALiveRegistrationAsksTheRegistrar) {
    FakeRegistrar reg;
    LaunchItem item;
    item.HotKeyId = 4;
    EXPECT_TRUE(ReleaseItemHotKey(item, reg.Fns()));
    EXPECT_EQ(reg.deleted, std::vector<int>{4});
    EXPECT_EQ(item.HotKeyId, -1);
}

TEST(ListPageRegistration, AnItemWithoutRegistrationHasNothingToRelease) {
    FakeRegistrar reg;
    reg.deleteResult = false;  // the system holds nothing for it
    LaunchItem item;
    item.HotKeyId = -1;
    EXPECT_TRUE(ReleaseItemHotKey(item, reg.Fns()));
    EXPECT_TRUE(reg.deleted.empty());
    EXPECT_EQ(item.HotKeyId, -1);
}

TEST(ListPageRegistration, ARefusedReleaseKeepsTheIdentifier) {
    FakeRegistrar reg;
    reg.deleteResult = false;
    LaunchItem item;
    item.HotKeyId = 2;
    EXPECT_FALSE(ReleaseItemHotKey(item, reg.Fns()));
    EXPECT_EQ(reg.deleted, std::vector<int>{2});
    EXPECT_EQ(item.HotKeyId, 2);
}

TEST(ListPageRegistration, RegisteringUsesTheCodeOfTheShortCutText) {
    FakeRegistrar reg;
    LaunchItem item;
    item.ShortCut = "WIN + F7";
    EXPECT_EQ(RegisterItemHotKey(item, 5, reg.Fns()), 0);
    ASSERT_EQ(reg.added.size(), 1u);
    EXPECT_EQ(reg.added[0].first, 5);
    EXPECT_EQ(reg.added[0].second, 0x1076);
    EXPECT_EQ(item.HotKeyId, 5);
}

TEST(ListPageRegistration, ARefusedKeyLeavesTheItemWithoutRegistration) {
    FakeRegistrar reg;
    reg.addResult = 1409;
    LaunchItem item;
    item.ShortCut = "WIN + U";
    EXPECT_EQ(RegisterItemHotKey(item, 0, reg.Fns()), 1409);
    EXPECT_EQ(reg.added.size(), 1u);
    EXPECT_EQ(item.HotKeyId, -1);
    // Such an item can be released (nothing to do) and registered again.
    EXPECT_TRUE(ReleaseItemHotKey(item, reg.Fns()));
    EXPECT_TRUE(reg.deleted.empty());
    reg.addResult = 0;
    EXPECT_EQ(RegisterItemHotKey(item, 0, reg.Fns()), 0);
    EXPECT_EQ(item.HotKeyId, 0);
}

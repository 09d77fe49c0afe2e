#include "Framework/GridGeometry.h"

#include <gtest/gtest.h>

#include <vector>

#include "Framework/Exception.h"

namespace {

TGridAxis MakeAxis(const std::vector<int>& sizes, int fixed, int fixedLine, int dataLine) {
    TGridAxis a;
    a.SetCount(static_cast<int>(sizes.size()), 0);
    for (size_t i = 0; i < sizes.size(); ++i) a.SetSize(static_cast<int>(i), sizes[i]);
    a.SetFixedCount(fixed);
    a.FixedLine = fixedLine;
    a.DataLine = dataLine;
    return a;
}

// The list page's rows: a header with its line, data rows of 20 without lines.
TGridAxis ListRows(int count) {
    return MakeAxis(std::vector<int>(static_cast<size_t>(count), 20), 1, 1, 0);
}

struct SpanCase {
    int first, dataLine, cell;
    bool shown;
    int start, end;
};

}  // namespace

TEST(GridAxis, CellsFollowEachOtherWithTheirLinesAndHiddenCellsTakeNoRoom) {
    const SpanCase cases[] = {
        {1, 1, 0, true, 0, 20},
        {1, 1, 1, true, 21, 85},
        {1, 1, 2, true, 86, 150},
        {1, 1, 3, false, 0, 0},  // width 0: hidden
        {1, 1, 4, true, 151, 201},
        {1, 0, 2, true, 85, 149},  // no lines between data columns
        {1, 0, 4, true, 149, 199},
        {2, 1, 1, false, 0, 0},  // scrolled out
        {2, 1, 0, true, 0, 20},  // fixed cells stay in place
        {2, 1, 2, true, 21, 85},
        {2, 1, 4, true, 86, 136},
    };
    for (const SpanCase& c : cases) {
        TGridAxis a = MakeAxis({20, 64, 64, 0, 50}, 1, 1, c.dataLine);
        a.SetFirst(c.first);
        int start = -1, end = -1;
        SCOPED_TRACE(testing::Message() << "first " << c.first << " line " << c.dataLine << " cell " << c.cell);
        ASSERT_EQ(a.Span(c.cell, start, end), c.shown);
        if (c.shown) {
            EXPECT_EQ(start, c.start);
            EXPECT_EQ(end, c.end);
        }
    }
}

TEST(GridAxis, CellAtCountsALineToTheCellBeforeItAndOnlyInsideTheClientArea) {
    TGridAxis a = MakeAxis({20, 64, 64, 0, 50}, 1, 1, 1);
    const struct {
        int pos, cell;
    } cases[] = {{-1, -1}, {0, 0}, {19, 0}, {20, 0}, {21, 1}, {85, 1}, {86, 2}, {150, 2}, {151, 4}, {201, 4}, {202, -1},
                 {199, 4}, {300, -1}};
    for (const auto& c : cases) EXPECT_EQ(a.CellAt(c.pos, 250), c.cell) << "pos " << c.pos;
    EXPECT_EQ(a.CellAt(120, 100), -1) << "past the client area";
    a.SetFirst(2);
    EXPECT_EQ(a.CellAt(21, 250), 2);
    EXPECT_EQ(a.CellAt(86, 250), 4);
}

TEST(GridAxis, ScrollRangeEndsWhereTheLastCellsFillTheArea) {
    TGridAxis rows = ListRows(10);  // header 21, then 9 rows of 20
    EXPECT_EQ(rows.MaxFirst(121), 5) << "5 rows fit exactly";
    EXPECT_EQ(rows.MaxFirst(120), 6) << "one pixel less: 4 rows";
    EXPECT_EQ(rows.MaxFirst(400), 1) << "everything fits";
    EXPECT_EQ(rows.MaxFirst(10), 9) << "not even one row fits: the last one";

    // A hidden last column never becomes the only one shown.
    EXPECT_EQ(MakeAxis({20, 100, 100, 0}, 1, 1, 1).MaxFirst(150), 2);
    EXPECT_EQ(MakeAxis({20, 300, 0}, 1, 1, 1).MaxFirst(200), 1);
}

TEST(GridAxis, FirstToShowScrollsJustEnoughToShowACellWhole) {
    TGridAxis rows = ListRows(10);
    rows.SetFirst(1);
    EXPECT_EQ(rows.FirstToShow(5, 121), 1) << "already whole";
    EXPECT_EQ(rows.FirstToShow(6, 121), 2);
    EXPECT_EQ(rows.FirstToShow(9, 121), 5);
    EXPECT_EQ(rows.FirstToShow(0, 121), 1) << "fixed rows need no scrolling";
    rows.SetFirst(4);
    EXPECT_EQ(rows.FirstToShow(2, 121), 2) << "above the view: it becomes the top";
    EXPECT_EQ(rows.FirstToShow(9, 30), 9) << "a row taller than the room is put at the top";
}

TEST(GridAxis, FullyVisibleCountIsAtLeastOne) {
    TGridAxis rows = ListRows(10);
    EXPECT_EQ(rows.FullyVisibleCount(121), 5);
    EXPECT_EQ(rows.FullyVisibleCount(120), 4);
    EXPECT_EQ(rows.FullyVisibleCount(10), 1);
    rows.SetFirst(8);
    EXPECT_EQ(rows.FullyVisibleCount(400), 2) << "only what is left below the top";
    EXPECT_EQ(TGridAxis().FullyVisibleCount(400), 0) << "no rows at all";
}

TEST(GridAxis, EdgeAtFindsTheNearestVisibleTrailingEdge) {
    TGridAxis cols = MakeAxis({20, 64, 64, 0}, 1, 1, 1);  // edges at 20, 85, 150
    const struct {
        int pos, col;
    } cases[] = {{17, -1}, {18, 0}, {21, 0}, {22, 0}, {23, -1}, {84, 1}, {87, 1}, {148, 2}, {152, 2}, {153, -1}};
    for (const auto& c : cases) EXPECT_EQ(cols.EdgeAt(c.pos, 300, 2), c.col) << "pos " << c.pos;

    TGridAxis narrow = MakeAxis({20, 3, 64}, 1, 1, 1);  // edges at 20 and 24
    EXPECT_EQ(narrow.EdgeAt(21, 300, 2), 0);
    EXPECT_EQ(narrow.EdgeAt(23, 300, 2), 1);
    EXPECT_EQ(narrow.EdgeAt(22, 300, 2), 1) << "a tie goes to the later column";
    cols.SetFirst(2);
    EXPECT_EQ(cols.EdgeAt(85, 300, 2), 2) << "scrolled: column 2 ends at 85 now";
}

TEST(GridAxis, CountsSizesAndPositionsStayConsistent) {
    TGridAxis a;
    a.SetCount(5, 64);
    a.SetFixedCount(1);
    EXPECT_EQ(a.Size(4), 64);
    a.SetSize(2, -5);
    EXPECT_EQ(a.Size(2), 0) << "negative widths hide";
    EXPECT_TRUE(a.SetFirst(4));
    EXPECT_FALSE(a.SetFirst(4));
    a.SetFirst(99);
    EXPECT_EQ(a.First(), 4);
    a.SetFirst(0);
    EXPECT_EQ(a.First(), 1) << "never a fixed cell";
    a.SetFirst(4);
    a.SetCount(3, 64);
    EXPECT_EQ(a.First(), 2);
    a.SetCount(1, 64);
    EXPECT_EQ(a.FixedCount(), 0) << "the last cell cannot be fixed";
    a.SetCount(3, 10);
    EXPECT_EQ(a.Size(0), 64);
    EXPECT_EQ(a.Size(2), 10);
    a.SetAllSizes(20);
    EXPECT_EQ(a.Size(0), 20);
    EXPECT_THROW(a.Size(3), EStringListError);
    EXPECT_THROW(a.SetSize(-1, 5), EStringListError);
}

TEST(GridAxis, HugeWidthsFromAFileOverflowNothing) {
    TGridAxis a = MakeAxis({20, 2147483647, 64, 2147483647}, 2, 1, 1);
    EXPECT_EQ(a.CellAt(500, 1000), 1);
    EXPECT_EQ(a.MaxFirst(500), 3);
    EXPECT_EQ(a.EdgeAt(-2147483647, 500, 2), -1);
}

TEST(GridGeometry, CellRectAndMouseToCellUseBothAxes) {
    TGridGeometry g;
    g.Cols = MakeAxis({20, 64, 64, 0}, 1, 0, 0);
    g.Rows = ListRows(6);
    g.ApplyOptions(goFixedVertLine | goFixedHorzLine | goVertLine);
    EXPECT_EQ(g.CellRect(1, 2), (TRect{21, 41, 85, 61}));
    EXPECT_TRUE(g.CellRect(3, 2).Empty()) << "hidden column";
    int col = 0, row = 0;
    EXPECT_TRUE(g.MouseToCell(30, 45, 300, 200, col, row));
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 2);
    EXPECT_FALSE(g.MouseToCell(30, 150, 300, 200, col, row)) << "below the last row";
    EXPECT_EQ(col, -1);
    EXPECT_EQ(row, -1);
    EXPECT_FALSE(g.MouseToCell(200, 45, 300, 200, col, row)) << "right of the last column";
    EXPECT_EQ(col, -1);
    EXPECT_EQ(row, -1);
}

TEST(GridGeometry, ScrollBarsAppearWhenNeededAndOneBarCanBringTheOther) {
    TGridGeometry g;
    g.Cols = MakeAxis({20, 64, 64, 64}, 1, 1, 1);  // 216 wide
    g.Rows = ListRows(5);                          // 101 high
    const struct {
        int w, h;
        bool vert, horz;
        int cw, ch;
    } cases[] = {
        {216, 101, false, false, 216, 101},
        {215, 101, true, true, 199, 85},  // the horizontal bar takes the room of the last row
        {300, 100, true, false, 284, 100},
        {230, 100, true, true, 214, 84},  // the vertical bar takes the room of the last column
        {216, 150, false, false, 216, 150},
        {200, 150, false, true, 200, 134},
    };
    for (const auto& c : cases) {
        TGridScrollBars s = g.ScrollBars(c.w, c.h, 16, 16);
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        EXPECT_EQ(s.Vert, c.vert);
        EXPECT_EQ(s.Horz, c.horz);
        EXPECT_EQ(s.ClientWidth, c.cw);
        EXPECT_EQ(s.ClientHeight, c.ch);
    }
}

TEST(GridGeometry, CellDrawStateMarksTheCurrentRow) {
    const TGridOptions page = goFixedVertLine | goFixedHorzLine | goVertLine | goRangeSelect | goDrawFocusSelected;
    const struct {
        int col, row;
        TGridOptions options;
        bool focused;
        TGridDrawState state;
    } cases[] = {
        {0, 0, page, true, gdFixed},
        {0, 3, page, true, gdFixed},
        {2, 0, page, true, gdFixed},
        {2, 2, page, true, 0},
        {1, 3, page, true, gdSelected | gdFocused},
        {1, 3, page, false, gdSelected},
        {4, 3, page, true, gdSelected},
        {1, 3, goRangeSelect, true, gdFocused},  // the focused cell itself is not drawn selected
        {4, 3, goRangeSelect, true, gdSelected},
        {1, 3, goRowSelect, false, gdSelected},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CellDrawState(c.col, c.row, 1, 1, 1, 3, c.options, c.focused), c.state)
            << "cell " << c.col << "," << c.row << " options " << c.options << " focused " << c.focused;
}

TEST(GridGeometry, NavigationKeysStayAmongTheDataRows) {
    TGridAxis rows = ListRows(10);  // data rows 1..9, 5 of them visible in 121 pixels
    const struct {
        int from;
        TGridMove move;
        int to;
    } cases[] = {{3, gmUp, 2},     {3, gmDown, 4},     {3, gmPageUp, 1}, {3, gmPageDown, 8}, {3, gmHome, 1},
                 {3, gmEnd, 9},    {1, gmUp, 1},       {9, gmDown, 9},   {8, gmPageDown, 9}, {7, gmPageUp, 2}};
    for (const auto& c : cases) EXPECT_EQ(TargetRow(rows, c.from, c.move, 121), c.to) << c.from << " move " << c.move;
    EXPECT_EQ(TargetRow(TGridAxis(), 0, gmDown, 121), 0) << "no rows: nowhere to go";
}

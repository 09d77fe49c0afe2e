#include "Framework/Grids.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "Framework/CtrlTestSupport.h"
#include "Framework/Exception.h"
#include "Framework/Forms.h"
#include "Framework/GridGeometry.h"
#include "Framework/Handles.h"
#include "Framework/SysUtils.h"

namespace {

const TGridOptions ListOptions =
    goFixedVertLine | goFixedHorzLine | goVertLine | goRangeSelect | goDrawFocusSelected | goColSizing;

using ctltest::WaitFor;

// What the grid paints, rendered into a bitmap through WM_PRINTCLIENT.
class TSnapshot {
public:
    explicit TSnapshot(TDrawGrid& grid) : FWidth(grid.ClientWidth()), FHeight(grid.ClientHeight()) {
        {
            const TBorrowedDC screen(nullptr);
            FDC.Reset(CreateCompatibleDC(screen.Get()));
            FBitmap.Reset(CreateCompatibleBitmap(screen.Get(), FWidth, FHeight));
        }
        FSelected = TSelectedObject(FDC.Get(), FBitmap.Get());
        SendMessageA(grid.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(FDC.Get()), PRF_CLIENT);
    }
    TSnapshot(const TSnapshot&) = delete;
    TSnapshot& operator=(const TSnapshot&) = delete;
    COLORREF Pixel(int x, int y) const { return GetPixel(FDC.Get(), x, y); }

private:
    int FWidth, FHeight;
    // In this order, so that the bitmap leaves the DC before either goes.
    TMemoryDC FDC;
    TGdiObject<HBITMAP> FBitmap;
    TSelectedObject FSelected;
};

struct DrawnCell {
    int col, row;
    RECT rect;
    TGridDrawState state;
    COLORREF textColor;
    std::string fontName;
};

// A form with the list page's grid: columns 20, 80, 80, 60 and a hidden one;
// rows of 20 under a header.
struct GridFixture : testing::Test {
    TForm* form = nullptr;
    TDrawGrid* grid = nullptr;
    std::vector<DrawnCell> drawn;

    void SetUp() override {
        form = new TForm(Application);
        form->SetBounds(40, 40, 420, 260);
        grid = new TDrawGrid(form);
        grid->SetParent(form);
        grid->Font().SetName("MS UI Gothic");
        grid->SetBounds(10, 10, 360, 180);
        grid->SetColCount(5);
        grid->SetColWidths(0, 20);
        grid->SetColWidths(1, 80);
        grid->SetColWidths(2, 80);
        grid->SetColWidths(3, 60);
        grid->SetColWidths(4, 0);
        grid->SetRowCount(6);
        grid->SetDefaultRowHeight(20);
        grid->SetOptions(ListOptions);
        grid->OnDrawCell = [this](TObject* sender, int col, int row, RECT rect, TGridDrawState state) {
            ASSERT_EQ(sender, grid);
            TCanvas& c = grid->Canvas();
            drawn.push_back({col, row, rect, state, GetTextColor(c.Handle()), c.Font().Name()});
            std::string text = row == 0 ? Format("H%d", col) : Format("r%dc%d", row, col);
            ExtTextOutA(c.Handle(), rect.left + 2, rect.top + 3, ETO_CLIPPED, &rect, text.data(),
                        static_cast<UINT>(text.size()), nullptr);
        };
        form->Show();
        SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Application->ProcessMessages();
    }
    void TearDown() override {
        HWND wnd = form->Handle();
        delete form;
        EXPECT_FALSE(IsWindow(wnd));
    }
    const DrawnCell* Find(int col, int row) const {
        for (const DrawnCell& d : drawn)
            if (d.col == col && d.row == row) return &d;
        return nullptr;
    }
    void Click(int x, int y) {
        SendMessageA(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    bool HasStyle(DWORD bit) const { return (GetWindowLongA(grid->Handle(), GWL_STYLE) & bit) != 0; }
};

COLORREF Sys(int index) { return GetSysColor(index); }
BOOL CALLBACK FindShownTooltip(HWND wnd, LPARAM found) {
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0 && IsWindowVisible(wnd)) *reinterpret_cast<HWND*>(found) = wnd;
    return TRUE;
}
bool Empty(RECT r) { return IsRectEmpty(&r) != FALSE; }
bool Same(RECT a, RECT b) { return EqualRect(&a, &b) != FALSE; }

}  // namespace

TEST_F(GridFixture, WindowAndDefaults) {
    char cls[32] = {};
    GetClassNameA(grid->Handle(), cls, sizeof cls);
    EXPECT_STREQ(cls, "TDrawGrid");
    TDrawGrid fresh(nullptr);
    EXPECT_EQ(fresh.ColCount(), 5);
    EXPECT_EQ(fresh.RowCount(), 5);
    EXPECT_EQ(fresh.FixedCols(), 1);
    EXPECT_EQ(fresh.FixedRows(), 1);
    EXPECT_EQ(fresh.DefaultColWidth(), 64);
    EXPECT_EQ(fresh.ColWidths(3), 64);
    EXPECT_EQ(fresh.Row(), 1);
    EXPECT_EQ(fresh.Col(), 1);
    EXPECT_EQ(GetWindowLongA(grid->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
    EXPECT_EQ(SendMessageA(grid->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);
}

TEST_F(GridFixture, ColumnWidthsAreReachableThroughTheSettingsInterface) {
    IColWidths& widths = *grid;
    EXPECT_EQ(widths.ColCount(), 5);
    widths.SetColWidth(2, 120);
    EXPECT_EQ(grid->ColWidths(2), 120);
    EXPECT_EQ(widths.ColWidth(4), 0);
    widths.SetColWidth(3, -4);
    EXPECT_EQ(grid->ColWidths(3), 0) << "a negative width hides";
    EXPECT_THROW(widths.SetColWidth(5, 10), EStringListError);
}

TEST_F(GridFixture, PaintsBackgroundsLinesAndTheSelectedRowBeforeTheOwnerDrawsContent) {
    grid->SetRow(2);
    drawn.clear();
    TSnapshot shot(*grid);
    // Layout: columns at 0-20 |21-101 |102-182 |183-243, hidden column; rows
    // header 0-20, line 20, data rows of 20 without lines from 21 on. The
    // owner's texts start at each cell's top left, so backgrounds are probed
    // further right and down.
    EXPECT_EQ(grid->CellRect(1, 2).left, 21);
    EXPECT_EQ(grid->CellRect(1, 2).top, 41);
    EXPECT_EQ(grid->CellRect(3, 1).right, 243);
    EXPECT_TRUE(Empty(grid->CellRect(4, 1)));

    EXPECT_EQ(shot.Pixel(17, 37), Sys(COLOR_BTNFACE)) << "fixed column";
    EXPECT_EQ(shot.Pixel(60, 10), Sys(COLOR_BTNFACE)) << "header row";
    EXPECT_EQ(shot.Pixel(90, 35), Sys(COLOR_WINDOW)) << "data cell";
    EXPECT_EQ(shot.Pixel(90, 55), Sys(COLOR_HIGHLIGHT)) << "selected row";
    EXPECT_EQ(shot.Pixel(240, 55), Sys(COLOR_HIGHLIGHT)) << "selected row, last column";
    EXPECT_EQ(shot.Pixel(101, 35), Sys(COLOR_BTNFACE)) << "line between data columns";
    EXPECT_EQ(shot.Pixel(90, 40), Sys(COLOR_WINDOW)) << "no line between data rows";
    EXPECT_EQ(shot.Pixel(90, 20), Sys(COLOR_BTNSHADOW)) << "header line";
    EXPECT_EQ(shot.Pixel(20, 35), Sys(COLOR_BTNSHADOW)) << "fixed column line";
    EXPECT_EQ(shot.Pixel(243, 35), Sys(COLOR_BTNFACE)) << "line after the last shown column";
    EXPECT_EQ(shot.Pixel(250, 35), Sys(COLOR_WINDOW)) << "the hidden column takes no room";
    EXPECT_EQ(shot.Pixel(300, 150), Sys(COLOR_WINDOW)) << "below and right of the cells";

    EXPECT_EQ(Find(4, 1), nullptr) << "hidden column not drawn";
    const DrawnCell* header = Find(2, 0);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->state, gdFixed);
    const DrawnCell* plain = Find(2, 1);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->state, 0u);
    EXPECT_EQ(plain->textColor, ColorToRGB(grid->Font().Color()));
    EXPECT_EQ(plain->fontName, "MS UI Gothic");
    const DrawnCell* selected = Find(3, 2);
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->state & gdSelected, static_cast<unsigned>(gdSelected));
    EXPECT_EQ(selected->textColor, Sys(COLOR_HIGHLIGHTTEXT));
    EXPECT_TRUE(Same(selected->rect, grid->CellRect(3, 2)));
    ASSERT_NE(Find(0, 2), nullptr);
    EXPECT_EQ(Find(0, 2)->state, gdFixed) << "the row number stays a fixed cell";
}

TEST_F(GridFixture, TheFocusFrameMarksTheCurrentRowOnlyWhileTheGridHasTheFocus) {
    grid->SetRow(3);
    auto frameDots = [&](const TSnapshot& shot) {
        RECT r = grid->CellRect(2, 3);
        int differing = 0;
        for (int x = r.left; x < r.right; ++x)
            if (shot.Pixel(x, r.top) != Sys(COLOR_HIGHLIGHT)) ++differing;
        return differing;
    };
    SetFocus(nullptr);
    ASSERT_TRUE(WaitFor([&] { return !grid->Focused(); }));
    drawn.clear();
    EXPECT_EQ(frameDots(TSnapshot(*grid)), 0);
    ASSERT_NE(Find(1, 3), nullptr);
    EXPECT_EQ(Find(1, 3)->state, static_cast<unsigned>(gdSelected)) << "not focused";
    grid->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return grid->Focused(); }));
    drawn.clear();
    EXPECT_GT(frameDots(TSnapshot(*grid)), 10);
    ASSERT_NE(Find(1, 3), nullptr);
    EXPECT_EQ(Find(1, 3)->state, static_cast<unsigned>(gdSelected | gdFocused));
}

TEST_F(GridFixture, AClickSelectsTheDataRowUnderTheMouse) {
    int mouseDowns = 0;
    grid->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++mouseDowns; };
    Click(150, 65);  // row 3
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_TRUE(grid->Focused());
    Click(150, 10);  // header
    EXPECT_EQ(grid->Row(), 3);
    Click(10, 105);  // row number of row 5
    EXPECT_EQ(grid->Row(), 5);
    Click(150, 170);  // below the rows
    EXPECT_EQ(grid->Row(), 5);
    EXPECT_EQ(mouseDowns, 4);
    int col = 0, row = 0;
    grid->MouseToCell(150, 65, col, row);
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 3);
    grid->MouseToCell(300, 65, col, row);
    EXPECT_EQ(col, -1);
    EXPECT_EQ(row, -1);
}

TEST_F(GridFixture, MouseMovesReachOnMouseMoveInClientCoordinates) {
    std::vector<POINT> seen;
    grid->OnMouseMove = [&](TObject* sender, TShiftState, int x, int y) {
        EXPECT_EQ(sender, grid);
        seen.push_back(POINT{x, y});
    };
    SendMessageA(grid->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(123, 45));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].x, 123);
    EXPECT_EQ(seen[0].y, 45);
}

TEST_F(GridFixture, KeysMoveTheCurrentRowThroughTheDialogManager) {
    grid->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return grid->Focused(); }));
    auto press = [&](WORD key) {
        PostMessageA(grid->Handle(), WM_KEYDOWN, key, 0);
        PostMessageA(grid->Handle(), WM_KEYUP, key, 0xC0000000);
        Application->ProcessMessages();
    };
    grid->SetRowCount(30);
    press(VK_DOWN);
    EXPECT_EQ(grid->Row(), 2);
    press(VK_UP);
    press(VK_UP);
    EXPECT_EQ(grid->Row(), 1) << "the header is never current";
    int page = grid->VisibleRowCount();
    EXPECT_GE(page, 5);
    press(VK_NEXT);
    EXPECT_EQ(grid->Row(), 1 + page);
    press(VK_END);
    EXPECT_EQ(grid->Row(), 29);
    RECT last = grid->CellRect(1, 29);
    EXPECT_FALSE(IsRectEmpty(&last));
    EXPECT_LE(last.bottom, grid->ClientHeight()) << "the current row is scrolled into view";
    press(VK_PRIOR);
    EXPECT_EQ(grid->Row(), 29 - page);
    press(VK_HOME);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->TopRow(), 1);

    WORD seenKey = 0;
    grid->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        seenKey = key;
        key = 0;
    };
    press(VK_DOWN);
    EXPECT_EQ(seenKey, VK_DOWN);
    EXPECT_EQ(grid->Row(), 1) << "a key the handler took is not acted on";
}

TEST_F(GridFixture, SetRowClampsToTheDataRowsAndFollowsTheRowCount) {
    grid->SetRow(0);
    EXPECT_EQ(grid->Row(), 1);
    grid->SetRow(99);
    EXPECT_EQ(grid->Row(), 5);
    grid->SetRowCount(3);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(GridFixture, ScrollBarsAppearWhenRowsOrColumnsDoNotFitAndFixedCellsStay) {
    EXPECT_FALSE(HasStyle(WS_VSCROLL));
    EXPECT_FALSE(HasStyle(WS_HSCROLL));
    grid->SetRowCount(40);
    EXPECT_TRUE(HasStyle(WS_VSCROLL));
    EXPECT_FALSE(HasStyle(WS_HSCROLL));
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(grid->Handle(), SB_VERT, &si));
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 38);
    EXPECT_EQ(static_cast<int>(si.nPage), grid->VisibleRowCount());

    SendMessageA(grid->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(grid->TopRow(), 2);
    EXPECT_EQ(grid->CellRect(1, 0).top, 0) << "the header stays";
    EXPECT_EQ(grid->CellRect(1, 2).top, 21);
    EXPECT_TRUE(Empty(grid->CellRect(1, 1)));
    SendMessageA(grid->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    RECT last = grid->CellRect(1, 39);
    EXPECT_LE(last.bottom, grid->ClientHeight()) << "the last row is shown whole";
    EXPECT_GT(last.bottom + 20, grid->ClientHeight()) << "with no room left for another";
    ASSERT_TRUE(GetScrollInfo(grid->Handle(), SB_VERT, &si));
    EXPECT_EQ(si.nPos, grid->TopRow() - 1);
    SendMessageA(grid->Handle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(grid->TopRow(), 1);

    SendMessageA(grid->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    int afterOneNotch = grid->TopRow();
    EXPECT_GT(afterOneNotch, 1);
    SendMessageA(grid->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
    EXPECT_EQ(grid->TopRow(), afterOneNotch) << "half a notch does not scroll yet";
    SendMessageA(grid->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
    EXPECT_EQ(grid->TopRow(), 1);

    grid->SetColWidths(3, 300);
    EXPECT_TRUE(HasStyle(WS_HSCROLL));
    SendMessageA(grid->Handle(), WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(grid->LeftCol(), 2);
    EXPECT_EQ(grid->CellRect(0, 1).left, 0) << "the row numbers stay";
    EXPECT_EQ(grid->CellRect(2, 1).left, 21);

    grid->SetColWidths(3, 60);
    grid->SetRowCount(6);
    EXPECT_FALSE(HasStyle(WS_VSCROLL));
    EXPECT_FALSE(HasStyle(WS_HSCROLL));
    EXPECT_EQ(grid->TopRow(), 1);
    EXPECT_EQ(grid->LeftCol(), 1);
}

TEST_F(GridFixture, DraggingAHeaderEdgeResizesTheColumn) {
    // Column 1 ends at x = 101; the edge is grabbed from the header row only.
    SendMessageA(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(102, 8));
    SendMessageA(grid->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(132, 8));
    EXPECT_EQ(grid->ColWidths(1), 110) << "follows the mouse while dragging";
    SendMessageA(grid->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-300, 8));
    EXPECT_EQ(grid->ColWidths(1), 8) << "never narrower than a grabbable width";
    SendMessageA(grid->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30000, 8));
    EXPECT_EQ(grid->ColWidths(1), grid->ClientWidth()) << "never wider than the grid, or its edge is out of reach";
    SendMessageA(grid->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(142, 8));
    SendMessageA(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(142, 8));
    EXPECT_EQ(grid->ColWidths(1), 120);
    SendMessageA(grid->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(200, 8));
    EXPECT_EQ(grid->ColWidths(1), 120) << "the drag ended with the button";

    SendMessageA(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(142, 50));
    SendMessageA(grid->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(170, 50));
    SendMessageA(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(170, 50));
    EXPECT_EQ(grid->ColWidths(1), 120) << "a data row is no place to resize";

    grid->SetOptions(ListOptions & ~goColSizing);
    SendMessageA(grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(142, 8));
    SendMessageA(grid->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(170, 8));
    SendMessageA(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(170, 8));
    EXPECT_EQ(grid->ColWidths(1), 120) << "resizing is off";
}

TEST_F(GridFixture, TheResizeCursorShowsOverAHeaderEdge) {
    auto cursorAt = [&](int x, int y) {
        POINT p = grid->ClientToScreen(POINT{x, y});
        SetCursorPos(p.x, p.y);
        SendMessageA(grid->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(grid->Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    HCURSOR sizeWE = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEWE));
    EXPECT_EQ(cursorAt(101, 8), sizeWE);
    EXPECT_NE(cursorAt(60, 8), sizeWE);
    EXPECT_NE(cursorAt(101, 50), sizeWE);
}

TEST_F(GridFixture, ANewHintTextShowsAfterTheDelayWhileTheMouseStaysInTheGrid) {
    grid->SetShowHint(true);
    grid->SetHint("GridContents");
    grid->OnMouseMove = [&](TObject*, TShiftState, int x, int y) {
        int col = -1, row = -1;
        grid->MouseToCell(x, y, col, row);
        std::string text = row > 0 ? Format("row %d", row) : "";
        if (text != grid->Hint()) {
            grid->SetHint(text);
            Application->CancelHint();
        }
    };
    auto shownTip = [&]() -> std::string {
        HWND tip = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindShownTooltip, reinterpret_cast<LPARAM>(&tip));
        if (!tip) return "";
        char text[128] = {};
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = form->Handle();
        ti.uId = reinterpret_cast<UINT_PTR>(grid->Handle());
        ti.lpszText = text;
        SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
        return text;
    };
    auto moveTo = [&](int x, int y) {
        POINT p = grid->ClientToScreen(POINT{x, y});
        SetCursorPos(p.x, p.y);
        SendMessageA(grid->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    };
    moveTo(150, 30);
    EXPECT_EQ(grid->Hint(), "row 1");
    ASSERT_TRUE(WaitFor([&] { return shownTip() == "row 1"; })) << "shown: " << shownTip();
    // The mouse comes to rest in the next row: no move follows the one that
    // changed the text.
    SendMessageA(grid->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(150, 70));
    EXPECT_EQ(grid->Hint(), "row 3");
    ASSERT_TRUE(WaitFor([&] { return shownTip() == "row 3"; })) << "shown: " << shownTip();
}

#include "Framework/Grids.h"

#include <algorithm>

#include "Framework/Handles.h"
#include "Framework/Scaling.h"

namespace {

// How close to a header edge the pointer must be to resize the column, at 96
// pixels per inch.
constexpr int SizingTolerance = 2;
// Dragging never makes a column narrower than this, so it can be grabbed again.
constexpr int MinDraggedWidth = 8;

const TColor FixedLineColor = clBtnShadow;
const TColor DataLineColor = clBtnFace;

void FillSolid(HDC dc, const RECT& r, TColor color) {
    TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(color)));
    FillRect(dc, &r, brush.Get());
}

}  // namespace

TDrawGrid::TDrawGrid(TComponent* AOwner)
    : TWinControl(AOwner),
      FOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect),
      FSizingTolerance(SizingTolerance),
      FMinDraggedWidth(MinDraggedWidth) {
    SetColor(clWindow);
    SetTabStop(true);
    FGeometry.Cols.SetCount(5, FDefaultColWidth);
    FGeometry.Rows.SetCount(5, FDefaultRowHeight);
    FGeometry.Cols.SetFixedCount(1);
    FGeometry.Rows.SetFixedCount(1);
    FGeometry.ApplyOptions(FOptions);
}

void TDrawGrid::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ExStyle |= WS_EX_CLIENTEDGE;
    params.ClassStyle = CS_DBLCLKS;
}

void TDrawGrid::HandleCreated() { UpdateScrollBars(); }

int TDrawGrid::ClientW() { return ClientWidth(); }
int TDrawGrid::ClientH() { return ClientHeight(); }

void TDrawGrid::LayoutChanged() {
    UpdateScrollBars();
    Invalidate();
}

void TDrawGrid::SetColCount(int n) {
    if (n == ColCount()) return;
    FGeometry.Cols.SetCount(n, FDefaultColWidth);
    FCol = std::max(FixedCols(), std::min(FCol, ColCount() - 1));
    LayoutChanged();
}

void TDrawGrid::SetRowCount(int n) {
    if (n == RowCount()) return;
    FGeometry.Rows.SetCount(n, FDefaultRowHeight);
    FRow = std::max(FixedRows(), std::min(FRow, RowCount() - 1));
    LayoutChanged();
}

void TDrawGrid::SetFixedCols(int n) {
    if (n == FixedCols()) return;
    FGeometry.Cols.SetFixedCount(n);
    FCol = std::max(FixedCols(), std::min(FCol, ColCount() - 1));
    LayoutChanged();
}

void TDrawGrid::SetFixedRows(int n) {
    if (n == FixedRows()) return;
    FGeometry.Rows.SetFixedCount(n);
    FRow = std::max(FixedRows(), std::min(FRow, RowCount() - 1));
    LayoutChanged();
}

void TDrawGrid::SetDefaultRowHeight(int h) {
    if (h == FDefaultRowHeight) return;
    FDefaultRowHeight = h;
    FGeometry.Rows.SetAllSizes(h);
    LayoutChanged();
}

void TDrawGrid::SetColWidths(int i, int w) {
    if (FGeometry.Cols.Size(i) == std::max(0, w)) return;
    FGeometry.Cols.SetSize(i, w);
    LayoutChanged();
}

void TDrawGrid::ChangeScale(int M, int D) {
    if (M == D) return;
    TWinControl::ChangeScale(M, D);
    FDefaultColWidth = KvMulDiv(FDefaultColWidth, M, D);
    FDefaultRowHeight = KvMulDiv(FDefaultRowHeight, M, D);
    FGeometry.Rows.SetAllSizes(FDefaultRowHeight);
    for (int i = 0; i < ColCount(); ++i) FGeometry.Cols.SetSize(i, KvMulDiv(ColWidths(i), M, D));
    FSizingTolerance = KvMulDiv(FSizingTolerance, M, D);
    FMinDraggedWidth = KvMulDiv(FMinDraggedWidth, M, D);
    LayoutChanged();
}

void TDrawGrid::SetOptions(TGridOptions options) {
    if (options == FOptions) return;
    FOptions = options;
    FGeometry.ApplyOptions(options);
    LayoutChanged();
}

void TDrawGrid::SetRow(int r) {
    r = std::max(FixedRows(), std::min(r, RowCount() - 1));
    if (r != FRow) {
        FRow = r;
        Invalidate();
    }
    SetTopRow(FGeometry.Rows.FirstToShow(FRow, ClientH()));
}

void TDrawGrid::SetTopRow(int r) {
    r = std::min(r, FGeometry.Rows.MaxFirst(ClientH()));
    if (FGeometry.Rows.SetFirst(r)) LayoutChanged();
}

void TDrawGrid::SetLeftCol(int c) {
    c = std::min(c, FGeometry.Cols.MaxFirst(ClientW()));
    if (FGeometry.Cols.SetFirst(c)) LayoutChanged();
}

int TDrawGrid::VisibleRowCount() { return FGeometry.Rows.FullyVisibleCount(ClientH()); }

void TDrawGrid::MouseToCell(int x, int y, int& col, int& row) {
    FGeometry.MouseToCell(x, y, ClientW(), ClientH(), col, row);
}

RECT TDrawGrid::CellRect(int col, int row) const { return ToWinRect(FGeometry.CellRect(col, row)); }

void TDrawGrid::UpdateScrollBars() {
    if (!FHandle || FUpdatingScrollBars) return;
    FUpdatingScrollBars = true;
    // Decide from the whole area, bars included, so that showing one bar
    // (which resizes the client area and comes back here) changes nothing.
    RECT client;
    GetClientRect(FHandle, &client);
    LONG style = GetWindowLongA(FHandle, GWL_STYLE);
    int barW = GetSystemMetrics(SM_CXVSCROLL);
    int barH = GetSystemMetrics(SM_CYHSCROLL);
    int fullW = client.right + ((style & WS_VSCROLL) ? barW : 0);
    int fullH = client.bottom + ((style & WS_HSCROLL) ? barH : 0);
    TGridScrollBars bars = FGeometry.ScrollBars(fullW, fullH, barW, barH);

    auto apply = [&](int bar, TGridAxis& axis, bool shown, int clientSize) {
        int maxFirst = axis.MaxFirst(clientSize);
        if (axis.First() > maxFirst) axis.SetFirst(maxFirst);
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        if (shown) {
            si.nMax = axis.Count() - axis.FixedCount() - 1;
            si.nPage = static_cast<UINT>(axis.Count() - maxFirst);
            si.nPos = axis.First() - axis.FixedCount();
        } else {
            si.nPage = 1;
        }
        SetScrollInfo(FHandle, bar, &si, TRUE);
        ShowScrollBar(FHandle, bar, shown);
    };
    apply(SB_VERT, FGeometry.Rows, bars.Vert, bars.ClientHeight);
    apply(SB_HORZ, FGeometry.Cols, bars.Horz, bars.ClientWidth);
    FUpdatingScrollBars = false;
}

void TDrawGrid::ScrollBy(int bar, int cells) {
    if (bar == SB_VERT) SetTopRow(TopRow() + cells);
    else SetLeftCol(LeftCol() + cells);
}

void TDrawGrid::Scroll(int bar, WORD code) {
    TGridAxis& axis = bar == SB_VERT ? FGeometry.Rows : FGeometry.Cols;
    int clientSize = bar == SB_VERT ? ClientH() : ClientW();
    int page = std::max(1, axis.FullyVisibleCount(clientSize));
    switch (code) {
        case SB_LINEUP: ScrollBy(bar, -1); break;
        case SB_LINEDOWN: ScrollBy(bar, 1); break;
        case SB_PAGEUP: ScrollBy(bar, -page); break;
        case SB_PAGEDOWN: ScrollBy(bar, page); break;
        case SB_TOP: ScrollBy(bar, -axis.Count()); break;
        case SB_BOTTOM: ScrollBy(bar, axis.Count()); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO si{};
            si.cbSize = sizeof si;
            si.fMask = SIF_TRACKPOS;
            if (GetScrollInfo(FHandle, bar, &si)) ScrollBy(bar, axis.FixedCount() + si.nTrackPos - axis.First());
            break;
        }
        default: break;
    }
}

void TDrawGrid::KeyDown(WORD key) {
    switch (key) {
        case VK_UP: SetRow(TargetRow(FGeometry.Rows, FRow, gmUp, ClientH())); break;
        case VK_DOWN: SetRow(TargetRow(FGeometry.Rows, FRow, gmDown, ClientH())); break;
        case VK_PRIOR: SetRow(TargetRow(FGeometry.Rows, FRow, gmPageUp, ClientH())); break;
        case VK_NEXT: SetRow(TargetRow(FGeometry.Rows, FRow, gmPageDown, ClientH())); break;
        case VK_HOME: SetRow(TargetRow(FGeometry.Rows, FRow, gmHome, ClientH())); break;
        case VK_END: SetRow(TargetRow(FGeometry.Rows, FRow, gmEnd, ClientH())); break;
        case VK_LEFT: ScrollBy(SB_HORZ, -1); break;
        case VK_RIGHT: ScrollBy(SB_HORZ, 1); break;
        default: break;
    }
}

int TDrawGrid::SizingColumnAt(int x, int y) {
    if (!(FOptions & goColSizing) || y < 0 || y >= FGeometry.Rows.FixedExtent()) return -1;
    return FGeometry.Cols.EdgeAt(x, ClientW(), FSizingTolerance);
}

void TDrawGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && FHandle) {
        if (!Focused()) SetFocus();
        int edge = SizingColumnAt(x, y);
        if (edge >= 0) {
            FSizingCol = edge;
            FSizingStartX = x;
            FSizingStartWidth = ColWidths(edge);
            SetCapture(FHandle);
        } else {
            int col = -1, row = -1;
            MouseToCell(x, y, col, row);
            if (row >= FixedRows() && col >= 0) {
                if (col >= FixedCols()) FCol = col;
                SetRow(row);
                Invalidate();
            }
        }
    }
    TWinControl::MouseDown(button, shift, x, y);
}

void TDrawGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && FSizingCol >= 0) {
        FSizingCol = -1;
        ReleaseCapture();
    }
    TWinControl::MouseUp(button, shift, x, y);
}

void TDrawGrid::MouseMove(TShiftState shift, int x, int y) {
    if (FSizingCol >= 0) {
        // No wider than the grid shows: an edge dragged past it could not be
        // grabbed again to narrow the column.
        const int widest = std::max(FMinDraggedWidth, ClientW());
        SetColWidths(FSizingCol, std::clamp(FSizingStartWidth + x - FSizingStartX, FMinDraggedWidth, widest));
        Update();
    }
    TWinControl::MouseMove(shift, x, y);
}

void TDrawGrid::Resize() {
    LayoutChanged();
    TWinControl::Resize();
}

void TDrawGrid::DrawCell(int col, int row, const RECT& rect, TGridDrawState state) {
    if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

void TDrawGrid::PaintLines(HDC dc, int clientWidth, int clientHeight) {
    const TGridAxis& cols = FGeometry.Cols;
    const TGridAxis& rows = FGeometry.Rows;
    // The lines run as far as the cells do.
    int gridRight = 0, gridBottom = 0, fixedRight = cols.FixedExtent(), fixedBottom = rows.FixedExtent();
    for (int c = 0; c < ColCount(); ++c) {
        int s = 0, e = 0;
        if (cols.Span(c, s, e)) gridRight = std::max(gridRight, e + (c < FixedCols() ? cols.FixedLine : cols.DataLine));
    }
    for (int r = 0; r < RowCount(); ++r) {
        int s = 0, e = 0;
        if (rows.Span(r, s, e)) gridBottom = std::max(gridBottom, e + (r < FixedRows() ? rows.FixedLine : rows.DataLine));
    }
    gridRight = std::min(gridRight, clientWidth);
    gridBottom = std::min(gridBottom, clientHeight);

    for (int c = 0; c < ColCount(); ++c) {
        int s = 0, e = 0;
        bool fixed = c < FixedCols();
        int line = fixed ? cols.FixedLine : cols.DataLine;
        if (!line || !cols.Span(c, s, e) || e >= clientWidth) continue;
        FillSolid(dc, RECT{e, 0, e + line, fixedBottom}, FixedLineColor);
        FillSolid(dc, RECT{e, fixedBottom, e + line, gridBottom}, fixed ? FixedLineColor : DataLineColor);
    }
    for (int r = 0; r < RowCount(); ++r) {
        int s = 0, e = 0;
        bool fixed = r < FixedRows();
        int line = fixed ? rows.FixedLine : rows.DataLine;
        if (!line || !rows.Span(r, s, e) || e >= clientHeight) continue;
        FillSolid(dc, RECT{0, e, fixedRight, e + line}, FixedLineColor);
        FillSolid(dc, RECT{fixedRight, e, gridRight, e + line}, fixed ? FixedLineColor : DataLineColor);
    }
}

void TDrawGrid::PaintTo(HDC dc) {
    int cw = ClientW(), ch = ClientH();
    FillSolid(dc, RECT{0, 0, cw, ch}, Color());
    PaintLines(dc, cw, ch);

    bool focused = Focused();
    FCanvas.Font().Assign(Font());
    FCanvas.SetHandle(dc);
    RECT focusRect{0, 0, 0, 0};
    auto paintCell = [&](int col, int row) {
        RECT r = CellRect(col, row);
        if (IsRectEmpty(&r) || r.left >= cw || r.top >= ch) return;
        TGridDrawState state =
            CellDrawState(col, row, FixedCols(), FixedRows(), FCol, FRow, FOptions, focused);
        TColor back = (state & gdFixed) ? clBtnFace : (state & gdSelected) ? clHighlight : Color();
        FCanvas.SetBrushColor(back);
        FCanvas.FillRect(r);
        if (state & gdFixed) {
            RECT edge = r;
            DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
        }
        FCanvas.Font().SetColor((state & gdSelected) ? clHighlightText : Font().Color());
        FCanvas.SetBrushColor(back);
        FCanvas.PrepareText();
        DrawCell(col, row, r, state);
        if (row == FRow && col >= FixedCols()) {
            if (IsRectEmpty(&focusRect)) focusRect = r;
            else UnionRect(&focusRect, &focusRect, &r);
        }
    };
    auto forEach = [&](const TGridAxis& axis, int limit, auto&& fn) {
        for (int i = 0; i < axis.FixedCount(); ++i) fn(i);
        for (int i = axis.First(), s = 0, e = 0; i < axis.Count(); ++i) {
            if (axis.Span(i, s, e) && s >= limit) break;
            fn(i);
        }
    };
    forEach(FGeometry.Rows, ch, [&](int row) { forEach(FGeometry.Cols, cw, [&](int col) { paintCell(col, row); }); });
    FCanvas.SetHandle(nullptr);

    if (focused && !IsRectEmpty(&focusRect)) {
        focusRect.right = std::min<LONG>(focusRect.right, cw);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focusRect);
    }
}

void TDrawGrid::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_ERASEBKGND:
            m.Result = 1;
            return;
        case WM_PAINT: {
            const TPaintDC paint(FHandle);
            // A memory bitmap the size of the client area to paint into, so
            // that the screen only ever sees finished frames.
            const TMemoryDC buffer(CreateCompatibleDC(paint.Get()));
            const TGdiObject<HBITMAP> bitmap(
                CreateCompatibleBitmap(paint.Get(), std::max(1, ClientW()), std::max(1, ClientH())));
            const TSelectedObject buffered(buffer.Get(), bitmap.Get());
            if (buffered) {
                PaintTo(buffer.Get());
                const RECT& r = paint.Area();
                BitBlt(paint.Get(), r.left, r.top, r.right - r.left, r.bottom - r.top, buffer.Get(), r.left, r.top,
                       SRCCOPY);
            } else {
                PaintTo(paint.Get());
            }
            return;
        }
        case WM_PRINTCLIENT:
            PaintTo(reinterpret_cast<HDC>(m.WParam));
            return;
        case WM_GETDLGCODE:
            m.Result = DLGC_WANTARROWS;
            return;
        case WM_KEYDOWN: {
            WORD key = static_cast<WORD>(m.WParam);
            if (OnKeyDown) OnKeyDown(this, key, KeyboardShiftState());
            if (key) KeyDown(key);
            return;
        }
        case WM_VSCROLL:
        case WM_HSCROLL:
            Scroll(m.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(m.WParam));
            return;
        case WM_MOUSEWHEEL: {
            UINT lines = 3;
            SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
            int step = lines == WHEEL_PAGESCROLL ? std::max(1, VisibleRowCount()) : static_cast<int>(lines);
            FWheelRemainder += GET_WHEEL_DELTA_WPARAM(m.WParam);
            int notches = FWheelRemainder / WHEEL_DELTA;
            FWheelRemainder %= WHEEL_DELTA;
            if (notches) ScrollBy(SB_VERT, -notches * step);
            return;
        }
        case WM_SETCURSOR:
            if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == FHandle) {
                POINT p;
                GetCursorPos(&p);
                ::ScreenToClient(FHandle, &p);
                if (FSizingCol >= 0 || SizingColumnAt(p.x, p.y) >= 0) {
                    ::SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEWE)));
                    m.Result = 1;
                    return;
                }
            }
            break;
        case WM_CAPTURECHANGED:
            FSizingCol = -1;
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            TWinControl::WndProc(m);
            Invalidate();
            return;
        default:
            break;
    }
    TWinControl::WndProc(m);
}

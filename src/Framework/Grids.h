#pragma once
// The drawn grid: a table of cells that the owner paints in OnDrawCell. The
// grid itself paints the cell backgrounds, the lines, the selection colours
// and the focus frame, scrolls, moves the current row with the mouse and the
// keyboard, and lets the user resize columns by dragging a header edge.
#include <windows.h>

#include <functional>

#include "Framework/Controls.h"
#include "Framework/GridGeometry.h"
#include "Framework/Graphics.h"

using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, RECT Rect, TGridDrawState State)>;

class TDrawGrid : public TWinControl, public IColWidths {
public:
    explicit TDrawGrid(TComponent* AOwner);
    std::string ClassName() const override { return "TDrawGrid"; }

    int ColCount() const override { return FGeometry.Cols.Count(); }
    void SetColCount(int n);
    int RowCount() const { return FGeometry.Rows.Count(); }
    void SetRowCount(int n);
    int FixedCols() const { return FGeometry.Cols.FixedCount(); }
    void SetFixedCols(int n);
    int FixedRows() const { return FGeometry.Rows.FixedCount(); }
    void SetFixedRows(int n);
    int DefaultColWidth() const { return FDefaultColWidth; }
    // Applies to every column, as it does to the rows below.
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int h);
    // A width of 0 hides the column with its line.
    int ColWidths(int i) const { return FGeometry.Cols.Size(i); }
    void SetColWidths(int i, int w);
    int ColWidth(int i) const override { return ColWidths(i); }
    void SetColWidth(int i, int w) override { SetColWidths(i, w); }

    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions options);

    // The current row and column; rows are clamped to the data rows and the
    // row is scrolled into view.
    int Row() const { return FRow; }
    void SetRow(int r);
    int Col() const { return FCol; }
    int TopRow() const { return FGeometry.Rows.First(); }
    void SetTopRow(int r);
    int LeftCol() const { return FGeometry.Cols.First(); }
    void SetLeftCol(int c);
    // Data rows shown whole from TopRow on.
    int VisibleRowCount();

    // The drawing surface while OnDrawCell runs, in the grid's font.
    TCanvas& Canvas() { return FCanvas; }
    // The cell under a client point; -1 each when there is none.
    void MouseToCell(int x, int y, int& col, int& row);
    RECT CellRect(int col, int row) const;

    // Also scales the default sizes, every column's width and how near an
    // edge the mouse must be to drag it.
    void ChangeScale(int M, int D) override;

    TDrawCellEvent OnDrawCell;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    void HandleCreated() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void Resize() override;
    virtual void DrawCell(int col, int row, const RECT& rect, TGridDrawState state);

private:
    // Paints the whole client area onto dc (double-buffered by the caller).
    void PaintTo(HDC dc);
    void PaintLines(HDC dc, int clientWidth, int clientHeight);
    void KeyDown(WORD key);
    void Scroll(int bar, WORD code);
    void ScrollBy(int bar, int cells);
    void UpdateScrollBars();
    void LayoutChanged();
    int SizingColumnAt(int x, int y);
    int ClientW();
    int ClientH();

    TGridGeometry FGeometry;
    TGridOptions FOptions;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    int FRow = 1;
    int FCol = 1;
    TCanvas FCanvas;
    bool FUpdatingScrollBars = false;
    int FWheelRemainder = 0;
    // Column being resized by dragging, -1 when none.
    int FSizingCol = -1;
    int FSizingStartX = 0;
    int FSizingStartWidth = 0;
    int FSizingTolerance;
    int FMinDraggedWidth;
};

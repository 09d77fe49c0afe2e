#pragma once
// Where the drawn grid's cells lie: column widths and row heights, the lines
// between them, the fixed (non-scrolling) cells and the scroll positions. No
// window is needed here, so the arithmetic is tested on its own.
#include <vector>

#include "Framework/Types.h"

enum TGridOption : unsigned {
    goFixedVertLine = 1u << 0,
    goFixedHorzLine = 1u << 1,
    goVertLine = 1u << 2,
    goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4,
    goDrawFocusSelected = 1u << 5,
    goRowSelect = 1u << 6,
    goColSizing = 1u << 7,
};
using TGridOptions = unsigned;

enum TGridDrawStateBit : unsigned { gdSelected = 1u << 0, gdFocused = 1u << 1, gdFixed = 1u << 2 };
using TGridDrawState = unsigned;

// A grid's column widths, for code that stores and restores them without
// knowing the grid's class (the settings file does so). The drawn grid
// implements it; tests use plain objects.
struct IColWidths {
    virtual ~IColWidths() = default;
    virtual int ColCount() const = 0;
    virtual int ColWidth(int Index) const = 0;
    virtual void SetColWidth(int Index, int Width) = 0;
};

// One direction of the grid: the columns (sizes are widths) or the rows
// (heights). The first FixedCount cells never scroll; the others are shown
// from First on. Every cell of non-zero size is followed by a line of
// FixedLine or DataLine pixels; a cell of size 0 takes no room at all.
class TGridAxis {
public:
    int Count() const { return static_cast<int>(FSizes.size()); }
    // New cells get defaultSize; FixedCount and First stay valid.
    void SetCount(int count, int defaultSize);
    int Size(int i) const;
    // Negative sizes count as 0 (hidden).
    void SetSize(int i, int size);
    void SetAllSizes(int size);
    int FixedCount() const { return FFixedCount; }
    // Clamped so that at least one cell stays scrollable when there is one.
    void SetFixedCount(int n);
    int First() const { return FFirst; }
    // Clamped to [FixedCount, the last cell]; false when it did not move.
    bool SetFirst(int first);
    int FixedLine = 1;
    int DataLine = 1;

    // Size plus its line, or 0 for a hidden cell.
    int Extent(int i) const;
    int FixedExtent() const;
    // Start and end (line excluded) of cell i in client coordinates; false
    // when it is hidden or scrolled out before First (cells past the end of
    // the client area still have their place).
    bool Span(int i, int& start, int& end) const;
    // The cell whose area (its line included) holds pos, or -1; only what a
    // client area of this size shows counts.
    int CellAt(int pos, int clientSize) const;
    // Largest First with which the last cells still fill the client area:
    // the end of the scroll range (FixedCount when everything fits).
    int MaxFirst(int clientSize) const;
    // Scrollable cells shown whole from First on (at least 1 when there is one).
    int FullyVisibleCount(int clientSize) const;
    // The First that brings cell i fully into view with the least scrolling.
    int FirstToShow(int i, int clientSize) const;
    // The cell whose trailing edge lies within tolerance pixels of pos, for
    // resizing by dragging; hidden cells are never offered. -1 when none.
    int EdgeAt(int pos, int clientSize, int tolerance) const;

private:
    void Clamp();
    std::vector<int> FSizes;
    int FFixedCount = 0;
    int FFirst = 0;
};

struct TGridScrollBars {
    bool Vert = false, Horz = false;
    int ClientWidth = 0, ClientHeight = 0;
};

class TGridGeometry {
public:
    TGridAxis Cols;
    TGridAxis Rows;

    void ApplyOptions(TGridOptions options);
    // The cell's rectangle (lines excluded); empty when it is hidden or
    // scrolled out.
    TRect CellRect(int col, int row) const;
    // col and row of the cell at (x, y), -1 each when there is none.
    bool MouseToCell(int x, int y, int clientWidth, int clientHeight, int& col, int& row) const;
    // Which scroll bars the window needs when its area without bars is
    // width × height and each bar takes barWidth / barHeight pixels.
    TGridScrollBars ScrollBars(int width, int height, int barWidth, int barHeight) const;
};

// How a cell is drawn: fixed cells are fixed only; the data cells of the
// current row form the selection. The current cell itself is drawn selected
// only with goDrawFocusSelected or goRowSelect, and is focused when the grid
// has the keyboard focus.
TGridDrawState CellDrawState(int col, int row, int fixedCols, int fixedRows, int currentCol, int currentRow,
                             TGridOptions options, bool gridFocused);

enum TGridMove { gmUp, gmDown, gmPageUp, gmPageDown, gmHome, gmEnd };
// The row a navigation key leads to from row, among the scrollable rows.
int TargetRow(const TGridAxis& rows, int row, TGridMove move, int clientHeight);

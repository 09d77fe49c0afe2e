#include "Framework/GridGeometry.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "Framework/SysUtils.h"

namespace {

// Positions are summed in 64 bits and kept below this bound, far beyond any
// screen, so that widths like 2147483647 from a settings file overflow nothing
// here or where the grid adds a line to a cell's end.
constexpr long long MaxPos = INT_MAX / 2;

int ClampPos(long long pos) { return static_cast<int>(std::min(pos, MaxPos)); }

}  // namespace

void TGridAxis::SetCount(int count, int defaultSize) {
    FSizes.resize(static_cast<size_t>(std::max(0, count)), std::max(0, defaultSize));
    Clamp();
}

int TGridAxis::Size(int i) const {
    if (i < 0 || i >= Count()) RaiseListIndexError(i);
    return FSizes[static_cast<size_t>(i)];
}

void TGridAxis::SetSize(int i, int size) {
    if (i < 0 || i >= Count()) RaiseListIndexError(i);
    FSizes[static_cast<size_t>(i)] = std::max(0, size);
}

void TGridAxis::SetAllSizes(int size) { std::fill(FSizes.begin(), FSizes.end(), std::max(0, size)); }

void TGridAxis::SetFixedCount(int n) {
    FFixedCount = n;
    Clamp();
}

bool TGridAxis::SetFirst(int first) {
    int old = FFirst;
    FFirst = first;
    Clamp();
    return FFirst != old;
}

void TGridAxis::Clamp() {
    FFixedCount = std::max(0, std::min(FFixedCount, Count() - 1));
    FFirst = std::max(FFixedCount, std::min(FFirst, Count() - 1));
}

int TGridAxis::Extent(int i) const {
    const int size = Size(i);
    return size > 0 ? ClampPos(static_cast<long long>(size) + (i < FFixedCount ? FixedLine : DataLine)) : 0;
}

int TGridAxis::FixedExtent() const {
    long long sum = 0;
    for (int i = 0; i < FFixedCount; ++i) sum += Extent(i);
    return ClampPos(sum);
}

bool TGridAxis::Span(int i, int& start, int& end) const {
    if (i < 0 || i >= Count() || Size(i) == 0) return false;
    long long pos = 0;
    if (i < FFixedCount) {
        for (int j = 0; j < i; ++j) pos += Extent(j);
    } else {
        if (i < FFirst) return false;
        pos = FixedExtent();
        for (int j = FFirst; j < i; ++j) pos += Extent(j);
    }
    start = ClampPos(pos);
    end = ClampPos(pos + Size(i));
    return true;
}

int TGridAxis::CellAt(int pos, int clientSize) const {
    if (pos < 0 || pos >= clientSize) return -1;
    long long x = 0;
    for (int i = 0; i < FFixedCount; ++i) {
        x += Extent(i);
        if (pos < x) return i;
    }
    for (int i = FFirst; i < Count(); ++i) {
        x += Extent(i);
        if (pos < x) return i;
    }
    return -1;
}

int TGridAxis::MaxFirst(int clientSize) const {
    const long long avail = static_cast<long long>(clientSize) - FixedExtent();
    int first = Count() - 1;
    long long sum = 0;
    bool shownOne = false;
    for (int i = Count() - 1; i >= FFixedCount; --i) {
        int e = Extent(i);
        if (sum + e > avail) {
            // Even a cell wider than the area gets its turn at the left edge.
            if (!shownOne) first = i;
            break;
        }
        sum += e;
        first = i;
        if (e > 0) shownOne = true;
    }
    return std::max(FFixedCount, first);
}

int TGridAxis::FullyVisibleCount(int clientSize) const {
    long long pos = FixedExtent();
    int n = 0;
    bool any = false;
    for (int i = FFirst; i < Count(); ++i) {
        if (Size(i) == 0) continue;
        any = true;
        if (pos + Size(i) > clientSize) break;
        ++n;
        pos += Extent(i);
    }
    return any ? std::max(1, n) : 0;
}

int TGridAxis::FirstToShow(int i, int clientSize) const {
    if (i < FFixedCount || i >= Count()) return FFirst;
    if (i < FFirst) return i;
    int start = 0, end = 0;
    if (!Span(i, start, end) || end <= clientSize) return FFirst;
    int first = i;
    long long used = static_cast<long long>(FixedExtent()) + Size(i);
    while (first - 1 > FFirst && used + Extent(first - 1) <= clientSize) {
        --first;
        used += Extent(first);
    }
    return first;
}

int TGridAxis::EdgeAt(int pos, int clientSize, int tolerance) const {
    int best = -1;
    long long bestDistance = static_cast<long long>(tolerance) + 1;
    auto consider = [&](int i) {
        int start = 0, end = 0;
        if (!Span(i, start, end) || start >= clientSize) return;
        const long long d = std::abs(static_cast<long long>(pos) - end);
        if (d <= tolerance && d <= bestDistance) {
            best = i;
            bestDistance = d;
        }
    };
    for (int i = 0; i < FFixedCount; ++i) consider(i);
    for (int i = FFirst; i < Count(); ++i) consider(i);
    return best;
}

void TGridGeometry::ApplyOptions(TGridOptions options) {
    Cols.FixedLine = (options & goFixedVertLine) ? 1 : 0;
    Cols.DataLine = (options & goVertLine) ? 1 : 0;
    Rows.FixedLine = (options & goFixedHorzLine) ? 1 : 0;
    Rows.DataLine = (options & goHorzLine) ? 1 : 0;
}

TRect TGridGeometry::CellRect(int col, int row) const {
    TRect r;
    if (!Cols.Span(col, r.Left, r.Right) || !Rows.Span(row, r.Top, r.Bottom)) return TRect{};
    return r;
}

bool TGridGeometry::MouseToCell(int x, int y, int clientWidth, int clientHeight, int& col, int& row) const {
    col = Cols.CellAt(x, clientWidth);
    row = Rows.CellAt(y, clientHeight);
    if (col < 0 || row < 0) col = row = -1;
    return col >= 0;
}

TGridScrollBars TGridGeometry::ScrollBars(int width, int height, int barWidth, int barHeight) const {
    TGridScrollBars s;
    // A bar only ever takes room away, so adding bars until nothing changes ends.
    for (;;) {
        s.ClientWidth = std::max(0, width - (s.Vert ? barWidth : 0));
        s.ClientHeight = std::max(0, height - (s.Horz ? barHeight : 0));
        bool vert = s.Vert || Rows.MaxFirst(s.ClientHeight) > Rows.FixedCount();
        bool horz = s.Horz || Cols.MaxFirst(s.ClientWidth) > Cols.FixedCount();
        if (vert == s.Vert && horz == s.Horz) return s;
        s.Vert = vert;
        s.Horz = horz;
    }
}

TGridDrawState CellDrawState(int col, int row, int fixedCols, int fixedRows, int currentCol, int currentRow,
                             TGridOptions options, bool gridFocused) {
    if (col < fixedCols || row < fixedRows) return gdFixed;
    if (row != currentRow) return 0;
    if (col != currentCol) return gdSelected;
    TGridDrawState s = gridFocused ? static_cast<TGridDrawState>(gdFocused) : 0u;
    if (options & (goDrawFocusSelected | goRowSelect)) s |= gdSelected;
    return s;
}

int TargetRow(const TGridAxis& rows, int row, TGridMove move, int clientHeight) {
    int first = rows.FixedCount();
    int last = rows.Count() - 1;
    if (last < first) return row;
    int page = std::max(1, rows.FullyVisibleCount(clientHeight));
    int target = row;
    switch (move) {
        case gmUp: target = row - 1; break;
        case gmDown: target = row + 1; break;
        case gmPageUp: target = row - page; break;
        case gmPageDown: target = row + page; break;
        case gmHome: target = first; break;
        case gmEnd: target = last; break;
    }
    return std::max(first, std::min(target, last));
}

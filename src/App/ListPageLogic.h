#pragma once
// What the item list page decides, kept apart from its window so that it can
// be checked without one: what each grid cell shows and how, the hint over a
// cell, where a moved item goes, and the bookkeeping of an item's hot-key
// registration.
#include <functional>
#include <string>
#include <vector>

#include "App/LaunchItem.h"
#include "Hotkey/ShortCut.h"
#include "Lib/KestrlibPath.h"

// The text of a grid cell for a 1-based data row, as the main window gives it.
using TCellTextFn = std::function<std::string(int col, int row)>;

// Pixels the cell text keeps clear of the cell's left and right edges.
constexpr int CellTextMargin = 2;
// The command's small icon: its size, and how far the text moves right after it.
constexpr int CellIconSize = 16;
constexpr int CellIconAdvance = 18;

struct TCellPlan {
    bool Draw = false;         // false: the cell stays as the grid painted it
    std::string Text;
    int HAlign = taLeftTop;    // as the text drawing routine takes it
    bool Icon = false;         // the command's small icon goes before the text
    bool ShortenPath = false;  // leading folders give way to "...\" until the text fits
};

// How one cell of the grid is drawn; row 0 is the header, row r the item r - 1.
TCellPlan PlanCell(int col, int row, int itemCount, const TCellTextFn& cellText);

// The hint over the cell (col, row): the cell's full text; empty over the
// header, the row numbers, or where no item is (col or row -1: no cell).
std::string CellHint(int col, int row, int itemCount, const TCellTextFn& cellText);

// Where the item at index goes when moved by delta places (-1 up, +1 down):
// the new index, or -1 when it stays (first item up, last item down, no item).
int MoveTarget(int index, int count, int delta);

// Identifiers handed to items stay below this bound; the registrar's trial
// registration uses the one after it, so no item ever collides with it.
constexpr int HotKeyIdBound = 0xAFFFF;

// The lowest identifier from 0 up that none of the items' identifiers takes
// (-1, an item without registration, takes none); the bound itself when every
// identifier below it is taken.
int LowestFreeHotKeyId(std::vector<int> ItemIds);

// The registrar as the list page uses it.
struct TItemRegistrar {
    // Registers code under id: 0, or the system's error code.
    std::function<int(int id, ShortCutCode code)> Add;
    // Unregisters id: false when the system refuses.
    std::function<bool(int id)> Delete;
};

// Releases the item's hot key. An item without a registration (HotKeyId -1:
// its key was refused when it was added, edited or loaded) has nothing to
// release, so that it can still be repaired or removed. False when the
// registrar refuses to release a registration the item holds; the item then
// keeps it. Afterwards the item holds no identifier.
bool ReleaseItemHotKey(LaunchItem& item, const TItemRegistrar& registrar);

// Registers the item's shortcut (its text form) under id. When the registrar
// refuses, the item is left without a registration (HotKeyId -1) and the
// system's error code is returned; 0 on success.
int RegisterItemHotKey(LaunchItem& item, int id, const TItemRegistrar& registrar);

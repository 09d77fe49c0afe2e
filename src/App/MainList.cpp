// The item list page of the main window: drawing the grid, its hints, and
// the buttons that edit, add, delete and move items.
#include <windows.h>

#include <string>

#include "App/Item.h"
#include "App/LaunchLogic.h"
#include "App/ListPageLogic.h"
#include "App/Main.h"
#include "Framework/Exception.h"
#include "Framework/Forms.h"
#include "Framework/Handles.h"
#include "Framework/Scaling.h"
#include "Hotkey/HookHotKey.h"
#include "Lib/Kestrlib.h"

// Without a registrar (the window's creation stopped before it was made)
// nothing can be registered or released.
TItemRegistrar TFormMain::Registrar() {
    return TItemRegistrar{[](int id, ShortCutCode code) {
                              return HookHotKey ? HookHotKey->Add(id, code)
                                                : static_cast<int>(ERROR_INVALID_WINDOW_HANDLE);
                          },
                          [](int id) { return HookHotKey && HookHotKey->Delete(id); }};
}

void TFormMain::GridDrawCell(TObject*, int ACol, int ARow, RECT Rect, TGridDrawState) {
    const TCellPlan plan =
        PlanCell(ACol, ARow, ItemCount(), [this](int col, int row) { return CellText(col, row); });
    if (!plan.Draw) return;
    const int margin = KvMulDiv(CellTextMargin, PixelsPerInch(), DesignPixelsPerInch);
    Rect.left += margin;
    Rect.right -= margin;
    TCanvas& canvas = Grid->Canvas();
    std::string text = plan.Text;
    if (plan.ShortenPath)
        text = ShortenPath(text, Rect.right - Rect.left, [&canvas](const std::string& s) { return canvas.TextWidth(s); });
    // Asked anew at every paint: the file may have come or gone since.
    // A command quoted by hand names the file inside its quotes.
    const TIconHandle icon(plan.Icon ? GetFileSmallIcon(SplitCommand(ItemAt(ARow - 1)->Command).File) : nullptr);
    if (icon) {
        // At the shell's small icon size, which follows the screen's scaling.
        const int size = GetSystemMetrics(SM_CXSMICON);
        DrawIconEx(canvas.Handle(), Rect.left, Rect.top, icon.Get(), size, size, 0, nullptr, DI_NORMAL);
        Rect.left += KvMulDiv(CellIconAdvance, size, CellIconSize);
    }
    DrawTextInRect(text, Rect, plan.HAlign, canvas, ETO_CLIPPED, taCentre);
}

void TFormMain::GridMouseMove(TObject*, TShiftState, int X, int Y) {
    int col = -1;
    int row = -1;
    Grid->MouseToCell(X, Y, col, row);
    const std::string hint =
        CellHint(col, row, ItemCount(), [this](int c, int r) { return CellText(c, r); });
    if (hint == Grid->Hint()) return;
    Grid->SetHint(hint);
    // The new text pops up after the usual delay instead of the old one staying.
    Application->CancelHint();
}

void TFormMain::btnEditClick(TObject*) {
    const int i = Grid->Row() - 1;
    if (i < 0 || i >= ItemCount()) return;
    LaunchItem* item = ItemAt(i);
    ItemForm->SetItem(item);
    // An end asked for while the dialog is open cancels it; only the item
    // that was opened takes the entries.
    if (ItemForm->ShowModal() != mrOk || i >= ItemCount() || ItemAt(i) != item) {
        RefreshList();
        return;
    }
    ItemForm->GetItem(item);
    const TItemRegistrar registrar = Registrar();
    int stoppedAt = 0;
    if (!ReleaseItemHotKey(*item, registrar)) stoppedAt = 202;
    else if (RegisterItemHotKey(*item, NewHotKeyId(), registrar) != 0) stoppedAt = 206;
    // The item keeps its texts also without a hot key; shown and saved as it
    // now is, it can be edited again.
    RefreshList();
    SaveSettings();
    if (stoppedAt != 0) RaiseAt(MainSource, stoppedAt);
}

void TFormMain::btnAddClick(TObject*) {
    ItemForm->ClearItem();
    if (ItemForm->ShowModal() != mrOk) return;
    AddItem();
    LaunchItem* item = ItemAt(ItemCount() - 1);
    ItemForm->GetItem(item);
    // The entries are kept also when the key is refused: the new item shows
    // in the list without a hot key and can be edited or deleted like any other.
    const bool refused = RegisterItemHotKey(*item, NewHotKeyId(), Registrar()) != 0;
    RefreshList();
    SaveSettings();
    if (refused) RaiseAt(MainSource, 271);
}

void TFormMain::btnDeleteClick(TObject*) {
    const int i = Grid->Row() - 1;
    if (i < 0 || i >= ItemCount()) return;
    if (!ReleaseItemHotKey(*ItemAt(i), Registrar())) RaiseAt(MainSource, 498);
    FItems.erase(FItems.begin() + i);
    RefreshList();
    SaveSettings();
}

void TFormMain::btnUpClick(TObject*) {
    const int i = Grid->Row() - 1;
    const int j = MoveTarget(i, ItemCount(), -1);
    if (j < 0) return;
    ExchangeItems(i, j);
    Grid->SetRow(j + 1);
    Grid->Repaint();
    SaveSettings();
}

void TFormMain::btnDownClick(TObject*) {
    const int i = Grid->Row() - 1;
    const int j = MoveTarget(i, ItemCount(), +1);
    if (j < 0) return;
    ExchangeItems(i, j);
    Grid->SetRow(j + 1);
    Grid->Repaint();
    SaveSettings();
}

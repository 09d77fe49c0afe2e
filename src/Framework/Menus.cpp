#include "Framework/Menus.h"

#include "Framework/Forms.h"
#include "Framework/Handles.h"

namespace {
// Menu commands start above IDOK/IDCANCEL and below the controls' ids.
UINT nextCommand = 100;
HMENU shownMenu = nullptr;
}  // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(nextCommand++) {}

void TMenuItem::Click() {
    if (FEnabled && OnClick) OnClick(this);
}

void TMenuItem::AppendTo(HMENU menu) {
    UINT flags = FEnabled ? MF_STRING : (MF_STRING | MF_GRAYED);
    if (FCaption == "-") {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else if (FItems.empty()) {
        AppendMenuA(menu, flags, FCommand, FCaption.c_str());
    } else {
        TMenuHandle sub(CreatePopupMenu());
        for (TMenuItem* i : FItems) i->AppendTo(sub.Get());
        // Once appended, the submenu goes with the menu that holds it.
        if (AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Get()), FCaption.c_str()))
            sub.Release();
    }
}

TMenuItem* TMenuItem::FindCommand(UINT id) {
    if (id == FCommand) return this;
    for (TMenuItem* i : FItems)
        if (TMenuItem* f = i->FindCommand(id)) return f;
    return nullptr;
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(this)) {}

bool TMenu::DispatchCommand(UINT id) {
    TMenuItem* item = FItems->FindCommand(id);
    if (!item || item == FItems) return false;
    item->Click();
    return true;
}

HMENU TPopupMenu::ShownMenu() { return shownMenu; }

void TPopupMenu::Popup(int x, int y) {
    // Nothing would close a menu opened once the end is under way.
    if (Application->Terminated()) return;
    TMenuHandle menu(CreatePopupMenu());
    for (int i = 0; i < FItems->Count(); ++i) FItems->Items(i)->AppendTo(menu.Get());
    HWND owner = Application->Handle();
    shownMenu = menu.Get();
    UINT cmd = static_cast<UINT>(
        TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
    shownMenu = nullptr;
    // Lets the menu close properly when the user clicks elsewhere.
    PostMessageA(owner, WM_NULL, 0, 0);
    // The command may run long (a dialog) or end the program: the menu goes first.
    menu.Reset();
    if (cmd) DispatchCommand(cmd);
}

TMainMenu::~TMainMenu() {
    // A menu set on a window went with the window; one never shown is ours to free.
    if (FHandle && IsMenu(FHandle)) DestroyMenu(FHandle);
}

HMENU TMainMenu::Handle() {
    if (!FHandle) {
        FHandle = CreateMenu();
        for (int i = 0; i < FItems->Count(); ++i) FItems->Items(i)->AppendTo(FHandle);
    }
    return FHandle;
}

#include "Controls/Ytrayicon.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "Framework/Exception.h"
#include "Framework/Forms.h"
#include "Framework/Handles.h"
#include "Framework/Messages.h"
#include "Framework/SysUtils.h"

TStringList TrayIconList;
TCallbackWindow* CallbackWindow = nullptr;

namespace {

const char NoTrayIcon[] = "タスクトレイにアイコンを登録できません。";
constexpr int MaxIconID = 999;

TShellNotifyIconFunc shellNotifyIcon = nullptr;

BOOL CallShell(DWORD message, TNotifyIconData* data) {
    if (shellNotifyIcon) return shellNotifyIcon(message, data);
    return Shell_NotifyIconA(message, reinterpret_cast<NOTIFYICONDATAA*>(data));
}

// The shell announces a new taskbar (after Explorer restarted) with a
// registered message broadcast to top-level windows only. The callback
// window is a child, so the application's hidden window listens.
bool taskbarWatched = false;

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

// The list goes when the program's statics are destroyed; a tray icon that
// outlives it (its form destroyed later), and the application's window, must
// not touch it then.
bool unitFinalized = false;
struct TUnitFinalization {
    ~TUnitFinalization() { unitFinalized = true; }
} unitFinalization;

// A callback window made for an icon without an owner belongs to this unit.
std::unique_ptr<TCallbackWindow> ownerlessCallbackWindow;

void CreateCallbackWindow(TComponent* owner) {
    auto window = std::make_unique<TCallbackWindow>(owner);
    window->SetParent(dynamic_cast<TWinControl*>(owner));
    CallbackWindow = window.get();
    if (owner) window.release();
    else ownerlessCallbackWindow = std::move(window);
}

TyTrayIcon* IconAt(int index) { return static_cast<TyTrayIcon*>(TrayIconList.Objects(index)); }

}  // namespace

TShellNotifyIconFunc SetShellNotifyIconFunc(TShellNotifyIconFunc func) {
    TShellNotifyIconFunc old = shellNotifyIcon;
    shellNotifyIcon = func;
    return old;
}

// ---------------------------------------------------------------- TCallbackWindow

TCallbackWindow::TCallbackWindow(TComponent* AOwner) : TWinControl(AOwner) { SetVisibleField(false); }

TCallbackWindow::~TCallbackWindow() {
    if (CallbackWindow == this) CallbackWindow = nullptr;
}

void TCallbackWindow::WndProc(TMessage& m) {
    if (m.Msg == WM_TRAYICON) {
        CallbackWndProc(m);
        return;
    }
    TWinControl::WndProc(m);
}

void TCallbackWindow::CallbackWndProc(TMessage& Message) {
    int index = TrayIconList.IndexOf(IntToStr(static_cast<long long>(Message.WParam)));
    if (index < 0) return;
    TyTrayIcon* icon = IconAt(index);
    if (!icon) return;
    POINT p{0, 0};
    GetCursorPos(&p);
    switch (Message.LParam) {
        case WM_MOUSEMOVE:
            if (icon->OnMouseMove) icon->OnMouseMove(icon, 0, p.x, p.y);
            break;
        case WM_LBUTTONDOWN:
            if (icon->LBPopupMenu && icon->FAutoPopup) ShowMenu(icon->LBPopupMenu, p.x, p.y);
            else if (icon->OnMouseDown) icon->OnMouseDown(icon, mbLeft, ssLeft, p.x, p.y);
            break;
        case WM_LBUTTONUP:
            if (icon->OnMouseUp) icon->OnMouseUp(icon, mbLeft, ssLeft, p.x, p.y);
            break;
        case WM_LBUTTONDBLCLK:
            if (icon->OnDblClick) icon->OnDblClick(icon);
            break;
        case WM_RBUTTONDOWN:
            if (icon->RBPopupMenu && icon->FAutoPopup) ShowMenu(icon->RBPopupMenu, p.x, p.y);
            else if (icon->OnMouseDown) icon->OnMouseDown(icon, mbRight, ssRight, p.x, p.y);
            break;
        case WM_RBUTTONUP:
            if (icon->OnMouseUp) icon->OnMouseUp(icon, mbRight, ssRight, p.x, p.y);
            break;
        case WM_MBUTTONDOWN:
            if (icon->OnMouseDown) icon->OnMouseDown(icon, mbMiddle, ssMiddle, p.x, p.y);
            break;
        case WM_MBUTTONUP:
            if (icon->OnMouseUp) icon->OnMouseUp(icon, mbMiddle, ssMiddle, p.x, p.y);
            break;
        default:
            break;
    }
}

void TCallbackWindow::ShowMenu(TPopupMenu* menu, int x, int y) {
    // Without the foreground the menu would not close when the user clicks
    // elsewhere.
    SetForegroundWindow(Application->Handle());
    Application->ProcessMessages();
    menu->Popup(x, y);
}

// ---------------------------------------------------------------- TyTrayIcon

TyTrayIcon::TyTrayIcon(TComponent* AOwner) : TComponent(AOwner) {
    // A number freed by an earlier icon comes back only when it was the last.
    FIconID = TrayIconList.Count() == 0 ? 1 : StrToInt(TrayIconList.Strings(TrayIconList.Count() - 1)) + 1;
    if (FIconID > MaxIconID) throw EOutOfMemory(NoTrayIcon);
    if (!Designing()) FIcon.OnChange = [this](TObject* Sender) { IconChange(Sender); };
    TrayIconList.AddObject(IntToStr(FIconID), this);
    if (Designing()) return;
    try {
        if (!CallbackWindow) CreateCallbackWindow(Owner());
        FNotifyData = std::make_unique<TNotifyIconData>();
        FNotifyData->cbSize = sizeof(TNotifyIconData);
        FNotifyData->uCallbackMessage = WM_TRAYICON;
        FNotifyData->uID = static_cast<UINT>(FIconID);
        FNotifyData->hWnd = CallbackWindow->Handle();
        StartTaskbarWatch();
    } catch (...) {
        FIcon.OnChange = nullptr;
        TrayIconList.Delete(TrayIconList.IndexOf(IntToStr(FIconID)));
        throw;
    }
}

TyTrayIcon::~TyTrayIcon() {
    FIcon.OnChange = nullptr;
    if (!Designing() && FInTray) SetTrayIcon(2);
    FNotifyData.reset();
    if (unitFinalized) return;
    int index = TrayIconList.IndexOf(IntToStr(FIconID));
    if (index >= 0) TrayIconList.Delete(index);
}

void TyTrayIcon::Loaded() {
    try {
        if (!Designing()) SetTrayIcon(0);
    } catch (...) {
        // The component is loaded whether or not the shell took the icon.
        TComponent::Loaded();
        throw;
    }
    TComponent::Loaded();
}

void TyTrayIcon::FillNotifyData() {
    FNotifyData->hIcon = FIcon.Handle();
    std::memset(FNotifyData->szTip, 0, sizeof FNotifyData->szTip);
    std::memcpy(FNotifyData->szTip, FTipHelp.data(), std::min(FTipHelp.size(), sizeof FNotifyData->szTip - 1));
    FNotifyData->uFlags = FTipHelp.empty() ? (NIF_MESSAGE | NIF_ICON) : (NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

void TyTrayIcon::SetTrayIcon(int mode) {
    if (!FNotifyData) return;
    FillNotifyData();
    switch (mode) {
        case NIM_ADD:
            if (!FVisible) return;
            if (!CallShell(NIM_ADD, FNotifyData.get())) throw EOutOfMemory(NoTrayIcon);
            FInTray = true;
            break;
        case NIM_MODIFY:
            if (!CallShell(NIM_MODIFY, FNotifyData.get())) throw EOutOfMemory(NoTrayIcon);
            break;
        case NIM_DELETE:
            CallShell(NIM_DELETE, FNotifyData.get());
            FInTray = false;
            break;
        default:
            break;
    }
}

void TyTrayIcon::SetVisible(bool value) {
    if (value == FVisible) return;
    FVisible = FIcon.Handle() ? value : false;
    if (Designing() || Loading()) return;
    if (FVisible) SetTrayIcon(0);
    else if (FInTray) SetTrayIcon(2);
}

void TyTrayIcon::SetIcon(const TIcon* value) {
    if (value == &FIcon) return;
    if (value) {
        FIcon.Assign(*value);
        return;
    }
    // The shell may still show the old picture until the icon is deleted, so
    // the detached handle is destroyed only after that.
    TIconHandle detached(FIcon.Handle());
    FIcon.ReleaseHandle();
    FIcon.SetHandle(nullptr);
    SetVisible(false);
}

void TyTrayIcon::IconChange(TObject*) {
    if (FInTray) SetTrayIcon(1);
}

void TyTrayIcon::SetTipHelp(const std::string& value) {
    std::string tip = value.substr(0, TrayTipMaxBytes);
    if (tip == FTipHelp) return;
    FTipHelp = tip;
    if (!Designing() && FInTray) SetTrayIcon(1);
}

void TyTrayIcon::SetAutoPopup(bool value) { FAutoPopup = value; }

void TyTrayIcon::ReAdd() {
    if (!FNotifyData || !FVisible || Loading()) return;
    FillNotifyData();
    // An icon the shell still has (a spurious announcement) refuses the add
    // and stays where it is.
    if (CallShell(NIM_ADD, FNotifyData.get())) FInTray = true;
}

// Once for the process: the application's window lives as long, and with no
// icon left an announcement finds nothing to put back.
void TyTrayIcon::StartTaskbarWatch() {
    if (taskbarWatched) return;
    const UINT taskbarCreated = TaskbarCreatedMessage();
    Application->HookMainWindow([taskbarCreated](TMessage& m) {
        if (m.Msg != taskbarCreated || unitFinalized) return false;
        for (int i = 0; i < TrayIconList.Count(); ++i)
            if (TyTrayIcon* icon = IconAt(i)) icon->ReAdd();
        return true;
    });
    // The window must exist to hear the broadcast; the icon's owner form
    // normally made it already, as the owner of its own window.
    Application->Handle();
    taskbarWatched = true;
}

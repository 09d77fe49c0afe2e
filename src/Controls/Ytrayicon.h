#pragma once
// The notification-area icon: one icon with a tooltip per component, mouse
// activity over it turned into events, and a pop-up menu on a button press.
// All tray icons of the process share one hidden callback window.
#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>

#include "Framework/Classes.h"
#include "Framework/Controls.h"
#include "Framework/Graphics.h"
#include "Framework/Menus.h"

// The shell's notification record in its first form, which every shell
// accepts and which holds all the icon needs: 88 bytes in the 32-bit program,
// 104 in the 64-bit one, whose handles are 8 bytes wide and 8-byte aligned.
struct TNotifyIconData {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    char szTip[64];
};
#ifdef _WIN64
static_assert(sizeof(TNotifyIconData) == 104, "the 104-byte notification record of 64-bit shells");
static_assert(offsetof(TNotifyIconData, cbSize) == 0, "cbSize");
static_assert(offsetof(TNotifyIconData, hWnd) == 8, "hWnd");
static_assert(offsetof(TNotifyIconData, uID) == 16, "uID");
static_assert(offsetof(TNotifyIconData, uFlags) == 20, "uFlags");
static_assert(offsetof(TNotifyIconData, uCallbackMessage) == 24, "uCallbackMessage");
static_assert(offsetof(TNotifyIconData, hIcon) == 32, "hIcon");
static_assert(offsetof(TNotifyIconData, szTip) == 40, "szTip");
#else
static_assert(sizeof(TNotifyIconData) == 88, "the 88-byte notification record");
static_assert(offsetof(TNotifyIconData, cbSize) == 0, "cbSize");
static_assert(offsetof(TNotifyIconData, hWnd) == 4, "hWnd");
static_assert(offsetof(TNotifyIconData, uID) == 8, "uID");
static_assert(offsetof(TNotifyIconData, uFlags) == 12, "uFlags");
static_assert(offsetof(TNotifyIconData, uCallbackMessage) == 16, "uCallbackMessage");
static_assert(offsetof(TNotifyIconData, hIcon) == 20, "hIcon");
static_assert(offsetof(TNotifyIconData, szTip) == 24, "szTip");
#endif

// The message the shell sends to the callback window: WParam is the icon's
// number, LParam the mouse message.
constexpr UINT WM_TRAYICON = WM_USER + 200;

// Longest tooltip in bytes; longer texts are cut.
constexpr std::size_t TrayTipMaxBytes = 62;

// How the icon talks to the shell; tests put a recorder in place. A plain
// function pointer, so that icons destroyed late at shutdown can still use it.
using TShellNotifyIconFunc = BOOL (*)(DWORD message, TNotifyIconData* data);
// Puts func in place of Shell_NotifyIconA (nullptr restores it) and returns
// the one it replaces.
TShellNotifyIconFunc SetShellNotifyIconFunc(TShellNotifyIconFunc func);

class TyTrayIcon;

// The shared hidden window that receives the shell's notifications: a child
// of the first tray icon's owner window, which destroys it.
class TCallbackWindow : public TWinControl {
public:
    explicit TCallbackWindow(TComponent* AOwner);
    ~TCallbackWindow() override;
    std::string ClassName() const override { return "TCallbackWindow"; }

protected:
    void WndProc(TMessage& m) override;

private:
    void CallbackWndProc(TMessage& Message);
    void ShowMenu(TPopupMenu* menu, int x, int y);
};

class TyTrayIcon : public TComponent {
public:
    // Raises EOutOfMemory when no icon number up to 999 is left.
    explicit TyTrayIcon(TComponent* AOwner);
    ~TyTrayIcon() override;
    void Loaded() override;

    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool value);
    TIcon& Icon() { return FIcon; }
    // Copies value into the owned icon; none clears it and hides the icon.
    void SetIcon(const TIcon* value);
    const std::string& TipHelp() const { return FTipHelp; }
    void SetTipHelp(const std::string& value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);

    // The icon's number among the process's tray icons (1 to 999).
    int IconID() const { return FIconID; }
    // True while the icon is in the notification area.
    bool InTray() const { return FInTray; }

    // Sends the record to the shell: 0 adds (only while Visible), 1 modifies,
    // 2 deletes. A refused add or modify raises EOutOfMemory.
    void SetTrayIcon(int mode);
    void IconChange(TObject* Sender);

    TPopupMenu* LBPopupMenu = nullptr;
    TPopupMenu* RBPopupMenu = nullptr;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

private:
    friend class TCallbackWindow;
    void FillNotifyData();
    // After the shell's taskbar was re-created: puts back the icon that
    // should be in the tray.
    void ReAdd();
    static void StartTaskbarWatch();

    bool FAutoPopup = true;
    TIcon FIcon;
    std::string FTipHelp = "TipHelp";
    bool FVisible = false;
    int FIconID = 0;
    bool FInTray = false;
    std::unique_ptr<TNotifyIconData> FNotifyData;
};

// One entry per live tray icon, in creation order: the icon's number as
// decimal text, with the component as the entry's object.
extern TStringList TrayIconList;
// The shared callback window; none until the first tray icon is created.
extern TCallbackWindow* CallbackWindow;

#include "Framework/Forms.h"

#include <commctrl.h>

#include <algorithm>

#include "Framework/Menus.h"
#include "Framework/Placement.h"
#include "Framework/Scaling.h"
#include "Framework/SysUtils.h"
#include "Framework/SystemLibrary.h"

namespace {

TApplication applicationInstance;

struct DisabledWindows {
    HWND except;
    std::vector<HWND> list;
};

BOOL CALLBACK DisableOne(HWND wnd, LPARAM lp) {
    auto* d = reinterpret_cast<DisabledWindows*>(lp);
    if (wnd != d->except && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
        EnableWindow(wnd, FALSE);
        d->list.push_back(wnd);
    }
    return TRUE;
}

// Hides a tip and starts its delay again where the mouse rests. A tip hears
// of the mouse only through the moves relayed to it, and the move that
// changed the text went by before the text changed; a tip restarts its delay
// only when the mouse comes into a tool, so it is told that the mouse left
// (a move over the tip itself, no tool) and came back.
BOOL CALLBACK PopTooltip(HWND wnd, LPARAM) {
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpiA(cls, TOOLTIPS_CLASSA) != 0) return TRUE;
    SendMessageA(wnd, TTM_POP, 0, 0);
    MSG move{};
    GetCursorPos(&move.pt);
    const HWND under = WindowFromPoint(move.pt);
    POINT client = move.pt;
    if (!under || !ScreenToClient(under, &client)) return TRUE;
    move.message = WM_MOUSEMOVE;
    move.time = GetMessageTime();
    move.hwnd = wnd;
    SendMessageA(wnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
    move.hwnd = under;
    move.lParam = MAKELPARAM(client.x, client.y);
    SendMessageA(wnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
    return TRUE;
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM lp) {
    auto* areas = reinterpret_cast<std::vector<TRect>*>(lp);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    // The primary monitor goes first: it wins where two are equally near.
    const TRect area = FromWinRect(info.rcWork);
    if (info.dwFlags & MONITORINFOF_PRIMARY) areas->insert(areas->begin(), area);
    else areas->push_back(area);
    return TRUE;
}

}  // namespace

TApplication* Application = &applicationInstance;

// ---------------------------------------------------------------- TForm

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
    SetVisibleField(false);
    SetBounds(100, 100, 400, 300);
    FIcon.OnChange = [this](TObject*) {
        if (FHandle && FIconsSent) SendIcons();
    };
    FSmallIcon.OnChange = FIcon.OnChange;
}

TForm::~TForm() {
    MarkDestroying();
    if (Application) Application->RemoveForm(this);
}

void TForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Style = WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_CONTROLPARENT;
    switch (FBorderStyle) {
        case bsDialog:
            params.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
            params.ExStyle |= WS_EX_DLGMODALFRAME;
            break;
        case bsNone:
            params.Style |= WS_POPUP;
            break;
        case bsToolWindow:
            params.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
            params.ExStyle |= WS_EX_TOOLWINDOW;
            break;
        default:
            params.Style |= WS_OVERLAPPEDWINDOW;
            break;
    }
    params.WndParent = Application->Handle();
}

void TForm::HandleCreated() {
    FIconsSent = false;
    if (FMenu) ::SetMenu(FHandle, FMenu->Handle());
}

// The display driver makes the pictures of the icons as it takes them, so
// a window gets them when it is first shown: the program's main window may
// never be.
void TForm::SendIcons() {
    FIconsSent = true;
    SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon.Handle()));
    SendMessageA(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(SmallIconHandle()));
}

void TForm::SetCaption(const std::string& text) { TWinControl::SetCaption(text); }

void TForm::SetClientSize(int width, int height) {
    TCreateParams params;
    CreateParams(params);
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, params.Style, FMenu != nullptr, params.ExStyle);
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TForm::SetVisible(bool visible) {
    if (visible == Visible()) return;
    if (visible) {
        KeepOnScreen();
        BeginShowing();
        if (!FIconsSent && !FIcon.Empty()) SendIcons();
        DoShow();
        TWinControl::SetVisible(true);
        // A form hidden while minimised comes back where the user sees it.
        if (WindowState() == wsMinimized) SetWindowState(wsNormal);
        SetForegroundWindow(FHandle);
        if (FActiveControl && FActiveControl->CanFocus()) FActiveControl->SetFocus();
        else SelectFirst();
    } else {
        TWinControl::SetVisible(false);
        FFocusedWnd = nullptr;
        if (OnHide) OnHide(this);
    }
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close() {
    if (FModal) {
        if (FModalResult == mrNone) FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    if (Application->MainForm() == this) Application->Terminate();
    else Hide();
}

int TForm::ShowModal() {
    if (Visible() || FModal) throw Exception("表示中のウィンドウはモーダルにできません");
    HandleNeeded();
    HWND previous = GetActiveWindow();
    DisabledWindows disabled{FHandle, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
    FModal = true;
    FModalResult = mrNone;
    // A form shown once the program's loop has ended (while the windows go)
    // waits for its user like any other; only a quit taken while it runs ends it.
    const bool endedBefore = Application->Terminated();
    try {
        Show();
        while (FModalResult == mrNone) {
            Application->HandleMessage();
            // The end was asked for here or in a loop inside this one; the
            // program's loop ends as well once this one has gone.
            if (Application->Terminated() && !endedBefore) {
                FModalResult = mrCancel;
                break;
            }
            if (FModalResult != mrNone && !CloseQuery()) FModalResult = mrNone;
        }
    } catch (...) {
        for (HWND w : disabled.list) EnableWindow(w, TRUE);
        FModal = false;
        Hide();
        throw;
    }
    for (HWND w : disabled.list) EnableWindow(w, TRUE);
    FModal = false;
    Hide();
    if (previous && IsWindow(previous)) SetActiveWindow(previous);
    return FModalResult;
}

void TForm::DoCreate() {
    if (FCreated) return;
    FCreated = true;
    try {
        if (OnCreate) OnCreate(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TForm::DoDestroy() {
    if (FDestroyed) return;
    FDestroyed = true;
    try {
        if (OnDestroy) OnDestroy(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

TWindowState TForm::WindowState() {
    if (!FHandle) return wsNormal;
    if (IsIconic(FHandle)) return wsMinimized;
    return IsZoomed(FHandle) ? wsMaximized : wsNormal;
}

void TForm::SetWindowState(TWindowState state) {
    if (state == WindowState()) return;
    static const int commands[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
    ShowWindow(Handle(), commands[state]);
}

void TForm::SetMinimumSize(int width, int height) {
    FMinWidth = width;
    FMinHeight = height;
}

void TForm::ChangeScale(int M, int D) {
    if (M == D) return;
    FPixelsPerInch = KvMulDiv(FPixelsPerInch, M, D);
    FMinWidth = KvMulDiv(FMinWidth, M, D);
    FMinHeight = KvMulDiv(FMinHeight, M, D);
    TCreateParams params;
    CreateParams(params);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, params.Style, FMenu != nullptr, params.ExStyle);
    const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    SetBounds(KvMulDiv(Left(), M, D), KvMulDiv(Top(), M, D), KvMulDiv(Width() - frameWidth, M, D) + frameWidth,
              KvMulDiv(Height() - frameHeight, M, D) + frameHeight);
    ScaleFontAndControls(M, D);
}

void TForm::KeepOnScreen() {
    if (FHandle && (IsIconic(FHandle) || IsZoomed(FHandle))) return;
    std::vector<TRect> areas;
    EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    // The caption with the sizing frame above it: the part the user takes
    // hold of to move the window.
    const int caption = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYSIZEFRAME);
    const TWindowBounds now{Left(), Top(), Width(), Height()};
    const TWindowBounds placed = PlaceOnWorkAreas(now, areas, FMinWidth, FMinHeight, caption);
    if (!(placed == now)) SetBounds(placed.Left, placed.Top, placed.Width, placed.Height);
}

TForm* GetParentForm(TWinControl* control) {
    while (control && control->Parent()) control = control->Parent();
    return dynamic_cast<TForm*>(control);
}

TWinControl* TForm::FocusedControl() {
    for (HWND w = GetFocus(); w && w != FHandle && IsChild(FHandle, w); w = GetParent(w))
        if (TWinControl* c = FromHandle(w)) return c;
    return nullptr;
}

void TForm::SetFocusedControl(TWinControl* control) { FFocusedWnd = control->Handle(); }

void TForm::SelectNext(TWinControl* current, bool forward) {
    if (TWinControl* next = FindNextControl(current, forward)) next->SetFocus();
}

bool TForm::RestoreFocus() {
    TWinControl* last = IsChild(FHandle, FFocusedWnd) ? FromHandle(FFocusedWnd) : nullptr;
    TWinControl* target = last && last->CanFocus() ? last : FindNextControl(last, true);
    if (!target) return false;
    target->SetFocus();
    return true;
}

bool TForm::OfferToControls(const std::function<bool(TWinControl*)>& take) {
    std::vector<TWinControl*> controls;
    GetTabOrderList(controls);
    return std::any_of(controls.begin(), controls.end(), take);
}

bool TForm::DialogMessage(MSG& msg) {
    // Enter, Esc and the access keys start handlers from the message loop,
    // outside any window procedure and its guard.
    try {
        return DispatchDialogMessage(msg);
    } catch (...) {
        Application->HandleException(this);
        return true;
    }
}

bool TForm::DispatchDialogMessage(MSG& msg) {
    const auto dlgCode = [&msg] {
        return SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    };
    switch (msg.message) {
        case WM_KEYDOWN: {
            const WORD key = static_cast<WORD>(msg.wParam);
            if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE && key != VK_PRIOR && key != VK_NEXT) break;
            const LRESULT code = dlgCode();
            if (code & DLGC_WANTMESSAGE) break;
            const TShiftState shift = KeyboardShiftState();
            if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
                if (code & DLGC_WANTTAB) break;
                SelectNext(FocusedControl(), !(shift & ssShift));
                return true;
            }
            if (OfferToControls([&](TWinControl* c) { return c->DialogKey(key, shift); })) return true;
            break;
        }
        case WM_CHAR:
        case WM_SYSCHAR: {
            // A double-byte character comes as two messages, its lead byte and
            // its trail byte (WM_IME_CHAR turns into the same two); neither
            // half is an access key, not even to the system's dialog manager.
            if (!FChars.Whole(static_cast<unsigned char>(msg.wParam))) {
                DispatchMessageA(&msg);
                return true;
            }
            // Without Alt a letter is an access key only where no text is typed.
            if (msg.message == WM_CHAR && (dlgCode() & (DLGC_WANTCHARS | DLGC_WANTMESSAGE))) break;
            // The first control of the form that answers to the letter takes
            // it, wherever the focus is (the system's dialogs would start
            // looking at the focus).
            const char key = static_cast<char>(msg.wParam);
            if (OfferToControls([key](TWinControl* c) { return c->DialogChar(key); })) return true;
            break;
        }
        default:
            break;
    }
    return IsDialogMessageA(FHandle, &msg) != FALSE;
}

void TForm::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_CLOSE:
            Close();
            return;
        case WM_ACTIVATE:
            // Give the keyboard back to the control that had it (after a message
            // box, for example) instead of leaving it on the bare window.
            if (LOWORD(m.WParam) != WA_INACTIVE && !HIWORD(m.WParam) && RestoreFocus()) return;
            break;
        case WM_SETFOCUS:
            // The system hands the focus to the form itself (when a message
            // box closes, say), where no key reaches a control.
            if (!IsIconic(FHandle) && RestoreFocus()) return;
            break;
        case WM_NEXTDLGCTL:
            // As the system's dialogs define it: with LOWORD(lParam) set,
            // wParam is the control to focus; else wParam 0 moves the focus to
            // the next control and any other value to the previous one.
            if (LOWORD(m.LParam)) {
                const HWND target = reinterpret_cast<HWND>(m.WParam);
                if (IsChild(FHandle, target)) ::SetFocus(target);
            } else {
                SelectNext(FocusedControl(), m.WParam == 0);
            }
            return;
        case WM_ERASEBKGND:
            EraseBackground(m);
            return;
        case WM_COMMAND:
            if (m.LParam == 0) {
                const WORD id = LOWORD(m.WParam);
                // The system's dialog manager asks for the default or the cancel button.
                if (id == IDOK || id == IDCANCEL) {
                    const WORD key = id == IDOK ? VK_RETURN : VK_ESCAPE;
                    OfferToControls([key](TWinControl* c) { return c->DialogKey(key, 0); });
                    return;
                }
                if (FMenu && FMenu->DispatchCommand(id)) return;
            }
            break;
        default:
            break;
    }
    TWinControl::WndProc(m);
}

// ---------------------------------------------------------------- TApplication

TApplication::TApplication() : TComponent(nullptr) {
    // The application object is built before WinMain runs, and nothing of the
    // program loads a library before it: the search is restricted first.
    RestrictLibrarySearch();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    comctl32::InitCommonControlsEx(&icc);
}

TApplication::~TApplication() {
    DestroyForms();
    if (FHandle) DestroyWindow(FHandle);
}

void TApplication::Initialize() {}

HWND TApplication::Handle() {
    if (!FHandle) {
        RegisterWindowClass("TApplication", AppWndProc);
        FHandle = CreateWindowExA(0, "TApplication", Title().c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                  0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    return FHandle;
}

void TApplication::HookMainWindow(std::function<bool(TMessage&)> hook) { FHooks.push_back(std::move(hook)); }

LRESULT CALLBACK TApplication::AppWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    TMessage m{wnd, msg, wp, lp, 0};
    try {
        // A hook may add another while it runs; the one running is a copy.
        for (size_t i = 0; i < Application->FHooks.size(); ++i) {
            const auto hook = Application->FHooks[i];
            if (hook(m)) return m.Result;
        }
    } catch (...) {
        Application->HandleException(Application);
        return m.Result;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

void TApplication::SetTitle(const std::string& title) {
    FTitle = title;
    if (FHandle) SetWindowTextA(FHandle, title.c_str());
}

std::string TApplication::ExeName() const {
    std::string buf(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, &buf[0], static_cast<DWORD>(buf.size()));
        if (n < buf.size()) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

void TApplication::AddForm(TForm* form) {
    FForms.push_back(form);
    if (!FMainForm) FMainForm = form;
}

void TApplication::ScaleToScreen(TForm* form) { form->ChangeScale(TScreen::PixelsPerInch(), DesignPixelsPerInch); }

int TScreen::PixelsPerInch() {
    static const int pixelsPerInch = [] {
        const TBorrowedDC screen(nullptr);
        const int ppi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
        return ppi > 0 ? ppi : DesignPixelsPerInch;
    }();
    return pixelsPerInch;
}

void TApplication::RemoveForm(TForm* form) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), form), FForms.end());
    if (FMainForm == form) FMainForm = nullptr;
}

void TApplication::DestroyForms() {
    while (!FForms.empty()) {
        TForm* f = FForms.back();
        f->DoDestroy();
        // The form leaves FForms in its destructor.
        delete f;
    }
}

// A quit left in the queue would end every modal loop that follows at once,
// the message boxes of the saving at the end among them, so the loop takes
// its own quit away when it ends.
void TApplication::Run() {
    if (FShowMainForm && FMainForm) FMainForm->Show();
    while (!FTerminated) HandleMessage();
    FRunEnded = true;
    if (FQuitPosted) {
        MSG msg;
        PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        FQuitPosted = false;
    }
}

// The quit ends the loops of others (a message box's); the flag ends ours, also
// when such a loop took the quit without posting it again, as a menu's does.
// Once the loop has ended a new quit would only wait in the queue for the next
// message box and end it unseen, so it isn't posted.
void TApplication::Terminate() {
    if (FRunEnded || FTerminated) return;
    FTerminated = true;
    EndMenu();
    PostQuitMessage(0);
    FQuitPosted = true;
}

bool TApplication::ProcessMessage(MSG& msg) {
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    auto* form = root ? dynamic_cast<TForm*>(TWinControl::FromHandle(root)) : nullptr;
    if (form && form->DialogMessage(msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

bool TApplication::HandleMessage() {
    MSG msg;
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r == 0 || r == -1) {
        FTerminated = true;
        FQuitPosted = false;
        return false;
    }
    ProcessMessage(msg);
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            FTerminated = true;
            FQuitPosted = false;
            break;
        }
        ProcessMessage(msg);
    }
}

void TApplication::HandleException(TObject* Sender) {
    if (!std::current_exception()) return;
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            if (OnException) OnException(Sender, e);
            else ShowException(e);
        } catch (...) {
            Exception e("不明な例外が発生しました");
            if (OnException) OnException(Sender, e);
            else ShowException(e);
        }
    } catch (...) {
        // A failing error handler must not take the message loop down.
    }
}

void TApplication::ShowException(const std::exception& e) {
    MessageBox(e.what(), Title(), MB_OK | MB_ICONERROR);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    HWND owner = GetActiveWindow();
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags | MB_SETFOREGROUND);
}

void TApplication::CancelHint() {
    EnumThreadWindows(GetCurrentThreadId(), PopTooltip, 0);
}

void ShowMessage(const std::string& text) {
    std::string title = Application->Title();
    if (title.empty()) title = ChangeFileExt(ExtractFileName(Application->ExeName()), "");
    Application->MessageBox(text, title, MB_OK);
}

#pragma once
// Forms (top-level windows), the application object and its message loop.
#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "Framework/Controls.h"
#include "Framework/CtrlText.h"
#include "Framework/Exception.h"

class TMainMenu;

enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };
enum TFormBorderStyle { bsSizeable, bsDialog, bsNone, bsToolWindow };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;
    std::string ClassName() const override { return "TForm"; }

    void SetCaption(const std::string& text) override;
    void SetVisible(bool visible) override;
    void SetBorderStyle(TFormBorderStyle style) { FBorderStyle = style; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    // Sizes the window so that its client area has this size.
    void SetClientSize(int width, int height);
    TIcon& Icon() { return FIcon; }
    // The caption's and the taskbar's icon; the large one stands in while it is empty.
    TIcon& SmallIcon() { return FSmallIcon; }
    void SetMenu(TMainMenu* menu) { FMenu = menu; }
    HICON SmallIconHandle() const { return FSmallIcon.Empty() ? FIcon.Handle() : FSmallIcon.Handle(); }

    // Asks OnCloseQuery; when allowed, hides the form, ends its modal loop, or
    // (for the main form) ends the application.
    void Close();
    bool CloseQuery();
    int ShowModal();
    bool Modal() const { return FModal; }
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int r) { FModalResult = r; }
    // The control that has the focus when the form is shown.
    void SetActiveControl(TWinControl* c) { FActiveControl = c; }
    // Minimised, maximised or neither. Setting it shows the window in that
    // state (a minimised one comes back to its normal place), so set it on
    // a form that is shown.
    TWindowState WindowState();
    void SetWindowState(TWindowState state);
    // The smallest size the form is placed at; 0 × 0 unless set.
    void SetMinimumSize(int width, int height);
    // Brings the form where the user can reach it: onto a monitor that
    // exists now when its caption bar is not on one, at no less than its
    // minimum size. Showing the form does this too; a minimised or maximised
    // form is left as it is.
    void KeepOnScreen();
    // Scales the client area (the frame is the system's, at the screen's
    // size already), the place, the minimum size, the font and every control.
    void ChangeScale(int M, int D) override;
    // The pixels per inch the form's sizes are in: 96 as designed, the
    // screen's once the application has created it.
    int PixelsPerInch() const { return FPixelsPerInch; }

    // The keys of a dialog, taken before the system's dialog manager sees
    // them: Tab and Shift+Tab through the form's own tab order, and Enter,
    // Esc, Ctrl+Tab and the like, and the access keys, offered to the
    // controls in that order (a control that wants the key itself keeps it).
    // True when the message was handled. What a handler started by a key
    // raises is reported like a handler's error in a window procedure, and
    // the key counts as handled.
    bool DialogMessage(MSG& msg);
    // Moves the focus on from current as Tab (Shift+Tab) does.
    void SelectNext(TWinControl* current, bool forward);
    // Every control of the form reports here when it takes the focus: that
    // is where the focus goes back to when the form is active again.
    void SetFocusedControl(TWinControl* control);

    // Runs OnCreate, reporting what it raises; the form exists either way.
    void DoCreate();
    // Runs OnDestroy once; the application calls it before it deletes the form.
    void DoDestroy();

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseQueryEvent OnCloseQuery;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    void HandleCreated() override;
    virtual void DoShow();

private:
    bool DispatchDialogMessage(MSG& msg);
    // The control of this form that has the focus, or nullptr.
    TWinControl* FocusedControl();
    // Offers something to the controls in the tab order until one takes it.
    bool OfferToControls(const std::function<bool(TWinControl*)>& take);
    // Gives the focus back to the control that had it last, else to the
    // next one that can take it; false when no control can.
    bool RestoreFocus();
    void SendIcons();
    TFormBorderStyle FBorderStyle = bsSizeable;
    TIcon FIcon;
    TIcon FSmallIcon;
    // The window has been given the icons (at its first showing).
    bool FIconsSent = false;
    TMainMenu* FMenu = nullptr;
    bool FModal = false;
    int FModalResult = 0;
    bool FCreated = false;
    bool FDestroyed = false;
    TWinControl* FActiveControl = nullptr;
    HWND FFocusedWnd = nullptr;
    // The characters typed into the form, byte by byte as WM_CHAR brings them.
    TCharReader FChars;
    int FMinWidth = 0;
    int FMinHeight = 0;
    int FPixelsPerInch = 96;
};

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    void Initialize();
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& title);
    // The hidden top-level window that stands for the program.
    HWND Handle();
    // Messages to that window go to each hook in turn until one returns true,
    // the rest to the system. Being top-level, the window hears what the
    // system broadcasts. A hook stays for the life of the application.
    void HookMainWindow(std::function<bool(TMessage&)> hook);
    TForm* MainForm() const { return FMainForm; }
    bool ShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool v) { FShowMainForm = v; }
    std::string ExeName() const;

    // Creates a form owned by the application, scaled to the screen before
    // its OnCreate runs; the first one becomes the main form.
    template <class T>
    void CreateForm(T*& ref) {
        T* form = new T(this);
        ref = form;
        AddForm(form);
        ScaleToScreen(form);
        form->DoCreate();
    }
    void AddForm(TForm* form);
    // Scales a form from its design's 96 pixels per inch to the screen's.
    void ScaleToScreen(TForm* form);
    void RemoveForm(TForm* form);
    // Destroys every form (newest first), running their OnDestroy.
    void DestroyForms();

    // Runs the message loop until an end is asked for (Terminate() or a
    // WM_QUIT from elsewhere); no quit of Terminate's is left in the queue then.
    void Run();
    // Asks every loop to end, whichever runs now: an open menu closes, a
    // message box or a loop of another's ends on the quit posted here, and
    // each loop of the framework ends as soon as it regains control, even
    // when a loop of another's took the quit and did not post it again. Does
    // nothing once Run has ended.
    void Terminate();
    // True once an end has been asked for.
    bool Terminated() const { return FTerminated; }
    void ProcessMessages();
    // One message through the program's dispatch; false when it took WM_QUIT.
    bool HandleMessage();
    bool ProcessMessage(MSG& msg);

    // Call inside a catch block: reports the exception being handled.
    void HandleException(TObject* Sender);
    void ShowException(const std::exception& e);
    TExceptionEvent OnException;

    // Modal message box captioned with the title, owned by the active window.
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);
    void CancelHint();

private:
    static LRESULT CALLBACK AppWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    std::string FTitle;
    HWND FHandle = nullptr;
    std::vector<std::function<bool(TMessage&)>> FHooks;
    TForm* FMainForm = nullptr;
    bool FShowMainForm = true;
    bool FTerminated = false;
    // Terminate's quit may still be in the queue.
    bool FQuitPosted = false;
    bool FRunEnded = false;
    std::vector<TForm*> FForms;
};

extern TApplication* Application;

// The form a control sits on (walking up its parents), or nullptr.
TForm* GetParentForm(TWinControl* control);

// A plain modal message (OK only) captioned with the application title.
void ShowMessage(const std::string& text);

// Screen metrics of the primary monitor.
struct TScreen {
    // Read once: the program keeps the scaling it started with.
    static int PixelsPerInch();
    static int Width() { return GetSystemMetrics(SM_CXSCREEN); }
    static int Height() { return GetSystemMetrics(SM_CYSCREEN); }
};

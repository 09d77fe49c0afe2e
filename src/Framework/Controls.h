#pragma once
// Windowed controls: every control of the program is a real child window whose
// messages go to the object's WndProc. Notifications that Windows sends to a
// parent (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*) are handed back to the child
// that sent them (CNCommand, CNNotify, CNCtlColor). No control of the program
// draws itself through its parent, so WM_DRAWITEM takes the default path.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Framework/Classes.h"
#include "Framework/Graphics.h"
#include "Framework/Handles.h"
#include "Framework/Messages.h"

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
// Shift state bits: keys and mouse buttons.
enum TShiftStateBit : unsigned {
    ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64
};
using TShiftState = unsigned;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;

// Cursor codes of the screen's cursor table.
enum TCursor { crDefault = 0, crArrow = -2, crIBeam = -4 };
HCURSOR CursorHandle(TCursor cursor);

// The window procedure of the framework's own window classes.
LRESULT CALLBACK KvStdWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
// The subclass procedure the framework puts on system controls (buttons,
// edits, ...); RefData is the object.
LRESULT CALLBACK KvSubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR refData);

struct TCreateParams {
    std::string WinClassName;  // class registered for this control (own classes)
    const char* SysClassName = nullptr;  // system class to subclass, or nullptr
    DWORD Style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD ExStyle = 0;
    std::string Caption;
    UINT ClassStyle = CS_DBLCLKS;
    HWND WndParent = nullptr;  // owner of a top-level window
};

class TWinControl : public TComponent {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // The window class name; also the class registered for own windows.
    virtual std::string ClassName() const { return "TWinControl"; }

    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded() { Handle(); }
    static TWinControl* FromHandle(HWND wnd);

    TWinControl* Parent() const { return FParent; }
    void SetParent(TWinControl* parent);
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TWinControl* Controls(int i) const { return FControls.at(static_cast<size_t>(i)); }

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    virtual RECT ClientRect();
    int ClientWidth() { RECT r = ClientRect(); return r.right - r.left; }
    int ClientHeight() { RECT r = ClientRect(); return r.bottom - r.top; }
    POINT ScreenToClient(POINT p);
    POINT ClientToScreen(POINT p);

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign align);
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    const std::string& Caption() const { return FCaption; }
    virtual void SetCaption(const std::string& text);
    // The text as the window holds it now (what the user typed).
    std::string Text();
    void SetText(const std::string& text) { SetCaption(text); }
    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    TFont& Font() { return FFont; }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool v);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor c) { FCursor = c; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool v);
    // Puts the control at this place of the tab order among its siblings.
    void SetTabOrder(int order);

    void SetFocus();
    bool Focused();
    // Whether the focus is on this control or on a control inside it.
    bool ContainsFocus() const;
    // Whether the control can take the focus: it and every parent up to its
    // form are shown and enabled.
    bool CanFocus() const;
    // The controls inside this one, each followed by those inside it, in the
    // tab order of every level: the order in which the focus travels and
    // in which the form offers its keys.
    void GetTabOrderList(std::vector<TWinControl*>& list) const;
    // The control that the focus goes to from current (forward: Tab, else
    // Shift+Tab) among those inside this one: a tab stop that can take the
    // focus, wrapping around at the end; current itself only when it is the
    // only one. current may be nullptr (start at the beginning or the end)
    // or a control that can't take the focus (go on from its place).
    TWinControl* FindNextControl(TWinControl* current, bool forward) const;
    // Focuses the first control inside this one that can take the focus.
    void SelectFirst();
    void Invalidate();
    void Repaint();
    void Update() { if (FHandle) UpdateWindow(FHandle); }

    // Hands a message to the control's handlers and returns its result. A
    // subclassed system control gets it through its window, the whole
    // subclass chain included, and what its handlers raise is then reported
    // by the application; elsewhere it reaches the caller.
    LRESULT Perform(UINT msg, WPARAM wp = 0, LPARAM lp = 0);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TKeyEvent OnKeyDown;

    // Scales the control by M/D, as its form does once when it is created:
    // its bounds at their edges, its own font (one it takes from its parent
    // follows the parent's), and the controls inside it.
    virtual void ChangeScale(int M, int D);

    // Places the aligned children inside the client area.
    void AlignControls();
    virtual void Click();
    // The form offers each of its controls in turn, in the tab order, the
    // keys of a dialog (Enter, Esc, Ctrl+Tab, ...) and the access keys that
    // no focused control took; a control answers true when it took one.
    virtual bool DialogKey(WORD /*key*/, TShiftState /*shift*/) { return false; }
    virtual bool DialogChar(char /*key*/) { return false; }

    // Creates the window now, with its parent's if that has none yet. The
    // children's windows come with it only once the control is showing.
    virtual void CreateHandle();
    void DestroyHandle();
    // A control is showing from the moment its top-level window is first
    // shown: until then its controls keep their properties and have no
    // windows, unless something asks for one.
    bool Showing() const { return FParent ? FParent->Showing() : FShowing; }

protected:
    virtual void CreateParams(TCreateParams& params);
    // Every message of the window comes here first.
    virtual void WndProc(TMessage& m);
    // The window's original handling (the system class or DefWindowProc).
    void DefaultHandler(TMessage& m);
    // Own-drawn controls paint here (WM_PAINT with a canvas on the paint DC).
    virtual bool CustomPaint() const { return false; }
    virtual void Paint(TCanvas& /*canvas*/) {}
    // Notifications handed back from the parent.
    virtual void CNCommand(WORD /*code*/) {}
    virtual LRESULT CNNotify(NMHDR* /*hdr*/) { return 0; }
    virtual HBRUSH CNCtlColor(HDC dc);
    // Answers WM_ERASEBKGND by filling the client area with the control's colour.
    void EraseBackground(TMessage& m);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void DoEnter();
    virtual void DoExit();
    virtual void EnabledChanged() {}
    virtual void Resize();
    // The part of the client area that aligned children share (a panel keeps
    // its bevels free).
    virtual void AdjustClientRect(RECT& /*r*/) {}
    // Called once the window exists (apply properties the window needs).
    virtual void HandleCreated() {}
    // A top-level window calls this as it is first shown: it makes its own
    // window and every one inside it that does not exist yet.
    void BeginShowing();
    void FontChanged();
    // The font and the controls inside, the part of ChangeScale that every
    // kind of control shares.
    void ScaleFontAndControls(int M, int D);
    void UpdateHintTool();
    void SetVisibleField(bool v) { FVisible = v; }
    HWND Tooltip() const { return FTooltip; }

    HWND FHandle = nullptr;
    // True while the window is a system control that we subclass: its
    // messages go on through DefSubclassProc rather than DefWindowProcA.
    bool FSubclassed = false;
    // The background brush handed to the system for WM_CTLCOLOR*; made when
    // first asked for, remade after a colour change.
    TGdiObject<HBRUSH> FBrush;

private:
    friend LRESULT CALLBACK KvStdWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK KvSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    friend LRESULT DispatchToObject(TWinControl* obj, HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    void ReadBoundsFromWindow();
    void CreateChildHandles();
    void TakeListPlace();
    // A control that had the focus and can't keep it (disabled or hidden)
    // hands it to the next one in its form.
    void PassFocusOn();
    TWinControl* FParent = nullptr;
    std::vector<TWinControl*> FControls;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    bool FVisible = true;
    bool FEnabled = true;
    std::string FCaption;
    int FTag = 0;
    TColor FColor = clBtnFace;
    TFont FFont;
    bool FParentFont = true;
    TCursor FCursor = crDefault;
    std::string FHint;
    bool FShowHint = false;
    bool FTabStop = false;
    HWND FTooltip = nullptr;
    bool FAligning = false;
    bool FShowing = false;
};

using TControl = TWinControl;

// Keyboard state as a shift set.
TShiftState KeyboardShiftState();

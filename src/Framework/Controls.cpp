#include "Framework/Controls.h"

#include <commctrl.h>

#include <algorithm>

#include "Framework/Exception.h"
#include "Framework/Forms.h"
#include "Framework/Scaling.h"
#include "Framework/SystemLibrary.h"

namespace {

const char ObjectProp[] = "KvObject";
// Our subclass on a system control, with KvSubclassProc.
constexpr UINT_PTR SubclassId = 1;
int nextControlId = 1000;

TShiftState ShiftFromMk(WPARAM wp) {
    TShiftState s = 0;
    if (wp & MK_SHIFT) s |= ssShift;
    if (wp & MK_CONTROL) s |= ssCtrl;
    if (wp & MK_LBUTTON) s |= ssLeft;
    if (wp & MK_RBUTTON) s |= ssRight;
    if (wp & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

}  // namespace

// Hands one message to the object and gives back what the system gets.
//
// Contract: no exception leaves here, whatever WndProc throws (the window
// procedure is called by the system, which can't unwind C++ frames); the
// application's handler reports it, and the message then returns whatever
// Result held when the handler stopped, 0 unless it had set one.
//
// WM_NCDESTROY, the window's last message, goes another way. The object lets
// go of the window before its handlers see it: the property that finds it goes
// and FHandle is cleared, so that nothing reaches the object through a handle
// the system is about to reuse, and nothing here touches the object once its
// handlers have run. The default processing (the rest of the subclass chain
// down to the control's own procedure, or DefWindowProcA) then runs here, after
// the handlers and whether or not they threw: every procedure still attached
// to the window must see its last message.
LRESULT DispatchToObject(TWinControl* obj, HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    const bool last = msg == WM_NCDESTROY;
    const bool subclassed = obj->FSubclassed;
    if (last) {
        RemovePropA(wnd, ObjectProp);
        obj->FHandle = nullptr;
        obj->FSubclassed = false;
    }
    TMessage m{wnd, msg, wp, lp, 0};
    try {
        obj->WndProc(m);
    } catch (...) {
        Application->HandleException(obj);
    }
    if (!last) return m.Result;
    return subclassed ? comctl32::DefSubclassProc(wnd, msg, wp, lp) : DefWindowProcA(wnd, msg, wp, lp);
}

LRESULT CALLBACK KvStdWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* obj = static_cast<TWinControl*>(GetPropA(wnd, ObjectProp));
    if (!obj && msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
        obj = static_cast<TWinControl*>(cs->lpCreateParams);
        if (obj) {
            SetPropA(wnd, ObjectProp, obj);
            obj->FHandle = wnd;
        }
    }
    if (!obj) return DefWindowProcA(wnd, msg, wp, lp);
    return DispatchToObject(obj, wnd, msg, wp, lp);
}

LRESULT CALLBACK KvSubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR refData) {
    auto* obj = reinterpret_cast<TWinControl*>(refData);
    if (msg == WM_NCDESTROY) {
        // Ours goes first, as comctl32 asks of a subclass that lives as long
        // as its window; the message still runs down the rest of the chain
        // to the control's own procedure through DefSubclassProc in
        // DispatchToObject.
        comctl32::RemoveWindowSubclass(wnd, KvSubclassProc, SubclassId);
    }
    return DispatchToObject(obj, wnd, msg, wp, lp);
}

HCURSOR CursorHandle(TCursor cursor) {
    switch (cursor) {
        case crIBeam: return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_IBEAM));
        default: return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    }
}

TShiftState KeyboardShiftState() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

TWinControl::TWinControl(TComponent* AOwner) : TComponent(AOwner) {
    FFont.OnChange = [this](TObject*) {
        FParentFont = false;
        FontChanged();
    };
}

TWinControl::~TWinControl() {
    MarkDestroying();
    DestroyHandle();
    for (TWinControl* c : FControls) c->FParent = nullptr;
    FControls.clear();
    if (FParent) {
        auto& siblings = FParent->FControls;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

TWinControl* TWinControl::FromHandle(HWND wnd) {
    return wnd ? static_cast<TWinControl*>(GetPropA(wnd, ObjectProp)) : nullptr;
}

HWND TWinControl::Handle() {
    if (!FHandle) CreateHandle();
    return FHandle;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.WinClassName = ClassName();
    if (FVisible && FParent) params.Style |= WS_VISIBLE;
    if (!FEnabled) params.Style |= WS_DISABLED;
    if (FTabStop) params.Style |= WS_TABSTOP;
    params.Caption = FCaption;
}

void TWinControl::CreateHandle() {
    if (FHandle) return;
    if (FParent && !FParent->FHandle) {
        FParent->CreateHandle();
        if (FHandle) return;
    }
    TCreateParams params;
    CreateParams(params);
    HWND parentWnd = FParent ? FParent->FHandle : params.WndParent;
    HMENU id = FParent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextControlId++)) : nullptr;
    if (!FParent) params.Style &= ~static_cast<DWORD>(WS_CHILD);
    HINSTANCE inst = GetModuleHandleA(nullptr);
    if (params.SysClassName) {
        HWND wnd = CreateWindowExA(params.ExStyle, params.SysClassName, params.Caption.c_str(), params.Style, FLeft,
                                   FTop, FWidth, FHeight, parentWnd, id, inst, nullptr);
        if (!wnd) throw Exception("ウィンドウを作成できません: " + ClassName());
        SetPropA(wnd, ObjectProp, this);
        FHandle = wnd;
        // comctl32 keeps the chain of subclasses, so the tooltips' own
        // (TTF_SUBCLASS) and ours stay intact in whatever order they go.
        if (!comctl32::SetWindowSubclass(wnd, KvSubclassProc, SubclassId, reinterpret_cast<DWORD_PTR>(this))) {
            RemovePropA(wnd, ObjectProp);
            FHandle = nullptr;
            DestroyWindow(wnd);
            throw Exception("ウィンドウを作成できません: " + ClassName());
        }
        FSubclassed = true;
    } else {
        RegisterWindowClass(params.WinClassName.c_str(), KvStdWndProc, params.ClassStyle,
                            LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
        HWND wnd = CreateWindowExA(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(), params.Style,
                                   FLeft, FTop, FWidth, FHeight, parentWnd, id, inst, this);
        if (!wnd) throw Exception("ウィンドウを作成できません: " + ClassName());
    }
    TakeListPlace();
    SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), FALSE);
    HandleCreated();
    if (Showing()) CreateChildHandles();
    AlignControls();
    UpdateHintTool();
}

void TWinControl::BeginShowing() {
    if (!FShowing) {
        FShowing = true;
        if (FHandle) {
            CreateChildHandles();
            AlignControls();
        }
    }
    HandleNeeded();
}

void TWinControl::CreateChildHandles() {
    for (TWinControl* c : FControls) {
        if (!c->FHandle) {
            c->CreateHandle();
        } else {
            // A window asked for before this one showed; its own children
            // may have none yet.
            c->CreateChildHandles();
            c->AlignControls();
        }
    }
}

void TWinControl::TakeListPlace() {
    // The system puts a new child window below its siblings; one made after a
    // later sibling's (asked for early) must still stand in the list order,
    // which is the order the dialog manager tabs through.
    if (!FParent) return;
    const std::vector<TWinControl*>& siblings = FParent->FControls;
    const auto self = std::find(siblings.begin(), siblings.end(), this);
    if (std::none_of(self + 1, siblings.end(), [](const TWinControl* c) { return c->FHandle != nullptr; })) return;
    HWND after = HWND_TOP;
    for (auto it = siblings.begin(); it != self; ++it)
        if ((*it)->FHandle) after = (*it)->FHandle;
    SetWindowPos(FHandle, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::DestroyHandle() {
    if (FTooltip) {
        DestroyWindow(FTooltip);
        FTooltip = nullptr;
    }
    if (FHandle) DestroyWindow(FHandle);
}

void TWinControl::SetParent(TWinControl* parent) {
    if (parent == FParent) return;
    if (FParent) {
        auto& siblings = FParent->FControls;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    FParent = parent;
    if (!parent) return;
    parent->FControls.push_back(this);
    if (FParentFont) {
        FFont.OnChange = nullptr;
        FFont.Assign(parent->FFont);
        FFont.OnChange = [this](TObject*) {
            FParentFont = false;
            FontChanged();
        };
    }
    if (parent->FHandle) {
        if (FHandle) ::SetParent(FHandle, parent->FHandle);
        else if (parent->Showing()) CreateHandle();
        parent->AlignControls();
    }
}

void TWinControl::FontChanged() {
    if (FHandle) {
        SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), TRUE);
        InvalidateRect(FHandle, nullptr, TRUE);
    }
    for (TWinControl* c : FControls) {
        if (!c->FParentFont) continue;
        c->FFont.OnChange = nullptr;
        c->FFont.Assign(FFont);
        c->FFont.OnChange = [c](TObject*) {
            c->FParentFont = false;
            c->FontChanged();
        };
        c->FontChanged();
    }
}

void TWinControl::SetParentFont(bool v) {
    FParentFont = v;
    if (v && FParent) {
        FFont.OnChange = nullptr;
        FFont.Assign(FParent->FFont);
        FFont.OnChange = [this](TObject*) {
            FParentFont = false;
            FontChanged();
        };
        FontChanged();
    }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    if (FHandle) MoveWindow(FHandle, left, top, width, height, TRUE);
    if (FParent && FAlign != alNone) FParent->AlignControls();
}

void TWinControl::ChangeScale(int M, int D) {
    if (M == D) return;
    const TWindowBounds b = ScaleBounds(TWindowBounds{FLeft, FTop, FWidth, FHeight}, M, D);
    SetBounds(b.Left, b.Top, b.Width, b.Height);
    ScaleFontAndControls(M, D);
}

void TWinControl::ScaleFontAndControls(int M, int D) {
    // A form has no parent to take a font from: its font is its own.
    if (!FParentFont || !FParent) FFont.ChangeScale(M, D);
    for (TWinControl* c : FControls) c->ChangeScale(M, D);
}

void TWinControl::ReadBoundsFromWindow() {
    if (!FHandle) return;
    const LONG style = GetWindowLongA(FHandle, GWL_STYLE);
    RECT r;
    if (IsIconic(FHandle) || IsZoomed(FHandle)) {
        // A minimised window's rectangle is that of its minimised caption
        // (off the screen on Windows), a maximised one's that of the whole
        // work area; the bounds of either stay the place it comes back to.
        // The system gives that place in workspace coordinates, counted
        // from the work area's corner, except for tool and child windows.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (!GetWindowPlacement(FHandle, &placement)) return;
        r = placement.rcNormalPosition;
        if (!(style & WS_CHILD) && !(GetWindowLongA(FHandle, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            if (GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor))
                OffsetRect(&r, monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top);
        }
    } else {
        if (!GetWindowRect(FHandle, &r)) return;
        if (style & WS_CHILD) MapWindowPoints(nullptr, GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
    }
    FLeft = r.left;
    FTop = r.top;
    FWidth = r.right - r.left;
    FHeight = r.bottom - r.top;
}

RECT TWinControl::ClientRect() {
    RECT r{0, 0, FWidth, FHeight};
    if (FHandle) GetClientRect(FHandle, &r);
    return r;
}

POINT TWinControl::ScreenToClient(POINT p) {
    ::ScreenToClient(Handle(), &p);
    return p;
}

POINT TWinControl::ClientToScreen(POINT p) {
    ::ClientToScreen(Handle(), &p);
    return p;
}

void TWinControl::SetAlign(TAlign align) {
    if (align == FAlign) return;
    FAlign = align;
    if (FParent) FParent->AlignControls();
}

void TWinControl::AlignControls() {
    if (FAligning || !FHandle) return;
    FAligning = true;
    RECT r = ClientRect();
    AdjustClientRect(r);
    // Top and bottom take whole rows first, then left and right, then the client.
    for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TWinControl* c : FControls) {
            if (c->FAlign != pass || !c->FVisible) continue;
            switch (pass) {
                case alTop:
                    c->FLeft = r.left; c->FTop = r.top; c->FWidth = r.right - r.left;
                    r.top += c->FHeight;
                    break;
                case alBottom:
                    c->FLeft = r.left; c->FTop = r.bottom - c->FHeight; c->FWidth = r.right - r.left;
                    r.bottom -= c->FHeight;
                    break;
                case alLeft:
                    c->FLeft = r.left; c->FTop = r.top; c->FHeight = r.bottom - r.top;
                    r.left += c->FWidth;
                    break;
                case alRight:
                    c->FLeft = r.right - c->FWidth; c->FTop = r.top; c->FHeight = r.bottom - r.top;
                    r.right -= c->FWidth;
                    break;
                default:
                    c->FLeft = r.left; c->FTop = r.top;
                    c->FWidth = std::max(0L, r.right - r.left); c->FHeight = std::max(0L, r.bottom - r.top);
                    break;
            }
            if (c->FHandle) MoveWindow(c->FHandle, c->FLeft, c->FTop, c->FWidth, c->FHeight, TRUE);
        }
    }
    FAligning = false;
}

void TWinControl::SetVisible(bool visible) {
    if (visible == FVisible) return;
    const bool hadFocus = !visible && ContainsFocus();
    FVisible = visible;
    if (FHandle) ShowWindow(FHandle, visible ? SW_SHOW : SW_HIDE);
    if (FParent && FAlign != alNone) FParent->AlignControls();
    if (hadFocus) PassFocusOn();
}

void TWinControl::SetEnabled(bool enabled) {
    if (enabled == FEnabled) return;
    const bool hadFocus = !enabled && ContainsFocus();
    FEnabled = enabled;
    if (FHandle) EnableWindow(FHandle, enabled);
    else EnabledChanged();
    if (hadFocus) PassFocusOn();
}

void TWinControl::PassFocusOn() {
    // The system leaves the focus with the parent of a hidden control, or
    // with no window at all for a disabled one: out of reach of Tab.
    const TWinControl* top = this;
    while (top->FParent) top = top->FParent;
    if (top == this) return;
    if (TWinControl* next = top->FindNextControl(this, true)) next->SetFocus();
}

void TWinControl::SetCaption(const std::string& text) {
    FCaption = text;
    if (FHandle) SetWindowTextA(FHandle, text.c_str());
}

std::string TWinControl::Text() {
    if (!FHandle) return FCaption;
    int n = GetWindowTextLengthA(FHandle);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    int got = GetWindowTextA(FHandle, &s[0], n + 1);
    s.resize(static_cast<size_t>(std::max(0, got)));
    return s;
}

void TWinControl::SetColor(TColor color) {
    if (color == FColor) return;
    FColor = color;
    FBrush.Reset();
    Invalidate();
}

void TWinControl::SetHint(const std::string& hint) {
    if (hint == FHint) return;
    FHint = hint;
    UpdateHintTool();
}

void TWinControl::SetShowHint(bool v) {
    if (v == FShowHint) return;
    FShowHint = v;
    UpdateHintTool();
}

void TWinControl::UpdateHintTool() {
    if (!FHandle) return;
    if (!FShowHint) {
        if (FTooltip) SendMessageA(FTooltip, TTM_ACTIVATE, FALSE, 0);
        return;
    }
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = GetParent(FHandle) ? GetParent(FHandle) : FHandle;
    ti.uId = reinterpret_cast<UINT_PTR>(FHandle);
    ti.lpszText = const_cast<char*>(FHint.c_str());
    if (!FTooltip) {
        FTooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0,
                                   0, 0, FHandle, nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(FTooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        SendMessageA(FTooltip, TTM_SETMAXTIPWIDTH, 0, 600);
    } else {
        SendMessageA(FTooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    SendMessageA(FTooltip, TTM_ACTIVATE, TRUE, 0);
}

void TWinControl::SetTabStop(bool v) {
    FTabStop = v;
    if (!FHandle) return;
    LONG style = GetWindowLongA(FHandle, GWL_STYLE);
    SetWindowLongA(FHandle, GWL_STYLE, v ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
}

void TWinControl::SetTabOrder(int order) {
    if (!FParent) return;
    auto& siblings = FParent->FControls;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    order = std::max(0, std::min(order, static_cast<int>(siblings.size())));
    siblings.insert(siblings.begin() + order, this);
    // The dialog manager walks siblings in z-order: put them in list order.
    for (TWinControl* c : siblings)
        if (c->FHandle) SetWindowPos(c->FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::SetFocus() { ::SetFocus(Handle()); }
bool TWinControl::Focused() { return FHandle && GetFocus() == FHandle; }

bool TWinControl::ContainsFocus() const {
    const HWND focus = GetFocus();
    return FHandle && focus && (focus == FHandle || IsChild(FHandle, focus));
}

bool TWinControl::CanFocus() const {
    for (const TWinControl* c = this; c; c = c->FParent)
        if (!c->FVisible || !c->FEnabled) return false;
    return true;
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    for (TWinControl* c : FControls) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    const int n = static_cast<int>(list.size());
    const auto at = std::find(list.begin(), list.end(), current);
    int i = at != list.end() ? static_cast<int>(at - list.begin()) : forward ? -1 : n;
    for (int step = 0; step < n; ++step) {
        i = forward ? (i + 1) % n : (i + n - 1) % n;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c->FTabStop && c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::SelectFirst() {
    if (TWinControl* first = FindNextControl(nullptr, true)) first->SetFocus();
}
void TWinControl::Invalidate() {
    if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}
void TWinControl::Repaint() {
    if (FHandle) {
        InvalidateRect(FHandle, nullptr, TRUE);
        UpdateWindow(FHandle);
    }
}

LRESULT TWinControl::Perform(UINT msg, WPARAM wp, LPARAM lp) {
    // DefSubclassProc serves only a subclass procedure that comctl32 is
    // calling: a system control's own processing is reached from inside its
    // chain, so the message goes through the window.
    if (FSubclassed) return SendMessageA(FHandle, msg, wp, lp);
    TMessage m{FHandle, msg, wp, lp, 0};
    WndProc(m);
    return m.Result;
}

void TWinControl::Click() {
    if (OnClick) OnClick(this);
}

void TWinControl::DefaultHandler(TMessage& m) {
    // The last message's default processing is DispatchToObject's, once the
    // handlers are done.
    if (!m.Wnd || m.Msg == WM_NCDESTROY) return;
    // A system control's messages go on down its subclass chain to the
    // control's own procedure.
    m.Result = FSubclassed ? comctl32::DefSubclassProc(m.Wnd, m.Msg, m.WParam, m.LParam)
                           : DefWindowProcA(m.Wnd, m.Msg, m.WParam, m.LParam);
}

HBRUSH TWinControl::CNCtlColor(HDC dc) {
    SetTextColor(dc, ColorToRGB(FFont.Color()));
    SetBkColor(dc, ColorToRGB(FColor));
    if (!FBrush) FBrush.Reset(CreateSolidBrush(ColorToRGB(FColor)));
    return FBrush.Get();
}

void TWinControl::EraseBackground(TMessage& m) {
    RECT r;
    GetClientRect(FHandle, &r);
    TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(FColor)));
    FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush.Get());
    m.Result = 1;
}

void TWinControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TWinControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TWinControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}
void TWinControl::Resize() {
    if (OnResize) OnResize(this);
}

void TWinControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_COMMAND:
            if (m.LParam) {
                if (TWinControl* c = FromHandle(reinterpret_cast<HWND>(m.LParam))) {
                    c->CNCommand(HIWORD(m.WParam));
                    return;
                }
            }
            break;
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
            if (TWinControl* c = FromHandle(hdr->hwndFrom)) {
                if (c != this) {
                    m.Result = c->CNNotify(hdr);
                    return;
                }
            }
            break;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            if (TWinControl* c = FromHandle(reinterpret_cast<HWND>(m.LParam))) {
                m.Result = reinterpret_cast<LRESULT>(c->CNCtlColor(reinterpret_cast<HDC>(m.WParam)));
                return;
            }
            break;
        case WM_GETFONT:
            // A window of our own class answers with its font, as the system's
            // controls answer with the one WM_SETFONT gave them.
            if (!FSubclassed) {
                m.Result = reinterpret_cast<LRESULT>(FFont.Handle());
                return;
            }
            break;
        case WM_ERASEBKGND:
            if (CustomPaint()) {
                EraseBackground(m);
                return;
            }
            break;
        case WM_PAINT:
            if (CustomPaint()) {
                const TPaintDC paint(FHandle);
                TCanvas canvas(paint.Get());
                canvas.Font().Assign(FFont);
                canvas.SetBrushColor(FColor);
                Paint(canvas);
                return;
            }
            break;
        case WM_SIZE:
            DefaultHandler(m);
            ReadBoundsFromWindow();
            AlignControls();
            Resize();
            return;
        case WM_MOVE:
            DefaultHandler(m);
            ReadBoundsFromWindow();
            return;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            DefaultHandler(m);
            TMouseButton b = m.Msg == WM_RBUTTONDOWN ? mbRight : (m.Msg == WM_MBUTTONDOWN ? mbMiddle : mbLeft);
            TShiftState s = ShiftFromMk(m.WParam) | (m.Msg == WM_LBUTTONDBLCLK ? static_cast<TShiftState>(ssDouble) : 0u);
            if (m.Msg == WM_LBUTTONDBLCLK && OnDblClick) OnDblClick(this);
            MouseDown(b, s, static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
            return;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            DefaultHandler(m);
            TMouseButton b = m.Msg == WM_RBUTTONUP ? mbRight : (m.Msg == WM_MBUTTONUP ? mbMiddle : mbLeft);
            MouseUp(b, ShiftFromMk(m.WParam), static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
            return;
        }
        case WM_MOUSEMOVE:
            DefaultHandler(m);
            MouseMove(ShiftFromMk(m.WParam), static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
            return;
        case WM_SETFOCUS:
            DefaultHandler(m);
            if (TForm* form = GetParentForm(this); form && form != this) form->SetFocusedControl(this);
            DoEnter();
            return;
        case WM_KILLFOCUS:
            DefaultHandler(m);
            DoExit();
            return;
        case WM_ENABLE:
            FEnabled = m.WParam != 0;
            DefaultHandler(m);
            EnabledChanged();
            return;
        case WM_SETCURSOR:
            if (FCursor != crDefault && reinterpret_cast<HWND>(m.WParam) == FHandle && LOWORD(m.LParam) == HTCLIENT) {
                ::SetCursor(CursorHandle(FCursor));
                m.Result = 1;
                return;
            }
            break;
        case WM_KEYDOWN:
            if (OnKeyDown) {
                WORD key = static_cast<WORD>(m.WParam);
                OnKeyDown(this, key, KeyboardShiftState());
                if (key == 0) return;
            }
            break;
        default:
            break;
    }
    DefaultHandler(m);
}

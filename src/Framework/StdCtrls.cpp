#include "Framework/StdCtrls.h"

#include <algorithm>

#include "Framework/CtrlText.h"
#include "Framework/Forms.h"
#include "Framework/Handles.h"
#include "Framework/SysUtils.h"

// ---------------------------------------------------------------- TButton

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SysClassName = "BUTTON";
    params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool v) {
    if (v == FDefault) return;
    FDefault = v;
    if (FHandle) SetActiveLook(v || Focused());
}

void TButton::SetActiveLook(bool active) {
    if (FHandle) SendMessageA(FHandle, BM_SETSTYLE, active ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

TButton* TButton::FormDefaultButton() {
    std::vector<TWinControl*> controls;
    if (TForm* form = GetParentForm(this)) form->GetTabOrderList(controls);
    for (TWinControl* c : controls)
        if (auto* b = dynamic_cast<TButton*>(c); b && b != this && b->FDefault) return b;
    return nullptr;
}

void TButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_SETFOCUS:
            // Enter presses the focused push button, as in the system's dialogs.
            if (TButton* d = FormDefaultButton()) d->SetActiveLook(false);
            SetActiveLook(true);
            break;
        case WM_KILLFOCUS:
            SetActiveLook(FDefault);
            if (TButton* d = FormDefaultButton()) d->SetActiveLook(true);
            break;
        default:
            break;
    }
    TWinControl::WndProc(m);
}

bool TButton::DialogKey(WORD key, TShiftState shift) {
    if (shift != 0 || !CanFocus()) return false;
    const bool taken = key == VK_RETURN
                           ? Focused() || (FDefault && !dynamic_cast<TButton*>(FromHandle(GetFocus())))
                           : key == VK_ESCAPE && FCancel;
    if (taken) Click();
    return taken;
}

bool TButton::DialogChar(char key) {
    if (!IsAccel(key, Caption()) || !CanFocus()) return false;
    Click();
    return true;
}

void TButton::CNCommand(WORD code) {
    if (code == BN_CLICKED) Click();
}

void TButton::Click() {
    if (TForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
    TWinControl::Click();
}

// ---------------------------------------------------------------- TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 121, 20);
    SetColor(clWindow);
    SetTabStop(true);
}

void TCustomEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SysClassName = "EDIT";
    params.ExStyle |= WS_EX_CLIENTEDGE;
    if (FReadOnly) params.Style |= ES_READONLY;
}

void TCustomEdit::HandleCreated() {
    SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TCustomEdit::SetReadOnly(bool v) {
    if (v == FReadOnly) return;
    FReadOnly = v;
    if (FHandle) SendMessageA(FHandle, EM_SETREADONLY, v, 0);
}

void TCustomEdit::SetMaxLength(int v) {
    if (v == FMaxLength) return;
    FMaxLength = std::max(0, v);
    if (FHandle) SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TCustomEdit::SelectAll() {
    if (FHandle) SendMessageA(FHandle, EM_SETSEL, 0, -1);
}

int TCustomEdit::SelStart() {
    DWORD start = 0, end = 0;
    if (FHandle) SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

int TCustomEdit::SelLength() {
    DWORD start = 0, end = 0;
    if (FHandle) SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TCustomEdit::SetSelStart(int pos) {
    // The caret lives in the window: placing it asks for one.
    SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(pos), pos);
}

void TCustomEdit::WndProc(TMessage& m) {
    if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) {
        FLButtonPressing = true;
        try {
            TWinControl::WndProc(m);
        } catch (...) {
            FLButtonPressing = false;
            throw;
        }
        FLButtonPressing = false;
        return;
    }
    TWinControl::WndProc(m);
}

void TCustomEdit::CNCommand(WORD code) {
    if (code == EN_CHANGE) Change();
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

HBRUSH TCustomEdit::CNCtlColor(HDC dc) {
    HBRUSH brush = TWinControl::CNCtlColor(dc);
    // A disabled box keeps its own background; its text goes grey.
    if (!Enabled()) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    return brush;
}

void TEdit::CreateParams(TCreateParams& params) {
    TCustomEdit::CreateParams(params);
    // One line that scrolls: a text longer than the box is still taken whole.
    params.Style |= ES_AUTOHSCROLL;
}

void TEdit::DoEnter() {
    // The focus that comes with a click places the caret; any other entry
    // selects the whole text, as one-line boxes of dialogs do.
    if (AutoSelect() && !LButtonPressing()) SelectAll();
    TCustomEdit::DoEnter();
}

// ---------------------------------------------------------------- TCustomMemo

int TMemoLines::Count() const { return static_cast<int>(TextLines(FMemo.Text()).size()); }

std::string TMemoLines::Strings(int i) const {
    std::vector<std::string> lines = TextLines(FMemo.Text());
    if (i < 0 || i >= static_cast<int>(lines.size())) RaiseListIndexError(i);
    return lines[static_cast<size_t>(i)];
}

void TMemoLines::Add(const std::string& line) {
    if (!FMemo.HandleAllocated()) {
        std::string text = FMemo.Text();
        FMemo.SetText(text + LineAppendPiece(text, line));
        return;
    }
    HWND wnd = FMemo.Handle();
    std::string piece = LineAppendPiece(FMemo.Text(), line);
    int end = GetWindowTextLengthA(wnd);
    // Replacing at the end keeps the caret there, so the view follows the newest line.
    SendMessageA(wnd, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageA(wnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
}

void TMemoLines::Clear() { FMemo.SetText(std::string()); }

std::string TMemoLines::Text() const { return JoinLines(TextLines(FMemo.Text())); }

void TMemoLines::SetText(const std::string& text) { FMemo.SetText(text); }

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner) { SetBounds(0, 0, 185, 89); }

void TCustomMemo::CreateParams(TCreateParams& params) {
    TCustomEdit::CreateParams(params);
    params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL;
    if (FWantReturns) params.Style |= ES_WANTRETURN;
    if (!FWordWrap) params.Style |= ES_AUTOHSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) params.Style |= WS_VSCROLL;
    if (!FWordWrap && (FScrollBars == ssHorizontal || FScrollBars == ssBoth)) params.Style |= WS_HSCROLL;
}

void TCustomMemo::RecreateWindow() {
    if (!FHandle) return;
    std::string text = Text();
    // The new window takes the old one's place in the tab order.
    HWND before = GetWindow(FHandle, GW_HWNDPREV);
    DestroyHandle();
    SetCaption(text);
    CreateHandle();
    SetWindowPos(FHandle, before ? before : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomMemo::SetScrollBars(TScrollStyle v) {
    if (v == FScrollBars) return;
    FScrollBars = v;
    RecreateWindow();
}

void TCustomMemo::SetWordWrap(bool v) {
    if (v == FWordWrap) return;
    FWordWrap = v;
    RecreateWindow();
}

void TCustomMemo::WndProc(TMessage& m) {
    if (m.Msg == WM_GETDLGCODE) {
        TCustomEdit::WndProc(m);
        // A multi-line box wants every key; hand back to the form the keys
        // that this memo leaves to it (Tab, and Enter and Esc without
        // WantReturns; Esc always closes through the cancel button).
        const MSG* msg = reinterpret_cast<const MSG*>(m.LParam);
        if (!FWantTabs) m.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
        if (msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR)) {
            WPARAM key = msg->wParam;
            if ((key == VK_TAB && !FWantTabs) || key == VK_ESCAPE || (key == VK_RETURN && !FWantReturns))
                m.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
        } else if (!FWantReturns) {
            m.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
        }
        return;
    }
    TCustomEdit::WndProc(m);
}

// ---------------------------------------------------------------- TComboBox

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 145, 20);
    SetColor(clWindow);
    SetTabStop(true);
}

void TComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SysClassName = "COMBOBOX";
    params.Style |= CBS_DROPDOWNLIST | WS_VSCROLL;
}

void TComboBox::HandleCreated() {
    for (const Item& item : FItems) {
        LRESULT i = SendMessageA(FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.text.c_str()));
        SendMessageA(FHandle, CB_SETITEMDATA, static_cast<WPARAM>(i), static_cast<LPARAM>(item.data));
    }
    SendMessageA(FHandle, CB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
    SizeDropDown();
}

void TComboBox::SizeDropDown() {
    if (!FHandle) return;
    int itemHeight = static_cast<int>(SendMessageA(FHandle, CB_GETITEMHEIGHT, 0, 0));
    int rows = std::max(1, std::min(FDropDownCount, ItemCount()));
    RECT closed;
    GetWindowRect(FHandle, &closed);
    int height = (closed.bottom - closed.top) + rows * std::max(1, itemHeight) + 2;
    SetWindowPos(FHandle, nullptr, 0, 0, Width(), height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TComboBox::SetBounds(int left, int top, int width, int height) {
    TWinControl::SetBounds(left, top, width, height);
    SizeDropDown();
}

void TComboBox::AddItem(const std::string& text, intptr_t data) {
    FItems.push_back({text, data});
    if (!FHandle) return;
    LRESULT i = SendMessageA(FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(FHandle, CB_SETITEMDATA, static_cast<WPARAM>(i), static_cast<LPARAM>(data));
    if (ItemCount() <= FDropDownCount) SizeDropDown();
}

void TComboBox::Clear() {
    FItems.clear();
    FItemIndex = -1;
    if (FHandle) SendMessageA(FHandle, CB_RESETCONTENT, 0, 0);
}

const std::string& TComboBox::ItemText(int i) const {
    if (i < 0 || i >= ItemCount()) RaiseListIndexError(i);
    return FItems[static_cast<size_t>(i)].text;
}

intptr_t TComboBox::ItemData(int i) const {
    if (i < 0 || i >= ItemCount()) RaiseListIndexError(i);
    return FItems[static_cast<size_t>(i)].data;
}

int TComboBox::ItemIndex() {
    if (FHandle) FItemIndex = static_cast<int>(SendMessageA(FHandle, CB_GETCURSEL, 0, 0));
    return FItemIndex;
}

void TComboBox::SetItemIndex(int i) {
    if (i < -1 || i >= ItemCount()) i = -1;
    FItemIndex = i;
    if (FHandle) SendMessageA(FHandle, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
}

std::string TComboBox::Text() {
    int i = ItemIndex();
    return i >= 0 ? FItems[static_cast<size_t>(i)].text : std::string();
}

void TComboBox::SetText(const std::string& text) {
    int found = -1;
    if (!text.empty()) {
        for (int i = 0; i < ItemCount() && found < 0; ++i)
            if (FItems[static_cast<size_t>(i)].text == text) found = i;
    }
    SetItemIndex(found);
}

void TComboBox::CNCommand(WORD code) {
    if (code == CBN_SELCHANGE) {
        ItemIndex();
        if (OnChange) OnChange(this);
    }
}

HBRUSH TComboBox::CNCtlColor(HDC dc) {
    HBRUSH brush = TWinControl::CNCtlColor(dc);
    if (!Enabled()) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    return brush;
}

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 65, 17); }

UINT TLabel::TextFlags() const {
    UINT flags = DT_EXPANDTABS;
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    if (FAlignment == taRightJustify) flags |= DT_RIGHT;
    else if (FAlignment == taCenter) flags |= DT_CENTER;
    if (FWordWrap) flags |= DT_WORDBREAK;
    return flags;
}

void TLabel::Paint(TCanvas& canvas) {
    RECT r = ClientRect();
    std::string text = Caption();
    // DrawText takes a lone "&" for a prefix of nothing.
    if (text.empty() || (FShowAccelChar && text == "&")) text += ' ';
    if (!FTransparent) {
        canvas.SetBrushColor(Color());
        canvas.FillRect(r);
    }
    canvas.SetBrushStyle(bsClear);
    canvas.PrepareText();
    HDC dc = canvas.Handle();
    UINT flags = TextFlags();
    if (Enabled()) {
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    } else {
        // The system's disabled text: a highlight copy under a shadow copy.
        RECT shifted = r;
        OffsetRect(&shifted, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &shifted, flags);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    }
}

void TLabel::WndProc(TMessage& m) {
    if (m.Msg == WM_ERASEBKGND && FTransparent) {
        // Show what the parent has under the label: let it erase into our DC.
        if (TWinControl* parent = Parent()) {
            HDC dc = reinterpret_cast<HDC>(m.WParam);
            POINT old;
            SetViewportOrgEx(dc, -Left(), -Top(), &old);
            parent->Perform(WM_ERASEBKGND, m.WParam, 0);
            SetViewportOrgEx(dc, old.x, old.y, nullptr);
        }
        m.Result = 1;
        return;
    }
    TWinControl::WndProc(m);
}

void TLabel::AdjustBounds() {
    if (!FAutoSize || !Parent() || !Parent()->HandleAllocated()) return;
    RECT r{0, 0, FWordWrap ? Width() : 0, 0};
    {
        // Measured on the parent's DC, which goes back before the label moves.
        const TBorrowedDC dc(Parent()->Handle());
        if (!dc) return;
        const TSelectedObject font(dc.Get(), Font().Handle());
        const std::string text = Caption().empty() ? std::string(" ") : Caption();
        DrawTextA(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, TextFlags() | DT_CALCRECT);
    }
    int left = Left();
    if (FAlignment == taRightJustify) left += Width() - r.right;
    SetBounds(left, Top(), r.right, r.bottom);
}

void TLabel::SetCaption(const std::string& text) {
    if (text == Caption()) return;
    TWinControl::SetCaption(text);
    AdjustBounds();
    Invalidate();
}

void TLabel::SetAlignment(TAlignment v) {
    if (v == FAlignment) return;
    FAlignment = v;
    Invalidate();
}

void TLabel::SetAutoSize(bool v) {
    if (v == FAutoSize) return;
    FAutoSize = v;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool v) {
    if (v == FWordWrap) return;
    FWordWrap = v;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    Invalidate();
}

// ---------------------------------------------------------------- TGroupBox

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 185, 105); }

void TGroupBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SysClassName = "BUTTON";
    params.Style |= BS_GROUPBOX | WS_CLIPCHILDREN;
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

bool TGroupBox::DialogChar(char key) {
    if (!IsAccel(key, Caption()) || !CanFocus()) return false;
    SelectFirst();
    return true;
}

void TGroupBox::WndProc(TMessage& m) {
    if (m.Msg == WM_ERASEBKGND) {
        // The system group box draws only its frame and caption; the inside is ours.
        EraseBackground(m);
        return;
    }
    TWinControl::WndProc(m);
}

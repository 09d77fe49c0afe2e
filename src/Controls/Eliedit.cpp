#include "Controls/Eliedit.h"

#include "Controls/EliGeometry.h"
#include "Framework/CtrlText.h"
#include "Framework/Graphics.h"
#include "Framework/Handles.h"

namespace {

// The text of a locked block up to its zero or the block's end, whichever
// comes first.
std::string BlockText(const TGlobalLock& block) {
    const auto* text = static_cast<const char*>(block.Data());
    if (!text) return std::string();
    const SIZE_T size = block.Size();
    SIZE_T n = 0;
    while (n < size && text[n]) ++n;
    return std::string(text, n);
}

}  // namespace

TCustomEllipsisEdit::TCustomEllipsisEdit(TComponent* AOwner) : TCustomMemo(AOwner) {
    SetBounds(Left(), Top(), 150, 20);
    SetWordWrap(false);
    SetWantReturns(false);

    FButton = new TSpeedButton(this);
    FButton->SetParent(this);
    FButton->SetAlign(alRight);
    FButton->SetWidth(EllipsisButtonWidth);
    FButton->Glyph().LoadFromResourceName("ELIPSIS15");
    FButton->OnClick = [this](TObject* sender) { DoEllipsisClick(sender); };
    FButton->OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        DoEllipsisMouseDown(sender, button, shift, x, y);
    };

    FSpacer = new TShape(this);
    FSpacer->SetParent(this);
    FSpacer->SetAlign(alRight);
    FSpacer->SetBrushColor(clBtnFace);
    FSpacer->SetPenColor(clBtnFace);
    FSpacer->SetWidth(1);
}

void TCustomEllipsisEdit::CreateParams(TCreateParams& params) {
    TCustomMemo::CreateParams(params);
    // The edit box paints its whole client area; the button must stay on top.
    params.Style |= WS_CLIPCHILDREN;
}

void TCustomEllipsisEdit::CreateHandle() {
    TCustomMemo::CreateHandle();
    UpdateEditRect();
}

void TCustomEllipsisEdit::UpdateEditRect() {
    if (!FHandle) return;
    RECT client;
    GetClientRect(FHandle, &client);
    RECT r = ToWinRect(EllipsisEditRect(client.right - client.left, client.bottom - client.top));
    SendMessageA(FHandle, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TCustomEllipsisEdit::WMSetCursor(TMessage& m) {
    if (Designing()) {
        TCustomMemo::WndProc(m);
        return;
    }
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(FHandle, &p);
    RECT client;
    GetClientRect(FHandle, &client);
    ::SetCursor(CursorHandle(EllipsisIBeamAt(p.x, client.right - client.left) ? crIBeam : Cursor()));
    m.Result = 1;
}

void TCustomEllipsisEdit::PasteFirstLine() {
    if (ReadOnly()) return;
    std::string text;
    {
        TClipboardLock clipboard(FHandle);
        if (!clipboard.Open()) return;
        const TGlobalLock data(GetClipboardData(CF_TEXT));
        text = FirstLine(BlockText(data));
    }
    SendMessageA(FHandle, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomEllipsisEdit::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_SIZE:
            TCustomMemo::WndProc(m);
            UpdateEditRect();
            return;
        case WM_SETCURSOR:
            WMSetCursor(m);
            return;
        case WM_CHAR:
            // One line: no line break gets in (Ctrl+Enter, Ctrl+J).
            if (m.WParam == '\r' || m.WParam == '\n') return;
            break;
        case WM_PASTE:
            PasteFirstLine();
            return;
        default:
            break;
    }
    TCustomMemo::WndProc(m);
}

void TCustomEllipsisEdit::EnabledChanged() {
    FButton->SetEnabled(Enabled());
    TCustomMemo::EnabledChanged();
}

void TCustomEllipsisEdit::DoEnter() {
    // A plain multi-line box would keep its caret; this one selects like a
    // one-line box, except when the user clicked into the text.
    if (AutoSelect() && !LButtonPressing()) SelectAll();
    TCustomMemo::DoEnter();
}

void TCustomEllipsisEdit::DoEllipsisClick(TObject* /*Sender*/) {
    if (OnEllipsisClick) OnEllipsisClick(this);
}

void TCustomEllipsisEdit::DoEllipsisMouseDown(TObject* /*Sender*/, TMouseButton /*Button*/, TShiftState /*Shift*/,
                                              int /*X*/, int /*Y*/) {
    if (FHandle && IsWindowVisible(FHandle) && IsWindowEnabled(FHandle)) SetFocus();
}

void TCustomEllipsisEdit::ChangeScale(int M, int D) {
    if (M == D) return;
    const TRect b = EllipsisScaledBounds(FromWinRect(BoundsRect()), M, D);
    SetBounds(b.Left, b.Top, b.Width(), b.Height());
    if (EllipsisScalesFont(ParentFont(), Loading(), (FScalingFlags & sfFont) != 0))
        Font().SetSize(KvMulDiv(Font().Size(), M, D));
}

const std::string& TCustomEllipsisEdit::GetEllipsisHint() const { return FButton->Hint(); }

void TCustomEllipsisEdit::SetEllipsisHint(const std::string& hint) {
    if (hint == FButton->Hint()) return;
    FButton->SetHint(hint);
    FButton->SetShowHint(!hint.empty());
}

bool TCustomEllipsisEdit::GetEllipsisEnabled() const { return FButton->Enabled(); }

void TCustomEllipsisEdit::SetEllipsisEnabled(bool enabled) { FButton->SetEnabled(enabled); }

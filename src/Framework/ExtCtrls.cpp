#include "Framework/ExtCtrls.h"

#include <algorithm>

// ---------------------------------------------------------------- TPanel

TPanel::TPanel(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 185, 41); }

void TPanel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Style |= WS_CLIPCHILDREN;
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

int TPanel::BorderExtent() const {
    return ((FBevelOuter != bvNone) + (FBevelInner != bvNone)) * FBevelWidth;
}

void TPanel::AdjustClientRect(RECT& r) {
    int n = BorderExtent();
    InflateRect(&r, -n, -n);
}

void TPanel::Resize() {
    // The caption is centred: a new size moves it.
    Invalidate();
    TWinControl::Resize();
}

namespace {

void Frame3D(TCanvas& canvas, RECT& r, TColor topLeft, TColor bottomRight, int width) {
    for (int i = 0; i < width; ++i) {
        canvas.SetPenColor(topLeft);
        canvas.MoveTo(r.left, r.bottom - 1);
        canvas.LineTo(r.left, r.top);
        canvas.LineTo(r.right - 1, r.top);
        canvas.SetPenColor(bottomRight);
        canvas.LineTo(r.right - 1, r.bottom - 1);
        canvas.LineTo(r.left - 1, r.bottom - 1);
        InflateRect(&r, -1, -1);
    }
}

void Bevel(TCanvas& canvas, RECT& r, TPanelBevel bevel, int width) {
    if (bevel == bvNone) return;
    bool raised = bevel == bvRaised;
    Frame3D(canvas, r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, width);
}

}  // namespace

void TPanel::Paint(TCanvas& canvas) {
    RECT r = ClientRect();
    Bevel(canvas, r, FBevelOuter, FBevelWidth);
    Bevel(canvas, r, FBevelInner, FBevelWidth);
    canvas.SetBrushColor(Color());
    canvas.FillRect(r);
    const std::string& text = Caption();
    if (text.empty()) return;
    canvas.SetBrushStyle(bsClear);
    canvas.PrepareText();
    HDC dc = canvas.Handle();
    int len = static_cast<int>(text.size());
    // One line when it fits; otherwise broken into lines, the block centred.
    RECT measure = r;
    DrawTextA(dc, text.c_str(), len, &measure, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    UINT flags = DT_CENTER | DT_NOPREFIX | DT_EXPANDTABS;
    if (measure.right - measure.left > r.right - r.left) {
        measure = r;
        DrawTextA(dc, text.c_str(), len, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        flags |= DT_WORDBREAK;
    } else {
        flags |= DT_SINGLELINE;
    }
    int height = measure.bottom - measure.top;
    RECT out = r;
    out.top = r.top + (r.bottom - r.top - height) / 2;
    out.bottom = out.top + height;
    DrawTextA(dc, text.c_str(), len, &out, flags);
}

void TPanel::SetCaption(const std::string& text) {
    if (text == Caption()) return;
    TWinControl::SetCaption(text);
    Invalidate();
}

void TPanel::SetBevelInner(TPanelBevel v) {
    if (v == FBevelInner) return;
    FBevelInner = v;
    AlignControls();
    Invalidate();
}

void TPanel::SetBevelOuter(TPanelBevel v) {
    if (v == FBevelOuter) return;
    FBevelOuter = v;
    AlignControls();
    Invalidate();
}

// ---------------------------------------------------------------- TShape

TShape::TShape(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 65, 65); }

void TShape::Paint(TCanvas& canvas) {
    RECT r = ClientRect();
    canvas.SetPenColor(FPenColor);
    canvas.SetBrushColor(FBrushColor);
    canvas.Rectangle(r.left, r.top, r.right, r.bottom);
}

void TShape::WndProc(TMessage& m) {
    if (m.Msg == WM_ERASEBKGND) {
        // Paint covers every pixel.
        m.Result = 1;
        return;
    }
    TWinControl::WndProc(m);
}

void TShape::SetBrushColor(TColor c) {
    if (c == FBrushColor) return;
    FBrushColor = c;
    Invalidate();
}

void TShape::SetPenColor(TColor c) {
    if (c == FPenColor) return;
    FPenColor = c;
    Invalidate();
}

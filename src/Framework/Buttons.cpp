#include "Framework/Buttons.h"

#include "Framework/Handles.h"

namespace {

// Raster operation: where the (monochrome) source is white keep the
// destination, elsewhere paint the brush.
constexpr DWORD RopBrushThroughMask = 0x00B8074A;

// The face of a button that stays pressed: button face and highlight in a
// checkerboard, as the system draws checked buttons.
void FillChecked(HDC dc, const RECT& r) {
    static const WORD rows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    TGdiObject<HBITMAP> pattern(CreateBitmap(8, 8, 1, 1, rows));
    TGdiObject<HBRUSH> brush(CreatePatternBrush(pattern.Get()));
    COLORREF fg = SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
    COLORREF bk = SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    FillRect(dc, &r, brush.Get());
    SetTextColor(dc, fg);
    SetBkColor(dc, bk);
}

void FillThroughMask(HDC dc, int x, int y, int w, int h, HDC mask, COLORREF color) {
    TGdiObject<HBRUSH> brush(CreateSolidBrush(color));
    TSelectedObject selected(dc, brush.Get());
    BitBlt(dc, x, y, w, h, mask, 0, 0, RopBrushThroughMask);
}

}  // namespace

TSpeedButton::TSpeedButton(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 23, 22); }

void TSpeedButton::SetCaption(const std::string& text) {
    if (text == Caption()) return;
    TWinControl::SetCaption(text);
    Invalidate();
}

void TSpeedButton::SetGroupIndex(int v) {
    if (v == FGroupIndex) return;
    FGroupIndex = v;
    if (FDown) ReleaseGroup();
}

void TSpeedButton::ReleaseGroup() {
    if (FGroupIndex == 0 || !Parent()) return;
    TWinControl* parent = Parent();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* other = dynamic_cast<TSpeedButton*>(parent->Controls(i));
        if (other && other != this && other->FGroupIndex == FGroupIndex && other->FDown) {
            other->FDown = false;
            other->Invalidate();
        }
    }
}

void TSpeedButton::SetDown(bool v) {
    // Outside a group a button cannot stay pressed.
    if (FGroupIndex == 0) v = false;
    if (v == FDown) return;
    // Only another button of the group releases a pressed one.
    if (FDown && !FAllowAllUp) return;
    FDown = v;
    if (v) ReleaseGroup();
    Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled()) return;
    FTracking = true;
    FMouseInside = true;
    SetCapture(FHandle);
    Repaint();
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    TWinControl::MouseMove(shift, x, y);
    if (!FTracking) return;
    RECT r = ClientRect();
    POINT p{x, y};
    bool inside = PtInRect(&r, p) != 0;
    if (inside != FMouseInside) {
        FMouseInside = inside;
        Repaint();
    }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    bool clicked = false;
    if (FTracking && button == mbLeft) {
        RECT r = ClientRect();
        POINT p{x, y};
        clicked = PtInRect(&r, p) != 0;
        FTracking = false;
        if (GetCapture() == FHandle) ReleaseCapture();
        if (clicked && FGroupIndex != 0) {
            if (!FDown) SetDown(true);
            else if (FAllowAllUp) FDown = false;
        }
        Repaint();
    }
    TWinControl::MouseUp(button, shift, x, y);
    if (clicked) Click();
}

void TSpeedButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_CAPTURECHANGED:
            if (FTracking && reinterpret_cast<HWND>(m.LParam) != FHandle) {
                FTracking = false;
                Invalidate();
            }
            break;
        case WM_ERASEBKGND:
            m.Result = 1;
            return;
        default:
            break;
    }
    TWinControl::WndProc(m);
}

void TSpeedButton::DrawGlyph(HDC dc, int x, int y) {
    int w = FGlyph.Width(), h = FGlyph.Height();
    TMemoryDC image(CreateCompatibleDC(nullptr));
    TSelectedObject imageSelected(image.Get(), FGlyph.Handle());
    if (!image || w <= 0 || h <= 0) return;
    COLORREF transparent = GetPixel(image.Get(), 0, h - 1);
    // Mask: white where the picture shows the transparent colour.
    TGdiObject<HBITMAP> maskBmp(CreateBitmap(w, h, 1, 1, nullptr));
    TMemoryDC mask(CreateCompatibleDC(nullptr));
    TSelectedObject maskSelected(mask.Get(), maskBmp.Get());
    if (!mask) return;
    COLORREF oldBk = SetBkColor(image.Get(), transparent);
    BitBlt(mask.Get(), 0, 0, w, h, image.Get(), 0, 0, SRCCOPY);
    SetBkColor(image.Get(), oldBk);

    COLORREF bk = SetBkColor(dc, RGB(255, 255, 255));
    COLORREF fg = SetTextColor(dc, RGB(0, 0, 0));
    if (Enabled()) {
        BitBlt(dc, x, y, w, h, image.Get(), 0, 0, SRCINVERT);
        BitBlt(dc, x, y, w, h, mask.Get(), 0, 0, SRCAND);
        BitBlt(dc, x, y, w, h, image.Get(), 0, 0, SRCINVERT);
    } else {
        // The system's disabled look: the picture's outline embossed.
        FillThroughMask(dc, x + 1, y + 1, w, h, mask.Get(), GetSysColor(COLOR_BTNHIGHLIGHT));
        FillThroughMask(dc, x, y, w, h, mask.Get(), GetSysColor(COLOR_BTNSHADOW));
    }
    SetBkColor(dc, bk);
    SetTextColor(dc, fg);
}

void TSpeedButton::Paint(TCanvas& canvas) {
    HDC dc = canvas.Handle();
    RECT r = ClientRect();
    bool pressed = Pressed();
    UINT state = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (pressed) state |= DFCS_PUSHED;
    DrawFrameControl(dc, &r, DFC_BUTTON, state);
    if (FDown && !(FTracking && FMouseInside)) FillChecked(dc, r);
    r = ClientRect();
    int shift = pressed ? 1 : 0;

    const std::string& text = Caption();
    int gw = FGlyph.Handle() ? FGlyph.Width() : 0;
    int gh = FGlyph.Handle() ? FGlyph.Height() : 0;
    SIZE ts{0, 0};
    if (!text.empty()) ts = canvas.TextExtent(text);
    int spacing = (gw > 0 && !text.empty()) ? 4 : 0;
    int contentW = gw + spacing + ts.cx;
    int x = (r.right - r.left - contentW + 1) / 2 + shift;
    if (gw > 0) DrawGlyph(dc, x, (r.bottom - r.top - gh + 1) / 2 + shift);
    if (text.empty()) return;
    RECT tr{x + gw + spacing, (r.bottom - r.top - ts.cy) / 2 + shift, 0, 0};
    tr.right = tr.left + ts.cx;
    tr.bottom = tr.top + ts.cy;
    canvas.SetBrushStyle(bsClear);
    canvas.PrepareText();
    if (Enabled()) {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_NOCLIP);
    } else {
        RECT hr = tr;
        OffsetRect(&hr, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &hr, DT_SINGLELINE | DT_NOCLIP);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_NOCLIP);
    }
}

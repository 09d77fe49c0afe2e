#include "Framework/Graphics.h"

#include <cstring>

#include "Framework/Exception.h"
#include "Framework/Scaling.h"
#include "Framework/SysUtils.h"

COLORREF ColorToRGB(TColor color) {
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color);
}

void TFont::Changed() {
    FHandle.Reset();
    if (OnChange) OnChange(nullptr);
}

void TFont::Assign(const TFont& other) {
    if (&other == this) return;
    FName = other.FName;
    FHeight = other.FHeight;
    FCharset = other.FCharset;
    FColor = other.FColor;
    FStyle = other.FStyle;
    FPixelsPerInch = other.FPixelsPerInch;
    FPoints = other.FPoints;
    Changed();
}

void TFont::SetSize(int points) {
    const int height = -PointsToPixels(points, FPixelsPerInch);
    FPoints = points;
    if (height == FHeight) return;
    FHeight = height;
    Changed();
}

void TFont::ChangeScale(int M, int D) {
    if (M == D) return;
    FPixelsPerInch = KvMulDiv(FPixelsPerInch, M, D);
    FHeight = FPoints ? -PointsToPixels(FPoints, FPixelsPerInch) : KvMulDiv(FHeight, M, D);
    Changed();
}

void TFont::SetName(const std::string& name) {
    if (name == FName) return;
    FName = name;
    Changed();
}
void TFont::SetHeight(int height) {
    FPoints = 0;
    if (height == FHeight) return;
    FHeight = height;
    Changed();
}
void TFont::SetCharset(int charset) {
    if (charset == FCharset) return;
    FCharset = charset;
    Changed();
}
void TFont::SetColor(TColor color) {
    if (color == FColor) return;
    FColor = color;
    if (OnChange) OnChange(nullptr);
}
void TFont::SetStyle(unsigned style) {
    if (style == FStyle) return;
    FStyle = style;
    Changed();
}

HFONT TFont::Handle() {
    if (!FHandle) {
        LOGFONTA lf{};
        lf.lfHeight = FHeight;
        lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (FStyle & fsItalic) ? TRUE : FALSE;
        lf.lfUnderline = (FStyle & fsUnderline) ? TRUE : FALSE;
        lf.lfCharSet = static_cast<BYTE>(FCharset);
        lf.lfQuality = DEFAULT_QUALITY;
        lstrcpynA(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
        FHandle.Reset(CreateFontIndirectA(&lf));
    }
    return FHandle.Get();
}

void TCanvas::SetHandle(HDC dc) {
    FFontSelection.Restore();
    FDC = dc;
}

void TCanvas::PrepareText() {
    // Only the first selection replaced the DC's own font; later ones replace ours.
    if (FFontSelection) SelectObject(FDC, FFont.Handle());
    else FFontSelection = TSelectedObject(FDC, FFont.Handle());
    SetTextColor(FDC, ColorToRGB(FFont.Color()));
    if (FBrushStyle == bsClear) {
        SetBkMode(FDC, TRANSPARENT);
    } else {
        SetBkMode(FDC, OPAQUE);
        SetBkColor(FDC, ColorToRGB(FBrushColor));
    }
}

void TCanvas::FillRect(const RECT& r) {
    if (FBrushStyle == bsClear) return;
    TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(FBrushColor)));
    ::FillRect(FDC, &r, brush.Get());
}

void TCanvas::FrameRect(const RECT& r) {
    TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(FPenColor)));
    ::FrameRect(FDC, &r, brush.Get());
}

void TCanvas::Rectangle(int l, int t, int r, int b) {
    TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ColorToRGB(FPenColor)));
    // A clear brush is the stock one, which is never deleted.
    TGdiObject<HBRUSH> brush(FBrushStyle == bsClear ? nullptr : CreateSolidBrush(ColorToRGB(FBrushColor)));
    TSelectedObject selectedPen(FDC, pen.Get());
    TSelectedObject selectedBrush(FDC, brush ? brush.Get() : GetStockObject(NULL_BRUSH));
    ::Rectangle(FDC, l, t, r, b);
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(FDC, x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
    TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ColorToRGB(FPenColor)));
    TSelectedObject selected(FDC, pen.Get());
    ::LineTo(FDC, x, y);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    PrepareText();
    ExtTextOutA(FDC, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
}

SIZE TCanvas::TextExtent(const std::string& text) {
    PrepareText();
    SIZE s{0, 0};
    GetTextExtentPoint32A(FDC, text.data(), static_cast<int>(text.size()), &s);
    return s;
}

void TIcon::SetHandle(HICON icon) {
    FHandle.Reset(icon);
    if (OnChange) OnChange(nullptr);
}

HICON TIcon::ReleaseHandle() {
    HICON h = FHandle.Release();
    if (OnChange) OnChange(nullptr);
    return h;
}

void TIcon::Assign(const TIcon& other) {
    if (&other == this) return;
    SetHandle(other.FHandle ? CopyIcon(other.FHandle.Get()) : nullptr);
}

void TIcon::LoadFromResourceName(const char* name, int size) {
    HANDLE h = LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON, size, size, 0);
    if (!h) throw EResNotFound(Format("リソース %s が見つかりません", name));
    SetHandle(static_cast<HICON>(h));
}

void TBitmap::SetHandle(HBITMAP bmp) { FHandle.Reset(bmp); }

void TBitmap::LoadFromResourceName(const char* name) {
    HBITMAP h = LoadBitmapA(GetModuleHandleA(nullptr), name);
    if (!h) throw EResNotFound(Format("リソース %s が見つかりません", name));
    SetHandle(h);
}

int TBitmap::Width() const {
    BITMAP b{};
    return FHandle && GetObjectA(FHandle.Get(), sizeof b, &b) ? b.bmWidth : 0;
}

int TBitmap::Height() const {
    BITMAP b{};
    return FHandle && GetObjectA(FHandle.Get(), sizeof b, &b) ? b.bmHeight : 0;
}

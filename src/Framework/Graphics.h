#pragma once
// Colours, fonts, the drawing surface, icons and bitmaps.
#include <windows.h>

#include <string>

#include "Framework/Classes.h"
#include "Framework/Colors.h"
#include "Framework/Handles.h"
#include "Framework/Types.h"

static_assert(clBtnFace == SysColor(COLOR_BTNFACE) && clBtnShadow == SysColor(COLOR_BTNSHADOW) &&
                  clBtnHighlight == SysColor(COLOR_BTNHIGHLIGHT) && clWindow == SysColor(COLOR_WINDOW) &&
                  clWindowText == SysColor(COLOR_WINDOWTEXT) && clHighlight == SysColor(COLOR_HIGHLIGHT) &&
                  clHighlightText == SysColor(COLOR_HIGHLIGHTTEXT),
              "colour indexes agree with Windows");
COLORREF ColorToRGB(TColor color);

// The portable rectangle and the system's hold the same four edges.
inline RECT ToWinRect(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
inline TRect FromWinRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4 };

// Owns the GDI object of one logical font, made when first asked for.
class TFont {
public:
    TFont() = default;
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    void Assign(const TFont& other);
    const std::string& Name() const { return FName; }
    void SetName(const std::string& name);
    // The logical font's height value: negative for a character height in
    // pixels (-12 draws characters 12 pixels high), positive for a cell height.
    int Height() const { return FHeight; }
    void SetHeight(int height);
    // Points at the font's pixels per inch (96 until it is scaled).
    void SetSize(int points);
    int Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }
    // Scales the font by M/D with its form: a font given in points takes the
    // height of those points at the new pixels per inch, one given as a
    // height is scaled itself.
    void ChangeScale(int M, int D);
    int Charset() const { return FCharset; }
    void SetCharset(int charset);
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    unsigned Style() const { return FStyle; }
    void SetStyle(unsigned style);
    HFONT Handle();
    TNotifyEvent OnChange;

private:
    void Changed();
    std::string FName = "MS UI Gothic";
    int FHeight = -12;
    int FCharset = SHIFTJIS_CHARSET;
    TColor FColor = clWindowText;
    unsigned FStyle = 0;
    int FPixelsPerInch = 96;
    // The size in points when it was given so, else 0.
    int FPoints = 0;
    TGdiObject<HFONT> FHandle;
};

enum TBrushStyle { bsSolid, bsClear };

// Drawing on a device context. The DC is not owned; selected objects are put
// back when the canvas lets go of it.
class TCanvas {
public:
    TCanvas() = default;
    explicit TCanvas(HDC dc) : FDC(dc) {}
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle() const { return FDC; }
    void SetHandle(HDC dc);
    TFont& Font() { return FFont; }
    TColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor c) { FBrushColor = c; FBrushStyle = bsSolid; }
    TBrushStyle BrushStyle() const { return FBrushStyle; }
    void SetBrushStyle(TBrushStyle s) { FBrushStyle = s; }
    TColor PenColor() const { return FPenColor; }
    void SetPenColor(TColor c) { FPenColor = c; }

    void FillRect(const RECT& r);
    void FrameRect(const RECT& r);
    void Rectangle(int l, int t, int r, int b);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void TextOut(int x, int y, const std::string& text);
    SIZE TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    // Selects font, colours and background mode for text output now.
    void PrepareText();

private:
    HDC FDC = nullptr;
    TFont FFont;
    TColor FBrushColor = clWhite;
    TBrushStyle FBrushStyle = bsSolid;
    TColor FPenColor = clBlack;
    // The DC's own font, put back when the canvas lets go of the DC. After
    // FFont, so that it goes first and the font is no longer selected when
    // it is deleted.
    TSelectedObject FFontSelection;
};

// Owns one icon handle.
class TIcon {
public:
    TIcon() = default;
    // Clears through SetHandle, so that OnChange tells whoever shows the icon.
    ~TIcon() { SetHandle(nullptr); }
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;

    HICON Handle() const { return FHandle.Get(); }
    bool Empty() const { return !FHandle; }
    // Takes ownership of icon (nullptr clears); raises OnChange.
    void SetHandle(HICON icon);
    // Gives up ownership without destroying; raises OnChange.
    HICON ReleaseHandle();
    // Copies the picture of another icon.
    void Assign(const TIcon& other);
    // Loads a resource of the program's module at the given size.
    void LoadFromResourceName(const char* name, int size);
    TNotifyEvent OnChange;

private:
    TIconHandle FHandle;
};

// Owns one bitmap handle.
class TBitmap {
public:
    TBitmap() = default;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    HBITMAP Handle() const { return FHandle.Get(); }
    void SetHandle(HBITMAP bmp);
    // Raises EResNotFound when the program has no such bitmap.
    void LoadFromResourceName(const char* name);
    int Width() const;
    int Height() const;

private:
    TGdiObject<HBITMAP> FHandle;
};

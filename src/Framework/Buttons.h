#pragma once
// The speed button: a push button that draws itself, shows a picture, never
// takes the keyboard focus, and can stay pressed as a member of a group.
#include <windows.h>

#include <string>

#include "Framework/Controls.h"
#include "Framework/Graphics.h"

class TSpeedButton : public TWinControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    std::string ClassName() const override { return "TSpeedButton"; }

    // The picture; its bottom-left pixel's colour is drawn as transparent.
    TBitmap& Glyph() { return FGlyph; }
    void SetCaption(const std::string& text) override;
    // Buttons of one parent with the same GroupIndex (> 0) are pressed one at
    // a time; a pressed one stays pressed until another of its group is.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    bool Down() const { return FDown; }
    void SetDown(bool v);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v) { FAllowAllUp = v; }
    // Drawn pressed (held down with the mouse or Down).
    bool Pressed() const { return FDown || (FTracking && FMouseInside); }

protected:
    bool CustomPaint() const override { return true; }
    void Paint(TCanvas& canvas) override;
    void WndProc(TMessage& m) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void EnabledChanged() override { Invalidate(); }

private:
    void DrawGlyph(HDC dc, int x, int y);
    void ReleaseGroup();
    TBitmap FGlyph;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    bool FTracking = false;
    bool FMouseInside = false;
};

#pragma once
// Panels and shapes: surfaces that draw themselves.
#include <windows.h>

#include <string>

#include "Framework/Controls.h"

enum TPanelBevel { bvNone, bvLowered, bvRaised };

// A surface with up to two bevels and a caption centred in it; a parent for
// other controls.
class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* AOwner);
    std::string ClassName() const override { return "TPanel"; }

    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel v);
    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel v);
    void SetCaption(const std::string& text) override;

protected:
    void CreateParams(TCreateParams& params) override;
    bool CustomPaint() const override { return true; }
    void Paint(TCanvas& canvas) override;
    void AdjustClientRect(RECT& r) override;
    void Resize() override;

private:
    int BorderExtent() const;
    TPanelBevel FBevelInner = bvNone;
    TPanelBevel FBevelOuter = bvRaised;
    int FBevelWidth = 1;
};

// A rectangle filled with the brush colour and outlined with the pen colour.
class TShape : public TWinControl {
public:
    explicit TShape(TComponent* AOwner);
    std::string ClassName() const override { return "TShape"; }

    TColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor c);
    TColor PenColor() const { return FPenColor; }
    void SetPenColor(TColor c);

protected:
    bool CustomPaint() const override { return true; }
    void Paint(TCanvas& canvas) override;
    void WndProc(TMessage& m) override;

private:
    TColor FBrushColor = clWhite;
    TColor FPenColor = clBlack;
};

#pragma once
// The shadow label's settings object and what its painting decides: which
// copies of the caption are drawn, where, in which colour and with which
// DrawText flags, in drawing order. No window is needed here.
#include <string>
#include <vector>

#include "Framework/Classes.h"
#include "Framework/Colors.h"
#include "Framework/Types.h"

// DrawText flags the label uses.
constexpr unsigned DtLeft = 0x0;
constexpr unsigned DtCenter = 0x1;
constexpr unsigned DtRight = 0x2;
constexpr unsigned DtWordBreak = 0x10;
constexpr unsigned DtExpandTabs = 0x40;
constexpr unsigned DtNoPrefix = 0x800;

// One copy of the caption: whether it is drawn, its colour and its offset.
class TShadow : public TObject {
public:
    bool Visible() const { return FVisible; }
    void SetShadowVisible(bool value);
    TColor Color() const { return FColor; }
    void SetShadowColor(TColor value);
    int OffsetLeft() const { return FOffsetLeft; }
    void SetShadowLeft(int value);
    int OffsetTop() const { return FOffsetTop; }
    void SetShadowTop(int value);
    // Copies the four values from another TShadow and raises OnChange once,
    // changed or not. Anything else raises EConvertError.
    void Assign(const TObject* Source);

    TNotifyEvent OnChange;

private:
    void Changed();
    bool FVisible = false;
    TColor FColor = clBlack;
    int FOffsetLeft = 0;
    int FOffsetTop = 0;
};

// The label's alignment, in the framework's order.
enum TLabelAlignment { laLeftJustify, laRightJustify, laCenter };

// What the painting needs to know of the label.
struct TShadowLabelLook {
    std::string Caption;
    bool ShowAccelChar = true;
    TLabelAlignment Alignment = laLeftJustify;
    bool WordWrap = false;
    bool Transparent = false;
    bool Enabled = true;
    TColor Color = 0;
    TColor FontColor = 0;
    TRect ClientRect;
};

struct TShadowTextOp {
    TRect Rect;
    TColor Color;
    bool operator==(const TShadowTextOp& o) const { return Rect == o.Rect && Color == o.Color; }
};

struct TShadowLabelPlan {
    std::string Text;   // the same for every copy
    unsigned Flags = 0;  // the same for every copy
    bool Fill = false;  // fill the client rectangle with FillColor first
    TColor FillColor = 0;
    std::vector<TShadowTextOp> Ops;  // in drawing order: shadow, highlight, text
};

TShadowLabelPlan PlanShadowLabel(const TShadowLabelLook& look, const TShadow& highlight, const TShadow& shadow);

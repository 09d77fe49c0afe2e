#include "Controls/ShadolblLayout.h"

#include "Framework/Exception.h"

void TShadow::Changed() {
    if (OnChange) OnChange(this);
}

void TShadow::SetShadowVisible(bool value) {
    if (value == FVisible) return;
    FVisible = value;
    Changed();
}

void TShadow::SetShadowColor(TColor value) {
    if (value == FColor) return;
    FColor = value;
    Changed();
}

void TShadow::SetShadowLeft(int value) {
    if (value == FOffsetLeft) return;
    FOffsetLeft = value;
    Changed();
}

void TShadow::SetShadowTop(int value) {
    if (value == FOffsetTop) return;
    FOffsetTop = value;
    Changed();
}

void TShadow::Assign(const TObject* Source) {
    const auto* other = dynamic_cast<const TShadow*>(Source);
    if (!other) throw EConvertError(std::string(Source ? "TObject" : "nil") + " を TShadow に代入できません");
    FVisible = other->FVisible;
    FColor = other->FColor;
    FOffsetLeft = other->FOffsetLeft;
    FOffsetTop = other->FOffsetTop;
    Changed();
}

namespace {

TRect Shifted(TRect r, int dx, int dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
    return r;
}

}  // namespace

TShadowLabelPlan PlanShadowLabel(const TShadowLabelLook& look, const TShadow& highlight, const TShadow& shadow) {
    TShadowLabelPlan plan;
    plan.Text = look.Caption;
    // DrawText takes a lone "&" for a prefix of nothing.
    if (plan.Text.empty() || (look.ShowAccelChar && plan.Text == "&")) plan.Text += ' ';

    plan.Flags = DtExpandTabs;
    if (!look.ShowAccelChar) plan.Flags |= DtNoPrefix;
    switch (look.Alignment) {
        case laLeftJustify: plan.Flags |= DtLeft; break;
        case laRightJustify: plan.Flags |= DtRight; break;
        case laCenter: plan.Flags |= DtCenter; break;
    }
    if (look.WordWrap) plan.Flags |= DtWordBreak;

    plan.Fill = !look.Transparent;
    plan.FillColor = look.Color;

    const TRect& r = look.ClientRect;
    TColor shadowColor = look.Enabled ? shadow.Color() : clGray;
    TColor highlightColor = look.Enabled ? highlight.Color() : clBtnHighlight;
    TColor textColor = look.Enabled ? look.FontColor : clBtnShadow;
    if (shadow.Visible()) plan.Ops.push_back({Shifted(r, shadow.OffsetLeft(), shadow.OffsetTop()), shadowColor});
    if (highlight.Visible())
        plan.Ops.push_back({Shifted(r, highlight.OffsetLeft(), highlight.OffsetTop()), highlightColor});
    plan.Ops.push_back({r, textColor});
    return plan;
}

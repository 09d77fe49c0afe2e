#include "Controls/Shadolbl.h"

#include <windows.h>

#include "Framework/Graphics.h"

static_assert(DtCenter == DT_CENTER && DtRight == DT_RIGHT && DtWordBreak == DT_WORDBREAK &&
                  DtExpandTabs == DT_EXPANDTABS && DtNoPrefix == DT_NOPREFIX,
              "the label's flags are the system's DrawText flags");
static_assert(clBtnShadow == SysColor(COLOR_BTNSHADOW) && clBtnHighlight == SysColor(COLOR_BTNHIGHLIGHT),
              "the label's system colours are the system's");
static_assert(static_cast<int>(laRightJustify) == static_cast<int>(taRightJustify) &&
                  static_cast<int>(laCenter) == static_cast<int>(taCenter),
              "alignments in the framework's order");

TShadowLabel::TShadowLabel(TComponent* AOwner) : TLabel(AOwner) {
    FHighlight.SetShadowVisible(true);
    FHighlight.SetShadowColor(clWhite);
    FHighlight.SetShadowLeft(-1);
    FHighlight.SetShadowTop(-1);
    FShadow.SetShadowVisible(true);
    FShadow.SetShadowColor(clSilver);
    FShadow.SetShadowLeft(1);
    FShadow.SetShadowTop(1);
    FHighlight.OnChange = [this](TObject* sender) { ShadowChanged(sender); };
    FShadow.OnChange = [this](TObject* sender) { ShadowChanged(sender); };
}

void TShadowLabel::SetHighlight(const TShadow* Value) {
    if (!Value) return;
    FHighlight.Assign(Value);
    Invalidate();
}

void TShadowLabel::SetShadow(const TShadow* Value) {
    if (!Value) return;
    FShadow.Assign(Value);
    Invalidate();
}

void TShadowLabel::ShadowChanged(TObject*) { Invalidate(); }

void TShadowLabel::Paint(TCanvas& canvas) {
    RECT client = ClientRect();
    TShadowLabelLook look;
    look.Caption = Caption();
    look.ShowAccelChar = ShowAccelChar();
    look.Alignment = static_cast<TLabelAlignment>(Alignment());
    look.WordWrap = WordWrap();
    look.Transparent = Transparent();
    look.Enabled = Enabled();
    look.Color = Color();
    look.FontColor = Font().Color();
    look.ClientRect = FromWinRect(client);
    TShadowLabelPlan plan = PlanShadowLabel(look, FHighlight, FShadow);

    if (plan.Fill) {
        canvas.SetBrushColor(plan.FillColor);
        canvas.FillRect(client);
    }
    canvas.Font().Assign(Font());
    canvas.SetBrushStyle(bsClear);
    for (const TShadowTextOp& op : plan.Ops) {
        canvas.Font().SetColor(op.Color);
        canvas.PrepareText();
        RECT r = ToWinRect(op.Rect);
        DrawTextA(canvas.Handle(), plan.Text.c_str(), static_cast<int>(plan.Text.size()), &r, plan.Flags);
    }
}

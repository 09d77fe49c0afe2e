#include "Controls/ShadolblLayout.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "Framework/Exception.h"

namespace {

// A TShadow with these values (settings objects are not copyable).
struct Shadow : TShadow {
    Shadow(bool visible, TColor color, int left, int top) {
        SetShadowVisible(visible);
        SetShadowColor(color);
        SetShadowLeft(left);
        SetShadowTop(top);
    }
};

constexpr TColor Red = 0x0000FF;
constexpr TColor Blue = 0xFF0000;
constexpr TColor Face = static_cast<TColor>(0x80000000u | 15u);

TShadowLabelLook Look(const std::string& caption) {
    TShadowLabelLook look;
    look.Caption = caption;
    look.Color = Face;
    look.FontColor = Red;
    look.ClientRect = TRect{0, 0, 120, 40};
    return look;
}

}  // namespace

TEST(TShadow, StartsBlankAndEachWriterRaisesOnChangeOnlyOnAChange) {
    TShadow s;
    EXPECT_FALSE(s.Visible());
    EXPECT_EQ(s.Color(), clBlack);
    EXPECT_EQ(s.OffsetLeft(), 0);
    EXPECT_EQ(s.OffsetTop(), 0);

    int changes = 0;
    TObject* sender = nullptr;
    s.OnChange = [&](TObject* o) {
        ++changes;
        sender = o;
    };
    const std::vector<std::function<void()>> sameValue = {
        [&] { s.SetShadowVisible(false); }, [&] { s.SetShadowColor(clBlack); },
        [&] { s.SetShadowLeft(0); }, [&] { s.SetShadowTop(0); }};
    for (const auto& write : sameValue) write();
    EXPECT_EQ(changes, 0);

    const std::vector<std::function<void()>> newValue = {
        [&] { s.SetShadowVisible(true); }, [&] { s.SetShadowColor(Blue); },
        [&] { s.SetShadowLeft(-3); }, [&] { s.SetShadowTop(7); }};
    for (size_t i = 0; i < newValue.size(); ++i) {
        newValue[i]();
        EXPECT_EQ(changes, static_cast<int>(i) + 1) << "writer " << i;
        newValue[i]();
        EXPECT_EQ(changes, static_cast<int>(i) + 1) << "writer " << i << " again";
    }
    EXPECT_EQ(sender, &s);
    EXPECT_TRUE(s.Visible());
    EXPECT_EQ(s.Color(), Blue);
    EXPECT_EQ(s.OffsetLeft(), -3);
    EXPECT_EQ(s.OffsetTop(), 7);
}

TEST(TShadow, AssignCopiesAllFourValuesAndRaisesOnChangeOnce) {
    Shadow target(false, clBlack, 0, 0);
    Shadow source(true, Blue, 2, -4);
    int changes = 0;
    target.OnChange = [&](TObject*) { ++changes; };
    target.Assign(&source);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(target.Visible());
    EXPECT_EQ(target.Color(), Blue);
    EXPECT_EQ(target.OffsetLeft(), 2);
    EXPECT_EQ(target.OffsetTop(), -4);
    target.Assign(&source);
    EXPECT_EQ(changes, 2) << "raised even when nothing changed";

    TObject other;
    EXPECT_THROW(target.Assign(&other), EConvertError);
    EXPECT_THROW(target.Assign(nullptr), EConvertError);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(target.Color(), Blue);
}

TEST(ShadowLabelPlan, FlagsFollowTheLabelsSettings) {
    const struct {
        bool accel;
        TLabelAlignment align;
        bool wrap;
        unsigned flags;
    } cases[] = {
        {true, laLeftJustify, false, DtExpandTabs},
        {false, laLeftJustify, false, DtExpandTabs | DtNoPrefix},
        {true, laRightJustify, false, DtExpandTabs | DtRight},
        {true, laCenter, true, DtExpandTabs | DtCenter | DtWordBreak},
        {false, laCenter, true, DtExpandTabs | DtNoPrefix | DtCenter | DtWordBreak},
    };
    for (const auto& c : cases) {
        TShadowLabelLook look = Look("x");
        look.ShowAccelChar = c.accel;
        look.Alignment = c.align;
        look.WordWrap = c.wrap;
        EXPECT_EQ(PlanShadowLabel(look, TShadow(), TShadow()).Flags, c.flags)
            << c.accel << " " << c.align << " " << c.wrap;
    }
}

TEST(ShadowLabelPlan, AnEmptyCaptionOrALoneAmpersandGetsASpace) {
    const struct {
        const char* caption;
        bool accel;
        const char* text;
    } cases[] = {{"", true, " "},    {"", false, " "},  {"&", true, "& "},
                 {"&", false, "&"}, {"&&", true, "&&"}, {"Keyvane", true, "Keyvane"}};
    for (const auto& c : cases) {
        TShadowLabelLook look = Look(c.caption);
        look.ShowAccelChar = c.accel;
        EXPECT_EQ(PlanShadowLabel(look, TShadow(), TShadow()).Text, c.text) << "'" << c.caption << "' " << c.accel;
    }
}

TEST(ShadowLabelPlan, FillsUnlessTransparent) {
    TShadowLabelLook look = Look("x");
    TShadowLabelPlan plan = PlanShadowLabel(look, TShadow(), TShadow());
    EXPECT_TRUE(plan.Fill);
    EXPECT_EQ(plan.FillColor, Face);
    look.Transparent = true;
    EXPECT_FALSE(PlanShadowLabel(look, TShadow(), TShadow()).Fill);
}

TEST(ShadowLabelPlan, DrawsShadowThenHighlightThenTextAtTheirOffsets) {
    const TRect r{0, 0, 120, 40};
    const Shadow white(true, clWhite, -1, -1);
    const Shadow blue(true, Blue, 1, 1);
    const Shadow hiddenWhite(false, clWhite, -1, -1);
    const Shadow hiddenBlue(false, Blue, 1, 1);
    const Shadow farShadow(true, clSilver, 5, -7);
    const struct {
        const char* name;
        bool enabled;
        const TShadow& highlight;
        const TShadow& shadow;
        std::vector<TShadowTextOp> ops;
    } cases[] = {
        {"product name", true, white, blue,
         {{{1, 1, 121, 41}, Blue}, {{-1, -1, 119, 39}, clWhite}, {r, Red}}},
        {"plain version line", true, hiddenWhite, hiddenBlue, {{r, Red}}},
        {"shadow only, far", true, hiddenWhite, farShadow, {{{5, -7, 125, 33}, clSilver}, {r, Red}}},
        {"highlight only", true, white, hiddenBlue, {{{-1, -1, 119, 39}, clWhite}, {r, Red}}},
        {"disabled", false, white, blue,
         {{{1, 1, 121, 41}, clGray}, {{-1, -1, 119, 39}, clBtnHighlight}, {r, clBtnShadow}}},
        {"disabled, copies hidden", false, hiddenWhite, hiddenBlue, {{r, clBtnShadow}}},
    };
    for (const auto& c : cases) {
        TShadowLabelLook look = Look("Keyvane");
        look.Enabled = c.enabled;
        TShadowLabelPlan plan = PlanShadowLabel(look, c.highlight, c.shadow);
        ASSERT_EQ(plan.Ops.size(), c.ops.size()) << c.name;
        for (size_t i = 0; i < c.ops.size(); ++i) {
            EXPECT_EQ(plan.Ops[i].Rect, c.ops[i].Rect) << c.name << " op " << i;
            EXPECT_EQ(plan.Ops[i].Color, c.ops[i].Color) << c.name << " op " << i;
        }
    }
}

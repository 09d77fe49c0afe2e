#include "Framework/ExtCtrls.h"

#include <gtest/gtest.h>

#include "Framework/CtrlTestSupport.h"
#include "Framework/Forms.h"

using ctltest::WaitFor;

namespace {

const char EmptyListText[] =
    "登録されているアイテムはありません｡『追加』を押してアイテムを追加してください｡";

// Rows of a picture that hold at least one pixel of colour c, as bands.
int TextBands(const ctltest::Picture& pic, COLORREF c) {
    int bands = 0;
    bool in = false;
    for (int y = 0; y < pic.height; ++y) {
        bool has = pic.Count(c, 0, y, pic.width, y + 1) > 0;
        if (has && !in) ++bands;
        in = has;
    }
    return bands;
}

}  // namespace

TEST(TPanel, CaptionShowsOnlyWhileNothingCoversIt) {
    auto* form = new TForm(Application);
    form->SetClientSize(500, 200);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetAlign(alClient);
    panel->SetColor(clWindow);
    panel->SetBevelInner(bvLowered);
    panel->SetBevelOuter(bvRaised);
    panel->Font().SetColor(clBlack);
    panel->SetCaption(EmptyListText);
    auto* cover = new TPanel(form);
    cover->SetParent(panel);
    cover->SetAlign(alClient);
    cover->SetBevelOuter(bvNone);
    cover->SetColor(clBlue);
    form->Show();
    HWND wnd = panel->Handle();
    const COLORREF black = RGB(0, 0, 0);
    auto textPixels = [&] {
        ctltest::Picture pic = ctltest::Capture(wnd);
        return pic.Count(black, 0, 0, pic.width, pic.height);
    };
    ctltest::Settle();
    EXPECT_EQ(textPixels(), 0);
    cover->Hide();
    EXPECT_TRUE(WaitFor([&] { return textPixels() > 50; }));
    EXPECT_TRUE(ctltest::SaveBmp(ctltest::Capture(form->Handle(), true), ctltest::ShotPath("kv_panel_caption.bmp")));
    // Centred both ways.
    ctltest::Picture pic = ctltest::Capture(wnd);
    int top = -1, bottom = -1, left = pic.width, right = -1;
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x)
            if (pic.Color(x, y) == black) {
                if (top < 0) top = y;
                bottom = y;
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_NEAR(top + bottom, pic.height, 6);
    EXPECT_NEAR(left + right, pic.width, 6);
    cover->Show();
    EXPECT_TRUE(WaitFor([&] { return textPixels() == 0; }));
    delete form;
}

TEST(TPanel, ACaptionWiderThanThePanelIsBrokenIntoCentredLines) {
    auto* form = new TForm(Application);
    form->SetClientSize(500, 200);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 500, 200);
    panel->SetColor(clWindow);
    panel->Font().SetColor(clBlack);
    panel->SetCaption(EmptyListText);
    form->Show();
    panel->Repaint();
    EXPECT_EQ(TextBands(ctltest::Capture(panel->Handle()), RGB(0, 0, 0)), 1);
    panel->SetWidth(200);
    panel->Repaint();
    ctltest::Picture narrow = ctltest::Capture(panel->Handle());
    EXPECT_GE(TextBands(narrow, RGB(0, 0, 0)), 2);
    EXPECT_TRUE(ctltest::SaveBmp(narrow, ctltest::ShotPath("kv_panel_wrapped.bmp")));
    delete form;
}

TEST(TPanel, BevelsAreDrawnAndKeptFreeOfAlignedChildren) {
    struct Case {
        TPanelBevel outer, inner;
        int inset;
    };
    const COLORREF hi = GetSysColor(COLOR_BTNHIGHLIGHT), sh = GetSysColor(COLOR_BTNSHADOW);
    for (Case c : {Case{bvRaised, bvLowered, 2}, Case{bvLowered, bvLowered, 2}, Case{bvRaised, bvNone, 1},
                   Case{bvNone, bvNone, 0}}) {
        auto* form = new TForm(Application);
        form->SetClientSize(200, 100);
        auto* panel = new TPanel(form);
        panel->SetParent(form);
        panel->SetBounds(10, 10, 100, 60);
        panel->SetColor(clWindow);
        panel->SetBevelOuter(c.outer);
        panel->SetBevelInner(c.inner);
        auto* child = new TPanel(form);
        child->SetParent(panel);
        child->SetAlign(alClient);
        form->Show();
        EXPECT_EQ(child->Left(), c.inset);
        EXPECT_EQ(child->Top(), c.inset);
        EXPECT_EQ(child->Width(), 100 - 2 * c.inset);
        child->Hide();
        panel->Repaint();
        ctltest::Picture pic = ctltest::Capture(panel->Handle());
        if (c.outer != bvNone) {
            EXPECT_EQ(pic.Color(0, 0), c.outer == bvRaised ? hi : sh);
            EXPECT_EQ(pic.Color(99, 59), c.outer == bvRaised ? sh : hi);
        }
        if (c.inner != bvNone) {
            EXPECT_EQ(pic.Color(1, 1), c.inner == bvRaised ? hi : sh);
            EXPECT_EQ(pic.Color(98, 58), c.inner == bvRaised ? sh : hi);
        }
        EXPECT_EQ(pic.Color(50, 30), GetSysColor(COLOR_WINDOW));
        delete form;
    }
}

TEST(TShape, FillsWithTheBrushAndOutlinesWithThePen) {
    auto* form = new TForm(Application);
    auto* shape = new TShape(form);
    shape->SetParent(form);
    shape->SetBounds(10, 10, 20, 12);
    shape->SetBrushColor(clRed);
    shape->SetPenColor(clBlue);
    auto* line = new TShape(form);
    line->SetParent(form);
    line->SetBounds(40, 10, 1, 12);
    line->SetBrushColor(clBtnFace);
    line->SetPenColor(clBtnFace);
    form->Show();
    shape->Repaint();
    line->Repaint();
    ctltest::Picture pic = ctltest::Capture(shape->Handle());
    EXPECT_EQ(pic.Color(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(pic.Color(19, 11), RGB(0, 0, 255));
    EXPECT_EQ(pic.Color(10, 6), RGB(255, 0, 0));
    ctltest::Picture one = ctltest::Capture(line->Handle());
    ASSERT_EQ(one.width, 1);
    EXPECT_EQ(one.CountOther(GetSysColor(COLOR_BTNFACE), 0, 0, 1, 12), 0);
    delete form;
}

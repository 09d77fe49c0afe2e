#include "Controls/Shadolbl.h"

#include <gtest/gtest.h>

#include <string>

#include "Framework/Forms.h"
#include "Framework/Handles.h"

namespace {

// Paint is the label's own business; the probes let a test paint into a bitmap.
struct TProbeLabel : TShadowLabel {
    using TShadowLabel::TShadowLabel;
    using TShadowLabel::Paint;
};
struct TPlainLabel : TLabel {
    using TLabel::TLabel;
    using TLabel::Paint;
};

// A bitmap of the label's client size with a canvas prepared as the window's
// painting prepares it.
class TLabelBitmap {
public:
    template <class Label>
    explicit TLabelBitmap(Label& label) : FWidth(label.ClientWidth()), FHeight(label.ClientHeight()) {
        {
            const TBorrowedDC screen(nullptr);
            FDC.Reset(CreateCompatibleDC(screen.Get()));
            FBitmap.Reset(CreateCompatibleBitmap(screen.Get(), FWidth, FHeight));
        }
        FSelected = TSelectedObject(FDC.Get(), FBitmap.Get());
        // Something the label must paint over unless it is transparent.
        const TGdiObject<HBRUSH> green(CreateSolidBrush(RGB(0, 255, 0)));
        RECT all{0, 0, FWidth, FHeight};
        FillRect(FDC.Get(), &all, green.Get());
        TCanvas canvas(FDC.Get());
        canvas.Font().Assign(label.Font());
        canvas.SetBrushColor(label.Color());
        label.Paint(canvas);
    }
    TLabelBitmap(const TLabelBitmap&) = delete;
    TLabelBitmap& operator=(const TLabelBitmap&) = delete;
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    COLORREF Pixel(int x, int y) const { return GetPixel(FDC.Get(), x, y); }
    int Count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < FHeight; ++y)
            for (int x = 0; x < FWidth; ++x)
                if (Pixel(x, y) == c) ++n;
        return n;
    }

private:
    int FWidth, FHeight;
    // In this order, so that the bitmap leaves the DC before either goes.
    TMemoryDC FDC;
    TGdiObject<HBITMAP> FBitmap;
    TSelectedObject FSelected;
};

struct ShadowLabelFixture : testing::Test {
    TForm* form = nullptr;
    TProbeLabel* label = nullptr;

    void SetUp() override {
        form = new TForm(Application);
        form->SetBounds(60, 60, 300, 160);
        form->SetColor(clSilver);
        label = new TProbeLabel(form);
        label->SetParent(form);
        label->SetAutoSize(false);
        label->SetBounds(20, 20, 120, 60);
        label->SetColor(clSilver);
        // A filled square: every edge pixel of the text is plain red.
        label->Font().SetName("ＭＳ ゴシック");
        label->Font().SetHeight(-32);
        label->Font().SetColor(clRed);
        label->SetCaption("■");
        label->Shadow().SetShadowColor(clBlue);
        form->Show();
        SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Application->ProcessMessages();
    }
    void TearDown() override { delete form; }
    bool PendingPaint() {
        RECT r;
        return GetUpdateRect(label->Handle(), &r, FALSE) != FALSE;
    }
};

const COLORREF RedPx = RGB(255, 0, 0), WhitePx = RGB(255, 255, 255), BluePx = RGB(0, 0, 255),
               SilverPx = RGB(192, 192, 192), GreenPx = RGB(0, 255, 0);

// The first plain-red pixel in reading order, and the last one.
bool RedCorners(const TLabelBitmap& bmp, POINT& first, POINT& last) {
    bool found = false;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.Pixel(x, y) == RedPx) {
                if (!found) first = POINT{x, y};
                last = POINT{x, y};
                found = true;
            }
    return found;
}

}  // namespace

TEST_F(ShadowLabelFixture, ConstructionGivesAWhiteHighlightUpLeftAndASilverShadowDownRight) {
    TShadowLabel fresh(nullptr);
    EXPECT_EQ(fresh.ClassName(), "TShadowLabel");
    EXPECT_TRUE(fresh.Highlight().Visible());
    EXPECT_EQ(fresh.Highlight().Color(), clWhite);
    EXPECT_EQ(fresh.Highlight().OffsetLeft(), -1);
    EXPECT_EQ(fresh.Highlight().OffsetTop(), -1);
    EXPECT_TRUE(fresh.Shadow().Visible());
    EXPECT_EQ(fresh.Shadow().Color(), clSilver);
    EXPECT_EQ(fresh.Shadow().OffsetLeft(), 1);
    EXPECT_EQ(fresh.Shadow().OffsetTop(), 1);
}

TEST_F(ShadowLabelFixture, DrawsRedTextOverAWhiteHighlightUpLeftAndABlueShadowDownRight) {
    TLabelBitmap bmp(*label);
    POINT first{}, last{};
    ASSERT_TRUE(RedCorners(bmp, first, last));
    EXPECT_EQ(bmp.Pixel(first.x - 1, first.y - 1), WhitePx);
    EXPECT_EQ(bmp.Pixel(last.x + 1, last.y + 1), BluePx);
    EXPECT_EQ(bmp.Pixel(first.x + 1, first.y + 1), RedPx) << "the text lies on top";
    EXPECT_EQ(bmp.Pixel(bmp.Width() - 1, bmp.Height() - 1), SilverPx) << "the background is filled";
    EXPECT_EQ(bmp.Count(GreenPx), 0);
}

TEST_F(ShadowLabelFixture, WithBothCopiesHiddenOnlyTheTextIsDrawn) {
    label->Highlight().SetShadowVisible(false);
    label->Shadow().SetShadowVisible(false);
    TLabelBitmap bmp(*label);
    POINT first{}, last{};
    ASSERT_TRUE(RedCorners(bmp, first, last));
    EXPECT_EQ(bmp.Count(WhitePx), 0);
    EXPECT_EQ(bmp.Count(BluePx), 0);
    EXPECT_LT(first.y, 20) << "top-aligned";

    auto* plain = new TPlainLabel(form);
    plain->SetParent(form);
    plain->SetAutoSize(false);
    plain->SetBounds(150, 20, 120, 60);
    plain->SetColor(clSilver);
    plain->Font().Assign(label->Font());
    plain->SetCaption("■");
    TLabelBitmap reference(*plain);
    int differing = 0;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.Pixel(x, y) != reference.Pixel(x, y)) ++differing;
    EXPECT_EQ(differing, 0) << "drawn exactly like a plain label";
}

TEST_F(ShadowLabelFixture, ADisabledLabelUsesTheSystemColoursAtTheSameOffsets) {
    label->SetEnabled(false);
    TLabelBitmap bmp(*label);
    const COLORREF text = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    ASSERT_NE(text, SilverPx) << "the test needs the text to stand out";
    bool found = false;
    POINT first{}, last{};
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.Pixel(x, y) == text) {
                if (!found) first = POINT{x, y};
                last = POINT{x, y};
                found = true;
            }
    ASSERT_TRUE(found);
    EXPECT_EQ(bmp.Pixel(first.x - 1, first.y - 1), light);
    EXPECT_EQ(bmp.Pixel(last.x + 1, last.y + 1), RGB(128, 128, 128));
    EXPECT_EQ(bmp.Count(RedPx), 0);
    EXPECT_EQ(bmp.Count(BluePx), 0);
}

TEST_F(ShadowLabelFixture, ATransparentLabelLeavesTheBackgroundAlone) {
    label->SetTransparent(true);
    TLabelBitmap bmp(*label);
    EXPECT_EQ(bmp.Pixel(bmp.Width() - 1, bmp.Height() - 1), GreenPx);
    EXPECT_EQ(bmp.Count(SilverPx), 0);
}

TEST_F(ShadowLabelFixture, AnEmptyCaptionStillFillsTheBackground) {
    label->SetCaption("");
    TLabelBitmap bmp(*label);
    EXPECT_EQ(bmp.Count(GreenPx), 0);
    EXPECT_EQ(bmp.Count(RedPx), 0);
}

TEST_F(ShadowLabelFixture, ChangingACopyRepaintsOnlyWhenAValueChanges) {
    UpdateWindow(label->Handle());
    ASSERT_FALSE(PendingPaint());
    label->Shadow().SetShadowColor(clBlue);
    EXPECT_FALSE(PendingPaint()) << "same colour";
    label->Shadow().SetShadowColor(clGray);
    EXPECT_TRUE(PendingPaint());
    UpdateWindow(label->Handle());
    label->Highlight().SetShadowLeft(-2);
    EXPECT_TRUE(PendingPaint());
}

TEST_F(ShadowLabelFixture, SetHighlightAndSetShadowCopyIntoTheLabelsOwnObjects) {
    TShadow settings;
    settings.SetShadowVisible(true);
    settings.SetShadowColor(clRed);
    settings.SetShadowLeft(3);
    settings.SetShadowTop(4);
    TShadow* own = &label->Highlight();
    UpdateWindow(label->Handle());
    label->SetHighlight(&settings);
    EXPECT_EQ(&label->Highlight(), own) << "never replaced";
    EXPECT_EQ(label->Highlight().Color(), clRed);
    EXPECT_EQ(label->Highlight().OffsetLeft(), 3);
    EXPECT_EQ(label->Highlight().OffsetTop(), 4);
    EXPECT_TRUE(PendingPaint());
    settings.SetShadowColor(clWhite);
    EXPECT_EQ(label->Highlight().Color(), clRed) << "a copy, not a link";

    label->SetShadow(&settings);
    EXPECT_EQ(label->Shadow().Color(), clWhite);
    EXPECT_EQ(label->Shadow().OffsetLeft(), 3);

    label->SetHighlight(nullptr);
    label->SetShadow(nullptr);
    EXPECT_EQ(label->Highlight().Color(), clRed);
    EXPECT_EQ(label->Shadow().Color(), clWhite);
}

#include "Framework/Buttons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Framework/CtrlTestSupport.h"
#include "Framework/Forms.h"
#include "Framework/Handles.h"
#include "Framework/StdCtrls.h"

namespace {

void Press(TSpeedButton* b, int x, int y) {
    SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}
void Release(TSpeedButton* b, int x, int y) {
    SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

struct ButtonForm {
    TForm* form = new TForm(Application);
    TEdit* edit = new TEdit(form);
    TSpeedButton* a = new TSpeedButton(form);
    TSpeedButton* b = new TSpeedButton(form);
    std::vector<std::string> events;
    ButtonForm() {
        edit->SetParent(form);
        edit->SetBounds(8, 8, 100, 20);
        a->SetParent(form);
        a->SetBounds(120, 8, 25, 20);
        a->SetCaption("Win");
        b->SetParent(form);
        b->SetBounds(150, 8, 25, 20);
        a->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { events.push_back("down"); };
        a->OnClick = [this](TObject* s) { events.push_back(s == a ? "click" : "click?"); };
        form->Show();
    }
    ~ButtonForm() { delete form; }
};

// A 6 x 4 picture: magenta background (from its bottom-left pixel) with a
// black 2 x 2 block.
HBITMAP MakeGlyph() {
    const TBorrowedDC screen(nullptr);
    TGdiObject<HBITMAP> bmp(CreateCompatibleBitmap(screen.Get(), 6, 4));
    const TMemoryDC dc(CreateCompatibleDC(screen.Get()));
    {
        const TSelectedObject selected(dc.Get(), bmp.Get());
        RECT all{0, 0, 6, 4}, dot{2, 1, 4, 3};
        const TGdiObject<HBRUSH> magenta(CreateSolidBrush(RGB(255, 0, 255)));
        FillRect(dc.Get(), &all, magenta.Get());
        FillRect(dc.Get(), &dot, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    return bmp.Release();
}

}  // namespace

TEST(TSpeedButton, ACompletedClickRaisesOnClickAfterOnMouseDown) {
    ButtonForm f;
    Press(f.a, 5, 5);
    EXPECT_TRUE(f.a->Pressed());
    Release(f.a, 5, 5);
    EXPECT_FALSE(f.a->Pressed());
    EXPECT_EQ(f.events, (std::vector<std::string>{"down", "click"}));
    f.events.clear();
    // Released outside: no click.
    Press(f.a, 5, 5);
    SendMessageA(f.a->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 5));
    EXPECT_FALSE(f.a->Pressed());
    Release(f.a, 40, 5);
    EXPECT_EQ(f.events, (std::vector<std::string>{"down"}));
    // The right button clicks nothing.
    f.events.clear();
    SendMessageA(f.a->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    SendMessageA(f.a->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(f.events, (std::vector<std::string>{"down"}));
}

TEST(TSpeedButton, NeverTakesTheFocusAndADisabledOneDoesNotClick) {
    ButtonForm f;
    f.edit->SetFocus();
    Press(f.a, 5, 5);
    Release(f.a, 5, 5);
    EXPECT_TRUE(f.edit->Focused());
    EXPECT_FALSE(GetWindowLongA(f.a->Handle(), GWL_STYLE) & WS_TABSTOP);
    f.events.clear();
    f.a->SetEnabled(false);
    Press(f.a, 5, 5);
    Release(f.a, 5, 5);
    EXPECT_TRUE(std::find(f.events.begin(), f.events.end(), "click") == f.events.end());
}

TEST(TSpeedButton, AGroupKeepsOneButtonDown) {
    ButtonForm f;
    f.a->SetGroupIndex(1);
    f.a->SetDown(true);
    EXPECT_TRUE(f.a->Down());
    // Alone in its group, it stays pressed whatever happens.
    Press(f.a, 5, 5);
    Release(f.a, 5, 5);
    EXPECT_TRUE(f.a->Down());
    f.a->SetDown(false);
    EXPECT_TRUE(f.a->Down());
    // A second member takes the pressed state over.
    f.b->SetGroupIndex(1);
    Press(f.b, 5, 5);
    Release(f.b, 5, 5);
    EXPECT_TRUE(f.b->Down());
    EXPECT_FALSE(f.a->Down());
    // Outside a group a button never stays down.
    auto* loose = new TSpeedButton(f.form);
    loose->SetParent(f.form);
    loose->SetDown(true);
    EXPECT_FALSE(loose->Down());
    // With AllowAllUp a second click releases.
    f.b->SetAllowAllUp(true);
    Press(f.b, 5, 5);
    Release(f.b, 5, 5);
    EXPECT_FALSE(f.b->Down());
}

TEST(TSpeedButton, GlyphIsDrawnWithoutItsBackgroundAndGreyedWhenDisabled) {
    ButtonForm f;
    f.b->SetBounds(150, 8, 30, 24);
    f.b->Glyph().SetHandle(MakeGlyph());
    f.b->Repaint();
    ctltest::Picture on = ctltest::Capture(f.b->Handle());
    const COLORREF magenta = RGB(255, 0, 255), black = RGB(0, 0, 0);
    EXPECT_EQ(on.Count(magenta, 0, 0, on.width, on.height), 0);
    EXPECT_EQ(on.Count(black, 0, 0, on.width, on.height), 4);
    f.b->SetEnabled(false);
    f.b->Repaint();
    ctltest::Picture off = ctltest::Capture(f.b->Handle());
    EXPECT_EQ(off.Count(magenta, 0, 0, off.width, off.height), 0);
    EXPECT_EQ(off.Count(black, 0, 0, off.width, off.height), 0);
    // The block's place now shows the shadow colour.
    int cx = (30 - 6 + 1) / 2, cy = (24 - 4 + 1) / 2;
    bool shadowed = false;
    for (int dy = 0; dy < 4; ++dy)
        for (int dx = 0; dx < 6; ++dx) shadowed |= off.Color(cx + dx, cy + dy) == GetSysColor(COLOR_BTNSHADOW);
    EXPECT_TRUE(shadowed);
}

#include "Framework/ComCtrls.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "Framework/CtrlTestSupport.h"
#include "Framework/Forms.h"
#include "Framework/StdCtrls.h"

using ctltest::WaitFor;

namespace {

struct PagedForm {
    TForm* form = new TForm(Application);
    TPageControl* pages = new TPageControl(form);
    TTabSheet* list = new TTabSheet(form);
    TTabSheet* version = new TTabSheet(form);
    TEdit* first = new TEdit(form);
    TEdit* second = new TEdit(form);
    TLabel* label = new TLabel(form);
    int changes = 0;

    PagedForm() {
        form->SetClientSize(400, 300);
        pages->SetParent(form);
        pages->SetAlign(alClient);
        list->SetCaption("プログラム登録");
        list->SetPageControl(pages);
        version->SetCaption("バージョン情報");
        version->SetPageControl(pages);
        version->Font().SetName("MS UI Gothic");
        version->Font().SetHeight(-16);
        first->SetParent(list);
        first->SetBounds(8, 8, 100, 20);
        second->SetParent(list);
        second->SetBounds(8, 40, 100, 20);
        label->SetParent(version);
        label->SetCaption("Version");
        pages->OnChange = [this](TObject*) { ++changes; };
        form->Show();
    }
    ~PagedForm() { delete form; }

    // Clicks a tab the way the mouse does.
    void ClickTab(int index) {
        RECT r{};
        SendMessageA(pages->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(pages->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(pages->Handle(), WM_LBUTTONUP, 0, at);
    }
};

bool Shown(TWinControl* c) { return IsWindowVisible(c->Handle()) != 0; }

}  // namespace

TEST(TPageControl, TheFirstPageIsActiveAndOnlyTheActiveSheetShows) {
    PagedForm f;
    EXPECT_EQ(f.pages->PageCount(), 2);
    EXPECT_EQ(f.pages->ActivePage(), f.list);
    EXPECT_EQ(f.version->PageIndex(), 1);
    EXPECT_EQ(SendMessageA(f.pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_TRUE(Shown(f.list));
    EXPECT_FALSE(Shown(f.version));

    f.pages->SetActivePage(f.version);
    EXPECT_EQ(SendMessageA(f.pages->Handle(), TCM_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(Shown(f.list));
    EXPECT_TRUE(Shown(f.version));
    EXPECT_EQ(f.changes, 0);

    // The user's click on a tab switches and is reported.
    f.ClickTab(0);
    EXPECT_TRUE(WaitFor([&] { return f.pages->ActivePage() == f.list; }));
    EXPECT_TRUE(Shown(f.list));
    EXPECT_FALSE(Shown(f.version));
    EXPECT_EQ(f.changes, 1);

    f.pages->SetActivePageIndex(1);
    EXPECT_EQ(f.pages->ActivePage(), f.version);

    // Ctrl+Tab and Ctrl+PgUp, from wherever on the form, switch as the
    // click does, around the ends.
    {
        ctltest::KeysHeld ctrl{VK_CONTROL};
        ctltest::PostKey(f.label->Handle(), VK_TAB);
        EXPECT_TRUE(WaitFor([&] { return f.pages->ActivePage() == f.list && Shown(f.list); }));
        ctltest::PostKey(f.first->Handle(), VK_PRIOR);
        EXPECT_TRUE(WaitFor([&] { return f.pages->ActivePage() == f.version && Shown(f.version); }));
    }
    EXPECT_EQ(f.changes, 3);
}

TEST(TPageControl, SheetsFillTheAreaBelowTheTabsAtEverySize) {
    PagedForm f;
    for (int w : {400, 600, 250}) {
        f.form->SetClientSize(w, 300);
        RECT display = f.pages->ClientRect();
        SendMessageA(f.pages->Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
        for (TTabSheet* s : {f.list, f.version}) {
            EXPECT_EQ(s->Left(), display.left) << w;
            EXPECT_EQ(s->Top(), display.top) << w;
            EXPECT_EQ(s->Width(), display.right - display.left) << w;
            EXPECT_EQ(s->Height(), display.bottom - display.top) << w;
        }
        // Below the tabs, not over them.
        RECT tab{};
        SendMessageA(f.pages->Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
        EXPECT_GE(display.top, tab.bottom) << w;
    }
}

TEST(TPageControl, ASheetsOwnFontReachesItsControlsAndCaptionsReachTheTabs) {
    PagedForm f;
    EXPECT_EQ(f.label->Font().Height(), -16);
    EXPECT_EQ(f.label->Font().Name(), "MS UI Gothic");
    EXPECT_NE(f.first->Font().Height(), -16);
    f.version->SetCaption("版");
    char text[32] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(f.pages->Handle(), TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "版");
}

TEST(TPageControl, TabWalksTheControlsOfTheActiveSheet) {
    PagedForm f;
    EXPECT_TRUE(GetWindowLongA(f.list->Handle(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    EXPECT_TRUE(ctltest::TabStep(f.first, f.second));
    // A sheet that goes away takes the focus with it to the page control.
    f.second->SetFocus();
    f.pages->SetActivePage(f.version);
    EXPECT_FALSE(f.second->Focused());
    EXPECT_TRUE(f.pages->Focused());
}

TEST(TPageControl, RemovingTheActiveSheetActivatesANeighbour) {
    PagedForm f;
    f.pages->SetActivePage(f.version);
    delete f.version;
    f.version = nullptr;
    EXPECT_EQ(f.pages->PageCount(), 1);
    EXPECT_EQ(f.pages->ActivePage(), f.list);
    EXPECT_TRUE(Shown(f.list));
    EXPECT_EQ(SendMessageA(f.pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 1);
}

#include "Framework/Forms.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <stdexcept>

#include "Framework/ExtCtrls.h"
#include "Framework/Menus.h"
#include "Framework/StdCtrls.h"
#include "Framework/SystemLibrary.h"

namespace {

struct ReportLog {
    std::vector<std::string> messages;
    ReportLog() {
        Application->OnException = [this](TObject*, const std::exception& e) { messages.push_back(e.what()); };
    }
    ~ReportLog() { Application->OnException = nullptr; }
};

struct TProbeForm : TForm {
    using TForm::TForm;
    std::string ClassName() const override { return "TProbeForm"; }
};

// A control that the framework subclasses as it does the system's controls,
// over a window class of this test's, and whose handler fails at the window's
// last message. The lists hold what the control's own procedure and a
// subclass attached after ours (as a tooltip's is) saw.
std::vector<UINT> seenByClass, seenAbove;

LRESULT CALLBACK ClassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    seenByClass.push_back(msg);
    return msg == WM_APP ? 7 : DefWindowProcA(wnd, msg, wp, lp);
}

LRESULT CALLBACK AboveProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR) {
    seenAbove.push_back(msg);
    if (msg == WM_NCDESTROY) comctl32::RemoveWindowSubclass(wnd, AboveProc, id);
    return comctl32::DefSubclassProc(wnd, msg, wp, lp);
}

struct TFailingControl : TWinControl {
    using TWinControl::TWinControl;
    std::string ClassName() const override { return "TFailingControl"; }
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.SysClassName = "KvTestClassProc";
    }
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_NCDESTROY) throw Exception("last message");
        TWinControl::WndProc(m);
    }
};

}  // namespace

TEST(AllocateHWnd, DeliversMessagesAndReportsWhatTheHandlerRaises) {
    ReportLog log;
    int seen = 0;
    HWND wnd = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_USER + 1) {
            ++seen;
            m.Result = 42;
            throw Exception("boom");
        }
        m.Result = DefWindowProcA(nullptr, m.Msg, m.WParam, m.LParam);
    });
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(SendMessageA(wnd, WM_USER + 1, 0, 0), 42);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(log.messages, std::vector<std::string>{"boom"});
    DeallocateHWnd(wnd);
    EXPECT_FALSE(IsWindow(wnd));
}

TEST(TForm, WindowCarriesItsClassNameAndAlignsChildren) {
    auto* form = new TProbeForm(Application);
    form->SetClientSize(300, 200);
    auto* bottom = new TWinControl(form);
    bottom->SetHeight(41);
    bottom->SetAlign(alBottom);
    bottom->SetParent(form);
    auto* client = new TWinControl(form);
    client->SetAlign(alClient);
    client->SetParent(form);
    HWND wnd = form->Handle();
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    EXPECT_STREQ(cls, "TProbeForm");
    EXPECT_EQ(FindWindowA("TProbeForm", nullptr), wnd);
    EXPECT_EQ(bottom->Top(), 200 - 41);
    EXPECT_EQ(bottom->Width(), 300);
    EXPECT_EQ(client->Height(), 200 - 41);
    form->SetClientSize(400, 300);
    EXPECT_EQ(client->Height(), 300 - 41);
    EXPECT_EQ(bottom->Top(), 300 - 41);
    delete form;
    EXPECT_FALSE(IsWindow(wnd));
}

// A hidden window costs one window handle, however many controls it holds:
// they get theirs, with what was set before, when it is first shown or when
// something asks for one; the window gets its icons then too.
TEST(TForm, ControlsGetTheirWindowsWhenTheFormIsFirstShownOrAskedFor) {
    auto* form = new TProbeForm(Application);
    form->SetClientSize(300, 200);
    const auto newIcon = [] { return CopyIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION))); };
    form->Icon().SetHandle(newIcon());
    const auto shownIcon = [form](WPARAM size) {
        return reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, size, 0));
    };
    auto* panel = new TPanel(form);
    panel->SetHeight(41);
    panel->SetAlign(alBottom);
    panel->SetParent(form);
    auto* edit = new TEdit(form);
    edit->SetParent(panel);
    edit->SetBounds(10, 8, 120, 20);
    edit->SetText("kept");
    edit->SetEnabled(false);
    edit->Font().SetName("Arial");
    auto* combo = new TComboBox(form);
    combo->AddItem("one", 1);
    combo->AddItem("two", 2);
    combo->SetItemIndex(1);
    combo->SetParent(panel);
    auto* hidden = new TButton(form);
    hidden->SetVisible(false);
    hidden->SetParent(form);
    auto* asked = new TButton(form);
    asked->SetCaption("Asked");
    asked->SetParent(form);
    bool windowsAtOnShow = false;
    form->OnShow = [&](TObject*) { windowsAtOnShow = edit->HandleAllocated() && combo->HandleAllocated(); };

    const HWND wnd = form->Handle();
    for (TWinControl* c : std::initializer_list<TWinControl*>{panel, edit, combo, hidden, asked})
        EXPECT_FALSE(c->HandleAllocated()) << c->ClassName();
    char text[32] = {};
    const HWND early = asked->Handle();
    EXPECT_EQ(GetParent(early), wnd);
    GetWindowTextA(early, text, sizeof text);
    EXPECT_STREQ(text, "Asked");
    EXPECT_FALSE(panel->HandleAllocated()) << "asking for one window makes no other";
    EXPECT_EQ(shownIcon(ICON_BIG), nullptr);

    form->Show();
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(shownIcon(ICON_BIG), form->Icon().Handle());
        EXPECT_EQ(shownIcon(ICON_SMALL), form->Icon().Handle());
        form->Icon().SetHandle(newIcon());  // a change reaches a shown window at once
    }
    EXPECT_TRUE(windowsAtOnShow) << "the show handler finds the windows made";
    EXPECT_EQ(asked->Handle(), early);
    EXPECT_EQ(GetParent(edit->Handle()), panel->Handle());
    GetWindowTextA(edit->Handle(), text, sizeof text);
    EXPECT_STREQ(text, "kept");
    EXPECT_FALSE(IsWindowEnabled(edit->Handle()));
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(edit->Handle(), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    RECT place;
    GetWindowRect(edit->Handle(), &place);
    MapWindowPoints(nullptr, panel->Handle(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, 10);
    EXPECT_EQ(place.right - place.left, 120);
    GetWindowRect(panel->Handle(), &place);
    MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.top, 200 - 41);
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(IsWindowVisible(hidden->Handle()));
    // The windows stand in the order the controls were placed, the one
    // asked for early included.
    EXPECT_EQ(GetWindow(wnd, GW_CHILD), panel->Handle());
    EXPECT_EQ(GetWindow(panel->Handle(), GW_HWNDNEXT), hidden->Handle());
    EXPECT_EQ(GetWindow(hidden->Handle(), GW_HWNDNEXT), early);
    delete form;
}

TEST(TForm, CloseAsksTheCloseQueryAndAModalLoopEndsWithTheResult) {
    auto* form = new TProbeForm(Application);
    int asked = 0;
    bool allow = false;
    form->OnCloseQuery = [&](TObject*, bool& can) {
        ++asked;
        can = allow;
    };
    form->Show();
    form->Close();
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(asked, 1);
    allow = true;
    form->Hide();
    // A modal form ends when its result is set and the close query agrees.
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    allow = false;
    int tries = 0;
    form->OnCloseQuery = [&](TObject*, bool& can) { can = ++tries >= 2; if (!can) PostMessageA(form->Handle(), WM_CLOSE, 0, 0); };
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(tries, 2);
    EXPECT_FALSE(form->Visible());
    delete form;
}

TEST(TForm, OnCreateFailureIsReportedAndTheFormStillExists) {
    ReportLog log;
    auto* form = new TProbeForm(Application);
    form->OnCreate = [](TObject*) { RaiseAt("C:\\Prj\\App\\Keyvane\\Main", 43); };
    form->DoCreate();
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0], "RVX:Exception occured at C:\\Prj\\App\\Keyvane\\Main(43).");
    EXPECT_NE(form->Handle(), nullptr);
    delete form;
}

TEST(TWinControl, ASubclassedControlsMessagesRunTheWholeChainAlsoWhenAHandlerFails) {
    ReportLog log;
    RegisterWindowClass("KvTestClassProc", ClassProc);
    const std::unique_ptr<TFailingControl> control(new TFailingControl(nullptr));
    const HWND wnd = control->Handle();
    ASSERT_TRUE(comctl32::SetWindowSubclass(wnd, AboveProc, 1, 0));
    seenByClass.clear();
    seenAbove.clear();
    EXPECT_EQ(control->Perform(WM_APP), 7);
    EXPECT_EQ(seenAbove, std::vector<UINT>{WM_APP});
    EXPECT_EQ(seenByClass, std::vector<UINT>{WM_APP});

    control->DestroyHandle();
    EXPECT_EQ(log.messages, std::vector<std::string>{"last message"});
    EXPECT_EQ(seenAbove.back(), static_cast<UINT>(WM_NCDESTROY));
    EXPECT_EQ(seenByClass.back(), static_cast<UINT>(WM_NCDESTROY)) << "the control's own procedure saw its last message";
    EXPECT_EQ(TWinControl::FromHandle(wnd), nullptr);
}

TEST(TMenu, DispatchesACommandToItsItem) {
    auto* menu = new TPopupMenu(nullptr);
    auto* a = new TMenuItem(menu);
    auto* b = new TMenuItem(menu);
    int clicked = 0;
    b->OnClick = [&](TObject* s) { clicked = s == b ? 2 : -1; };
    menu->Items()->Add(a);
    menu->Items()->Add(b);
    EXPECT_TRUE(menu->DispatchCommand(b->Command()));
    EXPECT_EQ(clicked, 2);
    EXPECT_FALSE(menu->DispatchCommand(0xFFFF));
    delete menu;
}

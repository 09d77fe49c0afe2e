#include "Framework/Forms.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "Framework/Menus.h"

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
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(wnd, AboveProc, id);
    return DefSubclassProc(wnd, msg, wp, lp);
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
    ASSERT_TRUE(SetWindowSubclass(wnd, AboveProc, 1, 0));
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

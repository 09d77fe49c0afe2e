#include "Controls/Dbwin.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <dlgs.h>

#include "Framework/Exception.h"
#include "Framework/CtrlTestSupport.h"
#include "Framework/Forms.h"

namespace {

const char TooSmall[] = "DebugWindow:バッファが小さすぎます。";

using ctltest::WaitFor;

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string MenuText(HMENU menu, int pos) {
    char text[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(pos), text, sizeof text, MF_BYPOSITION);
    return text;
}

// Answers the save dialog once it shows: types a file name and confirms, or
// cancels when there is none to type.
struct DialogDriver {
    static std::string fileName;
    static bool answered;
    static BOOL CALLBACK FindDialog(HWND wnd, LPARAM found) {
        char cls[16] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(wnd)) *reinterpret_cast<HWND*>(found) = wnd;
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND dlg = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dlg));
        if (!dlg) return;
        KillTimer(nullptr, id);
        answered = true;
        if (fileName.empty()) {
            PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        // The file name box of the explorer-style dialog, or of the old one.
        SetDlgItemTextA(dlg, cmb13, fileName.c_str());
        SetDlgItemTextA(dlg, edt1, fileName.c_str());
        PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    }
};
std::string DialogDriver::fileName;
bool DialogDriver::answered = false;

// A debug window whose notices are collected instead of shown.
struct DebugWindowFixture : testing::Test {
    TDebugWindow* dw = nullptr;
    std::vector<std::string> notices;
    std::function<void(const std::string&)> savedNotice;
    std::filesystem::path dir;

    void SetUp() override {
        savedNotice = TDebugWindow::Notice;
        TDebugWindow::Notice = [this](const std::string& text) { notices.push_back(text); };
        dw = new TDebugWindow(nullptr);
        dir = std::filesystem::temp_directory_path() /
              (std::string("dbwin-") + testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        HWND wnd = dw->Form()->Handle();
        delete dw;
        EXPECT_FALSE(IsWindow(wnd)) << "the form goes with its component";
        TDebugWindow::Notice = savedNotice;
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    TMemoLines& Lines() { return dw->Form()->Memo1->Lines(); }
};

}  // namespace

TEST_F(DebugWindowFixture, ShowsATallWindowDockedAtTheRightEdgeOfTheScreen) {
    TDwForm* form = dw->Form();
    HWND wnd = form->Handle();
    EXPECT_TRUE(IsWindowVisible(wnd));
    char cls[32] = {}, caption[32] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    GetWindowTextA(wnd, caption, sizeof caption);
    EXPECT_STREQ(cls, "TDwForm");
    EXPECT_STREQ(caption, "Debug Window");
    RECT r;
    GetWindowRect(wnd, &r);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(r.right - r.left, 250);
    EXPECT_EQ(r.left, sw - 250);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom - r.top, sh);
    if (sw == 1024 && sh == 768) {
        EXPECT_EQ(r.left, 774);
        EXPECT_EQ(r.bottom, 768);
    }
}

TEST_F(DebugWindowFixture, TheFormHoldsAMemoWithBothScrollBarsAndASaveMenu) {
    TDwForm* form = dw->Form();
    EXPECT_EQ(form->Font().Name(), "ＭＳ Ｐゴシック");
    EXPECT_EQ(form->Font().Height(), -12);
    EXPECT_EQ(form->Font().Charset(), SHIFTJIS_CHARSET);
    TMemo* memo = form->Memo1;
    EXPECT_EQ(memo->Font().Name(), "ＭＳ ゴシック");
    EXPECT_EQ(memo->Font().Height(), -12);
    EXPECT_EQ(memo->Font().Charset(), SHIFTJIS_CHARSET);
    LONG style = GetWindowLongA(memo->Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL | WS_VSCROLL);
    EXPECT_TRUE(style & ES_MULTILINE);
    RECT client, memoRect;
    GetClientRect(form->Handle(), &client);
    GetWindowRect(memo->Handle(), &memoRect);
    EXPECT_EQ(memoRect.right - memoRect.left, client.right);
    EXPECT_EQ(memoRect.bottom - memoRect.top, client.bottom) << "the memo fills the client area";

    HMENU bar = GetMenu(form->Handle());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 1);
    EXPECT_EQ(MenuText(bar, 0), "ファイル(&F)");
    HMENU file = GetSubMenu(bar, 0);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(GetMenuItemCount(file), 1);
    EXPECT_EQ(MenuText(file, 0), "名前を付けて保存(&A)");
    EXPECT_EQ(GetMenuItemID(file, 0), form->SaveAs1->Command());
    EXPECT_EQ(form->SaveDialog1->Filter(), "");
    EXPECT_EQ(form->SaveDialog1->DefaultExt(), "");
}

TEST_F(DebugWindowFixture, PrintfAppendsOneFormattedLineAndReturnsItsLength) {
    EXPECT_EQ(dw->printf("%d:%x:%s", 42, 255, "abc"), 9);
    EXPECT_EQ(dw->printf("%s", "二行目"), 6);
    EXPECT_EQ(dw->printf("%5.2f|", 3.14159), 6);
    ASSERT_EQ(Lines().Count(), 3);
    EXPECT_EQ(Lines().Strings(0), "42:ff:abc");
    EXPECT_EQ(Lines().Strings(1), "二行目");
    EXPECT_EQ(Lines().Strings(2), " 3.14|");
    EXPECT_TRUE(notices.empty());
}

TEST_F(DebugWindowFixture, ClosingOnlyHidesAndTheNextLineShowsTheWindowAgain) {
    HWND wnd = dw->Form()->Handle();
    PostMessageA(wnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(wnd); }));
    EXPECT_TRUE(IsWindow(wnd));
    dw->printf("after %s", "close");
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_EQ(Lines().Strings(Lines().Count() - 1), "after close");
}

TEST_F(DebugWindowFixture, AnOverLongLineRaisesTheNoticeAndIsCutToTheBuffer) {
    const struct {
        int length;
        bool notice;
    } cases[] = {{16383, false}, {16384, true}, {40000, true}};
    for (const auto& c : cases) {
        notices.clear();
        Lines().Clear();
        std::string text(static_cast<size_t>(c.length), 'x');
        text[0] = 'A';
        text[16382] = 'Z';
        EXPECT_EQ(dw->printf("%s", text.c_str()), c.length);
        EXPECT_EQ(notices, c.notice ? std::vector<std::string>{TooSmall} : std::vector<std::string>{}) << c.length;
        ASSERT_EQ(Lines().Count(), 1) << c.length;
        EXPECT_EQ(Lines().Strings(0), text.substr(0, 16383)) << c.length;
    }
}

TEST_F(DebugWindowFixture, SavingWritesTheLinesWithCrLfReplacingTheFile) {
    std::string name = (dir / "trace.txt").string();
    {
        std::ofstream old(name, std::ios::binary);
        old << std::string(5000, '#');
    }
    dw->printf("first");
    dw->printf("二番目 %d", 2);
    dw->Form()->SaveToFile(name);
    EXPECT_EQ(ReadFile(name), "first\r\n二番目 2\r\n");
}

TEST_F(DebugWindowFixture, SavingAnEmptyWindowWritesAnEmptyFile) {
    std::string name = (dir / "empty.txt").string();
    {
        std::ofstream old(name, std::ios::binary);
        old << "old";
    }
    dw->Form()->SaveToFile(name);
    EXPECT_TRUE(std::filesystem::exists(name));
    EXPECT_EQ(ReadFile(name), "");
}

TEST_F(DebugWindowFixture, AFileThatCannotBeWrittenSurfacesFromTheMenuCommand) {
    std::string name = (dir / "no-such-folder" / "trace.txt").string();
    try {
        dw->Form()->SaveToFile(name);
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "ファイル " + name + " を作成できません");
    }
}

TEST_F(DebugWindowFixture, TheMenuCommandSavesToTheFileChosenInTheDialog) {
    std::string name = (dir / "chosen.txt").string();
    dw->printf("from the menu");
    HWND wnd = dw->Form()->Handle();
    const WPARAM command = MAKEWPARAM(dw->Form()->SaveAs1->Command(), 0);

    DialogDriver::fileName.clear();
    DialogDriver::answered = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, DialogDriver::Tick);
    PostMessageA(wnd, WM_COMMAND, command, 0);
    ASSERT_TRUE(WaitFor([&] { return DialogDriver::answered; }, 20000)) << "no dialog";
    KillTimer(nullptr, timer);
    EXPECT_TRUE(std::filesystem::is_empty(dir)) << "cancelled: nothing written";

    DialogDriver::fileName = name;
    DialogDriver::answered = false;
    timer = SetTimer(nullptr, 0, 50, DialogDriver::Tick);
    PostMessageA(wnd, WM_COMMAND, command, 0);
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(name); }, 20000)) << "nothing saved";
    KillTimer(nullptr, timer);
    EXPECT_EQ(ReadFile(name), "from the menu\r\n");
}

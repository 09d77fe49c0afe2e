#include "Controls/Ytrayicon.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "Framework/Forms.h"
#include "Framework/Menus.h"

namespace {

struct SentRecord {
    DWORD message;
    TNotifyIconData data;
};

std::string Tip(const TNotifyIconData& d) { return std::string(d.szTip, strnlen(d.szTip, sizeof d.szTip)); }

// The 64 tip bytes after the text are all zero.
bool TipTailIsZero(const TNotifyIconData& d) {
    for (size_t i = Tip(d).size(); i < sizeof d.szTip; ++i)
        if (d.szTip[i] != 0) return false;
    return true;
}

HICON NewIcon() { return CopyIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION))); }

BOOL CALLBACK CollectWindow(HWND wnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(wnd);
    return TRUE;
}

std::vector<HWND> ThreadTopLevelWindows() {
    std::vector<HWND> list;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&list));
    return list;
}

// What Explorer does when it starts again: tell every top-level window.
void AnnounceNewTaskbar() {
    const UINT message = RegisterWindowMessageA("TaskbarCreated");
    for (HWND wnd : ThreadTopLevelWindows()) SendMessageA(wnd, message, 0, 0);
}

class TrayIconTest;
TrayIconTest* current = nullptr;

class TrayIconTest : public ::testing::Test {
protected:
    // Stands in for the shell: keeps every record and answers as told.
    static BOOL RecordShellCall(DWORD message, TNotifyIconData* data) {
        current->sent.push_back(SentRecord{message, *data});
        return message == NIM_DELETE ? current->deleteResult : current->shellResult;
    }
    void SetUp() override {
        ASSERT_EQ(TrayIconList.Count(), 0);
        ASSERT_EQ(CallbackWindow, nullptr);
        current = this;
        previous = SetShellNotifyIconFunc(RecordShellCall);
        Application->OnException = [this](TObject*, const std::exception& e) { reported.push_back(e.what()); };
        form = new TForm(Application);
    }
    void TearDown() override {
        delete form;
        Application->OnException = nullptr;
        SetShellNotifyIconFunc(previous);
        current = nullptr;
        EXPECT_EQ(TrayIconList.Count(), 0);
        EXPECT_EQ(CallbackWindow, nullptr);
    }

    TyTrayIcon* NewTrayIcon() { return new TyTrayIcon(form); }
    // A tray icon with a picture, shown in the tray.
    TyTrayIcon* ShownTrayIcon(const std::string& tip = "Keyvane") {
        TyTrayIcon* t = NewTrayIcon();
        t->Icon().SetHandle(NewIcon());
        t->SetTipHelp(tip);
        t->SetVisible(true);
        return t;
    }
    LRESULT Notify(int id, UINT mouseMessage) {
        return SendMessageA(CallbackWindow->Handle(), WM_TRAYICON, static_cast<WPARAM>(id), mouseMessage);
    }

    TForm* form = nullptr;
    std::vector<SentRecord> sent;
    std::vector<std::string> reported;
    BOOL shellResult = TRUE;
    BOOL deleteResult = TRUE;
    TShellNotifyIconFunc previous = nullptr;
};

}  // namespace

// ---------------------------------------------------------------- numbering

TEST_F(TrayIconTest, NumbersFollowTheLastEntryOfTheList) {
    TyTrayIcon* a = NewTrayIcon();
    TyTrayIcon* b = NewTrayIcon();
    EXPECT_EQ(a->IconID(), 1);
    EXPECT_EQ(b->IconID(), 2);
    delete b;
    TyTrayIcon* c = NewTrayIcon();
    EXPECT_EQ(c->IconID(), 2);
    delete a;
    TyTrayIcon* d = NewTrayIcon();
    EXPECT_EQ(d->IconID(), 3);
    ASSERT_EQ(TrayIconList.Count(), 2);
    EXPECT_EQ(TrayIconList.Strings(0), "2");
    EXPECT_EQ(TrayIconList.Objects(0), c);
    EXPECT_EQ(TrayIconList.Strings(1), "3");
    EXPECT_EQ(TrayIconList.Objects(1), d);
    // The number is the shell's identifier of the icon.
    d->Icon().SetHandle(NewIcon());
    d->SetVisible(true);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].data.uID, 3u);
}

TEST_F(TrayIconTest, NoNumberAbove999) {
    TrayIconList.AddObject("998", nullptr);
    TyTrayIcon* last = NewTrayIcon();
    EXPECT_EQ(last->IconID(), 999);
    try {
        NewTrayIcon();
        ADD_FAILURE() << "a tray icon numbered 1000 was made";
    } catch (const EOutOfMemory& e) {
        EXPECT_EQ(e.Message(), "タスクトレイにアイコンを登録できません。");
    }
    EXPECT_EQ(TrayIconList.Count(), 2);
    EXPECT_EQ(form->ComponentCount(), 2);  // the icon 999 and the callback window
    delete last;
    TrayIconList.Delete(0);
}

// ---------------------------------------------------------------- records

TEST_F(TrayIconTest, TheRecordsSentForAddModifyAndDelete) {
    TyTrayIcon* t = NewTrayIcon();
    t->Icon().SetHandle(NewIcon());
    t->SetTipHelp("Keyvane");
    EXPECT_TRUE(sent.empty());
    t->SetVisible(true);
    EXPECT_TRUE(t->InTray());
    ASSERT_EQ(sent.size(), 1u);
    const TNotifyIconData& add = sent[0].data;
    EXPECT_EQ(sent[0].message, static_cast<DWORD>(NIM_ADD));
#ifdef _WIN64
    EXPECT_EQ(add.cbSize, 104u);
#else
    EXPECT_EQ(add.cbSize, 88u);
#endif
    EXPECT_EQ(add.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE)) << "the shell's own first-form size";
    EXPECT_EQ(add.hWnd, CallbackWindow->Handle());
    EXPECT_EQ(add.uID, 1u);
    EXPECT_EQ(add.uFlags, 7u);
    EXPECT_EQ(add.uCallbackMessage, 0x04C8u);
    EXPECT_EQ(add.hIcon, t->Icon().Handle());
    EXPECT_EQ(Tip(add), "Keyvane");
    EXPECT_TRUE(TipTailIsZero(add));

    sent.clear();
    t->SetTipHelp("");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(sent[0].data.uFlags, 3u);
    EXPECT_EQ(Tip(sent[0].data), "");
    EXPECT_TRUE(TipTailIsZero(sent[0].data));

    sent.clear();
    HICON next = NewIcon();
    t->Icon().SetHandle(next);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(sent[0].data.hIcon, next);

    sent.clear();
    t->SetVisible(false);
    EXPECT_FALSE(t->InTray());
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(sent[0].data.uID, 1u);

    // Hidden: tip and picture changes stay with the component.
    sent.clear();
    t->SetTipHelp("other");
    t->Icon().SetHandle(NewIcon());
    EXPECT_TRUE(sent.empty());
    delete t;
    EXPECT_TRUE(sent.empty());
}

TEST_F(TrayIconTest, TheTooltipIsCutAt62BytesAndAnUnchangedTipSendsNothing) {
    TyTrayIcon* t = ShownTrayIcon();
    EXPECT_EQ(t->TipHelp(), "Keyvane");
    sent.clear();
    t->SetTipHelp("Keyvane");
    EXPECT_TRUE(sent.empty());

    struct Case {
        std::string value, stored;
    };
    const Case cases[] = {
        {std::string(62, 'a'), std::string(62, 'a')},
        {std::string(70, 'b'), std::string(62, 'b')},
        // A double-byte character across byte 62 loses its trail byte.
        {std::string(61, 'c') + "あい", std::string(61, 'c') + std::string("あ").substr(0, 1)},
        {"Keyvane 『Windowsキーをもっと使おう』", "Keyvane 『Windowsキーをもっと使おう』"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        sent.clear();
        t->SetTipHelp(c.value);
        EXPECT_EQ(t->TipHelp(), c.stored);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(Tip(sent[0].data), c.stored);
        EXPECT_TRUE(TipTailIsZero(sent[0].data));
    }
    // Cut to what is stored already: nothing changes.
    t->SetTipHelp(std::string(61, 'c') + "あい");
    sent.clear();
    t->SetTipHelp(std::string(61, 'c') + "あう");
    EXPECT_TRUE(sent.empty());
}

TEST_F(TrayIconTest, AnEmptyIconCanNotBeMadeVisible) {
    TyTrayIcon* t = NewTrayIcon();
    EXPECT_EQ(t->TipHelp(), "TipHelp");
    EXPECT_TRUE(t->AutoPopup());
    t->SetVisible(true);
    EXPECT_FALSE(t->Visible());
    EXPECT_FALSE(t->InTray());
    EXPECT_TRUE(sent.empty());
}

TEST_F(TrayIconTest, WhileLoadingVisibleIsRecordedAndLoadedAddsTheIcon) {
    TyTrayIcon* t = NewTrayIcon();
    t->BeginLoading();
    t->Icon().SetHandle(NewIcon());
    t->SetTipHelp("Keyvane");
    t->SetVisible(true);
    EXPECT_TRUE(t->Visible());
    EXPECT_TRUE(sent.empty());
    t->Loaded();
    EXPECT_FALSE(t->Loading());
    EXPECT_TRUE(t->InTray());
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(Tip(sent[0].data), "Keyvane");

    // Loaded hidden: nothing to add.
    sent.clear();
    TyTrayIcon* hidden = NewTrayIcon();
    hidden->BeginLoading();
    hidden->Icon().SetHandle(NewIcon());
    hidden->Loaded();
    EXPECT_TRUE(sent.empty());
    EXPECT_FALSE(hidden->InTray());

    // A shell that refuses the icon is reported, and loading is over anyway.
    TyTrayIcon* refused = NewTrayIcon();
    refused->BeginLoading();
    refused->Icon().SetHandle(NewIcon());
    refused->SetVisible(true);
    shellResult = FALSE;
    EXPECT_THROW(refused->Loaded(), EOutOfMemory);
    EXPECT_FALSE(refused->Loading());
    EXPECT_FALSE(refused->InTray());
}

TEST_F(TrayIconTest, SettingNoIconClearsItAndTakesTheIconOutOfTheTray) {
    TyTrayIcon* t = ShownTrayIcon();
    sent.clear();
    t->SetIcon(&t->Icon());
    EXPECT_TRUE(sent.empty());

    TIcon other;
    other.SetHandle(NewIcon());
    t->SetIcon(&other);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_NE(t->Icon().Handle(), nullptr);
    EXPECT_NE(t->Icon().Handle(), other.Handle());  // a copy of its own
    EXPECT_EQ(sent[0].data.hIcon, t->Icon().Handle());

    sent.clear();
    HICON old = t->Icon().Handle();
    t->SetIcon(nullptr);
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(old, &info)) << "the detached picture is destroyed, not lost";
    EXPECT_TRUE(t->Icon().Empty());
    EXPECT_FALSE(t->Visible());
    EXPECT_FALSE(t->InTray());
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(sent[1].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(sent[1].data.hIcon, nullptr);
    EXPECT_EQ(sent[2].message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(TrayIconTest, ARefusedAddOrModifyIsAnErrorARefusedDeleteIsNot) {
    TyTrayIcon* t = NewTrayIcon();
    t->Icon().SetHandle(NewIcon());
    shellResult = FALSE;
    try {
        t->SetVisible(true);
        ADD_FAILURE() << "a refused add passed";
    } catch (const EOutOfMemory& e) {
        EXPECT_EQ(e.Message(), "タスクトレイにアイコンを登録できません。");
    }
    EXPECT_TRUE(t->Visible());
    EXPECT_FALSE(t->InTray());

    shellResult = TRUE;
    t->SetVisible(false);
    t->SetVisible(true);
    EXPECT_TRUE(t->InTray());
    shellResult = FALSE;
    EXPECT_THROW(t->SetTipHelp("refused"), EOutOfMemory);
    EXPECT_TRUE(t->InTray());

    deleteResult = FALSE;
    sent.clear();
    EXPECT_NO_THROW(delete t);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(TrayIconTest, DestroyingAShownIconTakesItOutOfTheTray) {
    TyTrayIcon* t = ShownTrayIcon();
    TyTrayIcon* hidden = NewTrayIcon();
    sent.clear();
    delete hidden;
    EXPECT_TRUE(sent.empty());
    delete t;
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(sent[0].data.uID, 1u);
}

// ---------------------------------------------------------------- callback window

TEST_F(TrayIconTest, TheCallbackWindowIsAZeroSizeChildOfTheOwnerAndGoesWithIt) {
    TyTrayIcon* t = NewTrayIcon();
    ASSERT_NE(CallbackWindow, nullptr);
    HWND wnd = CallbackWindow->Handle();
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    EXPECT_STREQ(cls, "TCallbackWindow");
    EXPECT_EQ(GetParent(wnd), form->Handle());
    RECT r{};
    GetWindowRect(wnd, &r);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);
    // Shared by every tray icon.
    TyTrayIcon* second = NewTrayIcon();
    second->Icon().SetHandle(NewIcon());
    second->SetVisible(true);
    EXPECT_EQ(sent.at(0).data.hWnd, wnd);
    delete t;
    EXPECT_TRUE(IsWindow(wnd));
    delete form;
    form = nullptr;
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(CallbackWindow, nullptr);
    EXPECT_EQ(TrayIconList.Count(), 0);
}

TEST_F(TrayIconTest, MouseMessagesBecomeEventsWithTheCursorPosition) {
    TyTrayIcon* t = ShownTrayIcon();
    std::vector<std::string> events;
    POINT before{}, after{};
    auto at = [&](int x, int y) {
        // The cursor is read when the message is handled.
        return (x == before.x && y == before.y) || (x == after.x && y == after.y) ? "" : " (elsewhere)";
    };
    t->OnMouseMove = [&](TObject* s, TShiftState shift, int x, int y) {
        events.push_back("move " + std::to_string(shift) + at(x, y) + (s == t ? "" : " (sender?)"));
    };
    t->OnMouseDown = [&](TObject* s, TMouseButton b, TShiftState shift, int x, int y) {
        events.push_back("down " + std::to_string(b) + " " + std::to_string(shift) + at(x, y) +
                         (s == t ? "" : " (sender?)"));
    };
    t->OnMouseUp = [&](TObject* s, TMouseButton b, TShiftState shift, int x, int y) {
        events.push_back("up " + std::to_string(b) + " " + std::to_string(shift) + at(x, y) +
                         (s == t ? "" : " (sender?)"));
    };
    t->OnDblClick = [&](TObject* s) { events.push_back(std::string("dblclick") + (s == t ? "" : " (sender?)")); };
    struct Case {
        UINT message;
        const char* event;
    };
    const Case cases[] = {
        {WM_MOUSEMOVE, "move 0"},
        {WM_LBUTTONDOWN, "down 0 8"},
        {WM_LBUTTONUP, "up 0 8"},
        {WM_LBUTTONDBLCLK, "dblclick"},
        {WM_RBUTTONDOWN, "down 1 16"},
        {WM_RBUTTONUP, "up 1 16"},
        {WM_RBUTTONDBLCLK, nullptr},
        {WM_MBUTTONDOWN, "down 2 32"},
        {WM_MBUTTONUP, "up 2 32"},
        {WM_MBUTTONDBLCLK, nullptr},
        {WM_KEYDOWN, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        events.clear();
        GetCursorPos(&before);
        Notify(t->IconID(), c.message);
        GetCursorPos(&after);
        if (c.event) EXPECT_EQ(events, std::vector<std::string>{c.event});
        else EXPECT_TRUE(events.empty());
    }
    // A number no live icon has is ignored.
    events.clear();
    Notify(t->IconID() + 1, WM_LBUTTONDBLCLK);
    Notify(0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(reported.empty());
}

TEST_F(TrayIconTest, EventsGoToTheIconTheShellNamed) {
    TyTrayIcon* a = ShownTrayIcon("a");
    TyTrayIcon* b = ShownTrayIcon("b");
    std::vector<std::string> clicked;
    a->OnDblClick = [&](TObject*) { clicked.push_back("a"); };
    b->OnDblClick = [&](TObject*) { clicked.push_back("b"); };
    Notify(b->IconID(), WM_LBUTTONDBLCLK);
    Notify(a->IconID(), WM_LBUTTONDBLCLK);
    EXPECT_EQ(clicked, (std::vector<std::string>{"b", "a"}));
}

namespace {

// Ends the menu loop from inside it once the menu is up.
struct MenuWatch {
    static inline int shown = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (TPopupMenu::ShownMenu()) {
            ++shown;
            EndMenu();
        }
    }
    MenuWatch() {
        shown = 0;
        id = SetTimer(nullptr, 0, 20, Tick);
    }
    ~MenuWatch() { KillTimer(nullptr, id); }
    UINT_PTR id;
};

}  // namespace

TEST_F(TrayIconTest, AButtonPressPopsUpTheMenuInsteadOfMouseDown) {
    TyTrayIcon* t = ShownTrayIcon();
    auto* right = new TPopupMenu(form);
    auto* item = new TMenuItem(right);
    item->SetCaption("終了(&X)");
    right->Items()->Add(item);
    auto* left = new TPopupMenu(form);
    auto* leftItem = new TMenuItem(left);
    leftItem->SetCaption("設定(&C)");
    left->Items()->Add(leftItem);
    std::vector<std::string> events;
    t->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) { events.push_back("down " + std::to_string(b)); };
    t->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int, int) { events.push_back("up " + std::to_string(b)); };
    t->RBPopupMenu = right;
    t->LBPopupMenu = left;
    struct Case {
        UINT message;
        bool autoPopup;
        int menus;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {WM_RBUTTONDOWN, true, 1, {}},
        {WM_RBUTTONUP, true, 0, {"up 1"}},
        {WM_LBUTTONDOWN, true, 1, {}},
        {WM_RBUTTONDOWN, false, 0, {"down 1"}},
        {WM_LBUTTONDOWN, false, 0, {"down 0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.message << " AutoPopup " << c.autoPopup);
        events.clear();
        t->SetAutoPopup(c.autoPopup);
        MenuWatch watch;
        Notify(t->IconID(), c.message);
        EXPECT_EQ(MenuWatch::shown, c.menus);
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(TPopupMenu::ShownMenu(), nullptr);
    }
    // Without a menu the press is an ordinary mouse-down.
    t->SetAutoPopup(true);
    t->RBPopupMenu = nullptr;
    events.clear();
    Notify(t->IconID(), WM_RBUTTONDOWN);
    EXPECT_EQ(events, std::vector<std::string>{"down 1"});
    EXPECT_TRUE(reported.empty());
}

// ---------------------------------------------------------------- taskbar re-created

TEST_F(TrayIconTest, ANewTaskbarGetsBackEveryIconThatShouldBeInTheTray) {
    TyTrayIcon* shown = ShownTrayIcon("shown");
    TyTrayIcon* hidden = NewTrayIcon();
    hidden->Icon().SetHandle(NewIcon());
    TyTrayIcon* refused = NewTrayIcon();
    refused->Icon().SetHandle(NewIcon());
    shellResult = FALSE;
    EXPECT_THROW(refused->SetVisible(true), EOutOfMemory);  // no taskbar yet
    shellResult = TRUE;
    ASSERT_FALSE(refused->InTray());

    // The application's hidden window is the one that hears it.
    sent.clear();
    SendMessageA(Application->Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(sent[0].data.uID, static_cast<UINT>(shown->IconID()));
    EXPECT_EQ(Tip(sent[0].data), "shown");
    EXPECT_EQ(sent[1].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(sent[1].data.uID, static_cast<UINT>(refused->IconID()));
    EXPECT_TRUE(refused->InTray());

    // An announcement while the icons are still there: the shell refuses the
    // adds, nothing is reported and the icons count as shown.
    shellResult = FALSE;
    AnnounceNewTaskbar();
    EXPECT_TRUE(shown->InTray());
    EXPECT_TRUE(refused->InTray());
    EXPECT_TRUE(reported.empty());
    shellResult = TRUE;

    delete shown;
    delete hidden;
    delete refused;
    sent.clear();
    AnnounceNewTaskbar();
    EXPECT_TRUE(sent.empty()) << "no icon left to put back";
}

// ---------------------------------------------------------------- the real shell

TEST_F(TrayIconTest, TheShellTakesTheIconAndGivesItBack) {
    SetShellNotifyIconFunc(nullptr);
    TyTrayIcon* t = ShownTrayIcon("Keyvane");
    ASSERT_TRUE(t->InTray());
    // The shell knows an icon by window and number: a modify finds it.
    NOTIFYICONDATAA probe{};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = CallbackWindow->Handle();
    probe.uID = static_cast<UINT>(t->IconID());
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &probe));
    t->SetTipHelp("Keyvane 『Windowsキーをもっと使おう』");
    t->Icon().SetHandle(NewIcon());
    EXPECT_TRUE(reported.empty());
    delete t;
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &probe));

    // The usual end: the owner form goes, its callback window first.
    t = ShownTrayIcon("Keyvane");
    probe.uID = static_cast<UINT>(t->IconID());
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &probe));
    delete form;
    form = nullptr;
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &probe));
    EXPECT_TRUE(reported.empty());
}

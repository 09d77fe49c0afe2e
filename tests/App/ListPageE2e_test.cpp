// End-to-end tests of the item list page and the item editor: the real
// Keyvane.exe, started in a folder of its own, driven from this process with
// window messages and hot-key presses.
#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "App/E2eDriver.h"
#include "Lib/IniStoreFile.h"

using namespace e2e;

namespace {

const char InUse[] = "そのショートカットは既に使われています。";
const char NoKey[] = "ショートカットキーが定義されていません。";
const char NoName[] = "名前が定義されていません。";
const char NoCommand[] = "プログラムが定義されていません。";
const char Instruction[] = "登録されているアイテムはありません｡『追加』を押してアイテムを追加してください｡";

std::string Report(int line) {
    return "RVX:Exception occured at C:\\Prj\\App\\Keyvane\\Main(" + std::to_string(line) + ").";
}

// The hot keys these tests give items; other tests rarely use them.
struct TKey {
    UINT Vk;
    const char* Name;  // as the key list shows it
    const char* Text;  // as the shortcut box and the settings file show it
};
const TKey F5{VK_F5, "F5", "WIN + F5"};
const TKey F6{VK_F6, "F6", "WIN + F6"};
const TKey F7{VK_F7, "F7", "WIN + F7"};
const TKey F8{VK_F8, "F8", "WIN + F8"};
const TKey U{'U', "U", "WIN + U"};
const TKey V{'V', "V", "WIN + V"};
const TKey Y{'Y', "Y", "WIN + Y"};

// Holds WIN + vk for this test, as another program would; several may be
// held at once.
class THeld {
public:
    explicit THeld(const TKey& key) : FId(NextId++) {
        if (!RegisterHotKey(nullptr, FId, MOD_WIN, key.Vk)) ADD_FAILURE() << "can't hold " << key.Text;
    }
    ~THeld() { UnregisterHotKey(nullptr, FId); }
    THeld(const THeld&) = delete;
    THeld& operator=(const THeld&) = delete;

private:
    static int NextId;
    int FId;
};
int THeld::NextId = 0xBD00;

bool AllFree(std::initializer_list<TKey> keys) {
    for (const TKey& k : keys)
        if (HotKeyTaken(k.Vk)) return false;
    return true;
}

// A copy of the program under a name of this test run (so that no other
// running copy shares its single-instance guard) and the probe, in a fresh
// folder.
struct TInstall {
    TTempDir Dir;
    std::string Name;
    explicit TInstall(const std::string& tag) : Name("KvL" + tag + std::to_string(GetCurrentProcessId())) {
        CopyFileOrThrow(KeyvaneExe(), Exe());
        CopyFileOrThrow(ProbeExe(), Probe());
    }
    std::string Exe() const { return Dir.Path() + Name + ".exe"; }
    std::string Ini() const { return Dir.Path() + Name + ".ini"; }
    std::string Probe() const { return Dir.Path() + "Probe.exe"; }
    std::string Out(const std::string& tag) const { return Dir.Path() + "out-" + tag + ".txt"; }
};

struct TItem {
    std::string Name, ShortCut, Command, Params, Path;
};

std::string Settings(const std::vector<TItem>& items, const std::string& colWidths = "") {
    std::vector<std::string> lines{"[FormMain]", "FormRect=160,120,696,478", ""};
    if (!colWidths.empty()) lines.insert(lines.begin() + 1, "ColWidths=" + colWidths);
    for (size_t i = 0; i < items.size(); ++i) {
        char section[32];
        std::snprintf(section, sizeof section, "[#Item  %02u]", static_cast<unsigned>(i));
        const TItem& it = items[i];
        for (const std::string& line : {std::string(section), "Name=" + it.Name, "ShortCut=" + it.ShortCut,
                                        "Command=" + it.Command, "Params=" + it.Params, "Path=" + it.Path,
                                        std::string()})
            lines.push_back(line);
    }
    return JoinLines(lines);
}

// The items of a settings file, in the order of their section numbers.
std::vector<TItem> SavedItems(const std::string& text) {
    std::vector<TItem> items;
    TItem* current = nullptr;
    for (const std::string& line : Lines(text)) {
        if (line.rfind("[#Item  ", 0) == 0) {
            const size_t index = static_cast<size_t>(std::stoi(line.substr(8, 2)));
            if (items.size() <= index) items.resize(index + 1);
            current = &items[index];
        } else if (!line.empty() && line.front() == '[') {
            current = nullptr;
        } else if (current) {
            const auto eq = line.find('=');
            const std::string key = line.substr(0, eq), value = eq == std::string::npos ? "" : line.substr(eq + 1);
            if (key == "Name") current->Name = value;
            else if (key == "ShortCut") current->ShortCut = value;
            else if (key == "Command") current->Command = value;
            else if (key == "Params") current->Params = value;
            else if (key == "Path") current->Path = value;
        }
    }
    return items;
}

std::vector<std::string> Names(const std::vector<TItem>& items) {
    std::vector<std::string> names;
    for (const TItem& i : items) names.push_back(i.Name);
    return names;
}

// How many times the probe ran with this output file.
size_t Runs(const std::string& outFile) {
    size_t n = 0;
    for (const std::string& line : Lines(ReadFileText(outFile))) n += line == "--";
    return n;
}

bool WaitRuns(const std::string& outFile, size_t count) {
    return WaitFor([&] { return Runs(outFile) >= count; });
}

// Presses WIN + vk until the item's program has run count times in all: a
// press right after one of the program's windows went away may be lost to
// Wine, as a user's would be pressed again.
bool PressUntilRuns(TKeyvane& kv, UINT vk, const std::string& outFile, size_t count) {
    return kv.PressHotKeyUntil(vk, [&] { return Runs(outFile) >= count; });
}

std::string Text(HWND wnd) { return TKeyvane::WindowText(wnd); }

// The control that has the keyboard focus in the program that owns wnd.
HWND FocusOf(HWND wnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(wnd, nullptr), &info);
    return info.hwndFocus;
}

// Types a chord once wnd is the window that the keyboard reaches.
bool Type(HWND wnd, std::initializer_list<WORD> chord) {
    if (!WaitFor([&] { return GetForegroundWindow() == wnd; })) return false;
    PressKeys(chord);
    return true;
}

void SetText(HWND wnd, const std::string& text) {
    DWORD_PTR r = 0;
    SendMessageTimeoutA(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 5000, &r);
}

// The launcher window's list page.
struct TListPage {
    TKeyvane& Kv;
    HWND Main = nullptr;

    explicit TListPage(TKeyvane& kv) : Kv(kv) {
        Main = kv.MainWindow();
        kv.TrayNotify(WM_LBUTTONDBLCLK);
        if (!WaitFor([&] { return IsWindowVisible(Main) != FALSE; })) Main = nullptr;
    }
    HWND Grid() const { return TKeyvane::FindChild(Main, "TDrawGrid"); }
    HWND Button(const std::string& caption) const { return TKeyvane::FindChild(Main, "Button", caption); }
    // Presses a button that opens a dialog: nothing waits for it here.
    void Press(const std::string& caption) const { PostMessageA(Button(caption), BM_CLICK, 0, 0); }
    // Presses a button and waits until its handler is done, or until it shows
    // a message box.
    void Click(const std::string& caption) const { Send(Button(caption), BM_CLICK, 0, 0); }
    // Clicks into grid row r (1 for the first item).
    void SelectRow(int r) const {
        const LPARAM at = MAKELPARAM(60, 31 + (r - 1) * 20);
        Send(Grid(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        Send(Grid(), WM_LBUTTONUP, 0, at);
    }
    static void Send(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        DWORD_PTR r = 0;
        SendMessageTimeoutA(wnd, msg, wp, lp, SMTO_NORMAL, 3000, &r);
    }
    bool GridShown() const { return IsWindowVisible(Grid()) != FALSE; }
    bool WaitGrid(bool shown) const {
        return WaitFor([&] { return GridShown() == shown; });
    }
};

// The item editor of the program.
struct TItemDialog {
    HWND Wnd = nullptr;

    // Waits until the dialog shows.
    explicit TItemDialog(TKeyvane& kv) {
        WaitFor([&] { return (Wnd = kv.FindWindowOfClass("TItemForm", true)) != nullptr; });
    }
    explicit operator bool() const { return Wnd != nullptr; }
    HWND Group(const std::string& caption) const { return TKeyvane::FindChild(Wnd, "Button", caption); }
    HWND Box(const std::string& group) const { return TKeyvane::FindChild(Group(group), "Edit"); }
    HWND Name() const { return Box("登録名(&N)"); }
    HWND ShortCut() const { return Box("ショートカット(&S)"); }
    HWND Command() const { return Box("実行するコマンド(&C)"); }
    HWND Params() const { return Box("コマンドライン引数(&P)"); }
    HWND Path() const { return Box("実行時パス(&F)"); }
    HWND Keys() const { return TKeyvane::FindChild(Wnd, "ComboBox"); }
    int KeyIndex() const { return static_cast<int>(SendMessageA(Keys(), CB_GETCURSEL, 0, 0)); }
    // The selected entry's text.
    std::string KeyText() const { return Text(Keys()); }
    // The texts of the key list, read by selecting each entry (the program
    // hears nothing of it) and putting the selection back.
    std::vector<std::string> KeyTexts() const {
        const int selected = KeyIndex();
        std::vector<std::string> texts;
        const int n = static_cast<int>(SendMessageA(Keys(), CB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            SendMessageA(Keys(), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            texts.push_back(Text(Keys()));
        }
        SendMessageA(Keys(), CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        return texts;
    }
    // The user picks a key; the program may answer with a message box, so
    // the change is posted.
    void Pick(const TKey& key) const {
        const int index = key.Vk >= VK_F1 && key.Vk <= VK_F12 ? 26 + static_cast<int>(key.Vk - VK_F1)
                                                               : static_cast<int>(key.Vk - 'A');
        SendMessageA(Keys(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        PostMessageA(GetParent(Keys()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Keys()), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Keys()));
    }
    // Picks a key that is free and waits until the shortcut box shows it.
    bool PickFree(const TKey& key) const {
        Pick(key);
        return WaitFor([&] { return Text(ShortCut()) == key.Text; });
    }
    void Fill(const TItem& item) const {
        SetText(Name(), item.Name);
        SetText(Command(), item.Command);
        SetText(Params(), item.Params);
        SetText(Path(), item.Path);
    }
    void Ok() const { PostMessageA(TKeyvane::FindChild(Wnd, "Button", "OK(&O)"), BM_CLICK, 0, 0); }
    // Waits until the dialog is gone and the handler that opened it has gone
    // on: a message sent to the program's thread is answered only once that
    // thread reads messages again, in its main loop or in a message box.
    bool WaitClosed() const {
        if (!WaitFor([&] { return !IsWindowVisible(Wnd); })) return false;
        DWORD_PTR r = 0;
        return SendMessageTimeoutA(Wnd, WM_NULL, 0, 0, SMTO_NORMAL, WaitLimitMs, &r) != 0;
    }
    // The control that has the keyboard focus in the program.
    HWND Focus() const { return FocusOf(Wnd); }
};

// Ends the program the way the end of a session does and reads what it wrote.
std::vector<TItem> EndAndRead(TKeyvane& kv, const TInstall& app) {
    EXPECT_EQ(kv.QueryEndSession(), 1);
    DWORD code = 1;
    EXPECT_TRUE(kv.WaitExit(code));
    EXPECT_EQ(code, 0u);
    return SavedItems(ReadFileText(app.Ini()));
}

}  // namespace

// Adding through the dialog with its checks, a refused key, cancelling in its
// three ways, editing, and deleting the last item; each hot key works at once.
TEST(ListPageE2e, AddCheckCancelEditAndDelete) {
    if (!AllFree({F5, F6, V})) GTEST_SKIP() << "a hot key of this test is held";
    TInstall app("A");
    TKeyvane kv(app.Exe(), app.Dir.Path());
    ASSERT_TRUE(kv.WaitStarted());
    TListPage page(kv);
    ASSERT_NE(page.Main, nullptr);
    EXPECT_FALSE(page.GridShown());
    EXPECT_NE(TKeyvane::FindChild(page.Main, "TPanel", Instruction), nullptr);
    EXPECT_FALSE(IsWindowEnabled(page.Button("編集(&E)")));
    EXPECT_FALSE(IsWindowEnabled(page.Button("削除(&E)")));
    Settle(page.Main);
    SaveScreenshot("list-empty");

    page.Press("追加(&A)");
    TItemDialog dlg(kv);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(Text(dlg.Wnd), "ショートカットの登録");
    EXPECT_TRUE(WaitFor([&] { return dlg.Focus() == dlg.Keys(); })) << "the key comes first";
    const std::vector<std::string> keyTexts = dlg.KeyTexts();
    ASSERT_EQ(keyTexts.size(), 38u);
    EXPECT_EQ(keyTexts[0], "A");
    EXPECT_EQ(keyTexts[25], "Z");
    EXPECT_EQ(keyTexts[26], "F1");
    EXPECT_EQ(keyTexts[37], "F12");
    EXPECT_EQ(dlg.KeyIndex(), -1);
    EXPECT_EQ(Text(dlg.ShortCut()), "");

    // OK with empty boxes: the three messages, one at a time, in order.
    dlg.Ok();
    EXPECT_EQ(kv.AnswerMessageBox(), NoKey);
    EXPECT_TRUE(WaitFor([&] { return dlg.Focus() == TKeyvane::FindChild(dlg.Wnd, "Button", "OK(&O)"); }))
        << "the focus stays where it was: " << Text(dlg.Focus());
    ASSERT_TRUE(dlg.PickFree(F5));
    {
        THeld held(V);
        const HWND focus = dlg.Focus();
        dlg.Pick(V);
        EXPECT_EQ(kv.AnswerMessageBox(), InUse);
        EXPECT_TRUE(WaitFor([&] { return dlg.KeyIndex() == -1; })) << "a new item goes back to no key";
        EXPECT_TRUE(WaitFor([&] { return dlg.Focus() == focus; })) << Text(dlg.Focus());
        EXPECT_EQ(Text(dlg.ShortCut()), "WIN + F5");
    }
    ASSERT_TRUE(dlg.PickFree(F5));
    dlg.Ok();
    EXPECT_EQ(kv.AnswerMessageBox(), NoName);
    SetText(dlg.Name(), "Probe one");
    dlg.Ok();
    EXPECT_EQ(kv.AnswerMessageBox(), NoCommand);
    EXPECT_TRUE(IsWindowVisible(dlg.Wnd));
    dlg.Fill({"Probe one", "", app.Probe(), app.Out("one"), app.Dir.Path()});
    Settle(dlg.Wnd);
    SaveScreenshot("item-dialog");
    dlg.Ok();
    ASSERT_TRUE(dlg.WaitClosed());
    ASSERT_TRUE(page.WaitGrid(true)) << "the first item shows the grid";
    EXPECT_TRUE(IsWindowEnabled(page.Button("編集(&E)")));
    EXPECT_TRUE(PressUntilRuns(kv, F5.Vk, app.Out("one"), 1)) << "the new item's hot key works at once";

    // Esc and the close box cancel without checks, even with empty boxes.
    page.Press("追加(&A)");
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(dlg.Wnd) && dlg.Focus() == dlg.Keys(); })) << Text(dlg.Focus());
    PostMessageA(dlg.Focus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_TRUE(dlg.WaitClosed());
    page.Press("追加(&A)");
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(dlg.Wnd) != FALSE; }));
    PostMessageA(dlg.Wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(dlg.WaitClosed());
    EXPECT_EQ(kv.FindWindowOfClass("#32770", true), nullptr) << "no message on cancel";

    // Edit: the dialog shows the item; a new key replaces the old one at once.
    page.SelectRow(1);
    page.Press("編集(&E)");
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(dlg.Wnd) != FALSE; }));
    EXPECT_EQ(Text(dlg.Name()), "Probe one");
    EXPECT_EQ(Text(dlg.ShortCut()), "WIN + F5");
    EXPECT_EQ(dlg.KeyText(), "F5");
    EXPECT_EQ(Text(dlg.Command()), app.Probe());
    dlg.Pick(F5);
    EXPECT_EQ(kv.AnswerMessageBox(), InUse) << "the item's own key stays registered while the dialog is open";
    ASSERT_TRUE(dlg.PickFree(F6));
    SetText(dlg.Name(), "Probe 1");
    dlg.Ok();
    ASSERT_TRUE(dlg.WaitClosed());
    EXPECT_TRUE(WaitFor([&] { return !HotKeyTaken(F5.Vk); })) << "the old key is released";
    EXPECT_TRUE(PressUntilRuns(kv, F6.Vk, app.Out("one"), 2)) << "the edited hot key works at once";

    // Deleting the last item hides the grid and greys the item buttons.
    page.Click("削除(&E)");
    EXPECT_TRUE(page.WaitGrid(false));
    EXPECT_FALSE(IsWindowEnabled(page.Button("編集(&E)")));
    EXPECT_FALSE(IsWindowEnabled(page.Button("削除(&E)")));
    EXPECT_TRUE(IsWindowEnabled(page.Button("追加(&A)")));
    EXPECT_TRUE(WaitFor([&] { return !HotKeyTaken(F6.Vk); })) << "the deleted item's key is released";
    page.Click("↑上へ(&U)");
    page.Click("↓下へ(&D)");
    EXPECT_EQ(kv.FindWindowOfClass("#32770", true), nullptr) << "moving in an empty list does nothing";

    EXPECT_TRUE(EndAndRead(kv, app).empty());
}

// Up and down move the selected item and the selection with it; the order
// written at the end is the order shown, and each key still starts its item.
TEST(ListPageE2e, MovingItemsKeepsSelectionKeysAndOrder) {
    if (!AllFree({F5, F6, F7})) GTEST_SKIP() << "a hot key of this test is held";
    TInstall app("M");
    WriteFileText(app.Ini(), Settings({{"One", F5.Text, app.Probe(), app.Out("one"), ""},
                                       {"Two", F6.Text, app.Probe(), app.Out("two"), ""},
                                       {"Three", F7.Text, app.Probe(), app.Out("three"), ""}}));
    TKeyvane kv(app.Exe(), app.Dir.Path());
    ASSERT_TRUE(kv.WaitRect(RECT{160, 120, 160 + 696, 120 + 478}));
    TListPage page(kv);
    ASSERT_NE(page.Main, nullptr);
    auto selectedName = [&]() {
        page.Press("編集(&E)");
        TItemDialog shown(kv);
        if (!shown) return std::string("(no dialog)");
        const std::string name = Text(shown.Name());
        PostMessageA(shown.Wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        shown.WaitClosed();
        return name;
    };

    page.SelectRow(2);
    EXPECT_EQ(selectedName(), "Two");
    page.Click("↑上へ(&U)");
    EXPECT_EQ(selectedName(), "Two") << "the selection follows the item up";
    page.Click("↑上へ(&U)");
    EXPECT_EQ(selectedName(), "Two") << "the first item stays first";
    page.Click("↓下へ(&D)");
    page.Click("↓下へ(&D)");
    EXPECT_EQ(selectedName(), "Two") << "the selection follows the item down";
    page.Click("↓下へ(&D)");
    EXPECT_EQ(selectedName(), "Two") << "the last item stays last";
    page.SelectRow(1);
    EXPECT_EQ(selectedName(), "One");
    page.SelectRow(2);
    EXPECT_EQ(selectedName(), "Three");

    PressHotKey(F6.Vk);
    EXPECT_TRUE(WaitRuns(app.Out("two"), 1)) << "the key travels with its item";
    EXPECT_EQ(Runs(app.Out("one")) + Runs(app.Out("three")), 0u);

    EXPECT_EQ(Names(EndAndRead(kv, app)), (std::vector<std::string>{"One", "Three", "Two"}));
}

// Items whose key could not be registered (held by another program at start,
// or taken between the check and OK) stay in the list, show, and can be
// repaired with another key or deleted; nothing is lost at the end.
TEST(ListPageE2e, ItemsWithoutRegistrationCanBeEditedAndDeleted) {
    if (!AllFree({F5, F7, F8, U, V, Y})) GTEST_SKIP() << "a hot key of this test is held";
    TInstall app("R");
    WriteFileText(app.Ini(), Settings({{"Held U", U.Text, app.Probe(), app.Out("u"), ""},
                                       {"Held V", V.Text, app.Probe(), app.Out("v"), ""},
                                       {"Free F5", F5.Text, app.Probe(), app.Out("f5"), ""}}));
    TKeyvane kv(app.Exe(), app.Dir.Path());
    {
        THeld heldU(U);
        THeld heldV(V);
        EXPECT_EQ(kv.AnswerMessageBox(), Report(96));
        EXPECT_EQ(kv.AnswerMessageBox(), Report(96));
        ASSERT_TRUE(kv.WaitRect(RECT{160, 120, 160 + 696, 120 + 478}));
    }
    TListPage page(kv);
    ASSERT_NE(page.Main, nullptr);

    // Deleting an item that never got its key: no error, the item goes.
    page.SelectRow(2);
    page.Click("削除(&E)");
    EXPECT_EQ(kv.FindWindowOfClass("#32770", true), nullptr) << "no error for the missing registration";

    // Editing the other one repairs it with a free key.
    page.SelectRow(1);
    page.Press("編集(&E)");
    TItemDialog dlg(kv);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(Text(dlg.Name()), "Held U");
    ASSERT_TRUE(dlg.PickFree(Y));
    dlg.Ok();
    ASSERT_TRUE(dlg.WaitClosed());
    EXPECT_EQ(kv.FindWindowOfClass("#32770", true), nullptr) << "no error for the missing registration";
    EXPECT_TRUE(PressUntilRuns(kv, Y.Vk, app.Out("u"), 1)) << "the repaired item works";

    // A key taken between the check and Alt+O, in an editor opened with Alt+A:
    // the new item stays, without a key, in the list, and can be repaired; the
    // program goes on after the report.
    SetForegroundWindow(page.Main);
    ASSERT_TRUE(Type(page.Main, {VK_MENU, 'A'}));
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(dlg.Wnd) != FALSE; }));
    ASSERT_TRUE(dlg.PickFree(F8));
    dlg.Fill({"Late F8", "", app.Probe(), app.Out("f8"), ""});
    {
        THeld held(F8);
        ASSERT_TRUE(Type(dlg.Wnd, {VK_MENU, 'O'}));
        EXPECT_EQ(kv.AnswerMessageBox(), Report(271));
    }
    ASSERT_TRUE(dlg.WaitClosed());
    page.SelectRow(3);
    page.Press("編集(&E)");
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(dlg.Wnd) != FALSE; }));
    EXPECT_EQ(Text(dlg.Name()), "Late F8") << "the refused item is in the list";
    ASSERT_TRUE(dlg.PickFree(F7));
    dlg.Ok();
    ASSERT_TRUE(dlg.WaitClosed());
    EXPECT_EQ(kv.FindWindowOfClass("#32770", true), nullptr);
    EXPECT_TRUE(PressUntilRuns(kv, F7.Vk, app.Out("f8"), 1));

    // An edit whose new key is taken before OK: the item loses its key but
    // stays editable; the next edit gives it one again.
    page.SelectRow(2);
    page.Press("編集(&E)");
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(dlg.Wnd) != FALSE; }));
    EXPECT_EQ(Text(dlg.Name()), "Free F5");
    ASSERT_TRUE(dlg.PickFree(F8));
    {
        THeld held(F8);
        dlg.Ok();
        EXPECT_EQ(kv.AnswerMessageBox(), Report(206));
    }
    ASSERT_TRUE(dlg.WaitClosed());
    EXPECT_TRUE(WaitFor([&] { return !HotKeyTaken(F5.Vk); })) << "the old key was released";
    page.SelectRow(2);
    page.Press("編集(&E)");
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(dlg.Wnd) != FALSE; }));
    ASSERT_TRUE(dlg.PickFree(F5));
    dlg.Ok();
    ASSERT_TRUE(dlg.WaitClosed());
    EXPECT_EQ(kv.FindWindowOfClass("#32770", true), nullptr);
    EXPECT_TRUE(PressUntilRuns(kv, F5.Vk, app.Out("f5"), 1));

    const std::vector<TItem> saved = EndAndRead(kv, app);
    ASSERT_EQ(Names(saved), (std::vector<std::string>{"Held U", "Free F5", "Late F8"}));
    EXPECT_EQ(saved[0].ShortCut, Y.Text);
    EXPECT_EQ(saved[1].ShortCut, F5.Text);
    EXPECT_EQ(saved[2].ShortCut, F7.Text);
    EXPECT_FALSE(HotKeyTaken(Y.Vk) || HotKeyTaken(F5.Vk) || HotKeyTaken(F7.Vk)) << "every key given back";
}

// Each confirmed change is in the file at once, so a kill loses none; a failed
// write is shown and the list keeps the change; a cancelled logoff writes at
// the query and goes on; the end of the logon ends it, the icon's menu open.
TEST(ListPageE2e, ChangesAreSavedAtOnceAndACancelledLogoffGoesOn) {
    if (!AllFree({F5, F6, F7})) GTEST_SKIP() << "a hot key of this test is held";
    using TNames = std::vector<std::string>;
    TInstall app("S");
    WriteFileText(app.Ini(), Settings({{"One", F5.Text, app.Probe(), app.Out("one"), ""},
                                       {"Two", F6.Text, app.Probe(), app.Out("two"), ""}}));
    const auto saved = [&] { return Names(SavedItems(ReadFileText(app.Ini()))); };
    {
        TKeyvane kv(app.Exe(), app.Dir.Path());
        ASSERT_TRUE(kv.WaitRect(RECT{160, 120, 160 + 696, 120 + 478}));
        TListPage page(kv);
        page.Press("追加(&A)");
        TItemDialog dlg(kv);
        ASSERT_TRUE(dlg.PickFree(F7));
        dlg.Fill({"Three", "", app.Probe(), app.Out("three"), ""});
        dlg.Ok();
        ASSERT_TRUE(dlg.WaitClosed());
        page.SelectRow(1);
        page.Click("削除(&E)");
        page.Click("↓下へ(&D)");
    }
    EXPECT_EQ(saved(), (TNames{"Three", "Two"}));

    TKeyvane kv(app.Exe(), app.Dir.Path());
    ASSERT_TRUE(kv.WaitRect(RECT{160, 120, 160 + 696, 120 + 478}));
    TListPage page(kv);
    const std::string blocker = ReplacementFileName(app.Ini());  // makes the write fail
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
    page.SelectRow(2);
    page.Press("↑上へ(&U)");
    EXPECT_EQ(kv.AnswerMessageBox(), "ファイル " + app.Ini() + " を作成できません");
    EXPECT_EQ(saved(), (TNames{"Three", "Two"}));
    ASSERT_TRUE(RemoveDirectoryA(blocker.c_str()));
    EXPECT_EQ(kv.QueryEndSession(false), 1);
    EXPECT_EQ(saved(), (TNames{"Two", "Three"})) << "the list kept the move, and the query wrote it";
    kv.EndSession(false);
    EXPECT_TRUE(PressUntilRuns(kv, F6.Vk, app.Out("two"), 1)) << "the keys work after a cancelled logoff";
    kv.TrayNotify(WM_RBUTTONDOWN);
    ASSERT_TRUE(WaitFor([&] { return kv.FindWindowOfClass("#32768", true) != nullptr; }));
    EXPECT_EQ(Names(EndAndRead(kv, app)), (TNames{"Two", "Three"}));
}

// The list with icons, a shortened long path and the hidden identifier
// column, and the hint over the cells.
TEST(ListPageE2e, ListShowsIconsShortensPathsAndHintsTheFullText) {
    if (!AllFree({F5, F6, F7})) GTEST_SKIP() << "a hot key of this test is held";
    TInstall app("D");
    const std::string deep = app.Dir.Path() + "Program Files\\Very Long Folder Name\\Another Folder\\Tools\\";
    // A stored width for the identifier column does not show it.
    WriteFileText(app.Ini(), Settings({{"Probe", F5.Text, app.Probe(), app.Out("a"), app.Dir.Path()},
                                       {"メモ帳", F6.Text, "C:\\windows\\notepad.exe", "", ""},
                                       {"Missing", F7.Text, deep + "app.exe", "/x /y", deep}},
                                      "20,100,90,230,70,200,40"));
    TKeyvane kv(app.Exe(), app.Dir.Path());
    ASSERT_TRUE(kv.WaitRect(RECT{160, 120, 160 + 696, 120 + 478}));
    TListPage page(kv);
    ASSERT_NE(page.Main, nullptr);
    ASSERT_TRUE(page.GridShown());

    // The hint follows the cell under the mouse.
    // The display is shared: the mouse is put back on the cell should
    // anything else move it while the hint is awaited.
    HWND grid = page.Grid();
    auto hintAt = [&](int x, int y, const std::string& want) {
        POINT cell{x, y};
        ClientToScreen(grid, &cell);
        HWND tip = nullptr;
        const bool shown = WaitFor([&] {
            POINT now{};
            if (GetCursorPos(&now) && (now.x != cell.x || now.y != cell.y)) SetCursorPos(cell.x, cell.y);
            tip = kv.FindWindowOfClass("tooltips_class32", true);
            return tip && Text(tip) == want;
        });
        return shown ? want : tip ? Text(tip) : std::string("(no hint)");
    };
    const int programX = 20 + 1 + 100 + 1 + 90 + 1 + 30;
    EXPECT_EQ(hintAt(60, 31 + 20 * 0, "Probe"), "Probe");
    EXPECT_EQ(hintAt(programX, 31 + 20 * 2, deep + "app.exe"), deep + "app.exe") << "the full text of a shortened path";
    Settle(page.Main);
    SaveScreenshot("list-items");
    SetCursorPos(0, 0);
    EndAndRead(kv, app);
}

// The launcher window by keyboard alone: Enter on the list page, the pages
// by Ctrl+Tab and Ctrl+PgUp/PgDn, Alt+E whatever button has the focus,
// deleting the last item, and a minimised window brought back from the tray.
TEST(ListPageE2e, MainWindowByKeyboard) {
    if (!AllFree({F5})) GTEST_SKIP() << "a hot key of this test is held";
    TInstall app("K");
    WriteFileText(app.Ini(), Settings({{"One", F5.Text, app.Probe(), app.Out("one"), ""}}));
    TKeyvane kv(app.Exe(), app.Dir.Path());
    ASSERT_TRUE(kv.WaitRect(RECT{160, 120, 160 + 696, 120 + 478}));
    TListPage page(kv);
    ASSERT_NE(page.Main, nullptr);
    // Each page is shown once the other is hidden too: the program shows
    // the new page first.
    const HWND versionOk = page.Button("OK(&O)");
    const auto versionShown = [&] { return IsWindowVisible(versionOk) && !page.GridShown(); };
    const auto listShown = [&] { return page.GridShown() && !IsWindowVisible(versionOk); };
    const auto focusOn = [&](const char* caption) {
        return WaitFor([&] { return FocusOf(page.Main) == page.Button(caption); });
    };

    // Enter in the grid presses nothing: the window's default button, on
    // the version page, is out of sight. The keys that follow show it.
    page.SelectRow(1);
    ASSERT_TRUE(WaitFor([&] { return FocusOf(page.Main) == page.Grid(); }));
    ASSERT_TRUE(Type(page.Main, {VK_RETURN}));
    ASSERT_TRUE(Type(page.Main, {VK_CONTROL, VK_TAB}));
    EXPECT_TRUE(WaitFor(versionShown)) << "Ctrl+Tab shows the version page";
    EXPECT_TRUE(IsWindowVisible(page.Main)) << "Enter in the grid hid the window";
    Settle(page.Main);
    SaveScreenshot("main-version-page");
    ASSERT_TRUE(Type(page.Main, {VK_CONTROL, VK_SHIFT, VK_TAB}));
    EXPECT_TRUE(WaitFor(listShown)) << "Ctrl+Shift+Tab goes back";
    ASSERT_TRUE(Type(page.Main, {VK_CONTROL, VK_PRIOR}));
    EXPECT_TRUE(WaitFor(versionShown)) << "Ctrl+PgUp wraps around to the last page";
    ASSERT_TRUE(Type(page.Main, {VK_CONTROL, VK_NEXT}));
    EXPECT_TRUE(WaitFor(listShown)) << "Ctrl+PgDn wraps around to the first";

    // Alt+E is 編集 wherever the focus is: here on 追加, where an add leaves it.
    page.Press("追加(&A)");
    TItemDialog dlg(kv);
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(Type(dlg.Wnd, {VK_ESCAPE}));
    ASSERT_TRUE(dlg.WaitClosed());
    ASSERT_TRUE(focusOn("追加(&A)"));
    ASSERT_TRUE(Type(page.Main, {VK_MENU, 'E'}));
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(dlg.Wnd) != FALSE; })) << "Alt+E opens the editor";
    EXPECT_EQ(Text(dlg.Name()), "One");
    ASSERT_TRUE(Type(dlg.Wnd, {VK_ESCAPE}));
    ASSERT_TRUE(dlg.WaitClosed());
    EXPECT_TRUE(page.GridShown()) << "nothing was deleted";

    // Deleting the last item by keyboard: the focus leaves the button that
    // goes grey for the next one, and Tab goes on from there.
    ASSERT_TRUE(focusOn("追加(&A)"));
    ASSERT_TRUE(Type(page.Main, {VK_TAB}));
    ASSERT_TRUE(focusOn("削除(&E)"));
    ASSERT_TRUE(Type(page.Main, {VK_SPACE}));
    ASSERT_TRUE(page.WaitGrid(false));
    EXPECT_TRUE(focusOn("↑上へ(&U)")) << Text(FocusOf(page.Main));
    ASSERT_TRUE(Type(page.Main, {VK_TAB}));
    EXPECT_TRUE(focusOn("↓下へ(&D)")) << Text(FocusOf(page.Main));

    // Minimised, the window comes back to its place from the tray icon.
    RECT normal{};
    GetWindowRect(page.Main, &normal);
    PostMessageA(page.Main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(page.Main) != FALSE; }));
    kv.TrayNotify(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitFor([&] {
        RECT r{};
        return !IsIconic(page.Main) && IsWindowVisible(page.Main) && GetWindowRect(page.Main, &r) &&
               EqualRect(&r, &normal);
    }));
    EXPECT_TRUE(EndAndRead(kv, app).empty());
}

// The item editor by keyboard alone: a key chosen with the arrows, the
// groups' access keys, a check that fails, OK by Tab and Enter, and Enter
// in a box, which cancels.
TEST(ListPageE2e, ItemEditorByKeyboard) {
    if (!AllFree({F5, F6})) GTEST_SKIP() << "a hot key of this test is held";
    TInstall app("E");
    WriteFileText(app.Ini(), Settings({{"One", F5.Text, app.Probe(), app.Out("one"), ""}}));
    TKeyvane kv(app.Exe(), app.Dir.Path());
    ASSERT_TRUE(kv.WaitRect(RECT{160, 120, 160 + 696, 120 + 478}));
    TListPage page(kv);
    ASSERT_NE(page.Main, nullptr);
    page.SelectRow(1);
    page.Press("編集(&E)");
    TItemDialog dlg(kv);
    ASSERT_TRUE(dlg);
    const HWND ok = TKeyvane::FindChild(dlg.Wnd, "Button", "OK(&O)");
    const HWND cancel = TKeyvane::FindChild(dlg.Wnd, "Button", "キャンセル(&C)");
    const auto isDefault = [](HWND button) { return (GetWindowLongA(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON; };
    ASSERT_TRUE(WaitFor([&] { return dlg.Focus() == dlg.Keys(); }));
    ASSERT_TRUE(Type(dlg.Wnd, {VK_DOWN}));
    ASSERT_TRUE(WaitFor([&] { return Text(dlg.ShortCut()) == F6.Text; }));

    // A group's access key puts the focus into it; &C belongs to the command
    // group, which comes before キャンセル(&C).
    ASSERT_TRUE(Type(dlg.Wnd, {VK_MENU, 'N'}));
    EXPECT_TRUE(WaitFor([&] { return dlg.Focus() == dlg.Name(); })) << Text(dlg.Focus());
    ASSERT_TRUE(Type(dlg.Wnd, {VK_MENU, 'C'}));
    EXPECT_TRUE(WaitFor([&] { return dlg.Focus() == dlg.Command(); })) << Text(dlg.Focus());
    ASSERT_TRUE(Type(dlg.Wnd, {VK_MENU, 'P'}));
    EXPECT_TRUE(WaitFor([&] { return dlg.Focus() == dlg.Params(); })) << Text(dlg.Focus());
    EXPECT_TRUE(IsWindowVisible(dlg.Wnd)) << "no access key cancelled";

    // A check that fails leaves the focus where it was.
    SetText(dlg.Name(), "");
    ASSERT_TRUE(Type(dlg.Wnd, {VK_MENU, 'O'}));
    EXPECT_EQ(kv.AnswerMessageBox(), NoName);
    EXPECT_TRUE(WaitFor([&] { return dlg.Focus() == dlg.Params(); })) << Text(dlg.Focus());

    // Tab to OK: it takes the default look from キャンセル, and Enter saves.
    SetText(dlg.Name(), "Two");
    ASSERT_TRUE(Type(dlg.Wnd, {VK_MENU, 'N'}));
    ASSERT_TRUE(Type(dlg.Wnd, {VK_TAB}));
    ASSERT_TRUE(WaitFor([&] { return dlg.Focus() == ok; })) << Text(dlg.Focus());
    EXPECT_TRUE(WaitFor([&] { return isDefault(ok) && !isDefault(cancel); }));
    Settle(dlg.Wnd);
    SaveScreenshot("item-dialog-ok-focused");
    ASSERT_TRUE(Type(dlg.Wnd, {VK_RETURN}));
    ASSERT_TRUE(dlg.WaitClosed());

    // Enter in a box cancels what was typed there: キャンセル is the default button.
    page.Press("編集(&E)");
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(dlg.Wnd) != FALSE; }));
    EXPECT_TRUE(isDefault(cancel) && !isDefault(ok));
    ASSERT_TRUE(Type(dlg.Wnd, {VK_MENU, 'N'}));
    ASSERT_TRUE(Type(dlg.Wnd, {'X'}));
    ASSERT_TRUE(WaitFor([&] { return Text(dlg.Name()) == "x"; })) << Text(dlg.Name());
    ASSERT_TRUE(Type(dlg.Wnd, {VK_RETURN}));
    ASSERT_TRUE(dlg.WaitClosed());

    const std::vector<TItem> saved = EndAndRead(kv, app);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].Name, "Two");
    EXPECT_EQ(saved[0].ShortCut, F6.Text);
}

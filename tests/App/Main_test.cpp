// The main window in this test's own process: its item list operations, the
// list page's state, launching, and saving when the registrar refuses.
#include "App/Main.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "App/DialogAnswerer.h"
#include "Controls/Shadolbl.h"
#include "Controls/Ytrayicon.h"
#include "Framework/CtrlTestSupport.h"
#include "Framework/Exception.h"
#include "Framework/Handles.h"
#include "Framework/Menus.h"
#include "Framework/SysUtils.h"
#include "Hotkey/HookHotKey.h"
#include "Lib/Inifileex.h"

namespace {

std::string Report(int line) {
    return "RVX:Exception occured at C:\\Prj\\App\\Keyvane\\Main(" + std::to_string(line) + ").";
}

// What the application's error box would have shown while it lives.
struct TReports {
    std::vector<std::string> Messages;
    TExceptionEvent Previous = Application->OnException;
    TReports() {
        Application->OnException = [this](TObject*, const std::exception& e) { Messages.push_back(e.what()); };
    }
    ~TReports() { Application->OnException = Previous; }
};

// A report nobody expected fails the test instead of waiting in an error box.
class TNoErrorBoxes : public ::testing::Environment {
public:
    void SetUp() override {
        Application->OnException = [](TObject*, const std::exception& e) {
            ADD_FAILURE() << "unexpected error report: " << e.what();
        };
    }
    void TearDown() override { Application->OnException = nullptr; }
};
const auto* const noErrorBoxes = ::testing::AddGlobalTestEnvironment(new TNoErrorBoxes);

std::string SettingsName() { return ChangeFileExt(Application->ExeName(), ".ini"); }

std::string ReadAll(const std::string& path) {
    std::string text;
    const TKernelHandle file(
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    return text;
}

void WriteAll(const std::string& path, const std::string& text) {
    const TKernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) throw std::runtime_error("can't write " + path);
    DWORD written = 0;
    WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool KeyTaken(UINT vk) {
    if (RegisterHotKey(nullptr, 0xBF10, MOD_WIN, vk)) {
        UnregisterHotKey(nullptr, 0xBF10);
        return false;
    }
    return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}

struct TKey {
    UINT Vk;
    std::string Text;
};

std::vector<TKey> FreeKeys(size_t count) {
    static const TKey pool[] = {{VK_F9, "WIN + F9"}, {VK_F10, "WIN + F10"}, {VK_F11, "WIN + F11"},
                                {VK_F12, "WIN + F12"}, {'J', "WIN + J"},     {'Q', "WIN + Q"},
                                {'Y', "WIN + Y"},      {'O', "WIN + O"},     {'Z', "WIN + Z"}};
    std::vector<TKey> keys;
    for (const TKey& k : pool)
        if (keys.size() < count && !KeyTaken(k.Vk)) keys.push_back(k);
    if (keys.size() < count) throw std::runtime_error("not enough free hot keys");
    return keys;
}

// The main window on a settings file written for it, created and destroyed
// the way the program does it.
class TMainFixture : public ::testing::Test {
protected:
    void Start(const std::string& settings) {
        WriteAll(SettingsName(), settings);
        FForm.reset(new TFormMain(Application));
        FForm->DoCreate();
    }
    // The end of a run and the next start, on the file the run wrote.
    void Restart() {
        FForm->DoDestroy();
        FForm.reset();
        FForm.reset(new TFormMain(Application));
        FForm->DoCreate();
    }
    void TearDown() override {
        if (FForm) {
            FForm->DoDestroy();
            FForm.reset();
        }
        DeleteFileA(SettingsName().c_str());
    }
    std::string ItemSections(const std::vector<TKey>& keys) {
        std::string text;
        for (size_t i = 0; i < keys.size(); ++i) {
            text += Format("[#Item  %02d]\r\nName=N%d\r\nShortCut=%s\r\nCommand=C%d\r\nParams=P%d\r\nPath=F%d\r\n\r\n",
                           static_cast<int>(i), static_cast<int>(i), keys[i].Text.c_str(), static_cast<int>(i),
                           static_cast<int>(i), static_cast<int>(i));
        }
        return text;
    }

    struct TDestroy {
        void operator()(TFormMain* form) const { delete form; }
    };
    std::unique_ptr<TFormMain, TDestroy> FForm;
};

// The font a window draws with, as the window itself reports it.
LOGFONTA FontOf(HWND wnd) {
    LOGFONTA lf{};
    const auto font = reinterpret_cast<HFONT>(SendMessageA(wnd, WM_GETFONT, 0, 0));
    if (font) GetObjectA(font, sizeof lf, &lf);
    return lf;
}

// The control's place inside its parent window.
RECT PlaceOf(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    MapWindowPoints(nullptr, GetParent(wnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

TEST_F(TMainFixture, EveryItemComesBackUnderItsOwnSection) {
    const std::vector<TKey> keys = FreeKeys(1);
    const std::string item0 = "Name=N0\r\nShortCut=" + keys[0].Text + "\r\nCommand=C0\r\nParams=\r\nPath=\r\n";
    const struct {
        const char* Name;
        std::string File;
        bool AddOne;
        const char* Kept;  // a foreign section that must survive, or nullptr
    } cases[] = {
        {"a hand-made one-blank name", "[#Item 00]\r\n" + item0, false, nullptr},
        {"a foreign section named like the item, case aside",
         "[#Item  00]\r\n" + item0 + "[#item  00]\r\nName=foreign\r\n", false, "[#item  00]\r\nName=foreign\r\n"},
        {"the first item added beside such a section", "[#item  00]\r\nName=foreign\r\n", true,
         "[#item  00]\r\nName=foreign\r\n"},
    };
    for (const auto& c : cases) {
        Start(c.File);
        ASSERT_TRUE(FForm->ItemsLoaded()) << c.Name;
        if (c.AddOne) {
            ASSERT_EQ(FForm->ItemCount(), 0) << c.Name << ": a lower-case section is no item";
            FForm->AddItem();
            LaunchItem* item = FForm->ItemAt(0);
            item->Name = "N0";
            item->ShortCut = keys[0].Text;
            item->Command = "C0";
        }
        ASSERT_EQ(FForm->ItemCount(), 1) << c.Name;
        Restart();
        EXPECT_TRUE(FForm->ItemsLoaded()) << c.Name;
        ASSERT_EQ(FForm->ItemCount(), 1) << c.Name;
        EXPECT_EQ(FForm->ItemAt(0)->Name, "N0") << c.Name;
        EXPECT_EQ(FForm->ItemAt(0)->HotKeyId, 0) << c.Name;
        FForm->DoDestroy();
        const std::string saved = ReadAll(SettingsName());
        EXPECT_NE(saved.find("[#Item  00]\r\n" + item0), std::string::npos) << c.Name << "\n" << saved;
        EXPECT_EQ(saved.find("[#Item 00]"), std::string::npos) << c.Name;
        if (c.Kept) {
            EXPECT_NE(saved.find(c.Kept), std::string::npos) << c.Name;
        }
        FForm.reset();
    }
}

TEST_F(TMainFixture, MoreThanAHundredItemsComeBackInTheirOrder) {
    // One free key for all: the first item holds it, every other one is
    // refused (error 96) and loads all the same.
    const std::vector<TKey> keys = FreeKeys(1);
    constexpr int count = 105;
    std::string file;
    for (int i = count - 1; i >= 0; --i)
        file += Format("[#Item  %02d]\r\nName=N%d\r\nShortCut=%s\r\nCommand=C%d\r\n", i, i, keys[0].Text.c_str(), i);
    TReports reports;
    Start(file);
    EXPECT_EQ(reports.Messages.size(), static_cast<size_t>(count - 1));
    ASSERT_TRUE(FForm->ItemsLoaded());
    ASSERT_EQ(FForm->ItemCount(), count);
    FForm->ExchangeItems(0, count - 1);
    Restart();
    ASSERT_TRUE(FForm->ItemsLoaded());
    ASSERT_EQ(FForm->ItemCount(), count);
    EXPECT_EQ(FForm->ItemAt(0)->Name, Format("N%d", count - 1));
    for (int i = 1; i < count - 1; ++i) EXPECT_EQ(FForm->ItemAt(i)->Name, Format("N%d", i));
    EXPECT_EQ(FForm->ItemAt(count - 1)->Name, "N0");
    FForm->DoDestroy();
    const std::string saved = ReadAll(SettingsName());
    EXPECT_LT(saved.find("[#Item  99]"), saved.find("[#Item  100]"));
    EXPECT_NE(saved.find(Format("[#Item  %d]\r\nName=N0\r\n", count - 1)), std::string::npos);
}

TEST_F(TMainFixture, FontsAreCharacterHeightsAndTheVersionPageItsLayout) {
    Start("");
    FForm->PageControl1->SetActivePage(FForm->TabSheet2);
    FForm->HandleNeeded();
    const struct {
        const char* Name;
        TWinControl* Control;
        const char* Face;
        LONG Height;
        BYTE Charset;
        bool Bold, Italic;
    } fonts[] = {
        {"window", FForm.get(), "ＭＳ Ｐゴシック", -12, SHIFTJIS_CHARSET, false, false},
        {"grid", FForm->Grid, "ＭＳ Ｐゴシック", -12, SHIFTJIS_CHARSET, false, false},
        {"TabSheet2", FForm->TabSheet2, "MS UI Gothic", -16, SHIFTJIS_CHARSET, false, false},
        {"InfoPanel", FForm->InfoPanel, "MS UI Gothic", -16, SHIFTJIS_CHARSET, false, false},
        {"ShadowLabel1", FForm->ShadowLabel1, "Comic Sans MS", -32, ANSI_CHARSET, false, false},
        {"lbVersion", FForm->lbVersion, "Terminal", -21, ANSI_CHARSET, false, false},
        {"Label1", FForm->Label1, "ＭＳ Ｐゴシック", -19, SHIFTJIS_CHARSET, true, true},
        {"Label2", FForm->Label2, "Comic Sans MS", -16, ANSI_CHARSET, false, false},
        {"Button3", FForm->Button3, "MS UI Gothic", -12, SHIFTJIS_CHARSET, false, false},
        {"Button5", FForm->Button5, "MS UI Gothic", -12, SHIFTJIS_CHARSET, false, false},
    };
    for (const auto& f : fonts) {
        const LOGFONTA lf = FontOf(f.Control->Handle());
        EXPECT_STREQ(lf.lfFaceName, f.Face) << f.Name;
        EXPECT_EQ(lf.lfHeight, f.Height) << f.Name;
        EXPECT_EQ(lf.lfCharSet, f.Charset) << f.Name;
        EXPECT_EQ(lf.lfWeight >= FW_BOLD, f.Bold) << f.Name;
        EXPECT_EQ(lf.lfItalic != 0, f.Italic) << f.Name;
    }
    // Left, top, width, height inside the information panel; labels that size
    // themselves to their text keep only their place.
    const struct {
        const char* Name;
        TWinControl* Control;
        int Left, Top, Width, Height;
        bool FixedSize;
    } places[] = {
        {"ShadowLabel1", FForm->ShadowLabel1, 16, 24, 122, 45, false},
        {"lbVersion", FForm->lbVersion, 148, 42, 71, 24, false},
        {"Label1", FForm->Label1, 29, 78, 276, 19, true},
        {"Label2", FForm->Label2, 41, 104, 241, 23, false},
        {"Button3", FForm->Button3, 384, 144, 75, 25, true},
        {"Button5", FForm->Button5, 168, 144, 211, 25, true},
    };
    for (const auto& p : places) {
        const RECT r = PlaceOf(p.Control->Handle());
        EXPECT_EQ(GetParent(p.Control->Handle()), FForm->InfoPanel->Handle()) << p.Name;
        EXPECT_EQ(r.left, p.Left) << p.Name;
        EXPECT_EQ(r.top, p.Top) << p.Name;
        if (p.FixedSize) {
            EXPECT_EQ(r.right - r.left, p.Width) << p.Name;
            EXPECT_EQ(r.bottom - r.top, p.Height) << p.Name;
        }
    }
    EXPECT_EQ(FForm->InfoPanel->Width(), 481);
    EXPECT_EQ(FForm->InfoPanel->Height(), 177);
}

namespace {

// A stand-in for the help library's entry point and for the shell's "open".
struct TCall {
    int Count = 0;
    HWND Window = nullptr;
    std::string Verb, File, Folder;
    UINT Command = 0;
    INT Show = 0;
};
TCall helpCall, openCall;
INT_PTR openResult = 42;

HWND WINAPI FakeHtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR) {
    ++helpCall.Count;
    helpCall.Window = caller;
    helpCall.File = file ? file : "";
    helpCall.Command = command;
    return nullptr;
}

HINSTANCE WINAPI FakeShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder, INT show) {
    ++openCall.Count;
    openCall.Window = owner;
    openCall.Verb = verb ? verb : "";
    openCall.File = file ? file : "";
    openCall.Folder = folder ? folder : "";
    openCall.Show = show;
    EXPECT_EQ(parameters, nullptr);
    return reinterpret_cast<HINSTANCE>(openResult);
}

}  // namespace

TEST_F(TMainFixture, HelpAndHomePageGoWhereTheyShould) {
    Start("");
    // Put back however the test ends, also by a failed ASSERT.
    struct TRealFunctions {
        const THtmlHelpProc Help = HtmlHelpProc;
        const TShellExecuteProc Open = ShellExecuteProc;
        ~TRealFunctions() { HtmlHelpProc = Help; ShellExecuteProc = Open; }
    } real;
    helpCall = TCall();
    openCall = TCall();
    HtmlHelpProc = FakeHtmlHelp;
    ShellExecuteProc = FakeShellExecute;

    FForm->Help1Click(FForm->Help1);
    ASSERT_EQ(helpCall.Count, 1);
    EXPECT_EQ(helpCall.Window, GetDesktopWindow());
    EXPECT_EQ(helpCall.File, ExtractFilePath(Application->ExeName()) + "kyvane.chm::/index.htm");
    EXPECT_EQ(helpCall.Command, 0u);

    openResult = 42;
    FForm->Button5Click(FForm->Button5);
    ASSERT_EQ(openCall.Count, 1);
    EXPECT_EQ(openCall.Window, Application->Handle());
    EXPECT_EQ(openCall.Verb, "open");
    EXPECT_EQ(openCall.File, HomePageUrl);
    EXPECT_EQ(openCall.Folder, ".");
    EXPECT_EQ(openCall.Show, SW_SHOWNORMAL);
    {
        // The shell's answer of 32 or less is a failure the user is told of.
        TDialogAnswerer answerer;
        openResult = 32;
        FForm->Button5Click(FForm->Button5);
        EXPECT_EQ(answerer.Messages,
                  std::vector<std::string>{"表示に失敗しました！\n指定した、URLを確認してください。"});
        openResult = 33;
        FForm->Button5Click(FForm->Button5);
        EXPECT_EQ(answerer.Messages.size(), 1u);
    }
}

namespace {

// The shell's record of the main window's icon, kept while a test runs.
std::vector<TNotifyIconData> shellRecords;
BOOL RecordShell(DWORD message, TNotifyIconData* data) {
    if (message == NIM_ADD) shellRecords.push_back(*data);
    return TRUE;
}

// Reads the captions of the pop-up menu as it opens, and closes it.
struct TMenuReader {
    static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp) {
        const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (code == HC_ACTION && msg->message == WM_INITMENUPOPUP && Captions) {
            const auto menu = reinterpret_cast<HMENU>(msg->wParam);
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                char text[128] = {};
                GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
                Captions->push_back(text);
            }
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static void CALLBACK EndShownMenu(HWND, UINT, UINT_PTR, DWORD) {
        if (TPopupMenu::ShownMenu()) EndMenu();
    }
    static inline std::vector<std::string>* Captions = nullptr;
};

}  // namespace

TEST_F(TMainFixture, TrayIconTipAndMenuCaptionsInOrder) {
    shellRecords.clear();
    const TShellNotifyIconFunc saved = SetShellNotifyIconFunc(RecordShell);
    Start("");
    SetShellNotifyIconFunc(saved);
    ASSERT_EQ(shellRecords.size(), 1u);
    EXPECT_STREQ(shellRecords[0].szTip, "Keyvane");
    EXPECT_NE(shellRecords[0].hIcon, nullptr);

    // The menu the right button opens, read from the shown menu itself.
    std::vector<std::string> captions;
    HWND callback = FindWindowExA(FForm->Handle(), nullptr, "TCallbackWindow", nullptr);
    ASSERT_NE(callback, nullptr);
    TMenuReader::Captions = &captions;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, TMenuReader::Proc, nullptr, GetCurrentThreadId());
    const UINT_PTR timer = SetTimer(nullptr, 0, 25, TMenuReader::EndShownMenu);
    SendMessageA(callback, WM_TRAYICON, 1, WM_RBUTTONDOWN);
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(hook);
    TMenuReader::Captions = nullptr;
    EXPECT_EQ(captions, (std::vector<std::string>{"スタートアップに登録(&R)", "設定(&C)", "ヘルプ(&H)", "終了(&X)"}));
}

TEST_F(TMainFixture, ShowLauncherShowsAHiddenWindowAndLeavesAVisibleOneAsItIs) {
    Start("");
    ASSERT_FALSE(IsWindowVisible(FForm->Handle()));
    FForm->ShowLauncher();
    EXPECT_TRUE(IsWindowVisible(FForm->Handle()));

    // Another window over it stays over it.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    const auto above = [&] {
        for (HWND w = GetWindow(FForm->Handle(), GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
            if (w == other) return true;
        return false;
    };
    ASSERT_TRUE(above());
    RECT before{};
    GetWindowRect(FForm->Handle(), &before);
    FForm->ShowLauncher();
    EXPECT_TRUE(above()) << "not brought to the front";
    RECT after{};
    GetWindowRect(FForm->Handle(), &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    DestroyWindow(other);
    FForm->Hide();
}

TEST_F(TMainFixture, ItemListOperations) {
    const std::vector<TKey> keys = FreeKeys(3);
    TReports reports;
    Start(ItemSections(keys));
    ASSERT_TRUE(reports.Messages.empty()) << reports.Messages.front();
    ASSERT_EQ(FForm->ItemCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(FForm->ItemAt(i)->HotKeyId, i) << "right after loading, the index";

    const std::vector<std::string> row2{"", "N1", keys[1].Text, "C1", "P1", "F1", "1", ""};
    for (int col = 0; col < 8; ++col) EXPECT_EQ(FForm->CellText(col, 2), row2[static_cast<size_t>(col)]) << col;
    try {
        FForm->ItemAt(3);
        ADD_FAILURE() << "no error for an index past the end";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "リストのインデックスが範囲を超えています (3)");
    }
    EXPECT_THROW(FForm->ItemAt(-1), EStringListError);

    FForm->AddItem();
    ASSERT_EQ(FForm->ItemCount(), 4);
    const LaunchItem* added = FForm->ItemAt(3);
    EXPECT_EQ(added->HotKeyId, -1);
    EXPECT_TRUE(added->Name.empty() && added->ShortCut.empty() && added->Command.empty() && added->Params.empty() &&
                added->Path.empty());
    EXPECT_EQ(FForm->NewHotKeyId(), 3);
    FForm->ItemAt(1)->HotKeyId = -1;
    EXPECT_EQ(FForm->NewHotKeyId(), 1) << "a freed identifier is handed out again";
    FForm->ItemAt(1)->HotKeyId = 1;

    LaunchItem* first = FForm->ItemAt(0);
    LaunchItem* third = FForm->ItemAt(2);
    FForm->ExchangeItems(0, 2);
    EXPECT_EQ(FForm->ItemAt(0), third);
    EXPECT_EQ(FForm->ItemAt(2), first);
    EXPECT_EQ(FForm->ItemAt(0)->HotKeyId, 2) << "the identifier travels with its record";
    EXPECT_THROW(FForm->ExchangeItems(0, 9), EStringListError);
    EXPECT_EQ(FForm->ItemAt(0), third);
}

TEST_F(TMainFixture, RefreshListFollowsTheItems) {
    TReports reports;
    Start("");
    ASSERT_TRUE(reports.Messages.empty());
    FForm->RefreshList();
    EXPECT_FALSE(FForm->Grid->Visible());
    EXPECT_FALSE(FForm->btnEdit->Enabled());
    EXPECT_FALSE(FForm->btnDelete->Enabled());
    EXPECT_TRUE(FForm->btnAdd->Enabled());
    EXPECT_TRUE(FForm->btnUp->Enabled());
    EXPECT_TRUE(FForm->btnDown->Enabled());

    FForm->AddItem();
    FForm->AddItem();
    FForm->RefreshList();
    EXPECT_TRUE(FForm->Grid->Visible());
    EXPECT_EQ(FForm->Grid->RowCount(), 3);
    EXPECT_TRUE(FForm->btnEdit->Enabled());
    EXPECT_TRUE(FForm->btnDelete->Enabled());
}

// A name cell shows the small icon of the command's file before the name,
// also when the command is quoted; a command that isn't there has none.
TEST_F(TMainFixture, NameCellsShowTheIconOfTheCommandsFile) {
    Start("");
    for (const std::string& command :
         {Application->ExeName(), Application->ExeName() + ".missing", "\"" + Application->ExeName() + "\""}) {
        FForm->AddItem();
        FForm->ItemAt(FForm->ItemCount() - 1)->Command = command;
    }
    FForm->ShowLauncher();
    FForm->RefreshList();
    ctltest::Settle();
    const ctltest::Picture picture = ctltest::Capture(FForm->Grid->Handle());
    const auto iconPixels = [&](int row) {
        // Inside the icon's 16 x 16 pixels, clear of the focus frame.
        const RECT cell = FForm->Grid->CellRect(1, row);
        const COLORREF ground = picture.Color(cell.right - 4, cell.top + 10);
        return picture.CountOther(ground, cell.left + 4, cell.top + 2, cell.left + 16, cell.top + 14);
    };
    EXPECT_GT(iconPixels(1), 10);
    EXPECT_EQ(iconPixels(2), 0);
    EXPECT_GT(iconPixels(3), 10);
}

TEST_F(TMainFixture, AStoppedLoadLeavesNothingToChange) {
    const std::vector<TKey> keys = FreeKeys(1);
    TReports reports;
    Start(ItemSections(keys) + "[#Item 00]\r\nName=Twin\r\n\r\n");
    EXPECT_EQ(reports.Messages, std::vector<std::string>{Report(93)});
    EXPECT_FALSE(FForm->ItemsLoaded());
    ASSERT_EQ(FForm->ItemCount(), 1) << "records the load never filled are no items";
    EXPECT_EQ(FForm->ItemAt(0)->Name, "N0");
    FForm->RefreshList();
    for (TButton* b : {FForm->btnEdit, FForm->btnAdd, FForm->btnDelete, FForm->btnUp, FForm->btnDown})
        EXPECT_FALSE(b->Enabled()) << b->Caption();
}

TEST_F(TMainFixture, ARefusedUnregistrationStillSavesEveryItemOnce) {
    const std::vector<TKey> keys = FreeKeys(3);
    TReports reports;
    Start(ItemSections(keys));
    ASSERT_EQ(FForm->ItemCount(), 3);
    // Gone behind the window's back: the registrar refuses to release it.
    ASSERT_TRUE(HookHotKey->Delete(FForm->ItemAt(1)->HotKeyId));

    FForm->SaveAndRelease();
    EXPECT_EQ(reports.Messages, std::vector<std::string>{Report(132)});
    EXPECT_EQ(IniFile, nullptr);
    EXPECT_EQ(HookHotKey, nullptr);
    EXPECT_EQ(FForm->ItemCount(), 0);
    EXPECT_FALSE(KeyTaken(keys[0].Vk));
    EXPECT_FALSE(KeyTaken(keys[2].Vk));
    const std::string saved = ReadAll(SettingsName());
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_NE(saved.find(Format("[#Item  %02d]\r\nName=N%d\r\nShortCut=%s\r\n", static_cast<int>(i),
                                    static_cast<int>(i), keys[i].Text.c_str())),
                  std::string::npos)
            << saved;
    }

    FForm->SaveAndRelease();
    FForm->DoDestroy();
    EXPECT_EQ(reports.Messages.size(), 1u) << "saved once";
    EXPECT_EQ(ReadAll(SettingsName()), saved);
}

namespace {

// What a launch handed to the shell, as one text; the shell answers with
// shellError (0: it opened what it was given).
std::string shellCall;
DWORD shellError = 0;
BOOL WINAPI FakeShellExecuteEx(SHELLEXECUTEINFOA* info) {
    // S_FALSE: the launch has initialised COM on this thread.
    const HRESULT com = CoInitialize(nullptr);
    if (SUCCEEDED(com)) CoUninitialize();
    shellCall = Format("%lx %s|%s|%s|%s %d com=%d", info->fMask, info->lpVerb ? info->lpVerb : "-", info->lpFile,
                       info->lpParameters, info->lpDirectory, info->nShow, com == S_FALSE);
    SetLastError(shellError);
    return shellError == 0;
}

}  // namespace

// What WinExec can't start goes to the shell; elevation can't be shown here,
// so a recorder stands in for the shell.
TEST_F(TMainFixture, LaunchFailuresTheShellAndTheCurrentFolder) {
    Start("");
    struct TRealShell {
        const TShellExecuteExProc Open = ShellExecuteExProc;
        ~TRealShell() { ShellExecuteExProc = Open; }
    } real;
    ShellExecuteExProc = FakeShellExecuteEx;
    char buffer[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof buffer, buffer);
    const std::string before = buffer;
    const std::string folder = ExtractFilePath(Application->ExeName());

    FForm->AddItem();
    LaunchItem* item = FForm->ItemAt(0);
    item->HotKeyId = 7;
    item->Command = "\"" + folder + "no such program.exe\" -a";
    item->Params = "-b";
    item->Path = folder + "no-such-folder\\";
    const auto failure = [&](int index) {
        try {
            FForm->HotKeyPressed(nullptr, index);
        } catch (const Exception& e) {
            return e.Message();
        }
        return std::string();
    };
    EXPECT_EQ(failure(7), Report(339));
    GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_EQ(buffer, before) << "a failed folder change leaves the folder";

    item->Path = folder;
    shellError = ERROR_FILE_NOT_FOUND;
    EXPECT_EQ(failure(7), Report(341)) << "neither WinExec nor the shell could";
    EXPECT_EQ(shellCall, Format("%x -|%sno such program.exe|-a -b|%s 5 com=1",
                                SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC, folder.c_str(), folder.c_str()));
    GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_STRCASEEQ((std::string(buffer) + "\\").c_str(), folder.c_str()) << "changed before the start failed";
    for (const DWORD opened : {DWORD{0}, DWORD{ERROR_CANCELLED}}) {
        shellError = opened;
        EXPECT_EQ(failure(7), "") << "opened, or the user declined the elevation prompt";
    }

    shellCall.clear();
    item->Params = std::string(32767, 'b');
    EXPECT_EQ(failure(7), Report(341)) << "too long for the system";
    item->Command.clear();
    item->Params.clear();
    item->Path.clear();
    EXPECT_EQ(failure(7), Report(341)) << "a lone blank starts nothing";
    EXPECT_EQ(shellCall, "") << "neither goes to the shell";
    EXPECT_EQ(failure(8), "") << "a press that belongs to no item does nothing";
    SetCurrentDirectoryA(before.c_str());
    // The item never held a registration.
    item->HotKeyId = -1;
}

TEST_F(TMainFixture, VersionPagePanelStaysCentred) {
    TReports reports;
    Start("");
    FForm->PageControl1->SetActivePage(FForm->TabSheet2);
    FForm->BasePanel->HandleNeeded();
    for (const SIZE size : {SIZE{696, 478}, SIZE{900, 700}, SIZE{400, 250}}) {
        FForm->SetBounds(100, 100, size.cx, size.cy);
        const int base_w = FForm->BasePanel->ClientWidth();
        const int base_h = FForm->BasePanel->ClientHeight();
        EXPECT_EQ(FForm->InfoPanel->Left(), (base_w - 481) / 2) << size.cx;
        EXPECT_EQ(FForm->InfoPanel->Top(), (base_h - 177) / 2) << size.cy;
    }
    EXPECT_LT(FForm->InfoPanel->Left(), 0) << "a page smaller than the panel shows its middle";
}

// The end of the logon can come while an error box of the loading waits for
// the user: the query writes nothing then, the loading finishes on the
// objects it started with, and the settings are saved when the window goes.
TEST_F(TMainFixture, AnEndOfSessionQueryDuringTheLoadingWaitsForIt) {
    const std::vector<TKey> keys = FreeKeys(3);
    std::vector<LRESULT> answers;
    {
        TReports reports;
        Application->OnException = [&](TObject*, const std::exception& e) {
            reports.Messages.push_back(e.what());
            answers.push_back(FForm->Perform(WM_QUERYENDSESSION));
        };
        RegisterHotKey(nullptr, 0xBF11, MOD_WIN, keys[1].Vk);
        Start(ItemSections(keys));
        UnregisterHotKey(nullptr, 0xBF11);
        EXPECT_EQ(reports.Messages, std::vector<std::string>{Report(96)});
    }
    EXPECT_EQ(answers, std::vector<LRESULT>{1});
    ASSERT_EQ(FForm->ItemCount(), 3) << "the items after the refused one loaded";
    EXPECT_NE(IniFile, nullptr);
    EXPECT_EQ(FForm->ItemAt(1)->HotKeyId, -1);
    EXPECT_TRUE(KeyTaken(keys[2].Vk));

    FForm->DoDestroy();
    const std::string saved = ReadAll(SettingsName());
    for (size_t i = 0; i < keys.size(); ++i)
        EXPECT_NE(saved.find("ShortCut=" + keys[i].Text + "\r\n"), std::string::npos) << saved;
}

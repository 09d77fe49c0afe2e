// The main window in this test's own process: its item list operations, the
// list page's state, launching, and saving when the registrar refuses.
#include "App/Main.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Framework/Exception.h"
#include "Framework/SysUtils.h"
#include "Hotkey/HookHotKeyWin.h"
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
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

void WriteAll(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("can't write " + path);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
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

}  // namespace

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

TEST_F(TMainFixture, AStoppedLoadLeavesNothingToChange) {
    const std::vector<TKey> keys = FreeKeys(1);
    TReports reports;
    Start(ItemSections(keys) + "[#Item  02]\r\nName=Gap\r\n\r\n[#Item  03]\r\nName=Gap\r\n\r\n");
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

TEST_F(TMainFixture, LaunchFailuresAndTheCurrentFolder) {
    TReports reports;
    Start("");
    char buffer[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof buffer, buffer);
    const std::string before = buffer;
    const std::string folder = ExtractFilePath(Application->ExeName());

    FForm->AddItem();
    LaunchItem* item = FForm->ItemAt(0);
    item->HotKeyId = 7;
    item->Command = folder + "no-such-program.exe";
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
    EXPECT_EQ(failure(7), Report(341));
    GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_STRCASEEQ((std::string(buffer) + "\\").c_str(), folder.c_str()) << "changed before the start failed";

    item->Command.clear();
    item->Path.clear();
    EXPECT_EQ(failure(7), Report(341)) << "a lone blank starts nothing";
    EXPECT_EQ(failure(8), "") << "a press that belongs to no item does nothing";
    SetCurrentDirectoryA(before.c_str());
    // The item never held a registration.
    item->HotKeyId = -1;
}

TEST_F(TMainFixture, VersionPagePanelStaysCentred) {
    TReports reports;
    Start("");
    FForm->PageControl1->SetActivePage(FForm->TabSheet2);
    FForm->HandleNeeded();
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
// the user: the loading finishes on the objects it started with, and the
// settings are saved when the window goes.
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
    // The query ended the application's loop; this test's thread goes on.
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
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

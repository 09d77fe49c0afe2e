// The item editor in this process: its layout, its key list, and what each of
// its handlers does, with a real registrar and real system dialogs.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "App/Item.h"
#include "App/Main.h"
#include "App/DialogAnswerer.h"
#include "Framework/Classes.h"
#include "Framework/Forms.h"
#include "Framework/Handles.h"
#include "Hotkey/HookHotKey.h"

namespace {

const char InUse[] = "そのショートカットは既に使われています。";
const char NoKey[] = "ショートカットキーが定義されていません。";
const char NoName[] = "名前が定義されていません。";
const char NoCommand[] = "プログラムが定義されていません。";


// Holds WIN + vk for this thread, as another program would hold it.
class THeldKey {
public:
    explicit THeldKey(UINT vk) : FHeld(RegisterHotKey(nullptr, 0xBE00, MOD_WIN, vk) != 0) {}
    ~THeldKey() {
        if (FHeld) UnregisterHotKey(nullptr, 0xBE00);
    }
    THeldKey(const THeldKey&) = delete;
    THeldKey& operator=(const THeldKey&) = delete;
    bool Held() const { return FHeld; }

private:
    bool FHeld;
};

bool KeyFree(UINT vk) {
    if (!RegisterHotKey(nullptr, 0xBE01, MOD_WIN, vk)) return false;
    UnregisterHotKey(nullptr, 0xBE01);
    return true;
}

// The dialog as the program creates it, with the launcher's registrar.
class ItemFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        Registrar = new THookHotKey(nullptr);
        HookHotKey = Registrar;
        Application->CreateForm(Form);
    }
    void TearDown() override {
        delete Form;
        HookHotKey = nullptr;
        delete Registrar;
    }
    int IndexOf(const std::string& keyName) {
        for (int i = 0; i < Form->cbKey->ItemCount(); ++i)
            if (Form->cbKey->ItemText(i) == keyName) return i;
        return -1;
    }
    // The user picks an entry of the key list.
    void Pick(const std::string& keyName) {
        const int i = IndexOf(keyName);
        ASSERT_GE(i, 0) << keyName;
        SendMessageA(Form->cbKey->Handle(), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        SendMessageA(Form->GroupBox1->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Form->cbKey->Handle()), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Form->cbKey->Handle()));
    }
    // What OK would say now, and whether the dialog would close.
    bool CloseWithOk() {
        Form->SetModalResult(mrOk);
        bool canClose = true;
        Form->FormCloseQuery(Form, canClose);
        Form->SetModalResult(mrNone);
        return canClose;
    }
    LaunchItem Item(const std::string& shortCut) {
        LaunchItem item;
        item.Name = "Editor";
        item.ShortCut = shortCut;
        item.Command = "C:\\Tools\\Editor.exe";
        item.Params = "/s";
        item.Path = "C:\\Tools\\";
        item.HotKeyId = 7;
        return item;
    }

    THookHotKey* Registrar = nullptr;
    TItemForm* Form = nullptr;
};

// Where a child window lies in its parent's client area.
RECT BoundsInParent(HWND wnd) {
    RECT r;
    GetWindowRect(wnd, &r);
    MapWindowPoints(nullptr, GetParent(wnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

TEST_F(ItemFormTest, LaysOutTheDialogAndItsControls) {
    HWND wnd = Form->Handle();
    char cls[32] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    EXPECT_STREQ(cls, "TItemForm");
    EXPECT_EQ(Text(wnd), "ショートカットの登録");
    const LONG style = GetWindowLongA(wnd, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME) << "a dialog border can't be resized";
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(style & WS_SYSMENU) << "the close box";
    RECT window, client;
    GetWindowRect(wnd, &window);
    GetClientRect(wnd, &client);
    EXPECT_EQ(window.left, 338);
    EXPECT_EQ(window.top, 85);
    EXPECT_EQ(client.right, 524);
    EXPECT_EQ(client.bottom, 277);

    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(Form->ebName->Handle(), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "MS UI Gothic");
    EXPECT_EQ(font.lfHeight, -12) << "9 points";
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);

    const struct {
        TWinControl* control;
        TWinControl* parent;
        RECT bounds;
        const char* text;
    } layout[] = {
        {Form->GroupBox3, Form, {0, 8, 521, 49}, "登録名(&N)"},
        {Form->ebName, Form->GroupBox3, {8, 16, 265, 36}, ""},
        {Form->GroupBox1, Form, {0, 56, 521, 97}, "ショートカット(&S)"},
        {Form->ebShortCut, Form->GroupBox1, {8, 16, 129, 36}, "Win + "},
        {Form->SpeedButton1, Form->GroupBox1, {136, 16, 161, 36}, "Win"},
        {Form->GroupBox2, Form, {0, 104, 521, 145}, "実行するコマンド(&C)"},
        {Form->eeCommand, Form->GroupBox2, {8, 16, 513, 36}, ""},
        {Form->GroupBox4, Form, {0, 152, 521, 193}, "コマンドライン引数(&P)"},
        {Form->ebParams, Form->GroupBox4, {8, 16, 505, 36}, ""},
        {Form->GroupBox5, Form, {0, 200, 521, 241}, "実行時パス(&F)"},
        {Form->ebPath, Form->GroupBox5, {8, 16, 505, 36}, ""},
        {Form->Button1, Form, {280, 248, 355, 273}, "OK(&O)"},
        {Form->Button2, Form, {360, 248, 435, 273}, "キャンセル(&C)"},
        {Form->Button3, Form, {440, 248, 515, 273}, "ヘルプ(&H)"},
    };
    for (const auto& c : layout) {
        HWND h = c.control->Handle();
        EXPECT_EQ(GetParent(h), c.parent->Handle()) << c.text;
        const RECT r = BoundsInParent(h);
        EXPECT_TRUE(EqualRect(&r, &c.bounds)) << c.text << ": " << r.left << "," << r.top << "," << r.right << ","
                                              << r.bottom;
        EXPECT_EQ(Text(h), c.text);
    }
    // The key list: its closed box stands where the dialog puts it.
    const RECT key = BoundsInParent(Form->cbKey->Handle());
    EXPECT_EQ(GetParent(Form->cbKey->Handle()), Form->GroupBox1->Handle());
    EXPECT_EQ(key.left, 168);
    EXPECT_EQ(key.top, 16);
    EXPECT_EQ(key.right - key.left, 89);
    EXPECT_TRUE(GetWindowLongA(Form->cbKey->Handle(), GWL_STYLE) & CBS_DROPDOWNLIST) << "no typing";
    EXPECT_EQ(SendMessageA(Form->cbKey->Handle(), CB_GETCURSEL, 0, 0), CB_ERR);

    EXPECT_FALSE(IsWindowEnabled(Form->ebShortCut->Handle())) << "the shortcut can't be typed";
    EXPECT_EQ(Form->ebShortCut->Color(), clBtnFace);
    EXPECT_EQ(Form->SpeedButton1->GroupIndex(), 1);
    EXPECT_TRUE(Form->SpeedButton1->Down());
    EXPECT_EQ(Form->Button1->ModalResult(), mrOk);
    EXPECT_EQ(Form->Button2->ModalResult(), mrCancel);
    EXPECT_TRUE(Form->Button2->Cancel());
    EXPECT_TRUE(Form->Button2->Default());
    EXPECT_FALSE(Form->Button1->Default());
    EXPECT_EQ(Form->Button3->ModalResult(), mrNone);
}

namespace {

// A to Z, then F1 to F12, each named as the layout names it and carrying its
// virtual-key code, once each.
void ExpectTheKeyList(TItemForm* form) {
    ASSERT_EQ(form->cbKey->ItemCount(), 38);
    HWND list = form->cbKey->Handle();
    ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 38);
    for (int i = 0; i < 38; ++i) {
        const int vk = i < 26 ? 'A' + i : VK_F1 + (i - 26);
        const std::string name = i < 26 ? std::string(1, static_cast<char>('A' + i)) : "F" + std::to_string(i - 25);
        char shown[32] = {};
        SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(shown));
        EXPECT_EQ(shown, name) << i;
        EXPECT_EQ(form->cbKey->ItemData(i), vk) << i;
    }
}

}  // namespace

TEST_F(ItemFormTest, KeyListHoldsTheLettersThenTheFunctionKeys) { ExpectTheKeyList(Form); }

TEST_F(ItemFormTest, ADialogCreatedWithoutTheApplicationHasItsKeyListToo) {
    TComponent owner(nullptr);
    ExpectTheKeyList(new TItemForm(&owner));
}

TEST_F(ItemFormTest, TabOrderStartsAtTheKeyListAndSoDoesTheFocus) {
    const std::vector<TWinControl*> expected{Form->cbKey,   Form->eeCommand, Form->ebName,
                                             Form->Button1, Form->Button2,   Form->ebParams,
                                             Form->ebPath,  Form->Button3,   Form->cbKey};
    std::vector<TWinControl*> order;
    TDialogAnswerer answerer;
    HWND focused = nullptr;
    answerer.Step = [&] {
        if (!Form->Visible() || !order.empty()) return;
        focused = GetFocus();
        for (TWinControl* at = nullptr; order.size() < expected.size();)
            order.push_back(at = Form->FindNextControl(at, true));
        PostMessageA(Form->Handle(), WM_CLOSE, 0, 0);
    };
    Form->ClearItem();
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_EQ(focused, Form->cbKey->Handle());
    EXPECT_EQ(order, expected);
}

TEST_F(ItemFormTest, SetItemShowsTheStoredShortCutAndGetItemCopiesTheTexts) {
    const LaunchItem stored = Item("WIN + F5");
    Form->SetItem(&stored);
    EXPECT_EQ(Form->cbKey->Text(), "F5");
    EXPECT_EQ(SendMessageA(Form->cbKey->Handle(), CB_GETCURSEL, 0, 0), 30);
    EXPECT_EQ(Form->SavedKeyIndex, 30);
    EXPECT_EQ(Text(Form->ebShortCut->Handle()), "WIN + F5");
    EXPECT_EQ(Text(Form->ebName->Handle()), "Editor");
    EXPECT_EQ(Text(Form->eeCommand->Handle()), "C:\\Tools\\Editor.exe");
    EXPECT_EQ(Text(Form->ebParams->Handle()), "/s");
    EXPECT_EQ(Text(Form->ebPath->Handle()), "C:\\Tools\\");

    SetWindowTextA(Form->ebName->Handle(), "エディタ");
    SetWindowTextA(Form->ebParams->Handle(), "");
    LaunchItem copy;
    copy.HotKeyId = 3;
    Form->GetItem(&copy);
    EXPECT_EQ(copy.Name, "エディタ");
    EXPECT_EQ(copy.ShortCut, "WIN + F5");
    EXPECT_EQ(copy.Command, "C:\\Tools\\Editor.exe");
    EXPECT_EQ(copy.Params, "");
    EXPECT_EQ(copy.Path, "C:\\Tools\\");
    EXPECT_EQ(copy.HotKeyId, 3) << "the identifier is the list page's";

    // A text written by hand stays as it is; a key the list lacks selects nothing.
    const LaunchItem byHand = Item("win+f6");
    Form->SetItem(&byHand);
    EXPECT_EQ(Form->cbKey->Text(), "F6");
    EXPECT_EQ(Text(Form->ebShortCut->Handle()), "win+f6");
    const LaunchItem digit = Item("WIN + 1");
    Form->SetItem(&digit);
    EXPECT_EQ(SendMessageA(Form->cbKey->Handle(), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(Form->SavedKeyIndex, -1);
    EXPECT_EQ(Text(Form->ebShortCut->Handle()), "WIN + 1");

    Form->SetItem(&stored);
    Form->ClearItem();
    EXPECT_EQ(SendMessageA(Form->cbKey->Handle(), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(Form->SavedKeyIndex, -1);
    for (TWinControl* box : {static_cast<TWinControl*>(Form->ebName), static_cast<TWinControl*>(Form->ebShortCut),
                             static_cast<TWinControl*>(Form->eeCommand), static_cast<TWinControl*>(Form->ebParams),
                             static_cast<TWinControl*>(Form->ebPath)})
        EXPECT_EQ(Text(box->Handle()), "");
}

TEST_F(ItemFormTest, PickingAKeyAsksTheRegistrarAndATakenKeyIsRefused) {
    if (!KeyFree(VK_F7) || !KeyFree('V')) GTEST_SKIP() << "WIN + F7 or WIN + V is held by another program";
    TDialogAnswerer answerer;
    Form->ClearItem();
    Pick("F7");
    EXPECT_EQ(Text(Form->ebShortCut->Handle()), "WIN + F7");
    EXPECT_TRUE(answerer.Messages.empty());
    EXPECT_TRUE(KeyFree(VK_F7)) << "the trial registration is undone";
    EXPECT_EQ(Form->SavedKeyIndex, -1) << "an accepted key does not move the place to return to";

    THeldKey held('V');
    ASSERT_TRUE(held.Held());
    Pick("V");
    EXPECT_EQ(answerer.Messages, std::vector<std::string>{InUse});
    EXPECT_EQ(SendMessageA(Form->cbKey->Handle(), CB_GETCURSEL, 0, 0), CB_ERR) << "a new item goes back to no key";
    EXPECT_EQ(Text(Form->ebShortCut->Handle()), "WIN + F7") << "the shortcut box keeps what it showed";

    // Editing: a free key, then a taken one; the list goes back to the key the
    // item had, while OK would store the free key picked before.
    answerer.Messages.clear();
    const LaunchItem stored = Item("WIN + F5");
    Form->SetItem(&stored);
    Pick("F7");
    Pick("V");
    EXPECT_EQ(answerer.Messages, std::vector<std::string>{InUse});
    EXPECT_EQ(Form->cbKey->Text(), "F5");
    LaunchItem result;
    Form->GetItem(&result);
    EXPECT_EQ(result.ShortCut, "WIN + F7");
}

TEST_F(ItemFormTest, WithoutARegistrarAPickedKeyIsTakenUnchecked) {
    HookHotKey = nullptr;
    TDialogAnswerer answerer;
    Form->ClearItem();
    Pick("Y");
    EXPECT_EQ(Text(Form->ebShortCut->Handle()), "WIN + Y");
    EXPECT_TRUE(answerer.Messages.empty());
}

TEST_F(ItemFormTest, OkChecksKeyNameAndProgramInThisOrder) {
    TDialogAnswerer answerer;
    Form->ClearItem();
    EXPECT_FALSE(CloseWithOk());
    SendMessageA(Form->cbKey->Handle(), CB_SETCURSEL, 1, 0);
    EXPECT_FALSE(CloseWithOk());
    SetWindowTextA(Form->ebName->Handle(), " ");
    EXPECT_FALSE(CloseWithOk());
    SetWindowTextA(Form->eeCommand->Handle(), "C:\\Tools\\Editor.exe");
    EXPECT_TRUE(CloseWithOk()) << "a name of blanks is a name";
    EXPECT_EQ(answerer.Messages, (std::vector<std::string>{NoKey, NoName, NoCommand}));

    // The key check looks at the list, not at the shortcut box.
    answerer.Messages.clear();
    const LaunchItem digit = Item("WIN + 1");
    Form->SetItem(&digit);
    EXPECT_FALSE(CloseWithOk());
    EXPECT_EQ(answerer.Messages, std::vector<std::string>{NoKey});

    // Cancel needs no entries.
    answerer.Messages.clear();
    Form->ClearItem();
    Form->SetModalResult(mrCancel);
    bool canClose = true;
    Form->FormCloseQuery(Form, canClose);
    EXPECT_TRUE(canClose);
    EXPECT_TRUE(answerer.Messages.empty());
}

TEST_F(ItemFormTest, CloseBoxAndEscCancelWithoutChecks) {
    TDialogAnswerer answerer;
    const struct {
        const char* how;
        std::function<void()> close;
    } ways[] = {
        {"close box", [&] { PostMessageA(Form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        // Typed into the key list, where the dialog opens: the system's focus may
        // lie with another program's window on a busy desktop.
        {"Esc", [&] { PostMessageA(Form->cbKey->Handle(), WM_KEYDOWN, VK_ESCAPE, 0x00010001); }},
    };
    for (const auto& way : ways) {
        bool sent = false;
        answerer.Step = [&] {
            if (!Form->Visible() || sent) return;
            sent = true;
            way.close();
        };
        Form->ClearItem();
        EXPECT_EQ(Form->ShowModal(), mrCancel) << way.how;
        EXPECT_FALSE(Form->Visible());
    }
    EXPECT_TRUE(answerer.Messages.empty());

    // OK stays open while an entry is missing, and closes with 1 once all are there.
    int clicks = 0;
    answerer.Step = [&] {
        if (!Form->Visible()) return;
        if (clicks == 1) {
            SendMessageA(Form->cbKey->Handle(), CB_SETCURSEL, 2, 0);
            SetWindowTextA(Form->ebName->Handle(), "Calc");
            SetWindowTextA(Form->eeCommand->Handle(), "calc.exe");
        }
        if (clicks < 2) {
            ++clicks;
            PostMessageA(Form->Button1->Handle(), BM_CLICK, 0, 0);
        }
    };
    Form->ClearItem();
    EXPECT_EQ(Form->ShowModal(), mrOk);
    EXPECT_EQ(answerer.Messages, std::vector<std::string>{NoKey});
}

TEST_F(ItemFormTest, ChoosingAProgramFillsCommandNameAndFolder) {
    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
    const std::string folder = std::string(temp) + "kvitem-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string program = folder + "my.tool.exe";
    ASSERT_TRUE(TKernelHandle(CreateFileA(program.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));

    TDialogAnswerer answerer;
    Form->ClearItem();
    SetWindowTextA(Form->ebName->Handle(), "typed");
    SetWindowTextA(Form->ebParams->Handle(), "-x");
    answerer.FileToChoose = program;
    Form->eeCommand->EllipsisClick();
    EXPECT_EQ(answerer.FileDialogs, 1);
    EXPECT_EQ(answerer.FileTypes, (std::vector<std::string>{"プログラム(*.EXE)", "すべてのファイル (*.*)"}));
    EXPECT_EQ(Text(Form->eeCommand->Handle()), program);
    EXPECT_EQ(Text(Form->ebName->Handle()), "my.tool");
    EXPECT_EQ(Text(Form->ebPath->Handle()), folder);
    EXPECT_EQ(Text(Form->ebParams->Handle()), "-x");

    // Cancelled: nothing changes.
    SetWindowTextA(Form->ebName->Handle(), "kept");
    answerer.FileToChoose.clear();
    Form->eeCommand->EllipsisClick();
    EXPECT_EQ(answerer.FileDialogs, 2);
    EXPECT_EQ(Text(Form->eeCommand->Handle()), program);
    EXPECT_EQ(Text(Form->ebName->Handle()), "kept");
    EXPECT_EQ(Text(Form->ebPath->Handle()), folder);
    EXPECT_TRUE(answerer.Messages.empty());

    DeleteFileA(program.c_str());
    RemoveDirectoryA(folder.c_str());
}

namespace {

struct THelpCall {
    int Count = 0;
    HWND Caller = nullptr;
    std::string File;
    UINT Command = 99;
    DWORD_PTR Data = 99;
};
THelpCall helpCall;

HWND WINAPI FakeHtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    ++helpCall.Count;
    helpCall.Caller = caller;
    helpCall.File = file ? file : "";
    helpCall.Command = command;
    helpCall.Data = data;
    return nullptr;
}

}  // namespace

TEST_F(ItemFormTest, HelpOpensTheEditorsTopicBesideTheProgram) {
    const THtmlHelpProc saved = HtmlHelpProc;
    helpCall = THelpCall();
    HtmlHelpProc = FakeHtmlHelp;
    Form->Button3->Click();
    HtmlHelpProc = saved;
    ASSERT_EQ(helpCall.Count, 1);
    EXPECT_EQ(helpCall.Caller, GetDesktopWindow());
    const std::string exe = Application->ExeName();
    EXPECT_EQ(helpCall.File, exe.substr(0, exe.find_last_of('\\') + 1) + "kyvane.chm::/item.htm");
    EXPECT_EQ(helpCall.Command, 0u);
    EXPECT_EQ(helpCall.Data, 0u);

    // Without the help library the button does nothing.
    HtmlHelpProc = nullptr;
    Form->Button3->Click();
    HtmlHelpProc = saved;
    EXPECT_EQ(helpCall.Count, 1);
}

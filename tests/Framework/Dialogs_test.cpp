#include "Framework/Dialogs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "Framework/Forms.h"
#include "Framework/Handles.h"

namespace {

BOOL CALLBACK FindDialog(HWND wnd, LPARAM lp) {
    char cls[16] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(wnd)) {
        *reinterpret_cast<HWND*>(lp) = wnd;
        return FALSE;
    }
    return TRUE;
}

// The system dialog box that this thread shows now, if any.
HWND ShownDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs act on the dialog once it is shown (from a timer, inside the
// dialog's own loop); gives up, closing what it finds, after a time limit.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void(HWND)> act) : FAct(std::move(act)) {
        Current() = this;
        FStart = std::chrono::steady_clock::now();
        FTimer = SetTimer(nullptr, 0, 50, Tick);
    }
    ~DialogDriver() {
        KillTimer(nullptr, FTimer);
        Current() = nullptr;
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;
    bool Acted() const { return FActed; }

private:
    static DialogDriver*& Current() {
        static DialogDriver* current = nullptr;
        return current;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        DialogDriver* d = Current();
        if (!d || d->FActed) return;
        HWND dlg = ShownDialog();
        if (dlg) {
            d->FActed = true;
            d->FAct(dlg);
        } else if (std::chrono::steady_clock::now() - d->FStart > std::chrono::seconds(20)) {
            d->FActed = true;
        }
    }
    std::function<void(HWND)> FAct;
    std::chrono::steady_clock::time_point FStart;
    UINT_PTR FTimer;
    bool FActed = false;
};

std::string WindowText(HWND wnd) {
    char buf[512] = {};
    GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

// The texts of the dialog's visible static controls.
std::vector<std::string> StaticTexts(HWND dlg) {
    std::vector<std::string> texts;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[16] = {};
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0 && IsWindowVisible(c)) texts.push_back(WindowText(c));
    }
    return texts;
}

std::string TempFile(const char* name) {
    char dir[MAX_PATH] = {};
    DWORD n = GetTempPathA(MAX_PATH, dir);
    EXPECT_GT(n, 0u);
    std::string path = std::string(dir) + name;
    EXPECT_TRUE(TKernelHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));
    return path;
}

// File name boxes of the explorer-style dialog (the combo box and the edit
// box that older templates use).
void TypeFileName(HWND dlg, const std::string& path) {
    for (int id : {0x47C, 0x480}) {
        HWND c = GetDlgItem(dlg, id);
        if (!c) continue;
        char cls[16] = {};
        GetClassNameA(c, cls, sizeof cls);
        HWND target = c;
        if (lstrcmpiA(cls, "ComboBoxEx32") == 0 || lstrcmpiA(cls, "ComboBox") == 0) {
            HWND edit = FindWindowExA(c, nullptr, "Edit", nullptr);
            if (!edit) edit = FindWindowExA(FindWindowExA(c, nullptr, "ComboBox", nullptr), nullptr, "Edit", nullptr);
            if (edit) target = edit;
        }
        SetWindowTextA(target, path.c_str());
    }
}

}  // namespace

TEST(MessageDlg, AnErrorWithOkShowsTheErrorCaptionTextAndOnlyOk) {
    std::string caption;
    std::vector<std::string> texts;
    bool cancelShown = true, okShown = false;
    DialogDriver driver([&](HWND dlg) {
        caption = WindowText(dlg);
        texts = StaticTexts(dlg);
        HWND cancel = GetDlgItem(dlg, IDCANCEL);
        cancelShown = cancel && IsWindowVisible(cancel);
        HWND ok = GetDlgItem(dlg, IDOK);
        okShown = ok && IsWindowVisible(ok);
        PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    });
    int r = MessageDlg("表示に失敗しました！\n指定した、URLを確認してください。", mtError, mbOK);
    ASSERT_TRUE(driver.Acted());
    EXPECT_EQ(r, IDOK);
    EXPECT_EQ(caption, "エラー");
    bool found = false;
    for (const std::string& t : texts) found |= t == "表示に失敗しました！\n指定した、URLを確認してください。" ||
                                                t == "表示に失敗しました！\r\n指定した、URLを確認してください。";
    EXPECT_TRUE(found);
    EXPECT_TRUE(okShown);
    EXPECT_FALSE(cancelShown);
}

TEST(MessageDlg, YesNoReturnsTheAnswer) {
    DialogDriver driver([](HWND dlg) { PostMessageA(dlg, WM_COMMAND, IDNO, 0); });
    EXPECT_EQ(MessageDlg("?", mtConfirmation, mbYes | mbNo), IDNO);
}

TEST(TOpenDialog, ReturnsTheChosenFileAndShowsTheFilter) {
    std::string path = TempFile("kv_open_dialog_test.exe");
    TOpenDialog dlg(nullptr);
    dlg.SetFilter("プログラム(*.EXE)|*.EXE|すべてのファイル (*.*)|*.*");
    std::vector<std::string> filters;
    DialogDriver driver([&](HWND d) {
        HWND types = GetDlgItem(d, 0x470);
        int n = types ? static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0)) : 0;
        for (int i = 0; i < n; ++i) {
            char buf[128] = {};
            if (SendMessageA(types, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof buf))
                SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
            filters.push_back(buf);
        }
        TypeFileName(d, path);
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    });
    ASSERT_TRUE(dlg.Execute());
    EXPECT_TRUE(driver.Acted());
    EXPECT_EQ(lstrcmpiA(dlg.FileName().c_str(), path.c_str()), 0) << dlg.FileName();
    EXPECT_EQ(filters, (std::vector<std::string>{"プログラム(*.EXE)", "すべてのファイル (*.*)"}));
    DeleteFileA(path.c_str());
}

TEST(TOpenDialog, CancelLeavesTheFileNameAlone) {
    TSaveDialog dlg(nullptr);
    dlg.SetFileName("C:\\before.txt");
    DialogDriver driver([](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_FALSE(dlg.Execute());
    EXPECT_TRUE(driver.Acted());
    EXPECT_EQ(dlg.FileName(), "C:\\before.txt");
}

TEST(TOpenDialog, AnOverlongPresetNameIsCutToTheBufferNotWrittenPastIt) {
    TSaveDialog dlg(nullptr);
    dlg.SetFileName(std::string(3 * MAX_PATH, 'a'));
    DialogDriver driver([&](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_FALSE(dlg.Execute());
    EXPECT_TRUE(driver.Acted());
}

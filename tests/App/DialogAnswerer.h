#pragma once
// Answers the system dialogs a test's own thread opens while a window of the
// program runs their modal loops.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "Framework/Forms.h"

// Control identifiers of the system's file dialog: file types and file name.
constexpr int FileTypeCombo = 0x470;
constexpr int FileNameCombo = 0x47C;
constexpr int FileNameEdit = 0x480;

// The window's text.
inline std::string Text(HWND wnd) {
    char buffer[512] = {};
    GetWindowTextA(wnd, buffer, sizeof buffer);
    return buffer;
}

// Answers the system dialogs this thread opens, from a timer that their own
// message loops run: message boxes are recorded and confirmed, the file
// dialog gets FileToChoose (or is cancelled when it is empty). While no
// dialog is open, Step runs on every tick; a test that forgot to end a modal
// loop is ended by the time limit instead of hanging.
class TDialogAnswerer {
public:
    TDialogAnswerer() {
        Current = this;
        FTimer = SetTimer(nullptr, 0, 25, Tick);
    }
    ~TDialogAnswerer() {
        KillTimer(nullptr, FTimer);
        Current = nullptr;
    }
    TDialogAnswerer(const TDialogAnswerer&) = delete;
    TDialogAnswerer& operator=(const TDialogAnswerer&) = delete;

    std::vector<std::string> Messages;
    std::vector<std::string> FileTypes;
    int FileDialogs = 0;
    std::string FileToChoose;
    std::function<void()> Step;
    // Closes every form of the thread once this is past.
    std::chrono::steady_clock::time_point Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);

private:
    static BOOL CALLBACK AnswerOne(HWND wnd, LPARAM lp) {
        auto* self = reinterpret_cast<TDialogAnswerer*>(lp);
        char cls[16] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(wnd)) return TRUE;
        self->FAnswered = true;
        if (GetDlgItem(wnd, FileNameCombo) || GetDlgItem(wnd, FileNameEdit)) {
            ++self->FileDialogs;
            HWND types = GetDlgItem(wnd, FileTypeCombo);
            self->FileTypes.clear();
            const int n = types ? static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0)) : 0;
            for (int i = 0; i < n; ++i) {
                char entry[256] = {};
                if (SendMessageA(types, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof entry))
                    SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
                self->FileTypes.push_back(entry);
            }
            if (self->FileToChoose.empty()) {
                SendMessageA(wnd, WM_COMMAND, IDCANCEL, 0);
            } else {
                HWND name = GetDlgItem(wnd, FileNameCombo) ? GetDlgItem(wnd, FileNameCombo) : GetDlgItem(wnd, FileNameEdit);
                SetWindowTextA(name, self->FileToChoose.c_str());
                SendMessageA(wnd, WM_COMMAND, IDOK, 0);
            }
        } else {
            self->Messages.push_back(Text(GetDlgItem(wnd, 0xFFFF)));
            SendMessageA(wnd, WM_COMMAND, IDOK, 0);
        }
        return TRUE;
    }
    static BOOL CALLBACK CloseForm(HWND wnd, LPARAM) {
        if (IsWindowVisible(wnd) && dynamic_cast<TForm*>(TWinControl::FromHandle(wnd))) PostMessageA(wnd, WM_CLOSE, 0, 0);
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        TDialogAnswerer* self = Current;
        if (!self || self->FBusy) return;
        self->FBusy = true;
        self->FAnswered = false;
        EnumThreadWindows(GetCurrentThreadId(), AnswerOne, reinterpret_cast<LPARAM>(self));
        if (!self->FAnswered) {
            if (std::chrono::steady_clock::now() > self->Deadline) {
                ADD_FAILURE() << "a dialog stayed open past the time limit";
                EnumThreadWindows(GetCurrentThreadId(), CloseForm, 0);
            } else if (self->Step) {
                self->Step();
            }
        }
        self->FBusy = false;
    }

    static inline TDialogAnswerer* Current = nullptr;
    UINT_PTR FTimer = 0;
    bool FBusy = false;
    bool FAnswered = false;
};

#include "Framework/Dialogs.h"

#include <commdlg.h>

#include "Framework/CtrlText.h"
#include "Framework/Exception.h"
#include "Framework/Forms.h"
#include "Framework/SysUtils.h"
#include "Framework/SystemLibrary.h"

namespace {

// The entry points of the common dialog library (which brings the printer
// spooler with it, so it is loaded on first use, not at start).
struct TCommonDialogs {
    BOOL(WINAPI* Open)(LPOPENFILENAMEA);
    BOOL(WINAPI* Save)(LPOPENFILENAMEA);
    DWORD(WINAPI* ExtendedError)();
};

template <typename T>
T Entry(const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(SystemProc("comdlg32.dll", name)));
}

// Resolved once and kept for the life of the process; a failure raises the
// library's own reason and is tried afresh at the next dialog.
const TCommonDialogs& CommonDialogs() {
    static const TCommonDialogs dialogs{Entry<decltype(TCommonDialogs::Open)>("GetOpenFileNameA"),
                                        Entry<decltype(TCommonDialogs::Save)>("GetSaveFileNameA"),
                                        Entry<decltype(TCommonDialogs::ExtendedError)>("CommDlgExtendedError")};
    return dialogs;
}

}  // namespace

bool TOpenDialog::Run(OPENFILENAMEA& ofn) { return CommonDialogs().Open(&ofn) != 0; }

bool TSaveDialog::Run(OPENFILENAMEA& ofn) { return CommonDialogs().Save(&ofn) != 0; }

bool TOpenDialog::Execute() {
    std::string filter = FilterToDoubleZero(FFilter);
    // The system writes the chosen path here; the preset name must leave room
    // for its terminating zero.
    char file[MAX_PATH] = {};
    lstrcpynA(file, FFileName.c_str(), MAX_PATH);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(FFilterIndex);
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = FInitialDir.empty() ? nullptr : FInitialDir.c_str();
    ofn.lpstrTitle = FTitle.empty() ? nullptr : FTitle.c_str();
    ofn.lpstrDefExt = FDefaultExt.empty() ? nullptr : FDefaultExt.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    if (!Run(ofn)) {
        DWORD error = CommonDialogs().ExtendedError();
        if (error == FNERR_BUFFERTOOSMALL) throw Exception("選択されたファイルのパスが長すぎます。");
        if (error != 0) throw Exception(Format("ファイルダイアログを表示できません (%lu)。", error));
        return false;
    }
    file[MAX_PATH - 1] = '\0';
    FFileName = file;
    FFilterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int /*helpContext*/) {
    static const char* const captions[] = {"警告", "エラー", "情報", "確認", ""};
    static const UINT icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
    UINT flags = icons[type];
    if ((buttons & (mbYes | mbNo | mbCancel)) == (mbYes | mbNo | mbCancel)) flags |= MB_YESNOCANCEL;
    else if ((buttons & (mbYes | mbNo)) == (mbYes | mbNo)) flags |= MB_YESNO;
    else if ((buttons & (mbAbort | mbRetry | mbIgnore)) == (mbAbort | mbRetry | mbIgnore)) flags |= MB_ABORTRETRYIGNORE;
    else if ((buttons & (mbRetry | mbCancel)) == (mbRetry | mbCancel)) flags |= MB_RETRYCANCEL;
    else if ((buttons & (mbOK | mbCancel)) == (mbOK | mbCancel)) flags |= MB_OKCANCEL;
    else flags |= MB_OK;
    std::string caption = captions[type];
    if (caption.empty()) caption = Application->Title();
    return Application->MessageBox(text, caption, flags);
}

#pragma once
// The system's file dialogs and message dialogs. The file dialogs' library
// (comdlg32) is loaded when the first of them opens, not when the program
// starts; if it can't be loaded, that dialog reports it.
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "Framework/Classes.h"

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

    // "description|pattern|description|pattern".
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& filter) { FFilter = filter; }
    // 1-based, as the system counts.
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int i) { FFilterIndex = i; }
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& name) { FFileName = name; }
    const std::string& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const std::string& dir) { FInitialDir = dir; }
    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& ext) { FDefaultExt = ext; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& title) { FTitle = title; }

    // Shows the dialog over the active window; true when the user chose a
    // file (FileName then holds its full path).
    bool Execute();

protected:
    virtual bool Run(OPENFILENAMEA& ofn);

private:
    std::string FFilter;
    int FFilterIndex = 1;
    std::string FFileName;
    std::string FInitialDir;
    std::string FDefaultExt;
    std::string FTitle;
};

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;

protected:
    bool Run(OPENFILENAMEA& ofn) override;
};

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : unsigned {
    mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8, mbAbort = 16, mbRetry = 32, mbIgnore = 64
};
using TMsgDlgButtons = unsigned;

// A modal message box over the active window, captioned with the type's word
// ("エラー" for errors); returns the pressed button's modal result (IDOK, ...).
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);

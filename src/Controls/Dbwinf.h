#pragma once
// The debug window's form: a memo of trace lines and a menu that saves them.
#include <string>

#include "Framework/Dialogs.h"
#include "Framework/Forms.h"
#include "Framework/Menus.h"
#include "Framework/StdCtrls.h"

class TDwForm : public TForm {
public:
    explicit TDwForm(TComponent* AOwner);
    std::string ClassName() const override { return "TDwForm"; }

    TMemo* Memo1;
    TMainMenu* MainMenu1;
    TMenuItem* File1;
    TMenuItem* SaveAs1;
    TSaveDialog* SaveDialog1;

    void SaveAs1Click(TObject* Sender);
    // Writes the memo's lines, each ended by CR LF, replacing the file.
    void SaveToFile(const std::string& fileName);
};

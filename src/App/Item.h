#pragma once
// The item editor: the modal dialog in which the user enters or changes one
// item (name, hot key, command, arguments, working folder). It registers no
// hot key itself; it only asks the registrar whether a chosen key is free.
#include <windows.h>

#include <string>

#include "App/LaunchItem.h"
#include "Controls/Eliedit.h"
#include "Framework/Buttons.h"
#include "Framework/Dialogs.h"
#include "Framework/Forms.h"
#include "Framework/StdCtrls.h"

class TItemForm : public TForm {
public:
    explicit TItemForm(TComponent* AOwner);
    std::string ClassName() const override { return "TItemForm"; }

    // Prepares the dialog for a new item.
    void ClearItem();
    // Prepares the dialog for editing item.
    void SetItem(const LaunchItem* item);
    // Copies the five texts into item; its HotKeyId stays.
    void GetItem(LaunchItem* item);

    TGroupBox* GroupBox3;
    TEdit* ebName;
    TGroupBox* GroupBox1;
    TEdit* ebShortCut;
    TSpeedButton* SpeedButton1;
    TComboBox* cbKey;
    TGroupBox* GroupBox2;
    TEllipsisEdit* eeCommand;
    TGroupBox* GroupBox4;
    TEdit* ebParams;
    TGroupBox* GroupBox5;
    TEdit* ebPath;
    TButton* Button1;
    TButton* Button2;
    TButton* Button3;
    TOpenDialog* OpenDialog;

    // The key list position to go back to when a chosen key is refused; -1:
    // no entry. Only ClearItem and SetItem set it.
    int SavedKeyIndex = -1;

    void FormCreate(TObject* Sender);
    void cbKeyChange(TObject* Sender);
    void eeCommandEllipsisClick(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void Button3Click(TObject* Sender);
};

extern TItemForm* ItemForm;

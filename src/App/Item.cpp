#include "App/Item.h"

#include <windows.h>

#include "App/ItemLogic.h"
#include "App/Main.h"
#include "Framework/Exception.h"
#include "Hotkey/HookHotKey.h"
#include "Hotkey/ShortCut.h"

TItemForm* ItemForm = nullptr;

namespace {

const char* const SourceName = "C:\\Prj\\App\\Keyvane\\Item";

template <class T>
T* Place(TComponent* owner, TWinControl* parent, int left, int top, int width, int height) {
    T* c = new T(owner);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
}

TGroupBox* PlaceGroup(TForm* form, int top, const std::string& caption) {
    TGroupBox* g = Place<TGroupBox>(form, form, 0, top, 521, 41);
    g->SetCaption(caption);
    return g;
}

TButton* PlaceButton(TForm* form, int left, const std::string& caption, int modalResult) {
    TButton* b = Place<TButton>(form, form, left, 248, 75, 25);
    b->SetCaption(caption);
    b->SetModalResult(modalResult);
    return b;
}

}  // namespace

TItemForm::TItemForm(TComponent* AOwner) : TForm(AOwner) {
    SetName("ItemForm");
    SetCaption("ショートカットの登録");
    SetBorderStyle(bsDialog);
    SetBounds(338, 85, Width(), Height());
    SetClientSize(524, 277);
    Font().SetName("MS UI Gothic");
    Font().SetSize(9);
    Font().SetCharset(SHIFTJIS_CHARSET);

    GroupBox3 = PlaceGroup(this, 8, "登録名(&N)");
    ebName = Place<TEdit>(this, GroupBox3, 8, 16, 257, 20);

    GroupBox1 = PlaceGroup(this, 56, "ショートカット(&S)");
    ebShortCut = Place<TEdit>(this, GroupBox1, 8, 16, 121, 20);
    ebShortCut->SetText("Win + ");
    ebShortCut->SetEnabled(false);
    ebShortCut->SetColor(clBtnFace);
    // With no other button in its group the Win button stays pressed: the
    // Win modifier is always part of an item's hot key.
    SpeedButton1 = Place<TSpeedButton>(this, GroupBox1, 136, 16, 25, 20);
    SpeedButton1->SetCaption("Win");
    SpeedButton1->SetGroupIndex(1);
    SpeedButton1->SetDown(true);
    cbKey = Place<TComboBox>(this, GroupBox1, 168, 16, 89, 20);
    cbKey->OnChange = [this](TObject* Sender) { cbKeyChange(Sender); };

    GroupBox2 = PlaceGroup(this, 104, "実行するコマンド(&C)");
    eeCommand = Place<TEllipsisEdit>(this, GroupBox2, 8, 16, 505, 20);
    eeCommand->OnEllipsisClick = [this](TObject* Sender) { eeCommandEllipsisClick(Sender); };

    GroupBox4 = PlaceGroup(this, 152, "コマンドライン引数(&P)");
    ebParams = Place<TEdit>(this, GroupBox4, 8, 16, 497, 20);

    GroupBox5 = PlaceGroup(this, 200, "実行時パス(&F)");
    ebPath = Place<TEdit>(this, GroupBox5, 8, 16, 497, 20);

    Button1 = PlaceButton(this, 280, "OK(&O)", mrOk);
    // Enter cancels as Esc does: an item is only taken over by a deliberate OK.
    Button2 = PlaceButton(this, 360, "キャンセル(&C)", mrCancel);
    Button2->SetCancel(true);
    Button2->SetDefault(true);
    Button3 = PlaceButton(this, 440, "ヘルプ(&H)", mrNone);
    Button3->OnClick = [this](TObject* Sender) { Button3Click(Sender); };

    OpenDialog = new TOpenDialog(this);

    // The key comes first: a name alone makes no item.
    GroupBox1->SetTabOrder(0);
    GroupBox2->SetTabOrder(1);
    GroupBox3->SetTabOrder(2);
    Button1->SetTabOrder(3);
    Button2->SetTabOrder(4);
    GroupBox4->SetTabOrder(5);
    GroupBox5->SetTabOrder(6);
    Button3->SetTabOrder(7);

    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };
    // The key list belongs to the dialog however it is created, not only
    // through the application object; DoCreate runs once, so the
    // application's own call finds it done.
    DoCreate();
}

void TItemForm::FormCreate(TObject*) {
    for (std::uint16_t key : ItemKeyCodes()) cbKey->AddItem(ShortCutToText(MakeShortCut(key, ShiftKeys())), key);
}

void TItemForm::ClearItem() {
    cbKey->SetItemIndex(-1);
    cbKey->SetText(std::string());
    SavedKeyIndex = -1;
    ebName->SetText(std::string());
    ebShortCut->SetText(std::string());
    eeCommand->SetText(std::string());
    ebParams->SetText(std::string());
    ebPath->SetText(std::string());
}

void TItemForm::SetItem(const LaunchItem* item) {
    cbKey->SetItemIndex(KeyIndexForShortCut(item->ShortCut));
    SavedKeyIndex = cbKey->ItemIndex();
    ebName->SetText(item->Name);
    ebShortCut->SetText(item->ShortCut);
    eeCommand->SetText(item->Command);
    ebParams->SetText(item->Params);
    ebPath->SetText(item->Path);
}

void TItemForm::GetItem(LaunchItem* item) {
    item->Name = ebName->Text();
    item->ShortCut = ebShortCut->Text();
    item->Command = eeCommand->Text();
    item->Params = ebParams->Text();
    item->Path = ebPath->Text();
}

void TItemForm::cbKeyChange(TObject*) {
    const int index = cbKey->ItemIndex();
    if (index < 0) return;
    const ShortCutCode code =
        MakeShortCut(static_cast<std::uint16_t>(cbKey->ItemData(index)), ShiftKeys{ShiftKey::Win});
    if (code == 0) RaiseAt(SourceName, 132);
    // Without a registrar nothing can be checked; the list page reports a
    // key that can't be registered when it registers it.
    if (!HookHotKey || HookHotKey->IsValidKey(code)) {
        ebShortCut->SetText(ShortCutToText(code));
        return;
    }
    ShowMessage("そのショートカットは既に使われています。");
    if (SavedKeyIndex == -1) {
        cbKey->SetText(std::string());
        cbKey->SetItemIndex(-1);
    } else {
        cbKey->SetItemIndex(SavedKeyIndex);
    }
}

void TItemForm::eeCommandEllipsisClick(TObject*) {
    OpenDialog->SetFilter(ProgramFilter);
    if (!OpenDialog->Execute()) return;
    const TChosenProgram chosen = ChosenProgramFields(OpenDialog->FileName());
    eeCommand->SetText(chosen.Command);
    ebName->SetText(chosen.Name);
    ebPath->SetText(chosen.Path);
}

void TItemForm::FormCloseQuery(TObject*, bool& CanClose) {
    if (ModalResult() != mrOk) return;
    const std::string problem = ItemCloseProblem(cbKey->Text(), ebName->Text(), eeCommand->Text());
    if (problem.empty()) return;
    ShowMessage(problem);
    CanClose = false;
}

void TItemForm::Button3Click(TObject*) {
    if (!HtmlHelpProc) return;
    const std::string topic = ItemHelpTopic(Application->ExeName());
    HtmlHelpProc(GetDesktopWindow(), topic.c_str(), 0, 0);
}

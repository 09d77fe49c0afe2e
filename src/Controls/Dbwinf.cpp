#include "Controls/Dbwinf.h"

#include "Controls/DbwinLayout.h"

TDwForm::TDwForm(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Debug Window");
    SetBounds(Left(), Top(), 250, 414);
    Font().SetName("ＭＳ Ｐゴシック");
    Font().SetHeight(-12);
    Font().SetCharset(SHIFTJIS_CHARSET);

    MainMenu1 = new TMainMenu(this);
    File1 = new TMenuItem(this);
    File1->SetCaption("ファイル(&F)");
    SaveAs1 = new TMenuItem(this);
    SaveAs1->SetCaption("名前を付けて保存(&A)");
    SaveAs1->OnClick = [this](TObject* Sender) { SaveAs1Click(Sender); };
    File1->Add(SaveAs1);
    MainMenu1->Items()->Add(File1);
    SetMenu(MainMenu1);

    Memo1 = new TMemo(this);
    Memo1->SetParent(this);
    Memo1->SetAlign(alClient);
    Memo1->Font().SetName("ＭＳ ゴシック");
    Memo1->Font().SetHeight(-12);
    Memo1->Font().SetCharset(SHIFTJIS_CHARSET);
    // Trace lines keep their own breaks; long ones scroll sideways.
    Memo1->SetWordWrap(false);
    Memo1->SetScrollBars(ssBoth);

    SaveDialog1 = new TSaveDialog(this);
}

void TDwForm::SaveAs1Click(TObject*) {
    if (SaveDialog1->Execute()) SaveToFile(SaveDialog1->FileName());
}

void TDwForm::SaveToFile(const std::string& fileName) { SaveDebugText(fileName, Memo1->Lines().Text()); }

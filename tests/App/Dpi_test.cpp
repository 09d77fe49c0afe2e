// The windows at the screen's scaling, in this test's own process: CTest runs
// it at 96 pixels per inch and, through scripts/wine-dpi.sh, at 144 (150 %).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "App/E2eDriver.h"
#include "App/Item.h"
#include "App/Main.h"
#include "Controls/Eliedit.h"
#include "Framework/ComCtrls.h"
#include "Framework/SysUtils.h"

namespace {

int FontHeight(HWND wnd) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(wnd, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

void Shoot(TForm* form, const std::string& name) {
    Application->ProcessMessages();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    e2e::SaveScreenshot(name + "-" + std::to_string(form->PixelsPerInch()));
}

}  // namespace

TEST(Dpi, FormsAreScaledAtCreationAndTheFileKeeps96DpiNumbers) {
    const struct {
        int dpi, width, height, buttonWidth, buttonHeight, fontHeight, rowHeight, nameWidth;
    } cases[] = {{96, 400, 300, 75, 25, -12, 20, 110}, {144, 600, 450, 113, 38, -18, 30, 165}};
    const int dpi = TScreen::PixelsPerInch();
    const auto* c = std::find_if(std::begin(cases), std::end(cases), [dpi](const auto& k) { return k.dpi == dpi; });
    ASSERT_NE(c, std::end(cases)) << "no case for " << dpi << " pixels per inch";
    Application->OnException = [](TObject*, const std::exception& e) { ADD_FAILURE() << e.what(); };
    const std::string ini = ChangeFileExt(Application->ExeName(), ".ini");
    const std::string layout = "[FormMain]\r\nColWidths=20,110,100,240,64,180,0\r\nFormRect=100,100,400,300\r\n";
    e2e::WriteFileText(ini, layout + "\r\n[#Item  00]\r\nName=Notepad\r\nShortCut=WIN + F9\r\n"
                                     "Command=C:\\windows\\notepad.exe\r\nParams=a.txt\r\nPath=C:\\windows\\\r\n");
    Application->CreateForm(FormMain);
    Application->CreateForm(ItemForm);
    FormMain->Show();
    Shoot(FormMain, "list");
    EXPECT_EQ(FormMain->Width(), c->width);
    EXPECT_EQ(FormMain->Height(), c->height);
    EXPECT_EQ(FormMain->btnAdd->Width(), c->buttonWidth);
    EXPECT_EQ(FormMain->btnAdd->Height(), c->buttonHeight);
    EXPECT_EQ(FontHeight(FormMain->btnAdd->Handle()), c->fontHeight);
    EXPECT_EQ(FormMain->Grid->DefaultRowHeight(), c->rowHeight);
    EXPECT_EQ(FormMain->Grid->ColWidths(1), c->nameWidth);
    FormMain->PageControl1->SetActivePage(FormMain->TabSheet2);
    Shoot(FormMain, "version");
    FormMain->Hide();
    ItemForm->Show();
    Shoot(ItemForm, "item");
    EXPECT_EQ(FontHeight(ItemForm->ebName->Handle()), c->fontHeight) << "9 points";
    RECT button{};
    GetWindowRect(FindWindowExA(ItemForm->eeCommand->Handle(), nullptr, "TSpeedButton", nullptr), &button);
    EXPECT_EQ(button.right - button.left, 15) << "the ellipsis button keeps its pixels";
    ItemForm->Hide();
    Application->DestroyForms();
    EXPECT_NE(e2e::ReadFileText(ini).find(layout), std::string::npos) << e2e::ReadFileText(ini);
    DeleteFileA(ini.c_str());
}

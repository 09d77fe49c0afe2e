// The windows at the screen's scaling, in this test's own process: CTest runs
// it at 96 pixels per inch and, through scripts/wine-dpi.sh, at 144 (150 %).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "App/E2eDriver.h"
#include "App/Item.h"
#include "App/Main.h"
#include "Controls/Eliedit.h"
#include "Framework/SysUtils.h"

namespace {

int FontHeight(HWND wnd) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(wnd, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

}  // namespace

TEST(Dpi, FormsAreScaledAtCreationAndTheFileKeeps96DpiNumbers) {
    // The window's size, the Add button's and its font's height, the grid's rows and its name column.
    const std::map<int, std::vector<int>> sizes{{96, {400, 300, 75, 25, -12, 20, 110}},
                                                {144, {600, 450, 113, 38, -18, 30, 165}}};
    const int dpi = TScreen::PixelsPerInch();
    ASSERT_EQ(sizes.count(dpi), 1u) << "no case for " << dpi << " pixels per inch";
    Application->OnException = [](TObject*, const std::exception& e) { ADD_FAILURE() << e.what(); };
    const std::string ini = ChangeFileExt(Application->ExeName(), ".ini");
    const std::string layout = "[FormMain]\r\nColWidths=20,110,100,240,64,180,0\r\nFormRect=100,100,400,300\r\n";
    e2e::WriteFileText(ini, layout);
    Application->CreateForm(FormMain);
    Application->CreateForm(ItemForm);
    FormMain->Show();
    TButton* add = FormMain->btnAdd;
    const int fontHeight = FontHeight(add->Handle());
    EXPECT_EQ((std::vector<int>{FormMain->Width(), FormMain->Height(), add->Width(), add->Height(), fontHeight,
                                FormMain->Grid->DefaultRowHeight(), FormMain->Grid->ColWidths(1)}),
              sizes.at(dpi));
    FormMain->Hide();
    ItemForm->Show();
    EXPECT_EQ(FontHeight(ItemForm->ebName->Handle()), fontHeight) << "9 points";
    RECT button{};
    GetWindowRect(FindWindowExA(ItemForm->eeCommand->Handle(), nullptr, "TSpeedButton", nullptr), &button);
    EXPECT_EQ(button.right - button.left, 15) << "the ellipsis button keeps its pixels";
    ItemForm->Hide();
    Application->DestroyForms();
    EXPECT_NE(e2e::ReadFileText(ini).find(layout), std::string::npos) << e2e::ReadFileText(ini);
    DeleteFileA(ini.c_str());
}

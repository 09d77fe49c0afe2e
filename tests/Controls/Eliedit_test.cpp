#include "Controls/Eliedit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Framework/Buttons.h"
#include "Framework/ComCtrls.h"
#include "Framework/CtrlTestSupport.h"
#include "Framework/ExtCtrls.h"
#include "Framework/Forms.h"
#include "Framework/StdCtrls.h"

using ctltest::PostKey;
using ctltest::WaitFor;

namespace {

// The item editor's command row: a group box holding the ellipsis edit, an
// edit box before it, and the dialog's OK and Cancel buttons.
struct EditorForm {
    TForm* form = new TForm(Application);
    TEdit* name = new TEdit(form);
    TGroupBox* group = new TGroupBox(form);
    TEllipsisEdit* ee = new TEllipsisEdit(form);
    TButton* ok = new TButton(form);
    TButton* cancel = new TButton(form);

    EditorForm() {
        form->SetBorderStyle(bsDialog);
        form->SetCaption("ショートカットの登録");
        form->SetClientSize(524, 120);
        name->SetParent(form);
        name->SetBounds(8, 4, 257, 20);
        group->SetParent(form);
        group->SetCaption("実行するコマンド(&C)");
        group->SetBounds(0, 30, 521, 41);
        ee->SetParent(group);
        ee->SetBounds(8, 16, 505, 20);
        ok->SetParent(form);
        ok->SetCaption("OK(&O)");
        ok->SetBounds(280, 88, 75, 25);
        ok->SetModalResult(mrOk);
        ok->SetDefault(true);
        cancel->SetParent(form);
        cancel->SetCaption("キャンセル(&C)");
        cancel->SetBounds(360, 88, 75, 25);
        cancel->SetModalResult(mrCancel);
        cancel->SetCancel(true);
    }
    ~EditorForm() { delete form; }

    // The edit box's children: the button and the spacer.
    TWinControl* Button() const { return ee->Controls(0); }
    TWinControl* Spacer() const { return ee->Controls(1); }
};

RECT FormatRect(HWND wnd) {
    RECT r{};
    SendMessageA(wnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
}

// The cursor the edit box chooses with the mouse at client x (middle row).
// False when something else moved the mouse meanwhile.
bool CursorAt(TEllipsisEdit* ee, int x, HCURSOR& cursor) {
    POINT p = ee->ClientToScreen(POINT{x, ee->ClientHeight() / 2});
    SetCursorPos(p.x, p.y);
    SendMessageA(ee->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(ee->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    cursor = GetCursor();
    POINT now;
    GetCursorPos(&now);
    return now.x == p.x && now.y == p.y;
}

}  // namespace

TEST(TEllipsisEdit, IsAOneLineMultiLineBoxWithItsButtonAndSpacerAtTheRight) {
    EditorForm f;
    f.form->Show();
    HWND wnd = f.ee->Handle();
    LONG style = GetWindowLongA(wnd, GWL_STYLE);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    EXPECT_FALSE(style & ES_WANTRETURN);
    EXPECT_FALSE(f.ee->WordWrap());
    EXPECT_FALSE(f.ee->WantReturns());
    ASSERT_EQ(f.ee->ControlCount(), 2);
    int cw = f.ee->ClientWidth(), ch = f.ee->ClientHeight();
    EXPECT_EQ(f.Button()->Width(), 15);
    EXPECT_EQ(f.Button()->Left(), cw - 15);
    EXPECT_EQ(f.Button()->Height(), ch);
    EXPECT_EQ(f.Spacer()->Width(), 1);
    EXPECT_EQ(f.Spacer()->Left(), cw - 16);
    EXPECT_EQ(f.Spacer()->Height(), ch);

    // A new box is 150 x 20.
    auto* fresh = new TEllipsisEdit(f.form);
    EXPECT_EQ(fresh->Width(), 150);
    EXPECT_EQ(fresh->Height(), 20);

    // What shows: the spacer line in button face, the glyph's dots in black.
    f.ee->SetText("C:\\Windows\\notepad.exe");
    f.ee->Repaint();
    f.Button()->Repaint();
    f.Spacer()->Repaint();
    ctltest::Picture pic = ctltest::Capture(wnd);
    EXPECT_EQ(pic.CountOther(GetSysColor(COLOR_BTNFACE), cw - 16, 0, cw - 15, ch), 0);
    EXPECT_GE(pic.Count(RGB(0, 0, 0), cw - 15, 0, cw, ch), 12);
    EXPECT_GT(pic.Count(RGB(0, 0, 0), 0, 0, 100, ch), 10);
    ctltest::Settle();
    EXPECT_TRUE(ctltest::SaveBmp(ctltest::Capture(f.form->Handle(), true), ctltest::ShotPath("kv_eliedit.bmp")));
}

TEST(TEllipsisEdit, FormattingRectangleStopsAtTheButtonAfterEveryResize) {
    EditorForm f;
    f.form->Show();
    HWND wnd = f.ee->Handle();
    RECT first = FormatRect(wnd);
    int firstClient = f.ee->ClientWidth();
    for (int width : {505, 300, 150, 40}) {
        f.ee->SetWidth(width);
        int cw = f.ee->ClientWidth();
        RECT fmt = FormatRect(wnd);
        EXPECT_LE(fmt.right, cw - 15) << width;
        // Only the system's own small margins lie between.
        EXPECT_EQ(fmt.right - first.right, cw - firstClient) << width;
        EXPECT_EQ(fmt.left, first.left) << width;
    }
    // Text typed to the end stays clear of the button.
    f.ee->SetWidth(150);
    f.ee->SetText(std::string(80, 'W'));
    f.ee->SetFocus();
    f.ee->SetSelStart(80);
    POINT caret{};
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_LE(caret.x, f.ee->ClientWidth() - 15);
}

TEST(TEllipsisEdit, TheTextCursorEndsSeventeenPixelsBeforeTheRightEdge) {
    EditorForm f;
    f.form->SetBounds(100, 100, f.form->Width(), f.form->Height());
    f.form->Show();
    ctltest::Settle();
    const HCURSOR ibeam = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_IBEAM));
    const HCURSOR arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    int cw = f.ee->ClientWidth();
    struct Case {
        int x;
        HCURSOR expected;
    };
    for (Case c : {Case{2, ibeam}, Case{cw - 18, ibeam}, Case{cw - 17, arrow}, Case{cw - 3, arrow}}) {
        HCURSOR got = nullptr;
        bool steady = false;
        for (int attempt = 0; attempt < 5 && !steady; ++attempt) steady = CursorAt(f.ee, c.x, got);
        ASSERT_TRUE(steady);
        EXPECT_EQ(got, c.expected) << c.x;
    }
    // Over the button itself the box decides too.
    POINT p = f.Button()->ClientToScreen(POINT{7, 5});
    SetCursorPos(p.x, p.y);
    SetCursor(ibeam);
    SendMessageA(f.Button()->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(f.Button()->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), arrow);
}

TEST(TEllipsisEdit, EnablingTheBoxCouplesTheButton) {
    EditorForm f;
    f.form->Show();
    EXPECT_TRUE(f.ee->GetEllipsisEnabled());
    f.ee->SetEllipsisEnabled(false);
    EXPECT_FALSE(f.Button()->Enabled());
    EXPECT_TRUE(f.ee->Enabled());
    f.ee->SetEnabled(false);
    EXPECT_FALSE(f.Button()->Enabled());
    EXPECT_FALSE(IsWindowEnabled(f.ee->Handle()));
    // Enabling the box brings the button back even after EllipsisEnabled false.
    f.ee->SetEnabled(true);
    EXPECT_TRUE(f.Button()->Enabled());
    EXPECT_TRUE(f.ee->GetEllipsisEnabled());
    EXPECT_TRUE(IsWindowEnabled(f.Button()->Handle()));
    // Before the window exists as well.
    auto* early = new TEllipsisEdit(f.form);
    early->SetEnabled(false);
    EXPECT_FALSE(early->GetEllipsisEnabled());
}

TEST(TEllipsisEdit, EntrySelectsTheWholeTextUnlessByAClickIntoIt) {
    EditorForm f;
    f.ee->SetText("C:\\Tools\\Editor.exe");
    const int len = static_cast<int>(f.ee->Text().size());
    f.form->Show();
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(f.form->Handle()) != 0; }));

    f.ee->SetSelStart(3);
    ASSERT_TRUE(ctltest::TabStep(f.name, f.ee));
    EXPECT_EQ(f.ee->SelStart(), 0);
    EXPECT_EQ(f.ee->SelLength(), len);

    // Focus given by the program selects as well.
    f.name->SetFocus();
    f.ee->SetSelStart(3);
    f.ee->SetFocus();
    EXPECT_EQ(f.ee->SelLength(), len);

    // A click into the text places the caret.
    f.name->SetFocus();
    SendMessageA(f.ee->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 5));
    SendMessageA(f.ee->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 5));
    EXPECT_TRUE(f.ee->Focused());
    EXPECT_EQ(f.ee->SelLength(), 0);

    // Without AutoSelect nothing is selected on entry.
    f.ee->SetAutoSelect(false);
    f.name->SetFocus();
    f.ee->SetSelStart(2);
    f.ee->SetFocus();
    EXPECT_EQ(f.ee->SelLength(), 0);
}

TEST(TEllipsisEdit, TheButtonFocusesTheBoxThenRaisesTheEventWithTheBoxAsSender) {
    EditorForm f;
    std::vector<TObject*> senders;
    bool focusedFirst = false;
    f.ee->OnEllipsisClick = [&](TObject* s) {
        senders.push_back(s);
        focusedFirst = f.ee->Focused();
    };
    f.form->Show();
    f.name->SetFocus();
    HWND button = f.Button()->Handle();
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 5));
    EXPECT_TRUE(f.ee->Focused());
    EXPECT_TRUE(senders.empty());
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(7, 5));
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], f.ee);
    EXPECT_TRUE(focusedFirst);

    f.ee->EllipsisClick();
    ASSERT_EQ(senders.size(), 2u);
    EXPECT_EQ(senders[1], f.ee);

    // Without a handler the button only focuses.
    f.ee->OnEllipsisClick = nullptr;
    f.name->SetFocus();
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 5));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(7, 5));
    EXPECT_TRUE(f.ee->Focused());
    f.ee->EllipsisClick();

    // A disabled button raises nothing.
    f.ee->OnEllipsisClick = [&](TObject* s) { senders.push_back(s); };
    f.ee->SetEllipsisEnabled(false);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 5));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(7, 5));
    EXPECT_EQ(senders.size(), 2u);
}

TEST(TEllipsisEdit, EnterAndEscReachTheDialogsButtonsAndNoLineBreakGetsIn) {
    struct Case {
        WPARAM key;
        int result;
    };
    for (Case c : {Case{VK_RETURN, mrOk}, Case{VK_ESCAPE, mrCancel}}) {
        EditorForm f;
        f.form->SetActiveControl(f.ee);
        f.form->HandleNeeded();
        f.ee->SetText("notepad.exe");
        PostKey(f.ee->Handle(), c.key);
        EXPECT_EQ(f.form->ShowModal(), c.result) << c.key;
        EXPECT_EQ(f.ee->Text(), "notepad.exe") << c.key;
    }
    EditorForm f;
    f.form->Show();
    f.ee->SetText("a");
    f.ee->SetSelStart(1);
    // Ctrl+Enter and Ctrl+J arrive as characters of their own.
    SendMessageA(f.ee->Handle(), WM_CHAR, '\n', 1);
    SendMessageA(f.ee->Handle(), WM_CHAR, '\r', 1);
    SendMessageA(f.ee->Handle(), WM_CHAR, 'b', 1);
    EXPECT_EQ(f.ee->Text(), "ab");
    EXPECT_EQ(SendMessageA(f.ee->Handle(), EM_GETLINECOUNT, 0, 0), 1);
}

TEST(TEllipsisEdit, PastingKeepsTheFirstLineOnly) {
    EditorForm f;
    f.form->Show();
    const std::string text = "C:\\Tools\\Editor.exe\r\nsecond line";
    ASSERT_TRUE(OpenClipboard(f.ee->Handle()));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    ASSERT_NE(mem, nullptr);
    memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
    GlobalUnlock(mem);
    ASSERT_NE(SetClipboardData(CF_TEXT, mem), nullptr);
    CloseClipboard();
    f.ee->SetText("x");
    f.ee->SetSelStart(1);
    SendMessageA(f.ee->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(f.ee->Text(), "xC:\\Tools\\Editor.exe");
    f.ee->SetReadOnly(true);
    SendMessageA(f.ee->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(f.ee->Text(), "xC:\\Tools\\Editor.exe");
}

TEST(TEllipsisEdit, ChangeScaleScalesTheBoxAndItsOwnFontButNotTheButton) {
    EditorForm f;
    f.form->Show();
    f.ee->ChangeScale(96, 96);
    EXPECT_EQ(f.ee->Width(), 505);
    // Parent's font: bounds only.
    int parentHeight = f.ee->Font().Height();
    f.ee->ChangeScale(120, 96);
    EXPECT_EQ(f.ee->Left(), 10);
    EXPECT_EQ(f.ee->Top(), 20);
    EXPECT_EQ(f.ee->Width(), 641 - 10);
    EXPECT_EQ(f.ee->Height(), 45 - 20);
    EXPECT_EQ(f.ee->Font().Height(), parentHeight);
    EXPECT_TRUE(f.ee->ParentFont());
    EXPECT_EQ(f.Button()->Width(), 15);
    EXPECT_EQ(f.Spacer()->Width(), 1);
    EXPECT_EQ(f.Button()->Left(), f.ee->ClientWidth() - 15);
    RECT fmt = FormatRect(f.ee->Handle());
    EXPECT_LE(fmt.right, f.ee->ClientWidth() - 15);

    // Own font of 10 points: 13 points after 120/96 (12.5 rounded).
    auto* own = new TEllipsisEdit(f.form);
    own->SetParent(f.form);
    own->Font().SetSize(10);
    ASSERT_FALSE(own->ParentFont());
    own->SetBounds(8, 16, 505, 20);
    own->ChangeScale(120, 96);
    EXPECT_EQ(own->Font().Size(), 13);
    // While loading, the font follows the form's font-scaling flag.
    own->BeginLoading();
    own->SetScalingFlags(sfLeft | sfTop | sfWidth | sfHeight);
    own->ChangeScale(96, 120);
    EXPECT_EQ(own->Font().Size(), 13);
    own->SetScalingFlags(sfLeft | sfTop | sfWidth | sfHeight | sfFont);
    own->ChangeScale(96, 120);
    EXPECT_EQ(own->Font().Size(), 10);
    own->Loaded();
}

TEST(TEllipsisEdit, HintOfTheButtonAndTheDialogCodeOfTheBox) {
    EditorForm f;
    f.form->Show();
    f.ee->SetEllipsisHint("ファイルを選択");
    EXPECT_EQ(f.ee->GetEllipsisHint(), "ファイルを選択");
    EXPECT_EQ(f.Button()->Hint(), "ファイルを選択");
    EXPECT_TRUE(f.Button()->ShowHint());
    MSG enter{f.ee->Handle(), WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}};
    LRESULT code = SendMessageA(f.ee->Handle(), WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter));
    EXPECT_FALSE(code & DLGC_WANTALLKEYS);
    EXPECT_TRUE(code & DLGC_HASSETSEL);
}

// All the controls the windows place, on one form with Japanese captions,
// saved as a picture for a look at the whole.
TEST(Gallery, EveryControlPaintsOnAJapaneseForm) {
    auto* form = new TForm(Application);
    form->SetCaption("ショートカットの登録");
    form->SetBorderStyle(bsDialog);
    form->SetBounds(20, 20, 0, 0);
    form->SetClientSize(540, 470);

    auto* page = new TPageControl(form);
    page->SetParent(form);
    page->SetBounds(0, 0, 540, 300);
    auto* sheet1 = new TTabSheet(form);
    sheet1->SetCaption("プログラム登録");
    sheet1->SetPageControl(page);
    auto* sheet2 = new TTabSheet(form);
    sheet2->SetCaption("バージョン情報");
    sheet2->SetPageControl(page);

    auto* gb = new TGroupBox(form);
    gb->SetParent(sheet1);
    gb->SetCaption("登録名(&N)");
    gb->SetBounds(0, 8, 521, 41);
    auto* eb = new TEdit(form);
    eb->SetParent(gb);
    eb->SetBounds(8, 16, 257, 20);
    eb->SetText("メモ帳");

    auto* gb2 = new TGroupBox(form);
    gb2->SetParent(sheet1);
    gb2->SetCaption("ショートカット(&S)");
    gb2->SetBounds(0, 56, 521, 41);
    auto* ebs = new TEdit(form);
    ebs->SetParent(gb2);
    ebs->SetBounds(8, 16, 121, 20);
    ebs->SetText("WIN + A");
    ebs->SetColor(clBtnFace);
    ebs->SetEnabled(false);
    auto* sb = new TSpeedButton(form);
    sb->SetParent(gb2);
    sb->SetBounds(136, 16, 25, 20);
    sb->SetCaption("Win");
    sb->SetGroupIndex(1);
    sb->SetDown(true);
    auto* cb = new TComboBox(form);
    cb->SetParent(gb2);
    cb->SetBounds(168, 16, 89, 20);
    for (const char* k : {"A", "B", "C", "F1"}) cb->AddItem(k, k[0]);
    cb->SetItemIndex(0);

    auto* gb3 = new TGroupBox(form);
    gb3->SetParent(sheet1);
    gb3->SetCaption("実行するコマンド(&C)");
    gb3->SetBounds(0, 104, 521, 41);
    auto* ee = new TEllipsisEdit(form);
    ee->SetParent(gb3);
    ee->SetBounds(8, 16, 505, 20);
    ee->SetText("C:\\Windows\\notepad.exe");

    auto* panel = new TPanel(form);
    panel->SetParent(sheet1);
    panel->SetBounds(0, 150, 521, 40);
    panel->SetColor(clWindow);
    panel->SetBevelInner(bvLowered);
    panel->SetBevelOuter(bvRaised);
    panel->SetCaption("登録されているアイテムはありません｡『追加』を押してアイテムを追加してください｡");

    auto* lb = new TLabel(form);
    lb->SetParent(sheet1);
    lb->SetAutoSize(false);
    lb->SetBounds(8, 196, 276, 19);
    lb->SetCaption("『Windowsキーをもっと使おう』");
    lb->Font().SetName("ＭＳ Ｐゴシック");
    lb->Font().SetHeight(-19);
    lb->Font().SetStyle(fsBold | fsItalic);

    auto* memo = new TMemo(form);
    memo->SetParent(sheet1);
    memo->SetBounds(300, 196, 220, 60);
    memo->SetScrollBars(ssVertical);
    memo->Lines().Add("一行目");
    memo->Lines().Add("二行目");

    auto* shape = new TShape(form);
    shape->SetParent(sheet1);
    shape->SetBounds(8, 224, 40, 20);
    shape->SetBrushColor(clRed);
    shape->SetPenColor(clBlue);

    const char* captions[] = {"OK(&O)", "キャンセル(&C)", "ヘルプ(&H)"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new TButton(form);
        b->SetParent(form);
        b->SetBounds(280 + 80 * i, 440, 75, 25);
        b->SetCaption(captions[i]);
        b->SetDefault(i == 1);
    }
    auto* panel2 = new TPanel(form);
    panel2->SetParent(form);
    panel2->SetBounds(8, 310, 250, 120);
    panel2->SetCaption("パネルの見出し");

    form->Show();
    ASSERT_TRUE(ctltest::WaitFor([&] { return IsWindowVisible(form->Handle()) != 0; }));
    ctltest::Settle();
    ctltest::Picture pic = ctltest::Capture(form->Handle(), true);
    ASSERT_GT(pic.width, 500);
    EXPECT_TRUE(ctltest::SaveBmp(pic, ctltest::ShotPath("kv_gallery.bmp")));
    // Every surface painted: the empty part of the page is button face, the
    // panels and the sheet hold their captions.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    auto inForm = [&](TWinControl* c) {
        POINT p = c->ClientToScreen(POINT{0, 0});
        RECT w;
        GetWindowRect(form->Handle(), &w);
        return POINT{p.x - w.left, p.y - w.top};
    };
    POINT s = inForm(sheet1);
    EXPECT_EQ(pic.CountOther(face, s.x + 60, s.y + 224, s.x + 280, s.y + 250), 0);
    POINT p2 = inForm(panel2);
    EXPECT_GT(pic.CountOther(face, p2.x + 20, p2.y + 40, p2.x + 230, p2.y + 80), 20);
    POINT e = inForm(ee);
    EXPECT_GE(pic.Count(RGB(0, 0, 0), e.x + ee->ClientWidth() - 15, e.y, e.x + ee->ClientWidth(), e.y + 16), 12);
    delete form;
}

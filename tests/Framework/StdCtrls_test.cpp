#include "Framework/StdCtrls.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Framework/CtrlTestSupport.h"
#include "Framework/ExtCtrls.h"
#include "Framework/Forms.h"

using ctltest::PostKey;
using ctltest::WaitFor;

namespace {

// A dialog-like form: an edit box in a group box, a memo, and the three
// push buttons of the program's dialogs.
struct DialogForm {
    TForm* form = new TForm(Application);
    TGroupBox* group = new TGroupBox(form);
    TEdit* edit = new TEdit(form);
    TMemo* memo = new TMemo(form);
    TButton* ok = new TButton(form);
    TButton* cancel = new TButton(form);
    TButton* help = new TButton(form);
    int okClicks = 0, cancelClicks = 0, helpClicks = 0;

    DialogForm() {
        form->SetBorderStyle(bsDialog);
        form->SetClientSize(400, 200);
        group->SetParent(form);
        group->SetCaption("登録名(&N)");
        group->SetBounds(0, 8, 300, 41);
        edit->SetParent(group);
        edit->SetBounds(8, 16, 200, 20);
        memo->SetParent(form);
        memo->SetBounds(8, 60, 200, 60);
        for (TButton* b : {ok, cancel, help}) b->SetParent(form);
        ok->SetCaption("OK(&O)");
        ok->SetBounds(80, 160, 75, 25);
        ok->SetModalResult(mrOk);
        ok->SetDefault(true);
        cancel->SetCaption("キャンセル(&C)");
        cancel->SetBounds(160, 160, 75, 25);
        cancel->SetModalResult(mrCancel);
        cancel->SetCancel(true);
        help->SetCaption("ヘルプ(&H)");
        help->SetBounds(240, 160, 75, 25);
        ok->OnClick = [this](TObject*) { ++okClicks; };
        cancel->OnClick = [this](TObject*) { ++cancelClicks; };
        help->OnClick = [this](TObject*) { ++helpClicks; };
    }
    ~DialogForm() { delete form; }
};

}  // namespace

TEST(TButton, AClickSetsTheFormsModalResultAndEndsShowModal) {
    DialogForm d;
    d.form->HandleNeeded();
    // A button without a modal result leaves the dialog open.
    PostMessageA(d.help->Handle(), BM_CLICK, 0, 0);
    PostMessageA(d.ok->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(d.form->ShowModal(), mrOk);
    EXPECT_EQ(d.helpClicks, 1);
    EXPECT_EQ(d.okClicks, 1);
    EXPECT_FALSE(d.form->Visible());

    PostMessageA(d.cancel->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(d.form->ShowModal(), mrCancel);
    EXPECT_EQ(d.cancelClicks, 1);
}

TEST(TButton, StaysInTheSubclassChainWithATooltipAboveIt) {
    DialogForm d;
    d.form->HandleNeeded();
    HWND button = d.help->Handle();
    // A tooltip of the form's that subclasses the button after us and
    // outlives it.
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                               d.form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(tip, nullptr);
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = d.form->Handle();
    ti.uId = reinterpret_cast<UINT_PTR>(button);
    ti.lpszText = const_cast<char*>("help");
    ASSERT_TRUE(SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));

    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(d.helpClicks, 1) << "messages pass the tooltip's subclass and reach ours";
    EXPECT_EQ(TWinControl::FromHandle(button), d.help);

    // The button goes first, with the tooltip's subclass still on it.
    delete d.help;
    d.help = nullptr;
    EXPECT_FALSE(IsWindow(button));
    EXPECT_EQ(TWinControl::FromHandle(button), nullptr);
    SendMessageA(tip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    DestroyWindow(tip);
    // The rest of the form still answers.
    SendMessageA(d.ok->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(d.okClicks, 1);
}

TEST(TButton, DefaultButtonIsDrawnAsSuchAndIsATabStop) {
    DialogForm d;
    d.form->HandleNeeded();
    EXPECT_TRUE(GetWindowLongA(d.ok->Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_FALSE(GetWindowLongA(d.help->Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_TRUE(GetWindowLongA(d.ok->Handle(), GWL_STYLE) & WS_TABSTOP);
}

TEST(Keyboard, EnterAndEscInAnEditBoxPressTheDefaultAndCancelButtons) {
    struct Case {
        WPARAM key;
        int result;
    };
    for (Case c : {Case{VK_RETURN, mrOk}, Case{VK_ESCAPE, mrCancel}}) {
        DialogForm d;
        d.form->SetActiveControl(d.edit);
        d.form->HandleNeeded();
        d.edit->SetText("メモ帳");
        PostKey(d.edit->Handle(), c.key);
        EXPECT_EQ(d.form->ShowModal(), c.result) << c.key;
        EXPECT_EQ(d.okClicks, c.key == VK_RETURN ? 1 : 0);
        EXPECT_EQ(d.cancelClicks, c.key == VK_ESCAPE ? 1 : 0);
        EXPECT_EQ(d.edit->Text(), "メモ帳");
    }
}

TEST(Keyboard, EnterPressesTheFocusedPushButtonRatherThanTheDefault) {
    // Enter goes to the default button when this program loses the focus to
    // another one on the display; only a run that kept it tells.
    bool helpPressed = false;
    for (int attempt = 0; attempt < 3 && !helpPressed; ++attempt) {
        DialogForm d;
        d.form->SetActiveControl(d.help);
        d.form->HandleNeeded();
        PostKey(d.help->Handle(), VK_RETURN);
        PostMessageA(d.cancel->Handle(), BM_CLICK, 0, 0);
        int result = d.form->ShowModal();
        helpPressed = result == mrCancel && d.helpClicks == 1 && d.okClicks == 0;
        if (!helpPressed) continue;
        // With the focus gone the default button looks like one again.
        EXPECT_TRUE(GetWindowLongA(d.ok->Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON);
        EXPECT_FALSE(GetWindowLongA(d.help->Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON);
    }
    EXPECT_TRUE(helpPressed);
}

TEST(Keyboard, AMemoTakesEnterAsALineBreakButEscStillCancels) {
    DialogForm d;
    d.form->SetActiveControl(d.memo);
    d.form->HandleNeeded();
    d.memo->SetText("a");
    d.memo->SetSelStart(1);
    PostKey(d.memo->Handle(), VK_RETURN);
    PostMessageA(d.memo->Handle(), WM_CHAR, '\r', 1);
    PostKey(d.memo->Handle(), VK_ESCAPE);
    EXPECT_EQ(d.form->ShowModal(), mrCancel);
    EXPECT_EQ(d.okClicks, 0);
    EXPECT_EQ(d.memo->Text(), "a\r\n");
}

TEST(Keyboard, HalfADoubleByteCharacterIsNoAccessKey) {
    DialogForm d;
    d.form->Show();
    // ウ is 0x83 0x43 and ゴ 0x83 0x4F: their trail bytes read "C" and "O".
    const std::pair<UINT, WPARAM> chars[] = {{WM_IME_CHAR, 0x8343}, {WM_CHAR, 0x83}, {WM_CHAR, 0x4F}, {WM_CHAR, 'h'}};
    for (const auto& [msg, code] : chars) PostMessageA(d.help->Handle(), msg, code, 1);
    EXPECT_TRUE(WaitFor([&] { return d.helpClicks == 1; })) << "the next letter is read as one";
    ctltest::Settle();
    EXPECT_EQ(d.okClicks + d.cancelClicks, 0);
}

TEST(Keyboard, TabAndShiftTabWalkTheControlsThroughGroupBoxes) {
    DialogForm d;
    d.form->Show();
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(d.form->Handle()) != 0; }));
    const std::vector<TWinControl*> order{d.edit, d.memo, d.ok, d.cancel, d.help, d.edit};
    for (size_t i = 0; i + 1 < order.size(); ++i)
        EXPECT_TRUE(ctltest::TabStep(order[i], order[i + 1])) << i;
    EXPECT_TRUE(ctltest::TabStep(d.edit, d.help, true));
    EXPECT_TRUE(ctltest::TabStep(d.ok, d.memo, true));
    // The tab order decides, not the order of creation: help right after
    // the group box.
    d.help->SetTabOrder(1);
    EXPECT_TRUE(ctltest::TabStep(d.edit, d.help));
    // The dialog manager's own request moves along the same order.
    SendMessageA(d.form->Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(d.memo->Handle()), TRUE);
    EXPECT_TRUE(d.memo->Focused());
    SendMessageA(d.form->Handle(), WM_NEXTDLGCTL, 1, FALSE);
    EXPECT_TRUE(d.help->Focused());
    SendMessageA(d.form->Handle(), WM_NEXTDLGCTL, 0, FALSE);
    EXPECT_TRUE(d.memo->Focused());
    d.form->Hide();
}

TEST(TEdit, OnChangeComesThroughTheGroupBoxAndTabEntrySelectsAll) {
    DialogForm d;
    std::vector<std::string> seen;
    d.edit->OnChange = [&](TObject* s) { seen.push_back(static_cast<TEdit*>(s)->Text()); };
    d.form->Show();
    d.edit->SetText("abc");
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), "abc");
    seen.clear();
    d.memo->SetFocus();
    d.edit->SetFocus();
    EXPECT_EQ(d.edit->SelStart(), 0);
    EXPECT_EQ(d.edit->SelLength(), 3);
    d.edit->SetSelStart(3);
    SendMessageA(d.edit->Handle(), WM_CHAR, 'd', 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "abcd");
    d.form->Hide();
}

TEST(TEdit, ReadOnlyAndMaxLengthReachTheWindow) {
    DialogForm d;
    d.edit->SetReadOnly(true);
    d.edit->SetMaxLength(4);
    d.form->HandleNeeded();
    EXPECT_TRUE(GetWindowLongA(d.edit->Handle(), GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(SendMessageA(d.edit->Handle(), EM_GETLIMITTEXT, 0, 0), 4);
    d.edit->SetReadOnly(false);
    EXPECT_FALSE(GetWindowLongA(d.edit->Handle(), GWL_STYLE) & ES_READONLY);
    d.edit->SetText("");
    SendMessageA(d.edit->Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("123456"));
    EXPECT_EQ(d.edit->Text(), "1234");
    // Typing on past the box's right edge: the text scrolls.
    d.edit->SetMaxLength(0);
    d.edit->SetText("");
    d.edit->SetWidth(40);
    for (char c : std::string("C:\\Program Files\\Tools\\app.exe")) SendMessageA(d.edit->Handle(), WM_CHAR, c, 1);
    EXPECT_EQ(d.edit->Text(), "C:\\Program Files\\Tools\\app.exe");
}

TEST(TEdit, ADisabledBoxWithButtonFaceColourShowsGreyTextOnButtonFace) {
    DialogForm d;
    d.edit->SetText("WIN + A");
    d.edit->SetColor(clBtnFace);
    d.edit->SetEnabled(false);
    d.form->Show();
    ctltest::Settle();
    d.edit->Repaint();
    ctltest::Picture pic = ctltest::Capture(d.edit->Handle());
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    int faceCount = pic.Count(face, 0, 0, pic.width, pic.height);
    EXPECT_GT(faceCount, pic.width * pic.height / 2);
    // Text is there, and none of it in the enabled text colour.
    EXPECT_GT(pic.CountOther(face, 0, 0, pic.width, pic.height), 10);
    EXPECT_EQ(pic.Count(GetSysColor(COLOR_WINDOWTEXT), 0, 0, pic.width, pic.height), 0);
    d.form->Hide();
}

TEST(TMemo, LinesAreCrLfTextThatGrowsAtTheEnd) {
    DialogForm d;
    TMemoLines& lines = d.memo->Lines();
    // Before the window exists the lines live in the caption.
    lines.Add("一行目");
    d.form->HandleNeeded();
    lines.Add("二行目");
    EXPECT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines.Strings(1), "二行目");
    EXPECT_EQ(lines.Text(), "一行目\r\n二行目\r\n");
    EXPECT_EQ(d.memo->Text(), "一行目\r\n二行目\r\n");
    EXPECT_THROW(lines.Strings(2), Exception);
    d.memo->SetText("open");
    lines.Add("next");
    EXPECT_EQ(d.memo->Text(), "open\r\nnext\r\n");
    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);
    // Far beyond the old 30000-character default limit of edit boxes.
    std::string line(100, 'x');
    for (int i = 0; i < 400; ++i) lines.Add(line);
    EXPECT_EQ(lines.Count(), 400);
}

TEST(TMemo, ScrollBarsAndWordWrapShapeTheWindowAndKeepTheText) {
    DialogForm d;
    d.form->Show();
    d.memo->SetText("keep");
    d.memo->SetWordWrap(false);
    d.memo->SetScrollBars(ssBoth);
    LONG style = GetWindowLongA(d.memo->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_HSCROLL);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_EQ(d.memo->Text(), "keep");
    d.memo->SetWordWrap(true);
    style = GetWindowLongA(d.memo->Handle(), GWL_STYLE);
    // The new window keeps its place in the tab order: right after the group box.
    EXPECT_EQ(GetWindow(d.memo->Handle(), GW_HWNDPREV), d.group->Handle());
    EXPECT_FALSE(style & WS_HSCROLL);
    EXPECT_FALSE(style & ES_AUTOHSCROLL);
    EXPECT_EQ(d.memo->Text(), "keep");
}

TEST(TComboBox, EntriesCarryDataAndOnlyTheUserRaisesOnChange) {
    auto* form = new TForm(Application);
    auto* cb = new TComboBox(form);
    const char* keys[] = {"A", "B", "C", "F1"};
    const intptr_t codes[] = {0x41, 0x42, 0x43, 0x70};
    // Entries added before the window exists reach it.
    cb->AddItem(keys[0], codes[0]);
    cb->AddItem(keys[1], codes[1]);
    cb->SetParent(form);
    cb->SetBounds(8, 8, 89, 20);
    cb->AddItem(keys[2], codes[2]);
    cb->AddItem(keys[3], codes[3]);
    int changes = 0;
    cb->OnChange = [&](TObject*) { ++changes; };
    form->Show();
    HWND wnd = cb->Handle();
    EXPECT_EQ(SendMessageA(wnd, CB_GETCOUNT, 0, 0), 4);
    EXPECT_TRUE(GetWindowLongA(wnd, GWL_STYLE) & CBS_DROPDOWNLIST);
    EXPECT_EQ(cb->ItemIndex(), -1);
    EXPECT_EQ(cb->Text(), "");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(cb->ItemText(i), keys[i]);
        EXPECT_EQ(cb->ItemData(i), codes[i]);
        EXPECT_EQ(SendMessageA(wnd, CB_GETITEMDATA, i, 0), codes[i]);
    }
    cb->SetItemIndex(3);
    EXPECT_EQ(cb->Text(), "F1");
    EXPECT_EQ(SendMessageA(wnd, CB_GETCURSEL, 0, 0), 3);
    cb->SetText("");
    EXPECT_EQ(cb->ItemIndex(), -1);
    EXPECT_EQ(cb->Text(), "");
    cb->SetText("B");
    EXPECT_EQ(cb->ItemIndex(), 1);
    cb->SetText("no such key");
    EXPECT_EQ(cb->ItemIndex(), -1);
    EXPECT_EQ(changes, 0);
    EXPECT_THROW(cb->ItemData(4), Exception);

    // The user moves the selection with the keyboard.
    cb->SetItemIndex(0);
    cb->SetFocus();
    PostKey(wnd, VK_DOWN);
    EXPECT_TRUE(WaitFor([&] { return changes == 1; }));
    EXPECT_EQ(cb->ItemIndex(), 1);
    EXPECT_EQ(cb->Text(), "B");
    EXPECT_EQ(cb->ItemData(cb->ItemIndex()), 0x42);
    delete form;
}

namespace {

// A label that draws its own way, as the shadow label does.
struct TBlueLabel : TLabel {
    using TLabel::TLabel;
    int paints = 0;
    void Paint(TCanvas& canvas) override {
        ++paints;
        canvas.SetBrushColor(clBlue);
        canvas.FillRect(ClientRect());
    }
};

struct Columns {
    int first = -1, last = -1;
};

// The leftmost and rightmost columns that hold pixels of colour c.
Columns ColumnsOf(const ctltest::Picture& pic, COLORREF c) {
    Columns cols;
    for (int x = 0; x < pic.width; ++x)
        for (int y = 0; y < pic.height; ++y)
            if (pic.Color(x, y) == c) {
                if (cols.first < 0) cols.first = x;
                cols.last = x;
            }
    return cols;
}

}  // namespace

TEST(TLabel, DrawsItsCaptionAlignedInItsFontColourOnItsColour) {
    auto* form = new TForm(Application);
    form->SetClientSize(300, 200);
    auto* lb = new TLabel(form);
    lb->SetParent(form);
    lb->SetAutoSize(false);
    lb->SetBounds(10, 10, 240, 20);
    lb->SetColor(clWhite);
    lb->Font().SetColor(clBlack);
    lb->SetCaption("『Windowsキーをもっと使おう』");
    form->Show();
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    Columns left, right, centre;
    for (TAlignment a : {taLeftJustify, taRightJustify, taCenter}) {
        lb->SetAlignment(a);
        lb->Repaint();
        ctltest::Picture pic = ctltest::Capture(lb->Handle());
        EXPECT_EQ(pic.Color(pic.width - 1, pic.height - 1), white);
        Columns c = ColumnsOf(pic, black);
        ASSERT_GE(c.first, 0) << a;
        (a == taLeftJustify ? left : a == taRightJustify ? right : centre) = c;
    }
    EXPECT_LE(left.first, 2);
    EXPECT_GE(right.last, 240 - 3);
    int width = left.last - left.first;
    EXPECT_NEAR(right.last - right.first, width, 1);
    EXPECT_NEAR(centre.first, (240 - width) / 2, 2);

    // Disabled: no text in the font's colour any more.
    lb->SetEnabled(false);
    lb->Repaint();
    ctltest::Picture off = ctltest::Capture(lb->Handle());
    EXPECT_EQ(off.Count(black, 0, 0, off.width, off.height), 0);
    EXPECT_GT(off.Count(GetSysColor(COLOR_BTNSHADOW), 0, 0, off.width, off.height), 10);
    delete form;
}

TEST(TLabel, TransparentShowsTheParentAndWordWrapBreaksLines) {
    auto* form = new TForm(Application);
    form->SetClientSize(300, 200);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 300, 200);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clRed);
    auto* lb = new TLabel(form);
    lb->SetParent(panel);
    lb->SetAutoSize(false);
    lb->SetBounds(10, 10, 100, 60);
    lb->SetColor(clWhite);
    lb->SetTransparent(true);
    lb->SetWordWrap(true);
    lb->Font().SetColor(clBlack);
    lb->SetCaption("one two three four five six seven");
    form->Show();
    lb->Repaint();
    ctltest::Picture pic = ctltest::Capture(lb->Handle());
    EXPECT_EQ(pic.Count(RGB(255, 255, 255), 0, 0, pic.width, pic.height), 0);
    EXPECT_EQ(pic.Color(pic.width - 1, pic.height - 1), RGB(255, 0, 0));
    int lines = 0;
    bool inText = false;
    for (int y = 0; y < pic.height; ++y) {
        bool has = pic.Count(RGB(0, 0, 0), 0, y, pic.width, y + 1) > 0;
        if (has && !inText) ++lines;
        inText = has;
    }
    EXPECT_GE(lines, 2);

    // A derived label's Paint replaces the drawing.
    auto* blue = new TBlueLabel(form);
    blue->SetParent(panel);
    blue->SetBounds(150, 150, 30, 20);
    blue->Repaint();
    EXPECT_GT(blue->paints, 0);
    EXPECT_EQ(ctltest::Capture(blue->Handle()).Color(5, 5), RGB(0, 0, 255));
    delete form;
}

TEST(TLabel, AutoSizeFitsTheText) {
    auto* form = new TForm(Application);
    auto* lb = new TLabel(form);
    lb->SetParent(form);
    form->HandleNeeded();
    lb->SetCaption("Version");
    int shortWidth = lb->Width();
    lb->SetCaption("Version 0.5 Release 1 Build(77)");
    EXPECT_GT(lb->Width(), shortWidth * 2);
    EXPECT_GT(lb->Height(), 8);
    lb->SetAutoSize(false);
    lb->SetBounds(0, 0, 10, 10);
    lb->SetCaption("Version");
    EXPECT_EQ(lb->Width(), 10);
    delete form;
}

TEST(TGroupBox, PaintsItsInsideAndPassesNotificationsToItsChildren) {
    auto* form = new TForm(Application);
    form->SetClientSize(300, 120);
    form->SetColor(clRed);
    auto* gb = new TGroupBox(form);
    gb->SetParent(form);
    gb->SetCaption("実行するコマンド(&C)");
    gb->SetBounds(0, 8, 280, 100);
    auto* edit = new TEdit(form);
    edit->SetParent(gb);
    edit->SetBounds(8, 16, 100, 20);
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    form->Show();
    EXPECT_TRUE(GetWindowLongA(gb->Handle(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    gb->Repaint();
    edit->Repaint();
    ctltest::Picture pic = ctltest::Capture(gb->Handle());
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    // The empty inside and the strip beside the caption are button face.
    EXPECT_EQ(pic.CountOther(face, 150, 40, 250, 90), 0);
    EXPECT_EQ(pic.Count(RGB(255, 0, 0), 0, 0, pic.width, pic.height), 0);
    // The caption's text is drawn.
    EXPECT_GT(pic.CountOther(face, 8, 0, 100, 12), 10);
    SendMessageA(edit->Handle(), WM_CHAR, 'x', 1);
    EXPECT_EQ(changes, 1);
    delete form;
}

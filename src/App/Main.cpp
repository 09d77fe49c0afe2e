#include "App/Main.h"

#include <shlobj.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "App/LaunchLogic.h"
#include "App/ListPageLogic.h"
#include "App/StartProfile.h"
#include "Controls/Shadolbl.h"
#include "Controls/Ytrayicon.h"
#include "Framework/Dialogs.h"
#include "Framework/Exception.h"
#include "Framework/Handles.h"
#include "Framework/Locale.h"
#include "Framework/Scaling.h"
#include "Framework/SysUtils.h"
#include "Framework/SystemLibrary.h"
#include "Hotkey/HookHotKey.h"
#include "Lib/Inifileex.h"
#include "Lib/InifileexLayout.h"
#include "Lib/Kestrlib.h"
#include "Version/AVerInfo.h"

const char MainSource[] = "C:\\Prj\\App\\Keyvane\\Main";
const char HomePageUrl[] = "https://keyvane.sourceforge.io/";

TFormMain* FormMain = nullptr;
TIniFileEx* IniFile = nullptr;
THookHotKey* HookHotKey = nullptr;
THtmlHelpProc HtmlHelpProc = nullptr;
TShellExecuteProc ShellExecuteProc = ShellExecuteA;
TShellExecuteExProc ShellExecuteExProc = ShellExecuteExA;

namespace {

// The window's rectangle as the settings file stores it: at 96 pixels per
// inch, the numbers the system shows a program that does not scale itself,
// so that a file keeps its meaning when the scaling changes.
class TFormBounds : public IBounds {
public:
    explicit TFormBounds(TForm& form) : FForm(form) {}
    int Left() const override { return Stored().Left; }
    int Top() const override { return Stored().Top; }
    int Width() const override { return Stored().Width; }
    int Height() const override { return Stored().Height; }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override {
        const TWindowBounds b =
            ScaleBounds(TWindowBounds{ALeft, ATop, AWidth, AHeight}, FForm.PixelsPerInch(), DesignPixelsPerInch);
        FForm.SetBounds(b.Left, b.Top, b.Width, b.Height);
    }

private:
    TWindowBounds Stored() const {
        return ScaleBounds(TWindowBounds{FForm.Left(), FForm.Top(), FForm.Width(), FForm.Height()},
                           DesignPixelsPerInch, FForm.PixelsPerInch());
    }
    TForm& FForm;
};

// The grid's column widths as the settings file stores them, at 96 pixels
// per inch as the window's rectangle. A width read back stays between 0 and
// the screen's width: a wider column would push its own edge, and the columns
// after it, out of reach.
class TStoredColWidths : public IColWidths {
public:
    TStoredColWidths(TDrawGrid& grid, int pixelsPerInch) : FGrid(grid), FPixelsPerInch(pixelsPerInch) {}
    int ColCount() const override { return FGrid.ColCount(); }
    int ColWidth(int Index) const override {
        return KvMulDiv(FGrid.ColWidths(Index), DesignPixelsPerInch, FPixelsPerInch);
    }
    void SetColWidth(int Index, int Width) override {
        const int screen = TScreen::Width();
        const int scaled = KvMulDiv(std::clamp(Width, 0, screen), FPixelsPerInch, DesignPixelsPerInch);
        FGrid.SetColWidths(Index, std::min(scaled, screen));
    }

private:
    TDrawGrid& FGrid;
    int FPixelsPerInch;
};

// The smallest size a stored place is raised to (a hand-edited file): the
// framework's default size for a form, which shows the list, most of its
// buttons and the page tabs. Sizes above it are the user's own choice.
constexpr int MinFormWidth = 400;
constexpr int MinFormHeight = 300;

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Shows the error report of a line without ending the operation that found it.
void ReportAt(TObject* sender, int line) {
    try {
        RaiseAt(MainSource, line);
    } catch (...) {
        Application->HandleException(sender);
    }
}

TButton* MakeButton(TFormMain* form, TWinControl* parent, int left, const std::string& caption, int tag,
                    void (TFormMain::*handler)(TObject*)) {
    auto* b = new TButton(form);
    b->SetBounds(left, 8, 75, 25);
    b->SetCaption(caption);
    b->SetTag(tag);
    b->OnClick = [form, handler](TObject* sender) { (form->*handler)(sender); };
    b->SetParent(parent);
    return b;
}

// Gives a control a font of its own, never its parent's, even where the
// values equal a new font's defaults. charHeight is the character height in
// pixels; a font's height value holds it negated (a positive value would be
// the taller cell height and draw the text smaller).
void SetFont(TWinControl& control, const char* name, int charHeight, int charset, TColor color,
             unsigned style = 0) {
    control.SetParentFont(false);
    TFont& font = control.Font();
    font.SetName(name);
    font.SetHeight(-charHeight);
    font.SetCharset(charset);
    font.SetColor(color);
    font.SetStyle(style);
}

}  // namespace

TFormMain::TFormMain(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormMain");
    SetCaption("Keyvane");
    SetBounds(220, 201, 696, 478);
    SetMinimumSize(MinFormWidth, MinFormHeight);
    SetFont(*this, "ＭＳ Ｐゴシック", 12, SHIFTJIS_CHARSET, clWindowText);
    Icon().LoadFromResourceName("MAINICON", GetSystemMetrics(SM_CXICON));
    SmallIcon().LoadFromResourceName("MAINICON", GetSystemMetrics(SM_CXSMICON));
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnDestroy = [this](TObject* s) { FormDestroy(s); };
    OnCloseQuery = [this](TObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
    OnShow = [this](TObject* s) { FormShow(s); };

    PageControl1 = new TPageControl(this);
    PageControl1->SetAlign(alClient);
    PageControl1->SetParent(this);
    BuildListPage();
    StartPhaseEnd("main window: list page");
    BuildVersionPage();
    PageControl1->SetActivePage(TabSheet1);
    StartPhaseEnd("main window: version page");

    AVerInfo1 = new TAVerInfo(this);
    AVerInfo1->SetShowVer(true);
    StartPhaseEnd("main window: version reader");
    BuildTrayIcon();
    StartPhaseEnd("main window: tray icon added");
}

TFormMain::~TFormMain() {
    // The framework saves through OnDestroy; a window torn down without it
    // still hands back what it holds without losing the settings.
    SaveAndRelease();
    if (FormMain == this) FormMain = nullptr;
}

void TFormMain::BuildListPage() {
    TabSheet1 = new TTabSheet(this);
    TabSheet1->SetCaption("プログラム登録");
    TabSheet1->SetPageControl(PageControl1);

    Panel1 = new TPanel(this);
    Panel1->SetHeight(41);
    Panel1->SetAlign(alBottom);
    Panel1->SetParent(TabSheet1);
    btnEdit = MakeButton(this, Panel1, 16, "編集(&E)", 1, &TFormMain::btnEditClick);
    btnAdd = MakeButton(this, Panel1, 96, "追加(&A)", 0, &TFormMain::btnAddClick);
    btnDelete = MakeButton(this, Panel1, 176, "削除(&E)", 1, &TFormMain::btnDeleteClick);
    btnUp = MakeButton(this, Panel1, 256, "↑上へ(&U)", 0, &TFormMain::btnUpClick);
    btnDown = MakeButton(this, Panel1, 336, "↓下へ(&D)", 0, &TFormMain::btnDownClick);
    btnEdit->SetTabOrder(0);
    btnAdd->SetTabOrder(1);
    btnDelete->SetTabOrder(2);
    btnUp->SetTabOrder(3);
    btnDown->SetTabOrder(4);

    Panel2 = new TPanel(this);
    Panel2->SetAlign(alClient);
    Panel2->SetColor(clWindow);
    Panel2->SetBevelInner(bvLowered);
    Panel2->SetBevelOuter(bvRaised);
    Panel2->SetCaption("登録されているアイテムはありません｡『追加』を押してアイテムを追加してください｡");
    Panel2->SetParent(TabSheet1);

    Grid = new TDrawGrid(this);
    Grid->SetDefaultRowHeight(20);
    Grid->SetFixedRows(1);
    Grid->SetFixedCols(1);
    Grid->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goRangeSelect | goDrawFocusSelected |
                     goColSizing);
    Grid->SetHint("GridContents");
    Grid->SetShowHint(true);
    // The columns are set up here as well as by the creation handler, so the
    // page looks right even when the creation stopped before it got there.
    Grid->SetAlign(alClient);
    Grid->SetColCount(7);
    Grid->SetColWidths(0, 20);
    Grid->SetColWidths(6, 0);
    Grid->OnDrawCell = [this](TObject* s, int c, int r, RECT rect, TGridDrawState st) {
        GridDrawCell(s, c, r, rect, st);
    };
    Grid->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { GridMouseMove(s, sh, x, y); };
    Grid->SetParent(Panel2);
}

void TFormMain::BuildVersionPage() {
    TabSheet2 = new TTabSheet(this);
    TabSheet2->SetCaption("バージョン情報");
    SetFont(*TabSheet2, "MS UI Gothic", 16, SHIFTJIS_CHARSET, clWindowText);
    TabSheet2->SetPageControl(PageControl1);

    // Created before the base panel so that it lies above it.
    InfoPanel = new TPanel(this);
    InfoPanel->SetBounds(88, 96, 481, 177);
    InfoPanel->SetBevelInner(bvRaised);
    InfoPanel->SetBevelOuter(bvRaised);
    InfoPanel->SetParent(TabSheet2);

    BasePanel = new TPanel(this);
    BasePanel->SetAlign(alClient);
    BasePanel->SetBevelInner(bvLowered);
    BasePanel->SetBevelOuter(bvLowered);
    BasePanel->SetColor(clBtnShadow);
    BasePanel->OnResize = [this](TObject* s) { BasePanelResize(s); };
    BasePanel->SetParent(TabSheet2);

    ShadowLabel1 = new TShadowLabel(this);
    ShadowLabel1->SetBounds(16, 24, 122, 45);
    ShadowLabel1->SetCaption("Keyvane");
    SetFont(*ShadowLabel1, "Comic Sans MS", 32, ANSI_CHARSET, clRed);
    ShadowLabel1->Highlight().SetShadowColor(clWhite);
    ShadowLabel1->Highlight().SetShadowLeft(-1);
    ShadowLabel1->Highlight().SetShadowTop(-1);
    ShadowLabel1->Highlight().SetShadowVisible(true);
    ShadowLabel1->Shadow().SetShadowColor(clBlue);
    ShadowLabel1->Shadow().SetShadowLeft(1);
    ShadowLabel1->Shadow().SetShadowTop(1);
    ShadowLabel1->Shadow().SetShadowVisible(true);
    ShadowLabel1->SetParent(InfoPanel);

    lbVersion = new TShadowLabel(this);
    lbVersion->SetBounds(148, 42, 71, 24);
    lbVersion->SetCaption("Version");
    SetFont(*lbVersion, "Terminal", 21, ANSI_CHARSET, clBlack);
    lbVersion->Highlight().SetShadowColor(clWhite);
    lbVersion->Highlight().SetShadowLeft(-1);
    lbVersion->Highlight().SetShadowTop(-1);
    lbVersion->Highlight().SetShadowVisible(false);
    lbVersion->Shadow().SetShadowColor(clBlue);
    lbVersion->Shadow().SetShadowLeft(1);
    lbVersion->Shadow().SetShadowTop(1);
    lbVersion->Shadow().SetShadowVisible(false);
    lbVersion->SetParent(InfoPanel);

    Label1 = new TLabel(this);
    Label1->SetAutoSize(false);
    Label1->SetBounds(29, 78, 276, 19);
    Label1->SetCaption("『Windowsキーをもっと使おう』");
    SetFont(*Label1, "ＭＳ Ｐゴシック", 19, SHIFTJIS_CHARSET, clWindowText, fsBold | fsItalic);
    Label1->SetParent(InfoPanel);

    Label2 = new TLabel(this);
    Label2->SetBounds(41, 104, 241, 23);
    Label2->SetCaption("Copyright (C) Keyvane Project");
    SetFont(*Label2, "Comic Sans MS", 16, ANSI_CHARSET, clWindowText);
    Label2->SetParent(InfoPanel);

    Button3 = new TButton(this);
    Button3->SetBounds(384, 144, 75, 25);
    Button3->SetCaption("OK(&O)");
    Button3->SetDefault(true);
    SetFont(*Button3, "MS UI Gothic", 12, SHIFTJIS_CHARSET, clWindowText);
    Button3->OnClick = [this](TObject* s) { Button3Click(s); };
    Button3->SetParent(InfoPanel);

    Button5 = new TButton(this);
    Button5->SetBounds(168, 144, 211, 25);
    Button5->SetCaption("最新版をダウンロード(&D)");
    SetFont(*Button5, "MS UI Gothic", 12, SHIFTJIS_CHARSET, clWindowText);
    Button5->OnClick = [this](TObject* s) { Button5Click(s); };
    Button5->SetParent(InfoPanel);
    Button3->SetTabOrder(0);
    Button5->SetTabOrder(1);
}

void TFormMain::BuildTrayIcon() {
    PopupMenu1 = new TPopupMenu(this);
    auto addItem = [this](const char* caption, void (TFormMain::*handler)(TObject*)) {
        auto* item = new TMenuItem(this);
        item->SetCaption(caption);
        item->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
        PopupMenu1->Items()->Add(item);
        return item;
    };
    R1 = addItem("スタートアップに登録(&R)", &TFormMain::R1Click);
    C1 = addItem("設定(&C)", &TFormMain::C1Click);
    Help1 = addItem("ヘルプ(&H)", &TFormMain::Help1Click);
    Exit1 = addItem("終了(&X)", &TFormMain::Exit1Click);

    // Read like a form description: the icon goes to the notification area
    // once every property is in place.
    yTrayIcon1 = new TyTrayIcon(this);
    // Its callback window is a child of this window, so this window gets its
    // handle here; its controls get theirs when it is first shown.
    StartPhaseEnd("main window: display driver's first window");
    yTrayIcon1->BeginLoading();
    yTrayIcon1->Icon().LoadFromResourceName("TRAYICON", GetSystemMetrics(SM_CXSMICON));
    yTrayIcon1->SetTipHelp("Keyvane");
    yTrayIcon1->RBPopupMenu = PopupMenu1;
    yTrayIcon1->OnDblClick = [this](TObject* s) { yTrayIcon1DblClick(s); };
    yTrayIcon1->SetVisible(true);
    yTrayIcon1->Loaded();
}

// ---------------------------------------------------------------- creation

void TFormMain::FormCreate(TObject*) {
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = true; }
    } done{FCreateDone};
    {
        TLibrary help(LoadSystemLibrary("hhctrl.ocx"));
        if (!help) RaiseAt(MainSource, 43);
        FARPROC proc = GetProcAddress(help.Get(), "HtmlHelpA");
        if (!proc) RaiseAt(MainSource, 43);
        HtmlHelpProc = reinterpret_cast<THtmlHelpProc>(reinterpret_cast<void*>(proc));
        // The help library stays loaded for the life of the process.
        help.Release();
    }
    StartPhaseEnd("help library: hhctrl.ocx and its imports");

    const std::string exe = Application->ExeName();
    const std::string iniName = ChangeFileExt(exe, ".ini");
    const std::string legacyName = ChangeFileExt(exe, "ini");
    if (FileExists(legacyName) && !MoveFileA(legacyName.c_str(), iniName.c_str())) RaiseAt(MainSource, 52);

    FIniFile = std::make_unique<TIniFileEx>(iniName);
    IniFile = FIniFile.get();
    StartPhaseEnd("settings file read");

    HookHotKey = new THookHotKey(this);
    HookHotKey->SetOnHotKey([this](TObject* s, int index) { HotKeyPressed(s, index); });
    StartPhaseEnd("registrar window");

    std::exception_ptr stopped;
    try {
        LoadItems();
    } catch (...) {
        stopped = std::current_exception();
    }
    StartPhaseEnd("items");
    if (!stopped) {
        ApplyLayout();
        StartPhaseEnd("layout applied");
        return;
    }
    // The stored layout is applied all the same: it is written back at the
    // end, and the user's column widths and window place must not give way to
    // the defaults because an item section was broken.
    try {
        ApplyLayout();
    } catch (...) {
        Application->HandleException(this);
    }
    std::rethrow_exception(stopped);
}

void TFormMain::ApplyLayout() {
    Grid->SetAlign(alClient);
    Grid->SetColCount(7);
    Grid->SetColWidths(0, KvMulDiv(20, PixelsPerInch(), DesignPixelsPerInch));
    TStoredColWidths widths(*Grid, PixelsPerInch());
    try {
        IniFile->ReadColWidths(Name(), ColWidthsIdent, widths);
    } catch (...) {
        Grid->SetColWidths(6, 0);
        throw;
    }
    // The identifier column stays hidden whatever the file says.
    Grid->SetColWidths(6, 0);

    TFormBounds bounds(*this);
    IniFile->ReadBounds(Name(), FormRectIdent, bounds);
    // A place on a monitor that has gone since comes back onto one that is
    // here, once scaled to this screen.
    KeepOnScreen();
}

void TFormMain::LoadItems() {
    const std::vector<std::string> sections = ItemSections(*IniFile);
    for (size_t i = 0; i < sections.size(); ++i) AddItem();
    // Numbers that give the order load whatever the gaps (a section removed
    // by hand); the save numbers the items without gaps again.
    const bool ordered = ItemNumbersGiveTheOrder(sections);
    const TItemRegistrar registrar = Registrar();
    int loaded = 0;
    try {
        for (int i = 0; i < ItemCount(); ++i) {
            const std::string& section = sections[static_cast<size_t>(i)];
            const int index = ordered ? i : ItemSectionIndex(section);
            // ItemAt goes before the number check, and users see the order: a
            // number beyond the list is the list-index error, a number within
            // it but out of place line 93. The check comes before the record is
            // filled, so that a misnumbered section never overwrites an item
            // loaded from its rightful one.
            LaunchItem* item = ItemAt(index);
            if (index != i) RaiseAt(MainSource, 93);
            {
                TStartPhaseTime reading("item sections read");
                const TItemTexts texts = ReadItemTexts(*IniFile, section);
                item->Name = texts.Name;
                item->ShortCut = texts.ShortCut;
                item->Command = texts.Command;
                item->Params = texts.Params;
                item->Path = texts.Path;
            }
            int refused = 0;
            {
                TStartPhaseTime registering("keys converted and registered");
                refused = RegisterItemHotKey(*item, NewHotKeyId(), registrar);
            }
            // Another program holds the key: the item stays, without a
            // registration, and the items after it still load.
            if (refused != 0) ReportAt(this, 96);
            loaded = i + 1;
        }
    } catch (...) {
        // Records the stopped load never filled are no items.
        FItems.resize(static_cast<size_t>(loaded));
        throw;
    }
    FItemsLoaded = true;
}

// ---------------------------------------------------------------- ending

void TFormMain::FormDestroy(TObject*) { SaveAndRelease(); }

void TFormMain::SaveSettings() {
    if (!IniFile) return;
    try {
        TStoredColWidths widths(*Grid, PixelsPerInch());
        IniFile->WriteColWidths(Name(), ColWidthsIdent, widths);
        TFormBounds bounds(*this);
        IniFile->WriteBounds(Name(), FormRectIdent, bounds);
        SaveItems();
    } catch (...) {
        Application->HandleException(this);
    }
    // Written here rather than by the object's release, so that a failure is
    // reported and nothing is left to write afterwards. The file is replaced
    // in one step: a failed write leaves the previous one.
    try {
        FIniFile->UpdateFile();
    } catch (...) {
        Application->HandleException(this);
    }
}

void TFormMain::SaveAndRelease() {
    if (FSaved) return;
    FSaved = true;
    if (!FSavedForEnd) SaveSettings();
    if (HookHotKey) {
        for (const auto& item : FItems) {
            // An item whose key was refused holds no registration to give back.
            if (item->HotKeyId >= 0 && !HookHotKey->Delete(item->HotKeyId)) ReportAt(this, 132);
        }
    }
    ReleaseObjects();
}

void TFormMain::SaveItems() {
    // A load that stopped left part of the file unread: its item sections stay
    // exactly as they are, and only the window's layout is written.
    if (!FItemsLoaded) return;
    // Every item section was read into the list, so all of them can go.
    std::vector<TItemTexts> items;
    items.reserve(FItems.size());
    for (const auto& item : FItems)
        items.push_back(TItemTexts{item->Name, item->ShortCut, item->Command, item->Params, item->Path});
    WriteItemSections(*IniFile, items);
}

void TFormMain::ReleaseObjects() {
    FItems.clear();
    // An owned component may go before its owner; it leaves the owner's list.
    delete HookHotKey;
    HookHotKey = nullptr;
    // SaveSettings wrote the file last: the release has nothing left to write.
    FIniFile.reset();
    IniFile = nullptr;
}

void TFormMain::WndProc(TMessage& Message) {
    if (Message.Msg == WM_QUERYENDSESSION) {
        WMQueryEndSession(Message);
        return;
    }
    if (Message.Msg == WM_ENDSESSION) {
        WMEndSession(Message);
        return;
    }
    TForm::WndProc(Message);
}

void TFormMain::WMQueryEndSession(TMessage& Message) {
    // Answered here: the close query would refuse and block the logoff.
    Message.Result = 1;
    // Another program may still refuse the logoff, so the program keeps
    // running with everything loaded. Windows may end the process as soon as
    // the logon ends, so the settings are written now. A query that slips in
    // while the window is still loading (through the shell's reply to the
    // tray icon, or an error box of the loading) writes nothing: the layout
    // and the items are not all in place yet, and the window's destruction
    // saves at the end.
    if (!FCreateDone || FSaved) return;
    SaveSettings();
    FSavedForEnd = true;
}

void TFormMain::WMEndSession(TMessage& Message) {
    Message.Result = 0;
    if (Message.WParam) {
        Application->Terminate();
        return;
    }
    // The logoff was cancelled: the program goes on, and its end writes again.
    FSavedForEnd = false;
}

void TFormMain::FormCloseQuery(TObject*, bool& CanClose) {
    CanClose = false;
    Hide();
}

void TFormMain::Exit1Click(TObject*) { Application->Terminate(); }

// ---------------------------------------------------------------- the item list

int TFormMain::ItemCount() const { return static_cast<int>(FItems.size()); }

LaunchItem* TFormMain::ItemAt(int index) const {
    if (index < 0 || index >= ItemCount()) RaiseListIndexError(index);
    return FItems[static_cast<size_t>(index)].get();
}

void TFormMain::AddItem() {
    try {
        FItems.push_back(std::make_unique<LaunchItem>());
    } catch (const std::bad_alloc&) {
        RaiseAt(MainSource, 280);
    }
}

void TFormMain::ExchangeItems(int i, int j) {
    ItemAt(i);
    ItemAt(j);
    std::swap(FItems[static_cast<size_t>(i)], FItems[static_cast<size_t>(j)]);
}

int TFormMain::NewHotKeyId() const {
    std::vector<int> ids;
    ids.reserve(FItems.size());
    for (const auto& item : FItems) ids.push_back(item->HotKeyId);
    return LowestFreeHotKeyId(std::move(ids));
}

std::string TFormMain::CellText(int column, int row) const {
    const LaunchItem& item = *ItemAt(row - 1);
    switch (column) {
        case 1: return item.Name;
        case 2: return item.ShortCut;
        case 3: return item.Command;
        case 4: return item.Params;
        case 5: return item.Path;
        case 6: return IntToStr(item.HotKeyId);
        default: return std::string();
    }
}

void TFormMain::RefreshList() {
    const bool hasItems = ItemCount() > 0;
    Grid->SetVisible(hasItems);
    if (hasItems) Grid->SetRowCount(ItemCount() + Grid->FixedRows());
    // Changes to a list that can't be saved would be lost at the end, so the
    // buttons go grey after a load that stopped.
    const bool editable = FItemsLoaded && HookHotKey && IniFile;
    for (int i = 0; i < Panel1->ControlCount(); ++i) {
        TWinControl* control = Panel1->Controls(i);
        if (!editable) control->SetEnabled(false);
        else if (control->Tag() == 1) control->SetEnabled(hasItems);
    }
    Grid->Repaint();
}

void TFormMain::ShowLauncher() {
    // A minimised window is not one the user sees: it comes back to its
    // normal place. One the user sees stays as it is, behind others or not.
    if (Visible()) {
        if (WindowState() == wsMinimized) SetWindowState(wsNormal);
        return;
    }
    StartPhaseEnd("first showing");
    Show();
    StartPhaseEnd("first showing: window up");
    StartPhasesWrite();
}

void TFormMain::yTrayIcon1DblClick(TObject*) { ShowLauncher(); }

void TFormMain::C1Click(TObject*) { ShowLauncher(); }

// ---------------------------------------------------------------- launching

namespace {

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Asks the shell to open what WinExec could not start: a document in its
// program, a folder in the file manager, an address in the browser, a program
// that asks for elevation through the system's prompt. False when the shell
// can't either; a prompt the user declined is no failure.
bool OpenWithShell(const LaunchItem& item) {
    const TCommandParts command = SplitCommand(item.Command);
    if (command.File.empty()) return false;
    const std::string params =
        command.Args.empty() ? item.Params : item.Params.empty() ? command.Args : command.Args + " " + item.Params;
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    // The shell reports its failures to us instead of in boxes of its own, and
    // has handed the work on before it returns, while COM is still ours.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = Application->Handle();
    info.lpFile = command.File.c_str();
    info.lpParameters = params.empty() ? nullptr : params.c_str();
    info.lpDirectory = item.Path.empty() ? nullptr : item.Path.c_str();
    info.nShow = SW_SHOW;
    // The file's handler and the elevation prompt may be COM objects.
    const TComInit com;
    if (ShellExecuteExProc(&info)) return true;
    return GetLastError() == ERROR_CANCELLED;
}

}  // namespace

void TFormMain::HotKeyPressed(TObject*, int Index) {
    for (int i = 0; i < ItemCount(); ++i) {
        const LaunchItem* item = ItemAt(i);
        if (item->HotKeyId != Index) continue;
        if (!item->Path.empty() && !SetCurrentDirectoryA(item->Path.c_str())) RaiseAt(MainSource, 339);
        // Built in the item's folder, where a relative command names its file.
        const std::string commandLine = LaunchCommandLine(item->Command, item->Params, PathExists);
        // A longer line would reach the system cut short and start something else.
        if (!CommandLineFits(commandLine)) RaiseAt(MainSource, 341);
        // What WinExec started is never handed to the shell as well.
        if (WinExec(commandLine.c_str(), SW_SHOW) <= 31 && !OpenWithShell(*item)) RaiseAt(MainSource, 341);
    }
}

// ---------------------------------------------------------------- Start-up folder

void TFormMain::R1Click(TObject*) {
    ITEMIDLIST* location = nullptr;
    if (SHGetSpecialFolderLocation(Handle(), CSIDL_STARTUP, &location) < 0) RaiseAt(MainSource, 408);
    TPidl owned(location);
    char folder[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(owned.Get(), folder)) RaiseAt(MainSource, 409);

    const std::string exe = Application->ExeName();
    const std::string link = std::string(folder) + "\\" + ChangeFileExt(ExtractFileName(exe), ".lnk");
    bool registered = false;
    {
        const TComInit com;
        // Only a link to this very program counts as a registration: one left
        // by the program before its folder was moved or renamed would start
        // nothing at logon, so it is written anew. A folder of that name is no
        // link, and writing the link then fails with the report below.
        registered = FileExists(link) && Locale().CompareText(ShellLinkTarget(link), exe) == 0;
        if (!registered && !CreateShellLink(exe, link, Application->Title(), ExtractFilePath(exe)))
            RaiseAt(MainSource, 424);
    }
    ShowMessage(registered ? "すでにスタートアップに登録されています。" : "スタートアップに登録しました。");
}

// ---------------------------------------------------------------- help and version page

void TFormMain::Help1Click(TObject*) {
    if (!HtmlHelpProc) return;
    const std::string topic = ExtractFilePath(Application->ExeName()) + "kyvane.chm::/index.htm";
    HtmlHelpProc(GetDesktopWindow(), topic.c_str(), 0, 0);
}

void TFormMain::FormShow(TObject*) {
    StartPhaseEnd("first showing: controls' windows");
    lbVersion->SetCaption(FormatText("Version %d.%d Release %d Build(%d)", AVerInfo1->GetMajor(),
                                     AVerInfo1->GetMinor(), AVerInfo1->GetRelease(), AVerInfo1->GetBuild()));
    RefreshList();
    StartPhaseEnd("first showing: show handler");
}

void TFormMain::BasePanelResize(TObject*) {
    InfoPanel->SetTop((BasePanel->ClientHeight() - InfoPanel->Height()) / 2);
    InfoPanel->SetLeft((BasePanel->ClientWidth() - InfoPanel->Width()) / 2);
}

void TFormMain::Button3Click(TObject*) { Close(); }

void TFormMain::Button5Click(TObject*) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteProc(Application->Handle(), "open", HomePageUrl, nullptr, ".", SW_SHOWNORMAL));
    if (result <= 32) MessageDlg("表示に失敗しました！\n指定した、URLを確認してください。", mtError, mbOK, 0);
}

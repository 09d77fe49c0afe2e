#pragma once
// The launcher's main window. It owns the item list, the settings file
// object, the hot-key registrar and the tray icon; it loads everything when it
// is created and writes the settings back when the program ends.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "App/LaunchItem.h"
#include "Framework/Classes.h"
#include "Framework/ComCtrls.h"
#include "Framework/Controls.h"
#include "Framework/ExtCtrls.h"
#include "Framework/Forms.h"
#include "Framework/Grids.h"
#include "Framework/Menus.h"
#include "Framework/Messages.h"
#include "Framework/StdCtrls.h"
// ItemSectionPrefix, the beginning of every item section name, comes with
// the settings file layout the window loads and saves.
#include "Lib/InifileexLayout.h"

class TAVerInfo;
class THookHotKey;
class TIniFileEx;
class TShadowLabel;
class TyTrayIcon;
struct TItemRegistrar;

// The "HtmlHelpA" entry point of the help library.
using THtmlHelpProc = HWND(WINAPI*)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);

// The shell's "open" as the version page calls it (ShellExecuteA); tests put
// a recorder in place so that no browser starts.
using TShellExecuteProc = HINSTANCE(WINAPI*)(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                             LPCSTR folder, INT show);
extern TShellExecuteProc ShellExecuteProc;
// The shell's open for what WinExec can't start (ShellExecuteExA); tests put a
// recorder in place to see what a launch hands to the shell.
using TShellExecuteExProc = BOOL(WINAPI*)(SHELLEXECUTEINFOA* info);
extern TShellExecuteExProc ShellExecuteExProc;

// Where the launcher's error reports say they come from.
extern const char MainSource[];
// The product's home page, opened from the version page.
extern const char HomePageUrl[];

class TFormMain : public TForm {
public:
    explicit TFormMain(TComponent* AOwner);
    ~TFormMain() override;
    std::string ClassName() const override { return "TFormMain"; }

    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TPanel* Panel2;
    TDrawGrid* Grid;
    TPanel* Panel1;
    TButton* btnEdit;
    TButton* btnAdd;
    TButton* btnDelete;
    TButton* btnUp;
    TButton* btnDown;
    TTabSheet* TabSheet2;
    TPanel* BasePanel;
    TPanel* InfoPanel;
    TShadowLabel* ShadowLabel1;
    TShadowLabel* lbVersion;
    TLabel* Label1;
    TLabel* Label2;
    TButton* Button3;
    TButton* Button5;
    TAVerInfo* AVerInfo1;
    TPopupMenu* PopupMenu1;
    TMenuItem* R1;
    TMenuItem* C1;
    TMenuItem* Help1;
    TMenuItem* Exit1;
    TyTrayIcon* yTrayIcon1;

    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormShow(TObject* Sender);
    void yTrayIcon1DblClick(TObject* Sender);
    void R1Click(TObject* Sender);
    void C1Click(TObject* Sender);
    void Help1Click(TObject* Sender);
    void Exit1Click(TObject* Sender);
    void HotKeyPressed(TObject* Sender, int Index);
    void BasePanelResize(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button5Click(TObject* Sender);

    // The list page (MainList.cpp).
    void GridDrawCell(TObject* Sender, int ACol, int ARow, RECT Rect, TGridDrawState State);
    void GridMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void btnEditClick(TObject* Sender);
    void btnAddClick(TObject* Sender);
    void btnDeleteClick(TObject* Sender);
    void btnUpClick(TObject* Sender);
    void btnDownClick(TObject* Sender);

    int ItemCount() const;
    LaunchItem* ItemAt(int index) const;
    void AddItem();
    void ExchangeItems(int i, int j);
    int NewHotKeyId() const;
    std::string CellText(int column, int row) const;
    void RefreshList();
    void ShowLauncher();
    // Writes the whole settings file as the end would write it now: the
    // window's place, the column widths and the items. Reports, rather than
    // raises, what goes wrong; the list stays as it is either way.
    void SaveSettings();
    // Writes the settings and releases the settings object and the registrar;
    // does its work once per process and reports, rather than raises, what
    // goes wrong on the way.
    void SaveAndRelease();
    // The end of the logon: the query saves and lets the logon end, and the
    // program keeps running until WM_ENDSESSION says the logon does end.
    virtual void WMQueryEndSession(TMessage& Message);
    virtual void WMEndSession(TMessage& Message);

    // True once every item section of the settings file has been read into the
    // list. Until then the list may hold only part of the file, so the file's
    // item sections are left as they are at the end, and the list page offers
    // no changes that could not be saved.
    bool ItemsLoaded() const { return FItemsLoaded; }

protected:
    void WndProc(TMessage& Message) override;

private:
    void BuildListPage();
    void BuildVersionPage();
    void BuildTrayIcon();
    void LoadItems();
    // The registrar as the item list's bookkeeping sees it; loading and the
    // list page register and release items' hot keys through it alike.
    static TItemRegistrar Registrar();
    void ApplyLayout();
    void SaveItems();
    void ReleaseObjects();

    std::vector<std::unique_ptr<LaunchItem>> FItems;
    std::unique_ptr<TIniFileEx> FIniFile;
    bool FItemsLoaded = false;
    // Set when the creation handler has run, whether or not it stopped.
    bool FCreateDone = false;
    bool FSaved = false;
    // The end-of-session query wrote the file: the end that follows doesn't
    // write (or report a failed write) a second time.
    bool FSavedForEnd = false;
};

extern TFormMain* FormMain;
// The settings file object and the registrar while the main window holds them
// (null before its creation has set them up and after SaveAndRelease).
extern TIniFileEx* IniFile;
extern THookHotKey* HookHotKey;
// Null when the help library could not be loaded.
extern THtmlHelpProc HtmlHelpProc;

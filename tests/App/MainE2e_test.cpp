// End-to-end tests: the real Keyvane.exe, started in a folder of its own with
// a settings file written here, driven from this process.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <functional>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "App/E2eDriver.h"
#include "Framework/Handles.h"
#include "Framework/SysUtils.h"
#include "Lib/IniStoreFile.h"

using namespace e2e;

namespace {

const char Title[] = "Keyvane 『Windowsキーをもっと使おう』";

std::string Report(int line) {
    return "RVX:Exception occured at C:\\Prj\\App\\Keyvane\\Main(" + std::to_string(line) + ").";
}

// A copy of the program (under a name of this test run, so that no other
// running copy shares its single-instance guard) and the probe in a fresh
// folder.
struct TInstall {
    TTempDir Dir;
    std::string Name;
    explicit TInstall(const std::string& tag) : Name("Kv" + tag + std::to_string(GetCurrentProcessId())) {
        CopyFileOrThrow(KeyvaneExe(), Exe());
        CopyFileOrThrow(ProbeExe(), Probe());
    }
    std::string Exe() const { return Dir.Path() + Name + ".exe"; }
    std::string Ini() const { return Dir.Path() + Name + ".ini"; }
    std::string Probe() const { return Dir.Path() + "Probe.exe"; }
    std::string Out() const { return Dir.Path() + "out.txt"; }
    std::string Folder(const std::string& name) const {
        const std::string path = Dir.Path() + name + "\\";
        CreateDirectoryA(path.c_str(), nullptr);
        return path;
    }
};

struct TItem {
    std::string Name, ShortCut, Command, Params, Path;
};

std::vector<std::string> ItemLines(int index, const TItem& item) {
    char section[32];
    std::snprintf(section, sizeof section, "[#Item  %02d]", index);
    return {section,
            "Name=" + item.Name,
            "ShortCut=" + item.ShortCut,
            "Command=" + item.Command,
            "Params=" + item.Params,
            "Path=" + item.Path,
            ""};
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& lines) {
    to.insert(to.end(), lines.begin(), lines.end());
}

// The screen rectangle of a window that the settings file places at
// left, top with this size.
RECT At(int left, int top, int width, int height) { return RECT{left, top, left + width, top + height}; }

// One start of the probe as its output file records it.
struct TRun {
    std::string Folder;
    std::string CommandLine;
};

std::vector<TRun> Runs(const std::string& outFile) {
    const std::vector<std::string> lines = Lines(ReadFileText(outFile));
    std::vector<TRun> runs;
    for (size_t i = 0; i + 3 <= lines.size() && lines[i + 2] == "--"; i += 3) runs.push_back({lines[i], lines[i + 1]});
    return runs;
}

bool WaitRuns(const std::string& outFile, size_t count) {
    return WaitFor([&] { return Runs(outFile).size() >= count; });
}

std::string NoSlash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

// The lines of each section of a settings file, by section name.
std::map<std::string, std::vector<std::string>> Sections(const std::string& text) {
    std::map<std::string, std::vector<std::string>> sections;
    std::string current;
    for (const std::string& line : Lines(text)) {
        if (!line.empty() && line.front() == '[' && line.back() == ']') {
            current = line.substr(1, line.size() - 2);
            sections[current];
        } else if (!line.empty() && !current.empty()) {
            sections[current].push_back(line);
        }
    }
    return sections;
}

// The section of the item at index holds what the program writes for it.
void ExpectItemSection(const std::map<std::string, std::vector<std::string>>& sections, int index,
                       const TItem& item) {
    std::vector<std::string> lines = ItemLines(index, item);
    const std::string name = lines.front().substr(1, lines.front().size() - 2);
    lines.erase(lines.begin());
    lines.pop_back();
    ASSERT_TRUE(sections.count(name)) << name << " is missing";
    EXPECT_EQ(sections.at(name), lines) << name;
}

// An ASCII text as Notepad saves it as "Unicode": UTF-16 with its byte-order mark.
std::string Utf16WithMark(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (const char c : ascii) bytes += std::string(1, c) + '\0';
    return bytes;
}

// Makes the settings file a link to synced\Keyvane.ini: a Unix one, which Wine
// follows as Windows does its own (Wine's CreateSymbolicLinkA makes nothing).
bool LinkSettings(const TInstall& app) {
    std::string command = "/bin/ln -s synced/Keyvane.ini " + app.Name + ".ini";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, app.Dir.Path().c_str(), &startup,
                        &info))
        return false;
    const TKernelHandle process(info.hProcess), thread(info.hThread);
    return WaitFor([&] { return FileExists(app.Ini()); });
}

// Waits for the end of the program, which must exit with 0.
::testing::AssertionResult EndsWithZero(TKeyvane& kv) {
    DWORD code = 1;
    if (!kv.WaitExit(code)) return ::testing::AssertionFailure() << "the program still runs";
    if (code != 0) return ::testing::AssertionFailure() << "exit code " << code;
    return ::testing::AssertionSuccess();
}

// Shows the main window through the tray icon and waits until it is visible.
HWND ShowMain(TKeyvane& kv) {
    HWND main = kv.MainWindow();
    kv.TrayNotify(WM_LBUTTONDBLCLK);
    return WaitFor([&] { return IsWindowVisible(main) != FALSE; }) ? main : nullptr;
}

HWND Button(HWND main, const std::string& caption) { return TKeyvane::FindChild(main, "Button", caption); }

}  // namespace

// A first start without a settings file, a second start, a second copy under
// the same name and another under a different name.
TEST(KeyvaneE2e, FreshStartSingleInstanceAndSecondStart) {
    TInstall app("F");
    {
        TKeyvane kv(app.Exe(), app.Dir.Path());
        ASSERT_TRUE(kv.WaitStarted());
        HWND main = kv.MainWindow();
        EXPECT_FALSE(IsWindowVisible(main)) << "starts hidden, behind its tray icon";
        EXPECT_EQ(TKeyvane::WindowText(main), "Keyvane - 0.5.1.77");
        EXPECT_EQ(kv.FindWindowOfClass("TApplication", true), nullptr) << "no taskbar button";
        // The help library is ready from the start; the file dialogs' library
        // waits until a file dialog opens.
        EXPECT_TRUE(kv.HasModule("hhctrl.ocx"));
        EXPECT_FALSE(kv.HasModule("comdlg32.dll"));
        SaveScreenshot("tray");
        EXPECT_EQ(kv.QueryEndSession(), 1);
        ASSERT_TRUE(EndsWithZero(kv));
    }
    std::vector<std::string> first = Lines(ReadFileText(app.Ini()));
    ASSERT_EQ(first.size(), 7u) << ReadFileText(app.Ini());
    EXPECT_EQ(first[0], "[%%% Application Infomation Section %%%]");
    EXPECT_TRUE(std::regex_match(first[1], std::regex(R"(FirstVane=\d{4}/\d{1,2}/\d{1,2} \d{1,2}:\d{2}:\d{2})")))
        << first[1];
    EXPECT_EQ(std::vector<std::string>(first.begin() + 2, first.end()),
              (std::vector<std::string>{"", "[FormMain]", "ColWidths=20,64,64,64,64,64,0",
                                        "FormRect=220,201,696,478", ""}));

    TKeyvane second(app.Exe(), app.Dir.Path());
    ASSERT_TRUE(second.WaitStarted());
    {
        TKeyvane third(app.Exe(), app.Dir.Path());
        const TMessageBox box = third.WaitMessageBox();
        EXPECT_EQ(box.Text, "二重起動はできません。");
        EXPECT_TRUE(third.CloseMessageBox(box));
        DWORD code = 0;
        ASSERT_TRUE(third.WaitExit(code));
        EXPECT_EQ(static_cast<int>(code), -1);
    }
    {
        // Another kind of object under the guard's name: no mutex can be made.
        const std::string name = "Guard" + app.Name;
        const std::string guard = app.Dir.Path() + name + ".exe";
        CopyFileOrThrow(app.Exe(), guard);
        TKernelHandle squatter(CreateEventA(nullptr, FALSE, FALSE, (name + name).c_str()));
        ASSERT_TRUE(squatter);
        TKeyvane blocked(guard, app.Dir.Path());
        EXPECT_EQ(blocked.AnswerMessageBox(), "Mutex Error");
        DWORD code = 0;
        EXPECT_TRUE(blocked.WaitExit(code));
        EXPECT_EQ(static_cast<int>(code), -1);
        squatter.Reset();
        EXPECT_FALSE(FileExists(ChangeFileExt(guard, ".ini")));
    }
    {
        const std::string other = app.Dir.Path() + "Other" + app.Name + ".exe";
        CopyFileOrThrow(app.Exe(), other);
        TKeyvane beside(other, app.Dir.Path());
        ASSERT_TRUE(beside.WaitStarted()) << "a copy under another name runs side by side";
        EXPECT_EQ(beside.QueryEndSession(), 1);
        DWORD code = 1;
        ASSERT_TRUE(beside.WaitExit(code));
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(FileExists(ChangeFileExt(other, ".ini")));
    }

    // The window: shown from the tray icon, closed into hiding, shown again.
    HWND main = ShowMain(second);
    ASSERT_NE(main, nullptr);
    HWND grid = TKeyvane::FindChild(main, "TDrawGrid");
    ASSERT_NE(grid, nullptr);
    EXPECT_FALSE(IsWindowVisible(grid)) << "no items: the instruction shows instead of the grid";
    EXPECT_FALSE(IsWindowEnabled(Button(main, "編集(&E)")));
    EXPECT_TRUE(IsWindowEnabled(Button(main, "追加(&A)")));
    EXPECT_NE(TKeyvane::FindChild(main, nullptr, "Version 0.5 Release 1 Build(77)"), nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main); })) << "closing only hides the window";
    EXPECT_TRUE(second.Running());
    ASSERT_EQ(ShowMain(second), main);

    EXPECT_EQ(second.QueryEndSession(), 1);
    ASSERT_TRUE(EndsWithZero(second));
    const std::vector<std::string> again = Lines(ReadFileText(app.Ini()));
    ASSERT_EQ(again.size(), 8u);
    EXPECT_EQ(again[1], first[1]) << "the first start's date stays";
    EXPECT_EQ(again[2], "DebugDoAsFirst=0");
}

// Items load in the order of their numbers, launch in their folders, and the
// two launch failures are reported without costing the next press; the file
// written at the end keeps other sections and rewrites the items in order.
TEST(KeyvaneE2e, ItemsLoadInOrderLaunchAndReportFailures) {
    TInstall app("I");
    const std::vector<THotKey> keys = FreeHotKeys(4);
    const std::string start = app.Folder("start");
    const std::string work = app.Folder("work");
    const TItem a{"A", keys[0].Text, app.Probe(), app.Out(), work};
    const TItem b{"B", keys[1].Text, app.Probe(), app.Out(), ""};
    const TItem c{"C", keys[2].Text, app.Probe(), app.Out(), app.Dir.Path() + "nowhere\\"};
    const TItem d{"D", keys[3].Text, app.Dir.Path() + "missing.exe", "x", ""};
    std::vector<std::string> file{"[Other]", "Key=Value", "Params=/a=1", ""};
    Append(file, ItemLines(1, b));
    Append(file, ItemLines(0, a));
    Append(file, {"[#item  05]", "Name=NotAnItem", ""});
    Append(file, ItemLines(3, d));
    Append(file, ItemLines(2, c));
    Append(file, {"[FormMain]", "ColWidths=20,110,100,240,64,180,55", "FormRect=200,150,700,480", ""});
    WriteFileText(app.Ini(), JoinLines(file));

    TKeyvane kv(app.Exe(), start);
    ASSERT_TRUE(kv.WaitRect(At(200, 150, 700, 480)));

    PressHotKey(keys[1].Vk);
    ASSERT_TRUE(WaitRuns(app.Out(), 1));
    PressHotKey(keys[0].Vk);
    ASSERT_TRUE(WaitRuns(app.Out(), 2));
    PressHotKey(keys[1].Vk);
    ASSERT_TRUE(WaitRuns(app.Out(), 3));
    std::vector<TRun> runs = Runs(app.Out());
    EXPECT_STRCASEEQ(runs[0].Folder.c_str(), NoSlash(start).c_str()) << "no folder: where the program started";
    EXPECT_EQ(runs[0].CommandLine, app.Probe() + " " + app.Out());
    EXPECT_STRCASEEQ(runs[1].Folder.c_str(), NoSlash(work).c_str());
    EXPECT_STRCASEEQ(runs[2].Folder.c_str(), NoSlash(work).c_str()) << "no folder: where the last one left it";

    PressHotKey(keys[2].Vk);
    TMessageBox box = kv.WaitMessageBox();
    EXPECT_EQ(box.Text, Report(339));
    EXPECT_EQ(box.Caption, Title);
    Settle(box.Wnd);
    SaveScreenshot("error-box");
    ASSERT_TRUE(kv.CloseMessageBox(box));
    PressHotKey(keys[3].Vk);
    box = kv.WaitMessageBox();
    EXPECT_EQ(box.Text, Report(341));
    PressHotKey(keys[1].Vk);
    ASSERT_TRUE(WaitRuns(app.Out(), 4)) << "a press after the failures works, also while their box is open";
    ASSERT_TRUE(kv.CloseMessageBox(box));
    runs = Runs(app.Out());
    EXPECT_STRCASEEQ(runs[3].Folder.c_str(), NoSlash(work).c_str()) << "the failed folder change left it";

    HWND main = ShowMain(kv);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(IsWindowVisible(TKeyvane::FindChild(main, "TDrawGrid")));
    EXPECT_TRUE(IsWindowEnabled(Button(main, "編集(&E)")));
    Settle(main);
    SaveScreenshot("list-page");
    // The version page: the tab control takes the arrow key like a click on the next tab.
    HWND tabs = TKeyvane::FindChild(main, "SysTabControl32");
    PostMessageA(tabs, WM_KEYDOWN, VK_RIGHT, 0);
    HWND version = TKeyvane::FindChild(main, nullptr, "Version ");
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(version) != FALSE; }));
    Settle(main);
    SaveScreenshot("version-page");
    // Enter on the version page: the default button "OK(&O)" hides the window.
    PostMessageA(main, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }));
    EXPECT_TRUE(kv.Running());

    ASSERT_TRUE(kv.ChooseTrayMenu('x'));
    ASSERT_TRUE(EndsWithZero(kv));

    std::vector<std::string> result = Lines(ReadFileText(app.Ini()));
    std::vector<std::string> expected{"[Other]", "Key=Value", "Params=/a=1", "", "[#item  05]", "Name=NotAnItem", "",
                                      "[FormMain]", "ColWidths=20,110,100,240,64,180,0", "FormRect=200,150,700,480",
                                      "", "[%%% Application Infomation Section %%%]", "FirstVane", ""};
    Append(expected, ItemLines(0, a));
    Append(expected, ItemLines(1, b));
    Append(expected, ItemLines(2, c));
    Append(expected, ItemLines(3, d));
    ASSERT_EQ(result.size(), expected.size()) << JoinLines(result);
    EXPECT_EQ(result[12].substr(0, 10), "FirstVane=");
    result[12] = "FirstVane";
    EXPECT_EQ(result, expected);
}

// A hot key that another program holds costs only its own item: the rest
// load and work, and every item is written back.
TEST(KeyvaneE2e, HeldHotKeyIsReportedAndTheOtherItemsLoad) {
    TInstall app("H");
    const std::vector<THotKey> keys = FreeHotKeys(3);
    std::vector<TItem> items;
    std::vector<std::string> file{"[FormMain]", "FormRect=210,160,690,470", ""};
    for (int i = 0; i < 3; ++i) {
        items.push_back({"Item" + std::to_string(i), keys[static_cast<size_t>(i)].Text, app.Probe(),
                         app.Dir.Path() + "out" + std::to_string(i) + ".txt", ""});
        Append(file, ItemLines(i, items.back()));
    }
    WriteFileText(app.Ini(), JoinLines(file));

    DWORD code = 1;
    {
        THeldHotKey held(keys[1].Vk);
        TKeyvane kv(app.Exe(), app.Dir.Path());
        const TMessageBox box = kv.WaitMessageBox();
        EXPECT_EQ(box.Text, Report(96));
        EXPECT_EQ(box.Caption, Title);
        ASSERT_TRUE(kv.CloseMessageBox(box));
        ASSERT_TRUE(kv.WaitRect(At(210, 160, 690, 470))) << "the load goes on after the refused key";
        EXPECT_TRUE(HotKeyTaken(keys[2].Vk));
        PressHotKey(keys[2].Vk);
        ASSERT_TRUE(WaitRuns(app.Dir.Path() + "out2.txt", 1)) << "the item after the refused one works";
        EXPECT_EQ(kv.QueryEndSession(), 1);
        ASSERT_TRUE(kv.WaitExit(code));
    }
    EXPECT_EQ(code, 0u);
    const auto sections = Sections(ReadFileText(app.Ini()));
    for (int i = 0; i < 3; ++i) ExpectItemSection(sections, i, items[static_cast<size_t>(i)]);
}

// Settings files as a hand edit leaves them: every item loads and comes back
// at the end, or the file is refused and left exactly as it was.
TEST(KeyvaneE2e, HandEditedFilesNeverLoseAnItem) {
    enum TEdit { GapAndFullWidthBlank, Link, Utf8Mark, Utf16 };
    const std::vector<std::pair<TEdit, const char*>> cases{{GapAndFullWidthBlank, "[#Item  00], [#Item  02]　"},
                                                           {Link, "the file a symbolic link"},
                                                           {Utf8Mark, "UTF-8 with its mark"},
                                                           {Utf16, "UTF-16"}};
    const std::vector<THotKey> keys = FreeHotKeys(2);
    for (const auto& [edit, label] : cases) {
        SCOPED_TRACE(label);
        TInstall app("U");
        std::vector<TItem> items;
        std::vector<std::string> file;
        for (size_t i = 0; i < 2; ++i) {
            items.push_back({"Item" + std::to_string(i), keys[i].Text, app.Probe(),
                             app.Dir.Path() + "out" + std::to_string(i) + ".txt", ""});
            std::vector<std::string> lines = ItemLines(static_cast<int>(i), items.back());
            if (edit == GapAndFullWidthBlank && i == 1) lines.front() = "[#Item  02]　";
            Append(file, lines);
        }
        Append(file, {"[FormMain]", "FormRect=250,190,660,440", ""});
        std::string text = JoinLines(file);
        if (edit == Utf8Mark) text = "\xEF\xBB\xBF" + text;
        if (edit == Utf16) text = Utf16WithMark(text);
        const std::string target = edit == Link ? app.Folder("synced") + "Keyvane.ini" : app.Ini();
        WriteFileText(target, text);
        if (edit == Link) {
            ASSERT_TRUE(LinkSettings(app));
        }

        TKeyvane kv(app.Exe(), app.Dir.Path());
        if (edit == Utf16) {
            const TMessageBox box = kv.WaitMessageBox();
            EXPECT_EQ(box.Text, "ファイル " + app.Ini() +
                                    " は設定ファイルの形式ではありません。"
                                    "ANSI (Shift-JIS) のテキストで保存し直してください。");
            EXPECT_EQ(box.Caption, Title);
            Settle(box.Wnd);
            SaveScreenshot("unreadable-settings");
            ASSERT_TRUE(kv.CloseMessageBox(box));
            HWND main = ShowMain(kv);
            ASSERT_NE(main, nullptr);
            EXPECT_FALSE(IsWindowVisible(TKeyvane::FindChild(main, "TDrawGrid"))) << "no items";
            EXPECT_FALSE(IsWindowEnabled(Button(main, "追加(&A)"))) << "the list can't be changed";
            EXPECT_FALSE(HotKeyTaken(keys[0].Vk));
        } else {
            ASSERT_TRUE(kv.WaitRect(At(250, 190, 660, 440)));
            EXPECT_EQ(kv.FindWindowOfClass("#32770", true), nullptr) << "no box at start";
            for (size_t i = 0; i < 2; ++i) {
                PressHotKey(keys[i].Vk);
                const std::string out = app.Dir.Path() + "out" + std::to_string(i) + ".txt";
                ASSERT_TRUE(WaitRuns(out, 1)) << "item " << i << " loaded from its own section";
                EXPECT_EQ(Runs(out)[0].CommandLine, app.Probe() + " " + out);
            }
            HWND main = ShowMain(kv);
            ASSERT_NE(main, nullptr);
            EXPECT_TRUE(IsWindowEnabled(Button(main, "追加(&A)")));
        }
        EXPECT_EQ(kv.QueryEndSession(), 1);
        ASSERT_TRUE(EndsWithZero(kv));

        const std::string after = ReadFileText(app.Ini());
        if (edit == Utf16) {
            EXPECT_EQ(after, text) << "left byte for byte as it was";
            EXPECT_FALSE(FileExists(ReplacementFileName(app.Ini())));
            continue;
        }
        EXPECT_EQ(after.substr(0, 1), "[") << "written in the program's own form";
        const auto sections = Sections(after);
        for (size_t i = 0; i < 2; ++i) ExpectItemSection(sections, static_cast<int>(i), items[i]);
        EXPECT_EQ(sections.count("#Item  02"), 0u) << "numbered again";
        if (edit == Link) {
            WriteFileText(target, "[changed]\r\n");
            EXPECT_EQ(ReadFileText(app.Ini()), "[changed]\r\n") << "still a link to the file written";
        }
    }
}

// A settings file whose item sections can't all be loaded keeps every one of
// them as it was; the items loaded before the stop work, and the list offers
// no changes that could not be saved.
TEST(KeyvaneE2e, MalformedItemSectionsStayAsTheyWere) {
    struct TCase {
        const char* Label;
        std::vector<std::string> Names;  // the item sections, in file order
        std::string Error;
    };
    const std::vector<TCase> cases{
        {"beyond, beside no number", {"#Item  00", "#Item  05", "#Item  xx"},
         "リストのインデックスが範囲を超えています (5)"},
        {"not a number", {"#Item  00", "#Item  xx"}, "' xx' は整数ではありません"},
        {"one blank", {"#Item  00", "#Item 00"}, Report(93)},
    };
    const THotKey key = FreeHotKeys(1).front();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        TInstall app("M");
        std::vector<std::string> file{"[FormMain]", "ColWidths=20,30,40,50,60,70,0", ""};
        for (size_t i = 0; i < c.Names.size(); ++i) {
            const TItem item{"N" + std::to_string(i), i == 0 ? key.Text : "WIN + F1", app.Probe(), app.Out(), ""};
            std::vector<std::string> lines = ItemLines(0, item);
            lines.front() = "[" + c.Names[i] + "]";
            Append(file, lines);
        }
        WriteFileText(app.Ini(), JoinLines(file));
        const auto before = Sections(ReadFileText(app.Ini()));

        TKeyvane kv(app.Exe(), app.Dir.Path());
        EXPECT_EQ(kv.AnswerMessageBox(), c.Error);
        // The start goes on once the box is gone; the key is pressed when it is over.
        ASSERT_TRUE(kv.PressHotKeyUntil(key.Vk, [&] { return !Runs(app.Out()).empty(); }))
            << "the item loaded before the stop works";
        HWND main = ShowMain(kv);
        ASSERT_NE(main, nullptr);
        EXPECT_FALSE(IsWindowEnabled(Button(main, "追加(&A)")));
        EXPECT_EQ(kv.QueryEndSession(), 1);
        ASSERT_TRUE(EndsWithZero(kv));

        const auto after = Sections(ReadFileText(app.Ini()));
        for (const std::string& name : c.Names) {
            ASSERT_TRUE(after.count(name)) << name << " is gone";
            EXPECT_EQ(after.at(name), before.at(name)) << name;
        }
        size_t itemSections = 0;
        for (const auto& s : after) itemSections += s.first.compare(0, 6, "#Item ") == 0;
        EXPECT_EQ(itemSections, c.Names.size());
        ASSERT_TRUE(after.count("FormMain"));
        EXPECT_EQ(after.at("FormMain"),
                  (std::vector<std::string>{"ColWidths=20,30,40,50,60,70,0", "FormRect=220,201,696,478"}));
    }
}

namespace {

// Tells Wine how to load libraries into the program of that file name, for as
// long as it lives. Wine reads a program's own library settings from
// HKCU\Software\Wine\AppDefaults\<file name>\DllOverrides: an empty value
// disables a library, "native,builtin" prefers a file found by the search (as
// Windows does) to Wine's own.
class TLibraryOverrides {
public:
    TLibraryOverrides(const std::string& exeName, const std::vector<std::string>& libraries, const std::string& how)
        : FKey("Software\\Wine\\AppDefaults\\" + exeName) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, (FKey + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            throw std::runtime_error("can't write the library settings");
        for (const std::string& library : libraries)
            RegSetValueExA(key, library.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(how.c_str()),
                           static_cast<DWORD>(how.size() + 1));
        RegCloseKey(key);
    }
    ~TLibraryOverrides() { RegDeleteTreeA(HKEY_CURRENT_USER, FKey.c_str()); }
    TLibraryOverrides(const TLibraryOverrides&) = delete;
    TLibraryOverrides& operator=(const TLibraryOverrides&) = delete;

private:
    std::string FKey;
};

}  // namespace

// Starts that stop early: without the help library, and with both the legacy
// and the proper settings file. The program keeps running safely and leaves
// the files alone; a legacy file on its own takes the proper name.
TEST(KeyvaneE2e, EarlyStopsKeepTheFilesAndTheLegacyFileIsRenamed) {
    const THotKey key = FreeHotKeys(1).front();
    const auto settings = [&](const TInstall& app) {
        std::vector<std::string> file{"[FormMain]", "FormRect=230,170,680,460", ""};
        Append(file, ItemLines(0, TItem{"N", key.Text, app.Probe(), app.Out(), ""}));
        return JoinLines(file);
    };
    {
        SCOPED_TRACE("no help library");
        TInstall app("S");
        WriteFileText(app.Ini(), settings(app));
        TLibraryOverrides noHelp(app.Name + ".exe", {"hhctrl.ocx"}, "");
        TKeyvane kv(app.Exe(), app.Dir.Path());
        EXPECT_EQ(kv.AnswerMessageBox(), Report(43));
        HWND main = ShowMain(kv);
        ASSERT_NE(main, nullptr) << "the window still shows";
        EXPECT_FALSE(IsWindowEnabled(Button(main, "追加(&A)")));
        EXPECT_FALSE(HotKeyTaken(key.Vk)) << "nothing was registered";
        ASSERT_TRUE(kv.ChooseTrayMenu('h')) << "help without its library does nothing";
        EXPECT_EQ(kv.QueryEndSession(), 1);
        ASSERT_TRUE(EndsWithZero(kv));
        EXPECT_EQ(ReadFileText(app.Ini()), settings(app)) << "no settings object, nothing written";
    }
    {
        SCOPED_TRACE("legacy and proper file");
        TInstall app("S");
        const std::string legacy = ChangeFileExt(app.Exe(), "ini");
        WriteFileText(app.Ini(), settings(app));
        WriteFileText(legacy, "[Legacy]\r\nKey=1\r\n");
        TKeyvane kv(app.Exe(), app.Dir.Path());
        EXPECT_EQ(kv.AnswerMessageBox(), Report(52));
        EXPECT_EQ(kv.QueryEndSession(), 1);
        ASSERT_TRUE(EndsWithZero(kv));
        EXPECT_EQ(ReadFileText(app.Ini()), settings(app));
        EXPECT_EQ(ReadFileText(legacy), "[Legacy]\r\nKey=1\r\n");
    }
    {
        SCOPED_TRACE("legacy file alone");
        TInstall app("S");
        const std::string legacy = ChangeFileExt(app.Exe(), "ini");
        WriteFileText(legacy, settings(app));
        TKeyvane kv(app.Exe(), app.Dir.Path());
        ASSERT_TRUE(kv.WaitRect(At(230, 170, 680, 460)));
        EXPECT_FALSE(FileExists(legacy));
        EXPECT_EQ(ReadFileText(app.Ini()), settings(app)) << "moved, not yet written";
        PressHotKey(key.Vk);
        EXPECT_TRUE(WaitRuns(app.Out(), 1));
        EXPECT_EQ(kv.QueryEndSession(), 1);
        DWORD code = 1;
        ASSERT_TRUE(kv.WaitExit(code));
        EXPECT_EQ(Sections(ReadFileText(app.Ini())).count("#Item  00"), 1u);
    }
}

// A settings file that can't be written is reported once, whichever way the
// program ends: the box waits for the user, the program then ends normally,
// and the file keeps what it held.
TEST(KeyvaneE2e, WriteFailureAtTheEndIsReportedOnce) {
    const struct {
        const char* Label;
        std::function<bool(TKeyvane&)> End;
    } ends[] = {
        {"end-of-session", [](TKeyvane& kv) { kv.PostQueryEndSession(); return true; }},
        {"tray-menu-end", [](TKeyvane& kv) { return kv.ChooseTrayMenu('x'); }},
    };
    const THotKey key = FreeHotKeys(1).front();
    for (const auto& end : ends) {
        SCOPED_TRACE(end.Label);
        TInstall app("W");
        std::vector<std::string> file{"[FormMain]", "FormRect=240,180,670,450", ""};
        Append(file, ItemLines(0, TItem{"N", key.Text, app.Probe(), app.Out(), ""}));
        const std::string text = JoinLines(file);
        WriteFileText(app.Ini(), text);

        TKeyvane kv(app.Exe(), app.Dir.Path());
        ASSERT_TRUE(kv.WaitRect(At(240, 180, 670, 450)));
        // A folder in the place of the file's replacement makes the write fail.
        ASSERT_TRUE(CreateDirectoryA(ReplacementFileName(app.Ini()).c_str(), nullptr));
        ASSERT_TRUE(end.End(kv));
        const TMessageBox box = kv.WaitMessageBox();
        EXPECT_EQ(box.Text, "ファイル " + app.Ini() + " を作成できません");
        EXPECT_FALSE(WaitFor([&] { return !IsWindowVisible(box.Wnd); }, 500)) << "the box waits for OK";
        Settle(box.Wnd);
        SaveScreenshot(std::string("save-failure-") + end.Label);
        ASSERT_TRUE(kv.CloseMessageBox(box));
        kv.EndSession(true);
        ASSERT_TRUE(EndsWithZero(kv)) << "a second report would keep the program from ending";
        EXPECT_EQ(ReadFileText(app.Ini()), text);
    }
}

// The window comes back where the user can reach it: a place on a monitor
// that has gone and a tiny size are shown on the screen, a maximised or
// minimised window stores the place it comes back to, and column widths from
// the file stay within the screen.
TEST(KeyvaneE2e, WindowComesBackWhereTheUserCanReachIt) {
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    {
        TInstall app("P");
        WriteFileText(app.Ini(), JoinLines({"[FormMain]", "ColWidths=20,1479,2147483647,64,64,64,0",
                                            "FormRect=3000,2000,696,478", ""}));
        TKeyvane kv(app.Exe(), app.Dir.Path());
        const RECT placed = At(work.right - 696, work.bottom - 478, 696, 478);
        ASSERT_TRUE(kv.WaitRect(placed)) << "moved onto the screen";
        HWND main = ShowMain(kv);
        ASSERT_NE(main, nullptr);
        PostMessageA(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        ASSERT_TRUE(WaitFor([&] { return IsZoomed(main) != FALSE; }));
        ASSERT_TRUE(kv.ChooseTrayMenu('x'));
        ASSERT_TRUE(EndsWithZero(kv));
        const std::string wide = std::to_string(screenWidth);
        EXPECT_EQ(Sections(ReadFileText(app.Ini()))["FormMain"],
                  (std::vector<std::string>{"ColWidths=20," + wide + "," + wide + ",64,64,64,0",
                                            "FormRect=" + std::to_string(placed.left) + "," +
                                                std::to_string(placed.top) + ",696,478"}));
    }
    TInstall app("N");
    WriteFileText(app.Ini(), JoinLines({"[FormMain]", "FormRect=250,190,5,5", ""}));
    TKeyvane kv(app.Exe(), app.Dir.Path());
    ASSERT_TRUE(kv.WaitRect(At(250, 190, 400, 300))) << "raised to the smallest usable size";
    HWND main = ShowMain(kv);
    ASSERT_NE(main, nullptr);
    // Moved and sized as a user would with the mouse, then minimised.
    ASSERT_TRUE(MoveWindow(main, 270, 200, 640, 430, TRUE));
    ASSERT_TRUE(kv.WaitRect(At(270, 200, 640, 430)));
    PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(main) != FALSE; }));
    ASSERT_TRUE(kv.ChooseTrayMenu('x'));
    ASSERT_TRUE(EndsWithZero(kv));
    const auto sections = Sections(ReadFileText(app.Ini()));
    ASSERT_TRUE(sections.count("FormMain"));
    EXPECT_EQ(sections.at("FormMain").front(), "FormRect=270,200,640,430");
}

namespace {

struct TLinkInfo {
    bool Loaded = false;
    std::string Target, Arguments, WorkingFolder, Description;
};

TLinkInfo ReadLink(const std::string& path) {
    TLinkInfo info;
    const TComInit com;
    if (!com.Initialised()) return info;
    TComRef<IShellLinkA> link;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.OutVoid()))) {
        TComRef<IPersistFile> file;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.OutVoid()))) {
            wchar_t wide[MAX_PATH] = {};
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
            if (SUCCEEDED(file->Load(wide, STGM_READ))) {
                char buffer[MAX_PATH] = {};
                info.Loaded = true;
                if (SUCCEEDED(link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH))) info.Target = buffer;
                buffer[0] = '\0';
                if (SUCCEEDED(link->GetArguments(buffer, MAX_PATH))) info.Arguments = buffer;
                buffer[0] = '\0';
                if (SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH))) info.WorkingFolder = buffer;
                buffer[0] = '\0';
                if (SUCCEEDED(link->GetDescription(buffer, MAX_PATH))) info.Description = buffer;
            }
        }
    }
    return info;
}

// Removes the link on the way out, whatever the test found.
struct TLinkCleanup {
    std::string Path;
    ~TLinkCleanup() {
        DeleteFileA(Path.c_str());
        RemoveDirectoryA(Path.c_str());
    }
};

}  // namespace

// The tray menu: the Start-up entry writes the link once, help opens the
// viewer, the settings entry shows the window and the last entry ends.
TEST(KeyvaneE2e, TrayMenuStartUpLinkHelpAndExit) {
    TInstall app("L");
    CopyFileOrThrow(HelpFile(), app.Dir.Path() + "kyvane.chm");
    char startup[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, 0, startup)));
    TLinkCleanup link{std::string(startup) + "\\" + app.Name + ".lnk"};
    DeleteFileA(link.Path.c_str());

    TKeyvane kv(app.Exe(), app.Dir.Path());
    ASSERT_TRUE(kv.WaitStarted());
    ASSERT_TRUE(kv.ChooseTrayMenu('r'));
    TMessageBox box = kv.WaitMessageBox();
    EXPECT_EQ(box.Text, "スタートアップに登録しました。");
    EXPECT_EQ(box.Caption, Title);
    ASSERT_TRUE(kv.CloseMessageBox(box));
    const TLinkInfo info = ReadLink(link.Path);
    ASSERT_TRUE(info.Loaded);
    EXPECT_STRCASEEQ(info.Target.c_str(), app.Exe().c_str());
    EXPECT_STRCASEEQ(info.WorkingFolder.c_str(), app.Dir.Path().c_str());
    EXPECT_EQ(info.Description, Title);
    EXPECT_EQ(info.Arguments, "");

    const std::string written = ReadFileText(link.Path);
    ASSERT_TRUE(kv.ChooseTrayMenu('r'));
    EXPECT_EQ(kv.AnswerMessageBox(), "すでにスタートアップに登録されています。");
    EXPECT_EQ(ReadFileText(link.Path), written);

    // A folder of the link's name is no registration: writing the link fails openly.
    ASSERT_TRUE(DeleteFileA(link.Path.c_str()));
    ASSERT_TRUE(CreateDirectoryA(link.Path.c_str(), nullptr));
    ASSERT_TRUE(kv.ChooseTrayMenu('r'));
    EXPECT_EQ(kv.AnswerMessageBox(), Report(424));
    EXPECT_TRUE(RemoveDirectoryA(link.Path.c_str())) << "the folder stays a folder";

    ASSERT_TRUE(kv.ChooseTrayMenu('h'));
    HWND viewer = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (viewer = kv.FindWindowOfClass("HH Parent", true)) != nullptr; }))
        << "the help viewer opens";
    if (viewer) {
        Settle(viewer);
        SaveScreenshot("help");
        PostMessageA(viewer, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(viewer); }));
    }
    EXPECT_FALSE(IsWindowVisible(kv.MainWindow())) << "help leaves the window hidden";

    ASSERT_TRUE(kv.ChooseTrayMenu('c'));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(kv.MainWindow()) != FALSE; }));
    ASSERT_TRUE(kv.ChooseTrayMenu('x'));
    ASSERT_TRUE(EndsWithZero(kv));
    EXPECT_TRUE(FileExists(app.Ini())) << "the end through the menu saves";
}

// Libraries named like the ones the program uses, planted beside it, with Wine
// told to prefer them as Windows prefers the program's folder: none of them is
// loaded, and the program works with the system's own. version.dll can't be
// among them here: Wine's own user32 imports it, so Wine loads a planted one
// before the program's first line runs (Windows' user32 doesn't); that the
// program itself does not import it, Resources_test checks.
TEST(KeyvaneE2e, LibrariesPlantedBesideTheProgramAreNeverLoaded) {
    TInstall app("P");
    CopyFileOrThrow(HelpFile(), app.Dir.Path() + "kyvane.chm");
    const std::vector<std::string> planted{"hhctrl.ocx", "comctl32.dll"};
    for (const std::string& library : planted)
        CopyFileOrThrow(WinPath(KV_PLANTED_DIR "/" + library), app.Dir.Path() + library);
    TLibraryOverrides prefer(app.Name + ".exe", {"hhctrl.ocx", "comctl32"}, "native,builtin");

    TKeyvane kv(app.Exe(), app.Dir.Path());
    ASSERT_TRUE(kv.WaitStarted());
    HWND main = ShowMain(kv);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(TKeyvane::WindowText(main), "Keyvane - 0.5.1.77") << "the version came from the system's reader";
    ASSERT_TRUE(kv.ChooseTrayMenu('h'));
    HWND viewer = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (viewer = kv.FindWindowOfClass("HH Parent", true)) != nullptr; }))
        << "the system's help library shows the help";
    if (viewer) {
        PostMessageA(viewer, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(viewer); }));
    }
    ASSERT_TRUE(kv.ChooseTrayMenu('x'));
    ASSERT_TRUE(EndsWithZero(kv));
    for (const std::string& library : planted)
        EXPECT_FALSE(FileExists(app.Dir.Path() + library + ".loaded")) << library << " was loaded";
}

// What WinExec alone starts wrongly or not at all: a program in a folder
// with a blank, beside a my.exe that the unquoted path names, and a document.
// Then the Start-up link follows the program to its renamed folder.
TEST(KeyvaneE2e, BlanksDocumentsAndAStartUpLinkThatFollowsTheProgram) {
    TInstall app("B");
    const std::string old = app.Folder("old");
    const std::string moved = app.Dir.Path() + "new\\";
    CopyFileOrThrow(app.Exe(), old + app.Name + ".exe");
    const std::string progs = app.Folder("my progs");
    CopyFileOrThrow(app.Probe(), progs + "tool.exe");
    CopyFileOrThrow(app.Probe(), app.Dir.Path() + "my.exe");
    // A document type the probe opens. Wine's shell looks types up under
    // HKEY_CLASSES_ROOT only, not among the user's classes.
    const std::string type = ".kv" + std::to_string(GetCurrentProcessId());
    const std::string document = progs + "read me" + type;
    WriteFileText(document, "text");
    const std::string open = "\"" + app.Probe() + "\" \"" + app.Out() + "\" \"%1\"";
    const struct TClasses {
        std::string Key;
        ~TClasses() { RegDeleteTreeA(HKEY_CLASSES_ROOT, Key.c_str()); }
    } classes[] = {{type}, {"KeyvaneTest" + type}};
    ASSERT_FALSE(RegSetValueA(HKEY_CLASSES_ROOT, type.c_str(), REG_SZ, classes[1].Key.c_str(), 0));
    ASSERT_FALSE(RegSetValueA(HKEY_CLASSES_ROOT, (classes[1].Key + "\\shell\\open\\command").c_str(), REG_SZ,
                              open.c_str(), 0));
    const std::vector<THotKey> keys = FreeHotKeys(2);
    std::vector<std::string> file = ItemLines(0, TItem{"Tool", keys[0].Text, progs + "tool.exe", app.Out(), ""});
    Append(file, ItemLines(1, TItem{"Document", keys[1].Text, document, "", ""}));
    WriteFileText(old + app.Name + ".ini", JoinLines(file));
    char startup[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, 0, startup)));
    TLinkCleanup link{std::string(startup) + "\\" + app.Name + ".lnk"};
    {
        TKeyvane kv(old + app.Name + ".exe", app.Dir.Path());
        ASSERT_TRUE(kv.WaitStarted());
        PressHotKey(keys[0].Vk);
        ASSERT_TRUE(WaitRuns(app.Out(), 1)) << "tool.exe, not my.exe";
        EXPECT_EQ(Runs(app.Out())[0].CommandLine, "\"" + progs + "tool.exe\" " + app.Out());
        PressHotKey(keys[1].Vk);
        ASSERT_TRUE(WaitRuns(app.Out(), 2)) << "the document opens in its program";
        EXPECT_NE(Runs(app.Out())[1].CommandLine.find(document), std::string::npos);
        ASSERT_TRUE(kv.ChooseTrayMenu('r'));
        EXPECT_EQ(kv.AnswerMessageBox(), "スタートアップに登録しました。");
        ASSERT_TRUE(kv.ChooseTrayMenu('x'));
        ASSERT_TRUE(EndsWithZero(kv));
    }
    EXPECT_EQ(Runs(app.Out()).size(), 2u) << "what WinExec started never goes to the shell as well";

    ASSERT_TRUE(MoveFileA(NoSlash(old).c_str(), NoSlash(moved).c_str()));
    TKeyvane kv(moved + app.Name + ".exe", app.Dir.Path());
    ASSERT_TRUE(kv.WaitStarted());
    ASSERT_TRUE(kv.ChooseTrayMenu('r'));
    EXPECT_EQ(kv.AnswerMessageBox(), "スタートアップに登録しました。") << "a link to the old place is no registration";
    EXPECT_STRCASEEQ(ReadLink(link.Path).Target.c_str(), (moved + app.Name + ".exe").c_str());
    ASSERT_TRUE(kv.ChooseTrayMenu('x'));
    ASSERT_TRUE(EndsWithZero(kv));
}

#pragma once
// Drives the real Keyvane.exe from another process: copies it into a fresh
// folder with a settings file the test wrote, starts it, waits for its
// windows, presses hot keys, answers its message boxes, ends it and reads back
// what it wrote. Every wait has a time limit.
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

// How long a wait for the program may take before the test gives up. Wine
// starts a process in about a second; the limit leaves room for a busy machine.
constexpr DWORD WaitLimitMs = 20000;

// Polls cond until it holds or limitMs have passed; true when it held.
bool WaitFor(const std::function<bool()>& cond, DWORD limitMs = WaitLimitMs);

// Lets the program handle what was posted to it and paint what it shows:
// waits until no part of the window or its children waits for painting.
void Settle(HWND wnd);

// A Unix path as the Windows programs under Wine see it (drive Z: is /).
std::string WinPath(const std::string& unixPath);
// The program, the probe and the help file of this build.
std::string KeyvaneExe();
std::string ProbeExe();
std::string HelpFile();

bool FileExists(const std::string& path);
// The whole file, or empty when it can't be read.
std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);
void CopyFileOrThrow(const std::string& from, const std::string& to);
// Splits at CR LF; a final line ending gives no empty line after it.
std::vector<std::string> Lines(const std::string& text);
// Joins lines, each ended by CR LF: the settings file's own line ending.
std::string JoinLines(const std::vector<std::string>& lines);

// A fresh folder under the temporary folder, removed with everything in it.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    // Ends with "\".
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

// A hot key of the Windows key and one key, as the settings file writes it.
struct THotKey {
    UINT Vk;
    std::string Text;  // "WIN + F9"
};

// Keys nobody holds right now, from a pool of combinations that other tests
// and the desktop rarely use. Throws when fewer than count are free.
std::vector<THotKey> FreeHotKeys(size_t count);
// Whether some program holds WIN + vk (a trial registration fails with 1409).
// Don't ask while a program may be registering that key: the trial holds it
// for a moment.
bool HotKeyTaken(UINT vk);
// Presses WIN + vk as the keyboard would.
void PressHotKey(UINT vk);
// Types a chord as the keyboard would, into whatever window has the focus:
// the keys go down in this order and come up in the reverse order.
void PressKeys(std::initializer_list<WORD> chord);

// Holds WIN + vk for this test, as another program would.
class THeldHotKey {
public:
    explicit THeldHotKey(UINT vk);
    ~THeldHotKey();
    THeldHotKey(const THeldHotKey&) = delete;
    THeldHotKey& operator=(const THeldHotKey&) = delete;

private:
    int FId;
};

struct TMessageBox {
    HWND Wnd = nullptr;
    std::string Caption;
    std::string Text;
};

// One started copy of the program.
class TKeyvane {
public:
    // Starts exePath with startFolder as its current folder.
    TKeyvane(const std::string& exePath, const std::string& startFolder);
    // Ends the process if it still runs.
    ~TKeyvane();
    TKeyvane(const TKeyvane&) = delete;
    TKeyvane& operator=(const TKeyvane&) = delete;

    DWORD Pid() const { return FInfo.dwProcessId; }
    bool Running() const;
    // Waits for the end of the process; false when it still runs at the limit.
    bool WaitExit(DWORD& exitCode, DWORD limitMs = WaitLimitMs);

    // A top-level window of this process with that class, or nullptr.
    HWND FindWindowOfClass(const char* className, bool visibleOnly = false) const;
    // The main window ("TFormMain"), waited for.
    HWND MainWindow();
    // Waits until the main window exists and the program has gone idle for
    // the first time. Its loading may still run then (Wine also counts a wait
    // inside the start-up); the program copes with an end-of-session query
    // and posted messages that come that early.
    bool WaitStarted();
    // Waits until the main window stands at the rectangle the settings file
    // gave it: the program applies it as the last step of loading, after
    // every item's hot key was registered.
    bool WaitRect(const RECT& rect);

    // The next message box of this process, or an empty one at the limit.
    TMessageBox WaitMessageBox(DWORD limitMs = WaitLimitMs);
    // Presses OK on the box and waits until it is gone.
    bool CloseMessageBox(const TMessageBox& box);
    // Waits for a box, presses OK and gives its text (empty when none came).
    std::string AnswerMessageBox();

    // Presses WIN + vk once the program is back in its message loop. The item
    // editor's window closes before the handler that opened it registers the
    // key it chose, so a press right after the close could come first; a
    // message sent to the main window is handled only after that handler.
    // False when the program did not answer in time.
    bool PressHotKeyWhenIdle(UINT vk);
    // Presses WIN + vk when idle until done() holds, as a user would press
    // again: Wine can lose the Windows key of a press. False at the limit.
    bool PressHotKeyUntil(UINT vk, const std::function<bool()>& done);

    // Sends the end-of-session query and gives the answer, -1 when none came in
    // time; as at a logoff, WM_ENDSESSION(TRUE) follows a 1 if thenEnd.
    LRESULT QueryEndSession(bool thenEnd = true);
    // Posts the query, for ends that show a message box first.
    void PostQueryEndSession();
    // Sends WM_ENDSESSION; -1 when no answer came (the window may be gone).
    LRESULT EndSession(bool ending);

    // The shell's callback for the tray icon: mouseMessage is WM_LBUTTONDBLCLK,
    // WM_RBUTTONDOWN, ...
    void TrayNotify(UINT mouseMessage);
    // Opens the tray menu and chooses the entry with this access key.
    bool ChooseTrayMenu(char accessKey);

    // A child window anywhere below parent: of that class (any class when
    // className is null) and, unless textPrefix is empty, whose text begins
    // with it.
    static HWND FindChild(HWND parent, const char* className, const std::string& textPrefix = "");
    static std::string WindowText(HWND wnd);
    // True when the process has loaded the module of that file name (e.g.
    // "comdlg32.dll"), compared without regard to case.
    bool HasModule(const char* fileName) const;

private:
    PROCESS_INFORMATION FInfo{};
};

// When KV_SCREENSHOT_DIR is set, saves the screen as <dir>/<name>.bmp.
void SaveScreenshot(const std::string& name);

}  // namespace e2e

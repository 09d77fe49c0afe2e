#include "App/E2eDriver.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <stdexcept>

#include "Framework/Handles.h"

namespace e2e {

namespace {

// Trial registrations use an identifier no program of ours hands out.
constexpr int TrialId = 0xBF00;

std::string EnvValue(const char* name) {
    char buffer[1024] = {};
    const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    const TFindHandle find(FindFirstFileA((folder + "*").c_str(), &data));
    if (find.Valid()) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find.Get(), &data));
    }
    RemoveDirectoryA(folder.c_str());
}

struct TFindTopLevel {
    DWORD Pid;
    const char* ClassName;
    bool VisibleOnly;
    HWND Found;
};

BOOL CALLBACK FindTopLevelProc(HWND wnd, LPARAM lp) {
    auto* f = reinterpret_cast<TFindTopLevel*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid != f->Pid) return TRUE;
    if (f->VisibleOnly && !IsWindowVisible(wnd)) return TRUE;
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpiA(cls, f->ClassName) != 0) return TRUE;
    f->Found = wnd;
    return FALSE;
}

struct TFindChild {
    const char* ClassName;
    std::string Prefix;
    HWND Found;
};

BOOL CALLBACK FindChildProc(HWND wnd, LPARAM lp) {
    auto* f = reinterpret_cast<TFindChild*>(lp);
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (f->ClassName && lstrcmpiA(cls, f->ClassName) != 0) return TRUE;
    if (!f->Prefix.empty() && TKeyvane::WindowText(wnd).compare(0, f->Prefix.size(), f->Prefix) != 0) return TRUE;
    f->Found = wnd;
    return FALSE;
}

BOOL CALLBACK LongestStaticProc(HWND wnd, LPARAM lp) {
    auto* best = reinterpret_cast<std::string*>(lp);
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) {
        const std::string text = TKeyvane::WindowText(wnd);
        if (text.size() > best->size()) *best = text;
    }
    return TRUE;
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    // The Windows key and the cursor block, not their twins on the number pad.
    if (vk == VK_LWIN || (vk >= VK_PRIOR && vk <= VK_DOWN)) in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return in;
}

}  // namespace

bool WaitFor(const std::function<bool()>& cond, DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (cond()) return true;
        if (GetTickCount() - start > limitMs) return cond();
        // Lets sent messages and our own windows through while we wait.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

namespace {
BOOL CALLBACK AnyNeedsPaint(HWND wnd, LPARAM lp) {
    if (IsWindowVisible(wnd) && GetUpdateRect(wnd, nullptr, FALSE)) *reinterpret_cast<bool*>(lp) = true;
    return TRUE;
}
}  // namespace

void Settle(HWND wnd) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    DWORD_PTR r = 0;
    SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
    WaitFor(
        [&] {
            bool pending = GetUpdateRect(wnd, nullptr, FALSE) != FALSE;
            EnumChildWindows(wnd, AnyNeedsPaint, reinterpret_cast<LPARAM>(&pending));
            return !pending;
        },
        3000);
}

std::string WinPath(const std::string& unixPath) {
    std::string p = unixPath;
    std::replace(p.begin(), p.end(), '/', '\\');
    return "Z:" + p;
}

std::string KeyvaneExe() { return WinPath(KV_KEYVANE_EXE); }
std::string ProbeExe() { return WinPath(KV_PROBE_EXE); }
std::string HelpFile() { return WinPath(KV_HELP_FILE); }

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileText(const std::string& path) {
    const TKernelHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string text;
    if (!file.Valid()) return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    return text;
}

void WriteFileText(const std::string& path, const std::string& text) {
    const TKernelHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) throw std::runtime_error("can't create " + path);
    DWORD written = 0;
    if (!WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size())
        throw std::runtime_error("can't write " + path);
}

void CopyFileOrThrow(const std::string& from, const std::string& to) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) throw std::runtime_error("can't copy " + from + " to " + to);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        const auto end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// ---------------------------------------------------------------- TTempDir

TTempDir::TTempDir() {
    char temp[MAX_PATH] = {};
    const DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n >= sizeof temp) throw std::runtime_error("no temporary folder");
    static int counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "kve2e-%lu-%d\\", GetCurrentProcessId(), ++counter);
        FPath = std::string(temp) + name;
        if (CreateDirectoryA(FPath.c_str(), nullptr)) return;
    }
    throw std::runtime_error("can't create a temporary folder");
}

TTempDir::~TTempDir() { RemoveTree(FPath); }

// ---------------------------------------------------------------- hot keys

bool HotKeyTaken(UINT vk) {
    if (RegisterHotKey(nullptr, TrialId, MOD_WIN, vk)) {
        UnregisterHotKey(nullptr, TrialId);
        return false;
    }
    return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}

std::vector<THotKey> FreeHotKeys(size_t count) {
    static const THotKey pool[] = {
        {VK_F9, "WIN + F9"}, {VK_F10, "WIN + F10"}, {VK_F11, "WIN + F11"}, {VK_F12, "WIN + F12"},
        {'J', "WIN + J"},    {'Q', "WIN + Q"},      {'Y', "WIN + Y"},      {'U', "WIN + U"},
        {'O', "WIN + O"},    {'G', "WIN + G"},      {'Z', "WIN + Z"},      {'B', "WIN + B"},
        {'H', "WIN + H"},    {'P', "WIN + P"},      {'I', "WIN + I"},      {'X', "WIN + X"},
    };
    std::vector<THotKey> keys;
    for (const THotKey& key : pool) {
        if (keys.size() == count) break;
        if (!HotKeyTaken(key.Vk)) keys.push_back(key);
    }
    if (keys.size() < count) throw std::runtime_error("not enough free hot keys");
    return keys;
}

void PressHotKey(UINT vk) { PressKeys({VK_LWIN, static_cast<WORD>(vk)}); }

void PressKeys(std::initializer_list<WORD> chord) {
    std::vector<INPUT> inputs;
    for (WORD vk : chord) inputs.push_back(KeyInput(vk, false));
    for (auto it = std::rbegin(chord); it != std::rend(chord); ++it) inputs.push_back(KeyInput(*it, true));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool TKeyvane::PressHotKeyWhenIdle(UINT vk) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, WaitLimitMs, &answer)) return false;
    PressHotKey(vk);
    return true;
}

bool TKeyvane::PressHotKeyUntil(UINT vk, const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < WaitLimitMs) {
        if (!PressHotKeyWhenIdle(vk)) return false;
        if (WaitFor(done, 3000)) return true;
    }
    return done();
}

THeldHotKey::THeldHotKey(UINT vk) : FId(TrialId + 1) {
    if (!RegisterHotKey(nullptr, FId, MOD_WIN, vk)) throw std::runtime_error("can't hold the hot key");
}

THeldHotKey::~THeldHotKey() { UnregisterHotKey(nullptr, FId); }

// ---------------------------------------------------------------- TKeyvane

TKeyvane::TKeyvane(const std::string& exePath, const std::string& startFolder) {
    // A fresh Wine session makes the shell's tray, where the icon goes, late.
    if (!WaitFor([] { return FindWindowA("Shell_TrayWnd", nullptr) != nullptr; }))
        throw std::runtime_error("the shell's tray is not up");
    std::string commandLine = "\"" + exePath + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, startFolder.c_str(),
                        &si, &FInfo))
        throw std::runtime_error("can't start " + exePath);
}

TKeyvane::~TKeyvane() {
    if (Running()) {
        TerminateProcess(FInfo.hProcess, 99);
        WaitForSingleObject(FInfo.hProcess, WaitLimitMs);
    }
    CloseHandle(FInfo.hThread);
    CloseHandle(FInfo.hProcess);
}

bool TKeyvane::Running() const { return WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT; }

bool TKeyvane::WaitExit(DWORD& exitCode, DWORD limitMs) {
    if (!WaitFor([&] { return !Running(); }, limitMs)) return false;
    return GetExitCodeProcess(FInfo.hProcess, &exitCode) != 0;
}

HWND TKeyvane::FindWindowOfClass(const char* className, bool visibleOnly) const {
    TFindTopLevel f{FInfo.dwProcessId, className, visibleOnly, nullptr};
    EnumWindows(FindTopLevelProc, reinterpret_cast<LPARAM>(&f));
    return f.Found;
}

HWND TKeyvane::MainWindow() {
    HWND wnd = nullptr;
    WaitFor([&] { return (wnd = FindWindowOfClass("TFormMain")) != nullptr || !Running(); });
    return wnd;
}

bool TKeyvane::WaitStarted() {
    if (!MainWindow()) return false;
    return WaitForInputIdle(FInfo.hProcess, WaitLimitMs) == 0;
}

bool TKeyvane::WaitRect(const RECT& rect) {
    HWND wnd = MainWindow();
    if (!wnd) return false;
    return WaitFor([&] {
        RECT r{};
        return GetWindowRect(wnd, &r) && EqualRect(&r, &rect);
    });
}

TMessageBox TKeyvane::WaitMessageBox(DWORD limitMs) {
    TMessageBox box;
    if (!WaitFor([&] { return (box.Wnd = FindWindowOfClass("#32770", true)) != nullptr; }, limitMs)) return {};
    box.Caption = WindowText(box.Wnd);
    // The message's text sits in the static control the system gives the
    // identifier 0xFFFF; the longest static text stands in where it is missing.
    if (HWND text = GetDlgItem(box.Wnd, 0xFFFF)) box.Text = WindowText(text);
    if (box.Text.empty()) EnumChildWindows(box.Wnd, LongestStaticProc, reinterpret_cast<LPARAM>(&box.Text));
    return box;
}

bool TKeyvane::CloseMessageBox(const TMessageBox& box) {
    if (!box.Wnd) return false;
    PostMessageA(box.Wnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return WaitFor([&] { return !IsWindow(box.Wnd) || !IsWindowVisible(box.Wnd); });
}

std::string TKeyvane::AnswerMessageBox() {
    const TMessageBox box = WaitMessageBox();
    if (!box.Wnd || !CloseMessageBox(box)) return std::string();
    return box.Text;
}

LRESULT TKeyvane::QueryEndSession(bool thenEnd) {
    HWND wnd = MainWindow();
    DWORD_PTR answer = 0;
    if (!wnd || !SendMessageTimeoutA(wnd, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, WaitLimitMs, &answer)) return -1;
    if (thenEnd && answer == 1) EndSession(true);
    return static_cast<LRESULT>(answer);
}

LRESULT TKeyvane::EndSession(bool ending) {
    DWORD_PTR answer = 0;
    const bool answered = SendMessageTimeoutA(MainWindow(), WM_ENDSESSION, ending, 0, SMTO_NORMAL, WaitLimitMs, &answer);
    return answered ? static_cast<LRESULT>(answer) : -1;
}

void TKeyvane::PostQueryEndSession() {
    if (HWND wnd = MainWindow()) PostMessageA(wnd, WM_QUERYENDSESSION, 0, 0);
}

void TKeyvane::TrayNotify(UINT mouseMessage) {
    HWND main = MainWindow();
    HWND callback = main ? FindWindowExA(main, nullptr, "TCallbackWindow", nullptr) : nullptr;
    // The main window's tray icon is the process's first, number 1.
    if (callback) PostMessageA(callback, WM_USER + 200, 1, static_cast<LPARAM>(mouseMessage));
}

bool TKeyvane::ChooseTrayMenu(char accessKey) {
    TrayNotify(WM_RBUTTONDOWN);
    HWND menu = nullptr;
    if (!WaitFor([&] { return (menu = FindWindowOfClass("#32768", true)) != nullptr; })) return false;
    // The menu's own loop reads characters for the access keys.
    PostMessageA(menu, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(accessKey)), 0);
    return WaitFor([&] { return !IsWindowVisible(menu); });
}

HWND TKeyvane::FindChild(HWND parent, const char* className, const std::string& textPrefix) {
    TFindChild f{className, textPrefix, nullptr};
    EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&f));
    return f.Found;
}

std::string TKeyvane::WindowText(HWND wnd) {
    char buffer[1024] = {};
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 5000,
                             &got))
        return std::string();
    return std::string(buffer, std::min<size_t>(got, sizeof buffer - 1));
}

bool TKeyvane::HasModule(const char* fileName) const {
    const TKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, FInfo.dwProcessId));
    if (!snapshot) throw std::runtime_error("no module list of the process");
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Module32First(snapshot.Get(), &entry); more && !found;
         more = Module32Next(snapshot.Get(), &entry))
        found = lstrcmpiA(entry.szModule, fileName) == 0;
    return found;
}

// ---------------------------------------------------------------- screenshots

void SaveScreenshot(const std::string& name) {
    std::string folder = EnvValue("KV_SCREENSHOT_DIR");
    if (folder.empty()) return;
    if (folder[0] == '/') folder = WinPath(folder);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const TBorrowedDC screen(nullptr);
    const TMemoryDC memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const TGdiObject<HBITMAP> bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return;
    {
        const TSelectedObject selected(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY);
    }
    GdiFlush();
    const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + imageSize;
    std::string file(reinterpret_cast<const char*>(&header), sizeof header);
    file.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    file.append(static_cast<const char*>(bits), imageSize);
    WriteFileText(folder + "\\" + name + ".bmp", file);
}

}  // namespace e2e

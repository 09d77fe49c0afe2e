// The least a hot-key launcher must do, as a yardstick for Keyvane: read the
// items' keys and command lines from a settings file of Keyvane's layout,
// register the hot keys, put one icon into the notification area and start
// the command line of a pressed key with WinExec. It says it is ready by
// setting its window's text to "ready"; WM_QUERYENDSESSION or WM_CLOSE end it.
// Started with "/foreground" it first makes its hidden window the foreground
// window, the step a launcher must take so that what it starts comes up in
// front. Started with "/help" it loads the HTML Help library at start, from the
// system folder, as a launcher with a help menu must.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct TItem {
    std::string ShortCut, Command, Params;
};

std::vector<TItem> items;
bool takeForeground = false;

// "WIN + CTRL + F5" -> MOD_ flags and a virtual key; false when unreadable.
bool ParseShortCut(const std::string& text, UINT& mods, UINT& vk) {
    mods = 0;
    vk = 0;
    size_t start = 0;
    for (;;) {
        const size_t plus = text.find(" + ", start);
        const std::string word = text.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        if (plus == std::string::npos) {
            if (word.size() == 1) vk = static_cast<unsigned char>(word[0]);
            else if (word.size() >= 2 && word[0] == 'F') vk = VK_F1 + static_cast<UINT>(std::atoi(word.c_str() + 1)) - 1;
            return vk != 0;
        }
        if (word == "WIN") mods |= MOD_WIN;
        else if (word == "ALT") mods |= MOD_ALT;
        else if (word == "CTRL") mods |= MOD_CONTROL;
        else if (word == "SHIFT") mods |= MOD_SHIFT;
        start = plus + 3;
    }
}

// Reads the file once and picks the three keys out of the item sections.
void LoadItems(const std::string& file) {
    HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    std::string text;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(h);

    bool inItem = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.front() == '[') {
            inItem = line.compare(0, 7, "[#Item ") == 0;
            if (inItem) items.emplace_back();
            continue;
        }
        if (!inItem) continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "ShortCut") items.back().ShortCut = value;
        else if (key == "Command") items.back().Command = value;
        else if (key == "Params") items.back().Params = value;
    }
}

LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_HOTKEY:
            if (takeForeground) SetForegroundWindow(wnd);
            if (wp < items.size()) WinExec((items[wp].Command + " " + items[wp].Params).c_str(), SW_SHOW);
            return 0;
        case WM_QUERYENDSESSION:
        case WM_CLOSE:
            PostQuitMessage(0);
            return 1;
        default:
            return DefWindowProcA(wnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    takeForeground = std::strstr(commandLine, "/foreground") != nullptr;
    const bool loadHelp = std::strstr(commandLine, "/help") != nullptr;
    char exe[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
    if (n == 0 || n >= sizeof exe) return 1;
    std::string ini = exe;
    ini = ini.substr(0, ini.rfind('.')) + ".ini";

    WNDCLASSA wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = "KvMiniLauncher";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!wnd) return 1;
    if (loadHelp) {
        char system[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryA(system, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return 1;
        HMODULE help = LoadLibraryA((std::string(system, length) + "\\hhctrl.ocx").c_str());
        if (!help || !GetProcAddress(help, "HtmlHelpA")) return 1;
    }

    LoadItems(ini);
    for (size_t i = 0; i < items.size(); ++i) {
        UINT mods = 0, vk = 0;
        if (ParseShortCut(items[i].ShortCut, mods, vk)) RegisterHotKey(wnd, static_cast<int>(i), mods, vk);
    }
    NOTIFYICONDATAA tray{};
    tray.cbSize = NOTIFYICONDATAA_V1_SIZE;
    tray.hWnd = wnd;
    tray.uID = 1;
    tray.uFlags = NIF_ICON | NIF_TIP;
    tray.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    std::strcpy(tray.szTip, "MiniLauncher");
    Shell_NotifyIconA(NIM_ADD, &tray);
    SetWindowTextA(wnd, "ready");

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    Shell_NotifyIconA(NIM_DELETE, &tray);
    for (size_t i = 0; i < items.size(); ++i) UnregisterHotKey(wnd, static_cast<int>(i));
    DestroyWindow(wnd);
    return 0;
}

// The start of Keyvane phase by phase: a copy of the program built with its
// start-up marks (KeyvaneProfile.exe) is started with 0 and with 100 items,
// and each phase's time is printed as the median of several starts, from the
// moment this benchmark asks for the process to the program's "ready" (its
// message loop about to run, every hot key registered). Phases marked "+"
// recur per item; their time is part of the phase "items". The first phase
// ends before the program's statics are built, so the second is the start of
// the application object: comctl32, and with it the display driver, which a
// program without common controls loads at its first window instead. Then
// the main window is asked for as a double click on the tray icon does, and
// its first showing is timed the same way (the controls get their windows
// then).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "BenchSupport.h"

namespace {

constexpr int Runs = 7;

struct TPhase {
    std::string Name;
    double Ms;
};

std::string ReadText(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

double TicksToMs(long long ticks) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(ticks) * 1000.0 / static_cast<double>(f.QuadPart);
}

// One start with n items: the phases in their order.
std::vector<TPhase> RunOnce(const std::string& exe, const std::vector<TCombo>& combos, size_t n) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "kvprofile-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string copy = folder + "KvProfile.exe";
    const std::string marks = copy + ".profile";
    CopyFileA(exe.c_str(), copy.c_str(), FALSE);
    DeleteFileA(marks.c_str());
    std::string ini;
    for (size_t i = 0; i < n; ++i) {
        char section[32];
        std::snprintf(section, sizeof section, "[#Item  %02d]\r\n", static_cast<int>(i));
        ini += section + std::string("Name=Item\r\nShortCut=") + combos[i].Text +
               "\r\nCommand=notepad.exe\r\nParams=\r\nPath=\r\n\r\n";
    }
    WriteText(folder + "KvProfile.ini", ini);

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string commandLine = "\"" + copy + "\"";
    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    if (!CreateProcessA(copy.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
        throw std::runtime_error("can't start " + copy);
    if (!Poll([&] { return FileSize(marks) > 0; })) throw std::runtime_error("no profile from " + copy);
    Sleep(50);  // the file is written in one call; let it land whole
    const long long startMarks = FileSize(marks);

    HWND main = nullptr, callback = nullptr;
    Poll([&] {
        main = FindWindowA("TFormMain", nullptr);
        callback = main ? FindWindowExA(main, nullptr, "TCallbackWindow", nullptr) : nullptr;
        return callback != nullptr;
    });
    // The tray icon's double click, as the shell reports it (icon number 1).
    PostMessageA(callback, WM_USER + 200, 1, WM_LBUTTONDBLCLK);
    if (!Poll([&] { return FileSize(marks) > startMarks; })) throw std::runtime_error("no showing from " + copy);
    Sleep(50);

    std::vector<TPhase> phases;
    long long previous = started.QuadPart;
    long long showing = 0;
    const std::string text = ReadText(marks);
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        const std::string line = text.substr(at, end - at);
        at = end == std::string::npos ? text.size() : end + 2;
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        const std::string name = line.substr(0, tab);
        const long long ticks = std::stoll(line.substr(tab + 1));
        if (name[0] == '+') {
            phases.push_back({"  " + name, TicksToMs(ticks)});
        } else if (name == "first showing") {
            showing = ticks;
        } else {
            phases.push_back({name, TicksToMs(ticks - previous)});
        }
        if (name[0] != '+') previous = ticks;
        if (name == "ready") phases.push_back({"total to ready", TicksToMs(ticks - started.QuadPart)});
    }
    if (showing) phases.push_back({"first showing in all", TicksToMs(previous - showing)});

    EndAndRemove(main, pi, {marks, folder + "KvProfile.ini", copy}, folder);
    return phases;
}

}  // namespace

int main() {
    try {
        const std::string exe = WinPath(KV_PROFILE_EXE);
        const std::vector<TCombo> combos = FreeCombos(100);
        const size_t counts[] = {0, 100};
        std::vector<std::string> order;
        std::map<std::string, std::vector<double>> figures[2];
        for (int c = 0; c < 2; ++c) {
            for (int run = 0; run < Runs; ++run) {
                for (const TPhase& p : RunOnce(exe, combos, counts[c])) {
                    if (c == 0 && run == 0) order.push_back(p.Name);
                    figures[c][p.Name].push_back(p.Ms);
                }
            }
        }
        for (const TPhase& p : RunOnce(exe, combos, counts[1]))
            if (figures[0].find(p.Name) == figures[0].end()) order.insert(std::find(order.begin(), order.end(), "total to ready"), p.Name);
        std::printf("%-46s %12s %12s   (ms, median of %d starts)\n", "phase", "0 items", "100 items", Runs);
        for (const std::string& name : order) {
            std::printf("%-46s", name.c_str());
            for (int c = 0; c < 2; ++c) {
                const auto it = figures[c].find(name);
                if (it == figures[c].end()) std::printf(" %12s", "-");
                else std::printf(" %12.1f", Median(it->second));
            }
            std::printf("\n");
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "StartProfile_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}

// Keyvane beside a minimal launcher (MiniLauncher.exe: registers the same hot
// keys, adds one tray icon, calls WinExec on a press; once more with the
// foreground step Keyvane takes before a launch), under the same
// conditions: the start until every hot key is registered with 0, 10 and 100
// items, a hot-key press until the launched program runs, the peak working
// set, and the size of the executables. Each figure is the median of several
// runs. Run it on an otherwise quiet display: it presses hot keys.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchSupport.h"

namespace {

constexpr int Runs = 5;
void Press(const TCombo& combo) {
    std::vector<WORD> keys{VK_LWIN};
    if (combo.Mods & MOD_ALT) keys.push_back(VK_MENU);
    if (combo.Mods & MOD_CONTROL) keys.push_back(VK_CONTROL);
    if (combo.Mods & MOD_SHIFT) keys.push_back(VK_SHIFT);
    keys.push_back(static_cast<WORD>(combo.Vk));
    std::vector<INPUT> inputs;
    for (WORD k : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = k;
        in.ki.dwFlags = k == VK_LWIN ? KEYEVENTF_EXTENDEDKEY : 0;
        inputs.push_back(in);
    }
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *it;
        in.ki.dwFlags = KEYEVENTF_KEYUP | (*it == VK_LWIN ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs.push_back(in);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

struct TFindWindow {
    DWORD Pid;
    const char* Class;
    HWND Found;
};

BOOL CALLBACK FindProc(HWND wnd, LPARAM lp) {
    auto* f = reinterpret_cast<TFindWindow*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (pid != f->Pid || lstrcmpA(cls, f->Class) != 0) return TRUE;
    f->Found = wnd;
    return FALSE;
}

HWND FindOf(DWORD pid, const char* cls) {
    TFindWindow f{pid, cls, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&f));
    return f.Found;
}

struct TSample {
    double ReadyMs = 0;
    double LaunchMs = 0;
    SIZE_T PeakBytes = 0;
};

// One start of a program with n items, a press of the first item's key and
// an end through the end-of-session query.
TSample RunOnce(const std::string& exe, const char* args, bool keyvane, const std::vector<TCombo>& combos, size_t n,
                const std::string& probe) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "kvbench-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string copy = folder + (keyvane ? "KvBench.exe" : "MiniBench.exe");
    const std::string out = folder + "out.txt";
    CopyFileA(exe.c_str(), copy.c_str(), FALSE);
    DeleteFileA(out.c_str());

    // The window rectangle is the last thing Keyvane applies when it loads.
    std::string ini = "[FormMain]\r\nFormRect=250,190,680,460\r\n\r\n";
    for (size_t i = 0; i < n; ++i) {
        char section[32];
        std::snprintf(section, sizeof section, "[#Item  %02d]\r\n", static_cast<int>(i));
        ini += section + std::string("Name=Item\r\nShortCut=") + combos[i].Text + "\r\nCommand=" + probe +
               "\r\nParams=" + out + "\r\nPath=\r\n\r\n";
    }
    WriteText(copy.substr(0, copy.size() - 4) + ".ini", ini);

    TSample sample;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string commandLine = "\"" + copy + "\"" + args;
    const double start = Now();
    if (!CreateProcessA(copy.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
        throw std::runtime_error("can't start " + copy);
    HWND wnd = nullptr;
    const bool ready = Poll([&] {
        if (keyvane) {
            wnd = FindOf(pi.dwProcessId, "TFormMain");
            RECT r;
            return wnd && GetWindowRect(wnd, &r) && r.left == 250 && r.top == 190 && r.right == 930;
        }
        wnd = FindOf(pi.dwProcessId, "KvMiniLauncher");
        char text[16] = {};
        return wnd && GetWindowTextA(wnd, text, sizeof text) && lstrcmpA(text, "ready") == 0;
    });
    sample.ReadyMs = Now() - start;
    if (!ready) throw std::runtime_error("not ready in time: " + copy);

    if (n > 0) {
        const double pressed = Now();
        Press(combos[0]);
        if (!Poll([&] { return FileSize(out) > 0; })) throw std::runtime_error("no launch: " + copy);
        sample.LaunchMs = Now() - pressed;
    }
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters)) sample.PeakBytes = counters.PeakWorkingSetSize;

    EndAndRemove(wnd, pi, {out, copy.substr(0, copy.size() - 4) + ".ini", copy}, folder);
    return sample;
}

}  // namespace

int main() {
    try {
        const std::string keyvane = WinPath(KV_KEYVANE_EXE);
        const std::string mini = WinPath(KV_MINI_EXE);
        const std::string probe = WinPath(KV_PROBE_EXE);
        const std::vector<TCombo> combos = FreeCombos(100);

        struct TProgram {
            const char* Name;
            std::string Exe;
            const char* Args;
        };
        const TProgram programs[] = {
            {"Keyvane", keyvane, ""}, {"MiniLauncher", mini, ""}, {"Mini+fg", mini, " /foreground"}};
        // Medians with 100 items, for the ratios.
        double ready[3] = {}, launch[3] = {}, peak[3] = {};
        std::printf("%-14s %6s %14s %14s %12s\n", "program", "items", "ready (ms)", "launch (ms)", "peak WS (KB)");
        for (int p = 0; p < 3; ++p) {
            for (const size_t n : {size_t{0}, size_t{10}, size_t{100}}) {
                std::vector<double> readyMs, launchMs;
                std::vector<SIZE_T> peakBytes;
                for (int run = 0; run < Runs; ++run) {
                    const TSample s = RunOnce(programs[p].Exe, programs[p].Args, p == 0, combos, n, probe);
                    readyMs.push_back(s.ReadyMs);
                    launchMs.push_back(s.LaunchMs);
                    peakBytes.push_back(s.PeakBytes);
                }
                std::printf("%-14s %6u %14.1f %14s %12lu\n", programs[p].Name, static_cast<unsigned>(n),
                            Median(readyMs), n > 0 ? std::to_string(Median(launchMs)).substr(0, 6).c_str() : "-",
                            static_cast<unsigned long>(Median(peakBytes) / 1024));
                if (n == 100) {
                    ready[p] = Median(readyMs);
                    launch[p] = Median(launchMs);
                    peak[p] = static_cast<double>(Median(peakBytes));
                }
            }
        }
        std::printf("\n%-22s %14s %14s\n", "Keyvane / (100 items)", "MiniLauncher", "Mini+fg");
        std::printf("%-22s %14.2f %14.2f\n", "ready", ready[0] / ready[1], ready[0] / ready[2]);
        std::printf("%-22s %14.2f %14.2f\n", "press to launched", launch[0] / launch[1], launch[0] / launch[2]);
        std::printf("%-22s %14.2f %14.2f\n", "peak working set", peak[0] / peak[1], peak[0] / peak[2]);
        std::printf("\nsize of Keyvane.exe: %lld bytes (goal: 307200 or less)\n", FileSize(keyvane));
        std::printf("size of MiniLauncher.exe: %lld bytes\n", FileSize(mini));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "App_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}

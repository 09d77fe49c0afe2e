// Keyvane beside a minimal launcher (MiniLauncher.exe: registers the same hot
// keys, adds one tray icon, calls WinExec on a press), bare, with the
// foreground step Keyvane takes before a launch, and with the HTML Help
// library Keyvane loads at start: the start until every hot key is registered
// with 0, 10 and 100 items, a hot-key press until the launched program runs,
// the peak working set, and the size of the executables.
//
// The machine may be busy with other work, and its load drifts. So the
// programs take turns run by run, in an order rotated each round, and Keyvane
// is compared with each minimal launcher pair by pair: the ratio of the two
// runs of one round, whose load was alike. The comparison gives the median of
// those ratios with its quartiles.
//
// Usage: App_bench [rounds [item count ...]]; 15 rounds of 0, 10 and 100
// items unless told. Run it on a display of its own: it presses hot keys.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchSupport.h"

namespace {

constexpr int DefaultRounds = 15;
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

struct TProgram {
    const char* Name;
    std::string Exe;
    const char* Args;
    bool Keyvane;
};

// The figures of one program with one item count, a run per round.
struct TFigures {
    std::vector<double> Ready, Launch, Peak;
};

std::string Quartered(const std::vector<double>& v, const char* format) {
    const TQuartiles q = Quartiles(v);
    char text[80];
    std::snprintf(text, sizeof text, format, q.Median, q.Lower, q.Upper);
    return text;
}

// Keyvane's figure over another's, round by round.
std::vector<double> PairRatios(const std::vector<double>& keyvane, const std::vector<double>& other) {
    std::vector<double> ratios;
    for (size_t i = 0; i < keyvane.size() && i < other.size(); ++i)
        if (other[i] > 0) ratios.push_back(keyvane[i] / other[i]);
    return ratios;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : DefaultRounds;
        std::vector<size_t> counts;
        for (int i = 2; i < argc; ++i) counts.push_back(static_cast<size_t>(std::max(0, std::atoi(argv[i]))));
        if (counts.empty()) counts = {0, 10, 100};
        for (size_t n : counts)
            if (n > 100) throw std::runtime_error("at most 100 items");

        const std::string keyvane = WinPath(KV_KEYVANE_EXE);
        const std::string mini = WinPath(KV_MINI_EXE);
        const std::string probe = WinPath(KV_PROBE_EXE);
        const std::vector<TCombo> combos = FreeCombos(100);
        const std::vector<TProgram> programs = {{"Keyvane", keyvane, "", true},
                                                {"Mini", mini, "", false},
                                                {"Mini+fg", mini, " /foreground", false},
                                                {"Mini+help", mini, " /help", false}};

        // figures[count][program]
        std::vector<std::vector<TFigures>> figures(counts.size(), std::vector<TFigures>(programs.size()));
        for (int round = 0; round < rounds; ++round) {
            for (size_t c = 0; c < counts.size(); ++c) {
                for (size_t turn = 0; turn < programs.size(); ++turn) {
                    const size_t p = (turn + static_cast<size_t>(round)) % programs.size();
                    const TSample s = RunOnce(programs[p].Exe, programs[p].Args, programs[p].Keyvane, combos,
                                              counts[c], probe);
                    TFigures& f = figures[c][p];
                    f.Ready.push_back(s.ReadyMs);
                    f.Launch.push_back(s.LaunchMs);
                    f.Peak.push_back(static_cast<double>(s.PeakBytes) / 1024.0);
                }
            }
            std::fprintf(stderr, "round %d of %d\r", round + 1, rounds);
        }
        std::fprintf(stderr, "\n");

        std::printf("%d rounds; median [lower quartile, upper quartile]\n\n", rounds);
        std::printf("%-10s %5s %26s %26s %14s\n", "program", "items", "ready (ms)", "press to launched (ms)",
                    "peak WS (KB)");
        for (size_t c = 0; c < counts.size(); ++c) {
            for (size_t p = 0; p < programs.size(); ++p) {
                const TFigures& f = figures[c][p];
                std::printf("%-10s %5u %26s %26s %14.0f\n", programs[p].Name, static_cast<unsigned>(counts[c]),
                            Quartered(f.Ready, "%.1f [%.1f, %.1f]").c_str(),
                            counts[c] > 0 ? Quartered(f.Launch, "%.2f [%.2f, %.2f]").c_str() : "-",
                            Quartiles(f.Peak).Median);
            }
        }

        const size_t last = counts.size() - 1;
        std::printf("\nKeyvane / other with %u items, the ratio of each round's pair:\n",
                    static_cast<unsigned>(counts[last]));
        std::printf("%-18s", "");
        for (size_t p = 1; p < programs.size(); ++p) std::printf(" %24s", programs[p].Name);
        std::printf("\n");
        const TFigures& k = figures[last][0];
        struct TRow {
            const char* Name;
            std::vector<double> TFigures::*Figure;
        };
        const TRow rows[] = {{"ready", &TFigures::Ready},
                             {"press to launched", &TFigures::Launch},
                             {"peak working set", &TFigures::Peak}};
        for (const TRow& row : rows) {
            if (row.Figure == &TFigures::Launch && counts[last] == 0) continue;
            std::printf("%-18s", row.Name);
            for (size_t p = 1; p < programs.size(); ++p)
                std::printf(" %24s",
                            Quartered(PairRatios(k.*row.Figure, figures[last][p].*row.Figure), "%.3f [%.3f, %.3f]")
                                .c_str());
            std::printf("\n");
        }
        std::printf("\nsize of Keyvane.exe: %lld bytes (goal: 307200 or less)\n", FileSize(keyvane));
        std::printf("size of MiniLauncher.exe: %lld bytes\n", FileSize(mini));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "App_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}

// The start-up profile's marks, linked into the benchmark's copy of the
// program only.
#include "App/StartProfile.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

struct TMark {
    const char* Phase;
    long long Ticks;
    bool Recurring;
};

std::vector<TMark>& Marks() {
    static std::vector<TMark> marks;
    return marks;
}

}  // namespace

long long StartPhaseTicks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void StartPhaseEnd(const char* phase) { Marks().push_back({phase, StartPhaseTicks(), false}); }

void StartPhaseAdd(const char* phase, long long ticks) {
    for (TMark& m : Marks()) {
        if (m.Recurring && std::string(m.Phase) == phase) {
            m.Ticks += ticks;
            return;
        }
    }
    Marks().push_back({phase, ticks, true});
}

// The program's statics are built before WinMain runs, the application
// object's among them, whose start loads comctl32 and with it the display
// driver. Built first of all (priority 101 comes before every static of
// default priority), this mark ends the phase of the process and its runtime.
namespace {
struct TProcessMark {
    TProcessMark() { StartPhaseEnd("process and runtime"); }
};
TProcessMark processMark __attribute__((init_priority(101)));
}  // namespace

void StartPhasesWrite() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string text;
    for (const TMark& m : Marks())
        text += std::string(m.Recurring ? "+" : "") + m.Phase + "\t" + std::to_string(m.Ticks) + "\r\n";
    const std::string path = std::string(exe) + ".profile";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

#pragma once
// What the application benchmarks share: paths, the clock, waiting, files and
// free hot-key combinations. They run under Wine; the build's Unix paths are
// mapped to drive Z:.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

inline constexpr DWORD LimitMs = 30000;

inline std::string WinPath(std::string unixPath) {
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return "Z:" + unixPath;
}

inline double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Polls cond as fast as the system lets a thread wait; false at the limit.
inline bool Poll(const std::function<bool()>& cond) {
    const double end = Now() + LimitMs;
    while (!cond()) {
        if (Now() > end) return false;
        Sleep(1);
    }
    return true;
}

inline long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

inline void WriteText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("can't write " + path);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

struct TCombo {
    UINT Mods;
    UINT Vk;
    std::string Text;
};

// Combinations of the Windows key with two or three other modifiers, which
// nothing else on the desktop uses, that are free right now.
inline std::vector<TCombo> FreeCombos(size_t count) {
    struct TMods {
        UINT Mods;
        const char* Text;
    };
    const TMods mods[] = {{MOD_ALT | MOD_CONTROL, "WIN + ALT + CTRL + "},
                          {MOD_CONTROL | MOD_SHIFT, "WIN + CTRL + SHIFT + "},
                          {MOD_ALT | MOD_SHIFT, "WIN + ALT + SHIFT + "},
                          {MOD_ALT | MOD_CONTROL | MOD_SHIFT, "WIN + ALT + CTRL + SHIFT + "}};
    std::vector<TCombo> combos;
    for (const TMods& m : mods) {
        for (UINT k = 0; k < 38 && combos.size() < count; ++k) {
            const UINT vk = k < 26 ? 'A' + k : VK_F1 + (k - 26);
            const std::string name = k < 26 ? std::string(1, static_cast<char>('A' + k)) : "F" + std::to_string(k - 25);
            if (!RegisterHotKey(nullptr, 0xBE00, m.Mods | MOD_WIN, vk)) continue;
            UnregisterHotKey(nullptr, 0xBE00);
            combos.push_back({m.Mods | MOD_WIN, vk, m.Text + name});
        }
    }
    if (combos.size() < count) throw std::runtime_error("not enough free hot keys");
    return combos;
}

// Ends a started program the way a logoff does (the end-of-session query to
// its window, if it has one), or by force after the time limit, and removes
// its files and its folder.
inline void EndAndRemove(HWND window, PROCESS_INFORMATION& pi, const std::vector<std::string>& files,
                         const std::string& folder) {
    DWORD_PTR answer = 0;
    if (window && SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, LimitMs, &answer) && answer)
        SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, LimitMs, &answer);
    if (WaitForSingleObject(pi.hProcess, LimitMs) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (const std::string& file : files) DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

// The median of the figures.
template <typename T>
T Median(std::vector<T> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The lower quartile, the median and the upper quartile of the figures,
// each interpolated between the two nearest figures.
struct TQuartiles {
    double Lower, Median, Upper;
};

inline TQuartiles Quartiles(std::vector<double> v) {
    if (v.empty()) return {0, 0, 0};
    std::sort(v.begin(), v.end());
    const auto at = [&v](double q) {
        const double pos = q * static_cast<double>(v.size() - 1);
        const size_t below = static_cast<size_t>(pos);
        const double frac = pos - static_cast<double>(below);
        return below + 1 < v.size() ? v[below] + frac * (v[below + 1] - v[below]) : v[below];
    };
    return {at(0.25), at(0.5), at(0.75)};
}


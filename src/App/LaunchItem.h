#pragma once
// One registered item of the launcher.
#include <string>

struct LaunchItem {
    std::string Name;
    std::string ShortCut;  // the hot key in its text form, e.g. "WIN + A"
    std::string Command;
    std::string Params;
    std::string Path;      // working folder; empty means none
    int HotKeyId = -1;     // identifier of its registration; -1 when it has none
};

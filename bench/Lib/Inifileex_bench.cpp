// Loads and writes back settings files with 1,000 and 10,000 item sections the
// way the launcher does at start and at exit, and prints the best time of a
// few rounds for each and their ratio. Ten times the file should take at most
// twelve times as long. The write to disk, which waits for the disk, is shown
// apart as well. Last, one save of a list of 100 and of 768 items, as the
// launcher makes it after each change the user confirms in its list.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Framework/GridGeometry.h"
#include "Lib/Inifileex.h"
#include "Lib/InifileexLayout.h"

namespace {

struct TGrid : IColWidths {
    int ColCount() const override { return static_cast<int>(Widths.size()); }
    int ColWidth(int i) const override { return Widths[static_cast<size_t>(i)]; }
    void SetColWidth(int i, int w) override { Widths[static_cast<size_t>(i)] = w; }
    std::vector<int> Widths{20, 64, 64, 64, 64, 64, 0};
};

struct TWindow : IBounds {
    int Left() const override { return Rect[0]; }
    int Top() const override { return Rect[1]; }
    int Width() const override { return Rect[2]; }
    int Height() const override { return Rect[3]; }
    void SetBounds(int l, int t, int w, int h) override { Rect = {l, t, w, h}; }
    std::vector<int> Rect{220, 201, 696, 478};
};

std::string SettingsText(int items) {
    std::string text =
        "[%%% Application Infomation Section %%%]\r\nFirstVane=2000/12/01 9:30:00\r\nDebugDoAsFirst=0\r\n\r\n"
        "[FormMain]\r\nColWidths=20,110,100,240,64,180,0\r\nFormRect=220,201,696,478\r\n\r\n";
    for (int i = 0; i < items; ++i)
        text += FormatText("[#Item  %02d]\r\nName=Tool %d\r\nShortCut=WIN + F%d\r\nCommand=C:\\Tools\\tool%d.exe\r\n"
                           "Params=/open \"C:\\Data\\%d.txt\"\r\nPath=C:\\Tools\\\r\n\r\n",
                           i, i, i % 12 + 1, i, i);
    return text;
}

struct TTimes {
    double Load = 0, Save = 0, Write = 0;
    double Total() const { return Load + Save + Write; }
};

using TClock = std::chrono::steady_clock;

double Seconds(TClock::time_point from, TClock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// One start and one exit of the launcher on the file: loading (reading the
// file, finding, ordering and reading the items, the layout), saving in memory
// (layout, erasing and writing the item sections, forming the text) and
// writing the file to disk. False when the items did not come back.
bool LoadAndSave(const std::string& file, int items, TTimes& times) {
    const TClock::time_point t0 = TClock::now();
    TIniFileEx ini(file);
    TGrid grid;
    TWindow window;
    const std::vector<std::string> sections = ItemSections(ini);
    std::vector<TItemTexts> loaded;
    loaded.reserve(sections.size());
    for (size_t i = 0; i < sections.size(); ++i) {
        if (ItemSectionIndex(sections[i]) != static_cast<int>(i)) return false;
        loaded.push_back(ReadItemTexts(ini, sections[i]));
    }
    ini.ReadColWidths(FormMainSection, ColWidthsIdent, grid);
    ini.ReadBounds(FormMainSection, FormRectIdent, window);
    const TClock::time_point t1 = TClock::now();

    ini.WriteColWidths(FormMainSection, ColWidthsIdent, grid);
    ini.WriteBounds(FormMainSection, FormRectIdent, window);
    WriteItemSections(ini, loaded);
    const std::string text = ini.GetText();
    const TClock::time_point t2 = TClock::now();

    ini.UpdateFile();
    const TClock::time_point t3 = TClock::now();
    times = {Seconds(t0, t1), Seconds(t1, t2), Seconds(t2, t3)};
    return static_cast<int>(loaded.size()) == items && !text.empty();
}

// The round with the best total.
bool BestRound(const std::string& file, int items, int rounds, TTimes& best) {
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << SettingsText(items);
    }
    best.Load = 1e30;
    for (int r = 0; r < rounds; ++r) {
        TTimes times;
        if (!LoadAndSave(file, items, times)) {
            std::fprintf(stderr, "the %d items did not load back\n", items);
            return false;
        }
        if (times.Total() < best.Total()) best = times;
    }
    return true;
}

void Print(const char* label, const TTimes& t) {
    std::printf("%-24s %9.2f ms  (load %.2f, save in memory %.2f, write to disk %.2f)\n", label, t.Total() * 1000,
                t.Load * 1000, t.Save * 1000, t.Write * 1000);
}

}  // namespace

int main() {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kv-inifileex-bench";
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "Keyvane.ini").string();
    constexpr int Rounds = 7;
    TTimes small, large, hundred, most;
    bool ok = BestRound(file, 1000, Rounds, small) && BestRound(file, 10000, Rounds, large);
    const auto size = std::filesystem::file_size(file);
    ok = ok && BestRound(file, 100, Rounds, hundred) && BestRound(file, 768, Rounds, most);
    std::filesystem::remove_all(dir);
    if (!ok) return 1;
    std::printf("load and write back a settings file, best of %d rounds\n", Rounds);
    Print(" 1,000 item sections:", small);
    Print("10,000 item sections:", large);
    std::printf("the larger file: %llu bytes\n", static_cast<unsigned long long>(size));
    std::printf("ratio 10,000 / 1,000: %.2f in all, %.2f without the write to disk (goal: at most 12)\n",
                large.Total() / small.Total(), (large.Load + large.Save) / (small.Load + small.Save));
    std::printf("one save after a confirmed change (in memory, then the file replaced):\n");
    std::printf("  100 items: %7.2f ms  (save in memory %.2f, write to disk %.2f)\n",
                (hundred.Save + hundred.Write) * 1000, hundred.Save * 1000, hundred.Write * 1000);
    std::printf("  768 items: %7.2f ms  (save in memory %.2f, write to disk %.2f)\n", (most.Save + most.Write) * 1000,
                most.Save * 1000, most.Write * 1000);
    return 0;
}

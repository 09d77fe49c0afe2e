#pragma once
// Temporary folders, whole-file helpers, a settable clock and plain stand-ins
// for a grid and a window, for the tests and the fuzz target of the settings
// storage.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Framework/Classes.h"
#include "Framework/GridGeometry.h"
#include "Lib/IniStore.h"
#include "Lib/IniStoreDateTime.h"
#include "Lib/Inifileex.h"

// A fresh folder under the system's temporary folder, removed with its contents.
class TTempDir {
public:
    TTempDir() {
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (;;) {
            std::ostringstream name;
            name << "kvlib-" << std::hex << random();
            FPath = std::filesystem::temp_directory_path() / name.str();
            if (std::filesystem::create_directory(FPath)) break;
        }
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    ~TTempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }

    std::string File(const std::string& name) const { return (FPath / name).string(); }

private:
    std::filesystem::path FPath;
};

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

// The platform's date-time text with a clock the test sets; put in place for
// the lifetime of the object.
class TTestClock : public TDateTimeLocale {
public:
    explicit TTestClock(TDateTime now) : FPlatform(DateTimeLocale()), FNow(now) { SetDateTimeLocale(this); }
    ~TTestClock() override { SetDateTimeLocale(nullptr); }
    void Set(TDateTime now) { FNow = now; }

    TDateTime Now() const override { return FNow; }
    std::string DateTimeToStr(TDateTime Value) const override { return FPlatform.DateTimeToStr(Value); }
    bool TryStrToDateTime(const std::string& Text, TDateTime& Value) const override {
        return FPlatform.TryStrToDateTime(Text, Value);
    }

private:
    const TDateTimeLocale& FPlatform;
    TDateTime FNow;
};

inline TDateTime At(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
    TDateTime date = 0, time = 0;
    TryEncodeDate(y, m, d, date);
    TryEncodeTime(h, n, s, time);
    return CombineDateTime(date, time);
}

// A grid with the launcher's seven columns at their initial widths.
struct TTestGrid : IColWidths {
    TTestGrid() = default;
    explicit TTestGrid(std::vector<int> widths) : Widths(std::move(widths)) {}
    int ColCount() const override { return static_cast<int>(Widths.size()); }
    int ColWidth(int i) const override { return Widths.at(static_cast<size_t>(i)); }
    void SetColWidth(int i, int w) override { Widths.at(static_cast<size_t>(i)) = w; }
    std::vector<int> Widths{20, 64, 64, 64, 64, 64, 0};
};

// A window at the launcher's initial bounds; counts the calls of SetBounds.
struct TTestWindow : IBounds {
    int Left() const override { return Rect[0]; }
    int Top() const override { return Rect[1]; }
    int Width() const override { return Rect[2]; }
    int Height() const override { return Rect[3]; }
    void SetBounds(int l, int t, int w, int h) override {
        Rect = {l, t, w, h};
        ++Calls;
    }
    std::vector<int> Rect{220, 201, 696, 478};
    int Calls = 0;
};

inline std::vector<std::string> SectionNames(const TMemIniFile& ini) {
    TStringList list;
    ini.ReadSections(list);
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i) names.push_back(list.Strings(i));
    return names;
}

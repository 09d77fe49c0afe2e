// Any bytes as a settings file: the store and the settings object must load
// them (or refuse them and leave the file alone) without a crash, a hang or
// an access out of bounds, do what the launcher does with them, and write
// back a file that loads to the same sections, keys and values.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Framework/Classes.h"
#include "Framework/Exception.h"
#include "Framework/SysUtils.h"
#include "Lib/Inifileex.h"
#include "Lib/InifileexLayout.h"
#include "LibTestSupport.h"

namespace {

void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// Look-ups in files with many sections whose names the index can't hold cost
// a scan each; a bounded number of them keeps every input fast.
constexpr int MaxLookups = 64;

const TTempDir& Scratch() {
    static const TTempDir dir;
    return dir;
}

// Loading the written text again gives the same file, and every key reads
// the same value from both.
void CheckRoundTrip(const std::string& input) {
    const std::string file = Scratch().File("roundtrip.ini");
    TMemIniFile first(file);
    first.SetText(input);
    const std::string written = first.GetText();
    TMemIniFile second(file);
    second.SetText(written);
    Check(second.GetText() == written, "write back is stable");
    const std::vector<std::string> names = SectionNames(first);
    Check(names == SectionNames(second), "same sections");
    int lookups = 0;
    for (const std::string& section : names) {
        if (++lookups > MaxLookups) break;
        Check(first.SectionExists(section), "a listed section exists");
        TStringList keys;
        first.ReadSection(section, keys);
        for (int k = 0; k < keys.Count() && lookups < MaxLookups; ++k, ++lookups) {
            Check(first.ValueExists(section, keys.Strings(k)), "a listed key exists");
            Check(first.ReadString(section, keys.Strings(k), "\x01") ==
                      second.ReadString(section, keys.Strings(k), "\x02"),
                  "same value");
        }
    }
}

// The launcher's load of the item list: false when it stops, leaving the
// item sections unread.
bool LoadItems(const TMemIniFile& ini, std::vector<TItemTexts>& items) {
    const std::vector<std::string> sections = ItemSections(ini);
    const bool ordered = ItemNumbersGiveTheOrder(sections);
    for (size_t i = 0; i < sections.size(); ++i) {
        int number = 0;
        if (!ordered && (!TryStrToInt(sections[i].substr(6), number) || number != static_cast<int>(i))) return false;
        items.push_back(ReadItemTexts(ini, sections[i]));
    }
    return true;
}

// The file as written without the sections the program writes itself: those
// that reach the disk byte for byte as they were read.
std::string ForeignText(const TMemIniFile& ini, bool itemsSaved) {
    TMemIniFile copy(Scratch().File("foreign.ini"));
    copy.SetText(ini.GetText());
    copy.EraseSections([&](const std::string& name) {
        return name == AppInfoSection || name == FormMainSection || (itemsSaved && IsItemSection(name));
    });
    return copy.GetText();
}

// The launcher's load and save on the settings object.
void LoadAndSave(const std::string& input) {
    const std::string file = Scratch().File("Keyvane.ini");
    WriteFileBytes(file, input);
    std::vector<TItemTexts> items;
    bool loaded = false;
    std::string foreign;
    try {
        TIniFileEx ini(file);
        TTestGrid grid;
        TTestWindow window;
        loaded = LoadItems(ini, items);
        foreign = ForeignText(ini, loaded);
        // A malformed layout is reported to the launcher, which goes on.
        try {
            ini.ReadColWidths(FormMainSection, ColWidthsIdent, grid);
        } catch (const EConvertError&) {
        }
        try {
            ini.ReadBounds(FormMainSection, FormRectIdent, window);
        } catch (const EConvertError&) {
        } catch (const EStringListError&) {
        }
        ini.WriteColWidths(FormMainSection, ColWidthsIdent, grid);
        ini.WriteBounds(FormMainSection, FormRectIdent, window);
        // A stopped load leaves the item sections as they are.
        if (loaded) WriteItemSections(ini, items);
        ini.UpdateFile();
    } catch (const EFOpenError&) {
        // No text of the program's code page: refused, and never written.
        Check(ReadFileBytes(file) == input, "a refused file stays as it was");
        return;
    }
    // The next start finds its first-start record, the window's layout and
    // the items just written, whatever the file held before: no file the
    // program wrote is refused.
    TIniFileEx again(file);
    Check(again.ReadDateTime(AppInfoSection, FirstVaneIdent, 0) != 0, "FirstVane readable");
    TTestGrid grid;
    TTestWindow window;
    again.ReadColWidths(FormMainSection, ColWidthsIdent, grid);
    again.ReadBounds(FormMainSection, FormRectIdent, window);
    Check(ForeignText(again, loaded) == foreign, "sections of others come back byte for byte");
    std::vector<TItemTexts> next;
    Check(!loaded || (LoadItems(again, next) && next.size() == items.size()), "the saved items load");
    for (size_t i = 0; i < next.size(); ++i) {
        const TItemTexts& read = next[i];
        Check(read.Name == items[i].Name && read.ShortCut == items[i].ShortCut && read.Command == items[i].Command &&
                  read.Params == items[i].Params && read.Path == items[i].Path,
              "items read back");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    CheckRoundTrip(input);
    LoadAndSave(input);
    return 0;
}

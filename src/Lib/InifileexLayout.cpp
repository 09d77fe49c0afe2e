#include "Lib/InifileexLayout.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "Framework/Classes.h"
#include "Framework/Locale.h"
#include "Framework/SysUtils.h"
#include "Lib/Inifileex.h"

namespace {

constexpr std::size_t PrefixLength = sizeof(ItemSectionPrefix) - 1;

std::string NumberPart(const std::string& section) {
    return section.substr(std::min(PrefixLength, section.size()));
}

}  // namespace

std::string ItemSectionName(int Index) {
    return FormatText((std::string(ItemSectionPrefix) + " %02d").c_str(), Index);
}

bool IsItemSection(const std::string& Section) {
    return Locale().CompareStr(Section.substr(0, PrefixLength), ItemSectionPrefix) == 0;
}

int ItemSectionIndex(const std::string& Section) { return StrToInt(NumberPart(Section)); }

std::vector<std::string> ItemSections(const TMemIniFile& Ini) {
    TStringList sections;
    Ini.ReadSections(sections);
    struct TEntry {
        std::string Name;
        int Number;
    };
    std::vector<TEntry> entries;
    bool allNumbered = true;
    for (int i = 0; i < sections.Count(); ++i) {
        const std::string& name = sections.Strings(i);
        if (!IsItemSection(name)) continue;
        int number = 0;
        if (!TryStrToInt(NumberPart(name), number)) allNumbered = false;
        entries.push_back({name, number});
    }
    const TLocale& loc = Locale();
    std::stable_sort(entries.begin(), entries.end(), [&](const TEntry& a, const TEntry& b) {
        if (allNumbered && a.Number != b.Number) return a.Number < b.Number;
        return loc.CompareText(a.Name, b.Name) < 0;
    });
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (TEntry& e : entries) names.push_back(std::move(e.Name));
    return names;
}

bool ItemNumbersGiveTheOrder(const std::vector<std::string>& Sections) {
    std::vector<int> numbers;
    numbers.reserve(Sections.size());
    for (const std::string& name : Sections) {
        int number = 0;
        if (!TryStrToInt(NumberPart(name), number)) return false;
        numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    return std::adjacent_find(numbers.begin(), numbers.end()) == numbers.end();
}

void WriteItemSections(TMemIniFile& Ini, const std::vector<TItemTexts>& Items) {
    Ini.EraseSections(IsItemSection);
    for (std::size_t i = 0; i < Items.size(); ++i) WriteItemTexts(Ini, static_cast<int>(i), Items[i]);
}

TItemTexts ReadItemTexts(const TMemIniFile& Ini, const std::string& Section) {
    return {Ini.ReadString(Section, NameIdent, ""), Ini.ReadString(Section, ShortCutIdent, ""),
            Ini.ReadString(Section, CommandIdent, ""), Ini.ReadString(Section, ParamsIdent, ""),
            Ini.ReadString(Section, PathIdent, "")};
}

void WriteItemTexts(TMemIniFile& Ini, int Index, const TItemTexts& Texts) {
    const std::string section = ItemSectionName(Index);
    Ini.WriteString(section, NameIdent, Texts.Name);
    Ini.WriteString(section, ShortCutIdent, Texts.ShortCut);
    Ini.WriteString(section, CommandIdent, Texts.Command);
    Ini.WriteString(section, ParamsIdent, Texts.Params);
    Ini.WriteString(section, PathIdent, Texts.Path);
}

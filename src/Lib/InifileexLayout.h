#pragma once
// Where the launcher keeps its settings in the settings file.
//
// "FormMain" (the main window's component name) holds "ColWidths" and
// "FormRect". Each item has a section "#Item " followed by its 0-based index as
// " %02d" (#Item  00, #Item  01, ...) with the keys "Name", "ShortCut",
// "Command", "Params" and "Path" in this order. The number of items is not
// stored: every section whose name begins with exactly "#Item " is an item
// section. The numbers give the order; gaps between them (a section removed
// by hand) don't matter, and the next save numbers the items 0, 1, 2, ...
// again.
#include <string>
#include <vector>

#include "Lib/IniStore.h"

inline constexpr char FormMainSection[] = "FormMain";
inline constexpr char ColWidthsIdent[] = "ColWidths";
inline constexpr char FormRectIdent[] = "FormRect";

inline constexpr char ItemSectionPrefix[] = "#Item ";
inline constexpr char NameIdent[] = "Name";
inline constexpr char ShortCutIdent[] = "ShortCut";
inline constexpr char CommandIdent[] = "Command";
inline constexpr char ParamsIdent[] = "Params";
inline constexpr char PathIdent[] = "Path";

// One item's texts as its section stores them.
struct TItemTexts {
    std::string Name, ShortCut, Command, Params, Path;
};

// The section of the item at Index: "#Item  00", ..., "#Item  99", "#Item  100".
std::string ItemSectionName(int Index);
// True when the first six characters are exactly "#Item " (case-sensitive,
// under the user's locale).
bool IsItemSection(const std::string& Section);
// The number after the first six characters, read by StrToInt (leading blanks
// skipped): the item's index. Raises EConvertError "'%s' は整数ではありません"
// when it is not an integer.
int ItemSectionIndex(const std::string& Section);

// The item sections in load order. When every item section carries an
// integer, they are ordered by that number, and sections with the same number
// by their names (locale-aware, case-insensitive), so #Item  100 follows
// #Item  99. When any of them does not, all are ordered by name alone, as
// lists always were, so that such a file stops loading at the same place with
// the same conversion error as it always did.
std::vector<std::string> ItemSections(const TMemIniFile& Ini);

// True when every item section carries an integer and no two the same: the
// order of the numbers is then the order of the items, and the item at place
// i of ItemSections loads as item i, whatever the gaps. Otherwise the order is
// unknown and the sections must carry 0, 1, 2, ... to load.
bool ItemNumbersGiveTheOrder(const std::vector<std::string>& Sections);

// The saving of the item list: every item section the file holds goes, the
// hand-made names that the numbered ones would miss ("#Item 00") included;
// then each item is written under its own name, in list order. Every other
// section stays as it is, also one that the locale takes for an item's
// ("#item  00", a name holding a NUL byte): item sections are written and
// read by their exact names.
void WriteItemSections(TMemIniFile& Ini, const std::vector<TItemTexts>& Items);

// The five texts of an item section; a missing key reads as the empty text.
// The section of exactly that name is read, wherever a section named like it
// apart from letter case ("#item  00", someone else's) stands in the file.
TItemTexts ReadItemTexts(const TMemIniFile& Ini, const std::string& Section);
// Writes the five keys, in their order, into the section of the item at Index.
void WriteItemTexts(TMemIniFile& Ini, int Index, const TItemTexts& Texts);

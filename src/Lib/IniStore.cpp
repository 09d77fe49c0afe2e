#include "Lib/IniStore.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

#include "Framework/Classes.h"
#include "Framework/Exception.h"
#include "Framework/Locale.h"
#include "Framework/SysUtils.h"
#include "Lib/IniStoreFile.h"

namespace {

bool IsPlainByte(unsigned char c) { return c >= 0x20 && c <= 0x7E && c != '-' && c != '\''; }

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Two plain names are equal only when they are equal apart from letter case.
bool IsPlain(const std::string& name) {
    for (const char c : name)
        if (!IsPlainByte(static_cast<unsigned char>(c))) return false;
    return true;
}

// The plain characters of a name, letters in upper case; the second byte of a
// double-byte character goes with its first.
std::string IndexKey(const std::string& name) {
    const TLocale& loc = Locale();
    std::string key;
    key.reserve(name.size());
    for (std::string::size_type i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (IsPlainByte(c))
            key += FoldAscii(static_cast<char>(c));
        else if (loc.IsLeadByte(c))
            ++i;
    }
    return key;
}

bool EqualFoldingAscii(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::string::size_type i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

bool SameName(const std::string& a, const std::string& b) {
    // Two plain names that differ apart from letter case never match, so the
    // locale (a system call under Windows) is asked only about likely ones.
    if (!EqualFoldingAscii(a, b) && IsPlain(a) && IsPlain(b)) return false;
    return Locale().CompareText(a, b) == 0;
}

// Notepad's "UTF-8 with BOM" puts these bytes before the text; they are no
// part of it.
constexpr char Utf8Bom[] = "\xEF\xBB\xBF";
constexpr std::size_t Utf8BomLength = sizeof(Utf8Bom) - 1;

// Calls Line(line, length) for each line of a file's text, split at CR, LF or
// CR LF, until it returns false; a UTF-8 byte-order mark at the very start is
// skipped.
template <class F>
void ForEachLine(const std::string& Text, F Line) {
    std::string::size_type start = Text.compare(0, Utf8BomLength, Utf8Bom) == 0 ? Utf8BomLength : 0;
    const std::string::size_type n = Text.size();
    while (start < n) {
        std::string::size_type end = Text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = n;
        if (!Line(Text.data() + start, end - start)) return;
        start = end + ((end + 1 < n && Text[end] == '\r' && Text[end + 1] == '\n') ? 2 : 1);
    }
}

// The length of the blank at Text (an ASCII blank, a tab, or the full-width
// blank 81 40 that a Japanese keyboard types), or 0 when none starts there.
std::size_t BlankLength(const char* text, std::size_t length) {
    if (length >= 1 && (text[0] == ' ' || text[0] == '\t')) return 1;
    if (length >= 2 && text[0] == '\x81' && text[1] == '\x40') return 2;
    return 0;
}

// A line that begins with "[" and ends with "]" opens a section named by the
// text between them. Blanks outside the brackets are what an editor leaves
// behind and don't count. The line is walked character by character, so that
// the second byte of a double-byte character (the 5D of 「ゾ」) is never taken
// for a bracket, nor a second byte 81 for the start of a blank. The program
// writes every section line as "[" name "]" with nothing around it, so its own
// files read as they always did.
bool IsSectionLine(const char* line, std::size_t length, std::string& name) {
    std::size_t first = 0;
    while (std::size_t blank = BlankLength(line + first, length - first)) first += blank;
    if (first == length || line[first] != '[') return false;
    const TLocale& loc = Locale();
    // Where the last character that is no blank starts.
    std::size_t lastStart = first;
    for (std::size_t i = first + 1; i < length;) {
        std::size_t size = BlankLength(line + i, length - i);
        if (size == 0) {
            // Lead bytes are never ASCII; the locale is asked about the others only.
            const unsigned char c = static_cast<unsigned char>(line[i]);
            size = (c >= 0x80 && i + 1 < length && loc.IsLeadByte(c)) ? 2 : 1;
            lastStart = i;
        }
        i += size;
    }
    if (lastStart == first || line[lastStart] != ']') return false;
    name.assign(line + first + 1, lastStart - first - 1);
    return true;
}

// False for a file that is plainly not a text in the program's code page:
// one that starts with a UTF-16 byte-order mark (Notepad's "Unicode"), or
// that holds a NUL byte before its first section line (UTF-16 without a mark,
// a file of zeros). Read as text, such a file would give no sections, and its
// items would be lost at the next write. What the program writes starts with
// a section line, so none of its own files is ever refused.
bool IsSettingsText(const std::string& text) {
    if (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0) return false;
    bool clean = true;
    std::string name;
    ForEachLine(text, [&](const char* line, std::size_t length) {
        if (IsSectionLine(line, length, name)) return false;
        clean = std::memchr(line, '\0', length) == nullptr;
        return clean;
    });
    return clean;
}

}  // namespace

TMemIniFile::TMemIniFile(const std::string& FileName) : FFileName(FileName) {
    std::string text;
    if (!ReadWholeFile(FileName, text)) return;
    // Refused rather than read as an empty store, which would be written
    // back without the items the file holds.
    if (!IsSettingsText(text))
        throw EFOpenError(Format("ファイル %s は設定ファイルの形式ではありません。"
                                 "ANSI (Shift-JIS) のテキストで保存し直してください。",
                                 FileName.c_str()));
    Parse(text);
}

TMemIniFile::~TMemIniFile() noexcept(false) = default;

void TMemIniFile::Clear() {
    FSections.clear();
    FIndex.clear();
}

void TMemIniFile::Parse(const std::string& Text) {
    TSection* current = nullptr;
    ForEachLine(Text, [&](const char* line, std::size_t length) {
        if (length == 0 || line[0] == ';') return true;
        std::string name;
        if (IsSectionLine(line, length, name)) {
            current = &AddSection(name);
        } else if (current) {
            const char* eq = static_cast<const char*>(std::memchr(line, '=', length));
            if (eq)
                current->Lines.push_back({true, std::string(line, eq), std::string(eq + 1, line + length)});
            else
                current->Lines.push_back({false, std::string(), std::string(line, length)});
        }
        return true;
    });
}

TMemIniFile::TSection& TMemIniFile::AddSection(const std::string& Name) {
    const unsigned long long order = FNextOrder++;
    TSection& section = FSections.emplace(order, TSection{Name, {}, order, IndexKey(Name)}).first->second;
    FIndex[section.IndexKey].push_back(&section);
    return section;
}

void TMemIniFile::RemoveSection(TSection& Section) {
    auto bucket = FIndex.find(Section.IndexKey);
    std::vector<TSection*>& list = bucket->second;
    list.erase(std::find(list.begin(), list.end(), &Section));
    if (list.empty()) FIndex.erase(bucket);
    FSections.erase(Section.Order);
}

const TMemIniFile::TSection* TMemIniFile::FindSection(const std::string& Name) const {
    // Every section the locale may take for Name is filed under Name's index
    // key (see the header), so the bucket alone is searched, for every name.
    auto bucket = FIndex.find(IndexKey(Name));
    if (bucket == FIndex.end()) return nullptr;
    for (const TSection* s : bucket->second)
        if (s->Name == Name) return s;
    const TLocale& loc = Locale();
    for (const TSection* s : bucket->second)
        if (loc.CompareText(s->Name, Name) == 0) return s;
    return nullptr;
}

TMemIniFile::TSection* TMemIniFile::FindExactSection(const std::string& Name) {
    // A section of the same name is filed under the same index key.
    auto bucket = FIndex.find(IndexKey(Name));
    if (bucket != FIndex.end())
        for (TSection* s : bucket->second)
            if (s->Name == Name) return s;
    return nullptr;
}

std::size_t TMemIniFile::FindKey(const TSection& Section, const std::string& Ident) {
    for (std::size_t i = 0; i < Section.Lines.size(); ++i)
        if (Section.Lines[i].IsKey && SameName(Section.Lines[i].Key, Ident)) return i;
    return NoKey;
}

std::string TMemIniFile::ReadValue(const TSection* Section, const std::string& Ident, const std::string& Default) {
    const std::size_t key = Section ? FindKey(*Section, Ident) : NoKey;
    return key != NoKey ? Section->Lines[key].Value : Default;
}

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) const {
    return ReadValue(FindSection(Section), Ident, Default);
}

void TMemIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    TSection* section = FindExactSection(Section);
    if (!section) section = &AddSection(Section);
    const std::size_t key = FindKey(*section, Ident);
    if (key == NoKey) {
        section->Lines.push_back({true, Ident, Value});
    } else if (TLine& line = section->Lines[key]; line.Key != Ident || line.Value != Value) {
        line.Key = Ident;
        line.Value = Value;
    } else {
        return;
    }
    FModified = true;
}

bool TMemIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) const {
    int value = 0;
    return TryStrToInt(ReadString(Section, Ident, std::string()), value) ? value != 0 : Default;
}

void TMemIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

TDateTime TMemIniFile::ReadDateTime(const std::string& Section, const std::string& Ident,
                                    TDateTime Default) const {
    const std::string text = ReadString(Section, Ident, std::string());
    TDateTime value = 0;
    return !text.empty() && DateTimeLocale().TryStrToDateTime(text, value) ? value : Default;
}

void TMemIniFile::WriteDateTime(const std::string& Section, const std::string& Ident, TDateTime Value) {
    WriteString(Section, Ident, DateTimeLocale().DateTimeToStr(Value));
}

bool TMemIniFile::ValueExists(const std::string& Section, const std::string& Ident) const {
    const TSection* section = FindSection(Section);
    return section && FindKey(*section, Ident) != NoKey;
}

bool TMemIniFile::SectionExists(const std::string& Section) const { return FindSection(Section) != nullptr; }

void TMemIniFile::ReadSections(TStringList& Strings) const {
    Strings.Clear();
    for (const auto& entry : FSections) Strings.Add(entry.second.Name);
}

void TMemIniFile::ReadSection(const std::string& Section, TStringList& Strings) const {
    Strings.Clear();
    if (const TSection* section = FindSection(Section))
        for (const TLine& line : section->Lines)
            if (line.IsKey) Strings.Add(line.Key);
}

void TMemIniFile::EraseSection(const std::string& Section) {
    if (TSection* section = FindExactSection(Section)) {
        RemoveSection(*section);
        FModified = true;
    }
}

void TMemIniFile::EraseSections(const std::function<bool(const std::string&)>& Match) {
    for (auto it = FSections.begin(); it != FSections.end();) {
        TSection& section = (it++)->second;
        if (Match(section.Name)) {
            RemoveSection(section);
            FModified = true;
        }
    }
}

std::string TMemIniFile::GetText() const {
    std::string::size_type size = 0;
    for (const auto& entry : FSections) {
        size += entry.second.Name.size() + 6;
        for (const TLine& line : entry.second.Lines) size += line.Key.size() + line.Value.size() + 3;
    }
    std::string text;
    text.reserve(size);
    for (const auto& entry : FSections) {
        text += '[';
        text += entry.second.Name;
        text += "]\r\n";
        for (const TLine& line : entry.second.Lines) {
            if (line.IsKey) {
                text += line.Key;
                text += '=';
            }
            text += line.Value;
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

void TMemIniFile::SetText(const std::string& Text) {
    Clear();
    Parse(Text);
    FModified = true;
}

void TMemIniFile::UpdateFile() {
    FModified = false;
    ReplaceWholeFile(FFileName, GetText());
}

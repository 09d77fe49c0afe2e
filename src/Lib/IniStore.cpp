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

// See the header for what plain names are and why the index may rely on them.
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

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

// A line that begins with "[" and ends with "]" opens a section named by the
// text between them. Blanks and tabs outside the brackets are what an editor
// leaves behind and don't count; they are never part of a double-byte
// character. The program writes every section line as "[" name "]" with
// nothing around it, so its own files read as they always did.
bool IsSectionLine(const char* line, std::size_t length, std::string& name) {
    std::size_t first = 0;
    while (first < length && IsBlankOrTab(line[first])) ++first;
    while (length > first && IsBlankOrTab(line[length - 1])) --length;
    if (length - first < 2 || line[first] != '[' || line[length - 1] != ']') return false;
    name.assign(line + first + 1, length - first - 2);
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
    const TLocale& loc = Locale();
    if (!IsPlain(Name)) {
        for (const auto& entry : FSections)
            if (loc.CompareText(entry.second.Name, Name) == 0) return &entry.second;
        return nullptr;
    }
    auto bucket = FIndex.find(IndexKey(Name));
    if (bucket != FIndex.end())
        for (const TSection* s : bucket->second)
            if (loc.CompareText(s->Name, Name) == 0) return s;
    return nullptr;
}

TMemIniFile::TSection* TMemIniFile::FindSection(const std::string& Name) {
    return const_cast<TSection*>(std::as_const(*this).FindSection(Name));
}

std::size_t TMemIniFile::FindKey(const TSection& Section, const std::string& Ident) {
    for (std::size_t i = 0; i < Section.Lines.size(); ++i)
        if (Section.Lines[i].IsKey && SameName(Section.Lines[i].Key, Ident)) return i;
    return NoKey;
}

const TMemIniFile::TSection* TMemIniFile::FindExactSection(const std::string& Name) const {
    // A section of the same name is filed under the same index key.
    auto bucket = FIndex.find(IndexKey(Name));
    if (bucket != FIndex.end())
        for (const TSection* s : bucket->second)
            if (s->Name == Name) return s;
    return nullptr;
}

std::string TMemIniFile::ReadValue(const TSection* Section, const std::string& Ident, const std::string& Default) {
    const std::size_t key = Section ? FindKey(*Section, Ident) : NoKey;
    return key != NoKey ? Section->Lines[key].Value : Default;
}

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) const {
    return ReadValue(FindSection(Section), Ident, Default);
}

std::string TMemIniFile::ReadStringExactFirst(const std::string& Section, const std::string& Ident,
                                              const std::string& Default) const {
    const TSection* exact = FindExactSection(Section);
    return ReadValue(exact ? exact : FindSection(Section), Ident, Default);
}

void TMemIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    TSection* section = FindSection(Section);
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
    if (TSection* section = FindSection(Section)) {
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

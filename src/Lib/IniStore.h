#pragma once
// The in-memory INI file: the whole file is read when the object is created,
// every operation works on memory, and only UpdateFile writes the file back.
//
// Syntax, as read and written:
// - Reading splits the bytes into lines at CR, LF or CR LF and keeps them
//   unchanged (the ANSI code page; Shift-JIS on Japanese systems).
// - Empty lines and lines that begin with ";" are dropped.
// - A UTF-8 byte-order mark at the very start is skipped; the rest is read
//   as it stands, and nothing writes the mark back.
// - A line that begins with "[" and ends with "]" opens a section; its name is
//   the text between them, blanks included. Blanks (ASCII blanks, tabs and the
//   full-width blank 81 40) before the "[" and after the "]" don't count, and
//   the "]" is a character of its own, never the second byte of a double-byte
//   one. Lines before the first section are dropped.
// - Every other line belongs to the section opened last. In a line holding
//   "=", the text before the first "=" is the key and the rest the value; a
//   line without "=" is no key, but stays in its section and is written back.
// - A section is read from the section of exactly its name, byte for byte,
//   wherever it stands; failing that, from the first one in the file whose
//   name the user's locale takes for it, letter case aside (see below). Keys
//   are found case-insensitively under the locale, the first in its section.
// - Writing a key goes to the section of exactly that name, never to one the
//   locale merely takes for it ("#item  00", or a name holding a NUL byte that
//   the locale ignores), which stays as it was: what is written under a name
//   is what is read under it. The key's line is replaced in place or one is
//   appended at the end of its section; a new section goes to the end of the
//   file. Erasing a section removes the one of exactly that name.
// - UpdateFile writes each section as "[" name "]", its lines and one empty
//   line, every line ended by CR LF. Comments and lines outside any section
//   are gone after it.
//
// Section look-ups go through an index so that files with thousands of
// sections load and save in time proportional to their size. Plain characters
// are those of printable ASCII other than "-" and "'" (all the names the
// program itself uses are made of them). The index files each section under
// its name with every character that is not plain left out and letters in
// upper case, and a name is looked up only among the sections filed under
// its own index key, the locale having the last word there. So a section is
// never taken for a name whose plain characters differ from its own, whatever
// the locale says: control characters, "-", "'" and double-byte characters
// may be ignored by the locale, but no character stands in for a plain one
// (Wine's locale takes 「ー」「ｰ」「ゝ」「ヽ」「々」 for a repeat of the character
// before them). Every name, plain or not, is looked up the same way, so the
// index and a search in file order with that rule always find the same section.
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "Lib/IniStoreDateTime.h"

class TStringList;

class TMemIniFile {
public:
    // Reads FileName. A file that does not exist gives an empty store; a file
    // that exists but can't be read raises EFOpenError, and so does one that
    // is no text of the program's code page: it starts with a UTF-16
    // byte-order mark or holds a NUL byte before its first section line.
    explicit TMemIniFile(const std::string& FileName);
    TMemIniFile(const TMemIniFile&) = delete;
    TMemIniFile& operator=(const TMemIniFile&) = delete;
    // Writes nothing. noexcept(false) lets a derived store write in its destructor.
    virtual ~TMemIniFile() noexcept(false);

    const std::string& FileName() const { return FFileName; }

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) const;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    // The value as an integer (decimal, or hexadecimal after "0x", "0X" or
    // "$"): non-zero is true. Absent or not an integer gives Default.
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;
    // "1" or "0".
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    // The value as the user's locale writes a date and time; absent, empty or
    // unreadable gives Default.
    TDateTime ReadDateTime(const std::string& Section, const std::string& Ident, TDateTime Default) const;
    void WriteDateTime(const std::string& Section, const std::string& Ident, TDateTime Value);

    // True when the key is present, whatever its value.
    bool ValueExists(const std::string& Section, const std::string& Ident) const;
    bool SectionExists(const std::string& Section) const;
    // Replaces the contents of Strings with the section names in file order.
    void ReadSections(TStringList& Strings) const;
    // Replaces the contents of Strings with the keys of Section in line order.
    void ReadSection(const std::string& Section, TStringList& Strings) const;
    // Removes the section of exactly that name with all its lines (the first).
    void EraseSection(const std::string& Section);
    // Removes every section whose own name, exactly as the file has it, Match
    // accepts; unlike a look-up by name, one section never stands in for
    // another that differs from it only in letter case.
    void EraseSections(const std::function<bool(const std::string&)>& Match);

    // The file as UpdateFile writes it.
    std::string GetText() const;
    // Replaces the whole contents by the file text Text.
    void SetText(const std::string& Text);

    // Writes the whole contents to the file in one step (see ReplaceWholeFile):
    // on failure EFCreateError "ファイル %s を作成できません" and the file
    // keeps its previous contents.
    void UpdateFile();
    // True when the contents changed after the last call of UpdateFile,
    // whether that call succeeded or raised.
    bool Modified() const { return FModified; }

private:
    struct TLine {
        bool IsKey;
        std::string Key;    // empty for a line that is no key
        std::string Value;  // the whole line for a line that is no key
    };
    struct TSection {
        std::string Name;
        std::vector<TLine> Lines;
        unsigned long long Order;
        std::string IndexKey;
    };

    void Parse(const std::string& Text);
    void Clear();
    TSection& AddSection(const std::string& Name);
    void RemoveSection(TSection& Section);
    // The section reads go to: the first of exactly that name, else the first
    // the locale takes for it among those of its index key; or null.
    const TSection* FindSection(const std::string& Name) const;
    // The first section whose name is byte for byte Name, or null.
    TSection* FindExactSection(const std::string& Name);
    // The value of the first line of Section holding the key, or Default.
    static std::string ReadValue(const TSection* Section, const std::string& Ident, const std::string& Default);
    // The place of the first line of Section holding the key, or NoKey.
    static std::size_t FindKey(const TSection& Section, const std::string& Ident);
    static constexpr std::size_t NoKey = static_cast<std::size_t>(-1);

    std::string FFileName;
    // Sections in file order, keyed by a number that only grows.
    std::map<unsigned long long, TSection> FSections;
    // Sections by index key, each list in file order.
    std::unordered_map<std::string, std::vector<TSection*>> FIndex;
    unsigned long long FNextOrder = 0;
    bool FModified = false;
};

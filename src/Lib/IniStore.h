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
//   the text between them, blanks included. Blanks and tabs before the "["
//   and after the "]" don't count. Lines before the first section are
//   dropped.
// - Every other line belongs to the section opened last. In a line holding
//   "=", the text before the first "=" is the key and the rest the value; a
//   line without "=" is no key, but stays in its section and is written back.
// - Sections and keys are found case-insensitively under the user's locale,
//   nothing trimmed; where several match, the first in the file wins
//   (ReadStringExactFirst takes a section of exactly the name first).
// - Writing a key replaces its line in place or appends one at the end of its
//   section; a new section goes to the end of the file.
// - UpdateFile writes each section as "[" name "]", its lines and one empty
//   line, every line ended by CR LF. Comments and lines outside any section
//   are gone after it.
//
// Section look-ups go through an index so that files with thousands of
// sections load and save in time proportional to their size; the locale has
// the last word on every candidate, and the first match in file order wins.
// Plain names are those of printable ASCII other than "-" and "'" (all the
// names the program itself uses). The index files each section under its name
// with every character that is not plain left out and letters in upper case,
// and a plain name is looked up only among the sections filed under it. That
// relies on what holds for the locales the program meets: two plain names are
// equal only when they are equal apart from letter case, and any other
// character (double-byte characters, control characters, "-", "'") can at most
// be ignored by the locale, never be taken for a plain one. A name that is not
// plain is compared with every section in file order.
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
    // As ReadString, but a section named exactly Section, byte for byte, is
    // taken before any that matches it only apart from letter case, wherever
    // the two stand in the file.
    std::string ReadStringExactFirst(const std::string& Section, const std::string& Ident,
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
    // Removes the section with all its lines (the first of that name).
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
    const TSection* FindSection(const std::string& Name) const;
    TSection* FindSection(const std::string& Name);
    // The first section whose name is byte for byte Name, or null.
    const TSection* FindExactSection(const std::string& Name) const;
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

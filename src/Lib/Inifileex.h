#pragma once
// The settings file object: the in-memory INI file with a first-start record,
// a diagnostic switch that makes every start count as the first, and grid
// column widths and window bounds stored as comma-separated integer lists.
#include <string>

#include "Framework/GridGeometry.h"
#include "Lib/IniStore.h"

// The section the object keeps for itself, and its two keys.
inline constexpr char AppInfoSection[] = "%%% Application Infomation Section %%%";
inline constexpr char FirstVaneIdent[] = "FirstVane";
inline constexpr char DebugDoAsFirstIdent[] = "DebugDoAsFirst";

// What storing bounds needs of a window or control: its rectangle, and an
// operation that sets all four values at once.
struct IBounds {
    virtual ~IBounds() = default;
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) = 0;
};

// Stored lists are read item by item: items are separated by "," and by blanks
// and control characters, which are skipped around them; an item may stand in
// double quotes ("" inside them is one quote); each is converted by StrToInt
// (decimal, "$" hexadecimal). The text "0", which is also what an absent key
// reads as, means "nothing stored".
class TIniFileEx : public TMemIniFile {
public:
    // Reads FileName and settles FirstRun: a start whose "FirstVane" is
    // missing, empty, unreadable or the zero date is a first start and records
    // the current date and time there; any other start adds
    // "DebugDoAsFirst"=0 when it is missing, and otherwise takes its Boolean
    // value as FirstRun.
    explicit TIniFileEx(const std::string& FileName);

    // Writes the file when the contents changed after the last call of
    // UpdateFile (whether that call succeeded or not), so a caller that calls
    // UpdateFile itself after its last change, as the launcher does to report
    // a failure, leaves nothing to do here and nothing that can throw.
    // Otherwise a failed write raises EFCreateError out of the destructor:
    // release such an object where the exception may pass (not through a
    // noexcept destructor such as std::unique_ptr's). While another exception
    // unwinds the stack the file is not written: the changes of an operation
    // that failed half-way are dropped and the previous file stays.
    ~TIniFileEx() noexcept(false) override;

    // True when this start is treated as the program's first; settled by the
    // constructor and never changed.
    const bool FirstRun;

    // Sets the widths of columns 0, 1, ... from the stored list, as far as both
    // reach; other columns keep theirs. A non-integer item raises EConvertError
    // after the columns before it were set.
    void ReadColWidths(const std::string& Section, const std::string& Ident, IColWidths& Grid) const;
    // Stores the widths of all columns, e.g. 120,80,200,64; no columns store "".
    void WriteColWidths(const std::string& Section, const std::string& Ident, const IColWidths& Grid);
    // Sets left, top, width and height from the first four items at once.
    // A non-integer item raises EConvertError, fewer than four items the list
    // index error with the first missing place; the window is then unchanged.
    void ReadBounds(const std::string& Section, const std::string& Ident, IBounds& Window) const;
    // Stores left,top,width,height.
    void WriteBounds(const std::string& Section, const std::string& Ident, const IBounds& Window);

private:
    // Reads and maintains the first-start record; the value for FirstRun.
    bool SettleFirstRun();

    int FUncaughtAtCreation;
};

// printf-style formatting into a text of exactly the formatted length.
std::string FormatText(const char* Format, ...) __attribute__((format(printf, 1, 2)));

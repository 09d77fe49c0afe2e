#pragma once
// Dates and times as the settings file keeps them.
//
// A date-time is a double counting days since 1899-12-30 (the platform's
// date-time; the fraction is the time of day), so 0 is "the zero date" that
// the settings object takes for "never ran". In the file it is text in the
// user's locale: the short date, a blank and the long time. Under Windows the
// locale's own formatting writes it, and reading learns the locale's layout
// once (from its texts of a probe moment) and parses accordingly. Where the
// locale's text would not read back to the same second (month names, era
// years), the fixed form yyyy/mm/dd h:nn:ss is written instead; that form is
// always read as well, and natively it stands in for the locale.
#include <string>

using TDateTime = double;

// Days since 1899-12-30 for a calendar date of the years 1 to 9999; false when
// a field is out of range.
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Value);
// Fraction of a day; false when a field is out of range.
bool TryEncodeTime(int Hour, int Minute, int Second, TDateTime& Value);
// A date and a time of day as one value. Before 1899-12-30 the platform counts
// the time of day away from zero: 1899-12-29 6:00 is -1.25.
TDateTime CombineDateTime(TDateTime Date, TDateTime Time);

struct TDateTimeParts {
    int Year, Month, Day, Hour, Minute, Second;
};
// Rounded to the nearest second; false for values that are not finite or lie
// outside the years 1 to 9999.
bool DecodeDateTime(TDateTime Value, TDateTimeParts& Parts);

// What reading a locale's date-time text needs to know of its layout: the place
// of each field among the numbers of the date and of the time, and the clock.
struct TDateTimeOrder {
    int Year = 0, Month = 1, Day = 2;
    int Hour = 0, Minute = 1, Second = 2;  // Second is -1 when the time shows none
    bool Hour12 = false;
    std::string AM, PM;  // the designators of a 12-hour clock
};

// Reads a date, or a date and a time, laid out as Order says. Between the
// numbers anything but ASCII letters and control characters may stand (the
// locale's separators, blanks, double-byte characters such as 年); letters only
// as the clock's designators. Years written with one or two digits fall into
// 1950-2049. The time may leave out its seconds when they come last.
bool ParseDateTime(const std::string& Text, const TDateTimeOrder& Order, TDateTime& Value);

// The moment whose locale texts reveal the layout: every field has a value of
// its own, and the hour tells a 12-hour clock from a 24-hour one.
constexpr int ProbeYear = 2033, ProbeMonth = 11, ProbeDay = 22;
constexpr int ProbeHour = 13, ProbeMinute = 44, ProbeSecond = 55;

// Learns the layout from the locale's short date and long time of the probe
// moment and its designators. False when the texts can't be read back
// reliably (month names, era years, a 12-hour clock without designators).
bool LearnDateTimeOrder(const std::string& DateProbe, const std::string& TimeProbe,
                        const std::string& AM, const std::string& PM, TDateTimeOrder& Order);

// The platform part: the clock and the locale's date-time text.
class TDateTimeLocale {
public:
    virtual ~TDateTimeLocale() = default;
    // The current local date and time, to the second.
    virtual TDateTime Now() const = 0;
    // The short date, a blank and the long time; empty for a value that has no
    // calendar date.
    virtual std::string DateTimeToStr(TDateTime Value) const = 0;
    virtual bool TryStrToDateTime(const std::string& Text, TDateTime& Value) const = 0;
};

// The native stand-in: the system clock and the fixed form yyyy/mm/dd h:nn:ss.
class TNativeDateTimeLocale : public TDateTimeLocale {
public:
    TDateTime Now() const override;
    std::string DateTimeToStr(TDateTime Value) const override;
    bool TryStrToDateTime(const std::string& Text, TDateTime& Value) const override;
};

// The fixed form, which every implementation also reads.
std::string FixedDateTimeToStr(TDateTime Value);

// The date-time locale in force: the platform's unless a test put another in place.
const TDateTimeLocale& DateTimeLocale();
// Puts a date-time locale in place (nullptr restores the platform's); for tests.
void SetDateTimeLocale(const TDateTimeLocale* Locale);

#include "Lib/IniStoreDateTime.h"

#include <cmath>
#include <ctime>
#include <vector>

#include "Framework/Locale.h"
#include "Framework/SysUtils.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
long long DaysFromCivil(long long y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, long long& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

// 1899-12-30 counted from 1970-01-01.
constexpr long long DayZero = -25569;
constexpr int SecondsPerDay = 86400;

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (m == 2 && IsLeapYear(y)) ? 29 : days[m - 1];
}

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Blanks out the first occurrence of a designator; true when there was one.
bool TakeDesignator(std::string& text, const std::string& designator) {
    if (designator.empty()) return false;
    std::string::size_type p = AnsiPos(designator, text);
    if (p == std::string::npos) return false;
    text.replace(p, designator.size(), " ");
    return true;
}

struct TNumber {
    int Value;
    std::string::size_type Digits;
};

// No date-time text of any locale holds more numbers than this.
constexpr std::size_t MaxNumbers = 6;

// The numbers of a date-time text in order; false when anything but
// separators stands between them or there are too many.
bool SplitNumbers(const std::string& text, std::vector<TNumber>& numbers) {
    const TLocale& loc = Locale();
    std::string::size_type i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsDigit(c)) {
            const std::string::size_type begin = i;
            int value = 0;
            for (; i < text.size() && IsDigit(static_cast<unsigned char>(text[i])); ++i) {
                if (i - begin == 4) return false;
                value = value * 10 + (text[i] - '0');
            }
            if (numbers.size() == MaxNumbers) return false;
            numbers.push_back({value, i - begin});
        } else if (c >= 0x80) {
            i += (loc.IsLeadByte(c) && i + 1 < text.size()) ? 2 : 1;
        } else if (c < 0x20 || c == 0x7F || IsAsciiLetter(c)) {
            return false;
        } else {
            ++i;
        }
    }
    return true;
}

bool ValidPlace(int place, std::size_t count) { return place >= 0 && static_cast<std::size_t>(place) < count; }

TDateTime EncodeParts(const TDateTimeParts& p) {
    TDateTime date = 0, time = 0;
    TryEncodeDate(p.Year, p.Month, p.Day, date);
    TryEncodeTime(p.Hour, p.Minute, p.Second, time);
    return CombineDateTime(date, time);
}

std::tm LocalTimeNow() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return tm;
}

}  // namespace

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Value) {
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInMonth(Year, Month))
        return false;
    Value = static_cast<TDateTime>(DaysFromCivil(Year, Month, Day) - DayZero);
    return true;
}

bool TryEncodeTime(int Hour, int Minute, int Second, TDateTime& Value) {
    if (Hour < 0 || Hour > 23 || Minute < 0 || Minute > 59 || Second < 0 || Second > 59) return false;
    Value = (Hour * 3600 + Minute * 60 + Second) / static_cast<TDateTime>(SecondsPerDay);
    return true;
}

TDateTime CombineDateTime(TDateTime Date, TDateTime Time) { return Date >= 0 ? Date + Time : Date - Time; }

bool DecodeDateTime(TDateTime Value, TDateTimeParts& Parts) {
    const TDateTime first = static_cast<TDateTime>(DaysFromCivil(1, 1, 1) - DayZero);
    const TDateTime beyond = static_cast<TDateTime>(DaysFromCivil(10000, 1, 1) - DayZero);
    if (!std::isfinite(Value) || Value <= first - 1 || Value >= beyond) return false;
    const TDateTime whole = std::trunc(Value);
    long long day = static_cast<long long>(whole);
    long long seconds = std::llround(std::fabs(Value - whole) * SecondsPerDay);
    if (seconds >= SecondsPerDay) {
        seconds -= SecondsPerDay;
        ++day;
    }
    long long year = 0;
    CivilFromDays(day + DayZero, year, Parts.Month, Parts.Day);
    if (year < 1 || year > 9999) return false;
    Parts.Year = static_cast<int>(year);
    Parts.Hour = static_cast<int>(seconds / 3600);
    Parts.Minute = static_cast<int>(seconds / 60 % 60);
    Parts.Second = static_cast<int>(seconds % 60);
    return true;
}

bool ParseDateTime(const std::string& Text, const TDateTimeOrder& Order, TDateTime& Value) {
    std::string text = Text;
    bool pm = false, am = false;
    if (Order.Hour12) {
        pm = TakeDesignator(text, Order.PM);
        if (!pm) am = TakeDesignator(text, Order.AM);
    }
    std::vector<TNumber> numbers;
    if (!SplitNumbers(text, numbers)) return false;

    const std::size_t timeFields = Order.Second >= 0 ? 3 : 2;
    const std::size_t n = numbers.size();
    const bool withTime = n > 3;
    if (n != 3 && n != 3 + timeFields && !(Order.Second == 2 && n == 5)) return false;
    if (!ValidPlace(Order.Year, 3) || !ValidPlace(Order.Month, 3) || !ValidPlace(Order.Day, 3)) return false;

    TDateTimeParts p{};
    const TNumber& year = numbers[static_cast<std::size_t>(Order.Year)];
    p.Year = year.Value;
    if (year.Digits <= 2) p.Year += p.Year < 50 ? 2000 : 1900;
    p.Month = numbers[static_cast<std::size_t>(Order.Month)].Value;
    p.Day = numbers[static_cast<std::size_t>(Order.Day)].Value;

    if (withTime) {
        const std::size_t shown = n - 3;
        if (!ValidPlace(Order.Hour, shown) || !ValidPlace(Order.Minute, shown)) return false;
        p.Hour = numbers[3 + static_cast<std::size_t>(Order.Hour)].Value;
        p.Minute = numbers[3 + static_cast<std::size_t>(Order.Minute)].Value;
        if (ValidPlace(Order.Second, shown)) p.Second = numbers[3 + static_cast<std::size_t>(Order.Second)].Value;
        if (am || pm) {
            if (p.Hour > 12) return false;
            p.Hour = p.Hour % 12 + (pm ? 12 : 0);
        }
    } else if (am || pm) {
        return false;
    }

    TDateTime date = 0, time = 0;
    if (!TryEncodeDate(p.Year, p.Month, p.Day, date) || !TryEncodeTime(p.Hour, p.Minute, p.Second, time))
        return false;
    Value = CombineDateTime(date, time);
    return true;
}

bool LearnDateTimeOrder(const std::string& DateProbe, const std::string& TimeProbe, const std::string& AM,
                        const std::string& PM, TDateTimeOrder& Order) {
    TDateTimeOrder order;
    order.Year = order.Month = order.Day = -1;
    std::vector<TNumber> numbers;
    if (!SplitNumbers(DateProbe, numbers) || numbers.size() != 3) return false;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const int v = numbers[i].Value;
        int* field = nullptr;
        if (v == ProbeYear || v == ProbeYear % 100) field = &order.Year;
        else if (v == ProbeMonth) field = &order.Month;
        else if (v == ProbeDay) field = &order.Day;
        if (!field || *field != -1) return false;
        *field = static_cast<int>(i);
    }

    std::string time = TimeProbe;
    const bool pmShown = TakeDesignator(time, PM);
    numbers.clear();
    if (!SplitNumbers(time, numbers) || numbers.size() < 2 || numbers.size() > 3) return false;
    order.Hour = order.Minute = order.Second = -1;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const int v = numbers[i].Value;
        int* field = nullptr;
        if (v == ProbeHour || v == ProbeHour - 12) {
            field = &order.Hour;
            order.Hour12 = v != ProbeHour;
        } else if (v == ProbeMinute) {
            field = &order.Minute;
        } else if (v == ProbeSecond) {
            field = &order.Second;
        }
        if (!field || *field != -1) return false;
        *field = static_cast<int>(i);
    }
    if (order.Hour < 0 || order.Minute < 0) return false;
    if (order.Hour12) {
        // Without both designators an afternoon time would read back as the morning.
        if (!pmShown || AM.empty() || AM == PM) return false;
        order.AM = AM;
        order.PM = PM;
    }
    Order = order;
    return true;
}

std::string FixedDateTimeToStr(TDateTime Value) {
    TDateTimeParts p;
    if (!DecodeDateTime(Value, p)) return std::string();
    return Format("%04d/%02d/%02d %d:%02d:%02d", p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second);
}

TDateTime TNativeDateTimeLocale::Now() const {
    const std::tm tm = LocalTimeNow();
    return EncodeParts({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                        tm.tm_sec > 59 ? 59 : tm.tm_sec});
}

std::string TNativeDateTimeLocale::DateTimeToStr(TDateTime Value) const { return FixedDateTimeToStr(Value); }

bool TNativeDateTimeLocale::TryStrToDateTime(const std::string& Text, TDateTime& Value) const {
    return ParseDateTime(Text, TDateTimeOrder(), Value);
}

namespace {

#ifdef _WIN32
bool SameParts(const TDateTimeParts& a, const TDateTimeParts& b) {
    return a.Year == b.Year && a.Month == b.Month && a.Day == b.Day && a.Hour == b.Hour && a.Minute == b.Minute &&
           a.Second == b.Second;
}

using TFormatFunc = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, LPCSTR, LPSTR, int);

// One of the locale's date or time texts; empty when the locale can't give it.
std::string LocaleFormat(TFormatFunc format, const SYSTEMTIME& st) {
    const int size = format(LOCALE_USER_DEFAULT, 0, &st, nullptr, nullptr, 0);
    if (size <= 0) return std::string();
    std::string text(static_cast<std::string::size_type>(size), '\0');
    const int written = format(LOCALE_USER_DEFAULT, 0, &st, nullptr, &text[0], size);
    if (written <= 0) return std::string();
    text.resize(static_cast<std::string::size_type>(written - 1));
    return text;
}

std::string LocaleInfo(LCTYPE type) {
    const int size = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (size <= 0) return std::string();
    std::string text(static_cast<std::string::size_type>(size), '\0');
    const int written = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, &text[0], size);
    if (written <= 0) return std::string();
    text.resize(static_cast<std::string::size_type>(written - 1));
    return text;
}

SYSTEMTIME ToSystemTime(const TDateTimeParts& p) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(p.Year);
    st.wMonth = static_cast<WORD>(p.Month);
    st.wDay = static_cast<WORD>(p.Day);
    st.wHour = static_cast<WORD>(p.Hour);
    st.wMinute = static_cast<WORD>(p.Minute);
    st.wSecond = static_cast<WORD>(p.Second);
    return st;
}

struct TLearnedOrder {
    bool Learned = false;
    TDateTimeOrder Order;
};

// The user's layout, learned once per process from the probe moment.
const TLearnedOrder& UserOrder() {
    static const TLearnedOrder learned = [] {
        TLearnedOrder l;
        const SYSTEMTIME probe = ToSystemTime({ProbeYear, ProbeMonth, ProbeDay, ProbeHour, ProbeMinute, ProbeSecond});
        l.Learned = LearnDateTimeOrder(LocaleFormat(GetDateFormatA, probe), LocaleFormat(GetTimeFormatA, probe),
                                       LocaleInfo(LOCALE_S1159), LocaleInfo(LOCALE_S2359), l.Order);
        return l;
    }();
    return learned;
}

class TWin32DateTimeLocale : public TDateTimeLocale {
public:
    TDateTime Now() const override {
        SYSTEMTIME st;
        GetLocalTime(&st);
        return EncodeParts({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond});
    }

    // The locale's text only when it reads back to the same second; otherwise
    // (years the locale can't show, layouts it can't read) the fixed form,
    // which is always read as well, so "FirstVane" never turns unreadable.
    std::string DateTimeToStr(TDateTime Value) const override {
        TDateTimeParts p;
        if (!DecodeDateTime(Value, p)) return std::string();
        const TLearnedOrder& user = UserOrder();
        if (user.Learned) {
            const SYSTEMTIME st = ToSystemTime(p);
            const std::string date = LocaleFormat(GetDateFormatA, st);
            const std::string time = LocaleFormat(GetTimeFormatA, st);
            const std::string text = date + " " + time;
            TDateTime back = 0;
            TDateTimeParts read;
            // Compared field by field: on x87 the two doubles may differ in
            // their excess precision while meaning the same second.
            if (!date.empty() && !time.empty() && ParseDateTime(text, user.Order, back) &&
                DecodeDateTime(back, read) && SameParts(read, p))
                return text;
        }
        return FixedDateTimeToStr(Value);
    }

    bool TryStrToDateTime(const std::string& Text, TDateTime& Value) const override {
        const TLearnedOrder& user = UserOrder();
        return (user.Learned && ParseDateTime(Text, user.Order, Value)) ||
               ParseDateTime(Text, TDateTimeOrder(), Value);
    }
};
const TWin32DateTimeLocale platformDateTimeLocale;
#else
const TNativeDateTimeLocale platformDateTimeLocale;
#endif

const TDateTimeLocale* currentDateTimeLocale = nullptr;

}  // namespace

const TDateTimeLocale& DateTimeLocale() {
    return currentDateTimeLocale ? *currentDateTimeLocale : platformDateTimeLocale;
}

void SetDateTimeLocale(const TDateTimeLocale* Locale) { currentDateTimeLocale = Locale; }

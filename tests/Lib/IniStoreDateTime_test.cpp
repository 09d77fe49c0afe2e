#include "Lib/IniStoreDateTime.h"

#include <gtest/gtest.h>

#include <cmath>

#include "LibTestSupport.h"

#ifdef _WIN32
#include <windows.h>
#endif

TEST(DateTimeValue, CountsDaysFrom18991230WithTheTimeAsFraction) {
    struct Case {
        int y, m, d, h, n, s;
        TDateTime value;
    };
    const Case cases[] = {
        {1899, 12, 30, 0, 0, 0, 0.0},         {1899, 12, 31, 0, 0, 0, 1.0},
        {1900, 1, 1, 12, 0, 0, 2.5},          {2000, 12, 1, 9, 30, 0, 36861.0 + 9.5 / 24},
        {1899, 12, 29, 6, 0, 0, -1.25},       {2000, 2, 29, 0, 0, 0, 36585.0},
        {1, 1, 1, 0, 0, 0, -693593.0},        {9999, 12, 31, 23, 59, 59, 2958465.0 + 86399.0 / 86400},
    };
    for (const Case& c : cases) {
        const TDateTime v = At(c.y, c.m, c.d, c.h, c.n, c.s);
        EXPECT_NEAR(v, c.value, 1e-9) << c.y << "-" << c.m << "-" << c.d;
        TDateTimeParts p;
        ASSERT_TRUE(DecodeDateTime(v, p));
        EXPECT_EQ((std::vector<int>{p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second}),
                  (std::vector<int>{c.y, c.m, c.d, c.h, c.n, c.s}));
    }
}

TEST(DateTimeValue, RefusesImpossibleFieldsAndValues) {
    TDateTime v = 0;
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29, v));
    EXPECT_FALSE(TryEncodeDate(2000, 13, 1, v));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, v));
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1, v));
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, v));
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, v));
    TDateTimeParts p;
    for (TDateTime bad : {TDateTime(NAN), TDateTime(INFINITY), TDateTime(-INFINITY), 1e300, -1e300, 2958466.0, -693594.0})
        EXPECT_FALSE(DecodeDateTime(bad, p)) << bad;
    EXPECT_EQ(FixedDateTimeToStr(NAN), "");
}

TEST(DateTimeValue, RoundsToTheNearestSecondAcrossMidnight) {
    TDateTimeParts p;
    ASSERT_TRUE(DecodeDateTime(At(2000, 12, 31) + 86399.6 / 86400, p));
    EXPECT_EQ((std::vector<int>{p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second}),
              (std::vector<int>{2001, 1, 1, 0, 0, 0}));
}

TEST(DateTimeText, TheFixedFormIsYearMonthDayAndTheTimeWithoutLeadingZeroHour) {
    EXPECT_EQ(FixedDateTimeToStr(At(2000, 12, 1, 9, 30, 0)), "2000/12/01 9:30:00");
    EXPECT_EQ(FixedDateTimeToStr(At(1899, 12, 30)), "1899/12/30 0:00:00");
    EXPECT_EQ(FixedDateTimeToStr(At(1999, 1, 2, 23, 4, 5)), "1999/01/02 23:04:05");
    TNativeDateTimeLocale native;
    EXPECT_EQ(native.DateTimeToStr(At(2000, 12, 1, 9, 30, 0)), "2000/12/01 9:30:00");
}

TEST(DateTimeText, ParsesEachLayoutAndRefusesWhatIsNoDate) {
    TDateTimeOrder ymd;
    TDateTimeOrder dmy;
    dmy.Day = 0;
    dmy.Month = 1;
    dmy.Year = 2;
    TDateTimeOrder h12;
    h12.Month = 0;
    h12.Day = 1;
    h12.Year = 2;
    h12.Second = -1;
    h12.Hour12 = true;
    h12.AM = "午前";
    h12.PM = "午後";
    struct Case {
        const char* text;
        const TDateTimeOrder* order;
        bool ok;
        TDateTime value;
    };
    const Case cases[] = {
        {"2000/12/01 9:30:00", &ymd, true, At(2000, 12, 1, 9, 30, 0)},
        {"2000/12/1 09:30", &ymd, true, At(2000, 12, 1, 9, 30, 0)},
        {"2000/12/01", &ymd, true, At(2000, 12, 1)},
        {" 2000/12/01  9:30:00 ", &ymd, true, At(2000, 12, 1, 9, 30, 0)},
        {"2000年12月01日 9時30分00秒", &ymd, true, At(2000, 12, 1, 9, 30, 0)},
        {"99/12/31 0:00:00", &ymd, true, At(1999, 12, 31)},
        {"05/1/2 0:00:00", &ymd, true, At(2005, 1, 2)},
        {"1899/12/30 0:00:00", &ymd, true, 0.0},
        {"01.12.2000 13:05:09", &dmy, true, At(2000, 12, 1, 13, 5, 9)},
        {"12/1/2000 午後 1:05", &h12, true, At(2000, 12, 1, 13, 5, 0)},
        {"12/1/2000 午前 12:05", &h12, true, At(2000, 12, 1, 0, 5, 0)},
        {"12/1/2000 午後 12:05", &h12, true, At(2000, 12, 1, 12, 5, 0)},
        {"12/1/2000 13:05", &h12, true, At(2000, 12, 1, 13, 5, 0)},
        {"", &ymd, false, 0},
        {"not a date", &ymd, false, 0},
        {"2000/12/01 9:30:00 x", &ymd, false, 0},
        {"2000/13/01 9:30:00", &ymd, false, 0},
        {"2001/02/29", &ymd, false, 0},
        {"2000/12/01 24:00:00", &ymd, false, 0},
        {"2000/12/01 9", &ymd, false, 0},
        {"2000/12/01 9:30:00:00", &ymd, false, 0},
        {"20000/12/01", &ymd, false, 0},
        {"2000/12/01\t9:30:00", &ymd, false, 0},
        {"12/1/2000 午後 13:05", &h12, false, 0},
        {"12/1/2000 午後", &h12, false, 0},
        {"01.12.2000 13:05:09", &ymd, false, 0},
    };
    for (const Case& c : cases) {
        TDateTime v = -1;
        EXPECT_EQ(ParseDateTime(c.text, *c.order, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_NEAR(v, c.value, 1e-9) << c.text;
        }
    }
}

TEST(DateTimeText, LearnsTheLayoutFromTheProbeTexts) {
    struct Case {
        const char *date, *time, *am, *pm;
        bool ok;
        int year, month, day, hour, minute, second;
        bool hour12;
    };
    const Case cases[] = {
        {"2033/11/22", "13:44:55", "午前", "午後", true, 0, 1, 2, 0, 1, 2, false},
        {"11/22/2033", "1:44:55 PM", "AM", "PM", true, 2, 0, 1, 0, 1, 2, true},
        {"22.11.33", "13:44", "", "", true, 2, 1, 0, 0, 1, -1, false},
        {"2033年11月22日", "午後 01時44分55秒", "午前", "午後", true, 0, 1, 2, 0, 1, 2, true},
        {"Nov 22, 2033", "13:44:55", "AM", "PM", false, 0, 0, 0, 0, 0, 0, false},
        {"R15/11/22", "13:44:55", "", "", false, 0, 0, 0, 0, 0, 0, false},
        {"2033/11/22", "1:44:55", "", "", false, 0, 0, 0, 0, 0, 0, false},
        {"2033/11/22", "1:44:55 PM", "PM", "PM", false, 0, 0, 0, 0, 0, 0, false},
        {"2033/11/22/22", "13:44:55", "", "", false, 0, 0, 0, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        TDateTimeOrder o;
        ASSERT_EQ(LearnDateTimeOrder(c.date, c.time, c.am, c.pm, o), c.ok) << c.date << " " << c.time;
        if (!c.ok) continue;
        EXPECT_EQ((std::vector<int>{o.Year, o.Month, o.Day, o.Hour, o.Minute, o.Second, o.Hour12}),
                  (std::vector<int>{c.year, c.month, c.day, c.hour, c.minute, c.second, c.hour12}))
            << c.date << " " << c.time;
        // What the layout was learned from reads back as the probe moment.
        TDateTime v = 0;
        ASSERT_TRUE(ParseDateTime(std::string(c.date) + " " + c.time, o, v));
        TDateTimeParts p;
        ASSERT_TRUE(DecodeDateTime(v, p));
        EXPECT_EQ((std::vector<int>{p.Year, p.Month, p.Day, p.Hour, p.Minute}),
                  (std::vector<int>{ProbeYear, ProbeMonth, ProbeDay, ProbeHour, ProbeMinute}));
    }
}

// Runs natively with the fixed form and under Windows with the user's locale.
TEST(DateTimeText, ThePlatformReadsBackWhatItWrites) {
    const TDateTimeLocale& platform = DateTimeLocale();
    for (TDateTime v : {At(2000, 12, 1, 9, 30, 0), At(2033, 11, 22, 13, 44, 55), At(1999, 1, 2, 0, 0, 1),
                        At(2024, 2, 29, 23, 59, 59), At(1950, 6, 15, 12, 0, 0), At(1700, 3, 4, 5, 6, 7),
                        At(9999, 12, 31, 23, 59, 59)}) {
        const std::string text = platform.DateTimeToStr(v);
        TDateTime back = -1;
        ASSERT_TRUE(platform.TryStrToDateTime(text, back)) << text;
        EXPECT_EQ(back, v) << text;
    }
    // The fixed form is read whatever the locale.
    TDateTime v = 0;
    EXPECT_TRUE(platform.TryStrToDateTime("2000/12/01 9:30:00", v));
    EXPECT_EQ(v, At(2000, 12, 1, 9, 30, 0));
    EXPECT_FALSE(platform.TryStrToDateTime("abc", v));
}

TEST(DateTimeText, NowIsTodayToTheSecond) {
    const TDateTime now = DateTimeLocale().Now();
    TDateTimeParts p;
    ASSERT_TRUE(DecodeDateTime(now, p));
    EXPECT_GE(p.Year, 2024);
    EXPECT_EQ(now, At(p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second));
}

#ifdef _WIN32
namespace {
std::string WithLocale(int (WINAPI* format)(LCID, DWORD, const SYSTEMTIME*, LPCSTR, LPSTR, int),
                       const SYSTEMTIME& st) {
    char text[256] = {};
    return format(LOCALE_USER_DEFAULT, 0, &st, nullptr, text, sizeof text) > 0 ? text : "";
}
std::string Designator(LCTYPE type) {
    char text[64] = {};
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text) > 0 ? text : "";
}
}  // namespace

// The user's own short date and long time, not the fixed form, are written.
TEST(DateTimeText, WindowsWritesTheUsersShortDateAndLongTime) {
    SYSTEMTIME probe{};
    probe.wYear = ProbeYear;
    probe.wMonth = ProbeMonth;
    probe.wDay = ProbeDay;
    probe.wHour = ProbeHour;
    probe.wMinute = ProbeMinute;
    probe.wSecond = ProbeSecond;
    TDateTimeOrder order;
    ASSERT_TRUE(LearnDateTimeOrder(WithLocale(GetDateFormatA, probe), WithLocale(GetTimeFormatA, probe),
                                   Designator(LOCALE_S1159), Designator(LOCALE_S2359), order))
        << WithLocale(GetDateFormatA, probe) << " " << WithLocale(GetTimeFormatA, probe);

    SYSTEMTIME st{};
    st.wYear = 2000;
    st.wMonth = 12;
    st.wDay = 1;
    st.wHour = 9;
    st.wMinute = 30;
    EXPECT_EQ(DateTimeLocale().DateTimeToStr(At(2000, 12, 1, 9, 30, 0)),
              WithLocale(GetDateFormatA, st) + " " + WithLocale(GetTimeFormatA, st));
}
#endif

#include "vbscript/runtime/DateTime.h"

#include "TestText.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace cva::vbs::rt;

namespace {

double Serial(int y, int m, int d) {
    double out = 0;
    EXPECT_EQ(DateSerial(y, m, d, out), 0);
    return out;
}

double At(int y, int m, int d, int h, int n, int s) {
    return CombineDateTime(Serial(y, m, d), MakeTime(h, n, s));
}

std::string Text(double date) { return U8(FormatDate(date)); }

std::string Parsed(const char* text) {
    const auto d = ParseDate(U16(text), 2026);
    return d ? Text(*d) : "<not a date>";
}

} // namespace

TEST(OleDate, EpochAndNegativeFractionRule) {
    EXPECT_EQ(Serial(1899, 12, 30), 0.0);
    EXPECT_EQ(Serial(1900, 1, 1), 2.0);
    EXPECT_EQ(Serial(2026, 12, 7), 46363.0);
    // Before the epoch the fraction still counts forward from midnight: -1.25 is 06:00.
    DateParts p;
    ASSERT_EQ(SplitDate(-1.25, p), 0);
    EXPECT_EQ(p.year, 1899);
    EXPECT_EQ(p.month, 12);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 6);
    EXPECT_EQ(At(1899, 12, 29, 6, 0, 0), -1.25);
    EXPECT_EQ(Text(-0.5), "12:00:00 PM"); // same instant as 0.5
    EXPECT_EQ(DateOnly(-1.25), -1.0);
    EXPECT_EQ(TimeOnly(-1.25), 0.25);
    EXPECT_EQ(DateOnly(-0.5), 0.0);
    EXPECT_FALSE(std::signbit(DateOnly(-0.5)));
}

TEST(OleDate, SplitRoundsToTheSecond) {
    DateParts p;
    ASSERT_EQ(SplitDate(Serial(2026, 12, 31) + 86399.6 / 86400.0, p), 0);
    EXPECT_EQ(p.year, 2027);
    EXPECT_EQ(p.month, 1);
    EXPECT_EQ(p.day, 1);
    EXPECT_EQ(p.hour, 0);
    EXPECT_EQ(SplitDate(2958466.0, p), 5);
    EXPECT_EQ(SplitDate(-657435.0, p), 5);
}

TEST(DateSerial, NormalisesOutOfRangeParts) {
    EXPECT_EQ(Text(Serial(2026, 13, 1)), "1/1/2027");
    EXPECT_EQ(Text(Serial(2026, 13, 0)), "12/31/2026");
    EXPECT_EQ(Text(Serial(2026, -1, -1)), "10/30/2025");
    EXPECT_EQ(Text(Serial(2026, 0, 1)), "12/1/2025");
    EXPECT_EQ(Text(Serial(2024, 3, 0)), "2/29/2024");
    EXPECT_EQ(Text(Serial(2026, 1, 400)), "2/4/2027");
}

TEST(DateSerial, TwoDigitYearsAndRange) {
    EXPECT_EQ(Text(Serial(29, 1, 1)), "1/1/2029");
    EXPECT_EQ(Text(Serial(30, 1, 1)), "1/1/1930");
    EXPECT_EQ(Text(Serial(99, 13, 1)), "1/1/2000");
    EXPECT_EQ(Text(Serial(100, 1, 1)), "1/1/100");
    EXPECT_EQ(Text(Serial(-1, 1, 1)), "1/1/1999");
    double out = 0;
    EXPECT_EQ(DateSerial(10000, 1, 1, out), 5);
    EXPECT_EQ(DateSerial(100, 1, 0, out), 5);
    EXPECT_EQ(DateSerial(9999, 12, 31, out), 0);
    EXPECT_EQ(DateSerial(2026, 40000, 1, out), 6);
}

TEST(TimeSerial, RollsOverIntoDates) {
    double t = 0;
    ASSERT_EQ(TimeSerial(17, 16, 11, t), 0);
    EXPECT_EQ(Text(t), "5:16:11 PM");
    ASSERT_EQ(TimeSerial(25, 0, 0, t), 0);
    EXPECT_EQ(Text(t), "12/31/1899 1:00:00 AM");
    ASSERT_EQ(TimeSerial(-1, 0, 0, t), 0);
    EXPECT_EQ(Text(t), "12/29/1899 11:00:00 PM");
    EXPECT_NEAR(t, -1.958333333333, 1e-9);
    ASSERT_EQ(TimeSerial(0, 90, -30, t), 0);
    EXPECT_EQ(Text(t), "1:29:30 AM");
}

TEST(DateAdd, MonthsClampToMonthEnd) {
    double out = 0;
    ASSERT_EQ(DateAdd(u"m", 1, Serial(2026, 1, 31), out), 0);
    EXPECT_EQ(Text(out), "2/28/2026");
    ASSERT_EQ(DateAdd(u"yyyy", 1, Serial(2024, 2, 29), out), 0);
    EXPECT_EQ(Text(out), "2/28/2025");
    ASSERT_EQ(DateAdd(u"q", -1, Serial(2026, 5, 31), out), 0);
    EXPECT_EQ(Text(out), "2/28/2026");
    ASSERT_EQ(DateAdd(u"M", -13, At(2026, 1, 15, 10, 0, 0), out), 0);
    EXPECT_EQ(Text(out), "12/15/2024 10:00:00 AM");
}

TEST(DateAdd, TimeUnitsCrossTheEpoch) {
    double out = 0;
    ASSERT_EQ(DateAdd(u"h", -3, At(1899, 12, 30, 1, 0, 0), out), 0);
    EXPECT_EQ(Text(out), "12/29/1899 10:00:00 PM");
    ASSERT_EQ(DateAdd(u"n", 90, 0.0, out), 0);
    EXPECT_EQ(Text(out), "1:30:00 AM");
    ASSERT_EQ(DateAdd(u"ww", 2, Serial(2026, 12, 7), out), 0);
    EXPECT_EQ(Text(out), "12/21/2026");
    ASSERT_EQ(DateAdd(u"d", 1.9, Serial(2026, 12, 7), out), 0);
    EXPECT_EQ(Text(out), "12/9/2026"); // the count is rounded like CLng
    ASSERT_EQ(DateAdd(u"h", 2.5, Serial(2026, 12, 7), out), 0);
    EXPECT_EQ(Text(out), "12/7/2026 2:00:00 AM");
    EXPECT_EQ(DateAdd(u"s", 3e9, Serial(2026, 12, 7), out), 6);
    EXPECT_EQ(DateAdd(u"x", 1, 0.0, out), 5);
    EXPECT_EQ(DateAdd(u"yyyy", 1, Serial(9999, 6, 1), out), 5);
}

TEST(DateDiff, CountsBoundariesNotElapsedTime) {
    int32_t out = 0;
    ASSERT_EQ(DateDiff(u"yyyy", Serial(2026, 12, 31), Serial(2027, 1, 1), 1, 1, out), 0);
    EXPECT_EQ(out, 1);
    ASSERT_EQ(DateDiff(u"m", Serial(2026, 1, 31), Serial(2026, 2, 1), 1, 1, out), 0);
    EXPECT_EQ(out, 1);
    ASSERT_EQ(DateDiff(u"d", At(2026, 1, 1, 23, 59, 0), At(2026, 1, 2, 0, 1, 0), 1, 1, out), 0);
    EXPECT_EQ(out, 1);
    ASSERT_EQ(DateDiff(u"h", At(2026, 1, 1, 1, 59, 0), At(2026, 1, 1, 2, 0, 0), 1, 1, out), 0);
    EXPECT_EQ(out, 1);
    ASSERT_EQ(DateDiff(u"s", Serial(2026, 1, 2), Serial(2026, 1, 1), 1, 1, out), 0);
    EXPECT_EQ(out, -86400);
    ASSERT_EQ(DateDiff(u"q", Serial(2026, 3, 31), Serial(2026, 4, 1), 1, 1, out), 0);
    EXPECT_EQ(out, 1);
    EXPECT_EQ(DateDiff(u"s", Serial(100, 1, 1), Serial(9999, 1, 1), 1, 1, out), 6);
}

TEST(DateDiff, WeeksDependOnFirstDayOfWeek) {
    int32_t out = 0;
    // 2026-12-05 is a Saturday, 2026-12-06 a Sunday, 2026-12-07 a Monday.
    ASSERT_EQ(DateDiff(u"ww", Serial(2026, 12, 5), Serial(2026, 12, 6), kSunday, 1, out), 0);
    EXPECT_EQ(out, 1);
    ASSERT_EQ(DateDiff(u"ww", Serial(2026, 12, 5), Serial(2026, 12, 6), 2, 1, out), 0);
    EXPECT_EQ(out, 0);
    ASSERT_EQ(DateDiff(u"ww", Serial(2026, 12, 6), Serial(2026, 12, 7), 2, 1, out), 0);
    EXPECT_EQ(out, 1);
    ASSERT_EQ(DateDiff(u"ww", Serial(2026, 12, 1), Serial(2026, 12, 31), 2, 1, out), 0);
    EXPECT_EQ(out, 4);
    // "w" counts whole seven-day spans.
    ASSERT_EQ(DateDiff(u"w", Serial(2026, 12, 5), Serial(2026, 12, 18), 1, 1, out), 0);
    EXPECT_EQ(out, 1);
    EXPECT_EQ(DateDiff(u"ww", 0.0, 1.0, 8, 1, out), 5);
}

TEST(DatePart, FieldsAndWeekRules) {
    int32_t out = 0;
    const double d = At(2026, 12, 7, 17, 16, 11);
    ASSERT_EQ(DatePart(u"q", d, 0, 0, out), 0);
    EXPECT_EQ(out, 4);
    ASSERT_EQ(DatePart(u"y", d, 0, 0, out), 0);
    EXPECT_EQ(out, 341);
    ASSERT_EQ(DatePart(u"w", d, 0, 0, out), 0);
    EXPECT_EQ(out, 2);
    ASSERT_EQ(DatePart(u"w", d, 2, 0, out), 0);
    EXPECT_EQ(out, 1);
    ASSERT_EQ(DatePart(u"n", d, 0, 0, out), 0);
    EXPECT_EQ(out, 16);
    // 2027-01-01 is a Friday: week 1 by Jan 1, but the last week of 2026 (53) with ISO-like
    // rules, and the week of 2026 when the first full week is required.
    ASSERT_EQ(DatePart(u"ww", Serial(2027, 1, 1), 2, kFirstJan1, out), 0);
    EXPECT_EQ(out, 1);
    ASSERT_EQ(DatePart(u"ww", Serial(2027, 1, 1), 2, kFirstFourDays, out), 0);
    EXPECT_EQ(out, 53);
    ASSERT_EQ(DatePart(u"ww", Serial(2027, 1, 4), 2, kFirstFourDays, out), 0);
    EXPECT_EQ(out, 1);
    ASSERT_EQ(DatePart(u"ww", Serial(2027, 1, 3), 2, kFirstFullWeek, out), 0);
    EXPECT_EQ(out, 52);
    ASSERT_EQ(DatePart(u"ww", Serial(2026, 12, 31), 2, kFirstFourDays, out), 0);
    EXPECT_EQ(out, 53);
    ASSERT_EQ(DatePart(u"ww", Serial(2025, 12, 29), 2, kFirstFourDays, out), 0);
    EXPECT_EQ(out, 1); // ISO week 1 of 2026 starts on Monday 2025-12-29
}

TEST(Names, WeekdayAndMonth) {
    std::u16string s;
    int32_t w = 0;
    ASSERT_EQ(Weekday(Serial(2026, 12, 7), 0, w), 0);
    EXPECT_EQ(w, 2);
    ASSERT_EQ(Weekday(Serial(2026, 12, 7), 2, w), 0);
    EXPECT_EQ(w, 1);
    ASSERT_EQ(WeekdayName(1, false, 0, s), 0);
    EXPECT_EQ(U8(s), "Sunday");
    ASSERT_EQ(WeekdayName(1, true, 2, s), 0);
    EXPECT_EQ(U8(s), "Mon");
    ASSERT_EQ(MonthName(9, true, s), 0);
    EXPECT_EQ(U8(s), "Sep");
    EXPECT_EQ(MonthName(13, false, s), 5);
    EXPECT_EQ(WeekdayName(0, false, 0, s), 5);
}

TEST(ParseDate, EnglishForms) {
    EXPECT_EQ(Parsed("12/7/2026"), "12/7/2026");
    EXPECT_EQ(Parsed("2026-12-07"), "12/7/2026");
    EXPECT_EQ(Parsed("12-7-26"), "12/7/2026");
    EXPECT_EQ(Parsed("Dec 7, 2026"), "12/7/2026");
    EXPECT_EQ(Parsed("7 December 2026"), "12/7/2026");
    EXPECT_EQ(Parsed("Monday, December 07, 2026"), "12/7/2026");
    EXPECT_EQ(Parsed("December 2026"), "12/1/2026");
    EXPECT_EQ(Parsed("1/2"), "1/2/2026");
    EXPECT_EQ(Parsed("13/1/2026"), "1/13/2026"); // day and month swap when month > 12
    EXPECT_EQ(Parsed("12/2026"), "12/1/2026");
    EXPECT_EQ(Parsed("1/1/0099"), "1/1/1999");
    EXPECT_EQ(Parsed("7-Dec-2026"), "12/7/2026");
    EXPECT_EQ(Parsed("12 7 2026"), "12/7/2026");
}

TEST(ParseDate, TimesAndCombinations) {
    EXPECT_EQ(Parsed("5:16 PM"), "5:16:00 PM");
    EXPECT_EQ(Parsed("17:16:11"), "5:16:11 PM");
    EXPECT_EQ(Parsed("12:30 am"), "12:30:00 AM");
    EXPECT_EQ(Parsed("5 PM"), "5:00:00 PM");
    EXPECT_EQ(Parsed("12/7/2026 5:16:11 PM"), "12/7/2026 5:16:11 PM");
    EXPECT_EQ(Parsed("5:16:11 PM 12/7/2026"), "12/7/2026 5:16:11 PM");
    EXPECT_EQ(Parsed("1/1/1800 6:00"), "1/1/1800 6:00:00 AM");
}

TEST(ParseDate, RejectsNonDates) {
    for (const char* text : {"", "5", "hello", "2/30/2026", "25:00", "13 PM", "1/2/3/4", "12//7",
                             "3.5", "10/10/10000", "5:60", "12/7/", "/12/7", "-5"})
        EXPECT_EQ(Parsed(text), "<not a date>") << text;
}

TEST(FormatDate, CStrShowsOnlyTheMeaningfulParts) {
    EXPECT_EQ(Text(0.0), "12:00:00 AM");
    EXPECT_EQ(Text(Serial(2026, 12, 7)), "12/7/2026");
    EXPECT_EQ(Text(At(2026, 12, 7, 5, 16, 11)), "12/7/2026 5:16:11 AM");
    EXPECT_EQ(Text(At(1899, 12, 30, 12, 0, 0)), "12:00:00 PM");
    EXPECT_EQ(Text(1.0), "12/31/1899");
    // The parts shown follow the stored value, the digits its rounding to the second.
    EXPECT_EQ(Text(1.999999), "1/1/1900 12:00:00 AM");
    EXPECT_EQ(Text(0.999999), "12:00:00 AM");
}

TEST(FormatDateTime, NamedFormats) {
    const double d = At(2026, 12, 7, 17, 16, 11);
    std::u16string s;
    ASSERT_EQ(FormatDateTime(d, kGeneralDate, s), 0);
    EXPECT_EQ(U8(s), "12/7/2026 5:16:11 PM");
    ASSERT_EQ(FormatDateTime(d, kLongDate, s), 0);
    EXPECT_EQ(U8(s), "Monday, December 07, 2026");
    ASSERT_EQ(FormatDateTime(d, kShortDate, s), 0);
    EXPECT_EQ(U8(s), "12/7/2026");
    ASSERT_EQ(FormatDateTime(d, kLongTime, s), 0);
    EXPECT_EQ(U8(s), "5:16:11 PM");
    ASSERT_EQ(FormatDateTime(d, kShortTime, s), 0);
    EXPECT_EQ(U8(s), "17:16");
    EXPECT_EQ(FormatDateTime(d, 5, s), 5);
}

TEST(Clock, NowIsConsistentWithDateAndTime) {
    EXPECT_TRUE(IsValidDate(Now()));
    const double today = Today();
    EXPECT_EQ(today, static_cast<double>(static_cast<int64_t>(today)));
    const double time = TimeOfDay();
    EXPECT_GE(time, 0.0);
    EXPECT_LT(time, 1.0);
    const float t = Timer();
    EXPECT_GE(t, 0.0f);
    EXPECT_LT(t, 86400.0f);
}

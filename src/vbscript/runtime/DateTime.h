#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Date and time kernels of the VBScript built-ins. A date is an OLE Automation date: a
// double counting days since 1899-12-30 00:00, the fraction being the time of day. For
// dates before 1899-12-30 the integer part counts days backwards while the fraction still
// counts the time forwards, so -1.25 is 1899-12-29 06:00 (not 18:00). Every function that
// takes a date accepts that encoding; every function that returns one produces it.
//
// Errors are VBScript run-time error numbers returned as int (0 = success): 5 "Invalid
// procedure call or argument", 6 "Overflow", 13 "Type mismatch".
namespace cva::vbs::rt {

// 100-01-01 00:00:00 and 9999-12-31 23:59:59, the range VBScript accepts for a date.
inline constexpr double kMinDate = -657434.0;
inline constexpr double kMaxDate = 2958465.99998842592592;

// vbSunday .. vbSaturday; vbUseSystemDayOfWeek (0) means the locale's first day (Sunday in
// en-US, Monday in de-DE).
inline constexpr int kUseSystemDayOfWeek = 0;
inline constexpr int kSunday = 1;
// vbUseSystem (0) is the locale's rule (vbFirstJan1 in en-US, vbFirstFourDays in de-DE);
// 1 vbFirstJan1, 2 vbFirstFourDays (the first week with at least four days of the new
// year), 3 vbFirstFullWeek.
inline constexpr int kUseSystemWeek = 0;
inline constexpr int kFirstJan1 = 1;
inline constexpr int kFirstFourDays = 2;
inline constexpr int kFirstFullWeek = 3;

// FormatDateTime's NamedFormat.
inline constexpr int kGeneralDate = 0;
inline constexpr int kLongDate = 1;
inline constexpr int kShortDate = 2;
inline constexpr int kLongTime = 3;
inline constexpr int kShortTime = 4;

// A date broken into its calendar fields.
struct DateParts {
    int year = 1899;
    int month = 12;  // 1..12
    int day = 30;    // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59
    int weekday = 7; // 1 = Sunday .. 7 = Saturday
    int dayOfYear = 364; // 1..366
};

// True when the value lies in the range VBScript accepts for a date.
bool IsValidDate(double date);

// Splits a date into its fields; the time is rounded to the nearest second the way
// VBScript does (23:59:59.6 becomes 00:00:00 of the next day). Error 5 outside the range.
int SplitDate(double date, DateParts& out);

// Builds a date from calendar fields that are already valid (no normalisation).
double MakeDate(int year, int month, int day);
// The time part of a date (a fraction of a day, not rounded).
double MakeTime(int hour, int minute, int second);
// Adds a time of day to a date value, respecting the sign rule for negative dates.
double CombineDateTime(double datePart, double timeFraction);
// The date part (DateValue: midnight of the same day) and the time part (TimeValue: a time
// on 1899-12-30) of a date, respecting the sign rule for negative dates.
double DateOnly(double date);
double TimeOnly(double date);

// DateSerial(year, month, day). The engine rounds the arguments to integers first (as
// CInt does). Years 0..29 mean 2000..2029, 30..99 mean 1930..1999 (and negative years count
// back from 2000, so -1 is 1999); months and days out of
// range roll over (month 13 is January of the next year, day 0 the last day of the previous
// month, negative values go further back). Error 5 when the result falls outside
// 100-01-01..9999-12-31, error 6 when an argument is beyond the Integer range.
int DateSerial(int32_t year, int32_t month, int32_t day, double& out);

// TimeSerial(hour, minute, second): fields roll over like DateSerial's; the result is a
// time of day on 1899-12-30 when it falls within one day, otherwise a full date (negative
// totals give dates before 1899-12-30 with the sign rule above).
int TimeSerial(int32_t hour, int32_t minute, int32_t second, double& out);

// Now, Date and Time in local time; Timer is seconds since local midnight with
// hundredths (a Single in VBScript).
double Now();
double Today();
double TimeOfDay();
float Timer();

// DateAdd(interval, number, date). Interval is one of "yyyy" "q" "m" "y" "d" "w" "ww" "h"
// "n" "s" (case-insensitive); "y", "d" and "w" all add days. The number is rounded to a
// Long as CLng does (1.5 adds 2; error 6 beyond the Long range). Month arithmetic clamps the
// day to the end of the target month (Jan 31 + 1 month = Feb 28/29). Error 5 for an unknown
// interval or a result out of range.
int DateAdd(std::u16string_view interval, double number, double date, double& out);

// DateDiff(interval, date1, date2, firstdayofweek, firstweekofyear): date2 - date1 counted
// in boundaries crossed ("yyyy" counts year changes, "m" month changes, "d"/"y" midnights,
// "h"/"n"/"s" whole clock units of the truncated times). "w" counts whole weeks (days / 7
// truncated); "ww" counts firstdayofweek boundaries crossed. Error 5 for an unknown
// interval or a firstdayofweek outside 0..7, error 6 when the result exceeds a Long.
int DateDiff(std::u16string_view interval, double date1, double date2, int firstDayOfWeek,
             int firstWeekOfYear, int32_t& out);

// DatePart(interval, date, firstdayofweek, firstweekofyear): "yyyy" year, "q" quarter,
// "m" month, "y" day of year, "d" day, "w" weekday relative to firstdayofweek, "ww" week of
// the year by firstweekofyear, "h" "n" "s". Error 5 for a bad interval or argument.
int DatePart(std::u16string_view interval, double date, int firstDayOfWeek, int firstWeekOfYear,
             int32_t& out);

// Weekday(date, firstdayofweek): 1 for firstdayofweek's day. Error 5 when
// firstdayofweek is outside 0..7 or the date is out of range.
int Weekday(double date, int firstDayOfWeek, int32_t& out);

// WeekdayName(weekday, abbreviate, firstdayofweek): weekday 1..7 counted from
// firstdayofweek ("Sunday" / "Sun" for 1 with the default). Error 5 outside the ranges.
int WeekdayName(int32_t weekday, bool abbreviate, int firstDayOfWeek, std::u16string& out);

// MonthName(month, abbreviate): "January" / "Jan". Error 5 outside 1..12.
int MonthName(int32_t month, bool abbreviate, std::u16string& out);

// Reads a string as CDate and IsDate do in the current locale (en-US shown): "12/7/2026", "12-7-2026", "2026-12-07",
// "2026/12/7", "Dec 7, 2026", "7 December 2026", "December 2026", "1/2" (January 2 of
// referenceYear), times "5:16 PM", "17:16:11", "5 PM", and a date followed or preceded by a
// time. Month and weekday names may be full or three-letter abbreviations; a weekday name is
// accepted and ignored. Empty result when the text is not a date.
std::optional<double> ParseDate(std::u16string_view text, int referenceYear);
// The same with the current local year as reference.
std::optional<double> ParseDate(std::u16string_view text);

// CStr of a date: "12/7/2026 5:16:11 PM"; date only when the value has no fraction, time
// only when its integer part is 0 (1899-12-30). Out-of-range values give the empty string;
// the engine checks IsValidDate before calling.
std::u16string FormatDate(double date);

// FormatDateTime(date, namedformat): 0 as FormatDate, 1 "Monday, December 07, 2026",
// 2 "12/7/2026", 3 "5:16:11 PM", 4 "17:16". Error 5 for another format or a date out of
// range.
int FormatDateTime(double date, int namedFormat, std::u16string& out);

} // namespace cva::vbs::rt

#include "vbscript/runtime/DateTime.h"

#include "platform/text/Unicode.h"
#include "vbscript/runtime/DateCalendar.h"
#include "vbscript/runtime/Locale.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

namespace cva::vbs::rt {

using namespace detail;

namespace {

constexpr int64_t kMinDay = -657434;
constexpr int64_t kMaxDay = 2958465;

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

bool ParseInterval(std::u16string_view text, Interval& out) {
    const std::u16string lower = text::ToLower(text);
    if (lower == u"yyyy") out = Interval::Year;
    else if (lower == u"q") out = Interval::Quarter;
    else if (lower == u"m") out = Interval::Month;
    else if (lower == u"y") out = Interval::DayOfYear;
    else if (lower == u"d") out = Interval::Day;
    else if (lower == u"w") out = Interval::Weekday;
    else if (lower == u"ww") out = Interval::Week;
    else if (lower == u"h") out = Interval::Hour;
    else if (lower == u"n") out = Interval::Minute;
    else if (lower == u"s") out = Interval::Second;
    else return false;
    return true;
}

// vbUseSystemDayOfWeek and vbUseSystem follow the locale (Monday and ISO weeks in de-DE).
int FirstDay(int firstDayOfWeek) {
    return firstDayOfWeek == kUseSystemDayOfWeek ? CurrentLocale().firstDayOfWeek : firstDayOfWeek;
}

int WeekRule(int firstWeekOfYear) {
    return firstWeekOfYear == kUseSystemWeek ? CurrentLocale().firstWeekOfYear : firstWeekOfYear;
}

// Calendar day number of the first day of the week containing dayNumber.
int64_t WeekStart(int64_t dayNumber, int firstDay) {
    return dayNumber - (WeekdayOfDayNumber(dayNumber) - firstDay + 7) % 7;
}

// Day number on which week 1 of the year begins under the firstweekofyear rule.
int64_t FirstWeekStart(int year, int firstDay, int firstWeekOfYear) {
    const int64_t jan1 = DayNumber(year, 1, 1);
    const int64_t start = WeekStart(jan1, firstDay);
    const int64_t daysInYear = start + 7 - jan1; // days of that week falling in the year
    if (firstWeekOfYear == kFirstFourDays && daysInYear < 4) return start + 7;
    if (firstWeekOfYear == kFirstFullWeek && start != jan1) return start + 7;
    return start;
}

int WeekOfYear(int64_t dayNumber, int year, int firstDay, int firstWeekRule) {
    const int firstWeekOfYear = WeekRule(firstWeekRule);
    int64_t first = FirstWeekStart(year, firstDay, firstWeekOfYear);
    if (dayNumber < first) first = FirstWeekStart(year - 1, firstDay, firstWeekOfYear);
    else if (firstWeekOfYear == kFirstFourDays && year < 9999 &&
             dayNumber >= FirstWeekStart(year + 1, firstDay, firstWeekOfYear))
        return 1; // the last days of December may belong to week 1 of the next year
    return static_cast<int>((dayNumber - first) / 7) + 1;
}

bool ValidWeekArguments(int firstDayOfWeek, int firstWeekOfYear) {
    return firstDayOfWeek >= 0 && firstDayOfWeek <= 7 && firstWeekOfYear >= 0 &&
           firstWeekOfYear <= 3;
}

struct Split {
    int64_t day = 0;     // calendar day number
    int64_t seconds = 0; // seconds into the day
    int year = 0, month = 0, dayOfMonth = 0;
};

Split SplitSeconds(int64_t totalSeconds) {
    Split s;
    s.day = totalSeconds / kSecondsPerDay;
    s.seconds = totalSeconds % kSecondsPerDay;
    if (s.seconds < 0) {
        s.seconds += kSecondsPerDay;
        --s.day;
    }
    CivilFromDayNumber(s.day, s.year, s.month, s.dayOfMonth);
    return s;
}

int AddMonths(double date, int64_t months, double& out) {
    const Split s = SplitSeconds(OleToSeconds(date));
    const int64_t index = static_cast<int64_t>(s.year) * 12 + (s.month - 1) + months;
    const int64_t year = index >= 0 ? index / 12 : -((-index + 11) / 12);
    const int month = static_cast<int>(index - year * 12) + 1;
    if (year < 100 || year > 9999) return 5;
    const int day = std::min(s.dayOfMonth, DaysInMonth(static_cast<int>(year), month));
    out = SecondsToOle(DayNumber(year, month, day) * kSecondsPerDay + s.seconds);
    return 0;
}

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

double LocalNow(double* timerOut) {
    const auto now = std::chrono::system_clock::now();
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
    const std::time_t secs = static_cast<std::time_t>(FloorDiv(micros, 1000000));
    std::tm local{};
    localtime_r(&secs, &local);
    const int64_t day = DayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const int64_t seconds = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    if (timerOut) {
        const int64_t hundredths = (micros - FloorDiv(micros, 1000000) * 1000000) / 10000;
        *timerOut = static_cast<double>(seconds) + static_cast<double>(hundredths) / 100.0;
    }
    return SecondsToOle(day * kSecondsPerDay + seconds);
}

} // namespace

// The whole of the first and last day count, whatever their time of day.
bool IsValidDate(double date) { return date > kMinDate - 1.0 && date < kMaxDate + 1.0 / 86400.0; }

int SplitDate(double date, DateParts& out) {
    if (!IsValidDate(date)) return 5;
    const Split s = SplitSeconds(OleToSeconds(date));
    out.year = s.year;
    out.month = s.month;
    out.day = s.dayOfMonth;
    out.hour = static_cast<int>(s.seconds / 3600);
    out.minute = static_cast<int>(s.seconds / 60 % 60);
    out.second = static_cast<int>(s.seconds % 60);
    out.weekday = WeekdayOfDayNumber(s.day);
    out.dayOfYear = static_cast<int>(s.day - DayNumber(s.year, 1, 1)) + 1;
    return 0;
}

double MakeDate(int year, int month, int day) {
    return static_cast<double>(DayNumber(year, month, day));
}

double MakeTime(int hour, int minute, int second) {
    return static_cast<double>(hour * 3600 + minute * 60 + second) / kSecondsPerDay;
}

double CombineDateTime(double datePart, double timeFraction) {
    return datePart < 0.0 ? datePart - timeFraction : datePart + timeFraction;
}

double DateOnly(double date) { return std::trunc(date) + 0.0; }

double TimeOnly(double date) { return std::fabs(date - std::trunc(date)); }

int DateSerial(int32_t year, int32_t month, int32_t day, double& out) {
    constexpr int32_t kMin = std::numeric_limits<int16_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int16_t>::max();
    if (year < kMin || year > kMax || month < kMin || month > kMax || day < kMin || day > kMax)
        return 6;
    // Negative years count back from 2000 like the two-digit years below 30 (-1 is 1999).
    int64_t y = year;
    if (y < 30) y += 2000;
    else if (y < 100) y += 1900;
    const int64_t index = y * 12 + (month - 1);
    const int64_t normYear = FloorDiv(index, 12);
    const int normMonth = static_cast<int>(index - normYear * 12) + 1;
    const int64_t dayNumber = DayNumber(normYear, normMonth, 1) + (day - 1);
    if (dayNumber < kMinDay || dayNumber > kMaxDay) return 5;
    out = static_cast<double>(dayNumber);
    return 0;
}

int TimeSerial(int32_t hour, int32_t minute, int32_t second, double& out) {
    constexpr int32_t kMin = std::numeric_limits<int16_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int16_t>::max();
    if (hour < kMin || hour > kMax || minute < kMin || minute > kMax || second < kMin ||
        second > kMax)
        return 6;
    const int64_t total = int64_t{hour} * 3600 + int64_t{minute} * 60 + second;
    out = SecondsToOle(total);
    return 0;
}

double Now() { return LocalNow(nullptr); }

double Today() { return std::floor(LocalNow(nullptr)); }

double TimeOfDay() {
    const double now = LocalNow(nullptr);
    return now - std::floor(now);
}

float Timer() {
    double timer = 0.0;
    LocalNow(&timer);
    return static_cast<float>(timer);
}

int DateAdd(std::u16string_view interval, double number, double date, double& out) {
    Interval kind;
    if (!ParseInterval(interval, kind) || !IsValidDate(date)) return 5;
    // The count is a Long, rounded like CLng.
    const double whole = std::nearbyint(number);
    if (!(whole >= -2147483648.0 && whole <= 2147483647.0)) return 6;
    const int64_t n = static_cast<int64_t>(whole);
    int64_t seconds = 0;
    switch (kind) {
    case Interval::Year:
        if (std::fabs(whole) > 10000) return 5;
        return AddMonths(date, n * 12, out);
    case Interval::Quarter:
        if (std::fabs(whole) > 40000) return 5;
        return AddMonths(date, n * 3, out);
    case Interval::Month:
        if (std::fabs(whole) > 120000) return 5;
        return AddMonths(date, n, out);
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday: seconds = n * kSecondsPerDay; break;
    case Interval::Week: seconds = n * 7 * kSecondsPerDay; break;
    case Interval::Hour: seconds = n * 3600; break;
    case Interval::Minute: seconds = n * 60; break;
    case Interval::Second: seconds = n; break;
    }
    const int64_t total = OleToSeconds(date) + seconds;
    if (total < kMinDay * kSecondsPerDay || total >= (kMaxDay + 1) * kSecondsPerDay) return 5;
    out = SecondsToOle(total);
    return 0;
}

int DateDiff(std::u16string_view interval, double date1, double date2, int firstDayOfWeek,
             int firstWeekOfYear, int32_t& out) {
    Interval kind;
    if (!ParseInterval(interval, kind) || !ValidWeekArguments(firstDayOfWeek, firstWeekOfYear) ||
        !IsValidDate(date1) || !IsValidDate(date2))
        return 5;
    const int64_t t1 = OleToSeconds(date1);
    const int64_t t2 = OleToSeconds(date2);
    const Split a = SplitSeconds(t1);
    const Split b = SplitSeconds(t2);
    int64_t result = 0;
    switch (kind) {
    case Interval::Year: result = b.year - a.year; break;
    case Interval::Quarter:
        result = (int64_t{b.year} * 4 + (b.month - 1) / 3) - (int64_t{a.year} * 4 + (a.month - 1) / 3);
        break;
    case Interval::Month:
        result = (int64_t{b.year} * 12 + b.month) - (int64_t{a.year} * 12 + a.month);
        break;
    case Interval::DayOfYear:
    case Interval::Day: result = b.day - a.day; break;
    case Interval::Weekday: result = (b.day - a.day) / 7; break;
    case Interval::Week: {
        const int first = FirstDay(firstDayOfWeek);
        result = (WeekStart(b.day, first) - WeekStart(a.day, first)) / 7;
        break;
    }
    case Interval::Hour: result = FloorDiv(t2, 3600) - FloorDiv(t1, 3600); break;
    case Interval::Minute: result = FloorDiv(t2, 60) - FloorDiv(t1, 60); break;
    case Interval::Second: result = t2 - t1; break;
    }
    if (result < std::numeric_limits<int32_t>::min() || result > std::numeric_limits<int32_t>::max())
        return 6;
    out = static_cast<int32_t>(result);
    return 0;
}

int DatePart(std::u16string_view interval, double date, int firstDayOfWeek, int firstWeekOfYear,
             int32_t& out) {
    Interval kind;
    if (!ParseInterval(interval, kind) || !ValidWeekArguments(firstDayOfWeek, firstWeekOfYear) ||
        !IsValidDate(date))
        return 5;
    const Split s = SplitSeconds(OleToSeconds(date));
    const int first = FirstDay(firstDayOfWeek);
    switch (kind) {
    case Interval::Year: out = s.year; break;
    case Interval::Quarter: out = (s.month - 1) / 3 + 1; break;
    case Interval::Month: out = s.month; break;
    case Interval::DayOfYear: out = static_cast<int32_t>(s.day - DayNumber(s.year, 1, 1)) + 1; break;
    case Interval::Day: out = s.dayOfMonth; break;
    case Interval::Weekday: out = (WeekdayOfDayNumber(s.day) - first + 7) % 7 + 1; break;
    case Interval::Week: out = WeekOfYear(s.day, s.year, first, firstWeekOfYear); break;
    case Interval::Hour: out = static_cast<int32_t>(s.seconds / 3600); break;
    case Interval::Minute: out = static_cast<int32_t>(s.seconds / 60 % 60); break;
    case Interval::Second: out = static_cast<int32_t>(s.seconds % 60); break;
    }
    return 0;
}

int Weekday(double date, int firstDayOfWeek, int32_t& out) {
    if (firstDayOfWeek < 0 || firstDayOfWeek > 7 || !IsValidDate(date)) return 5;
    const Split s = SplitSeconds(OleToSeconds(date));
    out = (WeekdayOfDayNumber(s.day) - FirstDay(firstDayOfWeek) + 7) % 7 + 1;
    return 0;
}

int WeekdayName(int32_t weekday, bool abbreviate, int firstDayOfWeek, std::u16string& out) {
    if (weekday < 1 || weekday > 7 || firstDayOfWeek < 0 || firstDayOfWeek > 7) return 5;
    const int index = (weekday - 1 + FirstDay(firstDayOfWeek) - 1) % 7;
    const LocaleInfo& locale = CurrentLocale();
    out = abbreviate ? locale.shortDays[index] : locale.days[index];
    return 0;
}

int MonthName(int32_t month, bool abbreviate, std::u16string& out) {
    if (month < 1 || month > 12) return 5;
    const LocaleInfo& locale = CurrentLocale();
    out = abbreviate ? locale.shortMonths[month - 1] : locale.months[month - 1];
    return 0;
}

} // namespace cva::vbs::rt

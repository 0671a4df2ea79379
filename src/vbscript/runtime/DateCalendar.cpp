#include "vbscript/runtime/DateCalendar.h"

#include <cmath>

namespace cva::vbs::rt::detail {

namespace {

// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's civil algorithm).
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// 1899-12-30 is 25569 days before 1970-01-01.
constexpr int64_t kOleEpochOffset = 25569;

} // namespace

int64_t DayNumber(int64_t year, int month, int day) {
    return DaysFromCivil(year, month, day) + kOleEpochOffset;
}

void CivilFromDayNumber(int64_t dayNumber, int& year, int& month, int& day) {
    const int64_t z = dayNumber - kOleEpochOffset + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2) {
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return leap ? 29 : 28;
    }
    return kDays[month - 1];
}

int WeekdayOfDayNumber(int64_t dayNumber) {
    // Day 0 (1899-12-30) was a Saturday.
    int64_t w = (dayNumber + 6) % 7;
    if (w < 0) w += 7;
    return static_cast<int>(w) + 1;
}

double OleToLinear(double date) {
    if (date >= 0.0) return date;
    const double whole = std::trunc(date);
    return whole + (whole - date); // the fraction counts forwards from the day's midnight
}

int64_t OleToSeconds(double date) {
    const double linear = OleToLinear(date);
    const double day = std::floor(linear);
    const double fraction = linear - day;
    // Rounding the fraction separately keeps the day exact for large day numbers.
    return static_cast<int64_t>(day) * kSecondsPerDay +
           static_cast<int64_t>(std::llround(fraction * kSecondsPerDay));
}

double SecondsToOle(int64_t seconds) {
    int64_t day = seconds / kSecondsPerDay;
    int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --day;
    }
    const double fraction = static_cast<double>(rest) / kSecondsPerDay;
    if (day >= 0) return static_cast<double>(day) + fraction;
    return fraction == 0.0 ? static_cast<double>(day) : static_cast<double>(day) - fraction;
}

} // namespace cva::vbs::rt::detail

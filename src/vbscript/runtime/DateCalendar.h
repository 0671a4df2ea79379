#pragma once

#include <cstdint>

// Calendar arithmetic shared by the date kernels. A "day number" counts calendar days from
// 1899-12-30 (negative before it); a "linear" time is day number + fraction of the day,
// which unlike an OLE date grows monotonically through 1899-12-30.
namespace cva::vbs::rt::detail {

inline constexpr int64_t kSecondsPerDay = 86400;

// Proleptic Gregorian calendar, the one OLE dates use for every year.
int64_t DayNumber(int64_t year, int month, int day);
void CivilFromDayNumber(int64_t dayNumber, int& year, int& month, int& day);
int DaysInMonth(int year, int month);
// 1 = Sunday .. 7 = Saturday.
int WeekdayOfDayNumber(int64_t dayNumber);

// OLE date <-> whole seconds on the linear time line, rounding to the nearest second.
int64_t OleToSeconds(double date);
double SecondsToOle(int64_t seconds);
double OleToLinear(double date);

} // namespace cva::vbs::rt::detail

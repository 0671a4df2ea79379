#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Number and date text as CStr shows it and as strings coerce to numbers.
namespace cva::vbs {

std::u16string FormatDouble(double d);
std::u16string FormatSingle(float f);
std::u16string FormatCurrencyValue(int64_t scaledBy10000);
// The general date format: short date, long time, either part left out when zero.
std::u16string FormatDateValue(double oleDate);

// A string as a number the way VBScript coerces it: blanks around, sign, decimal
// digits with an optional fraction and exponent, &H and &O prefixes.
bool ParseNumber(std::u16string_view text, double& out);
// A string as a date/time ("1/31/2024", "2024-01-31 10:30", "10:30:15 PM").
bool ParseDateValue(std::u16string_view text, double& out);

// OLE date <-> calendar. Days count from 30 December 1899.
double DateFromParts(int32_t year, int32_t month, int32_t day);
void PartsFromDate(double oleDate, int32_t& year, int32_t& month, int32_t& day,
                   int32_t& hour, int32_t& minute, int32_t& second);

} // namespace cva::vbs

#pragma once

#include <string>

// Decimal digit strings used where VBScript rounds or prints in decimal rather than binary
// (Round, FormatNumber): the double is first reduced to the 15 significant digits CStr
// shows, so 2.675 rounds as the 2.675 the user sees, not as 2.67499999999999982236431605997495353221893310546875.
namespace cva::vbs::rt::detail {

struct Decimal {
    bool negative = false;
    std::string digits; // significant digits without leading or trailing zeros; empty for 0
    int point = 0;      // digits before the decimal point (may be <= 0 or > digits.size())
};

Decimal ToDecimal(double value, int significantDigits);

enum class RoundingMode { HalfEven, HalfAwayFromZero };
// Rounds to the given number of digits after the decimal point.
void RoundDecimal(Decimal& d, int fractionDigits, RoundingMode mode);

double FromDecimal(const Decimal& d);

} // namespace cva::vbs::rt::detail

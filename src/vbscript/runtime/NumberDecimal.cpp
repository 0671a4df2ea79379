#include "vbscript/runtime/NumberDecimal.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace cva::vbs::rt::detail {

Decimal ToDecimal(double value, int significantDigits) {
    Decimal d;
    if (value == 0.0 || !std::isfinite(value)) return d;
    d.negative = value < 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", significantDigits - 1, std::fabs(value));
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    d.point = exponent + 1;
    return d;
}

void RoundDecimal(Decimal& d, int fractionDigits, RoundingMode mode) {
    const int keep = d.point + fractionDigits;
    const int size = static_cast<int>(d.digits.size());
    if (keep >= size) return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const char first = d.digits[keep];
    bool up;
    if (mode == RoundingMode::HalfAwayFromZero) {
        up = first >= '5';
    } else {
        const bool restNonZero = keep + 1 < size; // trailing zeros are never stored
        const bool previousOdd = keep > 0 && (d.digits[keep - 1] - '0') % 2 == 1;
        up = first > '5' || (first == '5' && (restNonZero || previousOdd));
    }
    d.digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
        if (i >= 0) {
            ++d.digits[i];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.point;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

double FromDecimal(const Decimal& d) {
    if (d.digits.empty()) return d.negative ? -0.0 : 0.0;
    std::string text = d.negative ? "-0." : "0.";
    text += d.digits;
    text += 'e';
    text += std::to_string(d.point);
    return std::strtod(text.c_str(), nullptr);
}

} // namespace cva::vbs::rt::detail

#include "vbscript/runtime/Number.h"

#include "vbscript/runtime/Locale.h"
#include "vbscript/runtime/NumberDecimal.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace cva::vbs::rt {

using namespace detail;

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f' ||
           c == 0xA0;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// The pieces of a decimal number as OLE's number parser accepts it in the current locale.
struct Scanned {
    bool negative = false;
    bool radix = false; // &H / &O form
    int64_t radixValue = 0;
    std::string mantissa; // digits, with at most one '.'
    int exponent = 0;
};

enum class ScanResult { Ok, NotNumber, Overflow };

ScanResult ScanNumber(std::u16string_view s, Scanned& out) {
    const LocaleInfo& locale = CurrentLocale();
    std::size_t i = 0;
    const std::size_t n = s.size();
    auto atCurrency = [&] { return s.substr(i).starts_with(locale.currency); };
    auto skipBlanks = [&] {
        while (i < n && IsBlank(s[i])) ++i;
    };
    skipBlanks();
    bool paren = false, sign = false, currency = false;
    // Prefix: any order of one sign, one "$" and one "(", with blanks between.
    for (;;) {
        if (i < n && (s[i] == u'+' || s[i] == u'-') && !sign) {
            sign = true;
            out.negative = s[i] == u'-';
        } else if (i < n && atCurrency() && !currency) {
            currency = true;
            i += locale.currency.size() - 1;
        } else if (i < n && s[i] == u'(' && !paren && !sign) {
            paren = true;
        } else {
            break;
        }
        ++i;
        skipBlanks();
    }
    if (i + 1 < n && s[i] == u'&') {
        const char16_t kind = s[i + 1];
        int base = 0;
        if (kind == u'h' || kind == u'H') base = 16;
        else if (kind == u'o' || kind == u'O') base = 8;
        if (base == 0 || paren || sign || currency) return ScanResult::NotNumber;
        i += 2;
        uint64_t value = 0;
        std::size_t count = 0;
        for (; i < n; ++i) {
            const int v = HexValue(s[i]);
            if (v < 0 || v >= base) break;
            value = value * base + v;
            if (value > 0xFFFFFFFFu) return ScanResult::Overflow;
            ++count;
        }
        skipBlanks();
        if (count == 0 || i != n) return ScanResult::NotNumber;
        out.radix = true;
        out.radixValue = static_cast<int32_t>(static_cast<uint32_t>(value));
        return ScanResult::Ok;
    }
    bool anyDigit = false, point = false;
    for (; i < n; ++i) {
        const char16_t c = s[i];
        if (IsDigit(c)) {
            out.mantissa.push_back(static_cast<char>(c));
            anyDigit = true;
        } else if (c == locale.group && anyDigit) {
            // thousands separators are not checked for position, as Windows does not
        } else if (c == locale.decimal && !point) {
            out.mantissa.push_back('.');
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return ScanResult::NotNumber;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (s[i] == u'+' || s[i] == u'-')) expNegative = s[i++] == u'-';
        if (i >= n || !IsDigit(s[i])) return ScanResult::NotNumber;
        int64_t e = 0;
        for (; i < n && IsDigit(s[i]); ++i)
            if (e < 100000) e = e * 10 + (s[i] - u'0');
        out.exponent = static_cast<int>(expNegative ? -e : e);
    }
    skipBlanks();
    // Suffix: a trailing sign and "$" (when not already given), the closing parenthesis.
    for (;;) {
        if (i < n && (s[i] == u'+' || s[i] == u'-') && !sign && !paren) {
            sign = true;
            out.negative = s[i] == u'-';
        } else if (i < n && atCurrency() && !currency) {
            currency = true;
            i += locale.currency.size() - 1;
        } else if (i < n && s[i] == u')' && paren) {
            paren = false;
            out.negative = true; // "(-5)" is still -5
        } else {
            break;
        }
        ++i;
        skipBlanks();
    }
    if (paren || i != n) return ScanResult::NotNumber;
    return ScanResult::Ok;
}

double ScannedToDouble(const Scanned& s) {
    if (s.radix) return static_cast<double>(s.radixValue);
    std::string text = s.negative ? "-" : "";
    text += s.mantissa;
    if (text.back() == '.') text.pop_back();
    if (s.exponent != 0) {
        text.push_back('e');
        text.append(std::to_string(s.exponent));
    }
    return std::strtod(text.c_str(), nullptr);
}

} // namespace

std::optional<double> ParseNumber(std::u16string_view text) {
    Scanned s;
    if (ScanNumber(text, s) != ScanResult::Ok) return std::nullopt;
    const double value = ScannedToDouble(s);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

bool IsNumericString(std::u16string_view text) { return ParseNumber(text).has_value(); }

int ParseCurrency(std::u16string_view text, int64_t& out) {
    Scanned s;
    const ScanResult r = ScanNumber(text, s);
    if (r == ScanResult::Overflow) return 6;
    if (r != ScanResult::Ok) return 13;
    if (s.radix) {
        out = s.radixValue * 10000;
        return 0;
    }
    // Exact decimal: digits with the point moved by the exponent and four places more.
    std::string digits;
    int point = -1;
    for (char c : s.mantissa) {
        if (c == '.') point = static_cast<int>(digits.size());
        else digits.push_back(c);
    }
    if (point < 0) point = static_cast<int>(digits.size());
    const int64_t shift = int64_t{point} + s.exponent + 4; // digits that are whole units of 1/10000
    Decimal d;
    std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        out = 0;
        return 0;
    }
    if (shift - static_cast<int64_t>(first) > 19) return 6;
    d.digits = digits.substr(first);
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    d.point = static_cast<int>(std::max<int64_t>(shift - static_cast<int64_t>(first), -100));
    d.negative = s.negative;
    RoundDecimal(d, 0, RoundingMode::HalfEven);
    unsigned __int128 value = 0;
    for (int k = 0; k < d.point; ++k) {
        value = value * 10 + (k < static_cast<int>(d.digits.size()) ? d.digits[k] - '0' : 0);
        if (value > static_cast<unsigned __int128>(std::numeric_limits<int64_t>::max()) + 1) return 6;
    }
    if (!d.negative && value > static_cast<unsigned __int128>(std::numeric_limits<int64_t>::max()))
        return 6;
    if (d.negative && value > static_cast<unsigned __int128>(std::numeric_limits<int64_t>::max()) + 1)
        return 6;
    out = d.negative ? static_cast<int64_t>(-static_cast<__int128>(value)) : static_cast<int64_t>(value);
    return 0;
}

int DoubleToCurrency(double value, int64_t& out) {
    if (!std::isfinite(value)) return 6;
    const double scaled = std::nearbyint(value * 10000.0);
    if (scaled >= 9223372036854775808.0 || scaled < -9223372036854775808.0) return 6;
    out = static_cast<int64_t>(scaled);
    return 0;
}

double CurrencyToDouble(int64_t scaled) { return static_cast<double>(scaled) / 10000.0; }

double RoundHalfEven(double value) { return std::nearbyint(value); }

int Round(double value, int32_t digits, double& out) {
    if (digits < 0) return 5;
    if (!std::isfinite(value) || digits > 22) {
        out = value;
        return 0;
    }
    if (value == std::trunc(value)) {
        out = value; // also keeps integers beyond 15 digits exact
        return 0;
    }
    Decimal d = ToDecimal(value, 15);
    if (d.point + digits >= 15) {
        out = value; // every digit it has is kept
        return 0;
    }
    RoundDecimal(d, digits, RoundingMode::HalfEven);
    out = FromDecimal(d);
    if (out == 0.0) out = 0.0; // no negative zero
    return 0;
}

int ToLong(double value, int32_t& out) {
    const double r = RoundHalfEven(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return 6;
    out = static_cast<int32_t>(r);
    return 0;
}

int ToInteger(double value, int16_t& out) {
    const double r = RoundHalfEven(value);
    if (!(r >= -32768.0 && r <= 32767.0)) return 6;
    out = static_cast<int16_t>(r);
    return 0;
}

int ToByte(double value, uint8_t& out) {
    const double r = RoundHalfEven(value);
    if (!(r >= 0.0 && r <= 255.0)) return 6;
    out = static_cast<uint8_t>(r);
    return 0;
}

double Int(double value) { return std::floor(value); }
double Fix(double value) { return std::trunc(value); }

namespace {

std::u16string ToRadix(int32_t value, int bits, unsigned shift) {
    uint32_t v = static_cast<uint32_t>(value);
    if (bits == 8) v &= 0xFFu;
    else if (bits == 16) v &= 0xFFFFu;
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const uint32_t mask = (1u << shift) - 1;
    std::u16string out;
    do {
        out.insert(out.begin(), static_cast<char16_t>(kDigits[v & mask]));
        v >>= shift;
    } while (v != 0);
    return out;
}

} // namespace

std::u16string Hex(int32_t value, int bits) { return ToRadix(value, bits, 4); }
std::u16string Oct(int32_t value, int bits) { return ToRadix(value, bits, 3); }

} // namespace cva::vbs::rt

// Numbers to text: CStr of Double, Single and Currency and the Format* functions.
#include "vbscript/runtime/Number.h"

#include "vbscript/runtime/Locale.h"
#include "vbscript/runtime/NumberDecimal.h"

#include <cmath>
#include <cstdio>

namespace cva::vbs::rt {

using namespace detail;

namespace {

// Text built with "." and "," in the current locale's separators.
std::u16string Localized(const std::string& s) {
    const LocaleInfo& locale = CurrentLocale();
    std::u16string out;
    for (char c : s)
        out.push_back(c == '.' ? locale.decimal : c == ',' ? locale.group : static_cast<char16_t>(c));
    return out;
}

// Builds "prefix + body + suffix" by appending (g++ 12 misreads operator+ chains here).
std::string Wrap(const char* prefix, const std::string& body, const char* suffix) {
    std::string out(prefix);
    out.append(body);
    out.append(suffix);
    return out;
}

// VBScript prints like printf's %G at the type's precision: plain from 1E-4 up to below
// 10^precision, scientific outside with a sign and at least two exponent digits.
std::u16string GeneralFormat(double value, int precision) {
    if (value == 0.0) return u"0";
    if (std::isnan(value)) return u"NaN";
    if (std::isinf(value)) return value < 0 ? u"-1.#INF" : u"1.#INF";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", precision, value);
    return Localized(buf);
}

} // namespace

std::u16string DoubleToString(double value) { return GeneralFormat(value, 15); }

std::u16string SingleToString(float value) { return GeneralFormat(value, 7); }

std::u16string CurrencyToString(int64_t scaled) {
    const bool negative = scaled < 0;
    const uint64_t magnitude =
        negative ? static_cast<uint64_t>(0) - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    std::string text = std::to_string(magnitude / 10000);
    uint64_t fraction = magnitude % 10000;
    if (fraction != 0) {
        char buf[8];
        std::snprintf(buf, sizeof buf, ".%04u", static_cast<unsigned>(fraction));
        std::string f = buf;
        while (f.back() == '0') f.pop_back();
        text += f;
    }
    return Localized(negative ? Wrap("-", text, "") : text);
}

namespace {

constexpr int kDefaultDigits = 2;

bool Tristate(int value, bool fallback) { return value == kUseDefault ? fallback : value != 0; }

// The number without sign, rounded half away from zero, with "." and "," for the locale's
// separators.
std::string FormatMagnitude(double value, int digits, bool leadingDigit, bool group,
                            bool& negative) {
    Decimal d = ToDecimal(value, 15);
    RoundDecimal(d, digits, RoundingMode::HalfAwayFromZero);
    negative = d.negative;
    const int size = static_cast<int>(d.digits.size());
    auto digitAt = [&](int index) { return index >= 0 && index < size ? d.digits[index] : '0'; };
    std::string whole;
    if (!d.digits.empty())
        for (int k = 0; k < d.point; ++k) whole.push_back(digitAt(k));
    if (group && whole.size() > 3) {
        std::string grouped;
        const int lead = static_cast<int>(whole.size() % 3);
        for (std::size_t k = 0; k < whole.size(); ++k) {
            if (k != 0 && (static_cast<int>(k) - lead) % 3 == 0) grouped.push_back(',');
            grouped.push_back(whole[k]);
        }
        whole = grouped;
    }
    if (whole.empty() && (leadingDigit || digits == 0)) whole.push_back('0');
    std::string text = whole;
    if (digits > 0) {
        text.push_back('.');
        for (int k = 0; k < digits; ++k) text.push_back(d.digits.empty() ? '0' : digitAt(d.point + k));
    }
    return text;
}

int FormatCommon(double value, int32_t digits, int includeLeadingDigit, int useParens,
                 int groupDigits, bool parensDefault, std::string& magnitude, bool& negative,
                 bool& parens) {
    if (digits < -1 || digits > 255 || !std::isfinite(value)) return 5;
    const int places = digits == -1 ? kDefaultDigits : digits;
    magnitude = FormatMagnitude(value, places, Tristate(includeLeadingDigit, true),
                                Tristate(groupDigits, true), negative);
    parens = Tristate(useParens, parensDefault);
    return 0;
}

} // namespace

int FormatNumber(double value, int32_t digits, int includeLeadingDigit, int useParens,
                 int groupDigits, std::u16string& out) {
    std::string magnitude;
    bool negative = false, parens = false;
    const int error = FormatCommon(value, digits, includeLeadingDigit, useParens, groupDigits,
                                   false, magnitude, negative, parens);
    if (error != 0) return error;
    if (negative) magnitude = parens ? Wrap("(", magnitude, ")") : Wrap("-", magnitude, "");
    out = Localized(magnitude);
    return 0;
}

int FormatCurrency(double value, int32_t digits, int includeLeadingDigit, int useParens,
                   int groupDigits, std::u16string& out) {
    std::string magnitude;
    bool negative = false, parens = false;
    const LocaleInfo& locale = CurrentLocale();
    const int error = FormatCommon(value, digits, includeLeadingDigit, useParens, groupDigits,
                                   locale.currencyParens, magnitude, negative, parens);
    if (error != 0) return error;
    // The symbol stands before the number ("$1.00") or after it, as the euro does in de-DE.
    std::u16string symbol(locale.currency);
    std::u16string number = Localized(magnitude);
    out = locale.currencyAfter ? number + u" " + symbol : symbol + number;
    if (negative) out = parens ? u"(" + out + u")" : u"-" + out;
    return 0;
}

int FormatPercent(double value, int32_t digits, int includeLeadingDigit, int useParens,
                  int groupDigits, std::u16string& out) {
    // The sign goes around the number only: Windows gives "(25.60)%".
    const int error = FormatNumber(value * 100.0, digits, includeLeadingDigit, useParens,
                                   groupDigits, out);
    if (error != 0) return error;
    out += u'%';
    return 0;
}

} // namespace cva::vbs::rt

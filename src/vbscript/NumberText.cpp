#include "vbscript/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace cva::vbs {

namespace {

std::u16string Widen(const char* s)
{
    std::u16string r;
    for (; *s; ++s)
        r.push_back(static_cast<unsigned char>(*s));
    return r;
}

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xA0;
}

std::u16string_view Trim(std::u16string_view t)
{
    while (!t.empty() && IsBlank(t.front()))
        t.remove_prefix(1);
    while (!t.empty() && IsBlank(t.back()))
        t.remove_suffix(1);
    return t;
}

int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// Days from 1970-01-01 for a proleptic Gregorian date (Howard Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2;
    int64_t era = FloorDiv(y, 400);
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int32_t& y, int32_t& m, int32_t& d)
{
    z += 719468;
    int64_t era = FloorDiv(z, 146097);
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t yy = yoe + era * 400;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int32_t>(yy + (m <= 2));
}

constexpr int64_t kOleEpochFrom1970 = -25569; // 1899-12-30 in days from 1970-01-01

} // namespace

std::u16string FormatDouble(double d)
{
    if (std::isnan(d))
        return u"NaN";
    if (std::isinf(d))
        return d > 0 ? u"Infinity" : u"-Infinity";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", d);
    if (std::string_view(buf) == "-0")
        return u"0";
    return Widen(buf);
}

std::u16string FormatSingle(float f)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.7G", static_cast<double>(f));
    return Widen(buf);
}

std::u16string FormatCurrencyValue(int64_t v)
{
    bool neg = v < 0;
    uint64_t u = neg ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    uint64_t whole = u / 10000;
    uint64_t frac = u % 10000;
    char buf[64];
    if (frac == 0) {
        std::snprintf(buf, sizeof buf, "%s%llu", neg ? "-" : "", static_cast<unsigned long long>(whole));
    } else {
        std::snprintf(buf, sizeof buf, "%s%llu.%04llu", neg ? "-" : "",
                      static_cast<unsigned long long>(whole), static_cast<unsigned long long>(frac));
        size_t n = std::char_traits<char>::length(buf);
        while (buf[n - 1] == '0')
            buf[--n] = 0;
    }
    return Widen(buf);
}

double DateFromParts(int32_t year, int32_t month, int32_t day)
{
    // Month overflow rolls into years, as DateSerial does.
    int64_t y = year + FloorDiv(month - 1, 12);
    int64_t m = (month - 1) - FloorDiv(month - 1, 12) * 12 + 1;
    return static_cast<double>(DaysFromCivil(y, m, 1) - kOleEpochFrom1970 + (day - 1));
}

void PartsFromDate(double oleDate, int32_t& year, int32_t& month, int32_t& day, int32_t& hour,
                   int32_t& minute, int32_t& second)
{
    double days = std::trunc(oleDate);
    double frac = std::fabs(oleDate - days);
    int64_t secs = static_cast<int64_t>(std::nearbyint(frac * 86400.0));
    if (secs >= 86400) {
        secs -= 86400;
        days += oleDate < 0 ? -1 : 1;
    }
    CivilFromDays(static_cast<int64_t>(days) + kOleEpochFrom1970, year, month, day);
    hour = static_cast<int32_t>(secs / 3600);
    minute = static_cast<int32_t>(secs / 60 % 60);
    second = static_cast<int32_t>(secs % 60);
}

std::u16string FormatDateValue(double oleDate)
{
    int32_t y, mo, d, h, mi, s;
    PartsFromDate(oleDate, y, mo, d, h, mi, s);
    bool hasDate = std::trunc(oleDate) != 0;
    bool hasTime = h != 0 || mi != 0 || s != 0;
    char buf[80];
    std::string out;
    if (hasDate || !hasTime) {
        std::snprintf(buf, sizeof buf, "%d/%d/%d", mo, d, y);
        out = buf;
    }
    if (hasTime) {
        int h12 = h % 12 == 0 ? 12 : h % 12;
        std::snprintf(buf, sizeof buf, "%s%d:%02d:%02d %s", out.empty() ? "" : " ", h12, mi, s,
                      h < 12 ? "AM" : "PM");
        out += buf;
    }
    return Widen(out.c_str());
}

bool ParseNumber(std::u16string_view text, double& out)
{
    std::u16string_view t = Trim(text);
    if (t.empty())
        return false;
    if (t.size() > 2 && t[0] == u'&') {
        char16_t k = t[1] | 0x20;
        int base = k == u'h' ? 16 : k == u'o' ? 8 : 0;
        if (!base)
            return false;
        uint64_t v = 0;
        size_t i = 2;
        for (; i < t.size(); ++i) {
            char16_t c = t[i];
            int dv = c >= u'0' && c <= u'9' ? c - u'0'
                     : (c | 0x20) >= u'a' && (c | 0x20) <= u'f' ? (c | 0x20) - u'a' + 10
                                                                 : 99;
            if (dv >= base)
                break;
            v = v * base + dv;
            if (v > 0xFFFFFFFFull)
                return false;
        }
        if (i < t.size() && t[i] == u'&')
            ++i;
        if (i != t.size())
            return false;
        // Hex text of up to four digits is an Integer, beyond that a Long; both are
        // signed, so &HFFFF is -1.
        if (t.size() - 2 <= 4 && v <= 0xFFFF)
            out = static_cast<int16_t>(static_cast<uint16_t>(v));
        else
            out = static_cast<int32_t>(static_cast<uint32_t>(v));
        return true;
    }
    std::string ascii;
    size_t i = 0;
    if (t[i] == u'+' || t[i] == u'-') {
        ascii.push_back(static_cast<char>(t[i]));
        ++i;
        while (i < t.size() && IsBlank(t[i]))
            ++i;
    }
    bool digits = false;
    for (; i < t.size(); ++i) {
        char16_t c = t[i];
        if (c >= u'0' && c <= u'9') {
            ascii.push_back(static_cast<char>(c));
            digits = true;
        } else if (c == u',' && digits) {
            continue;
        } else {
            break;
        }
    }
    if (i < t.size() && t[i] == u'.') {
        ascii.push_back('.');
        ++i;
        for (; i < t.size() && t[i] >= u'0' && t[i] <= u'9'; ++i) {
            ascii.push_back(static_cast<char>(t[i]));
            digits = true;
        }
    }
    if (!digits)
        return false;
    if (i < t.size() && ((t[i] | 0x20) == u'e' || (t[i] | 0x20) == u'd')) {
        size_t j = i + 1;
        std::string e = "e";
        if (j < t.size() && (t[j] == u'+' || t[j] == u'-'))
            e.push_back(static_cast<char>(t[j++]));
        size_t start = j;
        for (; j < t.size() && t[j] >= u'0' && t[j] <= u'9'; ++j)
            e.push_back(static_cast<char>(t[j]));
        if (j == start)
            return false;
        ascii += e;
        i = j;
    }
    if (i != t.size())
        return false;
    out = std::strtod(ascii.c_str(), nullptr);
    return std::isfinite(out);
}

bool ParseDateValue(std::u16string_view text, double& out)
{
    std::u16string_view t = Trim(text);
    if (t.empty())
        return false;
    int nums[6] = {0};
    char seps[6] = {0};
    int count = 0;
    int pm = -1;
    size_t i = 0;
    while (i < t.size()) {
        char16_t c = t[i];
        if (c >= u'0' && c <= u'9') {
            if (count >= 6)
                return false;
            int v = 0;
            size_t digits = 0;
            while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
                v = v * 10 + (t[i] - u'0');
                if (++digits > 4)
                    return false;
                ++i;
            }
            nums[count] = v;
            seps[count] = i < t.size() ? static_cast<char>(t[i]) : 0;
            ++count;
        } else if (c == u'/' || c == u'-' || c == u':' || c == u' ' || c == u'.') {
            ++i;
        } else if ((c | 0x20) == u'a' || (c | 0x20) == u'p') {
            if (i + 1 < t.size() && (t[i + 1] | 0x20) == u'm') {
                pm = (c | 0x20) == u'p';
                i += 2;
            } else {
                return false;
            }
        } else {
            return false;
        }
    }
    int dateParts = 0;
    for (int k = 0; k < count && (seps[k] == '/' || seps[k] == '-' || (k > 0 && (seps[k - 1] == '/' || seps[k - 1] == '-') && seps[k] != ':')); ++k)
        ++dateParts;
    if (dateParts == 1)
        return false;
    double date = 0;
    int k = 0;
    if (dateParts >= 2) {
        int y, m, d;
        if (dateParts == 2) {
            m = nums[0];
            d = nums[1];
            y = 2000;
        } else if (nums[0] > 31) {
            y = nums[0];
            m = nums[1];
            d = nums[2];
        } else {
            m = nums[0];
            d = nums[1];
            y = nums[2];
            if (m > 12 && d <= 12)
                std::swap(m, d);
            if (y < 30)
                y += 2000;
            else if (y < 100)
                y += 1900;
        }
        if (m < 1 || m > 12 || d < 1 || d > 31)
            return false;
        date = DateFromParts(y, m, d);
        int32_t yy, mm, dd, h, mi, s;
        PartsFromDate(date, yy, mm, dd, h, mi, s);
        if (dd != d)
            return false;
        k = dateParts > 3 ? 3 : dateParts;
    }
    int timeCount = count - k;
    if (timeCount == 0 && dateParts == 0)
        return false;
    if (timeCount > 0) {
        if (timeCount == 1 && pm < 0)
            return false;
        int h = nums[k];
        int mi = timeCount > 1 ? nums[k + 1] : 0;
        int s = timeCount > 2 ? nums[k + 2] : 0;
        if (pm >= 0) {
            if (h < 1 || h > 12)
                return false;
            h = h % 12 + (pm ? 12 : 0);
        }
        if (h > 23 || mi > 59 || s > 59)
            return false;
        double frac = (h * 3600 + mi * 60 + s) / 86400.0;
        date = date >= 0 ? date + frac : date - frac;
    }
    out = date;
    return true;
}

} // namespace cva::vbs

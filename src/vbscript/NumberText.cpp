#include "vbscript/NumberText.h"

#include "vbscript/runtime/DateTime.h"
#include "vbscript/runtime/Number.h"

#include <cmath>

namespace cva::vbs {

std::u16string FormatDouble(double d)
{
    return rt::DoubleToString(d);
}

std::u16string FormatSingle(float f)
{
    return rt::SingleToString(f);
}

std::u16string FormatCurrencyValue(int64_t scaledBy10000)
{
    return rt::CurrencyToString(scaledBy10000);
}

std::u16string FormatDateValue(double oleDate)
{
    return rt::FormatDate(oleDate);
}

bool ParseNumber(std::u16string_view text, double& out)
{
    std::optional<double> v = rt::ParseNumber(text);
    if (!v)
        return false;
    out = *v;
    return true;
}

bool ParseDateValue(std::u16string_view text, double& out)
{
    std::optional<double> v = rt::ParseDate(text);
    if (!v)
        return false;
    out = *v;
    return true;
}

double DateFromParts(int32_t year, int32_t month, int32_t day)
{
    double out = 0;
    if (rt::DateSerial(year, month, day, out) != 0)
        return 0;
    return out;
}

void PartsFromDate(double oleDate, int32_t& year, int32_t& month, int32_t& day, int32_t& hour,
                   int32_t& minute, int32_t& second)
{
    rt::DateParts p;
    if (rt::SplitDate(oleDate, p) != 0) {
        year = 1899;
        month = 12;
        day = 30;
        hour = minute = second = 0;
        return;
    }
    year = p.year;
    month = p.month;
    day = p.day;
    hour = p.hour;
    minute = p.minute;
    second = p.second;
}

} // namespace cva::vbs

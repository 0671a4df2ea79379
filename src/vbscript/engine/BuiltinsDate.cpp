#include "vbscript/engine/BuiltinHelpers.h"
#include "vbscript/runtime/DateTime.h"
#include "vbscript/runtime/Number.h"

#include <cmath>

namespace cva::vbs::engine {

namespace {

bool Now(CInterpreter&, std::span<Variant>, Variant& out)
{
    out = Variant::FromDate(rt::Now());
    return true;
}

bool DateFn(CInterpreter&, std::span<Variant>, Variant& out)
{
    out = Variant::FromDate(rt::Today());
    return true;
}

bool TimeFn(CInterpreter&, std::span<Variant>, Variant& out)
{
    out = Variant::FromDate(rt::TimeOfDay());
    return true;
}

bool Timer(CInterpreter&, std::span<Variant>, Variant& out)
{
    out = Variant::FromSingle(rt::Timer());
    return true;
}

bool DateArg(CInterpreter& in, const Variant& v, double& out)
{
    if (!ArgDate(in, v, out))
        return false;
    if (!rt::IsValidDate(out))
        return in.Fail(kErrInvalidCall);
    return true;
}

// Year, Month, ... of a date; Null gives Null.
bool Field(CInterpreter& in, std::span<Variant> a, Variant& out, int which)
{
    if (NullPassedThrough(a[0], out))
        return true;
    double d = 0;
    if (!DateArg(in, a[0], d))
        return false;
    rt::DateParts p;
    if (!RtResult(in, rt::SplitDate(d, p)))
        return false;
    int v = 0;
    switch (which) {
    case 0: v = p.year; break;
    case 1: v = p.month; break;
    case 2: v = p.day; break;
    case 3: v = p.hour; break;
    case 4: v = p.minute; break;
    default: v = p.second; break;
    }
    out = Variant::FromInteger(static_cast<int16_t>(v));
    return true;
}

bool Year(CInterpreter& in, std::span<Variant> a, Variant& out) { return Field(in, a, out, 0); }
bool Month(CInterpreter& in, std::span<Variant> a, Variant& out) { return Field(in, a, out, 1); }
bool Day(CInterpreter& in, std::span<Variant> a, Variant& out) { return Field(in, a, out, 2); }
bool Hour(CInterpreter& in, std::span<Variant> a, Variant& out) { return Field(in, a, out, 3); }
bool Minute(CInterpreter& in, std::span<Variant> a, Variant& out) { return Field(in, a, out, 4); }
bool Second(CInterpreter& in, std::span<Variant> a, Variant& out) { return Field(in, a, out, 5); }

bool IntegerArg(CInterpreter& in, const Variant& v, int32_t& out)
{
    int16_t n = 0;
    if (!Converted(in, ToInteger(v, n)))
        return false;
    out = n;
    return true;
}

bool DateSerial(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    int32_t y = 0, m = 0, d = 0;
    if (!IntegerArg(in, a[0], y) || !IntegerArg(in, a[1], m) || !IntegerArg(in, a[2], d))
        return false;
    double r = 0;
    if (!RtResult(in, rt::DateSerial(y, m, d, r)))
        return false;
    out = Variant::FromDate(r);
    return true;
}

bool TimeSerial(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    int32_t h = 0, m = 0, s = 0;
    if (!IntegerArg(in, a[0], h) || !IntegerArg(in, a[1], m) || !IntegerArg(in, a[2], s))
        return false;
    double r = 0;
    if (!RtResult(in, rt::TimeSerial(h, m, s, r)))
        return false;
    out = Variant::FromDate(r);
    return true;
}

bool DateValue(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    if (NullPassedThrough(a[0], out))
        return true;
    double d = 0;
    if (!ArgDate(in, a[0], d))
        return false;
    out = Variant::FromDate(d < 0 ? std::ceil(d) : std::floor(d));
    return true;
}

bool TimeValue(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    if (NullPassedThrough(a[0], out))
        return true;
    double d = 0;
    if (!ArgDate(in, a[0], d))
        return false;
    out = Variant::FromDate(std::fabs(d - std::trunc(d)));
    return true;
}

bool DayOptions(CInterpreter& in, std::span<Variant> a, size_t i, int32_t& firstDay, int32_t& firstWeek)
{
    if (!OptLong(in, a, i, rt::kSunday, firstDay) || !OptLong(in, a, i + 1, rt::kFirstJan1, firstWeek))
        return false;
    if (firstDay < 0 || firstDay > 7 || firstWeek < 0 || firstWeek > 3)
        return in.Fail(kErrInvalidCall);
    return true;
}

bool DateAdd(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    VString interval;
    double n = 0;
    double d = 0;
    if (!ArgString(in, a[0], interval) || !ArgDouble(in, a[1], n))
        return false;
    if (NullPassedThrough(a[2], out))
        return true;
    if (!DateArg(in, a[2], d))
        return false;
    double r = 0;
    if (!RtResult(in, rt::DateAdd(interval.View(), n, d, r)))
        return false;
    out = Variant::FromDate(r);
    return true;
}

bool DateDiff(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    VString interval;
    if (!ArgString(in, a[0], interval))
        return false;
    if (a[1].IsNull() || a[2].IsNull()) {
        out = Variant::Null();
        return true;
    }
    double d1 = 0, d2 = 0;
    if (!DateArg(in, a[1], d1) || !DateArg(in, a[2], d2))
        return false;
    int32_t firstDay = 0, firstWeek = 0;
    if (!DayOptions(in, a, 3, firstDay, firstWeek))
        return false;
    int32_t r = 0;
    if (!RtResult(in, rt::DateDiff(interval.View(), d1, d2, firstDay, firstWeek, r)))
        return false;
    out = Variant(r);
    return true;
}

bool DatePart(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    VString interval;
    if (!ArgString(in, a[0], interval))
        return false;
    if (NullPassedThrough(a[1], out))
        return true;
    double d = 0;
    if (!DateArg(in, a[1], d))
        return false;
    int32_t firstDay = 0, firstWeek = 0;
    if (!DayOptions(in, a, 2, firstDay, firstWeek))
        return false;
    int32_t r = 0;
    if (!RtResult(in, rt::DatePart(interval.View(), d, firstDay, firstWeek, r)))
        return false;
    out = Variant(r);
    return true;
}

bool Weekday(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    if (NullPassedThrough(a[0], out))
        return true;
    double d = 0;
    if (!DateArg(in, a[0], d))
        return false;
    int32_t firstDay = rt::kSunday;
    if (!OptLong(in, a, 1, rt::kSunday, firstDay))
        return false;
    int32_t r = 0;
    if (!RtResult(in, rt::Weekday(d, firstDay, r)))
        return false;
    out = Variant::FromInteger(static_cast<int16_t>(r));
    return true;
}

bool WeekdayName(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    int32_t wd = 0;
    bool abbreviate = false;
    int32_t firstDay = rt::kSunday;
    if (!ArgLong(in, a[0], wd))
        return false;
    if (!Missing(a, 1) && !ArgBool(in, a[1], abbreviate))
        return false;
    if (!OptLong(in, a, 2, rt::kSunday, firstDay))
        return false;
    std::u16string r;
    return RtString(in, rt::WeekdayName(wd, abbreviate, firstDay, r), r, out);
}

bool MonthName(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    int32_t m = 0;
    bool abbreviate = false;
    if (!ArgLong(in, a[0], m))
        return false;
    if (!Missing(a, 1) && !ArgBool(in, a[1], abbreviate))
        return false;
    std::u16string r;
    return RtString(in, rt::MonthName(m, abbreviate, r), r, out);
}

bool FormatDateTime(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    if (a[0].IsNull())
        return in.Fail(kErrTypeMismatch);
    double d = 0;
    if (!ArgDate(in, a[0], d))
        return false;
    int32_t format = 0;
    if (!OptLong(in, a, 1, 0, format))
        return false;
    std::u16string r;
    return RtString(in, rt::FormatDateTime(d, format, r), r, out);
}

} // namespace

extern const Builtin kDateBuiltins[] = {
    {u"Now", 0, 0, Now},
    {u"Date", 0, 0, DateFn},
    {u"Time", 0, 0, TimeFn},
    {u"Timer", 0, 0, Timer},
    {u"Year", 1, 1, Year},
    {u"Month", 1, 1, Month},
    {u"Day", 1, 1, Day},
    {u"Hour", 1, 1, Hour},
    {u"Minute", 1, 1, Minute},
    {u"Second", 1, 1, Second},
    {u"DateSerial", 3, 3, DateSerial},
    {u"TimeSerial", 3, 3, TimeSerial},
    {u"DateValue", 1, 1, DateValue},
    {u"TimeValue", 1, 1, TimeValue},
    {u"DateAdd", 3, 3, DateAdd},
    {u"DateDiff", 3, 5, DateDiff},
    {u"DatePart", 2, 4, DatePart},
    {u"Weekday", 1, 2, Weekday},
    {u"WeekdayName", 1, 3, WeekdayName},
    {u"MonthName", 1, 2, MonthName},
    {u"FormatDateTime", 1, 2, FormatDateTime},
};
extern const size_t kDateBuiltinCount = sizeof(kDateBuiltins) / sizeof(kDateBuiltins[0]);

} // namespace cva::vbs::engine

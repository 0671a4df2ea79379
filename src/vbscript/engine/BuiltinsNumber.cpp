#include "vbscript/engine/BuiltinHelpers.h"
#include "vbscript/runtime/DateTime.h"
#include "vbscript/runtime/Number.h"

#include <cmath>
#include <cstring>

namespace cva::vbs::engine {

namespace {

bool ValueOf(CInterpreter& in, const Variant& v, Variant& out)
{
    if (!v.IsObject()) {
        out = v;
        return true;
    }
    return Converted(in, GetValue(v, out));
}

template <class T>
Variant Boxed(T value)
{
    return Variant(value);
}

// CBool, CByte, CDbl, CInt, CLng, CSng: the argument converted and boxed as that subtype.
template <class T, Status (*Convert)(const Variant&, T&), Variant (*Box)(T) = Boxed<T>>
bool ConvertTo(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    T value{};
    if (!Converted(in, Convert(a[0], value)))
        return false;
    out = Box(value);
    return true;
}

bool CCur(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    int64_t c = 0;
    if (a[0].IsString()) {
        int code = rt::ParseCurrency(a[0].AsString().View(), c);
        if (code)
            return in.Fail(code);
    } else {
        if (!Converted(in, ToCurrency(a[0], c)))
            return false;
    }
    out = Variant::FromCurrency(c);
    return true;
}

bool CDate(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    double d = 0;
    if (!ArgDate(in, a[0], d))
        return false;
    if (!rt::IsValidDate(d))
        return in.Fail(kErrOverflow);
    out = Variant::FromDate(d);
    return true;
}

bool CStr(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    VString s;
    if (!ArgString(in, a[0], s))
        return false;
    out = Variant(s.IsNull() ? VString(u"") : s);
    return true;
}

bool HexOct(CInterpreter& in, std::span<Variant> a, Variant& out, bool hex)
{
    Variant v;
    if (!ValueOf(in, a[0], v))
        return false;
    if (NullPassedThrough(v, out))
        return true;
    int bits = 32;
    int32_t n = 0;
    if (v.Type() == VarType::Byte) {
        bits = 8;
        n = v.AsByte();
    } else if (v.Type() == VarType::Integer || v.Type() == VarType::Boolean || v.IsEmpty()) {
        bits = 16;
        n = v.IsEmpty() ? 0 : v.AsInteger();
    } else if (!ArgLong(in, v, n)) {
        return false;
    }
    out = StringResult(hex ? rt::Hex(n, bits) : rt::Oct(n, bits));
    return true;
}

bool Hex(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    return HexOct(in, a, out, true);
}

bool Oct(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    return HexOct(in, a, out, false);
}

// Int, Fix, Abs keep the numeric type of their argument.
bool Rounder(CInterpreter& in, std::span<Variant> a, Variant& out, double (*fn)(double), bool abs)
{
    Variant v;
    if (!ValueOf(in, a[0], v))
        return false;
    switch (v.Type()) {
    case VarType::Null: out = Variant::Null(); return true;
    case VarType::Empty: out = Variant::FromInteger(0); return true;
    case VarType::Boolean:
        out = Variant::FromInteger(static_cast<int16_t>(abs ? (v.AsBool() ? 1 : 0) : (v.AsBool() ? -1 : 0)));
        return true;
    case VarType::Byte: out = v; return true;
    case VarType::Integer:
        if (abs && v.AsInteger() < 0) {
            int32_t r = -static_cast<int32_t>(v.AsInteger());
            out = r > 32767 ? Variant(r) : Variant::FromInteger(static_cast<int16_t>(r));
        } else {
            out = v;
        }
        return true;
    case VarType::Long:
        if (abs && v.AsLong() < 0) {
            int64_t r = -static_cast<int64_t>(v.AsLong());
            out = r > INT32_MAX ? Variant(static_cast<double>(r)) : Variant(static_cast<int32_t>(r));
        } else {
            out = v;
        }
        return true;
    case VarType::Single: out = Variant::FromSingle(static_cast<float>(fn(v.AsSingle()))); return true;
    case VarType::Double: out = Variant(fn(v.AsDouble())); return true;
    case VarType::Currency: {
        int64_t c = v.AsCurrency();
        if (abs)
            out = Variant::FromCurrency(c < 0 ? -c : c);
        else
            out = Variant::FromCurrency(static_cast<int64_t>(fn(static_cast<double>(c) / 10000.0) * 10000.0));
        return true;
    }
    case VarType::Date: out = abs ? Variant(fn(v.AsDate())) : Variant::FromDate(fn(v.AsDate())); return true;
    default: {
        double d = 0;
        if (!ArgDouble(in, v, d))
            return false;
        out = Variant(fn(d));
        return true;
    }
    }
}

double AbsD(double d)
{
    return std::fabs(d);
}

bool Int(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    return Rounder(in, a, out, rt::Int, false);
}

bool Fix(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    return Rounder(in, a, out, rt::Fix, false);
}

bool Abs(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    return Rounder(in, a, out, AbsD, true);
}

bool Round(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    Variant v;
    if (!ValueOf(in, a[0], v))
        return false;
    if (NullPassedThrough(v, out))
        return true;
    int32_t digits = 0;
    if (!OptLong(in, a, 1, 0, digits))
        return false;
    if (digits < 0)
        return in.Fail(kErrInvalidCall);
    switch (v.Type()) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte:
        out = v;
        return true;
    case VarType::Empty:
        out = Variant::FromInteger(0);
        return true;
    case VarType::Boolean:
        out = Variant::FromInteger(v.AsBool() ? -1 : 0);
        return true;
    default: break;
    }
    double d = 0;
    if (!ArgDouble(in, v, d))
        return false;
    double r = 0;
    if (!RtResult(in, rt::Round(d, digits, r)))
        return false;
    if (v.Type() == VarType::Single)
        out = Variant::FromSingle(static_cast<float>(r));
    else if (v.Type() == VarType::Currency) {
        int64_t c = 0;
        if (!RtResult(in, rt::DoubleToCurrency(r, c)))
            return false;
        out = Variant::FromCurrency(c);
    } else
        out = Variant(r);
    return true;
}

bool MathFn(CInterpreter& in, std::span<Variant> a, Variant& out, int which)
{
    Variant v;
    if (!ValueOf(in, a[0], v))
        return false;
    if (NullPassedThrough(v, out))
        return true;
    double d = 0;
    if (!ArgDouble(in, v, d))
        return false;
    double r = 0;
    switch (which) {
    case 0: r = std::atan(d); break;
    case 1: r = std::cos(d); break;
    case 2: r = std::sin(d); break;
    case 3: r = std::tan(d); break;
    case 4:
        r = std::exp(d);
        if (!std::isfinite(r))
            return in.Fail(kErrOverflow);
        break;
    case 5:
        if (d <= 0)
            return in.Fail(kErrInvalidCall);
        r = std::log(d);
        break;
    case 6:
        if (d < 0)
            return in.Fail(kErrInvalidCall);
        r = std::sqrt(d);
        break;
    default: break;
    }
    out = Variant(r);
    return true;
}

bool Atn(CInterpreter& in, std::span<Variant> a, Variant& out) { return MathFn(in, a, out, 0); }
bool Cos(CInterpreter& in, std::span<Variant> a, Variant& out) { return MathFn(in, a, out, 1); }
bool Sin(CInterpreter& in, std::span<Variant> a, Variant& out) { return MathFn(in, a, out, 2); }
bool Tan(CInterpreter& in, std::span<Variant> a, Variant& out) { return MathFn(in, a, out, 3); }
bool Exp(CInterpreter& in, std::span<Variant> a, Variant& out) { return MathFn(in, a, out, 4); }
bool Log(CInterpreter& in, std::span<Variant> a, Variant& out) { return MathFn(in, a, out, 5); }
bool Sqr(CInterpreter& in, std::span<Variant> a, Variant& out) { return MathFn(in, a, out, 6); }

bool Sgn(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    Variant v;
    if (!ValueOf(in, a[0], v))
        return false;
    if (NullPassedThrough(v, out))
        return true;
    double d = 0;
    if (!ArgDouble(in, v, d))
        return false;
    out = Variant::FromInteger(d > 0 ? 1 : d < 0 ? -1 : 0);
    return true;
}

bool Rnd(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    double n = 1;
    if (!Missing(a, 0) && !ArgDouble(in, a[0], n))
        return false;
    if (n == 0) {
        out = Variant::FromSingle(in.m_lastRnd);
        return true;
    }
    if (n < 0) {
        float f = static_cast<float>(n);
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        in.m_rndSeed = (bits + (bits >> 24)) & 0xFFFFFF;
    }
    in.m_rndSeed = (in.m_rndSeed * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
    in.m_lastRnd = static_cast<float>(in.m_rndSeed) / 16777216.0f;
    out = Variant::FromSingle(in.m_lastRnd);
    return true;
}

bool IsNumericFn(CInterpreter&, std::span<Variant> a, Variant& out)
{
    out = Variant(a[0].Type() != VarType::Date && IsNumeric(a[0]));
    return true;
}

// IsEmpty, IsNull, IsObject, IsArray: the subtype of the argument as it is, never converted.
template <bool (Variant::*Test)() const>
bool SubtypeTest(CInterpreter&, std::span<Variant> a, Variant& out)
{
    out = Variant((a[0].*Test)());
    return true;
}

bool IsDateFn(CInterpreter&, std::span<Variant> a, Variant& out)
{
    bool r = false;
    if (a[0].Type() == VarType::Date)
        r = true;
    else if (a[0].IsString())
        r = rt::ParseDate(a[0].AsString().View()).has_value();
    out = Variant(r);
    return true;
}

bool TypeNameFn(CInterpreter&, std::span<Variant> a, Variant& out)
{
    out = Variant(VString(TypeName(a[0])));
    return true;
}

bool VarTypeFn(CInterpreter&, std::span<Variant> a, Variant& out)
{
    out = Variant::FromInteger(static_cast<int16_t>(a[0].VarTypeNumber()));
    return true;
}

bool Tristate(CInterpreter& in, std::span<Variant> a, size_t i, int& out)
{
    int32_t v = rt::kUseDefault;
    if (!OptLong(in, a, i, rt::kUseDefault, v))
        return false;
    out = v;
    return true;
}

bool FormatFn(CInterpreter& in, std::span<Variant> a, Variant& out, int which)
{
    Variant v;
    if (!ValueOf(in, a[0], v))
        return false;
    double d = 0;
    if (!ArgDouble(in, v, d))
        return false;
    int32_t digits = -1;
    int lead = 0;
    int parens = 0;
    int group = 0;
    if (!OptLong(in, a, 1, -1, digits) || !Tristate(in, a, 2, lead) || !Tristate(in, a, 3, parens) ||
        !Tristate(in, a, 4, group))
        return false;
    std::u16string r;
    int code = which == 0   ? rt::FormatNumber(d, digits, lead, parens, group, r)
               : which == 1 ? rt::FormatCurrency(d, digits, lead, parens, group, r)
                            : rt::FormatPercent(d, digits, lead, parens, group, r);
    return RtString(in, code, r, out);
}

bool FormatNumber(CInterpreter& in, std::span<Variant> a, Variant& out) { return FormatFn(in, a, out, 0); }
bool FormatCurrency(CInterpreter& in, std::span<Variant> a, Variant& out) { return FormatFn(in, a, out, 1); }
bool FormatPercent(CInterpreter& in, std::span<Variant> a, Variant& out) { return FormatFn(in, a, out, 2); }

} // namespace

extern const Builtin kNumberBuiltins[] = {
    {u"CBool", 1, 1, ConvertTo<bool, ToBool>},
    {u"CByte", 1, 1, ConvertTo<uint8_t, ToByte, Variant::FromByte>},
    {u"CCur", 1, 1, CCur},
    {u"CDate", 1, 1, CDate},
    {u"CDbl", 1, 1, ConvertTo<double, ToDouble>},
    {u"CInt", 1, 1, ConvertTo<int16_t, ToInteger, Variant::FromInteger>},
    {u"CLng", 1, 1, ConvertTo<int32_t, ToLong>},
    {u"CSng", 1, 1, ConvertTo<float, ToSingle, Variant::FromSingle>},
    {u"CStr", 1, 1, CStr},
    {u"Hex", 1, 1, Hex},
    {u"Oct", 1, 1, Oct},
    {u"Int", 1, 1, Int},
    {u"Fix", 1, 1, Fix},
    {u"Abs", 1, 1, Abs},
    {u"Round", 1, 2, Round},
    {u"Atn", 1, 1, Atn},
    {u"Cos", 1, 1, Cos},
    {u"Sin", 1, 1, Sin},
    {u"Tan", 1, 1, Tan},
    {u"Exp", 1, 1, Exp},
    {u"Log", 1, 1, Log},
    {u"Sqr", 1, 1, Sqr},
    {u"Sgn", 1, 1, Sgn},
    {u"Rnd", 0, 1, Rnd},
    {u"IsNumeric", 1, 1, IsNumericFn},
    {u"IsEmpty", 1, 1, SubtypeTest<&Variant::IsEmpty>},
    {u"IsNull", 1, 1, SubtypeTest<&Variant::IsNull>},
    {u"IsObject", 1, 1, SubtypeTest<&Variant::IsObject>},
    {u"IsArray", 1, 1, SubtypeTest<&Variant::IsArray>},
    {u"IsDate", 1, 1, IsDateFn},
    {u"TypeName", 1, 1, TypeNameFn},
    {u"VarType", 1, 1, VarTypeFn},
    {u"FormatNumber", 1, 5, FormatNumber},
    {u"FormatCurrency", 1, 5, FormatCurrency},
    {u"FormatPercent", 1, 5, FormatPercent},
};
extern const size_t kNumberBuiltinCount = sizeof(kNumberBuiltins) / sizeof(kNumberBuiltins[0]);

} // namespace cva::vbs::engine

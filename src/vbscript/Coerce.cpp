#include "vbscript/Coerce.h"

#include "platform/text/Unicode.h"
#include "vbscript/NumberText.h"
#include "vbscript/SafeArray.h"

#include <cmath>

namespace cva::vbs {

namespace {

Status ReadObject(const Variant& v, Variant& out)
{
    IObject* o = v.AsObject();
    if (!o)
        return Status(kErrObjectNotSet);
    Status st = o->Invoke(kDispIdValue, kMethod | kPropertyGet, {}, out);
    if (st.Failed())
        return st.Number() == kErrNoSuchMember ? Status(kErrNoSuchMember) : st;
    if (out.IsObject())
        return Status(kErrTypeMismatch);
    return Status::Ok();
}

// Converting an object converts its default value; an object that has none does
// not convert (type mismatch), unlike one whose default value fails to read.
template <class T>
Status ConvertDefaultValue(const Variant& v, T& out, Status (*convert)(const Variant&, T&))
{
    Variant val;
    Status st = ReadObject(v, val);
    if (st.Failed())
        return st.Number() == kErrNoSuchMember ? Status(kErrTypeMismatch) : st;
    return convert(val, out);
}

Status RoundToRange(double d, double lo, double hi, int64_t& out)
{
    if (std::isnan(d))
        return Status(kErrOverflow);
    double r = std::nearbyint(d);
    if (r < lo || r > hi)
        return Status(kErrOverflow);
    out = static_cast<int64_t>(r);
    return Status::Ok();
}

Status ToInt64InRange(const Variant& v, double lo, double hi, int64_t& out)
{
    switch (v.Type()) {
    case VarType::Empty: out = 0; return Status::Ok();
    case VarType::Null: return Status(kErrInvalidUseOfNull);
    case VarType::Boolean: out = v.AsBool() ? -1 : 0; break;
    case VarType::Byte: out = v.AsByte(); break;
    case VarType::Integer: out = v.AsInteger(); break;
    case VarType::Long: out = v.AsLong(); break;
    case VarType::Currency: {
        double d = static_cast<double>(v.AsCurrency()) / 10000.0;
        return RoundToRange(d, lo, hi, out);
    }
    default: {
        double d = 0;
        Status st = ToDouble(v, d);
        if (st.Failed())
            return st;
        return RoundToRange(d, lo, hi, out);
    }
    }
    if (static_cast<double>(out) < lo || static_cast<double>(out) > hi)
        return Status(kErrOverflow);
    return Status::Ok();
}

} // namespace

Status ToString(const Variant& v, VString& out)
{
    switch (v.Type()) {
    case VarType::Empty: out = VString(u""); return Status::Ok();
    case VarType::Null: return Status(kErrInvalidUseOfNull);
    case VarType::String: out = v.AsString(); return Status::Ok();
    case VarType::Boolean: out = VString(v.AsBool() ? u"True" : u"False"); return Status::Ok();
    case VarType::Byte: out = VString::FromAscii(std::to_string(v.AsByte())); return Status::Ok();
    case VarType::Integer: out = VString::FromAscii(std::to_string(v.AsInteger())); return Status::Ok();
    case VarType::Long: out = VString::FromAscii(std::to_string(v.AsLong())); return Status::Ok();
    case VarType::Single: out = VString(FormatSingle(v.AsSingle())); return Status::Ok();
    case VarType::Double: out = VString(FormatDouble(v.AsDouble())); return Status::Ok();
    case VarType::Currency: out = VString(FormatCurrencyValue(v.AsCurrency())); return Status::Ok();
    case VarType::Date: out = VString(FormatDateValue(v.AsDate())); return Status::Ok();
    case VarType::Error: return Status(kErrTypeMismatch);
    case VarType::Object: return ConvertDefaultValue(v, out, ToString);
    default: return Status(kErrTypeMismatch);
    }
}

Status ToParamString(const Variant& v, VString& out)
{
    switch (v.Type()) {
    case VarType::Null: return Status(kErrTypeMismatch);
    case VarType::Boolean: out = VString(v.AsBool() ? u"-1" : u"0"); return Status::Ok();
    case VarType::Object: return ConvertDefaultValue(v, out, ToParamString);
    default: return ToString(v, out);
    }
}

Status ToDouble(const Variant& v, double& out)
{
    switch (v.Type()) {
    case VarType::Empty: out = 0; return Status::Ok();
    case VarType::Null: return Status(kErrInvalidUseOfNull);
    case VarType::Boolean: out = v.AsBool() ? -1 : 0; return Status::Ok();
    case VarType::Byte: out = v.AsByte(); return Status::Ok();
    case VarType::Integer: out = v.AsInteger(); return Status::Ok();
    case VarType::Long: out = v.AsLong(); return Status::Ok();
    case VarType::Single: out = v.AsSingle(); return Status::Ok();
    case VarType::Double: out = v.AsDouble(); return Status::Ok();
    case VarType::Date: out = v.AsDate(); return Status::Ok();
    case VarType::Currency: out = static_cast<double>(v.AsCurrency()) / 10000.0; return Status::Ok();
    case VarType::String:
        // Only OLE's number parsing applies: a date text like "1/2" or "1 2" is no number.
        if (ParseNumber(v.AsString().View(), out))
            return Status::Ok();
        return Status(kErrTypeMismatch);
    case VarType::Object: return ConvertDefaultValue(v, out, ToDouble);
    default: return Status(kErrTypeMismatch);
    }
}

Status ToLong(const Variant& v, int32_t& out)
{
    int64_t r = 0;
    Status st = ToInt64InRange(v, -2147483648.0, 2147483647.0, r);
    if (st.IsOk())
        out = static_cast<int32_t>(r);
    return st;
}

Status ToInteger(const Variant& v, int16_t& out)
{
    int64_t r = 0;
    Status st = ToInt64InRange(v, -32768.0, 32767.0, r);
    if (st.IsOk())
        out = static_cast<int16_t>(r);
    return st;
}

Status ToByte(const Variant& v, uint8_t& out)
{
    if (v.Type() == VarType::Boolean) {
        // True is all bits set, which a byte holds as 255.
        out = v.AsBool() ? 255 : 0;
        return Status::Ok();
    }
    int64_t r = 0;
    Status st = ToInt64InRange(v, 0.0, 255.0, r);
    if (st.IsOk())
        out = static_cast<uint8_t>(r);
    return st;
}

Status ToSingle(const Variant& v, float& out)
{
    double d = 0;
    Status st = ToDouble(v, d);
    if (st.Failed())
        return st;
    if (std::isfinite(d) && std::fabs(d) > 3.402823466e38)
        return Status(kErrOverflow);
    out = static_cast<float>(d);
    return Status::Ok();
}

Status ToCurrency(const Variant& v, int64_t& out)
{
    if (v.Type() == VarType::Currency) {
        out = v.AsCurrency();
        return Status::Ok();
    }
    double d = 0;
    Status st = ToDouble(v, d);
    if (st.Failed())
        return st;
    double scaled = std::nearbyint(d * 10000.0);
    if (!(scaled >= -9.2233720368547758e18 && scaled < 9.2233720368547758e18))
        return Status(kErrOverflow);
    out = static_cast<int64_t>(scaled);
    return Status::Ok();
}

Status ToBool(const Variant& v, bool& out)
{
    switch (v.Type()) {
    case VarType::Empty: out = false; return Status::Ok();
    case VarType::Null: return Status(kErrInvalidUseOfNull);
    case VarType::Boolean: out = v.AsBool(); return Status::Ok();
    case VarType::String: {
        std::u16string_view s = v.AsString().View();
        if (text::EqualsNoCase(s, u"true")) {
            out = true;
            return Status::Ok();
        }
        if (text::EqualsNoCase(s, u"false")) {
            out = false;
            return Status::Ok();
        }
        // The locale-independent spellings, matched exactly as OLE does.
        if (s == u"#TRUE#" || s == u"#FALSE#") {
            out = s == u"#TRUE#";
            return Status::Ok();
        }
        double d = 0;
        if (!ParseNumber(s, d))
            return Status(kErrTypeMismatch);
        out = d != 0;
        return Status::Ok();
    }
    case VarType::Object: return ConvertDefaultValue(v, out, ToBool);
    case VarType::Error:
    case VarType::Array: return Status(kErrTypeMismatch);
    default: {
        double d = 0;
        Status st = ToDouble(v, d);
        if (st.Failed())
            return st;
        out = d != 0;
        return Status::Ok();
    }
    }
}

Status ToDate(const Variant& v, double& out)
{
    switch (v.Type()) {
    case VarType::Date: out = v.AsDate(); return Status::Ok();
    case VarType::String: {
        if (ParseDateValue(v.AsString().View(), out))
            return Status::Ok();
        if (ParseNumber(v.AsString().View(), out))
            return Status::Ok();
        return Status(kErrTypeMismatch);
    }
    default: {
        Status st = ToDouble(v, out);
        if (st.IsOk() && !(out >= -657434.0 && out < 2958466.0))
            return Status(kErrOverflow);
        return st;
    }
    }
}

Status GetValue(const Variant& v, Variant& out)
{
    if (v.IsObject())
        return ReadObject(v, out);
    out = v;
    return Status::Ok();
}

Status Compare(const Variant& a, const Variant& b, CompareMode mode, CompareResult& out)
{
    if (a.IsObject() || b.IsObject()) {
        Variant va;
        Variant vb;
        Status st = GetValue(a, va);
        if (st.Failed())
            return st;
        st = GetValue(b, vb);
        if (st.Failed())
            return st;
        return Compare(va, vb, mode, out);
    }
    if (a.IsNull() || b.IsNull()) {
        out = CompareResult::Null;
        return Status::Ok();
    }
    if (a.IsArray() || b.IsArray() || a.Type() == VarType::Error || b.Type() == VarType::Error)
        return Status(kErrTypeMismatch);
    bool sa = a.IsString();
    bool sb = b.IsString();
    if (sa || sb) {
        if (sa && sb) {
            int c = mode == CompareMode::Text
                        ? text::CompareNoCase(a.AsString().View(), b.AsString().View())
                        : a.AsString().View().compare(b.AsString().View());
            out = c < 0 ? CompareResult::Less : c > 0 ? CompareResult::Greater : CompareResult::Equal;
            return Status::Ok();
        }
        const Variant& other = sa ? b : a;
        if (other.IsEmpty()) {
            bool strEmpty = (sa ? a : b).AsString().Empty();
            int c = strEmpty ? 0 : (sa ? 1 : -1);
            out = c < 0 ? CompareResult::Less : c > 0 ? CompareResult::Greater : CompareResult::Equal;
            return Status::Ok();
        }
        // A number is always less than a string.
        out = sa ? CompareResult::Greater : CompareResult::Less;
        return Status::Ok();
    }
    if (a.Type() == VarType::Currency && b.Type() == VarType::Currency) {
        int64_t x = a.AsCurrency();
        int64_t y = b.AsCurrency();
        out = x < y ? CompareResult::Less : x > y ? CompareResult::Greater : CompareResult::Equal;
        return Status::Ok();
    }
    double x = 0;
    double y = 0;
    (void)ToDouble(a, x);
    (void)ToDouble(b, y);
    if (a.Type() == VarType::Single || b.Type() == VarType::Single) {
        if ((a.Type() == VarType::Single || a.Type() != VarType::Double) &&
            (b.Type() == VarType::Single || b.Type() != VarType::Double)) {
            x = static_cast<float>(x);
            y = static_cast<float>(y);
        }
    }
    out = x < y ? CompareResult::Less : x > y ? CompareResult::Greater : CompareResult::Equal;
    return Status::Ok();
}

std::u16string TypeName(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Empty: return u"Empty";
    case VarType::Null: return u"Null";
    case VarType::Integer: return u"Integer";
    case VarType::Long: return u"Long";
    case VarType::Single: return u"Single";
    case VarType::Double: return u"Double";
    case VarType::Currency: return u"Currency";
    case VarType::Date: return u"Date";
    case VarType::String: return u"String";
    case VarType::Boolean: return u"Boolean";
    case VarType::Byte: return u"Byte";
    case VarType::Error: return u"Error";
    case VarType::Decimal: return u"Decimal";
    case VarType::Object: return v.AsObject() ? v.AsObject()->TypeName() : u"Nothing";
    case VarType::Array: {
        VarType et = v.AsArray()->ElementType();
        if (et == VarType::Variant)
            return u"Variant()";
        return TypeName(et == VarType::String ? Variant(u"") : Variant::FromByte(0)) + u"()";
    }
    default: return u"Unknown";
    }
}

bool IsNumeric(const Variant& v)
{
    switch (v.Type()) {
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Decimal: return true;
    case VarType::String: {
        double d = 0;
        return ParseNumber(v.AsString().View(), d);
    }
    case VarType::Object: {
        Variant val;
        if (GetValue(v, val).Failed())
            return false;
        return !val.IsObject() && IsNumeric(val);
    }
    default: return false;
    }
}

} // namespace cva::vbs

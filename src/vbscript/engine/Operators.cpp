#include "vbscript/engine/Operators.h"

#include <cmath>
#include <limits>

namespace cva::vbs::engine {

namespace {

// The operand kinds in OLE's order for arithmetic results (VarAdd, VarMul, ...): the
// result takes the higher kind. Boolean counts as Integer and a string as Double;
// Empty is below Byte, so Empty + Byte stays a Byte.
enum Rank : int { kEmpty = 0, kByte, kInt, kLong, kSingle, kDouble, kCurrency, kDate };

bool RankOf(const Variant& v, int& rank)
{
    switch (v.Type()) {
    case VarType::Empty: rank = kEmpty; return true;
    case VarType::Boolean:
    case VarType::Integer: rank = kInt; return true;
    case VarType::Byte: rank = kByte; return true;
    case VarType::Long: rank = kLong; return true;
    case VarType::Single: rank = kSingle; return true;
    case VarType::Double:
    case VarType::String: rank = kDouble; return true;
    case VarType::Currency: rank = kCurrency; return true;
    case VarType::Date: rank = kDate; return true;
    default: return false;
    }
}

// The kind of a sum, difference or product. Multiplication ranks Currency below Single
// and Double and makes no dates; a Single with a Long needs a Double to be exact.
int ResultRank(BinOp op, int ra, int rb)
{
    int hi = ra > rb ? ra : rb;
    int lo = ra > rb ? rb : ra;
    if (op == BinOp::Mul) {
        if (hi == kDate || (hi == kCurrency && (lo == kSingle || lo == kDouble)))
            return kDouble;
    }
    if (hi == kSingle && lo == kLong)
        return kDouble;
    return hi == kEmpty ? kInt : hi;
}

bool ToInt64Exact(const Variant& v, int64_t& out)
{
    switch (v.Type()) {
    case VarType::Empty: out = 0; return true;
    case VarType::Boolean: out = v.AsBool() ? -1 : 0; return true;
    case VarType::Byte: out = v.AsByte(); return true;
    case VarType::Integer: out = v.AsInteger(); return true;
    case VarType::Long: out = v.AsLong(); return true;
    default: return false;
    }
}

Variant IntegerResult(int64_t r, int rank)
{
    if (rank == kByte && r >= 0 && r <= 255)
        return Variant::FromByte(static_cast<uint8_t>(r));
    if (rank <= kInt && r >= -32768 && r <= 32767)
        return Variant::FromInteger(static_cast<int16_t>(r));
    if (r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max())
        return Variant(static_cast<int32_t>(r));
    return Variant(static_cast<double>(r));
}

// Operators work on plain values: an object operand stands for its default value,
// which is fetched into holder.
inline Status Operand(const Variant& v, Variant& holder, const Variant*& value)
{
    value = &v;
    if (!v.IsObject())
        return Status::Ok();
    Status st = GetValue(v, holder);
    if (st.IsOk())
        value = &holder;
    return st;
}

Status Values(const Variant& a, const Variant& b, Variant& va, Variant& vb, const Variant*& pa,
              const Variant*& pb)
{
    if (Status st = Operand(a, va, pa); st.Failed())
        return st;
    if (Status st = Operand(b, vb, pb); st.Failed())
        return st;
    if (pa->IsArray() || pb->IsArray() || pa->Type() == VarType::Error || pb->Type() == VarType::Error)
        return Status(kErrTypeMismatch);
    return Status::Ok();
}

Status Arith(BinOp op, const Variant& a, const Variant& b, Variant& out)
{
    int ra = 0;
    int rb = 0;
    if (!RankOf(a, ra) || !RankOf(b, rb))
        return Status(kErrTypeMismatch);
    int rank = ResultRank(op, ra, rb);
    if (rank <= kLong) {
        int64_t x = 0;
        int64_t y = 0;
        ToInt64Exact(a, x);
        ToInt64Exact(b, y);
        int64_t r = op == BinOp::Add ? x + y : op == BinOp::Sub ? x - y : x * y;
        out = IntegerResult(r, rank);
        return Status::Ok();
    }
    if (rank == kCurrency) {
        int64_t x = 0;
        int64_t y = 0;
        Status st = ToCurrency(a, x);
        if (st.Failed())
            return st;
        st = ToCurrency(b, y);
        if (st.Failed())
            return st;
        long double r;
        if (op == BinOp::Add)
            r = static_cast<long double>(x) + y;
        else if (op == BinOp::Sub)
            r = static_cast<long double>(x) - y;
        else
            r = std::nearbyint(static_cast<long double>(x) * y / 10000.0L);
        if (!(r >= -9.2233720368547758e18L && r < 9.2233720368547758e18L))
            return Status(kErrOverflow);
        out = Variant::FromCurrency(static_cast<int64_t>(r));
        return Status::Ok();
    }
    double x = 0;
    double y = 0;
    Status st = ToDouble(a, x);
    if (st.Failed())
        return st;
    st = ToDouble(b, y);
    if (st.Failed())
        return st;
    double r = op == BinOp::Add ? x + y : op == BinOp::Sub ? x - y : x * y;
    if (rank == kDate) {
        if (op == BinOp::Sub && ra == kDate && rb == kDate) {
            out = Variant(r);
            return Status::Ok();
        }
        if (!(r >= -657434.0 && r < 2958466.0))
            return Status(kErrOverflow);
        out = Variant::FromDate(r);
        return Status::Ok();
    }
    if (!std::isfinite(r))
        return Status(kErrOverflow);
    if (rank == kSingle && std::fabs(r) <= 3.402823466e38)
        out = Variant::FromSingle(static_cast<float>(r));
    else
        out = Variant(r);
    return Status::Ok();
}

Status IntegerOperands(const Variant& a, const Variant& b, int64_t& x, int64_t& y, int& rank)
{
    int ra = 0;
    int rb = 0;
    if (!RankOf(a, ra) || !RankOf(b, rb))
        return Status(kErrTypeMismatch);
    rank = (ra <= kInt && rb <= kInt) ? (ra == kByte && rb == kByte ? kByte : kInt) : kLong;
    int32_t lx = 0;
    int32_t ly = 0;
    Status st = ToLong(a, lx);
    if (st.Failed())
        return st;
    st = ToLong(b, ly);
    if (st.Failed())
        return st;
    x = lx;
    y = ly;
    return Status::Ok();
}

Status Logical(BinOp op, const Variant& a, const Variant& b, Variant& out)
{
    bool na = a.IsNull();
    bool nb = b.IsNull();
    if (na || nb) {
        const Variant& other = na ? b : a;
        if (na && nb) {
            out = Variant::Null();
            return Status::Ok();
        }
        int32_t v = 0;
        if (other.Type() == VarType::Boolean)
            v = other.AsBool() ? -1 : 0;
        else {
            Status st = ToLong(other, v);
            if (st.Failed())
                return st;
        }
        switch (op) {
        case BinOp::And:
            if (v == 0) {
                out = other.Type() == VarType::Boolean ? Variant(false) : Variant::FromInteger(0);
                return Status::Ok();
            }
            break;
        case BinOp::Or:
            if (other.Type() == VarType::Boolean && v) {
                out = Variant(true);
                return Status::Ok();
            }
            break;
        case BinOp::Imp:
            if (na && other.Type() == VarType::Boolean && v) {
                out = Variant(true);
                return Status::Ok();
            }
            if (nb && other.Type() == VarType::Boolean && !v) {
                out = Variant(true);
                return Status::Ok();
            }
            break;
        default: break;
        }
        out = Variant::Null();
        return Status::Ok();
    }
    bool bothBool = a.Type() == VarType::Boolean && b.Type() == VarType::Boolean;
    int64_t x = 0;
    int64_t y = 0;
    int rank = kLong;
    if (bothBool) {
        x = a.AsBool() ? -1 : 0;
        y = b.AsBool() ? -1 : 0;
    } else {
        Status st = IntegerOperands(a, b, x, y, rank);
        if (st.Failed())
            return st;
    }
    int64_t r = 0;
    switch (op) {
    case BinOp::And: r = x & y; break;
    case BinOp::Or: r = x | y; break;
    case BinOp::Xor: r = x ^ y; break;
    case BinOp::Eqv: r = ~(x ^ y); break;
    case BinOp::Imp: r = ~x | y; break;
    default: break;
    }
    if (bothBool) {
        out = Variant(r != 0);
        return Status::Ok();
    }
    if (rank == kByte)
        out = Variant::FromByte(static_cast<uint8_t>(r));
    else if (rank == kInt)
        out = Variant::FromInteger(static_cast<int16_t>(r));
    else
        out = Variant(static_cast<int32_t>(r));
    return Status::Ok();
}

} // namespace

Status ApplyConcat(const Variant& a, const Variant& b, Variant& out)
{
    if (a.IsNull() && b.IsNull()) {
        out = Variant::Null();
        return Status::Ok();
    }
    VString sa;
    VString sb;
    if (!a.IsNull()) {
        Status st = ToString(a, sa);
        if (st.Failed())
            return st;
    }
    if (!b.IsNull()) {
        Status st = ToString(b, sb);
        if (st.Failed())
            return st;
    }
    if (sb.Empty()) {
        out = Variant(sa.IsNull() ? VString(u"") : sa);
        return Status::Ok();
    }
    if (!sa.Append(sb))
        return Status(kErrOutOfMemory);
    out = Variant(std::move(sa));
    return Status::Ok();
}

Status ApplyBinary(BinOp op, const Variant& a0, const Variant& b0, Variant& out)
{
    if (op == BinOp::Is) {
        if (!a0.IsObject() || !b0.IsObject())
            return Status(kErrObjectRequired);
        out = Variant(a0.AsObject() == b0.AsObject());
        return Status::Ok();
    }
    Variant va;
    Variant vb;
    const Variant* pa = nullptr;
    const Variant* pb = nullptr;
    Status st = Values(a0, b0, va, vb, pa, pb);
    if (st.Failed())
        return st;
    const Variant& a = *pa;
    const Variant& b = *pb;
    switch (op) {
    case BinOp::Concat: return ApplyConcat(a, b, out);
    case BinOp::Eq:
    case BinOp::Ne:
    case BinOp::Lt:
    case BinOp::Gt:
    case BinOp::Le:
    case BinOp::Ge: {
        CompareResult c;
        st = Compare(a, b, CompareMode::Binary, c);
        if (st.Failed())
            return st;
        if (c == CompareResult::Null) {
            out = Variant::Null();
            return Status::Ok();
        }
        bool r = false;
        switch (op) {
        case BinOp::Eq: r = c == CompareResult::Equal; break;
        case BinOp::Ne: r = c != CompareResult::Equal; break;
        case BinOp::Lt: r = c == CompareResult::Less; break;
        case BinOp::Gt: r = c == CompareResult::Greater; break;
        case BinOp::Le: r = c != CompareResult::Greater; break;
        default: r = c != CompareResult::Less; break;
        }
        out = Variant(r);
        return Status::Ok();
    }
    case BinOp::And:
    case BinOp::Or:
    case BinOp::Xor:
    case BinOp::Eqv:
    case BinOp::Imp: return Logical(op, a, b, out);
    default: break;
    }
    if (a.IsNull() || b.IsNull()) {
        out = Variant::Null();
        return Status::Ok();
    }
    switch (op) {
    case BinOp::Add:
        if ((a.IsString() && (b.IsString() || b.IsEmpty())) || (b.IsString() && a.IsEmpty()))
            return ApplyConcat(a, b, out);
        return Arith(op, a, b, out);
    case BinOp::Sub:
    case BinOp::Mul: return Arith(op, a, b, out);
    case BinOp::Div: {
        int ra = 0;
        int rb = 0;
        if (!RankOf(a, ra) || !RankOf(b, rb))
            return Status(kErrTypeMismatch);
        double x = 0;
        double y = 0;
        st = ToDouble(a, x);
        if (st.Failed())
            return st;
        st = ToDouble(b, y);
        if (st.Failed())
            return st;
        if (y == 0)
            return Status(x == 0 ? kErrOverflow : kErrDivByZero);
        double r = x / y;
        if (!std::isfinite(r))
            return Status(kErrOverflow);
        if ((ra == kSingle || rb == kSingle) && ra != kDouble && rb != kDouble && ra != kLong &&
            rb != kLong && ra != kCurrency && rb != kCurrency && ra != kDate && rb != kDate)
            out = Variant::FromSingle(static_cast<float>(r));
        else
            out = Variant(r);
        return Status::Ok();
    }
    case BinOp::IntDiv:
    case BinOp::Mod: {
        int64_t x = 0;
        int64_t y = 0;
        int rank = kLong;
        st = IntegerOperands(a, b, x, y, rank);
        if (st.Failed())
            return st;
        if (y == 0)
            return Status(kErrDivByZero);
        if (op == BinOp::Mod && a.IsEmpty())
            rank = kLong; // VarMod's rule: an Empty dividend is read as a Long
        int64_t r = op == BinOp::IntDiv ? x / y : x % y;
        out = IntegerResult(r, rank);
        return Status::Ok();
    }
    case BinOp::Pow: {
        double x = 0;
        double y = 0;
        st = ToDouble(a, x);
        if (st.Failed())
            return st;
        st = ToDouble(b, y);
        if (st.Failed())
            return st;
        if (x == 0 && y < 0)
            return Status(kErrInvalidCall);
        if (x < 0 && y != std::trunc(y))
            return Status(kErrInvalidCall);
        double r = std::pow(x, y);
        if (!std::isfinite(r))
            return Status(kErrOverflow);
        out = Variant(r);
        return Status::Ok();
    }
    default: return Status(kErrTypeMismatch);
    }
}

Status ApplyNegate(const Variant& a0, Variant& out)
{
    Variant tmp;
    const Variant* pa = nullptr;
    if (Status st = Operand(a0, tmp, pa); st.Failed())
        return st;
    const Variant& a = *pa;
    switch (a.Type()) {
    case VarType::Null: out = Variant::Null(); return Status::Ok();
    case VarType::Empty: out = Variant::FromInteger(0); return Status::Ok();
    case VarType::Boolean: out = Variant::FromInteger(a.AsBool() ? 1 : 0); return Status::Ok();
    case VarType::Byte: out = Variant::FromInteger(static_cast<int16_t>(-a.AsByte())); return Status::Ok();
    case VarType::Integer: out = IntegerResult(-static_cast<int64_t>(a.AsInteger()), kInt); return Status::Ok();
    case VarType::Long: out = IntegerResult(-static_cast<int64_t>(a.AsLong()), kLong); return Status::Ok();
    case VarType::Single: out = Variant::FromSingle(-a.AsSingle()); return Status::Ok();
    case VarType::Double: out = Variant(-a.AsDouble()); return Status::Ok();
    case VarType::Currency:
        if (a.AsCurrency() == std::numeric_limits<int64_t>::min())
            return Status(kErrOverflow);
        out = Variant::FromCurrency(-a.AsCurrency());
        return Status::Ok();
    case VarType::Date: out = Variant::FromDate(-a.AsDate()); return Status::Ok();
    case VarType::String: {
        double d = 0;
        Status st = ToDouble(a, d);
        if (st.Failed())
            return st;
        out = Variant(-d);
        return Status::Ok();
    }
    default: return Status(kErrTypeMismatch);
    }
}

Status ApplyNot(const Variant& a0, Variant& out)
{
    Variant tmp;
    const Variant* pa = nullptr;
    if (Status st = Operand(a0, tmp, pa); st.Failed())
        return st;
    const Variant& a = *pa;
    switch (a.Type()) {
    case VarType::Null: out = Variant::Null(); return Status::Ok();
    case VarType::Boolean: out = Variant(!a.AsBool()); return Status::Ok();
    case VarType::Empty: out = Variant::FromInteger(-1); return Status::Ok();
    case VarType::Byte: out = Variant::FromByte(static_cast<uint8_t>(~a.AsByte())); return Status::Ok();
    case VarType::Integer: out = Variant::FromInteger(static_cast<int16_t>(~a.AsInteger())); return Status::Ok();
    case VarType::Array:
    case VarType::Error: return Status(kErrTypeMismatch);
    default: {
        int32_t v = 0;
        Status st = ToLong(a, v);
        if (st.Failed())
            return st;
        out = Variant(~v);
        return Status::Ok();
    }
    }
}

} // namespace cva::vbs::engine

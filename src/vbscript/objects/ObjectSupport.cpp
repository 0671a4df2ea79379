#include "vbscript/objects/ObjectSupport.h"

#include "vbscript/Coerce.h"
#include "vbscript/SafeArray.h"

namespace cva::vbs::obj {

namespace {
constexpr int32_t kParamNotFound = static_cast<int32_t>(0x80020004u);
}

bool IsMissing(std::span<const Variant> args, size_t i)
{
    if (i >= args.size())
        return true;
    const Variant& v = args[i];
    return v.Type() == VarType::Error && v.AsError() == kParamNotFound;
}

Status ArgText(std::span<const Variant> args, size_t i, std::u16string& out)
{
    if (IsMissing(args, i))
        return Status(449); // Argument not optional
    VString s;
    Status st = ToString(args[i], s);
    if (st.Failed())
        return st;
    out.assign(s.View());
    return Status::Ok();
}

Status ArgLong(std::span<const Variant> args, size_t i, int32_t fallback, int32_t& out)
{
    if (IsMissing(args, i)) {
        out = fallback;
        return Status::Ok();
    }
    return ToLong(args[i], out);
}

Status ArgBool(std::span<const Variant> args, size_t i, bool fallback, bool& out)
{
    if (IsMissing(args, i)) {
        out = fallback;
        return Status::Ok();
    }
    return ToBool(args[i], out);
}

bool CSnapshotEnumerator::Next(Variant& out)
{
    if (m_next >= m_items.size())
        return false;
    out = std::move(m_items[m_next++]);
    return true;
}

Status ForwardToDefault(Variant value, uint32_t kind, std::span<Variant> args, Variant& result)
{
    if (args.empty()) {
        result = std::move(value);
        return Status::Ok();
    }
    if (!value.IsObject())
        return Status(kErrWrongArgCount);
    if (value.IsNothing())
        return Status(kErrObjectNotSet);
    ObjectRef target = value.ObjectReference();
    return target->Invoke(kDispIdValue, kind, args, result);
}

Variant MakeArray(std::vector<Variant> items, VarType elementType)
{
    return Variant(SafeArray::CreateVector(std::move(items), elementType));
}

} // namespace cva::vbs::obj

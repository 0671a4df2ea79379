#include "vbscript/engine/HostItem.h"

#include "platform/text/Unicode.h"
#include "vbscript/Coerce.h"

namespace cva::vbs::engine {

CDescribedObject::CDescribedObject(std::u16string name, std::vector<HostFunction> functions, IHostItem& item)
    : m_name(std::move(name)), m_functions(std::move(functions)), m_item(item)
{
    for (const auto& f : m_functions)
        m_names.push_back(text::Utf8ToUtf16(f.name));
}

DispId CDescribedObject::GetMemberId(std::u16string_view name)
{
    for (size_t i = 0; i < m_names.size(); ++i)
        if (text::EqualsNoCase(m_names[i], name))
            return static_cast<DispId>(i + 1);
    return kDispIdUnknown;
}

Status ToHostValue(const Variant& v, HostType type, HostValue& out)
{
    // Automation dispatch reports every failed conversion as a type mismatch, except a
    // number that does not fit, which is an overflow.
    auto mismatch = [](Status st) { return st.Number() == kErrOverflow ? st : Status(kErrTypeMismatch); };
    switch (type) {
    case HostType::Int16: {
        int16_t n = 0;
        Status st = ToInteger(v, n);
        if (st.Failed())
            return mismatch(std::move(st));
        out.number = n;
        return Status::Ok();
    }
    case HostType::Int32: {
        int32_t n = 0;
        Status st = ToLong(v, n);
        if (st.Failed())
            return mismatch(std::move(st));
        out.number = n;
        return Status::Ok();
    }
    case HostType::Bool: {
        bool b = false;
        Status st = ToBool(v, b);
        if (st.Failed())
            return mismatch(std::move(st));
        out.flag = b;
        return Status::Ok();
    }
    case HostType::String: {
        if (v.IsNull())
            return Status(kErrTypeMismatch);
        VString s;
        Status st = ToString(v, s);
        if (st.Failed())
            return mismatch(std::move(st));
        out.text = s.ToUtf8();
        return Status::Ok();
    }
    case HostType::Object:
        if (!v.IsObject() && !v.IsEmpty())
            return Status(kErrTypeMismatch);
        out.value = v;
        return Status::Ok();
    case HostType::Variant:
    case HostType::Void:
        out.value = v;
        return Status::Ok();
    }
    return Status(kErrTypeMismatch);
}

Variant FromHostValue(HostValue& v, HostType type)
{
    switch (type) {
    case HostType::Void: return Variant();
    case HostType::Int16: return Variant::FromInteger(static_cast<int16_t>(v.number));
    case HostType::Int32: return Variant(v.number);
    case HostType::Bool: return Variant(v.flag);
    case HostType::String: return Variant(VString::FromUtf8(v.text));
    case HostType::Object:
        if (v.value.IsObject())
            return std::move(v.value);
        return Variant::Nothing();
    case HostType::Variant: return std::move(v.value);
    }
    return Variant();
}

Status CDescribedObject::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    (void)kind;
    if (id < 1 || id > static_cast<DispId>(m_functions.size()))
        return Status(kErrNoSuchMember);
    const HostFunction& fn = m_functions[id - 1];
    if (args.size() != fn.args.size())
        return Status(kErrWrongArgCount);
    std::vector<HostValue> values(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i].Type() == VarType::Error && args[i].AsError() == static_cast<int32_t>(0x80020004u))
            return Status(kErrWrongArgCount);
        Status st = ToHostValue(args[i], fn.args[i], values[i]);
        if (st.Failed())
            return st;
    }
    HostValue r;
    Status st = m_item.Call(id, values, r);
    if (st.Failed())
        return st;
    result = FromHostValue(r, fn.result);
    return Status::Ok();
}

} // namespace cva::vbs::engine

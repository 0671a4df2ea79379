#include "vbscript/objects/WshEnvironment.h"

#include "vbscript/NativeObject.h"
#include "vbscript/objects/ObjectSupport.h"

namespace cva::vbs {

namespace {
enum : DispId { kItem = kDispIdValue, kCount = 1, kLength, kRemove };
constexpr MemberName kMembers[] = {
    {u"Item", kItem}, {u"Count", kCount}, {u"Length", kLength}, {u"Remove", kRemove},
};
} // namespace

DispId CWshEnvironment::GetMemberId(std::u16string_view name)
{
    return LookupMember(name, kMembers);
}

Status CWshEnvironment::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    Status st;
    std::u16string name;
    std::u16string value;
    if (id == kItem && IsAssignment(kind)) {
        if ((st = ExpectArgs(args, 2, 2)).Failed() || (st = obj::ArgText(args, 0, name)).Failed() ||
            (st = obj::ArgText(args, 1, value)).Failed())
            return st;
        return m_services->SetEnvironmentVariable(m_scope, name, value);
    }
    if ((st = obj::ReadOnly(kind)).Failed())
        return st;
    switch (id) {
    case kItem: {
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = obj::ArgText(args, 0, name)).Failed())
            return st;
        std::optional<std::u16string> v = m_services->GetEnvironmentVariable(m_scope, name);
        result = Variant(std::u16string_view(v ? *v : std::u16string()));
        return Status::Ok();
    }
    case kCount:
    case kLength:
        if ((st = ExpectArgs(args, 0, 0)).Failed())
            return st;
        result = Variant(static_cast<int32_t>(m_services->EnvironmentStrings(m_scope).size()));
        return Status::Ok();
    case kRemove:
        if ((st = ExpectArgs(args, 1, 1)).Failed() || (st = obj::ArgText(args, 0, name)).Failed())
            return st;
        return m_services->RemoveEnvironmentVariable(m_scope, name);
    default: return Status(kErrNoSuchMember);
    }
}

Status CWshEnvironment::NewEnum(EnumeratorPtr& out)
{
    std::vector<Variant> items;
    for (std::u16string& s : m_services->EnvironmentStrings(m_scope))
        items.push_back(Variant(std::u16string_view(s)));
    out = std::make_unique<obj::CSnapshotEnumerator>(std::move(items));
    return Status::Ok();
}

} // namespace cva::vbs

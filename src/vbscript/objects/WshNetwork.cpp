#include "vbscript/objects/WshNetwork.h"

#include "vbscript/NativeObject.h"
#include "vbscript/objects/ObjectSupport.h"

namespace cva::vbs {

namespace {
enum : DispId { kComputerName = 1, kUserName, kUserDomain };
constexpr MemberName kMembers[] = {
    {u"ComputerName", kComputerName}, {u"UserName", kUserName}, {u"UserDomain", kUserDomain},
};
} // namespace

DispId CWshNetwork::GetMemberId(std::u16string_view name)
{
    return LookupMember(name, kMembers);
}

Status CWshNetwork::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    Status st = obj::ReadOnly(kind);
    if (st.Failed() || (st = ExpectArgs(args, 0, 0)).Failed())
        return st;
    switch (id) {
    case kComputerName: result = Variant(std::u16string_view(m_services->ComputerName())); return Status::Ok();
    case kUserName: result = Variant(std::u16string_view(m_services->UserName())); return Status::Ok();
    case kUserDomain: result = Variant(std::u16string_view(m_services->UserDomain())); return Status::Ok();
    default: return Status(kErrNoSuchMember);
    }
}

} // namespace cva::vbs

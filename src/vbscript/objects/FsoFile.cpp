#include "vbscript/objects/FsoFile.h"

#include "vbscript/NativeObject.h"
#include "vbscript/objects/ObjectSupport.h"
#include "vbscript/objects/TextFileRequest.h"

namespace cva::vbs {

namespace {
constexpr DispId kOpenAsTextStream = 20;
constexpr MemberName kMembers[] = {{u"OpenAsTextStream", kOpenAsTextStream}};
} // namespace

DispId CFsoFile::GetMemberId(std::u16string_view name)
{
    DispId id = LookupMember(name, kMembers);
    return id != kDispIdUnknown ? id : CFsoItem::GetMemberId(name);
}

Status CFsoFile::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    static_assert(kOpenAsTextStream >= kFirstOwnMember);
    if (id != kOpenAsTextStream)
        return CFsoItem::Invoke(id, kind, args, result);
    Status st = obj::ReadOnly(kind);
    if (st.Failed() || (st = ExpectArgs(args, 0, 2)).Failed())
        return st;
    fso::fs::path host;
    if ((st = Locate(host)).Failed())
        return st;
    Ref<CTextStream> stream;
    if ((st = fso::OpenAsTextStream(Services(), Path(), args, stream)).Failed())
        return st;
    result = obj::FromObject(std::move(stream));
    return Status::Ok();
}

} // namespace cva::vbs

#include "vbscript/NativeObject.h"

#include "platform/text/Unicode.h"

namespace cva::vbs {

DispId LookupMember(std::u16string_view name, std::span<const MemberName> table)
{
    for (const auto& m : table)
        if (text::EqualsNoCase(m.name, name))
            return m.id;
    return kDispIdUnknown;
}

Status ExpectArgs(std::span<const Variant> args, size_t min, size_t max)
{
    if (args.size() < min || args.size() > max)
        return Status(kErrWrongArgCount);
    return Status::Ok();
}

} // namespace cva::vbs

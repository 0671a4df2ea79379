#pragma once

#include "vbscript/Object.h"
#include "vbscript/Status.h"
#include "vbscript/Variant.h"

#include <span>
#include <string_view>

namespace cva::vbs {

// Small helpers for objects written in C++.

struct MemberName {
    std::u16string_view name;
    DispId id;
};

// Case-insensitive search of a member table; kDispIdUnknown when absent.
DispId LookupMember(std::u16string_view name, std::span<const MemberName> table);

// 450 unless min <= args.size() <= max.
Status ExpectArgs(std::span<const Variant> args, size_t min, size_t max);

// True for `o.X = v` and `Set o.X = v`. Assigning to a read-only property is 450
// (Wrong number of arguments or invalid property assignment) in VBScript.
inline bool IsAssignment(uint32_t kind)
{
    return (kind & (kPropertyLet | kPropertySet)) != 0;
}

} // namespace cva::vbs

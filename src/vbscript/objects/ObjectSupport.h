#pragma once

#include "vbscript/NativeObject.h"
#include "vbscript/Object.h"
#include "vbscript/Status.h"
#include "vbscript/Variant.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Argument handling and small pieces the native objects share.
namespace cva::vbs::obj {

// An argument left out in the middle of a call list (`f a, , c`) arrives as the
// automation "parameter not found" error value; a trailing one is simply absent.
bool IsMissing(std::span<const Variant> args, size_t i);

// Required and optional arguments converted the VBScript way.
Status ArgText(std::span<const Variant> args, size_t i, std::u16string& out);
Status ArgLong(std::span<const Variant> args, size_t i, int32_t fallback, int32_t& out);
Status ArgBool(std::span<const Variant> args, size_t i, bool fallback, bool& out);

// For Each over a fixed list of values taken when the loop starts.
class CSnapshotEnumerator : public IEnumerator {
public:
    explicit CSnapshotEnumerator(std::vector<Variant> items) : m_items(std::move(items)) {}
    bool Next(Variant& out) override;

private:
    std::vector<Variant> m_items;
    size_t m_next = 0;
};

// A zero-based Variant array, as Keys, Items and RegRead of binary data return.
Variant MakeArray(std::vector<Variant> items, VarType elementType = VarType::Variant);

inline Variant FromObject(ObjectRef o)
{
    return Variant(std::move(o));
}

// `m.SubMatches(0)`, `f.Files("a.txt")`: a member without parameters that receives some
// hands them to the default member of its value, as automation's type-driven dispatch
// does. Without arguments the value itself is the result.
Status ForwardToDefault(Variant value, uint32_t kind, std::span<Variant> args, Variant& result);

// A read-only property: reads are fine, `o.X = v` is refused.
inline Status ReadOnly(uint32_t kind)
{
    return IsAssignment(kind) ? Status(kErrWrongArgCount) : Status::Ok();
}

} // namespace cva::vbs::obj

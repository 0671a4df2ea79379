#pragma once

#include "vbscript/ObjectRegistry.h"
#include "vbscript/ScriptServices.h"
#include "vbscript/Variant.h"

#include <initializer_list>
#include <string>
#include <vector>

// Drives native objects the way the engine does: by member name, with the access kind
// a script statement produces.
namespace cva::vbs::test {

struct CallResult {
    Status status;
    Variant value;
    bool Ok() const { return status.IsOk(); }
    int32_t Error() const { return status.Number(); }
};

ObjectRef Create(std::u16string_view progId, IScriptServices& services);
// `x = o.Name(args)`
CallResult Get(const ObjectRef& o, std::u16string_view name, std::initializer_list<Variant> args = {});
// `o.Name args` as a statement
CallResult Call(const ObjectRef& o, std::u16string_view name, std::initializer_list<Variant> args = {});
// `o.Name(args) = value` and `Set o.Name(args) = value`
CallResult Let(const ObjectRef& o, std::u16string_view name, std::initializer_list<Variant> args,
               Variant value);
CallResult SetRef(const ObjectRef& o, std::u16string_view name,
                  std::initializer_list<Variant> args, Variant value);
// For Each over the object.
std::vector<Variant> Enumerate(const ObjectRef& o);

// Reading a result.
std::u16string Str(const Variant& v);
int32_t Long(const Variant& v);
bool Bool(const Variant& v);
ObjectRef Obj(const Variant& v);
std::vector<Variant> ArrayItems(const Variant& v);

inline Variant S(std::u16string_view s) { return Variant(s); }
inline Variant L(int32_t n) { return Variant(n); }

} // namespace cva::vbs::test

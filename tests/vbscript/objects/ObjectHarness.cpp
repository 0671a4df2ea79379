#include "ObjectHarness.h"

#include "vbscript/Coerce.h"
#include "vbscript/SafeArray.h"
#include "vbscript/objects/StandardObjects.h"

#include <gtest/gtest.h>

namespace cva::vbs::test {

namespace {

CallResult Dispatch(const ObjectRef& o, std::u16string_view name, uint32_t kind,
                    std::vector<Variant> args)
{
    CallResult r;
    DispId id = o->GetMemberId(name);
    if (id == kDispIdUnknown) {
        r.status = Status(kErrNoSuchMember);
        return r;
    }
    r.status = o->Invoke(id, kind, args, r.value);
    return r;
}

} // namespace

ObjectRef Create(std::u16string_view progId, IScriptServices& services)
{
    CObjectRegistry registry;
    RegisterStandardObjects(registry);
    ObjectRef o;
    Status st = registry.Create(progId, services, o);
    EXPECT_TRUE(st.IsOk()) << st.Number();
    return o;
}

CallResult Get(const ObjectRef& o, std::u16string_view name, std::initializer_list<Variant> args)
{
    return Dispatch(o, name, kMethod | kPropertyGet, args);
}

CallResult Call(const ObjectRef& o, std::u16string_view name, std::initializer_list<Variant> args)
{
    return Dispatch(o, name, kMethod, args);
}

CallResult Let(const ObjectRef& o, std::u16string_view name, std::initializer_list<Variant> args,
               Variant value)
{
    std::vector<Variant> all(args);
    all.push_back(std::move(value));
    return Dispatch(o, name, kPropertyLet, std::move(all));
}

CallResult SetRef(const ObjectRef& o, std::u16string_view name,
                  std::initializer_list<Variant> args, Variant value)
{
    std::vector<Variant> all(args);
    all.push_back(std::move(value));
    return Dispatch(o, name, kPropertySet, std::move(all));
}

std::vector<Variant> Enumerate(const ObjectRef& o)
{
    std::vector<Variant> out;
    EnumeratorPtr e;
    Status st = o->NewEnum(e);
    EXPECT_TRUE(st.IsOk()) << st.Number();
    if (!e)
        return out;
    Variant v;
    while (e->Next(v))
        out.push_back(std::move(v));
    return out;
}

std::u16string Str(const Variant& v)
{
    VString s;
    Status st = ToString(v, s);
    EXPECT_TRUE(st.IsOk()) << st.Number();
    return s.Str();
}

int32_t Long(const Variant& v)
{
    int32_t n = 0;
    Status st = ToLong(v, n);
    EXPECT_TRUE(st.IsOk()) << st.Number();
    return n;
}

bool Bool(const Variant& v)
{
    bool b = false;
    Status st = ToBool(v, b);
    EXPECT_TRUE(st.IsOk()) << st.Number();
    return b;
}

ObjectRef Obj(const Variant& v)
{
    EXPECT_TRUE(v.IsObject());
    return v.IsObject() ? v.ObjectReference() : ObjectRef();
}

std::vector<Variant> ArrayItems(const Variant& v)
{
    EXPECT_TRUE(v.IsArray());
    if (!v.IsArray())
        return {};
    std::vector<Variant> out;
    for (size_t i = 0; i < v.AsArray()->Count(); ++i)
        out.push_back(v.AsArray()->Item(i));
    return out;
}

} // namespace cva::vbs::test

#include "vbscript/engine/BuiltinHelpers.h"
#include "vbscript/runtime/Locale.h"

namespace cva::vbs::engine {

namespace {

// The object GetRef returns: calling it (its default member) calls the procedure.
class CProcRef final : public IObject {
public:
    CProcRef(CInterpreter& in, const ProcDef& proc) : m_in(in), m_alive(in.m_alive), m_proc(proc) {}

    DispId GetMemberId(std::u16string_view) override { return kDispIdUnknown; }
    Status Invoke(DispId id, uint32_t, std::span<Variant> args, Variant& result) override
    {
        if (id != kDispIdValue)
            return Status(kErrNoSuchMember);
        if (!*m_alive)
            return Status(kErrObjectRequired);
        if (m_in.CallProcValues(m_proc, nullptr, args, result))
            return Status::Ok();
        Status st = std::move(m_in.m_error);
        m_in.m_error = Status();
        m_in.m_errorPositioned = false;
        return st;
    }
    std::u16string TypeName() const override { return u"Object"; }

private:
    CInterpreter& m_in;
    std::shared_ptr<bool> m_alive;
    const ProcDef& m_proc;
};

bool ArrayFn(CInterpreter&, std::span<Variant> a, Variant& out)
{
    std::vector<Variant> items(a.begin(), a.end());
    out = Variant(SafeArray::CreateVector(std::move(items)));
    return true;
}

bool Bound(CInterpreter& in, std::span<Variant> a, Variant& out, bool upper)
{
    if (!a[0].IsArray())
        return in.Fail(kErrTypeMismatch);
    int32_t dim = 1;
    if (!OptLong(in, a, 1, 1, dim))
        return false;
    const SafeArray* arr = a[0].AsArray();
    if (dim < 1 || static_cast<uint32_t>(dim) > arr->Dims())
        return in.Fail(kErrSubscript);
    out = Variant(upper ? arr->UBound(dim) : arr->LBound(dim));
    return true;
}

bool LBound(CInterpreter& in, std::span<Variant> a, Variant& out) { return Bound(in, a, out, false); }
bool UBound(CInterpreter& in, std::span<Variant> a, Variant& out) { return Bound(in, a, out, true); }

bool CreateObjectFn(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    VString progId;
    if (!ArgString(in, a[0], progId))
        return false;
    return in.CreateObject(progId.View(), out);
}

bool GetObjectFn(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    if (!Missing(a, 1)) {
        VString progId;
        if (!ArgString(in, a[1], progId))
            return false;
        VString path;
        if (!Missing(a, 0) && !ArgString(in, a[0], path))
            return false;
        if (path.Empty())
            return in.CreateObject(progId.View(), out);
    }
    return in.Fail(kErrCantCreateObject);
}

bool GetRef(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    VString name;
    if (!ArgString(in, a[0], name))
        return false;
    const GlobalName* g = in.LookupGlobal(name.View());
    if (!g || g->kind != GlobalName::Proc)
        return in.Fail(kErrInvalidCall);
    out = Variant(ObjectRef(MakeObject<CProcRef>(in, *in.m_procs[g->index])));
    return true;
}

bool EvalFn(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    VString text;
    if (!ArgString(in, a[0], text))
        return false;
    return in.EvalText(text.View(), out);
}

bool ExecuteFn(CInterpreter& in, std::span<Variant> a, Variant&)
{
    VString text;
    if (!ArgString(in, a[0], text))
        return false;
    return in.ExecuteText(text.View(), false);
}

bool ExecuteGlobalFn(CInterpreter& in, std::span<Variant> a, Variant&)
{
    VString text;
    if (!ArgString(in, a[0], text))
        return false;
    return in.ExecuteText(text.View(), true);
}

bool Rgb(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    int32_t c[3];
    for (int i = 0; i < 3; ++i) {
        if (!ArgLong(in, a[i], c[i]))
            return false;
        if (c[i] < 0)
            return in.Fail(kErrInvalidCall);
        if (c[i] > 255)
            c[i] = 255;
    }
    out = Variant(c[0] | (c[1] << 8) | (c[2] << 16));
    return true;
}

bool ScriptEngine(CInterpreter&, std::span<Variant>, Variant& out)
{
    out = Variant(u"VBScript");
    return true;
}

bool ScriptEngineMajor(CInterpreter&, std::span<Variant>, Variant& out)
{
    out = Variant(int32_t{5});
    return true;
}

bool ScriptEngineMinor(CInterpreter&, std::span<Variant>, Variant& out)
{
    out = Variant(int32_t{8});
    return true;
}

bool ScriptEngineBuild(CInterpreter&, std::span<Variant>, Variant& out)
{
    out = Variant(int32_t{16384});
    return true;
}

bool GetLocale(CInterpreter&, std::span<Variant>, Variant& out)
{
    out = Variant(rt::CurrentLocale().lcid);
    return true;
}

// SetLocale(lcid or "de-de") answers the locale it replaces; 0 is the default locale.
bool SetLocale(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    out = Variant(rt::CurrentLocale().lcid);
    if (Missing(a, 0))
        return true;
    const rt::LocaleInfo* locale = nullptr;
    if (a[0].IsString()) {
        locale = rt::FindLocale(a[0].AsString().View());
    } else {
        int32_t lcid = 0;
        if (!ArgLong(in, a[0], lcid))
            return false;
        locale = lcid == 0 ? &rt::DefaultLocale() : rt::FindLocale(lcid);
    }
    if (!locale)
        return in.Fail(kErrLocaleNotSupported);
    rt::SetCurrentLocale(*locale);
    return true;
}

bool MsgBox(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    VString prompt;
    VString title(u"VBScript");
    int32_t buttons = 0;
    if (!ArgString(in, a[0], prompt) || !OptLong(in, a, 1, 0, buttons))
        return false;
    if (!Missing(a, 2) && !ArgString(in, a[2], title))
        return false;
    int32_t r = in.Services().MessageBox(prompt.View(), buttons, title.View(), 0);
    out = Variant::FromInteger(static_cast<int16_t>(r));
    return true;
}

bool InputBox(CInterpreter& in, std::span<Variant> a, Variant& out)
{
    VString prompt;
    VString title(u"VBScript");
    VString def;
    if (!ArgString(in, a[0], prompt))
        return false;
    if (!Missing(a, 1) && !ArgString(in, a[1], title))
        return false;
    if (!Missing(a, 2) && !ArgString(in, a[2], def))
        return false;
    std::optional<std::u16string> r = in.Services().InputBox(prompt.View(), title.View(), def.View());
    out = r ? Variant(VString(*r)) : Variant();
    return true;
}

bool ErrFn(CInterpreter& in, std::span<Variant>, Variant& out)
{
    out = Variant(in.m_errObject);
    return true;
}

bool LoadPicture(CInterpreter& in, std::span<Variant>, Variant&)
{
    return in.Fail(kErrCantPerform);
}

} // namespace

extern const Builtin kMiscBuiltins[] = {
    {u"Array", 0, kAnyArgCount, ArrayFn},
    {u"LBound", 1, 2, LBound},
    {u"UBound", 1, 2, UBound},
    {u"CreateObject", 1, 2, CreateObjectFn},
    {u"GetObject", 0, 2, GetObjectFn},
    {u"GetRef", 1, 1, GetRef},
    {u"Eval", 1, 1, EvalFn},
    {u"Execute", 1, 1, ExecuteFn},
    {u"ExecuteGlobal", 1, 1, ExecuteGlobalFn},
    {u"RGB", 3, 3, Rgb},
    {u"ScriptEngine", 0, 0, ScriptEngine},
    {u"ScriptEngineMajorVersion", 0, 0, ScriptEngineMajor},
    {u"ScriptEngineMinorVersion", 0, 0, ScriptEngineMinor},
    {u"ScriptEngineBuildVersion", 0, 0, ScriptEngineBuild},
    {u"GetLocale", 0, 0, GetLocale},
    {u"SetLocale", 0, 1, SetLocale},
    {u"MsgBox", 1, 5, MsgBox},
    {u"InputBox", 1, 7, InputBox},
    {u"Err", 0, 0, ErrFn},
    {u"LoadPicture", 1, 1, LoadPicture},
};
extern const size_t kMiscBuiltinCount = sizeof(kMiscBuiltins) / sizeof(kMiscBuiltins[0]);

} // namespace cva::vbs::engine

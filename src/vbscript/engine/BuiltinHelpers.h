#pragma once

#include "vbscript/Coerce.h"
#include "vbscript/engine/Interpreter.h"

#include <span>

namespace cva::vbs::engine {

// An argument left out (f(1, , 3)) or beyond the count given.
inline bool Missing(std::span<Variant> args, size_t i)
{
    return i >= args.size() ||
           (args[i].Type() == VarType::Error && args[i].AsError() == static_cast<int32_t>(0x80020004u));
}

// A failed conversion becomes the script's run-time error.
inline bool Converted(CInterpreter& in, Status st)
{
    return st.IsOk() || in.Fail(std::move(st));
}

inline bool ArgString(CInterpreter& in, const Variant& v, VString& out) { return Converted(in, ToString(v, out)); }
inline bool ArgLong(CInterpreter& in, const Variant& v, int32_t& out) { return Converted(in, ToLong(v, out)); }
inline bool ArgDouble(CInterpreter& in, const Variant& v, double& out) { return Converted(in, ToDouble(v, out)); }
inline bool ArgBool(CInterpreter& in, const Variant& v, bool& out) { return Converted(in, ToBool(v, out)); }
inline bool ArgDate(CInterpreter& in, const Variant& v, double& out) { return Converted(in, ToDate(v, out)); }

// Null in, Null out: most text and date functions pass a Null argument straight
// through. True when out was set and the function is done.
inline bool NullPassedThrough(const Variant& v, Variant& out)
{
    if (!v.IsNull())
        return false;
    out = Variant::Null();
    return true;
}

// Optional Long with a default.
inline bool OptLong(CInterpreter& in, std::span<Variant> args, size_t i, int32_t def, int32_t& out)
{
    if (Missing(args, i)) {
        out = def;
        return true;
    }
    return ArgLong(in, args[i], out);
}

inline bool RtResult(CInterpreter& in, int code)
{
    return code == 0 || in.Fail(Status(code));
}

inline Variant StringResult(std::u16string s)
{
    return Variant(VString(s));
}

// The text a runtime string function built, or its error code raised.
inline bool RtString(CInterpreter& in, int code, std::u16string& text, Variant& out)
{
    if (!RtResult(in, code))
        return false;
    out = StringResult(std::move(text));
    return true;
}

bool BuiltinStringsRegister();

} // namespace cva::vbs::engine

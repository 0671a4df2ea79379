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

inline bool ArgString(CInterpreter& in, const Variant& v, VString& out)
{
    Status st = ToString(v, out);
    return st.IsOk() || in.Fail(std::move(st));
}

inline bool ArgLong(CInterpreter& in, const Variant& v, int32_t& out)
{
    Status st = ToLong(v, out);
    return st.IsOk() || in.Fail(std::move(st));
}

inline bool ArgDouble(CInterpreter& in, const Variant& v, double& out)
{
    Status st = ToDouble(v, out);
    return st.IsOk() || in.Fail(std::move(st));
}

inline bool ArgBool(CInterpreter& in, const Variant& v, bool& out)
{
    Status st = ToBool(v, out);
    return st.IsOk() || in.Fail(std::move(st));
}

inline bool ArgDate(CInterpreter& in, const Variant& v, double& out)
{
    Status st = ToDate(v, out);
    return st.IsOk() || in.Fail(std::move(st));
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

bool BuiltinStringsRegister();

} // namespace cva::vbs::engine

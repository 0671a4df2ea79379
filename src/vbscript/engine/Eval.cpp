#include "vbscript/engine/Interpreter.h"

#include "platform/text/Unicode.h"
#include "vbscript/MemoryBudget.h"
#include "vbscript/engine/Operators.h"

namespace cva::vbs::engine {

namespace {

inline bool IsSmallInt(const Variant& v)
{
    return v.Type() == VarType::Integer || v.Type() == VarType::Long;
}

inline int64_t SmallIntValue(const Variant& v)
{
    return v.Type() == VarType::Integer ? v.AsInteger() : v.AsLong();
}

inline void StoreInt(Variant& out, int64_t r, bool bothInteger)
{
    if (bothInteger && r >= -32768 && r <= 32767)
        out = Variant::FromInteger(static_cast<int16_t>(r));
    else if (r >= INT32_MIN && r <= INT32_MAX)
        out = Variant(static_cast<int32_t>(r));
    else
        out = Variant(static_cast<double>(r));
}

// Integer and Long operands cover most arithmetic in loops; handle them without the
// general conversion machinery. False when the general path must run.
inline bool FastBinary(BinOp op, const Variant& a, const Variant& b, Variant& out)
{
    if (!IsSmallInt(a) || !IsSmallInt(b))
        return false;
    int64_t x = SmallIntValue(a);
    int64_t y = SmallIntValue(b);
    bool bothInteger = a.Type() == VarType::Integer && b.Type() == VarType::Integer;
    switch (op) {
    case BinOp::Add: StoreInt(out, x + y, bothInteger); return true;
    case BinOp::Sub: StoreInt(out, x - y, bothInteger); return true;
    case BinOp::Mul: StoreInt(out, x * y, bothInteger); return true;
    case BinOp::Mod:
        if (y == 0)
            return false;
        StoreInt(out, x % y, bothInteger);
        return true;
    case BinOp::IntDiv:
        if (y == 0)
            return false;
        StoreInt(out, x / y, bothInteger);
        return true;
    case BinOp::Eq: out = Variant(x == y); return true;
    case BinOp::Ne: out = Variant(x != y); return true;
    case BinOp::Lt: out = Variant(x < y); return true;
    case BinOp::Gt: out = Variant(x > y); return true;
    case BinOp::Le: out = Variant(x <= y); return true;
    case BinOp::Ge: out = Variant(x >= y); return true;
    default: return false;
    }
}

} // namespace

bool CInterpreter::Eval(const Expr& e, Frame& f, Variant& out)
{
    switch (e.kind) {
    case ExprKind::Const:
        out = e.value;
        return true;
    case ExprKind::Name:
        switch (e.ref) {
        case NameRef::Local: out = f.locals[e.slot]; return true;
        case NameRef::RefParam: out = *f.refs[e.slot]; return true;
        case NameRef::Global: out = *e.global; return true;
        case NameRef::Implicit: out = m_globalLive[e.item] ? *e.global : f.locals[e.slot]; return true;
        case NameRef::Field: out = f.me->m_fields[e.slot]; return true;
        case NameRef::Proc: return CallProc(*m_procs[e.slot], nullptr, {}, f, out);
        case NameRef::ClassProc: {
            const ClassMember& cm = f.me->m_class->members[e.slot];
            const ProcDef* p = cm.method ? cm.method : cm.get;
            if (!p)
                return Fail(kErrNoSuchMember);
            return CallProc(*p, f.me, {}, f, out);
        }
        case NameRef::Builtin: return CallBuiltin(e.slot, {}, f, out);
        case NameRef::HostMember: {
            IObject* obj = m_items[e.item].object.Get();
            Status st = obj->Invoke(e.slot, kMethod | kPropertyGet, {}, out);
            return st.IsOk() || Fail(std::move(st));
        }
        case NameRef::NamedItem: out = Variant(m_items[e.item].object); return true;
        case NameRef::Dynamic: {
            const GlobalName* g = LookupLiveGlobal(e.name);
            if (g && g->kind == GlobalName::Var) {
                out = m_globals[g->index];
                return true;
            }
            if (g && g->kind == GlobalName::Proc)
                return CallProc(*m_procs[g->index], nullptr, {}, f, out);
            return Fail(kErrVariableUndefined);
        }
        case NameRef::Unresolved: return Fail(kErrVariableUndefined);
        }
        return Fail(kErrVariableUndefined);
    case ExprKind::Binary: {
        Variant a;
        Variant b;
        if (!Eval(*e.left, f, a) || !Eval(*e.right, f, b))
            return false;
        if (FastBinary(e.op, a, b, out))
            return true;
        if (e.op >= BinOp::Eq && e.op <= BinOp::Ge && (e.left->kind == ExprKind::Const || e.right->kind == ExprKind::Const))
            return CompareWithLiteral(e, a, b, out);
        if (e.op == BinOp::Concat && a.IsString() && b.IsString()) {
            VString s = a.TakeString();
            if (!s.Append(b.AsString()))
                return Fail(kErrOutOfMemory);
            out = Variant(std::move(s));
            return true;
        }
        Status st = ApplyBinary(e.op, a, b, out);
        if (st.Failed())
            return Fail(std::move(st));
        return true;
    }
    case ExprKind::Neg:
    case ExprKind::Not: {
        Variant a;
        if (!Eval(*e.left, f, a))
            return false;
        Status st = e.kind == ExprKind::Neg ? ApplyNegate(a, out) : ApplyNot(a, out);
        return st.IsOk() || Fail(std::move(st));
    }
    case ExprKind::Call:
        return EvalCall(e, f, out);
    case ExprKind::Member:
        return EvalMember(e, f, out, {});
    case ExprKind::WithMember: {
        if (!f.with)
            return Fail(kErrObjectRequired);
        Variant holder = *f.with->object;
        if (!holder.IsObject() || !holder.AsObject())
            return Fail(kErrObjectRequired);
        return InvokeObject(holder.AsObject(), e.name, kMethod | kPropertyGet, {}, out);
    }
    case ExprKind::New:
        return NewObject(e.name, out);
    case ExprKind::Me:
        if (!f.me)
            return Fail(kErrObjectRequired);
        out = Variant(ObjectRef::Share(f.me));
        return true;
    }
    return Fail(kErrSyntax);
}

Variant* CInterpreter::VariableRef(const Expr& e, Frame& f)
{
    if (e.kind != ExprKind::Name)
        return nullptr;
    switch (e.ref) {
    case NameRef::Local: return &f.locals[e.slot];
    case NameRef::RefParam: return f.refs[e.slot];
    case NameRef::Global:
        // Its storage is asked for to write it or to pass it on by reference: from now on
        // it exists for the procedures too.
        m_globalLive[e.slot] = 1;
        return e.global;
    case NameRef::Implicit: return m_globalLive[e.item] ? e.global : &f.locals[e.slot];
    case NameRef::Field: return f.me ? &f.me->m_fields[e.slot] : nullptr;
    case NameRef::Dynamic: {
        const GlobalName* g = LookupLiveGlobal(e.name);
        if (g && g->kind == GlobalName::Var)
            return &m_globals[g->index];
        return nullptr;
    }
    default: return nullptr;
    }
}

bool CInterpreter::EvalArgs(std::span<const ExprPtr> args, Frame& f, std::vector<Variant>& out)
{
    out.resize(args.size());
    for (size_t i = 0; i < args.size(); ++i)
        if (!Eval(*args[i], f, out[i]))
            return false;
    return true;
}

bool CInterpreter::IndexValue(const Variant& target, std::span<const ExprPtr> args, Frame& f, Variant& out)
{
    if (target.IsArray()) {
        int32_t idx[64];
        if (args.size() > 64)
            return Fail(kErrSubscript);
        for (size_t i = 0; i < args.size(); ++i) {
            Variant v;
            if (!Eval(*args[i], f, v))
                return false;
            Status st = ToLong(v, idx[i]);
            if (st.Failed())
                return Fail(std::move(st));
        }
        const Variant* el = target.AsArray()->At(std::span<const int32_t>(idx, args.size()));
        if (!el)
            return Fail(kErrSubscript);
        out = *el;
        return true;
    }
    if (target.IsObject() && !args.empty()) {
        IObject* obj = target.AsObject();
        if (!obj)
            return Fail(kErrObjectNotSet);
        std::vector<Variant> values;
        if (!EvalArgs(args, f, values))
            return false;
        Variant holder = target;
        if (auto* inst = dynamic_cast<CClassInstance*>(obj)) {
            if (inst->m_class->defaultMember < 0)
                return Fail(kErrNoSuchMember);
            return ClassInvoke(*inst, inst->m_class->defaultMember, kMethod | kPropertyGet, values, out);
        }
        Status st = obj->Invoke(kDispIdValue, kMethod | kPropertyGet, values, out);
        return st.IsOk() || Fail(std::move(st));
    }
    if (args.empty()) {
        out = target;
        return true;
    }
    return Fail(kErrTypeMismatch);
}

bool CInterpreter::EvalCall(const Expr& e, Frame& f, Variant& out)
{
    const Expr& t = *e.left;
    std::span<const ExprPtr> args(e.args);
    if (t.kind == ExprKind::Name) {
        switch (t.ref) {
        case NameRef::Local:
        case NameRef::RefParam:
        case NameRef::Global:
        case NameRef::Implicit:
        case NameRef::Field: {
            Variant* var = VariableRef(t, f);
            if (!var)
                return Fail(kErrObjectRequired);
            if (var->IsEmpty() && (t.ref == NameRef::Global || t.ref == NameRef::Implicit) && !args.empty()) {
                // A procedure that ExecuteGlobal defined after this code was compiled.
                const GlobalName* g = LookupGlobal(t.name);
                if (g && g->kind == GlobalName::Proc)
                    return CallProc(*m_procs[g->index], nullptr, args, f, out);
            }
            return IndexValue(*var, args, f, out);
        }
        case NameRef::Proc: return CallProc(*m_procs[t.slot], nullptr, args, f, out);
        case NameRef::ClassProc: {
            const ClassMember& cm = f.me->m_class->members[t.slot];
            const ProcDef* p = cm.method ? cm.method : cm.get;
            if (!p)
                return Fail(kErrNoSuchMember);
            return CallProc(*p, f.me, args, f, out);
        }
        case NameRef::Builtin: return CallBuiltin(t.slot, args, f, out);
        case NameRef::HostMember: {
            std::vector<Variant> values;
            if (!EvalArgs(args, f, values))
                return false;
            IObject* obj = m_items[t.item].object.Get();
            Status st = obj->Invoke(t.slot, kMethod | kPropertyGet, values, out);
            return st.IsOk() || Fail(std::move(st));
        }
        case NameRef::NamedItem: return IndexValue(Variant(m_items[t.item].object), args, f, out);
        case NameRef::Dynamic: {
            const GlobalName* g = LookupLiveGlobal(t.name);
            if (g && g->kind == GlobalName::Var)
                return IndexValue(m_globals[g->index], args, f, out);
            if (g && g->kind == GlobalName::Proc)
                return CallProc(*m_procs[g->index], nullptr, args, f, out);
            return Fail(kErrUndefinedProc);
        }
        case NameRef::Unresolved: return Fail(kErrUndefinedProc);
        }
    }
    if (t.kind == ExprKind::Member)
        return EvalMember(t, f, out, args);
    if (t.kind == ExprKind::WithMember) {
        if (!f.with)
            return Fail(kErrObjectRequired);
        Variant holder = *f.with->object;
        if (!holder.IsObject() || !holder.AsObject())
            return Fail(kErrObjectRequired);
        std::vector<Variant> values;
        if (!EvalArgs(args, f, values))
            return false;
        return InvokeObject(holder.AsObject(), t.name, kMethod | kPropertyGet, values, out);
    }
    Variant target;
    if (!Eval(t, f, target))
        return false;
    return IndexValue(target, args, f, out);
}

bool CInterpreter::EvalMember(const Expr& e, Frame& f, Variant& out, std::span<const ExprPtr> args)
{
    Variant holder;
    if (!Eval(*e.left, f, holder))
        return false;
    if (!holder.IsObject() || !holder.AsObject())
        return Fail(kErrObjectRequired);
    IObject* obj = holder.AsObject();
    if (auto* inst = dynamic_cast<CClassInstance*>(obj)) {
        if (!inst->m_alive || !*inst->m_alive)
            return Fail(kErrObjectRequired);
        int32_t m;
        Expr& me = const_cast<Expr&>(e);
        if (me.cacheClass == inst->m_class) {
            m = me.cacheMember;
        } else {
            m = inst->m_class->FindMember(e.name);
            bool inside = f.me && f.me->m_class == inst->m_class;
            if (m < 0 || (!inst->m_class->members[m].isPublic && !inside))
                return Fail(kErrNoSuchMember);
            me.cacheClass = inst->m_class;
            me.cacheMember = m;
        }
        const ClassMember& cm = inst->m_class->members[m];
        if (cm.method)
            return CallProc(*cm.method, inst, args, f, out);
        if (cm.get)
            return CallProc(*cm.get, inst, args, f, out);
        if (cm.field >= 0)
            return IndexValue(inst->m_fields[cm.field], args, f, out);
        return Fail(kErrNoSuchMember);
    }
    std::vector<Variant> values;
    if (!EvalArgs(args, f, values))
        return false;
    if (values.empty())
        return InvokeObject(obj, e.name, kMethod | kPropertyGet, values, out);
    if (!CheckStep())
        return false;
    DispId id = obj->GetMemberId(e.name);
    if (id == kDispIdUnknown)
        return Fail(kErrNoSuchMember);
    Status st = obj->Invoke(id, kMethod | kPropertyGet, values, out);
    if (st.IsOk())
        return true;
    if (st.Number() != kErrWrongArgCount)
        return Fail(std::move(st));
    // o.Items(0) where Items takes no arguments: index what it returns, as VBScript does.
    Variant got;
    st = obj->Invoke(id, kMethod | kPropertyGet, {}, got);
    if (st.Failed())
        return Fail(kErrWrongArgCount);
    return IndexValues(got, values, out);
}

bool CInterpreter::IndexValues(const Variant& target, std::span<Variant> values, Variant& out)
{
    if (target.IsArray()) {
        int32_t idx[64];
        if (values.size() > 64)
            return Fail(kErrSubscript);
        for (size_t i = 0; i < values.size(); ++i) {
            Status st = ToLong(values[i], idx[i]);
            if (st.Failed())
                return Fail(std::move(st));
        }
        const Variant* el = target.AsArray()->At(std::span<const int32_t>(idx, values.size()));
        if (!el)
            return Fail(kErrSubscript);
        out = *el;
        return true;
    }
    if (target.IsObject() && target.AsObject()) {
        Variant holder = target;
        Status st = target.AsObject()->Invoke(kDispIdValue, kMethod | kPropertyGet, values, out);
        return st.IsOk() || Fail(std::move(st));
    }
    return Fail(kErrWrongArgCount);
}

bool CInterpreter::InvokeObject(IObject* obj, const std::u16string& name, uint32_t kind,
                                std::span<Variant> args, Variant& result)
{
    if (!CheckStep())
        return false;
    DispId id = obj->GetMemberId(name);
    if (id == kDispIdUnknown)
        return Fail(kErrNoSuchMember);
    Status st = obj->Invoke(id, kind, args, result);
    if (st.IsOk() && CMemoryBudget::Exceeded()) {
        result.Clear();
        st = Status(kErrOutOfMemory);
    }
    return st.IsOk() || Fail(std::move(st));
}

// A comparison with a literal on one side converts the literal to the other side's kind:
// x = "5" compares numerically when x holds a number, x = 5 as text when x holds text.
bool CInterpreter::CompareWithLiteral(const Expr& e, Variant& a, Variant& b, Variant& out)
{
    bool litA = e.left->kind == ExprKind::Const;
    bool litB = e.right->kind == ExprKind::Const;
    Variant* lit = litA ? &a : &b;
    Variant* other = litA ? &b : &a;
    if (litA && litB) {
        lit = a.IsString() ? &a : &b;
        other = a.IsString() ? &b : &a;
    }
    if (other->IsObject()) {
        Variant v;
        Status st = GetValue(*other, v);
        if (st.Failed())
            return Fail(std::move(st));
        *other = std::move(v);
    }
    if (lit->IsString() && other->IsNumberType()) {
        double d = 0;
        if (ToDouble(*lit, d).IsOk())
            *lit = Variant(d);
    } else if (lit->IsNumberType() && other->IsString()) {
        VString s;
        Status st = ToString(*lit, s);
        if (st.Failed())
            return Fail(std::move(st));
        *lit = Variant(std::move(s));
    }
    Status st = ApplyBinary(e.op, a, b, out);
    return st.IsOk() || Fail(std::move(st));
}

bool CInterpreter::Truth(const Expr& e, Frame& f, bool& out)
{
    Variant v;
    if (!Eval(e, f, v))
        return false;
    if (v.Type() == VarType::Boolean) {
        out = v.AsBool();
        return true;
    }
    if (v.IsNull()) {
        out = false;
        return true;
    }
    Status st = ToBool(v, out);
    return st.IsOk() || Fail(std::move(st));
}

} // namespace cva::vbs::engine

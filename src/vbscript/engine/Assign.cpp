// Assignment to variables, array elements, fields and properties.
#include "vbscript/engine/Interpreter.h"

#include "vbscript/engine/Operators.h"

#include <cmath>
#include <cstring>
#include <ctime>

namespace cva::vbs::engine {

bool CInterpreter::Assign(const Expr& target, Frame& f, Variant value, bool isSet)
{
    if (isSet) {
        if (!value.IsObject())
            return Fail(kErrObjectRequired);
    } else if (value.IsObject()) {
        Variant v;
        Status st = GetValue(value, v);
        if (st.Failed())
            return Fail(st.Number() == kErrObjectNotSet ? Status(kErrObjectNotSet) : std::move(st));
        value = std::move(v);
    }
    uint32_t putKind = isSet ? kPropertySet : kPropertyLet;
    switch (target.kind) {
    case ExprKind::Name: {
        if (target.isConst)
            return Fail(kErrIllegalAssignment);
        if (Variant* var = VariableRef(target, f)) {
            *var = std::move(value);
            return true;
        }
        switch (target.ref) {
        case NameRef::ClassProc: {
            const ClassMember& cm = f.me->m_class->members[target.slot];
            const ProcDef* p = isSet ? cm.set : cm.let;
            if (!p)
                return Fail(kErrIllegalAssignment);
            Variant ignored;
            return CallProc(*p, f.me, {}, f, ignored, &value);
        }
        case NameRef::HostMember: {
            Variant ignored;
            Status st = m_items[target.item].object->Invoke(target.slot, putKind, std::span<Variant>(&value, 1), ignored);
            return st.IsOk() || Fail(std::move(st));
        }
        case NameRef::Dynamic: return Fail(kErrVariableUndefined);
        default: return Fail(kErrIllegalAssignment);
        }
    }
    case ExprKind::Call: {
        const Expr& t = *target.left;
        std::span<const ExprPtr> args(target.args);
        if (t.kind == ExprKind::Name) {
            if (Variant* var = VariableRef(t, f))
                return AssignIndexed(*var, args, f, value, isSet);
            if (t.ref == NameRef::ClassProc) {
                const ClassMember& cm = f.me->m_class->members[t.slot];
                const ProcDef* p = isSet ? cm.set : cm.let;
                if (!p)
                    return Fail(kErrIllegalAssignment);
                Variant ignored;
                return CallProc(*p, f.me, args, f, ignored, &value);
            }
            if (t.ref == NameRef::HostMember || t.ref == NameRef::NamedItem) {
                std::vector<Variant> values;
                if (!EvalArgs(args, f, values))
                    return false;
                values.push_back(std::move(value));
                Variant ignored;
                IObject* obj = m_items[t.item].object.Get();
                Status st = obj->Invoke(t.ref == NameRef::HostMember ? t.slot : kDispIdValue, putKind, values, ignored);
                return st.IsOk() || Fail(std::move(st));
            }
            if (t.ref == NameRef::Dynamic)
                return Fail(kErrVariableUndefined);
            return Fail(kErrIllegalAssignment);
        }
        if (t.kind == ExprKind::Member || t.kind == ExprKind::WithMember) {
            Variant holder;
            if (!MemberHolder(t, f, holder))
                return false;
            IObject* obj = holder.AsObject();
            if (auto* inst = dynamic_cast<CClassInstance*>(obj)) {
                const ClassMember* found = ReachableMember(*inst, t.name, f);
                if (!found)
                    return Fail(kErrNoSuchMember);
                const ClassMember& cm = *found;
                if (cm.field >= 0)
                    return AssignIndexed(inst->m_fields[cm.field], args, f, value, isSet);
                const ProcDef* p = isSet ? cm.set : cm.let;
                if (!p) {
                    // obj.Prop(i) = v where Prop returns an object: assign to its default.
                    Variant got;
                    const ProcDef* g = cm.get ? cm.get : cm.method;
                    if (!g)
                        return Fail(kErrNoSuchMember);
                    if (!CallProc(*g, inst, {}, f, got))
                        return false;
                    return AssignIndexed(got, args, f, value, isSet);
                }
                Variant ignored;
                return CallProc(*p, inst, args, f, ignored, &value);
            }
            std::vector<Variant> values;
            if (!EvalArgs(args, f, values))
                return false;
            values.push_back(std::move(value));
            Variant ignored;
            return InvokeObject(obj, t.name, putKind, values, ignored);
        }
        Variant holder;
        if (!Eval(t, f, holder))
            return false;
        if (!holder.IsObject())
            return Fail(kErrIllegalAssignment);
        return AssignIndexed(holder, args, f, value, isSet);
    }
    case ExprKind::Member:
    case ExprKind::WithMember: {
        Variant holder;
        if (!MemberHolder(target, f, holder))
            return false;
        IObject* obj = holder.AsObject();
        if (auto* inst = dynamic_cast<CClassInstance*>(obj)) {
            const ClassMember* found = ReachableMember(*inst, target.name, f);
            if (!found)
                return Fail(kErrNoSuchMember);
            const ClassMember& cm = *found;
            if (cm.field >= 0) {
                inst->m_fields[cm.field] = std::move(value);
                return true;
            }
            const ProcDef* p = isSet ? cm.set : cm.let;
            if (!p)
                return Fail(kErrIllegalAssignment);
            Variant ignored;
            return CallProc(*p, inst, {}, f, ignored, &value);
        }
        Variant ignored;
        return InvokeObject(obj, target.name, putKind, std::span<Variant>(&value, 1), ignored);
    }
    default:
        return Fail(kErrIllegalAssignment);
    }
}

Flow CInterpreter::AppendInPlace(const Expr& target, Frame& f, const Expr* const* chain, size_t n)
{
    // The operands were collected right to left.
    VString orig = VariableRef(target, f)->AsString();
    VString parts[32];
    for (size_t k = n; k-- > 0;) {
        Variant r;
        if (!Eval(*chain[k], f, r))
            return Flow::Error;
        if (r.IsString())
            parts[k] = r.TakeString();
        else if (!r.IsNull()) {
            Status st = ToString(r, parts[k]);
            if (st.Failed())
                return FailFlow(std::move(st));
        }
    }
    Variant* var = VariableRef(target, f);
    VString cur;
    if (var && var->IsString() && var->AsString().Data() == orig.Data() && var->AsString().Size() == orig.Size()) {
        orig.Clear();
        cur = var->TakeString();
    } else {
        cur = std::move(orig);
    }
    for (size_t k = n; k-- > 0;) {
        if (!cur.Append(parts[k]))
            return FailFlow(kErrOutOfMemory);
    }
    if (var) {
        *var = Variant(std::move(cur));
        return Flow::Normal;
    }
    return Assign(target, f, Variant(std::move(cur)), false) ? Flow::Normal : Flow::Error;
}

bool CInterpreter::AssignIndexed(Variant& target, std::span<const ExprPtr> args, Frame& f, Variant& value,
                                 bool isSet)
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
        SafeArray* arr = target.MutableArray();
        Variant* el = arr->At(std::span<const int32_t>(idx, args.size()));
        if (!el)
            return Fail(kErrSubscript);
        if (arr->ElementType() == VarType::String && !value.IsString()) {
            VString s;
            Status st = ToString(value, s);
            if (st.Failed())
                return Fail(std::move(st));
            *el = Variant(std::move(s));
            return true;
        }
        *el = std::move(value);
        return true;
    }
    if (target.IsObject()) {
        IObject* obj = target.AsObject();
        if (!obj)
            return Fail(kErrObjectNotSet);
        Variant holder = target;
        std::vector<Variant> values;
        if (!EvalArgs(args, f, values))
            return false;
        values.push_back(std::move(value));
        Variant ignored;
        uint32_t kind = isSet ? kPropertySet : kPropertyLet;
        if (auto* inst = dynamic_cast<CClassInstance*>(obj)) {
            if (inst->m_class->defaultMember < 0)
                return Fail(kErrNoSuchMember);
            return ClassInvoke(*inst, inst->m_class->defaultMember, kind, values, ignored);
        }
        Status st = obj->Invoke(kDispIdValue, kind, values, ignored);
        return st.IsOk() || Fail(std::move(st));
    }
    if (args.empty()) {
        target = std::move(value);
        return true;
    }
    return Fail(kErrTypeMismatch);
}

// The object that obj.name or, inside With, .name acts on: it must be a set object.
bool CInterpreter::MemberHolder(const Expr& e, Frame& f, Variant& holder)
{
    if (e.kind == ExprKind::Member) {
        if (!Eval(*e.left, f, holder))
            return false;
    } else {
        if (!f.with)
            return Fail(kErrObjectRequired);
        holder = *f.with->object;
    }
    if (!holder.IsObject() || !holder.AsObject())
        return Fail(kErrObjectRequired);
    return true;
}

// A member of inst by name, if code running in f may reach it: public members from
// anywhere, private ones only from the instance's own class.
const ClassMember* CInterpreter::ReachableMember(CClassInstance& inst, std::u16string_view name, Frame& f)
{
    int32_t m = inst.m_class->FindMember(name);
    bool inside = f.me && f.me->m_class == inst.m_class;
    if (m < 0 || (!inst.m_class->members[m].isPublic && !inside))
        return nullptr;
    return &inst.m_class->members[m];
}

} // namespace cva::vbs::engine

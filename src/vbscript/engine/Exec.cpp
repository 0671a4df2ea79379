#include "vbscript/engine/Interpreter.h"

#include "vbscript/engine/Operators.h"

#include <cmath>
#include <cstring>
#include <ctime>

namespace cva::vbs::engine {

Flow CInterpreter::ExecBlock(const Block& b, Frame& f)
{
    for (const auto& sp : b) {
        const Stmt& s = *sp;
        Flow fl = Exec(s, f);
        if (fl == Flow::Normal)
            continue;
        if (fl == Flow::Error) {
            if (!m_errorPositioned) {
                m_errorPositioned = true;
                m_errorLine = s.line;
                m_errorColumn = s.column;
            }
            if (f.resumeNext && !m_aborting && !m_interrupt.load(std::memory_order_relaxed)) {
                m_errNumber = m_error.Number();
                m_errDescription = m_error.Description();
                m_errSource = m_errorSource.empty() ? u"VBScript runtime error" : m_errorSource;
                m_error = Status();
                m_errorSource.clear();
                m_errorPositioned = false;
                continue;
            }
        }
        return fl;
    }
    return Flow::Normal;
}

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
            if (t.kind == ExprKind::Member) {
                if (!Eval(*t.left, f, holder))
                    return false;
            } else {
                if (!f.with)
                    return Fail(kErrObjectRequired);
                holder = *f.with->object;
            }
            if (!holder.IsObject() || !holder.AsObject())
                return Fail(kErrObjectRequired);
            IObject* obj = holder.AsObject();
            if (auto* inst = dynamic_cast<CClassInstance*>(obj)) {
                int32_t m = inst->m_class->FindMember(t.name);
                bool inside = f.me && f.me->m_class == inst->m_class;
                if (m < 0 || (!inst->m_class->members[m].isPublic && !inside))
                    return Fail(kErrNoSuchMember);
                const ClassMember& cm = inst->m_class->members[m];
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
        if (target.kind == ExprKind::Member) {
            if (!Eval(*target.left, f, holder))
                return false;
        } else {
            if (!f.with)
                return Fail(kErrObjectRequired);
            holder = *f.with->object;
        }
        if (!holder.IsObject() || !holder.AsObject())
            return Fail(kErrObjectRequired);
        IObject* obj = holder.AsObject();
        if (auto* inst = dynamic_cast<CClassInstance*>(obj)) {
            int32_t m = inst->m_class->FindMember(target.name);
            bool inside = f.me && f.me->m_class == inst->m_class;
            if (m < 0 || (!inst->m_class->members[m].isPublic && !inside))
                return Fail(kErrNoSuchMember);
            const ClassMember& cm = inst->m_class->members[m];
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
        if (!cur.Append(parts[k].View()))
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

Flow CInterpreter::Exec(const Stmt& s, Frame& f)
{
    switch (s.kind) {
    case StmtKind::Assign: {
        // s = s & a & b on a string nobody else holds appends in place, so building a
        // string in a loop stays linear.
        const Expr& v = *s.expr;
        if (!s.isSet && v.kind == ExprKind::Binary && v.op == BinOp::Concat && s.target->kind == ExprKind::Name &&
            !s.target->isConst) {
            const Expr* chain[32];
            size_t n = 0;
            const Expr* leftmost = &v;
            while (leftmost->kind == ExprKind::Binary && leftmost->op == BinOp::Concat && n < 32) {
                chain[n++] = leftmost->right.get();
                leftmost = leftmost->left.get();
            }
            if (leftmost->kind == ExprKind::Name && leftmost->ref == s.target->ref &&
                leftmost->slot == s.target->slot && leftmost->global == s.target->global &&
                leftmost->ref != NameRef::Dynamic) {
                Variant* var = VariableRef(*s.target, f);
                if (var && var->IsString())
                    return AppendInPlace(*s.target, f, chain, n);
            }
        }
        Variant value;
        if (!Eval(v, f, value))
            return Flow::Error;
        return Assign(*s.target, f, std::move(value), s.isSet) ? Flow::Normal : Flow::Error;
    }
    case StmtKind::Call: {
        Variant ignored;
        const Expr& e = *s.expr;
        if (e.kind == ExprKind::Name && (e.ref == NameRef::Local || e.ref == NameRef::Global ||
                                         e.ref == NameRef::RefParam || e.ref == NameRef::Field)) {
            // A variable alone on a line calls its object's default method, if any.
            Variant* var = VariableRef(e, f);
            if (var && var->IsObject())
                return IndexValue(*var, {}, f, ignored) ? Flow::Normal : Flow::Error;
            return FailFlow(kErrTypeMismatch);
        }
        return Eval(e, f, ignored) ? Flow::Normal : Flow::Error;
    }
    case StmtKind::If: {
        for (size_t i = 0; i < s.conds.size(); ++i) {
            bool t = false;
            if (!Truth(*s.conds[i], f, t))
                return Flow::Error;
            if (t)
                return ExecBlock(s.blocks[i], f);
        }
        if (s.blocks.size() > s.conds.size())
            return ExecBlock(s.blocks.back(), f);
        return Flow::Normal;
    }
    case StmtKind::For: return ExecFor(s, f);
    case StmtKind::ForEach: return ExecForEach(s, f);
    case StmtKind::Do: return ExecDo(s, f);
    case StmtKind::Select: return ExecSelect(s, f);
    case StmtKind::ReDim: return ExecReDim(s, f);
    case StmtKind::Erase: {
        for (const auto& e : s.erases) {
            Variant* var = VariableRef(*e, f);
            if (!var)
                return FailFlow(kErrVariableUndefined);
            if (!var->IsArray())
                return FailFlow(kErrTypeMismatch);
            SafeArray* arr = var->MutableArray();
            if (arr->IsLocked())
                return FailFlow(kErrArrayLocked);
            if (arr->IsFixed()) {
                for (auto& item : arr->Items())
                    item = arr->ElementType() == VarType::String ? Variant(VString(u"")) : Variant();
            } else {
                arr->Clear();
            }
        }
        return Flow::Normal;
    }
    case StmtKind::With: {
        Variant obj;
        if (!Eval(*s.target, f, obj))
            return Flow::Error;
        if (!obj.IsObject())
            return FailFlow(kErrObjectRequired);
        WithLink link{&obj, f.with};
        f.with = &link;
        Flow fl = ExecBlock(s.blocks[0], f);
        f.with = link.prev;
        return fl;
    }
    case StmtKind::Exit:
        switch (s.exitKind) {
        case ExitKind::Do: return Flow::ExitDo;
        case ExitKind::For: return Flow::ExitFor;
        default: return Flow::ExitProc;
        }
    case StmtKind::OnErrorResume:
        f.resumeNext = true;
        ClearErr();
        return Flow::Normal;
    case StmtKind::OnErrorGoto0:
        f.resumeNext = false;
        ClearErr();
        return Flow::Normal;
    case StmtKind::Randomize: {
        double seed;
        if (s.expr) {
            Variant v;
            if (!Eval(*s.expr, f, v))
                return Flow::Error;
            Status st = ToDouble(v, seed);
            if (st.Failed())
                return FailFlow(std::move(st));
        } else {
            seed = static_cast<double>(std::time(nullptr) % 86400);
        }
        // Mix the seed into the middle bits of the generator state the way VBScript does.
        float fs = static_cast<float>(seed);
        uint32_t bits;
        static_assert(sizeof bits == sizeof fs);
        std::memcpy(&bits, &fs, sizeof bits);
        uint32_t mixed = ((bits >> 16) ^ (bits & 0xFFFF)) << 8;
        m_rndSeed = (m_rndSeed & 0xFF0000FFu) | (mixed & 0x00FFFF00u);
        return Flow::Normal;
    }
    case StmtKind::Const:
    case StmtKind::Nop: return Flow::Normal;
    }
    return Flow::Normal;
}

Flow CInterpreter::ExecDo(const Stmt& s, Frame& f)
{
    for (;;) {
        if (s.loopTest == LoopTest::WhileBefore || s.loopTest == LoopTest::UntilBefore) {
            bool t = false;
            if (!Truth(*s.expr, f, t))
                return Flow::Error;
            if (t != (s.loopTest == LoopTest::WhileBefore))
                return Flow::Normal;
        }
        Flow fl = ExecBlock(s.blocks[0], f);
        if (fl == Flow::ExitDo)
            return Flow::Normal;
        if (fl != Flow::Normal)
            return fl;
        if (s.loopTest == LoopTest::WhileAfter || s.loopTest == LoopTest::UntilAfter) {
            bool t = false;
            if (!Truth(*s.expr, f, t))
                return Flow::Error;
            if (t != (s.loopTest == LoopTest::WhileAfter))
                return Flow::Normal;
        }
        if (!CheckStep())
            return Flow::Error;
    }
}

Flow CInterpreter::ExecFor(const Stmt& s, Frame& f)
{
    Variant start;
    Variant end;
    Variant step = Variant::FromInteger(1);
    if (!Eval(*s.expr, f, start) || !Eval(*s.expr2, f, end))
        return Flow::Error;
    if (s.expr3 && !Eval(*s.expr3, f, step))
        return Flow::Error;
    for (Variant* v : {&start, &end, &step}) {
        if (v->IsObject()) {
            Variant val;
            Status st = GetValue(*v, val);
            if (st.Failed())
                return FailFlow(std::move(st));
            *v = std::move(val);
        }
        if (v->IsNull() || v->IsArray() || v->Type() == VarType::Error)
            return FailFlow(v->IsNull() ? kErrInvalidUseOfNull : kErrTypeMismatch);
        if (v->IsString()) {
            double d = 0;
            Status st = ToDouble(*v, d);
            if (st.Failed())
                return FailFlow(std::move(st));
            *v = Variant(d);
        }
    }
    Variant* var = VariableRef(*s.target, f);
    if (!var)
        return FailFlow(kErrInvalidForControl);
    bool integral = (start.Type() == VarType::Integer || start.Type() == VarType::Long) &&
                    (end.Type() == VarType::Integer || end.Type() == VarType::Long) &&
                    (step.Type() == VarType::Integer || step.Type() == VarType::Long);
    if (integral) {
        int64_t i = start.Type() == VarType::Integer ? start.AsInteger() : start.AsLong();
        int64_t e = end.Type() == VarType::Integer ? end.AsInteger() : end.AsLong();
        int64_t st = step.Type() == VarType::Integer ? step.AsInteger() : step.AsLong();
        bool wide = start.Type() == VarType::Long || step.Type() == VarType::Long;
        *var = wide ? Variant(static_cast<int32_t>(i)) : Variant::FromInteger(static_cast<int16_t>(i));
        for (;;) {
            if (st >= 0 ? i > e : i < e)
                return Flow::Normal;
            Flow fl = ExecBlock(s.blocks[0], f);
            if (fl == Flow::ExitFor)
                return Flow::Normal;
            if (fl != Flow::Normal)
                return fl;
            if (!CheckStep())
                return Flow::Error;
            var = VariableRef(*s.target, f);
            if (var->Type() == VarType::Integer)
                i = var->AsInteger();
            else if (var->Type() == VarType::Long)
                i = var->AsLong();
            else {
                Variant next;
                Status stt = ApplyBinary(BinOp::Add, *var, step, next);
                if (stt.Failed())
                    return FailFlow(std::move(stt));
                *var = std::move(next);
                double d = 0;
                if (ToDouble(*var, d).Failed())
                    return FailFlow(kErrTypeMismatch);
                if (st >= 0 ? d > static_cast<double>(e) : d < static_cast<double>(e))
                    return Flow::Normal;
                i = static_cast<int64_t>(d) - st;
            }
            i += st;
            if (var->Type() == VarType::Integer && i >= -32768 && i <= 32767)
                *var = Variant::FromInteger(static_cast<int16_t>(i));
            else if (i >= INT32_MIN && i <= INT32_MAX)
                *var = Variant(static_cast<int32_t>(i));
            else
                return FailFlow(kErrOverflow);
        }
    }
    *var = start;
    double stepValue = 0;
    double endValue = 0;
    if (ToDouble(step, stepValue).Failed() || ToDouble(end, endValue).Failed())
        return FailFlow(kErrTypeMismatch);
    for (;;) {
        double cur = 0;
        Status st = ToDouble(*var, cur);
        if (st.Failed())
            return FailFlow(std::move(st));
        if (stepValue >= 0 ? cur > endValue : cur < endValue)
            return Flow::Normal;
        Flow fl = ExecBlock(s.blocks[0], f);
        if (fl == Flow::ExitFor)
            return Flow::Normal;
        if (fl != Flow::Normal)
            return fl;
        if (!CheckStep())
            return Flow::Error;
        var = VariableRef(*s.target, f);
        Variant next;
        st = ApplyBinary(BinOp::Add, *var, step, next);
        if (st.Failed())
            return FailFlow(std::move(st));
        *var = std::move(next);
    }
}

Flow CInterpreter::ExecForEach(const Stmt& s, Frame& f)
{
    Variant coll;
    if (!Eval(*s.expr, f, coll))
        return Flow::Error;
    Variant* var = VariableRef(*s.target, f);
    if (!var)
        return FailFlow(kErrInvalidForControl);
    if (coll.IsArray()) {
        Ref<SafeArray> arr = Ref<SafeArray>::Share(coll.SharedArray());
        arr->Lock();
        Flow result = Flow::Normal;
        for (size_t i = 0; i < arr->Count(); ++i) {
            *VariableRef(*s.target, f) = arr->Item(i);
            Flow fl = ExecBlock(s.blocks[0], f);
            if (fl == Flow::ExitFor)
                break;
            if (fl != Flow::Normal) {
                result = fl;
                break;
            }
            if (!CheckStep()) {
                result = Flow::Error;
                break;
            }
        }
        arr->Unlock();
        return result;
    }
    if (!coll.IsObject())
        return FailFlow(kErrNotCollection);
    if (!coll.AsObject())
        return FailFlow(kErrObjectRequired);
    EnumeratorPtr en;
    Status st = coll.AsObject()->NewEnum(en);
    if (st.Failed() || !en)
        return FailFlow(st.Failed() ? std::move(st) : Status(kErrNotCollection));
    Variant item;
    while (en->Next(item)) {
        *VariableRef(*s.target, f) = std::move(item);
        item = Variant();
        Flow fl = ExecBlock(s.blocks[0], f);
        if (fl == Flow::ExitFor)
            return Flow::Normal;
        if (fl != Flow::Normal)
            return fl;
        if (!CheckStep())
            return Flow::Error;
    }
    return Flow::Normal;
}

Flow CInterpreter::ExecSelect(const Stmt& s, Frame& f)
{
    Variant subject;
    if (!Eval(*s.target, f, subject))
        return Flow::Error;
    if (subject.IsObject()) {
        Variant v;
        Status st = GetValue(subject, v);
        if (st.Failed())
            return FailFlow(std::move(st));
        subject = std::move(v);
    }
    auto test = [&](BinOp op, const Expr& e, bool& match) -> bool {
        Variant v;
        if (!Eval(e, f, v))
            return false;
        Variant r;
        Status st = ApplyBinary(op, subject, v, r);
        if (st.Failed())
            return Fail(std::move(st));
        match = r.Type() == VarType::Boolean && r.AsBool();
        return true;
    };
    for (const auto& c : s.cases) {
        bool match = c.items.empty();
        for (const auto& item : c.items) {
            if (item.kind == CaseClause::Item::Value) {
                if (!test(BinOp::Eq, *item.a, match))
                    return Flow::Error;
            } else if (item.kind == CaseClause::Item::Is) {
                if (!test(item.op, *item.a, match))
                    return Flow::Error;
            } else {
                bool lo = false;
                bool hi = false;
                if (!test(BinOp::Ge, *item.a, lo) || !test(BinOp::Le, *item.b, hi))
                    return Flow::Error;
                match = lo && hi;
            }
            if (match)
                break;
        }
        if (match)
            return ExecBlock(c.body, f);
    }
    return Flow::Normal;
}

Flow CInterpreter::ExecReDim(const Stmt& s, Frame& f)
{
    for (const auto& item : s.redims) {
        std::vector<ArrayBound> bounds;
        for (const auto& b : item.bounds) {
            Variant v;
            if (!Eval(*b, f, v))
                return Flow::Error;
            int32_t upper = 0;
            Status st = ToLong(v, upper);
            if (st.Failed())
                return FailFlow(std::move(st));
            if (upper < -1)
                return FailFlow(kErrSubscript);
            bounds.push_back({0, upper});
        }
        Variant* var = VariableRef(*item.target, f);
        if (!var)
            return FailFlow(kErrVariableUndefined);
        if (var->IsArray()) {
            SafeArray* arr = var->MutableArray();
            Status st = arr->Redim(bounds, s.preserve);
            if (st.Failed())
                return FailFlow(std::move(st));
            continue;
        }
        uint64_t count = 1;
        for (const auto& b : bounds) {
            count *= static_cast<uint64_t>(b.upper - b.lower + 1);
            if (count > SafeArray::kMaxElements)
                return FailFlow(kErrOutOfMemory);
        }
        *var = Variant(SafeArray::Create(bounds));
    }
    return Flow::Normal;
}

} // namespace cva::vbs::engine

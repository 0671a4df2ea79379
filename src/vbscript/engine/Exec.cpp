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
                                         e.ref == NameRef::Implicit || e.ref == NameRef::RefParam ||
                                         e.ref == NameRef::Field)) {
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
        Status st = SafeArray::CheckSize(bounds);
        if (st.Failed())
            return FailFlow(std::move(st));
        *var = Variant(SafeArray::Create(bounds));
    }
    return Flow::Normal;
}

} // namespace cva::vbs::engine

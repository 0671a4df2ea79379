#include "vbscript/engine/Compiler.h"

#include "platform/text/Unicode.h"
#include "vbscript/engine/Interpreter.h"
#include "vbscript/engine/Operators.h"

#include <functional>

namespace cva::vbs::engine {

namespace {

class CResolver {
public:
    CResolver(CInterpreter& in, Unit& unit, CompileError& error)
        : m_in(in), m_unit(unit), m_error(error)
    {
    }

    bool Run();
    // A unit that does not compile is thrown away: what it entered in the interpreter's
    // tables goes with it, or a call by name would reach its freed procedures.
    void Undo();

private:
    bool Fail(int32_t number, uint32_t line, uint32_t column)
    {
        if (m_error.number == 0) {
            m_error.number = number;
            m_error.line = line;
            m_error.column = column;
        }
        return false;
    }
    bool DeclareGlobals();
    // The table entries DeclareGlobals changes, each noted before it changes.
    void SetName(const std::u16string& key, GlobalName name);
    template <class T> void SetSlot(std::vector<T>& table, size_t index, T value);
    bool SetupClass(ClassDef& cls);
    bool ResolveProc(ProcDef& p);
    bool ResolveBlock(Block& b);
    bool ResolveStmt(Stmt& s);
    bool ResolveExpr(ExprPtr& e);
    bool ResolveName(Expr& e, bool forWrite);
    int32_t LocalSlot(std::u16string_view name) const;
    int32_t AddLocal(std::u16string_view name, int32_t global = -1);
    void BindImplicit(Expr& e, int32_t slot);
    void Fold(ExprPtr& e);

    CInterpreter& m_in;
    Unit& m_unit;
    CompileError& m_error;
    ProcDef* m_proc = nullptr;   // procedure whose locals are in scope
    ClassDef* m_class = nullptr; // class whose members are in scope
    bool m_explicit = false;
    std::vector<std::function<void()>> m_undo; // latest last
};

void CResolver::Undo()
{
    for (auto it = m_undo.rbegin(); it != m_undo.rend(); ++it)
        (*it)();
    m_undo.clear();
}

void CResolver::SetName(const std::u16string& key, GlobalName name)
{
    auto it = m_in.m_names.find(key);
    if (it == m_in.m_names.end()) {
        m_undo.push_back([this, key] { m_in.m_names.erase(key); });
        m_in.m_names.emplace(key, name);
    } else {
        m_undo.push_back([this, key, before = it->second] { m_in.m_names[key] = before; });
        it->second = name;
    }
}

template <class T> void CResolver::SetSlot(std::vector<T>& table, size_t index, T value)
{
    if (index == table.size()) {
        m_undo.push_back([&table] { table.pop_back(); });
        table.push_back(value);
    } else {
        m_undo.push_back([&table, index, before = table[index]] { table[index] = before; });
        table[index] = value;
    }
}

int32_t CResolver::LocalSlot(std::u16string_view name) const
{
    if (!m_proc)
        return -1;
    for (size_t i = 0; i < m_proc->localNames.size(); ++i)
        if (text::EqualsNoCase(m_proc->localNames[i], name))
            return static_cast<int32_t>(i);
    return -1;
}

int32_t CResolver::AddLocal(std::u16string_view name, int32_t global)
{
    m_proc->localNames.emplace_back(name);
    m_proc->localGlobals.push_back(global);
    return static_cast<int32_t>(m_proc->localNames.size() - 1);
}

// An undeclared name in a procedure is a variable of the procedure, unless a global of
// that name exists by the time the statement runs (top-level code assigned it first).
void CResolver::BindImplicit(Expr& e, int32_t slot)
{
    int32_t global = m_proc->localGlobals[slot];
    e.ref = NameRef::Implicit;
    e.slot = slot;
    e.item = global;
    e.global = &m_in.m_globals[global];
}

bool CResolver::DeclareGlobals()
{
    for (auto& d : m_unit.decls) {
        const GlobalName* existing = m_in.LookupGlobal(d.name);
        int32_t slot;
        if (existing && existing->kind == GlobalName::Var) {
            slot = existing->index;
            if (d.isConst)
                SetSlot<uint8_t>(m_in.m_globalConst, static_cast<size_t>(slot), 1);
        } else if (existing) {
            return Fail(kErrNameRedefined, d.line, d.column);
        } else {
            slot = m_in.AddGlobal(d.name, d.isConst);
        }
        m_in.m_globalLive[slot] = 1;
        Variant* ptr = &m_in.m_globals[slot];
        if (d.isConst)
            m_unit.globalConsts.emplace_back(ptr, nullptr); // its expression once resolved
        else if (d.isArray)
            m_unit.globalArrays.emplace_back(ptr, d.uppers);
    }
    for (auto& p : m_unit.procs) {
        std::u16string key = text::ToUpper(p->name);
        auto it = m_in.m_names.find(key);
        if (it != m_in.m_names.end() && it->second.kind == GlobalName::Proc) {
            SetSlot(m_in.m_procs, static_cast<size_t>(it->second.index), p.get());
            continue;
        }
        if (it != m_in.m_names.end()) {
            // A variable of an earlier unit may be replaced; one of this unit may not.
            for (const auto& d : m_unit.decls)
                if (text::EqualsNoCase(d.name, p->name))
                    return Fail(kErrNameRedefined, p->line, p->column);
            if (it->second.kind == GlobalName::Class)
                return Fail(kErrNameRedefined, p->line, p->column);
        }
        SetSlot(m_in.m_procs, m_in.m_procs.size(), p.get());
        SetName(key, GlobalName{GlobalName::Proc, static_cast<int32_t>(m_in.m_procs.size() - 1)});
    }
    for (auto& c : m_unit.classes) {
        std::u16string key = text::ToUpper(c->name);
        auto it = m_in.m_names.find(key);
        if (it != m_in.m_names.end() && it->second.kind == GlobalName::Class) {
            SetSlot(m_in.m_classes, static_cast<size_t>(it->second.index), c.get());
        } else {
            SetSlot(m_in.m_classes, m_in.m_classes.size(), c.get());
            SetName(key, GlobalName{GlobalName::Class, static_cast<int32_t>(m_in.m_classes.size() - 1)});
        }
        if (!SetupClass(*c))
            return false;
    }
    return true;
}

bool CResolver::SetupClass(ClassDef& cls)
{
    auto memberFor = [&](const std::u16string& name, bool isPublic) -> ClassMember& {
        int32_t i = cls.FindMember(name);
        if (i >= 0)
            return cls.members[i];
        ClassMember m;
        m.name = name;
        m.isPublic = isPublic;
        cls.members.push_back(std::move(m));
        return cls.members.back();
    };
    for (size_t i = 0; i < cls.fields.size(); ++i) {
        ClassMember& m = memberFor(cls.fields[i].name, cls.fields[i].isPublic);
        m.field = static_cast<int32_t>(i);
    }
    for (auto& p : cls.procs) {
        if (text::EqualsNoCase(p->name, u"Class_Initialize") && p->kind == ProcKind::Sub) {
            cls.initialize = p.get();
            continue;
        }
        if (text::EqualsNoCase(p->name, u"Class_Terminate") && p->kind == ProcKind::Sub) {
            cls.terminate = p.get();
            continue;
        }
        int32_t existing = cls.FindMember(p->name);
        ClassMember& m = memberFor(p->name, p->isPublic);
        bool clash = m.field >= 0 || m.method;
        switch (p->kind) {
        case ProcKind::Sub:
        case ProcKind::Function:
            clash = clash || m.get || m.let || m.set;
            m.method = p.get();
            break;
        case ProcKind::PropertyGet:
            clash = clash || m.get;
            m.get = p.get();
            break;
        case ProcKind::PropertyLet:
            clash = clash || m.let;
            m.let = p.get();
            break;
        case ProcKind::PropertySet:
            clash = clash || m.set;
            m.set = p.get();
            break;
        }
        if (clash && existing >= 0)
            return Fail(kErrNameRedefined, p->line, p->column);
        if (p->isPublic)
            m.isPublic = true;
        if (p->isDefault) {
            int32_t idx = cls.FindMember(p->name);
            if (cls.defaultMember >= 0 && cls.defaultMember != idx)
                return Fail(kErrMultipleDefault, p->line, p->column);
            cls.defaultMember = idx;
        }
    }
    return true;
}

bool CResolver::ResolveProc(ProcDef& p)
{
    m_proc = &p;
    p.localNames.clear();
    p.localGlobals.clear();
    for (const auto& prm : p.params)
        AddLocal(prm.name);
    if (p.kind == ProcKind::Function || p.kind == ProcKind::PropertyGet)
        p.returnSlot = AddLocal(p.name);
    for (auto& d : p.decls) {
        if (LocalSlot(d.name) >= 0 && !(p.returnSlot >= 0 && text::EqualsNoCase(d.name, p.name)))
            return Fail(kErrNameRedefined, d.line, d.column);
        int32_t slot = AddLocal(d.name);
        if (d.isConst) {
            if (!ResolveExpr(d.constValue))
                return false;
            p.consts.emplace_back(slot, d.constValue.get());
        } else if (d.isArray) {
            p.arrays.push_back(ArrayDecl{slot, d.uppers});
        }
    }
    bool ok = ResolveBlock(p.body);
    m_proc = nullptr;
    return ok;
}

bool CResolver::Run()
{
    m_explicit = m_unit.explicitVars;
    size_t nextConst = m_unit.globalConsts.size();
    if (!DeclareGlobals())
        return false;
    // Folding may replace a constant's expression, so the unit takes it only once resolved.
    for (auto& d : m_unit.decls) {
        if (!d.isConst)
            continue;
        if (!ResolveExpr(d.constValue))
            return false;
        m_unit.globalConsts[nextConst++].second = d.constValue.get();
    }
    // Top-level code first: the variables it creates without Dim are globals that the
    // procedures see.
    if (m_unit.scopeProc) {
        m_proc = m_unit.scopeProc;
        m_class = m_proc->owner;
    }
    bool ok = ResolveBlock(m_unit.body);
    m_proc = nullptr;
    m_class = nullptr;
    if (!ok)
        return false;
    for (auto& p : m_unit.procs)
        if (!ResolveProc(*p))
            return false;
    for (auto& c : m_unit.classes) {
        m_class = c.get();
        for (auto& p : c->procs)
            if (!ResolveProc(*p))
                return false;
        m_class = nullptr;
    }
    return true;
}

bool CResolver::ResolveBlock(Block& b)
{
    for (auto& s : b)
        if (!ResolveStmt(*s))
            return false;
    return true;
}

bool CResolver::ResolveStmt(Stmt& s)
{
    if (s.kind == StmtKind::For || s.kind == StmtKind::ForEach) {
        if (!ResolveName(*s.target, true))
            return false;
    } else if (s.target && !ResolveExpr(s.target)) {
        return false;
    }
    if (s.kind == StmtKind::Assign && s.target->kind == ExprKind::Name && s.target->isConst)
        return Fail(kErrIllegalAssignment, s.line, s.column);
    for (ExprPtr* e : {&s.expr, &s.expr2, &s.expr3})
        if (*e && !ResolveExpr(*e))
            return false;
    for (auto& c : s.conds)
        if (!ResolveExpr(c))
            return false;
    for (auto& b : s.blocks)
        if (!ResolveBlock(b))
            return false;
    for (auto& c : s.cases) {
        for (auto& item : c.items) {
            if (item.a && !ResolveExpr(item.a))
                return false;
            if (item.b && !ResolveExpr(item.b))
                return false;
        }
        if (!ResolveBlock(c.body))
            return false;
    }
    for (auto& r : s.redims) {
        if (!ResolveName(*r.target, true))
            return false;
        for (auto& e : r.bounds)
            if (!ResolveExpr(e))
                return false;
    }
    for (auto& e : s.erases)
        if (!ResolveName(*e, false))
            return false;
    return true;
}

bool CResolver::ResolveName(Expr& e, bool forWrite)
{
    const std::u16string& name = e.name;
    if (m_proc) {
        int32_t slot = LocalSlot(name);
        if (slot >= 0 && m_proc->localGlobals[slot] >= 0) {
            BindImplicit(e, slot);
            return true;
        }
        if (slot >= 0) {
            e.slot = slot;
            e.ref = slot < static_cast<int32_t>(m_proc->params.size()) ? NameRef::RefParam : NameRef::Local;
            for (const auto& [cslot, value] : m_proc->consts)
                if (cslot == slot) {
                    e.isConst = true;
                    if (value->kind == ExprKind::Const && !forWrite) {
                        e.kind = ExprKind::Const;
                        e.value = value->value;
                    }
                }
            return true;
        }
    }
    if (m_class) {
        int32_t m = m_class->FindMember(name);
        if (m >= 0) {
            const ClassMember& cm = m_class->members[m];
            if (cm.field >= 0) {
                e.ref = NameRef::Field;
                e.slot = cm.field;
            } else {
                e.ref = NameRef::ClassProc;
                e.slot = m;
            }
            return true;
        }
    }
    bool implicitLocal = m_proc && !m_unit.scopeProc;
    if (const GlobalName* g = m_in.LookupGlobal(name)) {
        switch (g->kind) {
        case GlobalName::Var:
            if (implicitLocal && !m_in.m_globalLive[g->index]) {
                BindImplicit(e, AddLocal(name, g->index));
                return true;
            }
            e.ref = NameRef::Global;
            e.slot = g->index;
            e.global = &m_in.m_globals[g->index];
            e.isConst = m_in.m_globalConst[g->index] != 0;
            if (e.isConst && !forWrite) {
                for (const auto& d : m_unit.decls)
                    if (d.isConst && text::EqualsNoCase(d.name, name) && d.constValue &&
                        d.constValue->kind == ExprKind::Const) {
                        e.kind = ExprKind::Const;
                        e.value = d.constValue->value;
                    }
            }
            return true;
        case GlobalName::Proc:
            e.ref = NameRef::Proc;
            e.slot = g->index;
            return true;
        case GlobalName::Class:
            // A variable may not take a class's name.
            return Fail(kErrNameRedefined, e.line, e.column);
        }
    }
    Variant constant;
    if (!forWrite && FindBuiltinConstant(name, constant)) {
        e.kind = ExprKind::Const;
        e.value = constant;
        e.isConst = true;
        return true;
    }
    int32_t b = FindBuiltin(name);
    if (b >= 0) {
        e.ref = NameRef::Builtin;
        e.slot = b;
        return true;
    }
    for (size_t i = 0; i < m_in.m_items.size(); ++i) {
        const NamedItem& item = m_in.m_items[i];
        if (text::EqualsNoCase(item.name, name)) {
            e.ref = NameRef::NamedItem;
            e.item = static_cast<int32_t>(i);
            return true;
        }
    }
    for (size_t i = 0; i < m_in.m_items.size(); ++i) {
        const NamedItem& item = m_in.m_items[i];
        if (!item.globalMembers || !item.object)
            continue;
        DispId id = item.object->GetMemberId(name);
        if (id != kDispIdUnknown) {
            e.ref = NameRef::HostMember;
            e.item = static_cast<int32_t>(i);
            e.slot = id;
            return true;
        }
    }
    if (m_explicit) {
        e.ref = NameRef::Dynamic;
        return true;
    }
    if (implicitLocal) {
        // The global's slot is reserved now, so that top-level code run later (this
        // unit's or ExecuteGlobal's) creates the very variable this procedure then sees.
        BindImplicit(e, AddLocal(name, m_in.AddGlobal(name, false)));
        return true;
    }
    int32_t slot = m_in.AddGlobal(name, false);
    e.ref = NameRef::Global;
    e.slot = slot;
    e.global = &m_in.m_globals[slot];
    return true;
}

bool CResolver::ResolveExpr(ExprPtr& ep)
{
    Expr& e = *ep;
    switch (e.kind) {
    case ExprKind::Const:
    case ExprKind::New:
    case ExprKind::WithMember:
        return true;
    case ExprKind::Me:
        if (!m_class)
            return Fail(kErrInvalidUseOfMe, e.line, e.column);
        return true;
    case ExprKind::Name:
        return ResolveName(e, false);
    case ExprKind::Member:
        return ResolveExpr(e.left);
    case ExprKind::Call:
        if (!ResolveExpr(e.left))
            return false;
        if (m_proc && e.left->kind == ExprKind::Name && e.left->ref == NameRef::Local &&
            e.left->slot == m_proc->returnSlot && m_proc->returnSlot >= 0 && !e.args.empty()) {
            // Fib(n - 1) inside Function Fib is a recursive call, not the return value.
            if (m_proc->owner) {
                e.left->ref = NameRef::ClassProc;
                e.left->slot = m_proc->owner->FindMember(m_proc->name);
            } else if (const GlobalName* g = m_in.LookupGlobal(m_proc->name); g && g->kind == GlobalName::Proc) {
                e.left->ref = NameRef::Proc;
                e.left->slot = g->index;
            }
        }
        for (auto& a : e.args)
            if (!ResolveExpr(a))
                return false;
        return true;
    case ExprKind::Binary:
        if (!ResolveExpr(e.left) || !ResolveExpr(e.right))
            return false;
        Fold(ep);
        return true;
    case ExprKind::Neg:
    case ExprKind::Not:
        if (!ResolveExpr(e.left))
            return false;
        Fold(ep);
        return true;
    }
    return true;
}

void CResolver::Fold(ExprPtr& ep)
{
    Expr& e = *ep;
    Variant out;
    if (e.kind == ExprKind::Binary) {
        if (e.left->kind != ExprKind::Const || e.right->kind != ExprKind::Const || e.op == BinOp::Is)
            return;
        if (e.left->value.IsObject() || e.right->value.IsObject())
            return;
        // Comparisons keep their literal operands for the literal conversion rule.
        if (e.op >= BinOp::Eq && e.op <= BinOp::Ge)
            return;
        // Numbers as text and text as numbers depend on the locale SetLocale sets at run time.
        bool strings = e.left->value.IsString() && e.right->value.IsString();
        if (strings ? e.op != BinOp::Concat && e.op != BinOp::Add
                    : e.op == BinOp::Concat || e.left->value.IsString() || e.right->value.IsString())
            return;
        if (ApplyBinary(e.op, e.left->value, e.right->value, out).Failed())
            return;
    } else {
        if (e.left->kind != ExprKind::Const || e.left->value.IsObject() || e.left->value.IsString())
            return;
        Status st = e.kind == ExprKind::Neg ? ApplyNegate(e.left->value, out) : ApplyNot(e.left->value, out);
        if (st.Failed())
            return;
    }
    bool parens = e.wrappedInParens;
    auto folded = std::make_unique<Expr>();
    folded->kind = ExprKind::Const;
    folded->line = e.line;
    folded->column = e.column;
    folded->value = std::move(out);
    folded->wrappedInParens = parens;
    ep = std::move(folded);
}

} // namespace

int32_t ClassDef::FindMember(std::u16string_view name) const
{
    for (size_t i = 0; i < members.size(); ++i)
        if (text::EqualsNoCase(members[i].name, name))
            return static_cast<int32_t>(i);
    return -1;
}

bool ResolveUnit(CInterpreter& in, Unit& unit, CompileError& error)
{
    CResolver r(in, unit, error);
    if (r.Run())
        return true;
    r.Undo();
    return false;
}

} // namespace cva::vbs::engine

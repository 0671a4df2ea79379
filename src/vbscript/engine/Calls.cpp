#include "vbscript/engine/Interpreter.h"

#include "platform/text/Unicode.h"
#include "vbscript/MemoryBudget.h"
#include "vbscript/engine/StackBudget.h"

namespace cva::vbs::engine {

namespace {

// References to array elements passed ByRef keep their arrays alive and locked for the
// duration of the call.
struct LockedArrays {
    std::vector<Ref<SafeArray>> arrays;
    ~LockedArrays()
    {
        for (auto& a : arrays)
            a->Unlock();
    }
};

} // namespace

void CInterpreter::Beat()
{
    if (!m_heartbeat || !m_stackBase)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now < m_nextBeat)
        return;
    m_nextBeat = now + m_beatInterval;
    m_heartbeat(std::chrono::duration_cast<std::chrono::milliseconds>(now - m_runStart));
}

void CInterpreter::BeginOutermost(const char* stackBase)
{
    m_stackBase = stackBase;
    m_runStart = std::chrono::steady_clock::now();
    m_nextBeat = m_runStart + m_beatInterval;
}

void CInterpreter::EndOutermost()
{
    m_stackBase = nullptr;
    // An interrupt stops the call it reached, not the next one the host makes.
    m_interrupt.store(false);
}

bool CInterpreter::CheckStep()
{
    if (m_heartbeat && m_stepsToClock-- == 0) {
        m_stepsToClock = 127;
        Beat();
    }
    if (m_interrupt.load(std::memory_order_relaxed) || (m_stepLimit && ++m_steps > m_stepLimit)) {
        m_aborting = true;
        return Fail(InterruptedStatus());
    }
    return true;
}

bool CInterpreter::EnterNested()
{
    if (m_depth >= kMaxDepth || StackBudgetSpent(m_stackBase))
        return Fail(kErrOutOfStack);
    ++m_depth;
    return true;
}

bool CInterpreter::SetupFrameArrays(const ProcDef& p, Frame& f)
{
    for (const auto& [slot, value] : p.consts)
        if (!Eval(*value, f, f.locals[slot]))
            return false;
    for (const auto& a : p.arrays) {
        std::vector<ArrayBound> bounds;
        for (int32_t u : a.uppers)
            bounds.push_back({0, u});
        if (Status st = SafeArray::CheckSize(bounds); st.Failed())
            return Fail(std::move(st));
        auto arr = SafeArray::Create(bounds);
        if (!a.uppers.empty())
            arr->SetFixed(true);
        f.locals[a.slot] = Variant(std::move(arr));
    }
    return true;
}

bool CInterpreter::CallProc(const ProcDef& p, CClassInstance* me, std::span<const ExprPtr> args, Frame& caller,
                            Variant& result, Variant* letValue)
{
    size_t n = args.size() + (letValue ? 1 : 0);
    if (n != p.params.size())
        return Fail(kErrWrongArgCount);
    if (!CheckStep())
        return false;
    CNesting nesting(*this);
    if (!nesting.Entered())
        return false;
    size_t localCount = p.localNames.size();
    if (m_stackTop + localCount > kStackSize || m_refTop + n > kStackSize)
        return Fail(kErrOutOfStack);
    if (!m_stack) {
        m_stack = std::make_unique<Variant[]>(kStackSize);
        m_refStack = std::make_unique<Variant*[]>(kStackSize);
    }
    Variant* locals = &m_stack[m_stackTop];
    Variant** refs = &m_refStack[m_refTop];
    m_stackTop += localCount;
    m_refTop += n;
    LockedArrays locked;
    bool ok = true;
    for (size_t i = 0; i < args.size() && ok; ++i) {
        const Expr& a = *args[i];
        if (p.params[i].byRef && !a.wrappedInParens && !a.missing) {
            if (Variant* ref = VariableRef(a, caller)) {
                refs[i] = ref;
                continue;
            }
            if (a.kind == ExprKind::Call && a.left->kind == ExprKind::Name) {
                Variant* var = VariableRef(*a.left, caller);
                if (var && var->IsArray() && a.args.size() == var->AsArray()->Dims() && a.args.size() <= 64) {
                    int32_t idx[64];
                    bool good = true;
                    for (size_t k = 0; k < a.args.size() && good; ++k) {
                        Variant v;
                        good = Eval(*a.args[k], caller, v);
                        if (good) {
                            Status st = ToLong(v, idx[k]);
                            if (st.Failed())
                                good = Fail(std::move(st));
                        }
                    }
                    if (!good) {
                        ok = false;
                        break;
                    }
                    SafeArray* arr = var->MutableArray();
                    Variant* el = arr->At(std::span<const int32_t>(idx, a.args.size()));
                    if (!el) {
                        ok = Fail(kErrSubscript);
                        break;
                    }
                    arr->Lock();
                    locked.arrays.push_back(Ref<SafeArray>::Share(arr));
                    refs[i] = el;
                    continue;
                }
            }
        }
        if (!Eval(a, caller, locals[i])) {
            ok = false;
            break;
        }
        refs[i] = &locals[i];
    }
    Flow fl = Flow::Normal;
    if (ok) {
        if (letValue) {
            locals[n - 1] = std::move(*letValue);
            refs[n - 1] = &locals[n - 1];
        }
        Frame nf;
        nf.locals = locals;
        nf.refs = refs;
        nf.me = me;
        nf.proc = &p;
        ok = SetupFrameArrays(p, nf);
        if (ok) {
            fl = ExecBlock(p.body, nf);
            ok = fl != Flow::Error;
        }
        if (ok && p.returnSlot >= 0)
            result = std::move(locals[p.returnSlot]);
        else
            result.Clear();
    }
    for (size_t i = 0; i < localCount; ++i)
        locals[i].Clear();
    m_stackTop -= localCount;
    m_refTop -= n;
    return ok;
}

bool CInterpreter::CallProcValues(const ProcDef& p, CClassInstance* me, std::span<Variant> args, Variant& result)
{
    if (args.size() != p.params.size())
        return Fail(kErrWrongArgCount);
    if (!CheckStep())
        return false;
    CNesting nesting(*this);
    if (!nesting.Entered())
        return false;
    size_t localCount = p.localNames.size();
    size_t n = args.size();
    if (m_stackTop + localCount > kStackSize || m_refTop + n > kStackSize)
        return Fail(kErrOutOfStack);
    if (!m_stack) {
        m_stack = std::make_unique<Variant[]>(kStackSize);
        m_refStack = std::make_unique<Variant*[]>(kStackSize);
    }
    Variant* locals = &m_stack[m_stackTop];
    Variant** refs = &m_refStack[m_refTop];
    m_stackTop += localCount;
    m_refTop += n;
    for (size_t i = 0; i < n; ++i) {
        if (p.params[i].byRef) {
            refs[i] = &args[i];
        } else {
            locals[i] = args[i];
            refs[i] = &locals[i];
        }
    }
    Frame nf;
    nf.locals = locals;
    nf.refs = refs;
    nf.me = me;
    nf.proc = &p;
    bool ok = SetupFrameArrays(p, nf);
    if (ok)
        ok = ExecBlock(p.body, nf) != Flow::Error;
    if (ok && p.returnSlot >= 0)
        result = std::move(locals[p.returnSlot]);
    else
        result.Clear();
    for (size_t i = 0; i < localCount; ++i)
        locals[i].Clear();
    m_stackTop -= localCount;
    m_refTop -= n;
    return ok;
}

bool CInterpreter::CallBuiltin(int32_t index, std::span<const ExprPtr> args, Frame& f, Variant& out)
{
    const Builtin& b = BuiltinAt(index);
    if (args.size() < b.minArgs || (b.maxArgs != kAnyArgCount && args.size() > b.maxArgs))
        return Fail(kErrWrongArgCount);
    // The usual few arguments stay off the heap; a long Array(...) list goes there.
    Variant onStack[16];
    std::vector<Variant> heap;
    Variant* values = onStack;
    if (args.size() > std::size(onStack)) {
        heap.resize(args.size());
        values = heap.data();
    }
    for (size_t i = 0; i < args.size(); ++i)
        if (!Eval(*args[i], f, values[i]))
            return false;
    Frame* saved = m_currentFrame;
    m_currentFrame = &f;
    out.Clear();
    bool ok = b.fn(*this, std::span<Variant>(values, args.size()), out);
    m_currentFrame = saved;
    // Built-ins make their text as the library's strings and cannot be refused memory
    // on the way; a result that takes what scripts hold past the budget is refused here.
    if (ok && CMemoryBudget::Exceeded()) {
        out.Clear();
        return Fail(kErrOutOfMemory);
    }
    return ok;
}

bool CInterpreter::NewObject(const std::u16string& className, Variant& out)
{
    const GlobalName* g = LookupGlobal(className);
    if (g && g->kind == GlobalName::Class) {
        const ClassDef& cls = *m_classes[g->index];
        auto inst = MakeObject<CClassInstance>(*this, cls);
        Frame f;
        f.me = inst.Get();
        for (size_t i = 0; i < cls.fields.size(); ++i) {
            const FieldDef& fd = cls.fields[i];
            if (fd.isArray) {
                std::vector<ArrayBound> bounds;
                for (int32_t u : fd.uppers)
                    bounds.push_back({0, u});
                if (Status st = SafeArray::CheckSize(bounds); st.Failed())
                    return Fail(std::move(st));
                auto arr = SafeArray::Create(bounds);
                if (!fd.uppers.empty())
                    arr->SetFixed(true);
                inst->m_fields[i] = Variant(std::move(arr));
            }
        }
        if (cls.initialize) {
            Variant ignored;
            if (!CallProcValues(*cls.initialize, inst.Get(), {}, ignored))
                return false;
        }
        inst->m_initialized = true;
        out = Variant(ObjectRef(std::move(inst)));
        return true;
    }
    if (text::EqualsNoCase(className, u"RegExp"))
        return CreateObject(u"VBScript.RegExp", out);
    return Fail(kErrClassNotDefined);
}

bool CInterpreter::CreateObject(std::u16string_view progId, Variant& out)
{
    ObjectRef obj;
    Status st = m_objects.Create(progId, Services(), obj);
    if (st.Failed())
        return Fail(std::move(st));
    out = Variant(std::move(obj));
    return true;
}

bool CInterpreter::ClassInvoke(CClassInstance& inst, int32_t member, uint32_t kind, std::span<Variant> args,
                               Variant& result)
{
    const ClassMember& cm = inst.m_class->members[member];
    bool put = (kind & (kPropertyLet | kPropertySet)) != 0;
    if (cm.field >= 0) {
        Variant& field = inst.m_fields[cm.field];
        if (put) {
            if (args.empty())
                return Fail(kErrWrongArgCount);
            if (args.size() == 1) {
                field = std::move(args[0]);
                return true;
            }
            if (!field.IsArray())
                return Fail(kErrTypeMismatch);
            int32_t idx[64];
            if (args.size() - 1 > 64)
                return Fail(kErrSubscript);
            for (size_t i = 0; i + 1 < args.size(); ++i) {
                Status st = ToLong(args[i], idx[i]);
                if (st.Failed())
                    return Fail(std::move(st));
            }
            Variant* el = field.MutableArray()->At(std::span<const int32_t>(idx, args.size() - 1));
            if (!el)
                return Fail(kErrSubscript);
            *el = std::move(args.back());
            return true;
        }
        if (args.empty()) {
            result = field;
            return true;
        }
        if (field.IsArray()) {
            int32_t idx[64];
            if (args.size() > 64)
                return Fail(kErrSubscript);
            for (size_t i = 0; i < args.size(); ++i) {
                Status st = ToLong(args[i], idx[i]);
                if (st.Failed())
                    return Fail(std::move(st));
            }
            const Variant* el = field.AsArray()->At(std::span<const int32_t>(idx, args.size()));
            if (!el)
                return Fail(kErrSubscript);
            result = *el;
            return true;
        }
        if (field.IsObject() && field.AsObject()) {
            Status st = field.AsObject()->Invoke(kDispIdValue, kind, args, result);
            return st.IsOk() || Fail(std::move(st));
        }
        return Fail(kErrTypeMismatch);
    }
    const ProcDef* p = nullptr;
    if (put)
        p = (kind & kPropertySet) ? cm.set : cm.let;
    else
        p = cm.method ? cm.method : cm.get;
    if (!p) {
        if (put && cm.method)
            return Fail(kErrIllegalAssignment);
        return Fail(kErrNoSuchMember);
    }
    Variant holder(ObjectRef::Share(&inst));
    return CallProcValues(*p, &inst, args, result);
}

void CInterpreter::RunTerminate(CClassInstance& inst)
{
    if (!inst.m_class->terminate || !inst.m_initialized)
        return;
    // Class_Terminate runs even while an error unwinds; keep that error aside.
    Status savedError = std::move(m_error);
    std::u16string savedSource = std::move(m_errorSource);
    bool savedPositioned = m_errorPositioned;
    uint32_t savedLine = m_errorLine;
    uint32_t savedColumn = m_errorColumn;
    m_error = Status();
    m_errorPositioned = false;
    Variant ignored;
    CallProcValues(*inst.m_class->terminate, &inst, {}, ignored);
    m_error = std::move(savedError);
    m_errorSource = std::move(savedSource);
    m_errorPositioned = savedPositioned;
    m_errorLine = savedLine;
    m_errorColumn = savedColumn;
}

CClassInstance::CClassInstance(CInterpreter& in, const ClassDef& cls)
    : m_class(&cls), m_interp(&in), m_alive(in.m_alive), m_fields(cls.fields.size()), m_name(cls.name)
{
    in.m_instances.insert(this);
}

CClassInstance::~CClassInstance()
{
    if (*m_alive)
        m_interp->m_instances.erase(this);
}

DispId CClassInstance::GetMemberId(std::u16string_view name)
{
    if (!*m_alive)
        return kDispIdUnknown;
    int32_t m = m_class->FindMember(name);
    if (m < 0 || !m_class->members[m].isPublic)
        return kDispIdUnknown;
    return m + 1;
}

Status CClassInstance::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    if (!*m_alive)
        return Status(kErrObjectRequired);
    int32_t member = id == kDispIdValue ? m_class->defaultMember : id - 1;
    if (member < 0 || member >= static_cast<int32_t>(m_class->members.size()))
        return Status(kErrNoSuchMember);
    CInterpreter& in = *m_interp;
    if (in.ClassInvoke(*this, member, kind, args, result))
        return Status::Ok();
    Status st = std::move(in.m_error);
    in.m_error = Status();
    in.m_errorPositioned = false;
    return st;
}

void CClassInstance::FinalRelease()
{
    if (!m_terminated && *m_alive && m_initialized && m_class->terminate) {
        m_terminated = true;
        AddRef();
        m_interp->RunTerminate(*this);
        Release();
        return;
    }
    DeleteObject(this);
}

} // namespace cva::vbs::engine

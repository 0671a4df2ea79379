#include "vbscript/engine/Interpreter.h"

#include "platform/text/Unicode.h"
#include "vbscript/NativeObject.h"
#include "vbscript/engine/Compiler.h"
#include "vbscript/engine/Parser.h"
#include "vbscript/objects/StandardObjects.h"

namespace cva::vbs::engine {

namespace {

// The Err object: a view of the interpreter's error state.
class CErrObject final : public IObject {
public:
    explicit CErrObject(CInterpreter& in) : m_in(in) {}

    DispId GetMemberId(std::u16string_view name) override
    {
        static constexpr MemberName kMembers[] = {
            {u"Number", 1}, {u"Description", 2}, {u"Source", 3}, {u"HelpFile", 4},
            {u"HelpContext", 5}, {u"Clear", 6}, {u"Raise", 7},
        };
        return LookupMember(name, kMembers);
    }

    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override
    {
        bool put = IsAssignment(kind);
        if (id == kDispIdValue)
            id = 1;
        switch (id) {
        case 1:
            if (put) {
                int32_t n = 0;
                Status st = ToLong(args.back(), n);
                if (st.Failed())
                    return st;
                m_in.m_errNumber = n;
                return Status::Ok();
            }
            result = Variant(m_in.m_errNumber);
            return Status::Ok();
        case 2:
        case 3:
        case 4: {
            std::u16string& field = id == 2 ? m_in.m_errDescription
                                    : id == 3 ? m_in.m_errSource
                                              : m_in.m_errHelpFile;
            if (put) {
                VString s;
                Status st = ToString(args.back(), s);
                if (st.Failed())
                    return st;
                field = s.Str();
                return Status::Ok();
            }
            result = Variant(VString(field));
            return Status::Ok();
        }
        case 5:
            if (put) {
                return ToLong(args.back(), m_in.m_errHelpContext);
            }
            result = Variant(m_in.m_errHelpContext);
            return Status::Ok();
        case 6:
            m_in.ClearErr();
            return Status::Ok();
        case 7: {
            if (args.empty() || args.size() > 5)
                return Status(kErrWrongArgCount);
            int32_t number = 0;
            Status st = ToLong(args[0], number);
            if (st.Failed())
                return st;
            if (number == 0)
                return Status(kErrInvalidCall);
            auto present = [&](size_t i) {
                return i < args.size() &&
                       !(args[i].Type() == VarType::Error && args[i].AsError() == static_cast<int32_t>(0x80020004u));
            };
            std::u16string source;
            std::u16string description;
            if (present(1)) {
                VString s;
                if (ToString(args[1], s).IsOk())
                    source = s.Str();
            }
            if (present(2)) {
                VString s;
                if (ToString(args[2], s).IsOk())
                    description = s.Str();
            }
            if (present(3)) {
                VString s;
                if (ToString(args[3], s).IsOk())
                    m_in.m_errHelpFile = s.Str();
            }
            if (present(4))
                (void)ToLong(args[4], m_in.m_errHelpContext);
            // Numbers given as 0x800Axxxx-style codes keep only the low word.
            if ((static_cast<uint32_t>(number) & 0xFFFF0000u) == 0x800A0000u)
                number &= 0xFFFF;
            m_in.m_pendingSource = source;
            if (description.empty()) {
                std::u16string_view standard = StandardDescription(number);
                description = standard.empty() ? u"Unknown runtime error" : std::u16string(standard);
            }
            return Status(number, description);
        }
        default:
            return Status(kErrNoSuchMember);
        }
    }

    std::u16string TypeName() const override { return u"ErrObject"; }

private:
    CInterpreter& m_in;
};

} // namespace

CInterpreter::CInterpreter() : m_alive(std::make_shared<bool>(true))
{
    m_errObject = MakeObject<CErrObject>(*this);
    RegisterStandardObjects(m_objects);
}

CInterpreter::~CInterpreter()
{
    Close();
}

void CInterpreter::Close()
{
    // Globals go first so Class_Terminate of objects they hold can still run.
    m_interrupt = false;
    m_aborting = false;
    for (auto& g : m_globals)
        g.Clear();
    // Instances still alive hold each other in cycles: empty their fields (without
    // Class_Terminate, as the script is going away) so they are freed.
    while (!m_instances.empty()) {
        std::vector<ObjectRef> held;
        for (CClassInstance* inst : m_instances) {
            inst->m_terminated = true;
            held.push_back(ObjectRef::Share(inst));
        }
        for (auto& ref : held) {
            auto* inst = static_cast<CClassInstance*>(ref.Get());
            std::vector<Variant> fields = std::move(inst->m_fields);
            inst->m_fields.assign(fields.size(), Variant());
            fields.clear();
        }
        size_t before = m_instances.size();
        held.clear();
        if (m_instances.size() == before)
            break; // held from outside the script (by the host): leave them
    }
    *m_alive = false;
    m_instances.clear();
    m_alive = std::make_shared<bool>(true);
    m_globals.clear();
    m_globalNames.clear();
    m_globalConst.clear();
    m_globalLive.clear();
    m_names.clear();
    m_procs.clear();
    m_classes.clear();
    m_units.clear();
    m_items.clear();
    m_error = Status();
    ClearErr();
}

bool CInterpreter::Fail(Status st)
{
    if (m_error.IsOk()) {
        m_error = std::move(st);
        m_errorSource = std::move(m_pendingSource);
        m_pendingSource.clear();
        m_errorPositioned = false;
    }
    return false;
}

bool CInterpreter::FailWithSource(Status st, std::u16string source)
{
    m_pendingSource = std::move(source);
    return Fail(std::move(st));
}

void CInterpreter::ClearErr()
{
    m_errNumber = 0;
    m_errDescription.clear();
    m_errSource.clear();
    m_errHelpFile.clear();
    m_errHelpContext = 0;
}

int32_t CInterpreter::AddGlobal(std::u16string_view name, bool isConst)
{
    m_globals.emplace_back();
    m_globalNames.emplace_back(name);
    m_globalConst.push_back(isConst ? 1 : 0);
    m_globalLive.push_back(0);
    int32_t slot = static_cast<int32_t>(m_globals.size() - 1);
    m_names[text::ToUpper(name)] = GlobalName{GlobalName::Var, slot};
    return slot;
}

const GlobalName* CInterpreter::LookupGlobal(std::u16string_view name) const
{
    auto it = m_names.find(text::ToUpper(name));
    return it == m_names.end() ? nullptr : &it->second;
}

const GlobalName* CInterpreter::LookupLiveGlobal(std::u16string_view name) const
{
    const GlobalName* g = LookupGlobal(name);
    if (g && g->kind == GlobalName::Var && !m_globalLive[g->index])
        return nullptr;
    return g;
}

bool CInterpreter::HasProc(std::u16string_view name) const
{
    const GlobalName* g = LookupGlobal(name);
    return g && g->kind == GlobalName::Proc;
}

bool CInterpreter::Compile(std::u16string_view text, Unit& unit, CompileError& err, bool expression,
                           ProcDef* scope)
{
    unit.scopeProc = scope;
    CParser parser;
    if (!parser.Parse(text, unit, err, expression, m_stackBase))
        return false;
    return ResolveUnit(*this, unit, err);
}

void CInterpreter::Report(bool compile, const CompileError* cerr, std::u16string_view text)
{
    if (!m_site)
        return;
    ScriptErrorInfo info;
    if (compile) {
        info.number = cerr->number;
        info.description = Status(cerr->number).Description();
        info.source = u"VBScript compilation error";
        info.line = cerr->line;
        info.column = cerr->column;
    } else {
        info.number = m_error.Number();
        info.description = m_error.Description();
        info.source = m_errorSource.empty() ? u"VBScript runtime error" : m_errorSource;
        info.line = m_errorLine;
        info.column = m_errorColumn;
    }
    info.statusCode = 0x800A0000u + static_cast<uint32_t>(info.number & 0xFFFF);
    // The line's text, for hosts that show it.
    size_t line = 0;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'\n') {
            if (line == info.line) {
                size_t end = i;
                if (end > start && text[end - 1] == u'\r')
                    --end;
                info.lineText = std::u16string(text.substr(start, end - start));
                break;
            }
            ++line;
            start = i + 1;
        }
    }
    m_site->OnScriptError(info);
}

bool CInterpreter::RunUnit(Unit& unit, Frame* scopeFrame)
{
    Frame global;
    Frame& f = scopeFrame ? *scopeFrame : global;
    for (auto& [ptr, value] : unit.globalConsts)
        if (!Eval(*value, f, *ptr))
            return false;
    for (auto& [ptr, uppers] : unit.globalArrays) {
        if (ptr->IsArray())
            continue;
        std::vector<ArrayBound> bounds;
        for (int32_t u : uppers)
            bounds.push_back({0, u});
        if (Status st = SafeArray::CheckSize(bounds); st.Failed())
            return Fail(std::move(st));
        auto arr = SafeArray::Create(bounds);
        if (!uppers.empty())
            arr->SetFixed(true);
        *ptr = Variant(std::move(arr));
    }
    Flow fl = ExecBlock(unit.body, f);
    return fl != Flow::Error;
}

bool CInterpreter::RunText(std::u16string_view text, bool report)
{
    bool outermost = m_depth == 0 && !m_stackBase;
    if (outermost)
        BeginOutermost(static_cast<const char*>(__builtin_frame_address(0)));
    auto unit = std::make_unique<Unit>();
    CompileError err;
    bool ok = Compile(text, *unit, err, false, nullptr);
    if (!ok) {
        if (report)
            Report(true, &err, text);
    } else {
        Unit& u = *unit;
        m_units.push_back(std::move(unit));
        m_error = Status();
        ok = RunUnit(u, nullptr);
        if (!ok) {
            if (report)
                Report(false, nullptr, text);
            m_error = Status();
            m_errorSource.clear();
            m_errorPositioned = false;
        }
        m_aborting = false;
    }
    if (outermost)
        EndOutermost();
    return ok;
}

CallOutcome CInterpreter::CallByName(std::u16string_view name, std::span<const Variant> args, Variant* result)
{
    CallOutcome outcome;
    const GlobalName* g = LookupGlobal(name);
    if (!g || g->kind != GlobalName::Proc) {
        outcome.status = CallStatus::UnknownName;
        outcome.statusCode = 0x80020006u;
        return outcome;
    }
    if (args.size() != m_procs[g->index]->params.size()) {
        // Rejected by dispatch before the routine starts: no script error to show.
        outcome.status = CallStatus::Failed;
        outcome.number = kErrWrongArgCount;
        outcome.statusCode = 0x8002000Eu;
        return outcome;
    }
    bool outermost = m_depth == 0 && !m_stackBase;
    if (outermost)
        BeginOutermost(static_cast<const char*>(__builtin_frame_address(0)));
    std::vector<Variant> values(args.begin(), args.end());
    Variant r;
    m_error = Status();
    bool ok = CallProcValues(*m_procs[g->index], nullptr, values, r);
    if (ok) {
        if (result)
            *result = std::move(r);
    } else {
        outcome.status = CallStatus::Failed;
        outcome.number = m_error.Number();
        outcome.statusCode = m_error.StatusCode();
        // The failing procedure's text is not kept line by line; report the position.
        Report(false, nullptr, {});
        m_error = Status();
        m_errorSource.clear();
        m_errorPositioned = false;
        m_aborting = false;
    }
    if (outermost)
        EndOutermost();
    return outcome;
}

bool CInterpreter::ExecuteText(std::u16string_view text, bool global)
{
    if (!CheckStep())
        return false;
    CNesting nesting(*this);
    if (!nesting.Entered())
        return false;
    auto unit = std::make_unique<Unit>();
    CompileError err;
    Frame* scope = global ? nullptr : m_currentFrame;
    ProcDef* proc = scope && scope->proc ? const_cast<ProcDef*>(scope->proc) : nullptr;
    if (!Compile(text, *unit, err, false, proc))
        return Fail(err.number);
    bool ok;
    if (proc) {
        ok = RunUnit(*unit, scope);
    } else {
        Frame g;
        if (scope && !global)
            g.me = scope->me;
        ok = RunUnit(*unit, &g);
    }
    // Only procedures and classes outlive the run; code executed in a loop must not
    // pile up.
    if (!unit->procs.empty() || !unit->classes.empty())
        m_units.push_back(std::move(unit));
    return ok;
}

bool CInterpreter::EvalText(std::u16string_view text, Variant& out)
{
    if (!CheckStep())
        return false;
    CNesting nesting(*this);
    if (!nesting.Entered())
        return false;
    Unit unit;
    CompileError err;
    Frame* scope = m_currentFrame;
    ProcDef* proc = scope && scope->proc ? const_cast<ProcDef*>(scope->proc) : nullptr;
    if (!Compile(text, unit, err, true, proc))
        return Fail(err.number);
    Frame g;
    Frame& f = proc ? *scope : g;
    if (unit.body.empty())
        return Fail(kErrSyntax);
    return Eval(*unit.body[0]->expr, f, out);
}

} // namespace cva::vbs::engine

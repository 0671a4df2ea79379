#pragma once

#include "vbscript/Coerce.h"
#include "vbscript/Engine.h"
#include "vbscript/ObjectRegistry.h"
#include "vbscript/SafeArray.h"
#include "vbscript/Status.h"
#include "vbscript/Variant.h"
#include "vbscript/engine/Ast.h"
#include "vbscript/engine/Lexer.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace cva::vbs::engine {

class CClassInstance;

enum class Flow : uint8_t { Normal, Error, ExitDo, ExitFor, ExitProc };

struct WithLink {
    const Variant* object;
    WithLink* prev;
};

struct Frame {
    Variant* locals = nullptr;
    Variant** refs = nullptr; // one per parameter
    CClassInstance* me = nullptr;
    const ProcDef* proc = nullptr;
    WithLink* with = nullptr;
    bool resumeNext = false;
};

struct GlobalName {
    enum Kind : uint8_t { Var, Proc, Class } kind = Var;
    int32_t index = 0;
};

struct NamedItem {
    std::u16string name;
    ObjectRef object;
    bool globalMembers = false;
};

class CInterpreter;
using BuiltinFn = bool (*)(CInterpreter& in, std::span<Variant> args, Variant& out);

// maxArgs of a built-in that takes any number of arguments (Array).
constexpr uint8_t kAnyArgCount = UINT8_MAX;

struct Builtin {
    const char16_t* name;
    uint8_t minArgs;
    uint8_t maxArgs; // or kAnyArgCount
    BuiltinFn fn;
};

// Built-in functions and constants (Builtins*.cpp).
int32_t FindBuiltin(std::u16string_view name);
const Builtin& BuiltinAt(int32_t index);
bool FindBuiltinConstant(std::u16string_view name, Variant& out);

// The state of one script world and the tree-walking evaluator over compiled units.
class CInterpreter {
public:
    CInterpreter();
    ~CInterpreter();

    // --- Host side -----------------------------------------------------------------
    IScriptSite* m_site = nullptr;
    IScriptServices* m_services = nullptr;
    CObjectRegistry m_objects;
    std::vector<NamedItem> m_items;

    IScriptServices& Services() { return m_services ? *m_services : NullServices(); }

    // Compiles and runs text at global scope; reports errors to the site when report.
    bool RunText(std::u16string_view text, bool report);
    CallOutcome CallByName(std::u16string_view name, std::span<const Variant> args, Variant* result);
    bool HasProc(std::u16string_view name) const;
    void Close();

    std::atomic<bool> m_interrupt{false};
    uint64_t m_stepLimit = 0;
    uint64_t m_steps = 0;
    // The heartbeat (CScriptEngine::SetHeartbeat): the clock is read only every few
    // steps, so that tight loops pay next to nothing for it.
    CScriptEngine::Heartbeat m_heartbeat;
    std::chrono::milliseconds m_beatInterval{50};
    std::chrono::steady_clock::time_point m_runStart;
    std::chrono::steady_clock::time_point m_nextBeat;
    uint32_t m_stepsToClock = 0;
    void Beat();
    // Marks the start (at the caller's frame) and the end of a host's outermost call.
    void BeginOutermost(const char* stackBase);
    void EndOutermost();

    // --- Errors ----------------------------------------------------------------------
    // Raises a run-time error; always returns false so callers can `return Fail(...)`.
    bool Fail(Status st);
    bool FailWithSource(Status st, std::u16string source);
    Flow FailFlow(Status st)
    {
        Fail(std::move(st));
        return Flow::Error;
    }
    bool HasError() const { return m_error.Failed(); }
    Status m_error;
    std::u16string m_errorSource;
    std::u16string m_pendingSource; // Err.Raise's source, taken by the next Fail
    bool m_errorPositioned = false;
    uint32_t m_errorLine = 0;
    uint32_t m_errorColumn = 0;
    bool m_aborting = false; // interrupt: not catchable
    // The Err object's state.
    int32_t m_errNumber = 0;
    std::u16string m_errDescription;
    std::u16string m_errSource;
    std::u16string m_errHelpFile;
    int32_t m_errHelpContext = 0;
    ObjectRef m_errObject;
    void ClearErr();

    // --- Globals ---------------------------------------------------------------------
    std::deque<Variant> m_globals;
    std::vector<std::u16string> m_globalNames;
    std::vector<uint8_t> m_globalConst;
    // A global exists for the script once declared (Dim, Const, Public, Private) or
    // written by code that has run; before that its slot only reserves the name, and
    // an undeclared name of a procedure is the procedure's own variable.
    std::vector<uint8_t> m_globalLive;
    std::unordered_map<std::u16string, GlobalName> m_names; // keyed upper case
    std::vector<ProcDef*> m_procs;
    std::vector<ClassDef*> m_classes;
    std::vector<std::unique_ptr<Unit>> m_units;
    std::shared_ptr<bool> m_alive;
    CompareMode m_compareMode = CompareMode::Binary;

    int32_t AddGlobal(std::u16string_view name, bool isConst);
    const GlobalName* LookupGlobal(std::u16string_view name) const;
    // The name as code compiled under Option Explicit finds it when it runs: a global
    // variable that exists (see m_globalLive), or a procedure.
    const GlobalName* LookupLiveGlobal(std::u16string_view name) const;

    // --- Evaluation ------------------------------------------------------------------
    bool Eval(const Expr& e, Frame& f, Variant& out);
    // A variable's storage (locals, globals, fields), else null.
    Variant* VariableRef(const Expr& e, Frame& f);
    bool Assign(const Expr& target, Frame& f, Variant value, bool isSet);
    Flow ExecBlock(const Block& b, Frame& f);
    Flow Exec(const Stmt& s, Frame& f);

    // Calls a script procedure with argument expressions of the caller's frame.
    bool CallProc(const ProcDef& p, CClassInstance* me, std::span<const ExprPtr> args, Frame& caller,
                  Variant& result, Variant* letValue = nullptr);
    // Calls with values (from native code): ByRef parameters refer to the values.
    bool CallProcValues(const ProcDef& p, CClassInstance* me, std::span<Variant> args, Variant& result);
    bool InvokeObject(IObject* obj, const std::u16string& name, uint32_t kind, std::span<Variant> args,
                      Variant& result);
    bool CallBuiltin(int32_t index, std::span<const ExprPtr> args, Frame& f, Variant& out);
    bool CheckStep();
    bool NewObject(const std::u16string& className, Variant& out);
    bool CreateObject(std::u16string_view progId, Variant& out);
    // Execute / ExecuteGlobal / Eval at run time.
    bool ExecuteText(std::u16string_view text, bool global);
    bool EvalText(std::u16string_view text, Variant& out);
    Frame* m_currentFrame = nullptr;

    // Live instances of script classes, so Close can break reference cycles.
    std::unordered_set<CClassInstance*> m_instances;
    // Class instance support.
    bool ClassInvoke(CClassInstance& inst, int32_t member, uint32_t kind, std::span<Variant> args,
                     Variant& result);
    void RunTerminate(CClassInstance& inst);

    // Random numbers (Rnd / Randomize) as VBScript's linear congruential generator.
    uint32_t m_rndSeed = 0x50000;
    float m_lastRnd = 0;

    // Stack of local variables; frames take slices of it.
    std::unique_ptr<Variant[]> m_stack;
    size_t m_stackTop = 0;
    static constexpr size_t kStackSize = 1 << 16;
    std::unique_ptr<Variant*[]> m_refStack;
    size_t m_refTop = 0;

    // --- Recursion -------------------------------------------------------------------
    // Procedure calls, Execute, ExecuteGlobal and Eval each hold one level while they
    // run; too many levels, or too little machine stack left (StackBudget.h), fail with
    // 28 Out of stack space, whichever way the script recurses.
    class CNesting {
    public:
        explicit CNesting(CInterpreter& in) : m_in(in), m_entered(in.EnterNested()) {}
        ~CNesting()
        {
            if (m_entered)
                --m_in.m_depth;
        }
        CNesting(const CNesting&) = delete;
        CNesting& operator=(const CNesting&) = delete;
        bool Entered() const { return m_entered; }

    private:
        CInterpreter& m_in;
        bool m_entered;
    };
    bool EnterNested();
    uint32_t m_depth = 0;
    static constexpr uint32_t kMaxDepth = 3000;
    // The frame of the host's outermost call into the engine (null outside one).
    const char* m_stackBase = nullptr;

    // Text of the unit being compiled, for error line text.
    std::vector<std::u16string> m_lines;

private:
    bool Compile(std::u16string_view text, Unit& unit, CompileError& err, bool expression,
                 ProcDef* scope);
    bool RunUnit(Unit& unit, Frame* scopeFrame);
    void Report(bool compile, const CompileError* cerr, std::u16string_view text);
    bool EvalCall(const Expr& e, Frame& f, Variant& out);
    bool EvalMember(const Expr& e, Frame& f, Variant& out, std::span<const ExprPtr> args);
    bool MemberHolder(const Expr& e, Frame& f, Variant& holder);
    const ClassMember* ReachableMember(CClassInstance& inst, std::u16string_view name, Frame& f);
    bool IndexValues(const Variant& target, std::span<Variant> values, Variant& out);
    bool CompareWithLiteral(const Expr& e, Variant& a, Variant& b, Variant& out);
    bool EvalArgs(std::span<const ExprPtr> args, Frame& f, std::vector<Variant>& out);
    bool IndexValue(const Variant& target, std::span<const ExprPtr> args, Frame& f, Variant& out);
    bool AssignIndexed(Variant& target, std::span<const ExprPtr> args, Frame& f, Variant& value,
                       bool isSet);
    Flow AppendInPlace(const Expr& target, Frame& f, const Expr* const* chain, size_t n);
    Flow ExecFor(const Stmt& s, Frame& f);
    Flow ExecForEach(const Stmt& s, Frame& f);
    Flow ExecSelect(const Stmt& s, Frame& f);
    Flow ExecReDim(const Stmt& s, Frame& f);
    Flow ExecDo(const Stmt& s, Frame& f);
    bool Truth(const Expr& e, Frame& f, bool& out);
    bool SetupFrameArrays(const ProcDef& p, Frame& f);
    bool ObjectFromExpr(const Expr& e, Frame& f, Variant& holder, IObject*& obj);
};

// An instance of a script class.
class CClassInstance final : public IObject {
public:
    CClassInstance(CInterpreter& in, const ClassDef& cls);
    ~CClassInstance() override;
    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return m_name; }

    const ClassDef* m_class;
    CInterpreter* m_interp;
    std::shared_ptr<bool> m_alive;
    std::vector<Variant> m_fields;
    std::u16string m_name;
    bool m_terminated = false;
    bool m_initialized = false;

protected:
    void FinalRelease() override;
};

} // namespace cva::vbs::engine

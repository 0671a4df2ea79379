#pragma once

#include "vbscript/Object.h"
#include "vbscript/ObjectRegistry.h"
#include "vbscript/ScriptServices.h"
#include "vbscript/Status.h"
#include "vbscript/Variant.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cva::vbs {

namespace engine {
class CInterpreter;
}
namespace rt {
struct LocaleInfo;
}

// A script error as the host's site receives it (Active Scripting conventions: line
// and column count from 0).
struct ScriptErrorInfo {
    int32_t number = 0;          // VBScript error number (1002, 13, ...)
    std::u16string description;
    std::u16string source;       // "VBScript compilation error" / "VBScript runtime error"
    uint32_t line = 0;
    uint32_t column = 0;
    uint32_t statusCode = 0;     // 0x800A0000 + number
    std::u16string lineText;     // the source line, when known
};

class IScriptSite {
public:
    virtual ~IScriptSite() = default;
    virtual void OnScriptError(const ScriptErrorInfo& error) = 0;
};

// Types of the functions a host item describes.
enum class HostType : uint8_t { Void, Int16, Int32, Bool, String, Variant, Object };

struct HostFunction {
    std::string name;              // UTF-8, matched without regard to case
    std::vector<HostType> args;
    HostType result = HostType::Void;
};

// A value crossing to or from a host function, already converted to the declared type:
// Int16/Int32 in `number`, Bool in `flag`, String (UTF-8) in `text`, Variant and Object
// in `value`.
struct HostValue {
    int32_t number = 0;
    bool flag = false;
    std::string text;
    Variant value;
};

// The embedding program's object behind a described named item. Member id n is the
// n-th function of the description, counting from 1.
class IHostItem {
public:
    virtual ~IHostItem() = default;
    virtual Status Call(int32_t memberId, std::span<HostValue> args, HostValue& result) = 0;
};

enum class CallStatus : uint8_t { Ok, UnknownName, Failed };

struct CallOutcome {
    CallStatus status = CallStatus::Ok;
    int32_t number = 0;       // the error number when Failed
    uint32_t statusCode = 0;  // 0 on success, 0x800A0000 + number on failure,
                              // 0x80020006 (unknown name)
};

// The VBScript engine as the program embeds it. One instance runs one script world:
// parse text (its top-level code runs at once), then call its routines by name.
// Not thread-safe, except Interrupt, which may come from any thread.
class CScriptEngine {
public:
    CScriptEngine();
    ~CScriptEngine();
    CScriptEngine(const CScriptEngine&) = delete;
    CScriptEngine& operator=(const CScriptEngine&) = delete;

    void SetSite(IScriptSite* site);
    // Services for MsgBox/InputBox and the objects CreateObject makes; the engine keeps
    // the pointer (null: NullServices()) and answers their WaitSlice until it is given
    // other services or destroyed, so the services must outlive that.
    void SetServices(IScriptServices* services);
    IScriptServices& Services();
    // Program identifiers for CreateObject; the standard objects are already there.
    CObjectRegistry& Objects();

    // A named item backed by an object (the WScript object of a command-line host).
    // With globalMembers its members are also reachable by bare name.
    void AddNamedItem(std::u16string_view name, ObjectRef object, bool globalMembers);
    // A named item described by a type description; its functions are reachable by
    // bare name and qualified by the item's name. Arguments are converted to the
    // declared types before the item sees them (13 / 6 / 450 otherwise).
    void AddHostItem(std::u16string_view name, std::vector<HostFunction> functions,
                     IHostItem& item);

    // Compiles the text and runs its top-level code. False when the text did not
    // compile or its top-level code failed; the site has been told either way.
    bool ParseScript(std::u16string_view text);

    // Runs a routine of the script by name with the arguments in script order.
    CallOutcome CallRoutine(std::u16string_view name, std::span<const Variant> args,
                            Variant* result = nullptr);
    bool HasRoutine(std::u16string_view name) const;

    // Stops the running script at the next loop turn or call with a run-time error
    // that On Error Resume Next does not catch. Safe from any thread. The interrupt
    // ends with the host's outermost call it stopped, so the script's routines can be
    // called again afterwards.
    void Interrupt();
    void ClearInterrupt();
    bool IsInterrupted() const;

    // Called while the host's outermost call into the engine runs, at most once per
    // interval (from loop turns, calls and Wait), with the time that call has been
    // running. A host keeps its window painted, offers to stop the script or stops it
    // after a time-out from here; the callback may call Interrupt.
    using Heartbeat = std::function<void(std::chrono::milliseconds running)>;
    void SetHeartbeat(Heartbeat beat,
                      std::chrono::milliseconds interval = std::chrono::milliseconds(50));
    // Waits the given time as WScript.Sleep does, with the heartbeat going on; false
    // as soon as the script is interrupted.
    bool Wait(std::chrono::milliseconds duration);
    // Fuzzing and tests: interrupt after this many loop turns and calls (0: no limit).
    void SetStepLimit(uint64_t steps);

    // Releases the script's globals (running Class_Terminate) and everything compiled.
    void Close();

    engine::CInterpreter& Interpreter() { return *m_interp; }

private:
    std::unique_ptr<engine::CInterpreter> m_interp;
    const rt::LocaleInfo* m_locale = nullptr; // what SetLocale chose; null: the default
};

// Text of the error number for the interrupt (a host shows it like any other).
constexpr int32_t kErrInterrupted = kErrUserInterrupt;

} // namespace cva::vbs

#pragma once

#include "vbscript/Engine.h"
#include "vbscript/Object.h"

#include <functional>
#include <string>
#include <vector>

namespace cva::cli {

// Where the WScript object writes: Echo and StdOut go to `out`, StdErr to `err`.
struct ScriptOutput {
    std::function<void(std::string_view)> out;
    std::function<void(std::string_view)> err;
};

// The WScript object of a command-line script host: Echo, Quit, Arguments,
// ScriptName, ScriptFullName, Sleep, StdOut, StdErr and a few informational members.
class CWScriptObject final : public vbs::IObject {
public:
    CWScriptObject(vbs::CScriptEngine& engine, ScriptOutput output, std::string scriptFullName,
                   std::vector<std::string> arguments);

    vbs::DispId GetMemberId(std::u16string_view name) override;
    vbs::Status Invoke(vbs::DispId id, uint32_t kind, std::span<vbs::Variant> args,
                       vbs::Variant& result) override;
    std::u16string TypeName() const override { return u"Object"; }

    bool QuitRequested() const { return m_quit; }
    int QuitCode() const { return m_quitCode; }
    // The engine is gone before this object may be: forget it.
    void Detach() { m_engine = nullptr; }

private:
    vbs::CScriptEngine* m_engine;
    ScriptOutput m_output;
    std::string m_fullName;
    std::vector<std::string> m_arguments;
    vbs::ObjectRef m_stdOut;
    vbs::ObjectRef m_stdErr;
    vbs::ObjectRef m_argumentsObject;
    bool m_quit = false;
    int m_quitCode = 0;
};

} // namespace cva::cli

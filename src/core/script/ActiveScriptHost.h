#pragma once

#include "vbscript/Engine.h"

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cva::script {

// Status codes of CallRoutine, as Active Scripting hosts see them.
constexpr uint32_t S_OK = 0;
constexpr uint32_t E_FAIL = 0x80004005u;
constexpr uint32_t DISP_E_UNKNOWNNAME = 0x80020006u;

// The engine side of the script host: one VBScript engine, the named item the script
// sees as "ScriptHost", and the site through which the engine reports errors. The
// derived host object supplies the item and shows the errors.
class CActiveScriptHost : public vbs::IScriptSite {
public:
    CActiveScriptHost();
    ~CActiveScriptHost() override;
    CActiveScriptHost(const CActiveScriptHost&) = delete;
    CActiveScriptHost& operator=(const CActiveScriptHost&) = delete;

    // Closes any engine, then creates and starts one for the language ("vbScript",
    // without regard to case) with the host's named item. False for another language.
    bool CreateEngine(std::u16string_view language);
    // Compiles the text and runs its top-level code; false without an engine or when the
    // text was rejected (the error has been shown).
    bool ParseScript(std::u16string_view text);
    // Where the lines of the parsed text come from: its line firstLine + i (from 0) is line
    // fileLines[i] of the file the user edits, and errors there are shown with that line.
    // Errors on other lines (text put in front, code run by Execute) keep the engine's.
    void SetSourceLines(uint32_t firstLine, std::vector<uint32_t> fileLines);
    // Runs a routine of the script with its arguments in script order. S_OK, E_FAIL
    // without an engine or name, DISP_E_UNKNOWNNAME when the script has no such routine,
    // or 0x800A0000 plus the error number of a failure inside the call.
    uint32_t CallRoutine(std::u16string_view name, std::span<const vbs::Variant> args = {},
                         vbs::Variant* result = nullptr);
    void CloseEngine();
    bool HasEngine() const { return m_pScript != nullptr; }

    // Stops a runaway script (from a watchdog or the user interface).
    void Interrupt();
    bool IsRunning() const { return m_nRunning > 0; }

    // The site: each error is shown once, formatted as
    // "%s\nSrc: %s\nLine:%d Error:%d Scode:%x".
    void OnScriptError(const vbs::ScriptErrorInfo& error) override;
    static std::string FormatScriptError(const vbs::ScriptErrorInfo& error);

protected:
    // The object behind "ScriptHost" and its description, added by CreateEngine.
    virtual vbs::IHostItem& HostItem() = 0;
    // Shows a formatted script error to the user and waits for it to be closed.
    virtual void ShowScriptError(const std::string& message) = 0;
    // Runs before every parse and routine call (the host takes in what other programs
    // wrote to the target meanwhile) and after it (the host saves changed hives).
    virtual void BeforeScriptCall() {}
    virtual void AfterScriptCall() {}
    // While a parse or routine call runs, a few times a second with the time it has been
    // running; and once the outermost call has returned.
    virtual void ScriptRunning(std::chrono::milliseconds /*running*/) {}
    virtual void ScriptEnded() {}
    // Services for MsgBox, InputBox and the objects scripts create.
    virtual vbs::IScriptServices* ScriptServices() { return nullptr; }

    std::map<std::u16string, vbs::IHostItem*> m_namedItems;
    std::unique_ptr<vbs::CScriptEngine> m_pScript;
    uint32_t m_firstSourceLine = 0;
    int m_nRunning = 0; // parse and routine calls under way, nested ones counted
    std::vector<uint32_t> m_sourceLines;
};

} // namespace cva::script

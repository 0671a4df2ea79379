#pragma once

#include "vbscript/Object.h"
#include "vbscript/ScriptServices.h"
#include "vbscript/Variant.h"

#include <string>

namespace cva::vbs {

// The ways a WScript.Shell registry call fails, with the numbers and texts scripts
// see; services implementations return these so error handlers keep working.
enum class ShellRegistryFailure {
    Read,        // missing key or value: 0x80070002 Unable to open registry key "..." for reading.
    InvalidRoot, // not HKCU, HKLM, ...: 0x80070003 Invalid root in registry key "...".
    Write,       // 0x80070005 Unable to save registry key "...".
    Delete,      // 0x80070002 Unable to remove registry key "...".
};
Status ShellRegistryError(ShellRegistryFailure failure, std::u16string_view name);

// WScript.Shell: registry, environment, special folders, current directory, Run, Exec
// and Popup, all through the embedder's services.
class CWshShell : public IObject {
public:
    explicit CWshShell(IScriptServices& services) : m_services(&services) {}

    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return u"IWshShell3"; }

private:
    Status RegWrite(std::span<Variant> args);
    Status Popup(std::span<Variant> args, Variant& result);

    IScriptServices* m_services;
};

} // namespace cva::vbs

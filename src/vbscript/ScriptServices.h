#pragma once

#include "vbscript/ScriptProcess.h"
#include "vbscript/Status.h"
#include "vbscript/Variant.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cva::vbs {

// How native objects and the MsgBox/InputBox built-ins reach the world of the program
// that embeds the engine: its idea of Windows paths, registry, environment and prompts.
// The engine never touches files or the registry itself. Every method has a neutral
// default, so an embedder implements only what it offers and later additions do not
// break existing implementations. Script strings stay UTF-16; host paths are UTF-8.
class IScriptServices {
public:
    virtual ~IScriptServices() = default;

    // --- Files -----------------------------------------------------------------------
    // A Windows path as the script writes it ("C:\Windows\win.ini", relative paths
    // against CurrentDirectory) to the host path to open; nullopt when it maps nowhere.
    virtual std::optional<std::string> MapPath(std::u16string_view windowsPath);
    // The reverse: a host path back to the Windows path scripts see.
    virtual std::u16string WindowsPath(std::string_view hostPath);
    // Whether a path is meant as a host path and must reach MapPath as written rather
    // than be completed against the current directory (default: never).
    virtual bool IsHostPath(std::u16string_view path);
    // The current directory as a Windows path.
    virtual std::u16string CurrentDirectory();
    virtual void SetCurrentDirectory(std::u16string_view windowsPath);
    // Folders of WScript.Shell.SpecialFolders ("Desktop", "Fonts", ...) and of
    // FileSystemObject.GetSpecialFolder (0 Windows, 1 System, 2 Temp), as Windows paths;
    // empty when unknown.
    virtual std::u16string SpecialFolder(std::u16string_view name);
    virtual std::u16string SystemFolder(int32_t which);
    // Told before the FileSystemObject changes the disk at a host path: a file written,
    // created or deleted, a folder created or deleted with its content, or an item moved
    // or renamed to `movedTo`. A failure stops the change and is the script's error.
    virtual Status FileChanging(const std::string& hostPath, const std::string& movedTo);

    // --- Registry (WScript.Shell semantics) ------------------------------------------
    // Names are full ("HKCU\Software\X\Value", a trailing backslash for a key's default
    // value). RegRead yields String, Long (REG_DWORD), an array of Bytes (binary) or of
    // Strings (multi-string). Errors carry a number and description the way
    // WScript.Shell reports them.
    virtual Status RegRead(std::u16string_view name, Variant& out);
    // type is "REG_SZ", "REG_EXPAND_SZ", "REG_DWORD", "REG_BINARY" (empty: REG_SZ).
    virtual Status RegWrite(std::u16string_view name, const Variant& value,
                            std::u16string_view type);
    virtual Status RegDelete(std::u16string_view name);

    // --- Environment -----------------------------------------------------------------
    // %NAME% references replaced; unknown names left as written.
    virtual std::u16string ExpandEnvironmentStrings(std::u16string_view text);
    // scope: "Process", "System", "User", "Volatile" (WshEnvironment).
    virtual std::optional<std::u16string> GetEnvironmentVariable(std::u16string_view scope,
                                                                 std::u16string_view name);
    virtual Status SetEnvironmentVariable(std::u16string_view scope, std::u16string_view name,
                                          std::u16string_view value);
    virtual Status RemoveEnvironmentVariable(std::u16string_view scope,
                                             std::u16string_view name);
    // "NAME=value" strings of a scope, for enumeration.
    virtual std::vector<std::u16string> EnvironmentStrings(std::u16string_view scope);
    virtual std::u16string ComputerName();
    virtual std::u16string UserName();
    virtual std::u16string UserDomain();

    // --- Processes -------------------------------------------------------------------
    // WScript.Shell.Run: a command line as Windows writes it; when wait is true the
    // exit code goes to exitCode, otherwise 0.
    virtual Status Run(std::u16string_view commandLine, int32_t windowStyle, bool wait,
                       int32_t& exitCode);
    // WScript.Shell.Exec: the same command line, started with its standard streams
    // connected to the script.
    virtual Status Exec(std::u16string_view commandLine, std::unique_ptr<IScriptProcess>& process);

    // --- Waiting on the world outside ------------------------------------------------
    // A service that waits on something outside the script (a program run to its end,
    // a program's output) waits in slices through this, so that the host's heartbeat
    // goes on and a stopped script stops the wait. Waits up to `slice`; false once the
    // script was interrupted. The engine these services serve answers it; without one
    // it just sleeps.
    bool WaitSlice(std::chrono::milliseconds slice);
    using Waiter = std::function<bool(std::chrono::milliseconds)>;
    void SetWaiter(Waiter waiter) { m_waiter = std::move(waiter); }

    // --- Prompts ---------------------------------------------------------------------
    // MsgBox / Popup: buttons and icon flags as MsgBox takes them; returns the button
    // pressed (1 OK, 2 Cancel, 6 Yes, 7 No, ...). secondsToWait <= 0: no time-out;
    // a time-out returns -1.
    virtual int32_t MessageBox(std::u16string_view text, int32_t flags,
                               std::u16string_view title, int32_t secondsToWait);
    // InputBox: nullopt when cancelled.
    virtual std::optional<std::u16string> InputBox(std::u16string_view prompt,
                                                   std::u16string_view title,
                                                   std::u16string_view defaultText);

private:
    Waiter m_waiter;
};

// The services an engine uses when its embedder gives none: no paths, no registry,
// prompts answer with the default button.
IScriptServices& NullServices();

} // namespace cva::vbs

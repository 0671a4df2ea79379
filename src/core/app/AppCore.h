#pragma once

#include "core/log/ActionLogger.h"
#include "platform/process/SingleInstanceLock.h"
#include "platform/settings/SettingsStore.h"
#include "platform/target/TargetSystem.h"

#include <functional>
#include <memory>
#include <string>

namespace cva::app {

// Asks the user to acknowledge a start-up message. Returns true when start-up goes on
// anyway (Shift was held as the box closed), false when the program is to end.
using StartupMessage = std::function<bool(const std::string& text)>;
// Asks an OK/Cancel question at close; true for OK.
using CloseQuestion = std::function<bool(const std::string& text)>;

// What the application object does before the main window exists and after it has
// closed, without any window of its own: the single-instance guard, the checks of the
// target's version and of the user's rights, the folders, the log, and the exit
// sequence that carries out what scripts asked for.
class CAppCore {
public:
    enum class EStart { Run, AlreadyRunning, Declined, NoTarget };
    enum class EExitAction { None, Restart, LogOff, RunAfterExit };

    struct COptions {
        std::string m_targetSpec;  // --target; empty: the "Target" setting, then the sandbox
        // The guard against a second copy on the same settings: programs that may run
        // beside each other take different names.
        std::string m_lockName = "MERIDOT_CVA_MUTEX";
        std::string m_lockFolder;    // empty: the platform default for the settings folder
        std::string m_programFolder; // empty: the folder of the running executable
        bool m_allowHostDrives = false; // --allow-host-drives; else the "AllowHostDrives" setting
        bool m_noLog = false; // a run that changes nothing (a dry run) leaves no log either
    };

    CAppCore(settings::CSettingsStore& settings, COptions options);
    ~CAppCore();
    CAppCore(const CAppCore&) = delete;
    CAppCore& operator=(const CAppCore&) = delete;

    // The start-up sequence up to the main window. `message` shows the version and
    // rights warnings; `error` is told why the target could not be opened, or which copy
    // already runs on these settings.
    EStart Start(const StartupMessage& message, std::string* error = nullptr);

    // The close-box questions: a pending restart, else a pending log-off, is confirmed or
    // withdrawn. The window closes either way.
    void ConfirmPendingRequests(const CloseQuestion& ask);

    // After the main window: unload another user's hive, clear old logs, then restart,
    // else log off, else start the program to run after exit. Returns what it did.
    EExitAction Exit();

    // Requests from scripts and the update command.
    void RequestRestart() { ++m_nRestartRequests; }
    void RequestLogoff() { ++m_nLogoffRequests; }
    void SetRunAfterExit(std::string path) { m_strRunAfterExit = std::move(path); }

    int m_nWindowsVersion = 0;
    int m_nLogoffRequests = 0;
    int m_nRestartRequests = 0;
    std::string m_strRunAfterExit;
    logging::CActionLogger m_logger;

    target::CTargetSystem* Target() { return m_target.get(); }
    // Opens another target in place of the open one (the same object stays, so whoever
    // holds it follows): the open one's changes are saved and another user's hive it has
    // mounted is let go first. False, with the reason, when the new one cannot be opened;
    // the open target then stays as it was.
    bool SwitchTarget(const target::CRegistrySpec& spec, std::string* error);
    settings::CSettingsStore& Settings() { return m_settings; }
    const std::string& PluginFolder() const { return m_strPluginDir; }
    const std::string& ProfileFolder() const { return m_strProfileDir; }
    const std::string& LogFolder() const { return m_strLogDir; }

    // The folder part of start-up on its own: "PluginDir", "ProfileDir", the log folder
    // and "LogViewer", each checked and stored as the program expects to find it.
    void ReadFolderSettings();

private:
    // What every opened target gets: the recorder, the host-drive permission, the version
    // and the default tools of its kind.
    void PrepareTarget();
    std::string RunningCopyText() const;
    std::string DefaultPluginFolder() const;
    void UnloadForeignHive();

    settings::CSettingsStore& m_settings;
    COptions m_options;
    process::CSingleInstanceLock m_lock;
    std::unique_ptr<target::CTargetSystem> m_target;
    std::string m_strPluginDir;
    std::string m_strProfileDir;
    std::string m_strLogDir;
};

// The administrator question of start-up, asked of the target: may the user change its
// machine hive (on a Wine prefix, are its files writable and no wineserver running).
bool IsUserAdmin(target::CTargetSystem& target);

// The start-up message when IsUserAdmin is false. The rights warning stays for what
// rights decide (a hive file or folder the user may not write); a running wineserver is
// no matter of rights, and its own reason is the whole message.
std::string MachineSettingsWarning(target::CTargetSystem& target);

// A folder the program may take as its plugin folder: an existing directory (a link to
// one is fine) whose Windows attributes are exactly "directory": not read-only, hidden
// or system.
bool IsPlainFolder(const std::string& path);

} // namespace cva::app

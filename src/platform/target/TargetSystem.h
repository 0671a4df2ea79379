#pragma once

#include "platform/files/DriveMap.h"
#include "platform/registry/Registry.h"
#include "platform/target/ChildProcess.h"
#include "platform/target/Environment.h"
#include "platform/target/RegistrySpec.h"
#include "platform/target/ShellExecute.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace cva::target {

// The Windows version a target reports, as GetVersionEx would give it.
struct CTargetVersion {
    uint32_t m_platformId = 2; // VER_PLATFORM_WIN32_NT
    uint32_t m_major = 5;
    uint32_t m_minor = 1;
    uint32_t m_build = 2600;
    std::string m_servicePack; // "Service Pack 3"
};

// The Windows system that plugins change: its registry, its drives, its environment and
// version, and what "run a program", "restart" and "log off" mean for it. The program
// never acts on the Linux host through a target: a restart of the sandbox is only
// recorded, a restart of a Wine prefix restarts that prefix.
class CTargetSystem {
public:
    // What the target asks its owner to note down (the sandbox's restart and log-off).
    using Recorder = std::function<void(const std::string& entry)>;

    // Opens the target a spec names; the sandbox is created and seeded on first use.
    static std::unique_ptr<CTargetSystem> Open(const CRegistrySpec& spec, std::string& error);
    // Parses "sandbox", "sandbox:DIR", "wine:PATH" or "offline:PATH" and opens it.
    static std::unique_ptr<CTargetSystem> Open(std::string_view spec, std::string& error);

    ~CTargetSystem();
    CTargetSystem(const CTargetSystem&) = delete;
    CTargetSystem& operator=(const CTargetSystem&) = delete;

    // Becomes the other target (the window switches targets without restarting); what
    // this one records to and starts programs with stays.
    void TakeOver(CTargetSystem&& other);

    TargetKind Kind() const { return m_kind; }
    CRegistrySpec Spec() const { return CRegistrySpec{m_kind, m_folder}; }
    // The sandbox folder, the Wine prefix or the root of the Windows partition.
    const std::string& Folder() const { return m_folder; }
    // "sandbox (/root/.local/share/...)" or "Wine prefix /home/x/.wine", for messages.
    std::string Describe() const;

    reg::CRegistry& Registry() { return *m_registry; }
    // Writes every changed hive; false (with the reasons) when a file could not be saved
    // or a change was refused since the last call (a read-only hive, a running
    // wineserver): either way something a script asked for is not on disk.
    bool SaveChanges(std::string* errors = nullptr);
    // Takes in what other programs wrote to the hive files since we read them (our
    // unsaved changes stay on top), so that what is shown next is the registry as it is.
    void Refresh();
    // A preview: from BeginPreview to EndPreview changes stay in memory (reads see
    // them), SaveChanges writes nothing and no program starts; EndPreview drops them.
    void BeginPreview() { m_preview = true; }
    void EndPreview();
    bool IsPreviewing() const { return m_preview; }
    // True when no change may be made (a wineserver runs for the prefix), and why.
    bool IsReadOnly() const { return m_readOnly; }
    const std::string& ReadOnlyReason() const { return m_readOnlyReason; }
    // Whether the user may change the machine hive: the administrator question of the
    // program, asked of the target.
    bool CanChangeMachineSettings();

    const files::CDriveMap& Drives() const { return m_drives; }
    // A Windows path to a host path; nothing for a drive the target does not have or
    // that scripts may not reach (see CDriveMap), and for a host path unless allowed.
    std::optional<std::string> ToHostPath(std::string_view windowsPath) const;
    std::optional<std::string> ToWindowsPath(std::string_view hostPath) const;
    // What scripts may reach of the host beyond the target. Host drives: the drives that
    // lie outside the target and links out of its drives (the user's "AllowHostDrives").
    // Host paths: "/..." as written, and host programs by their host path (only for a
    // script the user runs themselves). Refusals are recorded.
    void AllowHostDrives(bool allow) { m_drives.AllowHostDrives(allow); }
    void AllowHostPaths(bool allow) { m_drives.AllowHostPaths(allow); }

    // The environment a program started on the target would see. Re-read from the
    // registry by RefreshEnvironment after scripts changed it.
    const CEnvironment& Environment() const { return m_environment; }
    void RefreshEnvironment();
    std::string ExpandEnvironmentStrings(std::string_view text) const;

    const CTargetVersion& Version() const { return m_version; }
    int WindowsVersionCode() const;
    const std::string& UserName() const { return m_userName; }
    // An offline disk's user profiles (its ProfileList); empty for other targets. Open the
    // target again with CRegistrySpec::m_profile set to work on another user's hive.
    const std::vector<COfflineProfile>& OfflineProfiles() const { return m_profiles; }
    std::string ComputerName() const;
    std::string WindowsFolder() const; // "C:\WINDOWS"
    std::string SystemFolder() const;  // "C:\WINDOWS\system32"

    // ShellExecute on the target, the one way scripts, plugins and tools start programs.
    // The sandbox has no programs: nothing starts, and the answer is "file not found".
    // A Wine prefix runs the program it finds in the prefix (a Windows path resolved
    // through its drives, or a name looked up along its PATH) through wine, and opens
    // documents, folders and web addresses with wine's start. A host program runs only by
    // its host path where host paths are allowed. `directory` is the Windows folder the
    // program starts in and relative names count from (empty: the Windows folder). Every
    // request is recorded. Waits for the program when exitCode is given, for as long as
    // `keepWaiting` (when given) agrees. Above 32 on success, a ShellExecute error
    // otherwise.
    int ShellExecute(std::string_view file, std::string_view parameters = {},
                     std::string_view directory = {}, int* exitCode = nullptr,
                     const KeepWaiting& keepWaiting = {});
    // The same decision for a program whose standard streams the caller reads and
    // writes (WScript.Shell.Exec).
    int Exec(std::string_view file, std::string_view parameters, std::string_view directory,
             std::unique_ptr<CChildProcess>& process);
    // Restart and log-off of the target (never of the host). True when carried out or,
    // for the sandbox, recorded.
    bool Restart();
    bool LogOff();

    void SetRecorder(Recorder recorder) { m_recorder = std::move(recorder); }
    // Stand-ins for xdg-open, wine and wineboot, for tests.
    void SetLaunchers(SLaunchers launchers, std::string wineboot);

private:
    enum class EStartMode { Detached, Waited, Piped };

    CTargetSystem() = default;
    CTargetSystem& operator=(CTargetSystem&&) = default;
    void ReadVersion();
    bool RunWineboot(const char* option);
    void Record(const std::string& entry) const;
    void RecordRefusal(files::CDriveMap::EHostPlace place, const std::string& path,
                       const std::string& hostPath) const;
    int PlanStart(const std::string& file, std::string_view parameters, std::string_view directory,
                  EStartMode mode, SCommand& command, std::string& outcome) const;
    int PlanWineStart(const std::string& file, const std::vector<std::string>& parameters,
                      std::string_view directory, EStartMode mode, SCommand& command,
                      std::string& outcome) const;
    std::optional<std::string> FindOnTarget(const std::string& name,
                                            const std::string& folder) const;
    // Plans, starts with `start`, and records what was asked and what came of it.
    template <class Start>
    int StartProgram(std::string_view file, std::string_view parameters, std::string_view directory,
                     EStartMode mode, Start start);

    TargetKind m_kind = TargetKind::Sandbox;
    std::string m_folder;
    std::unique_ptr<reg::CRegistry> m_registry;
    bool m_readOnly = false;
    bool m_preview = false;
    std::string m_readOnlyReason;
    files::CDriveMap m_drives;
    CEnvironment m_environment;
    CTargetVersion m_version;
    std::string m_userName;
    std::vector<COfflineProfile> m_profiles;
    SLaunchers m_launchers;
    std::string m_wineboot = "wineboot";
    Recorder m_recorder;
};

} // namespace cva::target

#include "platform/target/TargetSystem.h"

#include "platform/process/ProcessServices.h"
#include "platform/target/Sandbox.h" // SandboxDriveC
#include "platform/target/TargetRegistryReader.h"
#include "platform/target/WindowsVersion.h"

#include "platform/text/Unicode.h"

#include <sys/stat.h>

namespace cva::target {

namespace {

// Addresses that wine hands to the desktop's web browser. Other schemes would reach
// whatever handler the desktop registered for them.
bool IsWebAddress(std::string_view url) {
    std::string scheme = text::ToUpperUtf8(url.substr(0, url.find(':')));
    return scheme == "HTTP" || scheme == "HTTPS" || scheme == "FTP" || scheme == "MAILTO";
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> SplitList(const std::string& list) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        if (end > start) items.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

} // namespace

CTargetSystem::~CTargetSystem() = default;

std::unique_ptr<CTargetSystem> CTargetSystem::Open(std::string_view spec, std::string& error) {
    CRegistrySpec parsed;
    if (!ParseRegistrySpec(spec, parsed, error)) return nullptr;
    return Open(parsed, error);
}

std::unique_ptr<CTargetSystem> CTargetSystem::Open(const CRegistrySpec& spec, std::string& error) {
    COpenedRegistry opened;
    if (!OpenTargetRegistry(spec, opened, error)) return nullptr;

    std::unique_ptr<CTargetSystem> target(new CTargetSystem());
    target->m_kind = spec.m_kind;
    target->m_folder = opened.m_folder;
    target->m_registry = std::move(opened.m_registry);
    target->m_readOnly = opened.m_readOnly;
    target->m_readOnlyReason = opened.m_readOnlyReason;
    if (target->m_kind == TargetKind::Wine) {
        target->m_drives = files::CDriveMap::FromWinePrefix(target->m_folder);
    } else if (target->m_kind == TargetKind::Offline) {
        target->m_drives.SetDrive('C', target->m_folder);
    } else {
        target->m_drives.SetDrive('C', SandboxDriveC(target->m_folder));
    }
    const CTargetSystem* self = target.get();
    target->m_drives.SetRefusalReporter(
        [self](files::CDriveMap::EHostPlace place, const std::string& path,
               const std::string& hostPath) { self->RecordRefusal(place, path, hostPath); });
    // Wine gives every Windows program the Unix login name; so does the sandbox, whose
    // running user's profile is named after it.
    target->m_userName = process::GetUserName();
    // A Windows disk has its own users: the one whose hive is HKCU.
    if (!opened.m_userName.empty()) target->m_userName = opened.m_userName;
    target->m_profiles = std::move(opened.m_profiles);
    target->ReadVersion();
    target->RefreshEnvironment();
    return target;
}

void CTargetSystem::TakeOver(CTargetSystem&& other) {
    Recorder recorder = std::move(m_recorder);
    SLaunchers launchers = std::move(m_launchers);
    std::string wineboot = std::move(m_wineboot);
    *this = std::move(other);
    m_recorder = std::move(recorder);
    m_launchers = std::move(launchers);
    m_wineboot = std::move(wineboot);
}

std::string CTargetSystem::Describe() const {
    switch (m_kind) {
    case TargetKind::Wine:
        return "Wine prefix " + m_folder;
    case TargetKind::Offline:
        return "Windows disk " + m_folder;
    case TargetKind::Sandbox:
        break;
    }
    return "sandbox " + m_folder;
}

bool CTargetSystem::SaveChanges(std::string* errors) {
    std::vector<std::string> failures = m_registry->TakeRefusedChanges();
    // A refused change fails a preview as it would fail the apply.
    if (!m_preview) m_registry->SaveDirtyHives(&failures);
    const bool ok = failures.empty();
    if (errors) {
        for (const auto& failure : failures) *errors += (errors->empty() ? "" : "\n") + failure;
    }
    return ok;
}

void CTargetSystem::EndPreview() {
    m_preview = false;
    m_registry->TakeRefusedChanges();
    m_registry->DiscardChanges();
    RefreshEnvironment();
}

void CTargetSystem::Refresh() {
    bool reloaded = false;
    m_registry->RefreshHives(nullptr, &reloaded);
    if (!reloaded) return;
    ReadVersion();
    RefreshEnvironment();
}

bool CTargetSystem::CanChangeMachineSettings() { return !m_registry->IsReadOnly(reg::HKEY_LOCAL_MACHINE); }

std::optional<std::string> CTargetSystem::ToHostPath(std::string_view windowsPath) const {
    return m_drives.ToHostPath(windowsPath);
}

std::optional<std::string> CTargetSystem::ToWindowsPath(std::string_view hostPath) const {
    return m_drives.ToWindowsPath(hostPath);
}

void CTargetSystem::ReadVersion() {
    CTargetRegistryReader reader(*m_registry);
    m_version = reader.ReadVersion();
}

int CTargetSystem::WindowsVersionCode() const {
    return GetWindowsVersionCode(m_version.m_platformId, m_version.m_major, m_version.m_minor);
}

void CTargetSystem::RefreshEnvironment() {
    CTargetRegistryReader reader(*m_registry);
    m_environment = reader.ReadEnvironment(m_userName);
}

std::string CTargetSystem::ExpandEnvironmentStrings(std::string_view text) const {
    return target::ExpandEnvironmentStrings(text, m_environment);
}

std::string CTargetSystem::ComputerName() const {
    return m_environment.Get("COMPUTERNAME").value_or(std::string());
}

std::string CTargetSystem::WindowsFolder() const {
    return m_environment.Get("SystemRoot").value_or("C:\\WINDOWS");
}

std::string CTargetSystem::SystemFolder() const { return WindowsFolder() + "\\system32"; }

void CTargetSystem::Record(const std::string& entry) const {
    if (m_recorder) m_recorder(entry);
}

void CTargetSystem::RecordRefusal(files::CDriveMap::EHostPlace place, const std::string& path,
                                  const std::string& hostPath) const {
    using EHostPlace = files::CDriveMap::EHostPlace;
    std::string why;
    switch (place) {
    case EHostPlace::Drive:
        why = "its drive is the host folder " + hostPath + ", outside the " + Describe();
        break;
    case EHostPlace::Link:
        why = "a link leads to " + hostPath + ", outside the drives of the " + Describe();
        break;
    case EHostPlace::HostPath:
        why = "a host path, outside the " + Describe();
        break;
    }
    std::string entry = "Refused to a script: \"" + path + "\" (" + why + ")";
    if (place != EHostPlace::HostPath)
        entry += "; the setting \"AllowHostDrives\" or the option --allow-host-drives lets "
                 "scripts reach host drives";
    Record(entry);
}

std::optional<std::string> CTargetSystem::FindOnTarget(const std::string& name,
                                                       const std::string& folder) const {
    // The folders to look in: the one the name gives, else the current one and PATH's.
    // A folder the script may not reach is refused (and recorded) once, not once for
    // every extension tried in it.
    size_t separator = name.find_last_of("\\/");
    if (separator == std::string::npos && name.size() >= 2 && name[1] == ':') separator = 1;
    const std::string leaf = separator == std::string::npos ? name : name.substr(separator + 1);
    std::vector<std::string> folders;
    if (separator != std::string::npos) {
        std::optional<std::string> given =
            m_drives.ToHostPath(name.substr(0, separator + 1), folder);
        if (given && IsFolder(*given)) folders.push_back(*given);
    } else {
        folders.push_back(folder);
        for (const std::string& entry : SplitList(m_environment.Get("PATH").value_or(""))) {
            std::optional<std::string> host = m_drives.ToHostPath(ExpandEnvironmentStrings(entry));
            if (host && IsFolder(*host)) folders.push_back(*host);
        }
    }
    // A name without an extension is tried with each of PATHEXT, as the shell does.
    std::vector<std::string> extensions{""};
    if (ExtensionOf(leaf).empty()) {
        extensions = SplitList(m_environment.Get("PATHEXT").value_or(".COM;.EXE;.BAT;.CMD"));
        extensions.emplace_back();
    }
    for (const std::string& from : folders) {
        for (const std::string& extension : extensions) {
            std::optional<std::string> host = m_drives.ToHostPath(leaf + extension, from);
            struct stat st {};
            if (!leaf.empty() && host && ::stat(host->c_str(), &st) == 0) return host;
        }
    }
    return std::nullopt;
}

int CTargetSystem::PlanWineStart(const std::string& file,
                                 const std::vector<std::string>& parameters,
                                 std::string_view directory, EStartMode mode, SCommand& command,
                                 std::string& outcome) const {
    const std::string wine = FindProgram(m_launchers.wine);
    if (wine.empty()) {
        outcome = "not started (wine was not found)";
        return SE_ERR_NOASSOC;
    }
    command.m_environment = {"WINEPREFIX=" + m_folder};
    const bool wait = mode != EStartMode::Detached;
    if (IsUrl(file)) {
        if (!IsWebAddress(file)) {
            outcome = "not started (no web address)";
            return SE_ERR_NOASSOC;
        }
        command.m_argv = {wine, "start", file};
        outcome = "opened through wine";
        return SE_SUCCESS;
    }
    const std::string windowsFolder = directory.empty() ? WindowsFolder() : std::string(directory);
    std::optional<std::string> folder = m_drives.ToHostPath(windowsFolder);
    if (!folder || !IsFolder(*folder)) {
        outcome = "not started (no folder " + windowsFolder + ")";
        return SE_ERR_PNF;
    }
    std::optional<std::string> program = FindOnTarget(file, *folder);
    if (!program) {
        outcome = "not started (not found in the prefix)";
        return SE_ERR_FNF;
    }
    const std::string extension = ExtensionOf(*program);
    if (extension == "EXE" || extension == "COM") {
        command.m_argv = {wine, *program};
    } else {
        // Documents, scripts and folders open as the prefix's shell opens them.
        command.m_argv = {wine, "start"};
        if (wait) command.m_argv.push_back("/wait");
        command.m_argv.insert(command.m_argv.end(), {"/unix", *program});
    }
    command.m_argv.insert(command.m_argv.end(), parameters.begin(), parameters.end());
    command.m_directory = *folder;
    outcome = "started through wine as " + *program;
    return SE_SUCCESS;
}

int CTargetSystem::PlanStart(const std::string& file, std::string_view parameters,
                             std::string_view directory, EStartMode mode, SCommand& command,
                             std::string& outcome) const {
    if (file.empty()) {
        outcome = "not started (no program named)";
        return SE_ERR_FNF;
    }
    if (file.front() == '/') {
        if (!m_drives.HostPathsAllowed()) {
            outcome = "not started (a host program; scripts start only the target's programs)";
            return SE_ERR_FNF;
        }
        SShellExecuteRequest request{file, std::string(parameters), {}};
        if (!directory.empty()) request.directory = ToHostPath(directory).value_or(std::string());
        int planned = CShellExecute(m_launchers).Plan(request, command);
        // The user's own script starting the user's own program: only a failure is news.
        if (planned != SE_SUCCESS) outcome = "not found on the host";
        return planned;
    }
    if (m_kind == TargetKind::Offline) {
        outcome = "not started (the Windows of the disk is not running)";
        return SE_ERR_FNF;
    }
    if (m_kind != TargetKind::Wine) {
        outcome = "not started (the sandbox has no programs)";
        return SE_ERR_FNF;
    }
    return PlanWineStart(file, SplitCommandLine(parameters), directory, mode, command, outcome);
}

template <class Start>
int CTargetSystem::StartProgram(std::string_view file, std::string_view parameters,
                                std::string_view directory, EStartMode mode, Start start) {
    // A preview shows what would change without changing it: a program would change
    // what it likes, so none starts. Its start counts as done for the script, except
    // where the script would talk to it.
    if (m_preview) return mode == EStartMode::Piped ? SE_ERR_ACCESSDENIED : SE_SUCCESS;
    const std::string expanded = ExpandEnvironmentStrings(file);
    const std::string expandedDirectory = ExpandEnvironmentStrings(directory);
    SCommand command;
    std::string outcome;
    int result = PlanStart(expanded, parameters, expandedDirectory, mode, command, outcome);
    if (result == SE_SUCCESS) {
        result = start(command);
        if (result != SE_SUCCESS)
            outcome = "failed to start (error " + std::to_string(result) + ")";
    }
    if (outcome.empty()) return result;
    std::string asked = expanded;
    if (!parameters.empty()) asked += " " + std::string(parameters);
    Record("Run \"" + asked + "\" on the " + Describe() + ": " + outcome);
    return result;
}

int CTargetSystem::ShellExecute(std::string_view file, std::string_view parameters,
                                std::string_view directory, int* exitCode,
                                const KeepWaiting& keepWaiting) {
    const EStartMode mode = exitCode ? EStartMode::Waited : EStartMode::Detached;
    if (m_preview && exitCode) *exitCode = 0;
    return StartProgram(file, parameters, directory, mode, [&](const SCommand& command) {
        return exitCode ? RunAndWait(command, *exitCode, keepWaiting) : StartDetached(command);
    });
}

int CTargetSystem::Exec(std::string_view file, std::string_view parameters,
                        std::string_view directory, std::unique_ptr<CChildProcess>& process) {
    process.reset();
    return StartProgram(
        file, parameters, directory, EStartMode::Piped,
        [&](const SCommand& command) { return CChildProcess::Start(command, process); });
}

bool CTargetSystem::RunWineboot(const char* option) {
    const std::string wineboot = FindProgram(m_wineboot);
    if (wineboot.empty()) return false;
    int exitCode = -1;
    return RunAndWait({{wineboot, option}, {"WINEPREFIX=" + m_folder}, {}}, exitCode) ==
               SE_SUCCESS &&
           exitCode == 0;
}

bool CTargetSystem::Restart() {
    if (m_kind == TargetKind::Wine) return RunWineboot("--restart");
    // The Windows of a disk takes the changes when it next starts; nothing to do here.
    if (m_kind == TargetKind::Offline)
        Record("Restart of Windows requested (" + Describe() +
               "): the changes take effect when it next starts");
    else
        Record("Restart of the sandbox requested (" + m_folder + ")");
    return true;
}

bool CTargetSystem::LogOff() {
    if (m_kind == TargetKind::Wine) return RunWineboot("--end-session");
    if (m_kind == TargetKind::Offline)
        Record("Log-off requested (" + Describe() + "): the changes take effect at the next logon");
    else
        Record("Log-off of the sandbox requested (" + m_folder + ")");
    return true;
}

void CTargetSystem::SetLaunchers(SLaunchers launchers, std::string wineboot) {
    m_launchers = std::move(launchers);
    m_wineboot = std::move(wineboot);
}

} // namespace cva::target

#include "platform/target/TargetSystem.h"

#include "platform/process/ProcessServices.h"
#include "platform/target/Sandbox.h" // SandboxDriveC
#include "platform/target/TargetRegistryReader.h"
#include "platform/target/WindowsVersion.h"

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace cva::target {

namespace {

bool IsUrl(std::string_view text) {
    size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon < 2) return false; // "C:" is a drive
    for (size_t i = 0; i < colon; ++i) {
        char c = text[i];
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (i > 0 && (c == '+' || c == '-' || c == '.'));
        if (!ok) return false;
    }
    return true;
}

bool LooksLikeWindowsPath(std::string_view text) {
    if (text.size() >= 2 && text[1] == ':') return true;
    return text.find('\\') != std::string_view::npos;
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
    } else {
        target->m_drives.SetDrive('C', SandboxDriveC(target->m_folder));
    }
    // Wine gives every Windows program the Unix login name; so does the sandbox, whose
    // running user's profile is named after it.
    target->m_userName = process::GetUserName();
    target->ReadVersion();
    target->RefreshEnvironment();
    return target;
}

std::string CTargetSystem::Describe() const {
    return (m_kind == TargetKind::Wine ? "Wine prefix " : "sandbox ") + m_folder;
}

bool CTargetSystem::SaveChanges(std::string* errors) {
    std::vector<std::string> failures = m_registry->TakeRefusedChanges();
    m_registry->SaveDirtyHives(&failures);
    const bool ok = failures.empty();
    if (errors) {
        for (const auto& failure : failures) *errors += (errors->empty() ? "" : "\n") + failure;
    }
    return ok;
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

int CTargetSystem::ShellExecute(std::string_view file, std::string_view parameters,
                                std::string_view directory) {
    SShellExecuteRequest request;
    request.parameters = std::string(parameters);
    std::string expanded = ExpandEnvironmentStrings(file);
    if (IsUrl(expanded)) {
        request.file = expanded;
    } else if (LooksLikeWindowsPath(expanded)) {
        auto host = ToHostPath(expanded);
        if (!host) return SE_ERR_PNF;
        request.file = *host;
    } else {
        request.file = expanded;
    }
    if (!directory.empty()) {
        auto host = ToHostPath(ExpandEnvironmentStrings(directory));
        if (!host) return SE_ERR_PNF;
        request.directory = *host;
    }
    if (m_kind == TargetKind::Wine) request.winePrefix = m_folder;
    return m_shell.Execute(request);
}

bool CTargetSystem::RunWineboot(const char* option) {
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        setenv("WINEPREFIX", m_folder.c_str(), 1);
        execlp(m_wineboot.c_str(), m_wineboot.c_str(), option, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool CTargetSystem::Restart() {
    if (m_kind == TargetKind::Wine) return RunWineboot("--restart");
    if (m_recorder) m_recorder("Restart of the sandbox requested (" + m_folder + ")");
    return true;
}

bool CTargetSystem::LogOff() {
    if (m_kind == TargetKind::Wine) return RunWineboot("--end-session");
    if (m_recorder) m_recorder("Log-off of the sandbox requested (" + m_folder + ")");
    return true;
}

void CTargetSystem::SetLaunchers(CShellExecute::SLaunchers launchers, std::string wineboot) {
    m_shell = CShellExecute(std::move(launchers));
    m_wineboot = std::move(wineboot);
}

} // namespace cva::target

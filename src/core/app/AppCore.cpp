#include "core/app/AppCore.h"

#include "core/registry/FavoritesMenus.h"
#include "platform/files/FileAttributes.h"
#include "platform/process/ProcessServices.h"
#include "platform/target/ShellExecute.h"

#include <cstdio>
#include <sys/stat.h>

namespace cva::app {

namespace {

constexpr const char* kSettings = "Settings";

std::string TrimTrailingSlashes(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
    return path;
}

// The folder of the settings file: what a copy of the program is identified by.
std::string SettingsFolder(const settings::CSettingsStore& settings) {
    const std::string& file = settings.FilePath();
    const size_t slash = file.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : file.substr(0, slash);
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string PendingQuestion(const char* action) {
    char text[128];
    std::snprintf(text, sizeof text, "CVA will now %s windows so that the changes will take place.", action);
    return text;
}

} // namespace

bool IsUserAdmin(target::CTargetSystem& target) { return target.CanChangeMachineSettings(); }

std::string MachineSettingsWarning(target::CTargetSystem& target) {
    if (target.IsReadOnly() && !target.ReadOnlyReason().empty()) return target.ReadOnlyReason();
    std::string text = "This program needs admin rights !";
    reg::CRegistry& registry = target.Registry();
    reg::HKEY key = nullptr;
    std::string reason;
    if (registry.RegOpenKeyExA(reg::HKEY_LOCAL_MACHINE, "Software", 0, reg::KEY_READ, &key) ==
        reg::ERROR_SUCCESS) {
        registry.IsReadOnly(key, &reason);
        registry.RegCloseKey(key);
    }
    if (!reason.empty()) text += "\n\n" + reason;
    return text;
}

bool IsPlainFolder(const std::string& path) {
    return IsFolder(path) && files::GetFileAttributes(path) == files::FILE_ATTRIBUTE_DIRECTORY;
}

CAppCore::CAppCore(settings::CSettingsStore& settings, COptions options)
    : m_settings(settings), m_options(std::move(options)),
      m_lock(process::CSingleInstanceLock::NameFor(m_options.m_lockName, SettingsFolder(settings)),
             m_options.m_lockFolder.empty()
                 ? process::CSingleInstanceLock::FolderFor(SettingsFolder(settings))
                 : m_options.m_lockFolder) {
    if (m_options.m_programFolder.empty()) m_options.m_programFolder = process::GetAppFolder();
    m_options.m_programFolder = TrimTrailingSlashes(m_options.m_programFolder);
}

CAppCore::~CAppCore() = default;

CAppCore::EStart CAppCore::Start(const StartupMessage& message, std::string* error) {
    if (!m_lock.Acquire()) {
        if (error) *error = RunningCopyText();
        return EStart::AlreadyRunning;
    }

    std::string spec = m_options.m_targetSpec;
    if (spec.empty()) spec = m_settings.GetProfileString(kSettings, "Target");
    std::string why;
    m_target = target::CTargetSystem::Open(spec, why);
    if (!m_target) {
        if (error) *error = why;
        return EStart::NoTarget;
    }
    m_target->SetRecorder([this](const std::string& entry) { m_logger.Log(entry); });
    PrepareTarget();
    if (m_nWindowsVersion < 7 && !message("This application runs only on Windows XP and above"))
        return EStart::Declined;
    if (!IsUserAdmin(*m_target) && !message(MachineSettingsWarning(*m_target)))
        return EStart::Declined;

    ReadFolderSettings();
    registry::CFavoritesMenus::WriteDefaultTools(m_strProfileDir, m_target->Kind() == target::TargetKind::Wine);
    return EStart::Run;
}

void CAppCore::PrepareTarget() {
    // Plugins reach the drives that lie outside the target only when the user says so.
    m_target->AllowHostDrives(m_options.m_allowHostDrives ||
                              m_settings.GetProfileInt(kSettings, "AllowHostDrives", 0) != 0);
    m_nWindowsVersion = m_target->WindowsVersionCode();
}

bool CAppCore::SwitchTarget(const target::CRegistrySpec& spec, std::string* error) {
    std::string why;
    std::unique_ptr<target::CTargetSystem> opened = target::CTargetSystem::Open(spec, why);
    if (!opened) {
        if (error) *error = why;
        return false;
    }
    if (m_target) {
        UnloadForeignHive();
        std::string failures;
        if (!m_target->SaveChanges(&failures)) {
            // What is not on disk yet must not go with the old target.
            if (error) *error = "the changes to " + m_target->Describe() + " could not be saved:\n" + failures;
            return false;
        }
        m_target->TakeOver(std::move(*opened));
    } else {
        m_target = std::move(opened);
        m_target->SetRecorder([this](const std::string& entry) { m_logger.Log(entry); });
    }
    PrepareTarget();
    registry::CFavoritesMenus::WriteDefaultTools(m_strProfileDir, m_target->Kind() == target::TargetKind::Wine);
    m_logger.Log("Opened the target " + m_target->Describe());
    return true;
}

std::string CAppCore::RunningCopyText() const {
    if (!m_lock.Error().empty())
        return "the guard against a second copy cannot be used: " + m_lock.Error();
    std::string text = "another copy";
    if (m_lock.HolderPid() > 0) text += " (process " + std::to_string(m_lock.HolderPid()) + ")";
    return text + " is running with the settings in " + SettingsFolder(m_settings);
}

std::string CAppCore::DefaultPluginFolder() const {
    const std::string beside = m_options.m_programFolder + "/plugins";
    const std::string installed = m_options.m_programFolder + "/../share/corvanta/plugins";
    if (!IsFolder(beside) && IsFolder(installed)) return installed;
    return beside;
}

void CAppCore::ReadFolderSettings() {
    m_strPluginDir = TrimTrailingSlashes(m_settings.GetProfileString(kSettings, "PluginDir"));
    if (m_strPluginDir.empty() || !IsPlainFolder(m_strPluginDir)) {
        m_strPluginDir = DefaultPluginFolder();
        m_settings.WriteProfileString(kSettings, "PluginDir", m_strPluginDir.c_str());
    }

    m_strProfileDir = m_settings.GetProfileString(kSettings, "ProfileDir");
    if (m_strProfileDir.empty()) {
        // The data folder when the desktop has one; otherwise the program's own folder.
        std::string data = target::ProfileFolder();
        if (!data.empty() && data.front() == '/' && process::CreateFolderPath(data)) {
            m_strProfileDir = data;
        } else {
            m_strProfileDir = m_options.m_programFolder;
        }
        m_strProfileDir = TrimTrailingSlashes(m_strProfileDir);
        m_settings.WriteProfileString(kSettings, "ProfileDir", m_strProfileDir.c_str());
    }
    m_strProfileDir = TrimTrailingSlashes(m_strProfileDir);

    m_strLogDir = logging::LogFolderFor(m_strProfileDir);
    process::CreateFolderPath(m_strLogDir);
    m_logger.Open(m_strLogDir,
                  m_options.m_noLog ? 0 : static_cast<int>(m_settings.GetProfileInt(kSettings, "CreateLog", 1)));

    if (m_settings.GetProfileString(kSettings, "LogViewer").empty())
        m_settings.WriteProfileString(kSettings, "LogViewer", "xdg-open");
}

void CAppCore::ConfirmPendingRequests(const CloseQuestion& ask) {
    if (m_nRestartRequests != 0) {
        if (!ask(PendingQuestion("Restart"))) m_nRestartRequests = 0;
    } else if (m_nLogoffRequests != 0) {
        if (!ask(PendingQuestion("LogOff"))) m_nLogoffRequests = 0;
    }
}

void CAppCore::UnloadForeignHive() {
    if (!m_target) return;
    reg::CRegistry& registry = m_target->Registry();
    process::EnablePrivilege("SeBackupPrivilege", true);
    process::EnablePrivilege("SeRestorePrivilege", true);
    reg::HKEY key = nullptr;
    if (registry.RegOpenKeyExA(reg::HKEY_USERS, "Corvanta", 0, reg::KEY_ALL_ACCESS, &key) == reg::ERROR_SUCCESS) {
        registry.RegCloseKey(key);
        registry.RegUnLoadKeyA(reg::HKEY_USERS, "Corvanta");
    }
    process::EnablePrivilege("SeBackupPrivilege", false);
    process::EnablePrivilege("SeRestorePrivilege", false);
}

CAppCore::EExitAction CAppCore::Exit() {
    UnloadForeignHive();
    if (m_target) m_target->SaveChanges();
    if (!m_strLogDir.empty() && m_settings.GetProfileInt(kSettings, "ClearOldLogs", 7) != 0)
        logging::ClearOldLogs(m_strLogDir, 7);

    if (m_nRestartRequests != 0 && m_target) {
        m_target->Restart();
        return EExitAction::Restart;
    }
    if (m_nLogoffRequests != 0 && m_target) {
        m_target->LogOff();
        return EExitAction::LogOff;
    }
    if (!m_strRunAfterExit.empty()) {
        // The downloaded setup program is a file of the host, not of the target.
        target::CShellExecute().Execute({m_strRunAfterExit, {}, {}});
        return EExitAction::RunAfterExit;
    }
    return EExitAction::None;
}

} // namespace cva::app

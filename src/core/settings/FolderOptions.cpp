#include "core/settings/FolderOptions.h"

#include "core/app/AppCore.h"
#include "core/app/UserPrompts.h"
#include "core/settings/OptionsPages.h"
#include "platform/process/ProcessServices.h"
#include "platform/settings/SettingsStore.h"

namespace cva::options {

namespace {

void Browse(app::IUserPrompts& prompts, const char* title, std::string& field) {
    const std::optional<std::string> picked = prompts.PickFolder(title, field);
    if (picked && !picked->empty()) field = *picked;
}

bool Refuse(app::IUserPrompts& prompts, const std::string& text) {
    prompts.MessageBox(text, app::kAppTitle, app::MB_OK | app::MB_ICONEXCLAMATION);
    return false;
}

} // namespace

void CFolderOptions::Open() {
    m_strPluginDir = m_strStoredPluginDir = m_settings.GetProfileString(kSettings, "PluginDir");
    m_strProfileDir = m_strStoredProfileDir = m_settings.GetProfileString(kSettings, "ProfileDir");
}

void CFolderOptions::BrowsePluginFolder(app::IUserPrompts& prompts) {
    Browse(prompts, "Plug-in Folder", m_strPluginDir);
}

void CFolderOptions::BrowseProfileFolder(app::IUserPrompts& prompts) {
    Browse(prompts, "Profile Folder", m_strProfileDir);
}

bool CFolderOptions::Validate(app::IUserPrompts& prompts) const {
    if (!m_strPluginDir.empty() && m_strPluginDir != m_strStoredPluginDir && !app::IsPlainFolder(m_strPluginDir))
        return Refuse(prompts, "The plug-in folder \"" + m_strPluginDir +
                                   "\" is not a folder that can be used (missing, a file, or read-only).");
    if (!m_strProfileDir.empty() && m_strProfileDir != m_strStoredProfileDir &&
        (m_strProfileDir.front() != '/' || !process::CreateFolderPath(m_strProfileDir)))
        return Refuse(prompts, "The profile folder \"" + m_strProfileDir + "\" cannot be created.");
    return true;
}

void CFolderOptions::Write() {
    if (!m_strPluginDir.empty()) m_settings.WriteProfileString(kSettings, "PluginDir", m_strPluginDir.c_str());
    if (!m_strProfileDir.empty()) m_settings.WriteProfileString(kSettings, "ProfileDir", m_strProfileDir.c_str());
}

bool CFolderOptions::PluginFolderChanged() const {
    return !m_strPluginDir.empty() && m_strPluginDir != m_strStoredPluginDir;
}

bool CFolderOptions::ProfileFolderChanged() const {
    return !m_strProfileDir.empty() && m_strProfileDir != m_strStoredProfileDir;
}

} // namespace cva::options

// File > Update: the version check and download of the update library, and the file it
// brought run when the program ends.
#include "gui/window/ApplicationWindow.h"

#include "core/app/AppCore.h"
#include "core/app/ApplicationDlg.h"
#include "core/app/UserPrompts.h"
#include "gui/app/SetupLauncher.h"
#include "platform/process/ModuleVersion.h"
#include "platform/settings/SettingsStore.h"
#include "update/Skyfetch.h"

#include <QCoreApplication>

#include <climits>
#include <cstdio>
#include <vector>

namespace cva::gui {

std::string UpdateVersionText(uint32_t fileVersionMS, uint32_t fileVersionLS, unsigned int pluginVersion) {
    // The fourth field tells how new the plugins are, not the program's own build.
    char text[64];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", fileVersionMS >> 16, fileVersionMS & 0xFFFF, fileVersionLS >> 16,
                  pluginVersion);
    return text;
}

void CApplicationWindow::OnCheckForUpdate() {
    const unsigned int pluginVersion = m_settings.GetProfileInt("settings", "PluginVersion", 0);
    process::CModuleVersion version;
    if (!version.GetFileVersionInfo(QCoreApplication::applicationFilePath().toStdString())) {
        m_logic.Prompts().MessageBox("Unable to read current version information", app::kAppTitle, app::MB_OK);
        return;
    }
    const std::string text = UpdateVersionText(version.dwFileVersionMS, version.dwFileVersionLS, pluginVersion);
    if (!CheckForUpdate(this, text.c_str(), "Corvanta", "cva")) return;
    std::vector<char> buffer(PATH_MAX + 1, '\0');
    GetSetupFilePath(buffer.data(), PATH_MAX);
    const std::string path = buffer.data();
    const ESetupLaunch launch = PrepareSetupLaunch(path);
    if (m_pCore) m_pCore->SetRunAfterExit(path);
    m_logic.Prompts().MessageBox(SetupLaunchMessage(path, launch), app::kAppTitle, app::MB_OK | app::MB_ICONINFORMATION);
}

} // namespace cva::gui

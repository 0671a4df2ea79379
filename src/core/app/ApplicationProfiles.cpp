// The main window's choice of the user whose settings are edited: the running user, or
// another user of the target whose hive is loaded for as long as it is chosen.
#include "core/app/ApplicationDlg.h"

#include "core/app/UserProfiles.h"
#include "core/app/UserPrompts.h"
#include "platform/process/SystemMessage.h"
#include "platform/target/TargetSystem.h"

#include <cstdio>

namespace cva::app {

std::string CApplicationDlg::ProfileEntryName() const {
    return ProfileName(static_cast<size_t>(m_nProfile) < m_arrProfiles.size()
                           ? m_arrProfiles[static_cast<size_t>(m_nProfile)]
                           : m_strUserName);
}

void CApplicationDlg::UpdateProfilePane() {
    if (!m_pView) return;
    const std::string entry = ProfileEntryName();
    // GetComputerNameA's buffer holds 15 characters.
    const std::string computer = m_target.ComputerName().substr(0, 15);
    m_pView->SetStatusText(EStatusPane::Profile,
                           "Profile: " + computer + "\\" + entry);
}

void CApplicationDlg::BuildProfileList() {
    m_arrProfiles = ReadProfileList(m_target, m_strUserName);
    if (static_cast<size_t>(m_nProfile) >= m_arrProfiles.size()) m_nProfile = 0;
    UpdateProfilePane();
}

void CApplicationDlg::LoadSettings() {
    OnOptionsChanged();
    // The target's logged-on user: the Linux login on a sandbox or a Wine prefix.
    m_strUserName = m_target.UserName();
    if (static_cast<size_t>(m_nProfile) >= m_arrProfiles.size()) m_nProfile = 0;
    const SUserHiveSwitch result = SwitchUserHive(
        m_target, m_nProfile > 0 ? m_arrProfiles[static_cast<size_t>(m_nProfile)] : "",
        m_hUserHive);
    // A hive whose changes could not be saved stays loaded with them, so nothing is lost;
    // the next unload tries again.
    if (result.m_unload != reg::ERROR_SUCCESS) ShowSystemError(result.m_unload);
    m_nProfileLoadError = result.m_load;
    if (result.m_load != reg::ERROR_SUCCESS) m_nProfile = 0;
    UpdateProfilePane();
}

void CApplicationDlg::OnOptionsOk(std::optional<int> profile) {
    const int before = m_nProfile;
    if (profile && *profile >= 0 && static_cast<size_t>(*profile) < m_arrProfiles.size())
        m_nProfile = *profile;
    LoadSettings();
    if (m_nProfile != before && m_catalogue.IsValidIndex(m_nCurrentPlugin))
        LoadPlugin(m_nCurrentPlugin);
}

void CApplicationDlg::ShowSystemError(reg::LSTATUS code) {
    char text[512];
    std::snprintf(text, sizeof text, " failed with error %d: %s", static_cast<int>(code),
                  process::FormatSystemMessage(code).c_str());
    m_prompts.MessageBox(text, "Error", MB_OK);
}

} // namespace cva::app

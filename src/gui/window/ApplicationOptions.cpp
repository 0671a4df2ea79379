// The options sheet of the main window and what its OK changes at once.
#include "gui/window/ApplicationWindow.h"

#include "core/app/AppCore.h"
#include "core/app/ApplicationDlg.h"
#include "core/app/UserPrompts.h"
#include "core/settings/OptionsSheet.h"
#include "gui/options/OptionsSheetDlg.h"
#include "platform/settings/SettingsStore.h"
#include "platform/target/TargetSystem.h"

namespace cva::gui {

void CApplicationWindow::ShowOptions(int page) {
    options::COptionsSheet model(m_settings, &m_logic.Target());
    model.SetProfiles(m_logic.m_arrProfiles, m_logic.m_nProfile);
    COptionsSheetDlg sheet(model, m_logic.Prompts(), m_pCore ? &m_pCore->m_logger : nullptr, page, this);
    if (sheet.exec() != QDialog::Accepted) return;
    ApplyOptions(sheet.Result());
}

void CApplicationWindow::ApplyOptions(const options::SOptionsResult& result) {
    bool rebuild = result.pluginFolderChanged || result.profileFolderChanged;
    if (m_pCore) {
        // The folders decide where the log goes, so reading them opens the log anew.
        if (rebuild)
            m_pCore->ReadFolderSettings();
        else if (result.logChanged)
            m_pCore->m_logger.Open(m_pCore->LogFolder(),
                                   static_cast<int>(m_settings.GetProfileInt("Settings", "CreateLog", 1)));
    }
    // A profile of the target about to be left is not loaded only to be unloaded again:
    // the switch reads the options anew as it unloads.
    const bool switchTarget = result.target && m_pCore;
    if (!switchTarget) m_logic.OnOptionsOk(result.profile);
    if (result.favoritesChanged || rebuild) m_logic.Menus().m_bFavoritesChanged = true;
    if (switchTarget) {
        m_logic.BeforeTargetChange();
        std::string why;
        if (m_pCore->SwitchTarget(*result.target, &why)) {
            m_logic.OnTargetChanged();
        } else {
            // The one that stays open is the stored one again.
            m_settings.WriteProfileString("Settings", "Target",
                                          target::FormatRegistrySpec(m_logic.Target().Spec()).c_str());
            m_logic.Prompts().MessageBox(target::TargetLabel(*result.target) + " cannot be opened:\n" + why,
                                         app::kAppTitle, app::MB_OK | app::MB_ICONEXCLAMATION);
        }
        rebuild = true;
    } else if (rebuild) {
        m_logic.RefreshAll();
    }
    if (rebuild || result.treeStyleChanged) RebuildOutBar();
    UpdateCommandUI();
}

} // namespace cva::gui

// The main window's part in switching to another target without restarting.
#include "core/app/ApplicationDlg.h"

#include "platform/target/TargetSystem.h"

namespace cva::app {

void CApplicationDlg::BeforeTargetChange() {
    m_pHost.reset();
    ShowStartPage();
    // Another user's hive is a file of the old target: it is saved and unloaded there
    // while that target is still open.
    m_nProfile = 0;
    LoadSettings();
}

void CApplicationDlg::OnTargetChanged() {
    const int version = m_target.WindowsVersionCode();
    m_catalogue.SetVersionTarget(version, m_target.Kind() == target::TargetKind::Wine);
    m_menus.SetWindowsVersionCode(version);
    m_menus.m_bFavoritesChanged = true;
    // The version filter decides which plugins the catalogue holds, so it is built anew.
    RefreshAll();
    // The new target's own users, as at start: a hive an earlier run left loaded there
    // is unloaded first.
    LoadSettings();
    BuildProfileList();
    UpdateTargetPane();
}

void CApplicationDlg::UpdateTargetPane() {
    if (m_pView) m_pView->SetStatusText(EStatusPane::Target, target::TargetLabel(m_target.Spec()));
}

} // namespace cva::app

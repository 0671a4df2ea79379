#include "core/settings/OptionsSheet.h"

#include "core/app/UserPrompts.h"
#include "platform/settings/SettingsStore.h"

namespace cva::options {

COptionsSheet::COptionsSheet(settings::CSettingsStore& settings, target::CTargetSystem* target)
    : m_logging(settings), m_folders(settings), m_favorites(settings), m_tree(settings), m_user(settings),
      m_misc(settings), m_target(settings, target), m_settings(settings) {}

void COptionsSheet::SetProfiles(std::vector<std::string> paths, int selected) {
    m_profilePaths = std::move(paths);
    m_nSelectedProfile = selected;
}

bool COptionsSheet::WasShown(int page) const {
    return page >= 0 && page < OPTIONS_PAGE_COUNT && m_shown[static_cast<size_t>(page)];
}

void COptionsSheet::ShowPage(int page) {
    if (page < 0 || page >= OPTIONS_PAGE_COUNT) return;
    m_nActive = page;
    if (m_shown[static_cast<size_t>(page)]) return;
    m_shown[static_cast<size_t>(page)] = true;
    switch (page) {
    case PAGE_LOGGING: m_logging.Open(); break;
    case PAGE_FOLDERS: m_folders.Open(); break;
    case PAGE_FAVORITES: m_favorites.Open(); break;
    case PAGE_TREE: m_tree.Open(); break;
    case PAGE_USER: m_user.Open(); break;
    case PAGE_MISC: m_misc.Open(); break;
    case PAGE_PROFILE: m_profile.Open(m_profilePaths, m_nSelectedProfile); break;
    case PAGE_TARGET: m_target.Open(); break;
    default: break;
    }
}

bool COptionsSheet::OnOK(app::IUserPrompts& prompts, SOptionsResult& result) {
    result = SOptionsResult{};
    if (WasShown(PAGE_FOLDERS) && !m_folders.Validate(prompts)) return false;
    if (WasShown(PAGE_TARGET) && !m_target.Validate(prompts)) return false;

    if (WasShown(PAGE_LOGGING)) {
        const unsigned int before = m_settings.GetProfileInt(kSettings, "CreateLog", 1);
        m_logging.Write();
        result.logChanged = m_settings.GetProfileInt(kSettings, "CreateLog", 1) != before;
    }
    if (WasShown(PAGE_FOLDERS)) {
        result.pluginFolderChanged = m_folders.PluginFolderChanged();
        result.profileFolderChanged = m_folders.ProfileFolderChanged();
        m_folders.Write();
    }
    if (WasShown(PAGE_FAVORITES)) {
        result.favoritesChanged = m_favorites.IsModified();
        if (!m_favorites.Save())
            prompts.MessageBox("The favorites could not be saved; favorites.ini was left as it was.",
                               app::kAppTitle, app::MB_OK | app::MB_ICONEXCLAMATION);
    }
    if (WasShown(PAGE_TREE)) {
        result.treeStyleChanged = m_tree.Style() != CTreeOptions::StoredStyle(m_settings);
        m_tree.Write();
    }
    if (WasShown(PAGE_USER)) m_user.Write();
    if (WasShown(PAGE_MISC)) m_misc.Write();
    if (WasShown(PAGE_PROFILE)) result.profile = m_profile.Result();
    if (WasShown(PAGE_TARGET)) {
        result.target = m_target.Changed();
        m_target.Write();
    }
    return true;
}

} // namespace cva::options

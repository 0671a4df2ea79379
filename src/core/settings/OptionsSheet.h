#pragma once

#include "core/settings/FavoritesOrganizer.h"
#include "core/settings/FolderOptions.h"
#include "core/settings/LoggingOptions.h"
#include "core/settings/MiscOptions.h"
#include "core/settings/OptionsPages.h"
#include "core/settings/ProfileOptions.h"
#include "core/settings/TargetOptions.h"
#include "core/settings/TreeOptions.h"
#include "core/settings/UserOptions.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace cva::options {

// What an OK changed that the program must act on.
struct SOptionsResult {
    bool logChanged = false;
    bool pluginFolderChanged = false;
    bool profileFolderChanged = false;
    bool treeStyleChanged = false;
    bool favoritesChanged = false;
    std::optional<int> profile;                  // the profile index to select
    std::optional<target::CRegistrySpec> target; // the target to open instead
};

// The options sheet without its window: the eight pages, each read when first shown and
// written on OK; Cancel is simply never calling OnOK.
class COptionsSheet {
public:
    // `target`: the open target (the Target page's current entry), may be null.
    COptionsSheet(settings::CSettingsStore& settings, target::CTargetSystem* target);

    // The main window's profile list and its selected index, for the Profile page.
    void SetProfiles(std::vector<std::string> paths, int selected);
    // Makes the page the shown one; it reads its values the first time.
    void ShowPage(int page);
    int ActivePage() const { return m_nActive; }
    bool WasShown(int page) const;

    // Checks the pages that can refuse (folders, target) and, when all pass, writes every
    // page that was shown. False (nothing written) when a page refused; the user was told.
    bool OnOK(app::IUserPrompts& prompts, SOptionsResult& result);

    CLoggingOptions m_logging;
    CFolderOptions m_folders;
    CFavoritesOrganizer m_favorites;
    CTreeOptions m_tree;
    CUserOptions m_user;
    CMiscOptions m_misc;
    CProfileOptions m_profile;
    CTargetOptions m_target;

private:
    settings::CSettingsStore& m_settings;
    std::vector<std::string> m_profilePaths;
    int m_nSelectedProfile = -1;
    std::array<bool, OPTIONS_PAGE_COUNT> m_shown{};
    int m_nActive = -1;
};

} // namespace cva::options

#include "core/settings/OptionsPages.h"

#include "platform/settings/SettingsStore.h"

namespace cva::options {

const char* OptionsPageCaption(int page) {
    static const char* const captions[] = {"Logging", "Folders", "Favorites", "Tree",
                                           "User",    "Misc",    "Profile",   "Target"};
    return page >= 0 && page < OPTIONS_PAGE_COUNT ? captions[page] : "";
}

std::string StoredFolder(settings::CSettingsStore& settings, const char* name) {
    std::string folder = settings.GetProfileString(kSettings, name);
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}

} // namespace cva::options

#pragma once

#include <string>

namespace cva::app {
class IUserPrompts;
}
namespace cva::settings {
class CSettingsStore;
}

namespace cva::options {

// The "Folders" page: the plug-in and profile folders.
class CFolderOptions {
public:
    explicit CFolderOptions(settings::CSettingsStore& settings) : m_settings(settings) {}

    void Open();
    // The "..." buttons: the folder browser's answer replaces the field unless it was
    // cancelled or empty.
    void BrowsePluginFolder(app::IUserPrompts& prompts);
    void BrowseProfileFolder(app::IUserPrompts& prompts);
    // Before anything is written: a plug-in folder that is not a folder, or a profile
    // folder that cannot be made, would be replaced by the default at the next start, so
    // the user is told and the sheet stays open. Empty fields pass.
    bool Validate(app::IUserPrompts& prompts) const;
    // Writes each field that is not empty.
    void Write();
    // Whether Write changed what is stored.
    bool PluginFolderChanged() const;
    bool ProfileFolderChanged() const;

    std::string m_strPluginDir;
    std::string m_strProfileDir;

private:
    settings::CSettingsStore& m_settings;
    std::string m_strStoredPluginDir;
    std::string m_strStoredProfileDir;
};

} // namespace cva::options

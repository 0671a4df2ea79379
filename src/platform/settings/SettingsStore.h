#pragma once

#include "platform/registry/Registry.h"

#include <memory>
#include <string>
#include <string_view>

namespace cva::settings {

// The program's own settings: HKCU\Software\Meridot\Corvanta\<section>, kept in a small
// Wine-format registry file of its own (never in the target), read and written the way
// MFC's CWinApp profile functions do with a registry key. Section and entry names are
// case-insensitive ("Settings" and "settings" are one key). Every write is saved at once;
// every read and write first takes in what another copy of the program wrote meanwhile.
class CSettingsStore {
public:
    static constexpr const char* kFileName = "settings.reg";

    // `folder` empty: $XDG_CONFIG_HOME/Meridot/Corvanta (default ~/.config/...).
    explicit CSettingsStore(std::string folder = {});

    static std::string DefaultFolder();
    const std::string& FilePath() const { return m_file; }
    // False when the file exists but could not be read; reads then give the defaults,
    // writes fail, and the file is left as it is.
    bool IsUsable() const { return m_registry != nullptr; }
    const std::string& LoadError() const { return m_error; }
    // Why the last write that returned false did not reach the file ("PATH: not saved:
    // No space left on device").
    const std::string& SaveError() const { return m_saveError; }

    // REG_SZ or REG_EXPAND_SZ text; the default for a missing value or another type.
    std::string GetProfileString(std::string_view section, std::string_view entry,
                                 std::string_view defaultValue = {});
    // A REG_DWORD; the default for a missing value or another type.
    unsigned int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue);
    // entry null deletes the whole section, value null deletes the entry.
    bool WriteProfileString(std::string_view section, const char* entry, const char* value);
    bool WriteProfileInt(std::string_view section, std::string_view entry, int value);

private:
    std::string SectionPath(std::string_view section) const;
    bool Save();

    std::string m_folder;
    std::string m_file;
    std::string m_error;
    std::string m_saveError;
    std::unique_ptr<reg::CRegistry> m_registry;
};

} // namespace cva::settings

#pragma once

#include "core/plugin/PluginFile.h"
#include "platform/registry/Registry.h"

#include <string>

namespace cva::app {

// The "Export" section of a plugin written to a registry editor file: every "Key" entry
// with all its subkeys, then every "Val" entry, added at the end of the file.
class CTweakExport {
public:
    // userHive: another user's mounted hive that HKCU entries read; null for the
    // running user.
    CTweakExport(reg::CRegistry& registry, reg::HKEY userHive)
        : m_registry(registry), m_userHive(userHive) {}

    // False, with the reason in `why` and the file as it was, when the file could not
    // be written. Entries naming no known root, and keys and values that are not there,
    // are left out.
    bool Export(const plugin::CPluginFile& plugin, const std::string& filePath, std::string& why);
    // What the last Export found: key headers and values written.
    size_t KeyCount() const { return m_keys; }
    size_t ValueCount() const { return m_values; }

    // Whether the plugin names anything to export.
    static bool HasEntries(const plugin::CPluginFile& plugin);
    // The page's caption (or its category when it has none) as a file name with ".reg".
    static std::string ProposedFileName(const plugin::CPluginFile& plugin);

private:
    reg::CRegistry& m_registry;
    reg::HKEY m_userHive;
    size_t m_keys = 0;
    size_t m_values = 0;
};

} // namespace cva::app

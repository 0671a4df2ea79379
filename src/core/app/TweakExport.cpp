#include "core/app/TweakExport.h"

#include "core/app/UserPrompts.h"
#include "core/registry/RegBackup.h"
#include "core/script/HostProxy.h"
#include "core/script/HostRegistryPath.h"
#include "platform/text/Unicode.h"

namespace cva::app {

bool CTweakExport::Export(const plugin::CPluginFile& plugin, const std::string& filePath,
                          std::string& why) {
    registry::CRegBackup backup(m_registry, filePath);
    for (const std::string& entry : plugin::ReadExportList(plugin, "Key")) {
        const size_t slash = entry.find('\\');
        if (slash == std::string::npos) continue;
        if (reg::HKEY root = script::RootKeyFromName(entry.substr(0, slash), m_userHive))
            backup.BackupKeyTree(root, entry.substr(slash + 1));
    }
    for (const std::string& entry : plugin::ReadExportList(plugin, "Val")) {
        const size_t first = entry.find('\\');
        const size_t last = entry.rfind('\\');
        if (first == std::string::npos) continue;
        reg::HKEY root = script::RootKeyFromName(entry.substr(0, first), m_userHive);
        if (!root) continue;
        // With one backslash the name behind it is both the key and the value.
        const std::string valueName = entry.substr(last + 1);
        backup.BackupValue(root, first == last ? valueName : entry.substr(first + 1, last - first - 1),
                           valueName);
    }
    m_keys = backup.KeyCount();
    m_values = backup.ValueCount();
    return backup.Save(why);
}

bool CTweakExport::HasEntries(const plugin::CPluginFile& plugin) {
    return !plugin::ReadExportList(plugin, "Key").empty() ||
           !plugin::ReadExportList(plugin, "Val").empty();
}

std::string CTweakExport::ProposedFileName(const plugin::CPluginFile& plugin) {
    std::string name = plugin.GetString("settings", "caption", "none");
    if (text::EqualsNoCaseUtf8(name, "none")) name = plugin.GetString("settings", "category", kAppTitle);
    return script::CHost_Proxy::BackupFileName(name);
}

} // namespace cva::app

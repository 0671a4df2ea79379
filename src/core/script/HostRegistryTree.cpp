// The registry functions that move or copy whole key trees: RegRenameKey and
// RegBackupKey.
#include "core/registry/RegBackup.h"
#include "core/script/HostProxy.h"
#include "core/script/HostRegistryPath.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"

#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace cva::script {

using namespace cva::reg;

namespace {

// Only the three short prefixes plugins are known to write are taken off; a long root
// name in a key path is left alone and the key is then not found.
std::string DropRootPrefix(const std::string& path) {
    if (path.size() >= 5 && path[4] == '\\') {
        std::string_view prefix(path.data(), 4);
        if (text::EqualsNoCaseUtf8(prefix, "HKLM") || text::EqualsNoCaseUtf8(prefix, "HKCU") ||
            text::EqualsNoCaseUtf8(prefix, "HKCR"))
            return path.substr(5);
    }
    return path;
}

std::string TrimSlashes(std::string_view path) {
    while (!path.empty() && path.front() == '\\')
        path.remove_prefix(1);
    while (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    return std::string(path);
}

// Whether `inner` is `outer` or a key below it. Moving a key onto itself or into its own
// subtree would end with the old key, and the new one inside it, deleted.
bool SameOrBelow(const std::string& outer, const std::string& inner) {
    std::string a = TrimSlashes(outer);
    std::string b = TrimSlashes(inner);
    if (b.size() < a.size()) return false;
    if (!text::EqualsNoCaseUtf8(std::string_view(b).substr(0, a.size()), a)) return false;
    return a.empty() || b.size() == a.size() || b[a.size()] == '\\';
}

// A name in the temporary folder that does not exist: the key is saved there, and a save
// refuses to overwrite a file.
std::string UniqueTempFile() {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) folder = "/tmp";
    std::string pattern = (folder / "CVAXXXXXX").string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return {};
    ::close(fd);
    std::filesystem::remove(pattern, ec);
    return pattern;
}

// Save the old key to a file and restore it over the new key, as the NT registry moves
// a branch. The target's registry needs no backup or restore privilege.
bool MoveThroughFile(CRegistry& registry, HKEY root, const std::string& oldPath,
                     const std::string& newPath) {
    std::string file = UniqueTempFile();
    if (file.empty()) return false;
    bool ok = false;
    HKEY oldKey = nullptr;
    if (registry.RegOpenKeyExA(root, oldPath.c_str(), 0, KEY_ALL_ACCESS, &oldKey) ==
        ERROR_SUCCESS) {
        if (registry.RegSaveKeyA(oldKey, file.c_str(), nullptr) == ERROR_SUCCESS) {
            HKEY newKey = nullptr;
            if (registry.RegCreateKeyExA(root, newPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         KEY_ALL_ACCESS, nullptr, &newKey,
                                         nullptr) == ERROR_SUCCESS) {
                ok = registry.RegRestoreKeyA(newKey, file.c_str(), REG_FORCE_RESTORE) ==
                     ERROR_SUCCESS;
                registry.RegCloseKey(newKey);
            }
        }
        registry.RegCloseKey(oldKey);
    }
    std::error_code ec;
    std::filesystem::remove(file, ec);
    return ok;
}

} // namespace

void CHost_Proxy::RegRenameKey(const std::string& strHKey, const std::string& strKeyOld,
                               const std::string& strKeyNew) {
    HKEY root = RootKeyFromName(strHKey);
    if (!root) return;
    std::string oldPath = DropRootPrefix(strKeyOld);
    std::string newPath = DropRootPrefix(strKeyNew);
    if (TrimSlashes(oldPath).empty() || SameOrBelow(oldPath, newPath)) return;
    CRegistry& registry = m_target.Registry();
    bool moved = true;
    if (m_bPlatformNT)
        moved = MoveThroughFile(registry, root, oldPath, newPath);
    else
        CopyKeyTree(registry, root, oldPath, root, newPath);
    // The old key goes only once the new one is there, so a failed copy loses nothing.
    if (moved && RegKeyExists(strHKey + "\\" + oldPath) && RegKeyExists(strHKey + "\\" + newPath))
        DeleteKeyTree(registry, root, oldPath);
}

std::string CHost_Proxy::BackupFileName(const std::string& keyPath) {
    std::string name = keyPath;
    for (char& c : name) {
        if (c == '\\' || c == '/' || c == ':' || c == '>' || c == '"' || c == '*' || c == '<' ||
            c == '|' || c == '?')
            c = ' ';
    }
    std::string collapsed;
    for (char c : name) {
        if (c == ' ' && (collapsed.empty() || collapsed.back() == ' ')) continue;
        collapsed.push_back(c);
    }
    while (!collapsed.empty() && (collapsed.back() == ' ' || collapsed.back() == '.'))
        collapsed.pop_back();
    if (collapsed.empty()) collapsed = "Registry";
    return collapsed + ".reg";
}

void CHost_Proxy::RegBackupKey(const std::string& strKey) {
    if (m_backupFolder.empty()) return;
    auto location = SplitKeyPath(*this, strKey);
    if (!location) return;
    // A key that is not there leaves no empty file behind. Reading is enough for a
    // backup: a key the user may only read is still worth keeping.
    HKEY probe = nullptr;
    if (m_target.Registry().RegOpenKeyExA(location->m_root, location->m_keyPath.c_str(), 0,
                                          KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                                          &probe) != ERROR_SUCCESS)
        return;
    m_target.Registry().RegCloseKey(probe);
    std::error_code ec;
    std::filesystem::create_directories(m_backupFolder, ec);
    // A mounted hive of another user is written as HKEY_CURRENT_USER, so that the file
    // can be imported for that user later.
    registry::CRegBackup backup(
        m_target.Registry(),
        (std::filesystem::path(m_backupFolder) / BackupFileName(strKey)).string());
    backup.BackupKeyTree(location->m_root, location->m_keyPath);
    std::string why;
    backup.Save(why); // a script's backup that cannot be written is not the script's error
}

} // namespace cva::script

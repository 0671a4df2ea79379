#include "core/app/UserProfiles.h"

#include "platform/process/ProcessServices.h"
#include "platform/registry/Registry.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace cva::app {

namespace {

constexpr const char* kProfileListKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr size_t kPathBuffer = 260;

void EnableHivePrivileges(bool enable) {
    process::EnablePrivilege("SeBackupPrivilege", enable);
    process::EnablePrivilege("SeRestorePrivilege", enable);
}

} // namespace

reg::LSTATUS ReadRegString(target::CTargetSystem& target, reg::HKEY root, const std::string& subKey,
                           const std::string& valueName, std::string& out, bool expand) {
    reg::CRegistry& registry = target.Registry();
    reg::HKEY key = nullptr;
    reg::LSTATUS rc = registry.RegOpenKeyExA(root, subKey.c_str(), 0, reg::KEY_ALL_ACCESS, &key);
    if (rc != reg::ERROR_SUCCESS) return rc;
    char buffer[kPathBuffer] = {};
    reg::DWORD type = 0;
    reg::DWORD size = sizeof buffer;
    rc = registry.RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                                   reinterpret_cast<reg::BYTE*>(buffer), &size);
    registry.RegCloseKey(key);
    if (rc == reg::ERROR_MORE_DATA) return reg::ERROR_OUTOFMEMORY;
    if (rc != reg::ERROR_SUCCESS) return rc;
    if (type != reg::REG_SZ && type != reg::REG_EXPAND_SZ) return 1;
    std::string text(buffer, strnlen(buffer, std::min<size_t>(size, sizeof buffer)));
    if (type == reg::REG_EXPAND_SZ && expand) {
        text = target.ExpandEnvironmentStrings(text);
        if (text.size() >= kPathBuffer) return reg::ERROR_INSUFFICIENT_BUFFER;
    }
    out = text;
    return reg::ERROR_SUCCESS;
}

std::vector<std::string> ReadProfileList(target::CTargetSystem& target,
                                         const std::string& userName) {
    std::vector<std::string> profiles{userName};
    if (target.Kind() == target::TargetKind::Offline) {
        // A disk's ProfileList gives service accounts "Flags" 0 as well, and a user's
        // entry need not carry "Flags" at all: the disk's own accounts whose hive is
        // there are its users, as the target read them when it opened.
        for (const target::COfflineProfile& profile : target.OfflineProfiles())
            if (profile.m_hasHive && !text::EqualsNoCaseUtf8(profile.m_name, userName))
                profiles.push_back(profile.m_windowsPath);
        return profiles;
    }
    reg::CRegistry& registry = target.Registry();
    reg::HKEY list = nullptr;
    if (registry.RegOpenKeyExA(reg::HKEY_LOCAL_MACHINE, kProfileListKey, 0, reg::KEY_ALL_ACCESS,
                               &list) != reg::ERROR_SUCCESS)
        return profiles;
    for (reg::DWORD index = 0;; ++index) {
        char sid[kPathBuffer + 1] = {};
        reg::DWORD chars = sizeof sid;
        if (registry.RegEnumKeyExA(list, index, sid, &chars, nullptr, nullptr, nullptr, nullptr) !=
            reg::ERROR_SUCCESS)
            break;
        reg::HKEY profile = nullptr;
        if (registry.RegOpenKeyExA(list, sid, 0, reg::KEY_ALL_ACCESS, &profile) !=
            reg::ERROR_SUCCESS)
            continue;
        reg::DWORD flags = 1;
        reg::DWORD size = sizeof flags;
        const reg::LSTATUS read = registry.RegQueryValueExA(
            profile, "Flags", nullptr, nullptr, reinterpret_cast<reg::BYTE*>(&flags), &size);
        registry.RegCloseKey(profile);
        if (read != reg::ERROR_SUCCESS || flags != 0) continue;
        std::string path;
        if (ReadRegString(target, list, sid, "ProfileImagePath", path, true) !=
                reg::ERROR_SUCCESS ||
            path.find('\\') == std::string::npos)
            continue;
        if (!text::EqualsNoCaseUtf8(ProfileName(path), userName)) profiles.push_back(path);
    }
    registry.RegCloseKey(list);
    return profiles;
}

std::string ProfileName(const std::string& entry) {
    const size_t slash = entry.rfind('\\');
    return slash == std::string::npos ? entry : entry.substr(slash + 1);
}

int FindProfile(const std::vector<std::string>& profiles, const std::string& name) {
    for (size_t i = 0; i < profiles.size(); ++i)
        if (text::EqualsNoCaseUtf8(ProfileName(profiles[i]), name)) return static_cast<int>(i);
    return -1;
}

SUserHiveSwitch SwitchUserHive(target::CTargetSystem& target, const std::string& profileFolder,
                               reg::HKEY& userHive) {
    SUserHiveSwitch result;
    reg::CRegistry& registry = target.Registry();
    EnableHivePrivileges(true);
    reg::HKEY mounted = nullptr;
    if (registry.RegOpenKeyExA(reg::HKEY_USERS, kUserHiveMount, 0, reg::KEY_ALL_ACCESS, &mounted) ==
        reg::ERROR_SUCCESS) {
        registry.RegCloseKey(mounted);
        if (userHive) registry.RegCloseKey(userHive);
        userHive = nullptr;
        result.m_unload = registry.RegUnLoadKeyA(reg::HKEY_USERS, kUserHiveMount);
    }
    if (!profileFolder.empty()) {
        // The hive is a file of the target: its Windows path leads to it through the
        // target's drives, whatever back end the file needs.
        std::optional<std::string> file = target.ToHostPath(profileFolder + "\\ntuser.dat");
        result.m_load = file ? registry.RegLoadKeyA(reg::HKEY_USERS, kUserHiveMount, file->c_str())
                             : reg::ERROR_PATH_NOT_FOUND;
        if (result.m_load == reg::ERROR_SUCCESS)
            result.m_load = registry.RegOpenKeyExA(reg::HKEY_USERS, kUserHiveMount, 0,
                                                   reg::KEY_ALL_ACCESS, &userHive);
        if (result.m_load != reg::ERROR_SUCCESS) userHive = nullptr;
    }
    EnableHivePrivileges(false);
    return result;
}

} // namespace cva::app

#include "platform/target/TargetRegistryReader.h"

#include "platform/target/TargetSystem.h"
#include "platform/target/WindowsVersion.h"

#include <cstdlib>
#include <cstring>

namespace cva::target {

namespace {

using namespace cva::reg;

constexpr const char* kNtCurrentVersion = "Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kSystemEnvironment =
    "System\\CurrentControlSet\\Control\\Session Manager\\Environment";

// The version names Wine accepts in HKCU\Software\Wine "Version", which override what
// the registry's CurrentVersion key says.
struct CNamedVersion {
    const char* m_name;
    uint32_t m_platformId, m_major, m_minor, m_build;
    const char* m_servicePack;
};
constexpr CNamedVersion kWineVersions[] = {
    {"win31", 0, 3, 10, 0, ""},
    {"win95", 1, 4, 0, 950, ""},
    {"win98", 1, 4, 10, 2222, " A "},
    {"winme", 1, 4, 90, 3000, " "},
    {"nt351", 2, 3, 51, 1057, "Service Pack 5"},
    {"nt40", 2, 4, 0, 1381, "Service Pack 6a"},
    {"win2000", 2, 5, 0, 2195, "Service Pack 4"},
    {"win2k", 2, 5, 0, 2195, "Service Pack 4"},
    {"nt2k", 2, 5, 0, 2195, "Service Pack 4"},
    {"nt2000", 2, 5, 0, 2195, "Service Pack 4"},
    {"winxp", 2, 5, 1, 2600, "Service Pack 3"},
    {"winxp64", 2, 5, 2, 3790, "Service Pack 2"},
    {"win2003", 2, 5, 2, 3790, "Service Pack 2"},
    {"win2k3", 2, 5, 2, 3790, "Service Pack 2"},
    {"vista", 2, 6, 0, 6002, "Service Pack 2"},
    {"winvista", 2, 6, 0, 6002, "Service Pack 2"},
    {"win2008", 2, 6, 0, 6002, "Service Pack 2"},
    {"win2k8", 2, 6, 0, 6002, "Service Pack 2"},
    {"win2008r2", 2, 6, 1, 7601, "Service Pack 1"},
    {"win2k8r2", 2, 6, 1, 7601, "Service Pack 1"},
    {"win7", 2, 6, 1, 7601, "Service Pack 1"},
    {"win8", 2, 6, 2, 9200, ""},
    {"win81", 2, 6, 3, 9600, ""},
    {"win10", 2, 10, 0, 19045, ""},
    {"win11", 2, 10, 0, 22000, ""},
};

// "6.1" or "4.10.2222": the numbers in order; missing ones are 0.
std::vector<uint32_t> SplitNumbers(const std::string& text) {
    std::vector<uint32_t> numbers;
    const char* p = text.c_str();
    while (*p) {
        char* end = nullptr;
        unsigned long n = std::strtoul(p, &end, 10);
        if (end == p) break;
        numbers.push_back(static_cast<uint32_t>(n));
        p = end;
        if (*p != '.') break;
        ++p;
    }
    numbers.resize(3, 0);
    return numbers;
}

void ApplyNamed(const CNamedVersion& named, CTargetVersion& version) {
    version.m_platformId = named.m_platformId;
    version.m_major = named.m_major;
    version.m_minor = named.m_minor;
    version.m_build = named.m_build;
    version.m_servicePack = named.m_servicePack;
}

} // namespace

std::optional<std::string> CTargetRegistryReader::ReadString(HKEY root, const char* key, const char* name,
                                                             DWORD* typeOut) {
    HKEY handle = nullptr;
    if (m_registry.RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    std::optional<std::string> result;
    if (m_registry.RegQueryValueExA(handle, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::string data(size, '\0');
        if (m_registry.RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                        &size) == ERROR_SUCCESS) {
            data.resize(std::strlen(data.c_str()));
            result = data;
            if (typeOut) *typeOut = type;
        }
    }
    m_registry.RegCloseKey(handle);
    return result;
}

std::optional<DWORD> CTargetRegistryReader::ReadDword(HKEY root, const char* key, const char* name) {
    HKEY handle = nullptr;
    if (m_registry.RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, value = 0, size = sizeof value;
    LSTATUS rc = m_registry.RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    m_registry.RegCloseKey(handle);
    if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return std::nullopt;
    return value;
}

std::vector<CTargetRegistryReader::CStringValue> CTargetRegistryReader::ReadStringValues(HKEY root,
                                                                                        const char* key) {
    std::vector<CStringValue> values;
    HKEY handle = nullptr;
    if (m_registry.RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return values;
    DWORD maxName = 0, maxData = 0;
    m_registry.RegQueryInfoKeyA(handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName,
                                &maxData, nullptr, nullptr);
    std::string name(maxName + 1, '\0');
    std::string data(maxData + 1, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD nameChars = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        LSTATUS rc = m_registry.RegEnumValueA(handle, index, name.data(), &nameChars, nullptr, &type,
                                              reinterpret_cast<BYTE*>(data.data()), &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) continue;
        values.push_back({name.substr(0, nameChars), std::string(data.c_str()), type});
    }
    m_registry.RegCloseKey(handle);
    return values;
}

CTargetVersion CTargetRegistryReader::ReadVersion() {
    CTargetVersion version;
    // A prefix without any version information reports what Wine 8 does by default.
    version.m_major = 6;
    version.m_minor = 1;
    version.m_build = 7601;
    version.m_servicePack = "Service Pack 1";

    if (auto named = ReadString(HKEY_CURRENT_USER, "Software\\Wine", "Version")) {
        for (const auto& entry : kWineVersions) {
            if (*named == entry.m_name) {
                ApplyNamed(entry, version);
                return version;
            }
        }
    }
    auto major = ReadDword(HKEY_LOCAL_MACHINE, kNtCurrentVersion, "CurrentMajorVersionNumber");
    auto minor = ReadDword(HKEY_LOCAL_MACHINE, kNtCurrentVersion, "CurrentMinorVersionNumber");
    auto current = ReadString(HKEY_LOCAL_MACHINE, kNtCurrentVersion, "CurrentVersion");
    if ((major && minor) || current) {
        version.m_platformId = VER_PLATFORM_WIN32_NT;
        if (major && minor) {
            version.m_major = *major;
            version.m_minor = *minor;
        } else {
            auto numbers = SplitNumbers(*current);
            version.m_major = numbers[0];
            version.m_minor = numbers[1];
        }
        auto build = ReadString(HKEY_LOCAL_MACHINE, kNtCurrentVersion, "CurrentBuildNumber");
        version.m_build = build ? SplitNumbers(*build)[0] : 0;
        version.m_servicePack = ReadString(HKEY_LOCAL_MACHINE, kNtCurrentVersion, "CSDVersion").value_or("");
        return version;
    }
    if (auto number = ReadString(HKEY_LOCAL_MACHINE, kCurrentVersion, "VersionNumber")) {
        auto numbers = SplitNumbers(*number);
        version.m_platformId = VER_PLATFORM_WIN32_WINDOWS;
        version.m_major = numbers[0];
        version.m_minor = numbers[1];
        version.m_build = numbers[2];
        version.m_servicePack = ReadString(HKEY_LOCAL_MACHINE, kCurrentVersion, "SubVersionNumber").value_or("");
    }
    return version;
}

CEnvironment CTargetRegistryReader::ReadEnvironment(const std::string& userName) {
    CEnvironment env;
    auto expand = [&env](const std::string& text) { return ExpandEnvironmentStrings(text, env); };
    auto define = [&](const CStringValue& value, bool appendPath) {
        std::string data = value.m_type == REG_EXPAND_SZ ? expand(value.m_data) : value.m_data;
        // Windows joins the user's Path to the system's instead of replacing it.
        if (appendPath && value.m_name.size() == 4 && strncasecmp(value.m_name.c_str(), "Path", 4) == 0) {
            if (auto system = env.Get("Path"); system && !system->empty()) data = *system + ";" + data;
        }
        env.Set(value.m_name, data);
    };

    // What the system block starts with, before the registry's own variables.
    std::string systemRoot = ReadString(HKEY_LOCAL_MACHINE, kNtCurrentVersion, "SystemRoot").value_or("C:\\WINDOWS");
    env.Set("SystemRoot", systemRoot);
    env.Set("SystemDrive", systemRoot.substr(0, 2));
    std::string programFiles = ReadString(HKEY_LOCAL_MACHINE, kCurrentVersion, "ProgramFilesDir")
                                   .value_or(systemRoot.substr(0, 2) + "\\Program Files");
    env.Set("ProgramFiles", programFiles);
    env.Set("CommonProgramFiles", ReadString(HKEY_LOCAL_MACHINE, kCurrentVersion, "CommonFilesDir")
                                      .value_or(programFiles + "\\Common Files"));
    std::string computer =
        ReadString(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
                   "ComputerName")
            .value_or("");
    if (!computer.empty()) env.Set("COMPUTERNAME", computer);

    const std::string profileList = std::string(kNtCurrentVersion) + "\\ProfileList";
    std::string profiles =
        expand(ReadString(HKEY_LOCAL_MACHINE, profileList.c_str(), "ProfilesDirectory").value_or(""));
    if (profiles.empty()) profiles = systemRoot.substr(0, 2) + "\\Documents and Settings";
    if (auto programData = ReadString(HKEY_LOCAL_MACHINE, profileList.c_str(), "ProgramData")) {
        env.Set("ALLUSERSPROFILE", expand(*programData)); // Vista and later, and Wine
        env.Set("ProgramData", expand(*programData));
    } else {
        env.Set("ALLUSERSPROFILE",
                profiles + "\\" +
                    ReadString(HKEY_LOCAL_MACHINE, profileList.c_str(), "AllUsersProfile").value_or("All Users"));
    }

    for (const auto& value : ReadStringValues(HKEY_LOCAL_MACHINE, kSystemEnvironment)) define(value, false);
    env.Set("windir", systemRoot);

    env.Set("USERNAME", userName);
    std::string userProfile = profiles + "\\" + userName;
    env.Set("USERPROFILE", userProfile);
    env.Set("HOMEDRIVE", userProfile.substr(0, 2));
    env.Set("HOMEPATH", userProfile.substr(2));
    const char* userShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    std::string appData = ReadString(HKEY_CURRENT_USER, userShellFolders, "AppData").value_or("");
    env.Set("APPDATA", appData.empty() ? userProfile + "\\Application Data" : expand(appData));
    if (ReadVersion().m_major >= 6) {
        // Vista and later (and Wine) name the local application data and public folders.
        std::string local = ReadString(HKEY_CURRENT_USER, userShellFolders, "Local AppData").value_or("");
        if (!local.empty()) env.Set("LOCALAPPDATA", expand(local));
        if (auto publicFolder = ReadString(HKEY_LOCAL_MACHINE, profileList.c_str(), "Public"))
            env.Set("PUBLIC", expand(*publicFolder));
    }
    if (!env.Get("TEMP")) env.Set("TEMP", systemRoot + "\\TEMP");
    if (!env.Get("TMP")) env.Set("TMP", systemRoot + "\\TEMP");

    for (const auto& value : ReadStringValues(HKEY_CURRENT_USER, "Environment")) define(value, true);
    return env;
}

} // namespace cva::target

#include "platform/target/OfflineWindows.h"

#include "platform/files/DriveMap.h"
#include "platform/hive/RegfFile.h"
#include "platform/target/Environment.h"
#include "platform/target/TargetRegistryReader.h"
#include "platform/text/Unicode.h"

#include <cstdio>
#include <sys/stat.h>

namespace cva::target {

namespace {

using namespace cva::reg;

constexpr const char* kProfileList = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The disk's file for a Windows path on C:, found without regard to case.
std::string OnDisk(const files::CDriveMap& drives, const std::string& windowsPath) {
    return drives.ToHostPath(windowsPath).value_or(std::string());
}

files::CDriveMap DriveC(const std::string& root) {
    files::CDriveMap drives;
    drives.SetDrive('C', root);
    return drives;
}

std::vector<std::string> SubkeyNames(CRegistry& registry, HKEY root, const char* path) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (registry.RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD chars = sizeof name;
        if (registry.RegEnumKeyExA(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, chars);
    }
    registry.RegCloseKey(key);
    return names;
}

// A hive of the disk mounted at `at`; a missing file is no error when it may be absent.
bool MountHive(CRegistry& registry, const std::u16string& at, const std::string& file,
               bool readOnly, bool required, std::string& error) {
    CRegistry::CMountOptions options;
    options.m_allowMissing = false;
    options.m_readOnly = readOnly;
    if (readOnly) options.m_readOnlyReason = file + " is only read (it holds accounts and secrets)";
    if (file.empty() || !IsFile(file)) {
        if (required) error = (file.empty() ? "a hive" : file) + std::string(" is missing");
        return !required;
    }
    std::string message;
    LSTATUS rc = registry.MountHiveFile(at, file, options, &message);
    if (rc == ERROR_SUCCESS) return true;
    error =
        (message.empty() ? file + ": cannot be read (error " + std::to_string(rc) + ")" : message) +
        "; the file was left untouched";
    return false;
}

} // namespace

std::vector<COfflineProfile> ReadOfflineProfiles(CRegistry& registry, const std::string& root) {
    CTargetRegistryReader reader(registry);
    const std::string systemRoot =
        reader
            .ReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                        "SystemRoot")
            .value_or("C:\\Windows");
    CEnvironment env;
    env.Set("SystemDrive", "C:");
    env.Set("SystemRoot", systemRoot);
    env.Set("windir", systemRoot);
    const files::CDriveMap drives = DriveC(root);

    std::vector<COfflineProfile> profiles;
    for (const std::string& sid : SubkeyNames(registry, HKEY_LOCAL_MACHINE, kProfileList)) {
        if (sid.compare(0, 9, "S-1-5-21-") != 0) continue;
        const std::string key = std::string(kProfileList) + "\\" + sid;
        auto image = reader.ReadString(HKEY_LOCAL_MACHINE, key.c_str(), "ProfileImagePath");
        if (!image) continue;
        COfflineProfile profile;
        profile.m_sid = sid;
        profile.m_windowsPath = ExpandEnvironmentStrings(*image, env);
        size_t slash = profile.m_windowsPath.find_last_of('\\');
        profile.m_name = slash == std::string::npos ? profile.m_windowsPath
                                                    : profile.m_windowsPath.substr(slash + 1);
        profile.m_hostFolder = OnDisk(drives, profile.m_windowsPath);
        profile.m_hasHive = !profile.m_hostFolder.empty() &&
                            IsFile(OnDisk(drives, profile.m_windowsPath + "\\NTUSER.DAT"));
        profiles.push_back(std::move(profile));
    }
    return profiles;
}

bool OpenOfflineRegistry(const CRegistrySpec& spec, COpenedRegistry& out, std::string& error) {
    out = COpenedRegistry{};
    const std::string& root = spec.m_path;
    if (!IsFolder(root)) {
        error = "the Windows disk " + root + " does not exist (mount its partition first)";
        return false;
    }
    const files::CDriveMap drives = DriveC(root);
    const std::string config = OnDisk(drives, "C:\\Windows\\System32\\config");
    if (!IsFolder(config)) {
        error =
            root + " is not the root of a Windows partition (it has no Windows\\System32\\config)";
        return false;
    }
    auto hive = [&](const char* name) {
        return OnDisk(drives, "C:\\Windows\\System32\\config\\" + std::string(name));
    };
    auto registry = std::make_unique<CRegistry>();
    if (!MountHive(*registry, u"Machine\\SOFTWARE", hive("SOFTWARE"), false, true, error) ||
        !MountHive(*registry, u"Machine\\SYSTEM", hive("SYSTEM"), false, true, error) ||
        !MountHive(*registry, u"Machine\\SAM", hive("SAM"), true, false, error) ||
        !MountHive(*registry, u"Machine\\SECURITY", hive("SECURITY"), true, false, error) ||
        !MountHive(*registry, u"User\\.DEFAULT", hive("DEFAULT"), false, false, error))
        return false;

    // Windows makes CurrentControlSet at start, as a link to the set it boots from.
    CTargetRegistryReader reader(*registry);
    DWORD current = reader.ReadDword(HKEY_LOCAL_MACHINE, "SYSTEM\\Select", "Current").value_or(1);
    char set[32];
    std::snprintf(set, sizeof set, "ControlSet%03u", static_cast<unsigned>(current));
    registry->AddVolatileLink(u"Machine\\SYSTEM\\CurrentControlSet",
                              u"Machine\\SYSTEM\\" + text::Utf8ToUtf16(set));

    out.m_profiles = ReadOfflineProfiles(*registry, root);
    const COfflineProfile* chosen = nullptr;
    std::string names;
    for (const COfflineProfile& profile : out.m_profiles) {
        if (!profile.m_hasHive) continue;
        names += (names.empty() ? "" : ", ") + profile.m_name;
        bool match = spec.m_profile.empty() ||
                     text::EqualsNoCaseUtf8(profile.m_name, spec.m_profile) ||
                     text::EqualsNoCaseUtf8(profile.m_sid, spec.m_profile);
        if (match && !chosen) chosen = &profile;
    }
    if (!chosen && !spec.m_profile.empty()) {
        error = "the Windows disk " + root + " has no user profile \"" + spec.m_profile + "\"" +
                (names.empty() ? std::string(" (it has none with a hive)")
                               : " (its profiles: " + names + ")");
        return false;
    }
    if (chosen) {
        const std::u16string sid = text::Utf8ToUtf16(chosen->m_sid);
        if (!MountHive(*registry, u"User\\" + sid,
                       OnDisk(drives, chosen->m_windowsPath + "\\NTUSER.DAT"), false, true, error))
            return false;
        // Vista and later keep the user's classes in AppData, XP in Local Settings.
        std::string classes = OnDisk(
            drives, chosen->m_windowsPath + "\\AppData\\Local\\Microsoft\\Windows\\UsrClass.dat");
        if (!IsFile(classes))
            classes = OnDisk(
                drives, chosen->m_windowsPath +
                            "\\Local Settings\\Application Data\\Microsoft\\Windows\\UsrClass.dat");
        if (!MountHive(*registry, u"User\\" + sid + u"_Classes", classes, false, false, error))
            return false;
        if (IsFile(classes)) {
            // As at logon: HKCU\Software\Classes leads to the user's classes hive.
            registry->SetUserClasses(u"User\\" + sid + u"_Classes");
            registry->AddVolatileLink(u"User\\" + sid + u"\\Software\\Classes",
                                      u"User\\" + sid + u"_Classes");
        }
        registry->SetCurrentUserSid(sid);
        out.m_userName = chosen->m_name;
    } else {
        // A disk without any user's hive: the settings of the system's own account.
        registry->SetCurrentUserSid(u".DEFAULT");
        out.m_userName = "SYSTEM";
    }
    // Linux mounts the partition of a hibernated Windows read-only: nothing can be changed.
    std::string readOnly = hive::RegfReadOnlyReason(hive("SYSTEM"), hive::CRegfInfo{});
    if (!readOnly.empty()) {
        out.m_readOnly = true;
        out.m_readOnlyReason = readOnly;
    }
    out.m_folder = root;
    out.m_registry = std::move(registry);
    return true;
}

} // namespace cva::target

#pragma once

#include "platform/registry/Registry.h"
#include "platform/text/Unicode.h"

#include <filesystem>
#include <string>

namespace cva::test {

// The real Windows hives unpacked into the build tree; empty when they are not there.
inline std::string WindowsHives() {
#ifdef CVA_WINDOWS_HIVES
    return CVA_WINDOWS_HIVES;
#else
    return {};
#endif
}

// A folder laid out as a mounted Windows partition, with names in the mixed case NTFS
// shows: the real SYSTEM, SAM and SECURITY hives, the user "tester" with the real
// NTUSER.DAT and UsrClass.dat, and a SOFTWARE hive made here (the set has none) with
// the version, a ProfileList (the system account and tester) and one machine class.
inline bool MakeWindowsDisk(const std::string& root) {
    namespace fs = std::filesystem;
    const std::string hives = WindowsHives();
    const std::string config = root + "/WINDOWS/system32/Config";
    const std::string user = root + "/users/Tester";
    std::error_code ec;
    fs::create_directories(config, ec);
    fs::create_directories(user + "/AppData/Local/Microsoft/Windows", ec);
    for (const char* name : {"SYSTEM", "SAM", "SECURITY"})
        fs::copy_file(hives + "/" + name, config + "/" + name, ec);
    fs::copy_file(hives + "/NTUSER.DAT", user + "/ntuser.dat", ec);
    fs::copy_file(hives + "/UsrClass.dat", user + "/AppData/Local/Microsoft/Windows/UsrClass.dat",
                  ec);
    // SOFTWARE: a small clean hive (SAM's) emptied and filled.
    fs::copy_file(hives + "/SAM", config + "/software", ec);
    using namespace cva::reg;
    CRegistry reg;
    reg.SetSaveOnClose(false);
    if (ec || reg.MountHiveFile(u"Machine", config + "/software", {}) != ERROR_SUCCESS)
        return false;
    reg.RegDeleteTreeW(HKEY_LOCAL_MACHINE, u"SAM");
    reg.RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SAM");
    auto set = [&](const char16_t* path, const char16_t* name, DWORD type, std::u16string text,
                   DWORD number = 0) {
        HKEY key = nullptr;
        reg.RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr);
        if (type == REG_DWORD)
            reg.RegSetValueExW(key, name, 0, type, reinterpret_cast<BYTE*>(&number), 4);
        else
            reg.RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>((text.size() + 1) * 2));
        reg.RegCloseKey(key);
    };
    const char16_t* nt = u"Microsoft\\Windows NT\\CurrentVersion";
    set(nt, u"SystemRoot", REG_SZ, u"C:\\Windows");
    set(nt, u"CurrentMajorVersionNumber", REG_DWORD, {}, 10);
    set(nt, u"CurrentMinorVersionNumber", REG_DWORD, {}, 0);
    set(nt, u"CurrentBuildNumber", REG_SZ, u"19045");
    set(u"Microsoft\\Windows NT\\CurrentVersion\\ProfileList", u"ProfilesDirectory", REG_EXPAND_SZ,
        u"%SystemDrive%\\Users");
    set(u"Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-18", u"ProfileImagePath",
        REG_EXPAND_SZ, u"%systemroot%\\system32\\config\\systemprofile");
    set(u"Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-1-2-3-1001",
        u"ProfileImagePath", REG_EXPAND_SZ, u"%SystemDrive%\\Users\\tester");
    set(u"Classes\\.machineonly", u"", REG_SZ, u"machine");
    set(u"Classes\\.3g2", u"", REG_SZ, u"machine");
    return reg.SaveDirtyHives() == ERROR_SUCCESS;
}

} // namespace cva::test

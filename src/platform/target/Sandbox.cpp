#include "platform/target/Sandbox.h"

#include "platform/files/AtomicFile.h"
#include "platform/process/ProcessServices.h"
#include "platform/target/SandboxSeed.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace cva::target {

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool MakeFolder(const std::string& path, std::string& error) {
    if (process::CreateFolderPath(path)) return true;
    error = "cannot create the folder " + path + ": " + std::strerror(errno);
    return false;
}

bool WriteFile(const std::string& path, const std::string& content, std::string& error) {
    if (files::WriteFileAtomically(path, content)) return true;
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
}

// NetBIOS names are at most 15 characters and shown in capitals.
std::string SandboxComputerName() {
    std::string name = process::GetComputerName();
    if (name.empty()) name = "CVA-SANDBOX";
    name = name.substr(0, name.find('.'));
    if (name.size() > 15) name.resize(15);
    for (auto& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name;
}

bool CreateProfile(const std::string& driveC, const std::string& user, std::string& error) {
    const std::string profile = driveC + "/Documents and Settings/" + user;
    for (const char* sub : {"Desktop", "My Documents", "Favorites", "Start Menu/Programs/Startup",
                            "Application Data", "Local Settings/Temp",
                            "Local Settings/Application Data"}) {
        if (!MakeFolder(profile + "/" + sub, error)) return false;
    }
    return true;
}

} // namespace

std::string SandboxDriveC(const std::string& folder) { return folder + "/drive_c"; }

bool EnsureSandbox(const std::string& folder, std::string& error) {
    if (Exists(folder + "/system.reg")) return true;
    if (!MakeFolder(folder, error)) return false;

    SandboxSeedNames names;
    names.runningUser = process::GetUserName();
    if (names.runningUser.empty()) names.runningUser = "User";
    names.computerName = SandboxComputerName();

    const std::string driveC = SandboxDriveC(folder);
    for (const char* sub : {"WINDOWS/system32/drivers/etc", "WINDOWS/Fonts", "WINDOWS/Temp",
                            "WINDOWS/inf", "Program Files/Common Files",
                            "Documents and Settings/All Users/Desktop",
                            "Documents and Settings/All Users/Start Menu/Programs/Startup",
                            "Documents and Settings/All Users/Application Data",
                            "Documents and Settings/All Users/Documents"}) {
        if (!MakeFolder(driveC + "/" + sub, error)) return false;
    }
    if (!WriteFile(driveC + "/WINDOWS/win.ini", SandboxWinIni(), error)) return false;
    if (!CreateProfile(driveC, names.runningUser, error)) return false;
    for (const auto& user : SandboxOtherUsers()) {
        if (!CreateProfile(driveC, user.name, error)) return false;
        const std::string hive = driveC + "/Documents and Settings/" + user.name + "/NTUSER.DAT";
        if (!WriteFile(hive, SandboxProfileHive(names, user), error)) return false;
    }
    // The machine hive goes last: its presence is what marks the sandbox as complete.
    if (!WriteFile(folder + "/userdef.reg", SandboxDefaultHive(names), error)) return false;
    if (!WriteFile(folder + "/user.reg", SandboxUserHive(names), error)) return false;
    return WriteFile(folder + "/system.reg", SandboxSystemHive(names), error);
}

} // namespace cva::target

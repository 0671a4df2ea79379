#pragma once

#include <string>
#include <vector>

// The registry content a new sandbox target starts with: a slice of a Windows XP SP3
// installation, enough for the shipped plugins to read real values. The texts are Wine
// registry files, so the sandbox's hives are ordinary Wine-format files on disk.
namespace cva::target {

struct SandboxUser {
    std::string name; // login and profile folder name
    std::string sid;
};

struct SandboxSeedNames {
    std::string runningUser;  // the Linux login name
    std::string computerName; // what COMPUTERNAME reads
};

// The two other user profiles of the sandbox, each with its own NTUSER.DAT.
const std::vector<SandboxUser>& SandboxOtherUsers();
// The security identifier of the running user's profile (the one Wine uses too).
const char* SandboxRunningUserSid();

std::string SandboxSystemHive(const SandboxSeedNames& names);  // system.reg: HKLM
std::string SandboxUserHive(const SandboxSeedNames& names);    // user.reg: HKCU
std::string SandboxDefaultHive(const SandboxSeedNames& names); // userdef.reg: HKU\.Default
// NTUSER.DAT of another profile, in Wine's text format.
std::string SandboxProfileHive(const SandboxSeedNames& names, const SandboxUser& user);

// The contents of C:\WINDOWS\win.ini.
std::string SandboxWinIni();

} // namespace cva::target

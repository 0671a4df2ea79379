#pragma once

#include "platform/registry/RegTypes.h"

#include <string>
#include <vector>

namespace cva::target {
class CTargetSystem;
}

// The other users of a target whose settings the program can edit instead of the running
// user's: their profiles from the machine's ProfileList, and the loading of one user's
// hive under HKEY_USERS so that every HKCU path of scripts and exports reaches it.
namespace cva::app {

// Where another user's hive is loaded: HKEY_USERS\Corvanta.
inline constexpr const char* kUserHiveMount = "Corvanta";

// A string value read through a buffer of 260 bytes: REG_SZ as it is, REG_EXPAND_SZ
// expanded in the target's environment when asked (at most 260 characters). 0 on
// success; 1 for a value of another type, ERROR_OUTOFMEMORY for a longer value,
// ERROR_INSUFFICIENT_BUFFER for a longer expansion, or the registry's error.
reg::LSTATUS ReadRegString(target::CTargetSystem& target, reg::HKEY root, const std::string& subKey,
                           const std::string& valueName, std::string& out, bool expand);

// Entry 0 is `userName`; then the folder (a Windows path) of every profile of the
// target's ProfileList whose "Flags" is 0, other than the one named like `userName`. On
// an offline disk: every user account of its ProfileList whose hive is on the disk.
std::vector<std::string> ReadProfileList(target::CTargetSystem& target,
                                         const std::string& userName);

// The part of a profile list entry after its last backslash (the whole entry for 0).
std::string ProfileName(const std::string& entry);

// The index of the entry whose name is `name` (without regard to case); -1 for none.
int FindProfile(const std::vector<std::string>& profiles, const std::string& name);

// The outcome of SwitchUserHive: what unloading the old hive and loading the new one
// gave (0 each when nothing needed doing).
struct SUserHiveSwitch {
    reg::LSTATUS m_unload = 0;
    reg::LSTATUS m_load = 0;
};

// Unloads whatever is loaded as HKEY_USERS\Corvanta (closing `userHive` first; a hive
// whose changes cannot be saved stays loaded), then, for a non-empty profile folder,
// loads its ntuser.dat there and opens it into `userHive` (null when that fails). The
// backup and restore privileges are held meanwhile.
SUserHiveSwitch SwitchUserHive(target::CTargetSystem& target, const std::string& profileFolder,
                               reg::HKEY& userHive);

} // namespace cva::app

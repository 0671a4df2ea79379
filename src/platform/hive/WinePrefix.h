#pragma once

#include "platform/registry/Hive.h"

#include <string>
#include <vector>
#include <sys/types.h>

// Facts about a Wine prefix that decide whether and how its registry files may be used.
namespace cva::hive {

// The folders a wineserver for this prefix may use: upstream Wine's
// /tmp/.wine-<uid>/server-<dev>-<inode>, and the private /tmp/wine-XXXXXX/server-<dev>-<inode>
// that Debian's Wine creates and names in the prefix's "wineserver" file. Device and
// inode of the prefix folder are in lower-case hex. Empty when the prefix cannot be
// examined.
std::vector<std::string> WineServerFolders(const std::string& prefix);

// True when a wineserver runs for the prefix. A running server holds an fcntl write lock
// on the first byte of its "lock" file for its whole life; we only ask about the lock
// (F_GETLK) so that a Wine starting meanwhile is never disturbed. On a filesystem
// without locks, a server that accepts connections on its socket counts as running.
bool IsWineServerRunning(const std::string& prefix, pid_t* pid = nullptr);

// The first lines of a registry file (root comment and #arch) without parsing the rest.
bool ReadWineRegistryHeader(const std::string& file, reg::CHiveHeader& header);

// The user's SID from user.reg's root comment ("REGISTRY\\User\\S-1-5-21-0-0-0-1000");
// empty when the comment names no user key.
std::string UserSidFromRootComment(const std::string& comment);

} // namespace cva::hive

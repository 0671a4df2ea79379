#pragma once

#include <string>
#include <string_view>

namespace cva::process {

// The login name of the user running the program (from the password database, then
// $USER); empty when neither knows it.
std::string GetUserName();

// The host name up to its first dot, as Windows' computer names have no domain part.
std::string GetComputerName();

// Folder of the running executable with a trailing slash; empty when it cannot be found.
std::string GetAppFolder();

// Creates every missing folder along a POSIX path. True when the folder exists at the
// end, whoever created it.
bool CreateFolderPath(const std::string& path);

// Windows privileges guard what a process may do to its own system; the targets this
// program changes are files the user owns, so every known privilege is granted.
// False only for a name that is not a Windows privilege.
bool EnablePrivilege(std::string_view privilegeName, bool enable);


} // namespace cva::process

#pragma once

#include <string>

namespace cva::files {

// Copies a regular file with its permissions, last-write time and DOS attributes.
// Fails, leaving everything as it was, when the destination already exists.
bool CopyFileNoReplace(const std::string& source, const std::string& destination);

// Moves or renames a file or folder; fails when the destination exists. A file moves
// to another device by copy and delete, as MoveFile does; a folder cannot.
bool MoveNoReplace(const std::string& source, const std::string& destination);

// Drive type numbers of GetDriveType.
constexpr int DRIVE_UNKNOWN = 0;
constexpr int DRIVE_NO_ROOT_DIR = 1;
constexpr int DRIVE_REMOVABLE = 2;
constexpr int DRIVE_FIXED = 3;
constexpr int DRIVE_REMOTE = 4;
constexpr int DRIVE_CDROM = 5;
constexpr int DRIVE_RAMDISK = 6;

// The kind of storage that holds a host folder (a drive's root folder, as a rule).
int GetDriveType(const std::string& hostFolder);

} // namespace cva::files

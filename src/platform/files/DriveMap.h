#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cva::files {

// Drive letters of a target and the host folders they stand for, with the translation
// of Windows paths to host paths and back. Windows looks names up without regard to
// case; a Linux file system does not, so each component is matched exactly first and
// otherwise by scanning its folder, as Wine does.
class CDriveMap {
public:
    // False for anything but a letter. The folder is made absolute and normalised.
    bool SetDrive(char letter, std::string_view hostFolder);
    void RemoveDrive(char letter);
    std::optional<std::string> HostFolder(char letter) const;
    std::vector<char> Letters() const; // upper case, A to Z

    // The drive letters of a Wine prefix, read from its dosdevices links.
    static CDriveMap FromWinePrefix(const std::string& prefix);

    // "C:\WINDOWS\system32\x.dll" (either slash) to a host path. A relative path is taken
    // from currentFolder (a host folder; empty means the process's current folder), "\x"
    // from the root of that folder's drive; a host path ("/...") comes back unchanged.
    // ".." stops at the drive root. Components that do not exist are kept as written so
    // that the result can be created. Unknown drive letters, UNC names and empty paths
    // give std::nullopt.
    std::optional<std::string> ToHostPath(std::string_view windowsPath,
                                          std::string_view currentFolder = {}) const;

    // "C:\..." for a host path that lies under a drive (the deepest drive folder wins).
    std::optional<std::string> ToWindowsPath(std::string_view hostPath) const;

private:
    std::optional<std::string> FromDrive(char letter, std::string_view rest) const;
    std::optional<std::string> MatchDrive(const std::string& hostPath) const;

    std::array<std::string, 26> m_folders;
};

// Lexical normalisation of an absolute host path: "." and empty components dropped,
// ".." removes the previous component (never above "/"), no trailing slash.
std::string NormalizeHostPath(std::string_view path);

// The entry of `folder` that is named `name`: exactly if present, otherwise the first
// (in byte order) whose name matches without regard to case.
std::optional<std::string> FindEntryNoCase(const std::string& folder, std::string_view name);

} // namespace cva::files

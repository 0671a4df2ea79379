#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cva::files {

// Drive letters of a target and the host folders they stand for, with the translation
// of Windows paths to host paths and back. Windows looks names up without regard to
// case; a Linux file system does not, so each component is matched exactly first and
// otherwise by scanning its folder, as Wine does.
//
// This is also where a script's reach ends. A drive whose folder lies outside the target
// (a fresh Wine prefix maps Z: to "/"), a path that a link leads out of the reachable
// drives (a prefix links the user's folders to the home directory), and a host path
// ("/...") are refused like a missing drive, unless the user allowed host drives or (for
// host paths) runs a script of their own.
class CDriveMap {
public:
    // What kind of host place a refused path reached.
    enum class EHostPlace {
        Drive,    // a drive whose folder lies outside the target
        Link,     // a link that leads out of the reachable drives
        HostPath, // a host path, or a relative one counted from a host folder
    };
    // Told about every refused path: the path as given and the host place it stands for.
    using RefusalReporter =
        std::function<void(EHostPlace place, const std::string& path, const std::string& hostPath)>;

    // False for anything but a letter. The folder is made absolute and normalised.
    // A drive marked outsideTarget is reachable only while host drives are allowed.
    bool SetDrive(char letter, std::string_view hostFolder, bool outsideTarget = false);
    void RemoveDrive(char letter);
    // The folder of a reachable drive; nothing for a missing or refused one.
    std::optional<std::string> HostFolder(char letter) const;
    std::vector<char> Letters() const; // the reachable drives, upper case, A to Z

    // The drive letters of a Wine prefix, read from its dosdevices links; a link that
    // leads outside the prefix makes a drive outside the target.
    static CDriveMap FromWinePrefix(const std::string& prefix);

    void AllowHostDrives(bool allow) { m_allowHostDrives = allow; }
    bool HostDrivesAllowed() const { return m_allowHostDrives; }
    void AllowHostPaths(bool allow) { m_allowHostPaths = allow; }
    bool HostPathsAllowed() const { return m_allowHostPaths; }
    void SetRefusalReporter(RefusalReporter reporter) { m_reporter = std::move(reporter); }

    // "C:\WINDOWS\system32\x.dll" (either slash) to a host path. A relative path is taken
    // from currentFolder (a host folder; empty means the process's current folder), "\x"
    // from the root of that folder's drive; a host path ("/...") comes back unchanged
    // where host paths are allowed. ".." stops at the drive root. Components that do not
    // exist are kept as written so that the result can be created. Unknown or refused
    // drive letters, UNC names, empty paths and paths that lead out of the reachable
    // drives give std::nullopt.
    std::optional<std::string> ToHostPath(std::string_view windowsPath,
                                          std::string_view currentFolder = {}) const;

    // "C:\..." for a host path that lies under a reachable drive (the deepest drive
    // folder wins).
    std::optional<std::string> ToWindowsPath(std::string_view hostPath) const;

private:
    struct SDrive {
        std::string m_folder; // empty: no such drive
        bool m_outside = false;
    };

    bool Reachable(size_t index) const;
    std::optional<std::string> FromDrive(char letter, std::string_view rest,
                                         std::string_view asked) const;
    std::optional<std::string> MatchDrive(const std::string& hostPath) const;
    bool LeadsOutside(const std::string& hostPath, std::string& resolved) const;
    void Refuse(EHostPlace place, std::string_view path, const std::string& hostPath) const;

    std::array<SDrive, 26> m_drives;
    bool m_allowHostDrives = false;
    bool m_allowHostPaths = false;
    RefusalReporter m_reporter;
    // One script call may translate the same path several times; it is reported once.
    mutable std::string m_lastRefused;
};

// Lexical normalisation of an absolute host path: "." and empty components dropped,
// ".." removes the previous component (never above "/"), no trailing slash.
std::string NormalizeHostPath(std::string_view path);

// An absolute host path with every link along it followed, like `realpath -m`: the
// components that do not exist are kept as written, and a dangling link is followed to
// where it points. Nothing when the links loop.
std::optional<std::string> ResolveHostPath(std::string_view path);

// Whether `path` is `folder` or lies below it (both normalised).
bool IsWithinFolder(std::string_view path, std::string_view folder);

// The entry of `folder` that is named `name`: exactly if present, otherwise the first
// (in byte order) whose name matches without regard to case.
std::optional<std::string> FindEntryNoCase(const std::string& folder, std::string_view name);

} // namespace cva::files

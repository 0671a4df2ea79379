#include "platform/files/DriveMap.h"

#include "platform/text/Unicode.h"

#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cva::files {

namespace {

int DriveIndex(char letter) {
    if (letter >= 'a' && letter <= 'z') return letter - 'a';
    if (letter >= 'A' && letter <= 'Z') return letter - 'A';
    return -1;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::vector<std::string_view> SplitWindows(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (i > start) parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// Applies "." and ".." lexically; ".." at the top is dropped, as at a drive root.
std::vector<std::string_view> Collapse(const std::vector<std::string_view>& parts) {
    std::vector<std::string_view> out;
    for (std::string_view p : parts) {
        if (p == ".") continue;
        if (p == "..") {
            if (!out.empty()) out.pop_back();
            continue;
        }
        out.push_back(p);
    }
    return out;
}

std::string Join(const std::string& folder, std::string_view name) {
    std::string out = folder;
    if (out.empty() || out.back() != '/') out += '/';
    out += name;
    return out;
}

std::string Walk(const std::string& root, const std::vector<std::string_view>& parts) {
    std::string current = root;
    bool exists = true;
    for (std::string_view part : parts) {
        if (exists) {
            if (std::optional<std::string> match = FindEntryNoCase(current, part)) {
                current = Join(current, *match);
                continue;
            }
            exists = false;
        }
        current = Join(current, part);
    }
    return current;
}

std::string RealPathOr(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return path;
    std::string out(real);
    std::free(real);
    return out;
}

} // namespace

std::string NormalizeHostPath(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            if (i > start) parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    std::string out;
    for (std::string_view p : Collapse(parts)) {
        out += '/';
        out += p;
    }
    return out.empty() ? "/" : out;
}

std::optional<std::string> FindEntryNoCase(const std::string& folder, std::string_view name) {
    struct stat st {};
    if (::lstat(Join(folder, name).c_str(), &st) == 0) return std::string(name);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return std::nullopt;
    std::optional<std::string> best;
    while (dirent* entry = ::readdir(dir)) {
        std::string_view entryName(entry->d_name);
        if (entryName == "." || entryName == "..") continue;
        if (text::EqualsNoCaseUtf8(entryName, name) && (!best || entryName < *best))
            best = std::string(entryName);
    }
    ::closedir(dir);
    return best;
}

bool CDriveMap::SetDrive(char letter, std::string_view hostFolder) {
    int index = DriveIndex(letter);
    if (index < 0 || hostFolder.empty()) return false;
    std::string folder(hostFolder);
    if (folder.front() != '/') {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd)) return false;
        folder = Join(cwd, folder);
    }
    m_folders[static_cast<size_t>(index)] = NormalizeHostPath(folder);
    return true;
}

void CDriveMap::RemoveDrive(char letter) {
    int index = DriveIndex(letter);
    if (index >= 0) m_folders[static_cast<size_t>(index)].clear();
}

std::optional<std::string> CDriveMap::HostFolder(char letter) const {
    int index = DriveIndex(letter);
    if (index < 0 || m_folders[static_cast<size_t>(index)].empty()) return std::nullopt;
    return m_folders[static_cast<size_t>(index)];
}

std::vector<char> CDriveMap::Letters() const {
    std::vector<char> letters;
    for (size_t i = 0; i < m_folders.size(); ++i)
        if (!m_folders[i].empty()) letters.push_back(static_cast<char>('A' + i));
    return letters;
}

CDriveMap CDriveMap::FromWinePrefix(const std::string& prefix) {
    CDriveMap map;
    const std::string devices = Join(prefix, "dosdevices");
    if (DIR* dir = ::opendir(devices.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            std::string_view name(entry->d_name);
            // "c:" is a drive; "c::" names the raw device behind it.
            if (name.size() != 2 || name[1] != ':' || DriveIndex(name[0]) < 0) continue;
            std::string link = Join(devices, name);
            char target[PATH_MAX];
            ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
            if (n <= 0) continue;
            std::string folder(target, static_cast<size_t>(n));
            if (folder.front() != '/') folder = Join(devices, folder);
            map.SetDrive(name[0], RealPathOr(NormalizeHostPath(folder)));
        }
        ::closedir(dir);
    }
    if (map.Letters().empty()) map.SetDrive('C', RealPathOr(Join(prefix, "drive_c")));
    return map;
}

std::optional<std::string> CDriveMap::FromDrive(char letter, std::string_view rest) const {
    std::optional<std::string> root = HostFolder(letter);
    if (!root) return std::nullopt;
    return Walk(*root, Collapse(SplitWindows(rest)));
}

std::optional<std::string> CDriveMap::ToHostPath(std::string_view path,
                                                 std::string_view currentFolder) const {
    if (path.empty()) return std::nullopt;
    if (path.front() == '/') return std::string(path);
    // Win32 file-namespace prefixes ("\\?\C:\...", "\\.\C:\...") before a drive.
    if (path.size() >= 6 && path[0] == '\\' && path[1] == '\\' &&
        (path[2] == '?' || path[2] == '.') && path[3] == '\\' && path[5] == ':')
        path.remove_prefix(4);
    if (path.size() >= 2 && path[1] == ':' && DriveIndex(path[0]) >= 0)
        return FromDrive(path[0], path.substr(2)); // "C:x" counts from the root
    if (IsSeparator(path[0])) {
        if (path.size() >= 2 && IsSeparator(path[1])) return std::nullopt; // UNC
        char processFolder[PATH_MAX];
        if (currentFolder.empty() && ::getcwd(processFolder, sizeof processFolder))
            currentFolder = processFolder;
        std::optional<std::string> cwd = ToWindowsPath(currentFolder);
        if (!cwd) return std::nullopt;
        return FromDrive((*cwd)[0], path);
    }
    std::string processFolder;
    if (currentFolder.empty()) {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd)) return std::nullopt;
        processFolder = cwd;
        currentFolder = processFolder;
    }
    if (std::optional<std::string> cwd = ToWindowsPath(currentFolder))
        return FromDrive((*cwd)[0], cwd->substr(2) + "\\" + std::string(path));
    // A current folder outside every drive: ".." may climb the host tree, and the path's
    // own components are still matched without regard to case.
    std::vector<std::string_view> parts = SplitWindows(path);
    std::string base = NormalizeHostPath(currentFolder);
    size_t skip = 0;
    for (; skip < parts.size() && (parts[skip] == ".." || parts[skip] == "."); ++skip)
        if (parts[skip] == "..") base = NormalizeHostPath(base + "/..");
    parts.erase(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(skip));
    return Walk(base, Collapse(parts));
}

std::optional<std::string> CDriveMap::MatchDrive(const std::string& host) const {
    int best = -1;
    size_t bestLength = 0;
    for (size_t i = 0; i < m_folders.size(); ++i) {
        const std::string& folder = m_folders[i];
        if (folder.empty()) continue;
        bool covers = folder == "/" || host == folder ||
                      (host.compare(0, folder.size(), folder) == 0 && host[folder.size()] == '/');
        if (covers && (best < 0 || folder.size() > bestLength)) {
            best = static_cast<int>(i);
            bestLength = folder.size();
        }
    }
    if (best < 0) return std::nullopt;
    std::string out(1, static_cast<char>('A' + best));
    out += ":\\";
    const std::string& folder = m_folders[static_cast<size_t>(best)];
    size_t from = folder == "/" ? 1 : folder.size() + 1;
    if (from < host.size()) {
        for (size_t i = from; i < host.size(); ++i)
            out += host[i] == '/' ? '\\' : host[i];
    }
    return out;
}

std::optional<std::string> CDriveMap::ToWindowsPath(std::string_view hostPath) const {
    if (hostPath.empty() || hostPath.front() != '/') return std::nullopt;
    std::string host = NormalizeHostPath(hostPath);
    if (std::optional<std::string> found = MatchDrive(host)) return found;
    // The drive folders are stored as found on disk; the path may reach them by a link.
    std::string real = RealPathOr(host);
    if (real != host) return MatchDrive(real);
    return std::nullopt;
}

} // namespace cva::files

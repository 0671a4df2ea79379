#include "platform/files/DriveMap.h"

#include "platform/text/Unicode.h"

#include <algorithm>
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

bool IsSlash(char c) {
    return c == '/';
}

// The non-empty components between separators.
std::vector<std::string_view> Split(std::string_view path, bool (*separator)(char)) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || separator(path[i])) {
            if (i > start) parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

std::vector<std::string_view> SplitWindows(std::string_view path) {
    return Split(path, IsSeparator);
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

std::string Absolute(const std::string& path) {
    if (!path.empty() && path.front() == '/') return path;
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd)) return path;
    return Join(cwd, path);
}

// Pushes the components of a path so that the first one is taken next.
void PushComponents(std::vector<std::string>& pending, std::string_view path) {
    std::vector<std::string_view> parts = Split(path, IsSlash);
    for (auto it = parts.rbegin(); it != parts.rend(); ++it)
        pending.emplace_back(*it);
}

} // namespace

std::string NormalizeHostPath(std::string_view path) {
    std::string out;
    for (std::string_view p : Collapse(Split(path, IsSlash))) {
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

std::optional<std::string> ResolveHostPath(std::string_view path) {
    // Linux gives up after 40 links on one lookup; so do we.
    constexpr int kMaxLinks = 40;
    std::vector<std::string> pending;
    PushComponents(pending, path);
    std::string current;
    std::vector<size_t> marks;
    int links = 0;
    while (!pending.empty()) {
        std::string part = std::move(pending.back());
        pending.pop_back();
        if (part == ".") continue;
        if (part == "..") {
            if (!marks.empty()) {
                current.resize(marks.back());
                marks.pop_back();
            }
            continue;
        }
        const std::string candidate = current + "/" + part;
        struct stat st {};
        if (::lstat(candidate.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
            char target[PATH_MAX];
            ssize_t n = ::readlink(candidate.c_str(), target, sizeof target);
            if (++links > kMaxLinks || n <= 0 || n >= static_cast<ssize_t>(sizeof target))
                return std::nullopt;
            if (target[0] == '/') {
                current.clear();
                marks.clear();
            }
            PushComponents(pending, std::string_view(target, static_cast<size_t>(n)));
            continue;
        }
        marks.push_back(current.size());
        current = candidate;
    }
    return current.empty() ? std::string("/") : current;
}

bool IsWithinFolder(std::string_view path, std::string_view folder) {
    if (folder == "/") return !path.empty() && path.front() == '/';
    return path.size() >= folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           (path.size() == folder.size() || path[folder.size()] == '/');
}

bool CDriveMap::SetDrive(char letter, std::string_view hostFolder, bool outsideTarget) {
    int index = DriveIndex(letter);
    if (index < 0 || hostFolder.empty()) return false;
    std::string folder = Absolute(std::string(hostFolder));
    if (folder.empty() || folder.front() != '/') return false;
    m_drives[static_cast<size_t>(index)] = {NormalizeHostPath(folder), outsideTarget};
    return true;
}

void CDriveMap::RemoveDrive(char letter) {
    int index = DriveIndex(letter);
    if (index >= 0) m_drives[static_cast<size_t>(index)] = {};
}

bool CDriveMap::Reachable(size_t index) const {
    const SDrive& drive = m_drives[index];
    return !drive.m_folder.empty() && (m_allowHostDrives || !drive.m_outside);
}

std::optional<std::string> CDriveMap::HostFolder(char letter) const {
    int index = DriveIndex(letter);
    if (index < 0 || !Reachable(static_cast<size_t>(index))) return std::nullopt;
    return m_drives[static_cast<size_t>(index)].m_folder;
}

std::vector<char> CDriveMap::Letters() const {
    std::vector<char> letters;
    for (size_t i = 0; i < m_drives.size(); ++i)
        if (Reachable(i)) letters.push_back(static_cast<char>('A' + i));
    return letters;
}

CDriveMap CDriveMap::FromWinePrefix(const std::string& prefix) {
    CDriveMap map;
    const std::string root = NormalizeHostPath(Absolute(prefix));
    const std::string realRoot = RealPathOr(root);
    const std::string devices = Join(root, "dosdevices");
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
            folder = NormalizeHostPath(folder);
            const std::string real = RealPathOr(folder);
            // Either way of naming the prefix counts: drive_c may itself be a link to
            // another disk, and the prefix may have been named through a link.
            const bool inside = IsWithinFolder(folder, root) || IsWithinFolder(real, realRoot);
            map.SetDrive(name[0], real, !inside);
        }
        ::closedir(dir);
    }
    const bool none = std::all_of(map.m_drives.begin(), map.m_drives.end(),
                                  [](const SDrive& drive) { return drive.m_folder.empty(); });
    if (none) map.SetDrive('C', RealPathOr(Join(root, "drive_c")));
    return map;
}

void CDriveMap::Refuse(EHostPlace place, std::string_view path, const std::string& hostPath) const {
    if (!m_reporter) return;
    std::string key = std::to_string(static_cast<int>(place)) + "\n" + std::string(path);
    if (key == m_lastRefused) return;
    m_lastRefused = std::move(key);
    m_reporter(place, std::string(path), hostPath);
}

bool CDriveMap::LeadsOutside(const std::string& hostPath, std::string& resolved) const {
    if (m_allowHostDrives) return false;
    std::optional<std::string> real = ResolveHostPath(hostPath);
    resolved = real.value_or(hostPath);
    if (!real) return true;
    for (size_t i = 0; i < m_drives.size(); ++i) {
        if (!Reachable(i)) continue;
        const std::string& folder = m_drives[i].m_folder;
        if (IsWithinFolder(*real, ResolveHostPath(folder).value_or(folder))) return false;
    }
    return true;
}

std::optional<std::string> CDriveMap::FromDrive(char letter, std::string_view rest,
                                                std::string_view asked) const {
    int index = DriveIndex(letter);
    if (index < 0) return std::nullopt;
    const SDrive& drive = m_drives[static_cast<size_t>(index)];
    if (drive.m_folder.empty()) return std::nullopt;
    if (!Reachable(static_cast<size_t>(index))) {
        Refuse(EHostPlace::Drive, asked, drive.m_folder);
        return std::nullopt;
    }
    std::string host = Walk(drive.m_folder, Collapse(SplitWindows(rest)));
    std::string resolved;
    if (LeadsOutside(host, resolved)) {
        Refuse(EHostPlace::Link, asked, resolved);
        return std::nullopt;
    }
    return host;
}

std::optional<std::string> CDriveMap::ToHostPath(std::string_view path,
                                                 std::string_view currentFolder) const {
    const std::string_view asked = path;
    if (path.empty()) return std::nullopt;
    if (path.front() == '/') {
        if (m_allowHostPaths) return std::string(path);
        Refuse(EHostPlace::HostPath, asked, std::string(path));
        return std::nullopt;
    }
    // Win32 file-namespace prefixes ("\\?\C:\...", "\\.\C:\...") before a drive.
    if (path.size() >= 6 && path[0] == '\\' && path[1] == '\\' &&
        (path[2] == '?' || path[2] == '.') && path[3] == '\\' && path[5] == ':')
        path.remove_prefix(4);
    if (path.size() >= 2 && path[1] == ':' && DriveIndex(path[0]) >= 0)
        return FromDrive(path[0], path.substr(2), asked); // "C:x" counts from the root
    std::string processFolder;
    if (currentFolder.empty()) {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd)) return std::nullopt;
        processFolder = cwd;
        currentFolder = processFolder;
    }
    std::optional<std::string> cwd = ToWindowsPath(currentFolder);
    if (IsSeparator(path[0])) {
        if (path.size() >= 2 && IsSeparator(path[1])) return std::nullopt; // UNC
        if (!cwd) return std::nullopt;
        return FromDrive((*cwd)[0], path, asked);
    }
    if (cwd) return FromDrive((*cwd)[0], cwd->substr(2) + "\\" + std::string(path), asked);
    // A current folder outside every drive is a host folder, and what is counted from it
    // is a host path: ".." may climb the host tree, and the path's own components are
    // still matched without regard to case.
    if (!m_allowHostPaths) {
        Refuse(EHostPlace::HostPath, asked, std::string(currentFolder));
        return std::nullopt;
    }
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
    for (size_t i = 0; i < m_drives.size(); ++i) {
        if (!Reachable(i)) continue;
        const std::string& folder = m_drives[i].m_folder;
        if (IsWithinFolder(host, folder) && (best < 0 || folder.size() > bestLength)) {
            best = static_cast<int>(i);
            bestLength = folder.size();
        }
    }
    if (best < 0) return std::nullopt;
    std::string out(1, static_cast<char>('A' + best));
    out += ":\\";
    const std::string& folder = m_drives[static_cast<size_t>(best)].m_folder;
    size_t from = folder == "/" ? 1 : folder.size() + 1;
    for (size_t i = from; i < host.size(); ++i)
        out += host[i] == '/' ? '\\' : host[i];
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

#include "platform/files/Trash.h"

#include "platform/files/DriveMap.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cva::files {

namespace {

bool MakeFolder(const std::string& path, mode_t mode) {
    if (::mkdir(path.c_str(), mode) == 0) return true;
    struct stat st {};
    return errno == EEXIST && ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeFolderPath(const std::string& path, mode_t mode) {
    for (size_t pos = path.find('/', 1); pos != std::string::npos; pos = path.find('/', pos + 1))
        MakeFolder(path.substr(0, pos), mode);
    return MakeFolder(path, mode);
}

std::string Parent(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string PercentEncode(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_' || c == '.' || c == '~' || c == '/';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string DeletionDate() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// The top of the volume that holds `path`: the last folder upwards on the same device.
std::string VolumeTop(const std::string& path, dev_t device) {
    std::string top = path;
    while (top != "/") {
        std::string up = Parent(top);
        struct stat st {};
        if (::stat(up.c_str(), &st) != 0 || st.st_dev != device) break;
        top = up;
    }
    return top;
}

bool WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

CTrash::CTrash(std::string homeTrash, uid_t uid) : m_homeTrash(std::move(homeTrash)), m_uid(uid) {}

std::string CTrash::DefaultHomeTrash() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome == '/') return std::string(dataHome) + "/Trash";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.local/share/Trash";
}

std::optional<CTrash::STarget> CTrash::ChooseTrash(const std::string& path, dev_t device) const {
    struct stat st {};
    if (MakeFolderPath(m_homeTrash, 0700) && ::stat(m_homeTrash.c_str(), &st) == 0 &&
        st.st_dev == device)
        return STarget{m_homeTrash, path};

    const std::string top = VolumeTop(Parent(path), device);
    const std::string relative = path.substr(top == "/" ? 1 : top.size() + 1);
    char uid[32];
    std::snprintf(uid, sizeof uid, "%u", static_cast<unsigned>(m_uid));

    // An administrator's shared ".Trash" counts only when it is a real sticky folder;
    // anything else could be a trap laid by another user.
    const std::string shared = (top == "/" ? "" : top) + "/.Trash";
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const std::string mine = shared + "/" + uid;
        struct stat own {};
        if (MakeFolder(mine, 0700) && ::lstat(mine.c_str(), &own) == 0 && own.st_uid == m_uid)
            return STarget{mine, relative};
    }
    const std::string mine = (top == "/" ? "" : top) + "/.Trash-" + uid;
    if (MakeFolder(mine, 0700) && ::lstat(mine.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
        st.st_uid == m_uid)
        return STarget{mine, relative};
    return std::nullopt;
}

bool CTrash::MoveToTrash(const std::string& hostPath, std::string* infoPathOut) const {
    if (hostPath.empty()) return false;
    std::string path = hostPath;
    if (path.front() != '/') {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd)) return false;
        path = std::string(cwd) + "/" + path;
    }
    path = NormalizeHostPath(path);
    struct stat st {};
    if (path == "/" || ::lstat(path.c_str(), &st) != 0) return false;

    std::optional<STarget> target = ChooseTrash(path, st.st_dev);
    if (!target) return false;
    const std::string filesDir = target->folder + "/files";
    const std::string infoDir = target->folder + "/info";
    if (!MakeFolder(filesDir, 0700) || !MakeFolder(infoDir, 0700)) return false;
    if (path == target->folder ||
        path.compare(0, target->folder.size() + 1, target->folder + "/") == 0)
        return false; // never trash the trash

    const std::string base = path.substr(path.rfind('/') + 1);
    const std::string record = "[Trash Info]\nPath=" + PercentEncode(target->infoPath) +
                               "\nDeletionDate=" + DeletionDate() + "\n";
    for (unsigned n = 1; n < 10000; ++n) {
        std::string name = base;
        if (n > 1) name += "." + std::to_string(n);
        // Creating the record with O_EXCL claims the name against other programs.
        const std::string info = infoDir + "/" + name + ".trashinfo";
        int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        const std::string stored = filesDir + "/" + name;
        struct stat existing {};
        bool ok =
            ::lstat(stored.c_str(), &existing) != 0 && WriteAll(fd, record) && ::fsync(fd) == 0;
        ok = (::close(fd) == 0) && ok;
        if (ok && ::rename(path.c_str(), stored.c_str()) == 0) {
            if (infoPathOut) *infoPathOut = info;
            return true;
        }
        ::unlink(info.c_str());
        if (::lstat(stored.c_str(), &existing) == 0) continue; // left over: next name
        return false;
    }
    return false;
}

bool MoveToTrash(const std::string& hostPath) {
    return CTrash().MoveToTrash(hostPath);
}

} // namespace cva::files

#include "platform/files/AtomicFile.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <string_view>
#include <sys/file.h>
#include <unistd.h>

namespace cva::files {

namespace {

// Closes a descriptor when it goes out of scope.
class CFd {
public:
    explicit CFd(int fd) : m_fd(fd) {}
    ~CFd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    int Get() const { return m_fd; }
    // Closes now, with the result a late write error shows up in.
    int Close() {
        int rc = ::close(m_fd);
        m_fd = -1;
        return rc;
    }

private:
    int m_fd;
};

int WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

std::string ResolveLinkTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return path; // dangling link: replace the link itself
    std::string result(real);
    std::free(real);
    return result;
}

// 0 or the errno of a failed flush. A folder that cannot be opened for reading, or a
// file system that cannot flush folders, has nothing we could do better.
int SyncFolder(const std::string& folder) {
    CFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() < 0) return 0;
    if (::fsync(fd.Get()) == 0 || errno == EINVAL || errno == EROFS) return 0;
    return errno;
}

// Temporary files are named ".NAME.PID-XXXXXXXX~" beside the file NAME they replace:
// the writer's process id, so that one killed before its rename can be told from one
// still at work, and eight random hex digits.
std::string TempName(const std::string& base, unsigned random) {
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".%ld-%08x~", static_cast<long>(::getpid()), random);
    return "." + base + suffix;
}

// The process id in a temporary file name of ours for `base`; 0 when the name is not one.
pid_t TempOwner(std::string_view name, const std::string& base) {
    if (name.size() < base.size() + 13 || name[0] != '.' ||
        name.compare(1, base.size(), base) != 0 || name[base.size() + 1] != '.' || name.back() != '~')
        return 0;
    std::string_view rest = name.substr(base.size() + 2);
    rest.remove_suffix(1);
    const size_t dash = rest.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash > 10 || rest.size() - dash != 9) return 0;
    long pid = 0;
    for (char c : rest.substr(0, dash)) {
        if (c < '0' || c > '9') return 0;
        pid = pid * 10 + (c - '0');
    }
    for (char c : rest.substr(dash + 1))
        if (!std::isxdigit(static_cast<unsigned char>(c))) return 0;
    return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

// Removes what writers of `base` that were killed before their rename left behind. A
// file is only taken when its writer process is gone and nobody holds its lock (a writer
// on another machine sharing the folder keeps one while it works).
void RemoveStaleTemps(const std::string& folder, const std::string& base) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = TempOwner(entry->d_name, base);
        if (owner == 0 || owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH)
            continue;
        const std::string stale = folder + entry->d_name;
        CFd fd(::open(stale.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
        if (fd.Get() < 0 || ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) continue;
        ::unlink(stale.c_str());
    }
    ::closedir(dir);
}

bool SameStatus(const struct stat& a, const struct stat& b) {
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
           a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

} // namespace

int ReplaceFileContents(const std::string& requestedPath, std::string_view data,
                        const std::function<int()>& beforeRename, struct stat* written) {
    const std::string path = ResolveLinkTarget(requestedPath);
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.empty()) return EISDIR;

    struct stat old {};
    const bool hadFile = ::stat(path.c_str(), &old) == 0;
    if (hadFile && !S_ISREG(old.st_mode)) return S_ISDIR(old.st_mode) ? EISDIR : EINVAL;

    RemoveStaleTemps(folder, base);
    std::random_device seed;
    std::mt19937 rng(seed());
    std::string temp;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temp = folder + TempName(base, static_cast<unsigned>(rng()));
        raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST) return errno;
    }
    if (raw < 0) return EEXIST;
    CFd fd(raw);
    // Held until the descriptor closes: the mark of a writer at work (RemoveStaleTemps).
    (void)::flock(fd.Get(), LOCK_EX | LOCK_NB);

    int err = WriteAll(fd.Get(), data);
    if (!err && hadFile) {
        // Owner first: fchown clears set-id bits, which fchmod then restores. A file that
        // is not ours to give away simply becomes ours.
        const bool ownerKept = ::fchown(fd.Get(), old.st_uid, old.st_gid) == 0;
        (void)ownerKept;
        if (::fchmod(fd.Get(), old.st_mode & 07777) != 0) err = errno;
    }
    if (!err && ::fsync(fd.Get()) != 0) err = errno;
    if (!err && beforeRename) err = beforeRename();
    if (!err && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    // The rename changed the file's status; what the caller keeps must be the final one.
    if (!err && written && ::fstat(fd.Get(), written) != 0) err = errno;
    if (fd.Close() != 0 && !err) err = errno;
    if (err) {
        ::unlink(temp.c_str());
        return err;
    }
    // The rename itself reaches the disk with the folder's entry; until it has, a power
    // cut may bring the old file back, so a failed flush is no success.
    return SyncFolder(folder);
}

bool WriteFileAtomically(const std::string& path, std::string_view data) {
    const int err = ReplaceFileContents(path, data);
    if (err) errno = err;
    return err == 0;
}

int ReadFileContents(const std::string& path, std::string& out, struct stat* status) {
    CFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) return errno;
    // A file rewritten in place while we read it is read again, so that content and
    // status belong together.
    for (int attempt = 0;; ++attempt) {
        struct stat before {};
        if (::fstat(fd.Get(), &before) != 0) return errno;
        if (S_ISDIR(before.st_mode)) return EISDIR;
        out.clear();
        out.reserve(static_cast<size_t>(before.st_size));
        char chunk[65536];
        for (;;) {
            ssize_t n = ::read(fd.Get(), chunk, sizeof chunk);
            if (n < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            if (n == 0) break;
            out.append(chunk, static_cast<size_t>(n));
        }
        struct stat after {};
        if (::fstat(fd.Get(), &after) != 0) return errno;
        if (SameStatus(before, after) || attempt == 4 || ::lseek(fd.Get(), 0, SEEK_SET) != 0) {
            if (status) *status = after;
            return 0;
        }
    }
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::string data;
    if (ReadFileContents(path, data) != 0) return std::nullopt;
    return data;
}

} // namespace cva::files

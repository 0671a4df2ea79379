#include "platform/files/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
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

void SyncFolder(const std::string& folder) {
    CFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() >= 0) ::fsync(fd.Get());
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
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.empty()) return EISDIR;

    struct stat old {};
    const bool hadFile = ::stat(path.c_str(), &old) == 0;
    if (hadFile && !S_ISREG(old.st_mode)) return S_ISDIR(old.st_mode) ? EISDIR : EINVAL;

    std::random_device seed;
    std::mt19937 rng(seed());
    std::string temp;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x~", static_cast<unsigned>(rng()));
        temp = folder + "." + base + suffix;
        raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST) return errno;
    }
    if (raw < 0) return EEXIST;
    CFd fd(raw);

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
    // The rename itself reaches the disk with the folder's entry.
    SyncFolder(folder);
    return 0;
}

bool WriteFileAtomically(const std::string& path, std::string_view data) {
    return ReplaceFileContents(path, data) == 0;
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

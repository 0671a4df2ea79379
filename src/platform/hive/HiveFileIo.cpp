#include "platform/hive/WineRegFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace cva::hive {

namespace {

// Closes a descriptor when it goes out of scope.
class CFd {
public:
    explicit CFd(int fd) : m_fd(fd) {}
    ~CFd() {
        if (m_fd >= 0) close(m_fd);
    }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    int Get() const { return m_fd; }
    int Release() {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

int WriteAll(int fd, std::string_view data) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return 0;
}

} // namespace

int ReadFileContents(const std::string& path, std::string& out) {
    CFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) return errno;
    struct stat st;
    if (fstat(fd.Get(), &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    out.clear();
    out.resize(static_cast<size_t>(st.st_size));
    size_t got = 0;
    for (;;) {
        if (got == out.size()) out.resize(out.size() + 65536);
        ssize_t n = read(fd.Get(), out.data() + got, out.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    out.resize(got);
    return 0;
}

int WriteFileAtomically(const std::string& path, std::string_view data) {
    std::string target = path;
    struct stat st;
    bool exists = lstat(path.c_str(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (!realpath(path.c_str(), resolved)) return errno;
        target = resolved;
        exists = stat(target.c_str(), &st) == 0;
    }
    size_t slash = target.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp = folder + "/." + base + ".cva-XXXXXX";

    CFd fd(mkstemp(temp.data()));
    if (fd.Get() < 0) return errno;
    mode_t mode;
    if (exists) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    int err = 0;
    if (fchmod(fd.Get(), mode) != 0) err = errno;
    if (!err) err = WriteAll(fd.Get(), data);
    if (!err && fsync(fd.Get()) != 0) err = errno;
    if (!err && close(fd.Release()) != 0) err = errno;
    if (!err && rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err) {
        unlink(temp.c_str());
        return err;
    }
    // The rename itself reaches the disk with the folder's entry.
    CFd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) fsync(dir.Get());
    return 0;
}

reg::LSTATUS ErrnoToWin32(int err) {
    switch (err) {
    case 0: return reg::ERROR_SUCCESS;
    case ENOENT: return reg::ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return reg::ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS: return reg::ERROR_ACCESS_DENIED;
    case EEXIST: return reg::ERROR_ALREADY_EXISTS;
    case ENOSPC:
    case EDQUOT: return reg::ERROR_DISK_FULL;
    case ENOMEM: return reg::ERROR_NOT_ENOUGH_MEMORY;
    case EISDIR: return reg::ERROR_ACCESS_DENIED;
    default: return reg::ERROR_WRITE_FAULT;
    }
}

} // namespace cva::hive

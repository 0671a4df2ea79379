#include "platform/process/SingleInstanceLock.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cva::process {

CSingleInstanceLock::CSingleInstanceLock(std::string_view name, std::string folder) {
    std::string safeName(name);
    for (char& c : safeName)
        if (c == '/' || c == '\\') c = '_';
    if (folder.empty()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        struct stat st {};
        if (runtime && *runtime == '/' && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) {
            folder = runtime;
        } else {
            // /tmp is shared: the user id keeps one user's copy from blocking another's.
            char suffix[32];
            std::snprintf(suffix, sizeof suffix, "-%u", static_cast<unsigned>(::getuid()));
            safeName += suffix;
            folder = "/tmp";
        }
    }
    m_path = folder + "/" + safeName + ".lock";
}

CSingleInstanceLock::~CSingleInstanceLock() {
    Release();
}

bool CSingleInstanceLock::Acquire() {
    if (m_fd >= 0) return true;
    // O_NOFOLLOW and the owner test keep a file planted by someone else from being used.
    int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
        ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    // The holder's process id, for anyone looking at the file; the lock is what counts.
    char pid[32];
    int n = std::snprintf(pid, sizeof pid, "%ld\n", static_cast<long>(::getpid()));
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid, static_cast<size_t>(n), 0) < 0) {
        // informational only
    }
    m_fd = fd;
    return true;
}

void CSingleInstanceLock::Release() {
    if (m_fd < 0) return;
    ::close(m_fd); // closing drops the flock; the file stays for the next holder
    m_fd = -1;
}

} // namespace cva::process

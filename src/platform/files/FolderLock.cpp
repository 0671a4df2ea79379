#include "platform/files/FolderLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace cva::files {

CFolderLock::CFolderLock(const std::string& folder) {
    m_fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0) return;
    int rc;
    do {
        rc = ::flock(m_fd, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    m_held = rc == 0;
}

CFolderLock::~CFolderLock() {
    if (m_fd >= 0) ::close(m_fd); // closing drops the lock
}

} // namespace cva::files

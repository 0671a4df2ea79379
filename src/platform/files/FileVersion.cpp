#include "platform/files/FileVersion.h"

#include "platform/files/AtomicFile.h"

#include <algorithm>
#include <cerrno>

namespace cva::files {

namespace {

// Coarser than any file system's time stamps (FAT keeps two seconds).
constexpr time_t kClockSlack = 2;

uint64_t Fingerprint(std::string_view data) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : data) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

timespec Now() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

bool Equal(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

} // namespace

void CFileVersion::Remember(const struct stat& status, std::string_view content) {
    m_exists = true;
    m_device = status.st_dev;
    m_inode = status.st_ino;
    m_size = status.st_size;
    m_modified = status.st_mtim;
    m_changed = status.st_ctim;
    m_hash = Fingerprint(content);
}

int CFileVersion::Read(const std::string& path, std::string& content) {
    m_seen = Now();
    struct stat status {};
    int err = ReadFileContents(path, content, &status);
    if (err == ENOENT) m_exists = false;
    if (err == 0) Remember(status, content);
    return err;
}

void CFileVersion::Wrote(const struct stat& status, std::string_view content) {
    m_seen = Now();
    Remember(status, content);
}

bool CFileVersion::SameStatus(const struct stat& status) const {
    return status.st_dev == m_device && status.st_ino == m_inode && status.st_size == m_size &&
           Equal(status.st_mtim, m_modified) && Equal(status.st_ctim, m_changed);
}

bool CFileVersion::Changed(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return errno == ENOENT && m_exists;
    if (!m_exists || !SameStatus(status)) return true;
    time_t latest = std::max(m_modified.tv_sec, m_changed.tv_sec);
    if (m_seen.tv_sec > latest + kClockSlack) return false;
    // Another write within the same clock tick as the one we know would leave the same
    // stamps behind; only the content can tell.
    const timespec now = Now();
    std::string content;
    struct stat read {};
    if (ReadFileContents(path, content, &read) != 0) return true;
    if (!SameStatus(read) || Fingerprint(content) != m_hash) return true;
    m_seen = now;
    return false;
}

} // namespace cva::files

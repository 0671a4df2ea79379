#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace cva::files {

// What a file was when this program last read or wrote it, so that a later look can tell
// whether anybody changed it since: another file put in its place, the file removed or
// created, its size, modification or change time moved. Within a moment of the last
// change the file system's clock is too coarse to tell two writes apart, and then the
// content itself is compared.
class CFileVersion {
public:
    // Reads the whole file and remembers it. 0 or an errno value; a missing file is
    // remembered as missing (ENOENT).
    int Read(const std::string& path, std::string& content);
    // Remembers a file this program has just written, with its status after the write.
    void Wrote(const struct stat& status, std::string_view content);
    // True when the file is no longer the one read or written last.
    bool Changed(const std::string& path);

private:
    void Remember(const struct stat& status, std::string_view content);
    bool SameStatus(const struct stat& status) const;

    bool m_exists = false;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    off_t m_size = 0;
    timespec m_modified{};
    timespec m_changed{};
    uint64_t m_hash = 0;
    timespec m_seen{}; // when the file was read or written
};

} // namespace cva::files

#include "platform/files/FileAttributes.h"

#include "platform/text/HexDigit.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace cva::files {

namespace {

constexpr uint32_t kStoredBits = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// All bits of the attribute; only hidden and system are ours, the rest (archive, which
// Samba keeps) is carried along when we write.
uint32_t ReadDosAttrib(const std::string& path) {
    char value[256];
    ssize_t n = ::getxattr(path.c_str(), kDosAttribXattr, value, sizeof value);
    if (n <= 0) return 0;
    std::optional<uint32_t> bits = ParseDosAttrib(std::string_view(value, static_cast<size_t>(n)));
    return bits ? *bits : 0;
}

} // namespace

std::optional<uint32_t> ParseDosAttrib(std::string_view value) {
    if (value.size() < 3 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X'))
        return std::nullopt;
    uint32_t bits = 0;
    size_t i = 2;
    for (; i < value.size() && i < 10 && text::HexDigitValue(value[i]) >= 0; ++i)
        bits = bits * 16 + static_cast<uint32_t>(text::HexDigitValue(value[i]));
    if (i == 2) return std::nullopt;
    return bits;
}

std::string FormatDosAttrib(uint32_t attributes) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", attributes);
    return text;
}

uint32_t GetFileAttributes(const std::string& hostPath) {
    struct stat st {};
    if (::stat(hostPath.c_str(), &st) != 0) return INVALID_FILE_ATTRIBUTES;
    uint32_t attributes = 0;
    if (S_ISDIR(st.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (!(st.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
    attributes |= ReadDosAttrib(hostPath) & kStoredBits;
    if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
    return attributes;
}

bool SetFileAttributes(const std::string& hostPath, uint32_t attributes) {
    struct stat st {};
    if (::stat(hostPath.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) {
        mode_t mode = st.st_mode & 07777;
        mode_t wanted =
            (attributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~mode_t(0222)) : (mode | S_IWUSR);
        if (wanted != mode && ::chmod(hostPath.c_str(), wanted) != 0) return false;
    }
    const uint32_t old = ReadDosAttrib(hostPath);
    const uint32_t stored = (old & ~kStoredBits) | (attributes & kStoredBits);
    if (stored != old) {
        // Without extended attributes (or permission to set them) hidden and system
        // cannot be kept; Windows programs carry on without them, and so do we.
        if (stored == 0) {
            ::removexattr(hostPath.c_str(), kDosAttribXattr);
        } else {
            std::string value = FormatDosAttrib(stored);
            ::setxattr(hostPath.c_str(), kDosAttribXattr, value.data(), value.size(), 0);
        }
    }
    return true;
}

} // namespace cva::files

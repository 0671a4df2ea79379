#include "platform/process/ModuleVersion.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cva::process {

namespace {

constexpr uint32_t SHT_NOTE_TYPE = 7;
constexpr uint32_t PT_NOTE_TYPE = 4;
constexpr char kOwner[] = "Corvanta"; // with its NUL, 9 bytes as the note counts them
constexpr uint64_t kMaxNoteBlock = 1 << 20;

// Reads an ELF file of either class and byte order without trusting any of its numbers.
class CElfReader {
public:
    explicit CElfReader(int fd) : m_fd(fd) {
        struct stat st {};
        m_size = ::fstat(fd, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
    }

    bool ReadHeader() {
        unsigned char ident[16];
        if (!Read(0, ident, sizeof ident)) return false;
        if (std::memcmp(ident,
                        "\x7F"
                        "ELF",
                        4) != 0)
            return false;
        if ((ident[4] != 1 && ident[4] != 2) || (ident[5] != 1 && ident[5] != 2)) return false;
        m_is64 = ident[4] == 2;
        m_bigEndian = ident[5] == 2;
        return true;
    }

    std::optional<std::array<uint16_t, 4>> FindVersion() {
        auto fromSections = ScanSections();
        if (fromSections) return fromSections;
        return ScanSegments();
    }

private:
    bool Read(uint64_t offset, void* out, uint64_t length) const {
        if (offset > m_size || length > m_size - offset) return false;
        return ::pread(m_fd, out, length, static_cast<off_t>(offset)) ==
               static_cast<ssize_t>(length);
    }
    uint64_t Number(const unsigned char* p, int bytes) const {
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            int at = m_bigEndian ? i : bytes - 1 - i;
            v = (v << 8) | p[at];
        }
        return v;
    }
    uint64_t Word(const unsigned char* p) const { return Number(p, m_is64 ? 8 : 4); }

    std::optional<std::array<uint16_t, 4>> ScanSections() {
        unsigned char h[64];
        if (!Read(0, h, m_is64 ? 64 : 52)) return std::nullopt;
        uint64_t shoff = m_is64 ? Number(h + 40, 8) : Number(h + 32, 4);
        uint64_t entSize = Number(h + (m_is64 ? 58 : 46), 2);
        uint64_t count = Number(h + (m_is64 ? 60 : 48), 2);
        const uint64_t need = m_is64 ? 64 : 40;
        if (shoff == 0 || entSize < need) return std::nullopt;
        unsigned char s[64];
        if (count == 0) { // more than 0xff00 sections: the real count sits in section 0
            if (!Read(shoff, s, need)) return std::nullopt;
            count = m_is64 ? Number(s + 32, 8) : Number(s + 20, 4);
        }
        for (uint64_t i = 0; i < count && i < 65536; ++i) {
            if (!Read(shoff + i * entSize, s, need)) return std::nullopt;
            if (Number(s + 4, 4) != SHT_NOTE_TYPE) continue;
            uint64_t offset = m_is64 ? Number(s + 24, 8) : Number(s + 16, 4);
            uint64_t size = m_is64 ? Number(s + 32, 8) : Number(s + 20, 4);
            uint64_t align = m_is64 ? Number(s + 48, 8) : Number(s + 32, 4);
            if (auto v = ScanNotes(offset, size, align == 8 ? 8 : 4)) return v;
        }
        return std::nullopt;
    }

    std::optional<std::array<uint16_t, 4>> ScanSegments() {
        unsigned char h[64];
        if (!Read(0, h, m_is64 ? 64 : 52)) return std::nullopt;
        uint64_t phoff = m_is64 ? Number(h + 32, 8) : Number(h + 28, 4);
        uint64_t entSize = Number(h + (m_is64 ? 54 : 42), 2);
        uint64_t count = Number(h + (m_is64 ? 56 : 44), 2);
        const uint64_t need = m_is64 ? 56 : 32;
        if (phoff == 0 || entSize < need) return std::nullopt;
        unsigned char p[56];
        for (uint64_t i = 0; i < count; ++i) {
            if (!Read(phoff + i * entSize, p, need)) return std::nullopt;
            if (Number(p, 4) != PT_NOTE_TYPE) continue;
            uint64_t offset = m_is64 ? Number(p + 8, 8) : Number(p + 4, 4);
            uint64_t size = m_is64 ? Number(p + 32, 8) : Number(p + 16, 4);
            uint64_t align = m_is64 ? Number(p + 48, 8) : Number(p + 28, 4);
            if (auto v = ScanNotes(offset, size, align == 8 ? 8 : 4)) return v;
        }
        return std::nullopt;
    }

    std::optional<std::array<uint16_t, 4>> ScanNotes(uint64_t offset, uint64_t size,
                                                     uint64_t align) {
        if (size < 12 || size > kMaxNoteBlock) return std::nullopt;
        std::vector<unsigned char> block(size);
        if (!Read(offset, block.data(), size)) return std::nullopt;
        auto pad = [align](uint64_t n) { return (n + align - 1) / align * align; };
        uint64_t at = 0;
        while (size - at >= 12) {
            uint64_t nameSize = Number(&block[at], 4);
            uint64_t descSize = Number(&block[at + 4], 4);
            uint64_t type = Number(&block[at + 8], 4);
            uint64_t nameAt = at + 12;
            if (nameSize > size || pad(nameSize) > size - nameAt) break;
            uint64_t descAt = nameAt + pad(nameSize);
            if (descSize > size || descSize > size - descAt) break;
            if (type == CModuleVersion::kNoteType && nameSize == sizeof kOwner &&
                std::memcmp(&block[nameAt], kOwner, sizeof kOwner) == 0 && descSize >= 8) {
                std::array<uint16_t, 4> fields{};
                for (int i = 0; i < 4; ++i)
                    fields[static_cast<size_t>(i)] = static_cast<uint16_t>(
                        Number(&block[descAt + 2 * static_cast<uint64_t>(i)], 2));
                return fields;
            }
            uint64_t next = descAt + pad(descSize);
            if (next <= at || next > size) break;
            at = next;
        }
        return std::nullopt;
    }

    int m_fd;
    uint64_t m_size = 0;
    bool m_is64 = false;
    bool m_bigEndian = false;
};

} // namespace

bool CModuleVersion::GetFileVersionInfo(const std::string& path) {
    static_cast<SFixedFileInfo&>(*this) = SFixedFileInfo{};
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    CElfReader reader(fd);
    std::optional<std::array<uint16_t, 4>> fields;
    if (reader.ReadHeader()) fields = reader.FindVersion();
    ::close(fd);
    if (!fields) return false;
    dwSignature = kSignature;
    dwStrucVersion = 0x00010000;
    dwFileVersionMS = (uint32_t((*fields)[0]) << 16) | (*fields)[1];
    dwFileVersionLS = (uint32_t((*fields)[2]) << 16) | (*fields)[3];
    dwProductVersionMS = dwFileVersionMS;
    dwProductVersionLS = dwFileVersionLS;
    return true;
}

uint16_t CModuleVersion::Field(int index) const {
    switch (index) {
    case 0:
        return static_cast<uint16_t>(dwFileVersionMS >> 16);
    case 1:
        return static_cast<uint16_t>(dwFileVersionMS & 0xFFFF);
    case 2:
        return static_cast<uint16_t>(dwFileVersionLS >> 16);
    case 3:
        return static_cast<uint16_t>(dwFileVersionLS & 0xFFFF);
    default:
        return 0;
    }
}

std::string CModuleVersion::ToString() const {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", Field(0), Field(1), Field(2), Field(3));
    return text;
}

} // namespace cva::process

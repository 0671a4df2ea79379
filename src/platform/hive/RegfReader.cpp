#include "platform/hive/RegfFile.h"

#include "platform/registry/RegTypes.h"

#include <cstring>
#include <sys/statvfs.h>
#include <unistd.h>

namespace cva::hive {

using reg::CRegKey;

namespace {

constexpr size_t kBaseBlockSize = 4096;
constexpr size_t kBinUnit = 4096;
constexpr uint16_t kKeySymLink = 0x0010;
constexpr uint16_t kKeyCompressedName = 0x0020;
constexpr uint16_t kValueCompressedName = 0x0001;
constexpr uint32_t kDataInline = 0x80000000u;
// More keys than cells could hold means the lists loop.
constexpr size_t kCellMinimum = 8;

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

class CRegfReader {
public:
    CRegfReader(std::string_view content, std::string& error)
        : m_data(reinterpret_cast<const uint8_t*>(content.data())), m_size(content.size()),
          m_error(error) {}

    bool Run(CRegKey& root, CRegfInfo& info);

private:
    bool Fail(const std::string& why) {
        m_error = "the hive is damaged: " + why;
        return false;
    }
    bool CheckBins();
    // The data of the allocated cell at a hive offset, with its usable length.
    bool Cell(uint32_t offset, const uint8_t*& data, size_t& length);
    // An allocated cell holding a record ("nk", "vk") of at least `minimum` bytes.
    bool Record(uint32_t offset, const char* signature, size_t minimum, const char* what,
                const uint8_t*& data, size_t& length);
    bool ReadKey(const uint8_t* nk, CRegKey& key, size_t depth);
    bool ReadSubkeys(uint32_t listOffset, CRegKey& key, size_t depth, int level = 0);
    bool ReadValues(uint32_t listOffset, uint32_t count, CRegKey& key);
    bool ReadValueData(const uint8_t* vk, std::vector<uint8_t>& out);
    static std::u16string Name(const uint8_t* p, size_t length, bool compressed);

    const uint8_t* m_data;
    size_t m_size;
    std::string& m_error;
    size_t m_binsEnd = 0;
    uint32_t m_minor = 0;
    size_t m_keys = 0;
};

bool CRegfReader::CheckBins() {
    // Every page after the base block belongs to a bin whose header names its own place;
    // a bin cut short or garbage between bins means cells cannot be trusted.
    // What lies beyond the bins the base block counts is slack Windows leaves in the file.
    size_t pos = kBaseBlockSize;
    while (pos < m_size && pos < m_binsEnd) {
        const uint8_t* bin = m_data + pos;
        if (m_size - pos < 32 || std::memcmp(bin, "hbin", 4) != 0)
            return Fail("no hive bin at file offset " + std::to_string(pos));
        uint32_t offset = Get32(bin + 4), size = Get32(bin + 8);
        if (offset != pos - kBaseBlockSize || size < kBinUnit || size % kBinUnit != 0 ||
            size > m_size - pos)
            return Fail("the hive bin at file offset " + std::to_string(pos) + " is broken");
        // Cells fill the bin exactly.
        size_t cell = 32;
        while (cell < size) {
            int32_t raw = static_cast<int32_t>(Get32(bin + cell));
            size_t length = raw < 0 ? static_cast<size_t>(-static_cast<int64_t>(raw))
                                    : static_cast<size_t>(raw);
            if (length < kCellMinimum || length % 8 != 0 || length > size - cell)
                return Fail("a cell at file offset " + std::to_string(pos + cell) +
                            " has a broken size");
            cell += length;
        }
        pos += size;
    }
    if (pos < m_binsEnd) return Fail("the file is shorter than its base block says");
    return true;
}

bool CRegfReader::Cell(uint32_t offset, const uint8_t*& data, size_t& length) {
    size_t pos = kBaseBlockSize + static_cast<size_t>(offset);
    if (offset == 0xFFFFFFFFu || pos + 4 > m_size || offset % 8 != 0)
        return Fail("a cell offset (" + std::to_string(offset) + ") lies outside the hive");
    int32_t raw = static_cast<int32_t>(Get32(m_data + pos));
    if (raw >= 0) return Fail("a cell in use at offset " + std::to_string(offset) + " is free");
    size_t size = static_cast<size_t>(-static_cast<int64_t>(raw));
    if (size < kCellMinimum || size > m_size - pos)
        return Fail("the cell at offset " + std::to_string(offset) + " is too long");
    data = m_data + pos + 4;
    length = size - 4;
    return true;
}

std::u16string CRegfReader::Name(const uint8_t* p, size_t length, bool compressed) {
    std::u16string name;
    if (compressed) {
        // One byte a character: the first 256 code points, as Windows stores them.
        name.resize(length);
        for (size_t i = 0; i < length; ++i)
            name[i] = static_cast<char16_t>(p[i]);
    } else {
        name.resize(length / 2);
        for (size_t i = 0; i < name.size(); ++i)
            name[i] = static_cast<char16_t>(Get16(p + 2 * i));
    }
    return name;
}

bool CRegfReader::Record(uint32_t offset, const char* signature, size_t minimum, const char* what,
                         const uint8_t*& data, size_t& length) {
    if (!Cell(offset, data, length)) return false;
    if (length < minimum || std::memcmp(data, signature, 2) != 0)
        return Fail("the cell at offset " + std::to_string(offset) + " is not " + what);
    return true;
}

bool CRegfReader::ReadKey(const uint8_t* nk, CRegKey& key, size_t depth) {
    if (depth > reg::kMaxKeyDepth) return Fail("keys nest deeper than Windows allows");
    if (++m_keys > m_size / kCellMinimum) return Fail("the key lists loop");
    uint16_t flags = Get16(nk + 2);
    key.m_lastWrite =
        static_cast<uint64_t>(Get32(nk + 4)) | (static_cast<uint64_t>(Get32(nk + 8)) << 32);
    key.m_isLink = (flags & kKeySymLink) != 0;
    uint32_t classOffset = Get32(nk + 48);
    uint16_t classLength = Get16(nk + 74);
    if (classLength > 0 && classOffset != 0xFFFFFFFFu) {
        const uint8_t* cls;
        size_t clsLength;
        if (!Cell(classOffset, cls, clsLength)) return false;
        if (classLength > clsLength) return Fail("a class name is longer than its cell");
        key.m_class = Name(cls, classLength, false);
    }
    uint32_t valueCount = Get32(nk + 36);
    if (valueCount > 0 && !ReadValues(Get32(nk + 40), valueCount, key)) return false;
    if (Get32(nk + 20) > 0 && !ReadSubkeys(Get32(nk + 28), key, depth)) return false;
    return true;
}

bool CRegfReader::ReadSubkeys(uint32_t listOffset, CRegKey& key, size_t depth, int level) {
    const uint8_t* list;
    size_t length;
    if (!Cell(listOffset, list, length)) return false;
    if (length < 4) return Fail("a subkey list is too short");
    uint16_t count = Get16(list + 2);
    bool indexRoot = std::memcmp(list, "ri", 2) == 0;
    size_t stride = (std::memcmp(list, "lf", 2) == 0 || std::memcmp(list, "lh", 2) == 0) ? 8 : 4;
    if (!indexRoot && std::memcmp(list, "li", 2) != 0 && stride != 8)
        return Fail("the cell at offset " + std::to_string(listOffset) + " is no subkey list");
    if (4 + static_cast<size_t>(count) * stride > length)
        return Fail("a subkey list is longer than its cell");
    for (size_t i = 0; i < count; ++i) {
        uint32_t entry = Get32(list + 4 + i * stride);
        if (indexRoot) {
            if (level > 0) return Fail("index roots nest");
            if (!ReadSubkeys(entry, key, depth, level + 1)) return false;
            continue;
        }
        const uint8_t* nk;
        size_t nkLength;
        if (!Record(entry, "nk", 76, "a key", nk, nkLength)) return false;
        size_t nameLength = Get16(nk + 72);
        if (76 + nameLength > nkLength) return Fail("a key name is longer than its cell");
        std::u16string name = Name(nk + 76, nameLength, (Get16(nk + 2) & kKeyCompressedName) != 0);
        bool created = false;
        auto child = key.AddSubkey(name, created);
        if (!created)
            return Fail("the key name \"" + std::string(name.begin(), name.end()) +
                        "\" appears twice in one key");
        if (!ReadKey(nk, *child, depth + 1)) return false;
    }
    return true;
}

bool CRegfReader::ReadValues(uint32_t listOffset, uint32_t count, CRegKey& key) {
    const uint8_t* list;
    size_t length;
    if (!Cell(listOffset, list, length)) return false;
    if (static_cast<size_t>(count) * 4 > length)
        return Fail("a value list is longer than its cell");
    std::vector<uint8_t> data;
    for (size_t i = 0; i < count; ++i) {
        uint32_t offset = Get32(list + i * 4);
        const uint8_t* vk;
        size_t vkLength;
        if (!Record(offset, "vk", 20, "a value", vk, vkLength)) return false;
        size_t nameLength = Get16(vk + 2);
        if (20 + nameLength > vkLength) return Fail("a value name is longer than its cell");
        std::u16string name =
            Name(vk + 20, nameLength, (Get16(vk + 16) & kValueCompressedName) != 0);
        if (!ReadValueData(vk, data)) return false;
        key.SetValue(name, Get32(vk + 12), data.data(), data.size());
    }
    return true;
}

bool CRegfReader::ReadValueData(const uint8_t* vk, std::vector<uint8_t>& out) {
    uint32_t size = Get32(vk + 4);
    uint32_t offset = Get32(vk + 8);
    out.clear();
    if (size & kDataInline) {
        size &= ~kDataInline;
        if (size > 4) return Fail("a value kept in its record claims more than 4 bytes");
        out.assign(vk + 8, vk + 8 + size);
        return true;
    }
    if (size == 0) return true;
    const uint8_t* cell;
    size_t length;
    if (!Cell(offset, cell, length)) return false;
    if (m_minor >= 4 && size > kRegfMaxPlainValue && length >= 8 &&
        std::memcmp(cell, "db", 2) == 0) {
        uint16_t segments = Get16(cell + 2);
        const uint8_t* list;
        size_t listLength;
        if (!Cell(Get32(cell + 4), list, listLength)) return false;
        if (static_cast<size_t>(segments) * 4 > listLength)
            return Fail("a big value's segment list is longer than its cell");
        out.reserve(size);
        for (size_t i = 0; i < segments && out.size() < size; ++i) {
            const uint8_t* part;
            size_t partLength;
            if (!Cell(Get32(list + i * 4), part, partLength)) return false;
            size_t take = std::min<size_t>({partLength, kRegfMaxPlainValue, size - out.size()});
            out.insert(out.end(), part, part + take);
        }
        if (out.size() != size) return Fail("a big value is shorter than it says");
        return true;
    }
    if (size > length) return Fail("a value is longer than its cell");
    out.assign(cell, cell + size);
    return true;
}

bool CRegfReader::Run(CRegKey& root, CRegfInfo& info) {
    if (m_size < kBaseBlockSize ||
        !IsRegfData(std::string_view(reinterpret_cast<const char*>(m_data), m_size)))
        return Fail("it has no regf base block");
    uint32_t checksum = 0;
    for (size_t i = 0; i < 508; i += 4)
        checksum ^= Get32(m_data + i);
    if (checksum != Get32(m_data + 508)) return Fail("the base block's checksum is wrong");
    if (Get32(m_data + 20) != 1) return Fail("unknown format version");
    m_minor = Get32(m_data + 24);
    info.m_minor = m_minor;
    info.m_logPending = Get32(m_data + 4) != Get32(m_data + 8);
    m_binsEnd = kBaseBlockSize + static_cast<size_t>(Get32(m_data + 40));
    if (!CheckBins()) return false;
    const uint8_t* nk;
    size_t length;
    return Record(Get32(m_data + 36), "nk", 76, "a key", nk, length) && ReadKey(nk, root, 0);
}

} // namespace

bool IsRegfData(std::string_view content) {
    return content.size() >= 4 && content.compare(0, 4, "regf") == 0;
}

bool ParseRegf(std::string_view content, CRegKey& root, CRegfInfo& info, std::string& error) {
    return CRegfReader(content, error).Run(root, info);
}

std::string RegfReadOnlyReason(const std::string& path, const CRegfInfo& info) {
    if (info.m_logPending)
        return path + " has changes that are still only in its transaction logs (.LOG1, .LOG2): "
                      "Windows replays them at its next start, and writing the hive now would lose "
                      "them; start that Windows once and shut it down fully";
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    struct statvfs fs {};
    if (::statvfs(folder.c_str(), &fs) == 0 && (fs.f_flag & ST_RDONLY))
        return path + " lies on a read-only mount: Linux mounts a Windows disk read-only when "
                      "Windows was left hibernated or shut down with fast start-up; shut Windows "
                      "down fully (or turn fast start-up off) and mount the disk again";
    return {};
}

} // namespace cva::hive

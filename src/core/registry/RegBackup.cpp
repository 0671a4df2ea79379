#include "core/registry/RegBackup.h"

#include "platform/files/AtomicFile.h"
#include "platform/registry/RegPath.h"
#include "platform/text/Unicode.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace cva::registry {

using namespace cva::reg;

namespace {

constexpr std::string_view kRegedit4Header = "REGEDIT4";
constexpr std::string_view kVersion5Header = "Windows Registry Editor Version 5.00";
// Key names are at most 255 UTF-16 units.
constexpr DWORD kKeyNameChars = 256;

std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

std::u16string Units(const BYTE* data, DWORD size) {
    std::u16string units(size / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    return units;
}

bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The text of a REG_SZ value when a quoted string gives back exactly its data: whole
// UTF-16 units ending in the one terminator, no control characters (which no importer
// reads back from a quoted string alike), nothing the conversion to UTF-8 would change.
bool QuotedText(const BYTE* data, DWORD size, std::string& text) {
    if (size < 2 || size % 2) return false;
    std::u16string units = Units(data, size);
    if (units.back() != 0) return false;
    units.pop_back();
    for (char16_t c : units)
        if (c < 0x20) return false;
    text = text::Utf16ToUtf8(units);
    return text::Utf8ToUtf16(text) == units;
}

std::string TrimSlashes(std::string_view path) {
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    return std::string(path);
}

std::string KeyPathText(HKEY root, const std::string& subKey) {
    std::string text = CRegBackup::FileRootName(root);
    if (!subKey.empty()) text += "\\" + subKey;
    return text;
}

std::string ErrorText(const std::string& what, const std::string& path, int error) {
    return "cannot " + what + " " + path + ": " + std::strerror(error);
}

} // namespace

CRegBackup::CRegBackup(CRegistry& registry, std::string filePath)
    : m_registry(registry), m_filePath(std::move(filePath)) {}

CRegBackup::~CRegBackup() = default;

std::string CRegBackup::GetRootName(HKEY root) {
    if (root == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
    if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
    if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
    if (root == HKEY_USERS) return "HKEY_USERS";
    return {};
}

std::string CRegBackup::FileRootName(HKEY root) {
    std::string name = RootLongName(root);
    return name.empty() ? "HKEY_CURRENT_USER" : name;
}

std::string CRegBackup::FormatValueName(const std::string& name) {
    if (name.empty()) return "@=";
    return "\"" + Escape(name) + "\"=";
}

bool CRegBackup::FitsRegedit4(DWORD type, const BYTE* data, DWORD size) {
    std::string text;
    if (type == REG_SZ && QuotedText(data, size, text)) return IsAscii(text);
    if (!IsStringType(type)) return true;
    // Importers widen the 8-bit hex form of string types unit by unit.
    if (size % 2) return false;
    for (char16_t unit : Units(data, size))
        if (unit >= 0x80) return false;
    return true;
}

std::string CRegBackup::FormatValueData(DWORD type, const BYTE* data, DWORD size, EFormat format) {
    char piece[24];
    std::string text;
    if (type == REG_SZ && QuotedText(data, size, text)) return "\"" + Escape(text) + "\"\r\n";
    if (type == REG_DWORD && size == 4) {
        uint32_t n = data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
        std::snprintf(piece, sizeof piece, "dword:%08x\r\n", n);
        return piece;
    }
    // The type number in hexadecimal, as every importer reads it: hex(a), not hex(10).
    std::snprintf(piece, sizeof piece, type == REG_BINARY ? "hex:" : "hex(%x):",
                  static_cast<unsigned>(type));
    std::string out = piece;
    std::vector<BYTE> narrowed;
    if (format == EFormat::Regedit4 && IsStringType(type) && size % 2 == 0) {
        for (char16_t unit : Units(data, size))
            narrowed.push_back(static_cast<BYTE>(unit));
        data = narrowed.data();
        size = static_cast<DWORD>(narrowed.size());
    }
    static const char kDigits[] = "0123456789abcdef";
    out.reserve(out.size() + size * 3 + size / 21 * 3 + 2);
    for (DWORD i = 0; i < size; ++i) {
        out.push_back(kDigits[data[i] >> 4]);
        out.push_back(kDigits[data[i] & 0xF]);
        out.push_back(',');
        // Only between bytes: regedit takes a continuation into an empty line for the
        // end of the file's data and drops the value.
        if (i > 0 && i % 21 == 0 && i + 1 < size) out += "\\\r\n";
    }
    return out + "\r\n";
}

void CRegBackup::AddHeader(const std::string& keyPathText) {
    m_entries.push_back({SEntry::Header, keyPathText, 0, {}});
    ++m_keyCount;
}

void CRegBackup::BackupKeyValues(HKEY key, const std::u16string& subKey,
                                 const std::string& keyPathText, bool noHeader) {
    HKEY opened = nullptr;
    if (m_registry.RegOpenKeyExW(key, subKey.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return;
    DWORD maxName = 0, maxData = 0;
    if (m_registry.RegQueryInfoKeyW(opened, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                    nullptr, &maxName, &maxData, nullptr,
                                    nullptr) == ERROR_SUCCESS) {
        if (!noHeader) AddHeader(keyPathText);
        std::vector<char16_t> name(maxName + 1);
        std::vector<BYTE> data(maxData + 1);
        for (DWORD index = 0;; ++index) {
            DWORD chars = static_cast<DWORD>(name.size());
            DWORD size = static_cast<DWORD>(data.size());
            DWORD type = 0;
            LSTATUS rc = m_registry.RegEnumValueW(opened, index, name.data(), &chars, nullptr,
                                                  &type, data.data(), &size);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc != ERROR_SUCCESS) continue;
            m_entries.push_back({SEntry::Value,
                                 text::Utf16ToUtf8(std::u16string_view(name.data(), chars)), type,
                                 std::vector<BYTE>(data.begin(), data.begin() + size)});
            ++m_valueCount;
        }
    }
    m_registry.RegCloseKey(opened);
}

void CRegBackup::BackupKeyTree(HKEY root, const std::string& subKeyPath) {
    const std::string subKey = TrimSlashes(subKeyPath);
    HKEY top = nullptr;
    if (m_registry.RegOpenKeyExW(root, text::Utf8ToUtf16(subKey).c_str(), 0,
                                 KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &top) != ERROR_SUCCESS)
        return;
    std::string keyPath = KeyPathText(root, subKey);
    AddHeader(keyPath);

    // An explicit stack rather than recursion: a hostile or corrupt tree cannot
    // exhaust the program's stack, and there is no depth at which keys are dropped.
    struct SLevel {
        HKEY m_key;
        DWORD m_index;
        size_t m_pathLength; // length of keyPath before this level's names were added
    };
    std::vector<SLevel> levels{{top, 0, keyPath.size()}};
    char16_t name[kKeyNameChars];
    while (!levels.empty()) {
        SLevel& level = levels.back();
        DWORD chars = kKeyNameChars;
        LSTATUS rc = m_registry.RegEnumKeyExW(level.m_key, level.m_index, name, &chars, nullptr,
                                              nullptr, nullptr, nullptr);
        if (rc == ERROR_SUCCESS) {
            ++level.m_index;
            std::u16string child(name, chars);
            size_t lengthBefore = keyPath.size();
            keyPath += "\\" + text::Utf16ToUtf8(child);
            BackupKeyValues(level.m_key, child, keyPath, false);
            HKEY opened = nullptr;
            if (m_registry.RegOpenKeyExW(level.m_key, child.c_str(), 0, KEY_ENUMERATE_SUB_KEYS,
                                         &opened) != ERROR_SUCCESS) {
                m_entries.push_back({SEntry::Error, keyPath, 0, {}});
                keyPath.resize(lengthBefore);
                continue;
            }
            levels.push_back({opened, 0, lengthBefore});
            continue;
        }
        if (rc != ERROR_NO_MORE_ITEMS && rc != ERROR_INVALID_HANDLE && rc != ERROR_ACCESS_DENIED &&
            rc != ERROR_KEY_DELETED) {
            ++level.m_index; // one unreadable name; its siblings are still worth writing
            continue;
        }
        if (levels.size() == 1) break;
        m_registry.RegCloseKey(level.m_key);
        keyPath.resize(level.m_pathLength);
        levels.pop_back();
    }
    BackupKeyValues(top, std::u16string(), keyPath, false);
    m_registry.RegCloseKey(top);
}

void CRegBackup::BackupValue(HKEY root, const std::string& subKeyPath,
                             const std::string& valueName) {
    const std::string subKey = TrimSlashes(subKeyPath);
    HKEY key = nullptr;
    if (m_registry.RegOpenKeyExW(root, text::Utf8ToUtf16(subKey).c_str(), 0,
                                 KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &key) != ERROR_SUCCESS)
        return;
    AddHeader(KeyPathText(root, subKey));
    // Read whole, with the sizes the key reports: a long value is still part of the export.
    DWORD maxName = 0, maxData = 0;
    const std::u16string wanted = text::Utf8ToUtf16(valueName);
    if (m_registry.RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                    nullptr, &maxName, &maxData, nullptr,
                                    nullptr) == ERROR_SUCCESS) {
        std::vector<char16_t> name(maxName + 1);
        std::vector<BYTE> data(maxData + 1);
        for (DWORD index = 0;; ++index) {
            DWORD chars = static_cast<DWORD>(name.size());
            DWORD size = static_cast<DWORD>(data.size());
            DWORD type = 0;
            LSTATUS rc = m_registry.RegEnumValueW(key, index, name.data(), &chars, nullptr, &type,
                                                  data.data(), &size);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc != ERROR_SUCCESS) continue;
            std::u16string_view found(name.data(), chars);
            if (!text::EqualsNoCase(found, wanted)) continue;
            m_entries.push_back({SEntry::Value, text::Utf16ToUtf8(found), type,
                                 std::vector<BYTE>(data.begin(), data.begin() + size)});
            ++m_valueCount;
            break;
        }
    }
    m_registry.RegCloseKey(key);
}

bool CRegBackup::FitsRegedit4() const {
    for (const SEntry& entry : m_entries) {
        if (!IsAscii(entry.m_text)) return false;
        if (entry.m_kind == SEntry::Value &&
            !FitsRegedit4(entry.m_type, entry.m_data.data(), static_cast<DWORD>(entry.m_data.size())))
            return false;
    }
    return true;
}

std::string CRegBackup::Render(EFormat format, bool fileHeader) const {
    std::string out;
    for (const SEntry& entry : m_entries) {
        switch (entry.m_kind) {
        case SEntry::Header:
            if (fileHeader) {
                out += format == EFormat::Regedit4 ? kRegedit4Header : kVersion5Header;
                out += "\r\n";
                fileHeader = false;
            }
            out += "\r\n[" + entry.m_text + "]\r\n";
            break;
        case SEntry::Value:
            out += FormatValueName(entry.m_text) +
                   FormatValueData(entry.m_type, entry.m_data.data(),
                                   static_cast<DWORD>(entry.m_data.size()), format);
            break;
        case SEntry::Error:
            // A comment, so that every importer still takes the rest of the file.
            out += "\r\n; Error: the subkeys of [" + entry.m_text + "] could not be read\r\n";
            break;
        }
    }
    return out;
}

bool CRegBackup::Save(std::string& why) {
    if (m_entries.empty()) return true;
    std::string bytes;
    int rc = files::ReadFileContents(m_filePath, bytes);
    if (rc != 0 && rc != ENOENT) {
        why = ErrorText("read", m_filePath, rc);
        return false;
    }
    if (rc == ENOENT) bytes.clear();
    const bool unicode = bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0;
    EFormat format = EFormat::Regedit4;
    if (unicode || (bytes.empty() && !FitsRegedit4())) {
        format = EFormat::Version5;
    } else if (!FitsRegedit4()) {
        why = m_filePath +
              " holds 8-bit REGEDIT4 text, which cannot carry the names or text of this export "
              "exactly; export to a new file";
        return false;
    }
    std::string text = Render(format, bytes.empty() || (unicode && bytes.size() == 2));
    // Text someone left without a last line end keeps its last line.
    const bool unterminated = unicode ? bytes.size() >= 4 && bytes.compare(bytes.size() - 2, 2,
                                                                         std::string("\n\0", 2)) != 0
                                      : !bytes.empty() && bytes.back() != '\n';
    if (unterminated) text.insert(0, "\r\n");
    if (format == EFormat::Regedit4) {
        bytes += text;
    } else {
        if (bytes.empty()) bytes = "\xFF\xFE";
        for (char16_t unit : text::Utf8ToUtf16(text)) {
            bytes.push_back(static_cast<char>(unit & 0xFF));
            bytes.push_back(static_cast<char>(unit >> 8));
        }
    }
    rc = files::ReplaceFileContents(m_filePath, bytes);
    if (rc != 0) {
        why = ErrorText("write", m_filePath, rc);
        return false;
    }
    return true;
}

} // namespace cva::registry

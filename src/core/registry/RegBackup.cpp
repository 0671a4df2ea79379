#include "core/registry/RegBackup.h"

#include "platform/text/Unicode.h"

#include <cstdio>
#include <vector>

namespace cva::registry {

using namespace cva::reg;

namespace {

std::string DoubleBackslashes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out.push_back(c);
        if (c == '\\') out.push_back('\\');
    }
    return out;
}

std::string KeyPathText(HKEY root, const std::string& subKey, std::string_view rootName) {
    std::string text = rootName.empty() ? CRegBackup::GetRootName(root) : std::string(rootName);
    if (!subKey.empty()) text += "\\" + subKey;
    return text;
}

// Key names are at most 255 UTF-16 units, which may take three bytes each in UTF-8.
constexpr DWORD kKeyNameBuffer = 256 * 3 + 1;

} // namespace

CRegBackup::CRegBackup(CRegistry& registry, const std::string& filePath) : m_registry(registry) {
    m_file.reset(std::fopen(filePath.c_str(), "ab"));
}

CRegBackup::~CRegBackup() = default;

std::string CRegBackup::OpenFailureMessage(const std::string& filePath) {
    return "An unknown error occurred while accessing " + filePath + ".";
}

std::string CRegBackup::GetRootName(HKEY root) {
    if (root == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
    if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
    if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
    if (root == HKEY_USERS) return "HKEY_USERS";
    return {};
}

std::string CRegBackup::FormatValueName(const std::string& name) {
    if (name.empty()) return "@=";
    return "\"" + DoubleBackslashes(name) + "\"=";
}

void CRegBackup::FormatValueData(DWORD type, const BYTE* data, DWORD size, std::string& out) {
    char piece[16];
    if (type == REG_SZ) {
        std::string_view text(reinterpret_cast<const char*>(data), size);
        text = text.substr(0, text.find('\0'));
        out = "\"" + DoubleBackslashes(text) + "\"\r\n";
        return;
    }
    if (type == REG_DWORD && size == 4) {
        uint32_t n = data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
        std::snprintf(piece, sizeof piece, "dword:%08x", n);
        out = std::string(piece) + "\r\n";
        return;
    }
    if (type == REG_BINARY) {
        out = "hex:";
    } else {
        std::snprintf(piece, sizeof piece, "hex(%u):", static_cast<unsigned>(type));
        out = piece;
    }
    for (DWORD i = 0; i < size; ++i) {
        std::snprintf(piece, sizeof piece, "%02x,", data[i]);
        out += piece;
        if (i > 0 && i % 21 == 0) out += "\\\r\n";
    }
    out += "\r\n";
}

void CRegBackup::Write(const std::string& text) {
    if (m_file) std::fwrite(text.data(), 1, text.size(), m_file.get());
}

void CRegBackup::WriteFirstHeader(const std::string& keyPathText) {
    std::fseek(m_file.get(), 0, SEEK_END);
    std::string text = std::ftell(m_file.get()) == 0 ? "REGEDIT4\r\n\r\n" : "\r\n";
    Write(text + "[" + keyPathText + "]\r\n");
}

void CRegBackup::BackupKeyValues(HKEY key, const std::string& subKey,
                                 const std::string& keyPathText, bool noHeader) {
    if (!m_file) return;
    HKEY opened = nullptr;
    if (m_registry.RegOpenKeyExA(key, subKey.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return;
    DWORD values = 0, maxName = 0, maxData = 0;
    if (m_registry.RegQueryInfoKeyA(opened, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                    &values, &maxName, &maxData, nullptr,
                                    nullptr) == ERROR_SUCCESS) {
        if (!noHeader) Write("\r\n[" + keyPathText + "]\r\n");
        std::vector<char> name(maxName + 1);
        std::vector<BYTE> data(maxData + 1);
        std::string line;
        for (DWORD index = 0;; ++index) {
            std::fill(name.begin(), name.end(), 0);
            std::fill(data.begin(), data.end(), 0);
            DWORD chars = static_cast<DWORD>(name.size());
            DWORD size = static_cast<DWORD>(data.size());
            DWORD type = 0;
            LSTATUS rc = m_registry.RegEnumValueA(opened, index, name.data(), &chars, nullptr,
                                                  &type, data.data(), &size);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc != ERROR_SUCCESS) continue;
            FormatValueData(type, data.data(), size, line);
            Write(FormatValueName(std::string(name.data(), chars)) + line);
        }
    }
    m_registry.RegCloseKey(opened);
}

void CRegBackup::BackupKeyTree(HKEY root, const std::string& subKey, std::string_view rootName) {
    if (!m_file) return;
    HKEY top = nullptr;
    if (m_registry.RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                                 &top) != ERROR_SUCCESS)
        return;
    std::string keyPath = KeyPathText(root, subKey, rootName);
    WriteFirstHeader(keyPath);

    // An explicit stack rather than recursion: a hostile or corrupt tree cannot
    // exhaust the program's stack, and there is no depth at which keys are dropped.
    struct SLevel {
        HKEY m_key;
        DWORD m_index;
        size_t m_pathLength; // length of keyPath before this level's names were added
    };
    std::vector<SLevel> levels{{top, 0, keyPath.size()}};
    char name[kKeyNameBuffer];
    while (!levels.empty()) {
        SLevel& level = levels.back();
        DWORD chars = kKeyNameBuffer;
        LSTATUS rc = m_registry.RegEnumKeyExA(level.m_key, level.m_index, name, &chars, nullptr,
                                              nullptr, nullptr, nullptr);
        if (rc == ERROR_SUCCESS) {
            ++level.m_index;
            size_t lengthBefore = keyPath.size();
            keyPath += "\\";
            keyPath.append(name, chars);
            BackupKeyValues(level.m_key, std::string(name, chars), keyPath, false);
            HKEY child = nullptr;
            if (m_registry.RegOpenKeyExA(level.m_key, std::string(name, chars).c_str(), 0,
                                         KEY_ENUMERATE_SUB_KEYS, &child) != ERROR_SUCCESS) {
                Write("\r\nError\r\n");
                keyPath.resize(lengthBefore);
                continue;
            }
            levels.push_back({child, 0, lengthBefore});
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
    BackupKeyValues(top, std::string(), keyPath, false);
    m_registry.RegCloseKey(top);
}

void CRegBackup::BackupValue(HKEY root, const std::string& subKey, const std::string& valueName,
                             std::string_view rootName) {
    if (!m_file) return;
    HKEY key = nullptr;
    if (m_registry.RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                                 &key) != ERROR_SUCCESS)
        return;
    WriteFirstHeader(KeyPathText(root, subKey, rootName));
    // Read whole, with the sizes the key reports: a value longer than a fixed buffer is
    // still part of the backup.
    DWORD maxName = 0, maxData = 0;
    if (m_registry.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                    nullptr, &maxName, &maxData, nullptr,
                                    nullptr) == ERROR_SUCCESS) {
        std::vector<char> name(maxName + 1);
        std::vector<BYTE> data(maxData + 1);
        for (DWORD index = 0;; ++index) {
            DWORD chars = static_cast<DWORD>(name.size());
            DWORD size = static_cast<DWORD>(data.size());
            DWORD type = 0;
            LSTATUS rc = m_registry.RegEnumValueA(key, index, name.data(), &chars, nullptr, &type,
                                                  data.data(), &size);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc != ERROR_SUCCESS) continue;
            std::string found(name.data(), chars);
            if (!text::EqualsNoCaseUtf8(found, valueName)) continue;
            std::string line;
            FormatValueData(type, data.data(), size, line);
            Write(FormatValueName(found) + line);
            break;
        }
    }
    m_registry.RegCloseKey(key);
}

} // namespace cva::registry

#include "core/script/HostRegistryPath.h"

#include "core/script/HostProxy.h"
#include "platform/text/HexDigit.h"
#include "platform/text/Unicode.h"

#include <cstdio>
#include <vector>

namespace cva::script {

using namespace cva::reg;

HKEY RootKeyFromName(std::string_view rootName, HKEY userHive) {
    auto is = [&](const char* name) { return text::EqualsNoCaseUtf8(rootName, name); };
    HKEY currentUser = userHive ? userHive : HKEY_CURRENT_USER;
    if (is("HKLM") || is("HKEY_LOCAL_MACHINE")) return HKEY_LOCAL_MACHINE;
    if (is("HKCU") || is("HKEY_CURRENT_USER")) return currentUser;
    if (is("HKAU") || is("HKEY_USERS")) return HKEY_USERS;
    if (is("HKCR") || is("HKEY_CLASSES_ROOT")) return HKEY_CLASSES_ROOT;
    if (is("HKCC") || is("HKEY_CURRENT_CONFIG")) return HKEY_CURRENT_CONFIG;
    return nullptr;
}

std::optional<SRegLocation> SplitKeyPath(CHost_Proxy& host, std::string_view path) {
    size_t first = path.find('\\');
    if (first == std::string_view::npos) return std::nullopt;
    SRegLocation location;
    location.m_root = host.RootKeyFromName(std::string(path.substr(0, first)));
    if (!location.m_root) return std::nullopt;
    location.m_keyPath = std::string(path.substr(first + 1));
    return location;
}

std::optional<SRegLocation> SplitValuePath(CHost_Proxy& host, std::string_view path,
                                           ESingleSlash singleSlash) {
    size_t first = path.find('\\');
    if (first == std::string_view::npos) return std::nullopt;
    size_t last = path.rfind('\\');
    if (first == last && singleSlash == ESingleSlash::Reject) return std::nullopt;
    SRegLocation location;
    location.m_root = host.RootKeyFromName(std::string(path.substr(0, first)));
    if (!location.m_root) return std::nullopt;
    location.m_valueName = std::string(path.substr(last + 1));
    location.m_keyPath = first == last ? location.m_valueName
                                       : std::string(path.substr(first + 1, last - first - 1));
    return location;
}

std::string BinaryToText(const BYTE* data, size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        text.push_back(kDigits[data[i] >> 4]);
        text.push_back(kDigits[data[i] & 0xF]);
    }
    return text;
}

std::string TextToBinary(std::string_view text) {
    std::string digits;
    if (text.size() % 2) digits.push_back('0');
    digits.append(text);
    std::string bytes;
    bytes.reserve(digits.size() / 2);
    for (size_t i = 0; i < digits.size(); i += 2) {
        int high = text::HexDigitValue(digits[i]);
        int low = text::HexDigitValue(digits[i + 1]);
        int value = 0;
        if (high >= 0) value = low >= 0 ? high * 16 + low : high;
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

std::string TextFromData(const BYTE* data, size_t size) {
    // Data written without a terminator keeps its last character, and an empty value
    // reads as empty text rather than touching the byte before the buffer.
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    return text;
}

uint32_t ParseUnsignedDecimal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    uint64_t value = 0;
    bool overflow = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<uint64_t>(text[i] - '0');
        if (value > 0xFFFFFFFFull) {
            overflow = true;
            value = 0xFFFFFFFFull;
        }
    }
    if (overflow) return 0xFFFFFFFFu;
    uint32_t result = static_cast<uint32_t>(value);
    return negative ? 0u - result : result;
}

LSTATUS DeleteKeyTree(CRegistry& registry, HKEY parent, const std::string& keyPath) {
    if (keyPath.empty()) return ERROR_BADKEY;
    // The registry walks the branch by its own keys: a symbolic link inside it goes as
    // the link it is, whether its target is missing or lies outside the branch.
    return registry.RegDeleteTreeA(parent, keyPath.c_str());
}

LSTATUS CopyKeyTree(CRegistry& registry, HKEY srcParent, const std::string& srcPath, HKEY dstParent,
                    const std::string& dstPath) {
    HKEY src = nullptr;
    LSTATUS rc = registry.RegOpenKeyExA(srcParent, srcPath.c_str(), 0, KEY_ALL_ACCESS, &src);
    if (rc != ERROR_SUCCESS) return rc;
    HKEY dst = nullptr;
    rc = registry.RegCreateKeyExA(dstParent, dstPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &dst, nullptr);
    if (rc != ERROR_SUCCESS) {
        registry.RegCloseKey(src);
        return rc;
    }
    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxValueData = 0;
    rc = registry.RegQueryInfoKeyA(src, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr,
                                   &values, &maxValueName, &maxValueData, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) {
        std::vector<char> name(std::max(maxSubKey, maxValueName) + 1);
        for (DWORD i = 0; i < subKeys; ++i) {
            DWORD chars = static_cast<DWORD>(name.size());
            if (registry.RegEnumKeyExA(src, i, name.data(), &chars, nullptr, nullptr, nullptr,
                                       nullptr) == ERROR_SUCCESS)
                CopyKeyTree(registry, src, name.data(), dst, name.data());
        }
        std::vector<BYTE> data(maxValueData + 1);
        for (DWORD i = 0; i < values; ++i) {
            DWORD chars = static_cast<DWORD>(name.size());
            DWORD size = static_cast<DWORD>(data.size());
            DWORD type = 0;
            if (registry.RegEnumValueA(src, i, name.data(), &chars, nullptr, &type, data.data(),
                                       &size) == ERROR_SUCCESS)
                registry.RegSetValueExA(dst, name.data(), 0, type, data.data(), size);
        }
    }
    registry.RegCloseKey(dst);
    registry.RegCloseKey(src);
    return rc;
}

} // namespace cva::script

// The 8-bit forms. Windows' A functions convert between the ANSI code page and the
// UTF-16 the registry stores; here the ANSI code page is UTF-8. Only the string types
// are converted, and sizes are counted in converted bytes.
#include "platform/registry/Registry.h"

#include "platform/text/Unicode.h"

#include <cstring>
#include <optional>

namespace cva::reg {

namespace {

// Null stays null: several calls give a null name its own meaning.
std::optional<std::u16string> Wide(const char* s) {
    if (!s) return std::nullopt;
    return text::Utf8ToUtf16(s);
}
const char16_t* Ptr(const std::optional<std::u16string>& s) { return s ? s->c_str() : nullptr; }

std::string StringDataToUtf8(const std::vector<uint8_t>& data) {
    std::u16string units(data.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    return text::Utf16ToUtf8(units);
}

std::vector<uint8_t> Utf8ToStringData(const BYTE* data, DWORD size) {
    std::u16string units = text::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<uint8_t> out(units.size() * 2);
    for (size_t i = 0; i < units.size(); ++i) {
        out[2 * i] = static_cast<uint8_t>(units[i] & 0xFF);
        out[2 * i + 1] = static_cast<uint8_t>(units[i] >> 8);
    }
    return out;
}

size_t AnsiDataSize(const CRegValue& v) {
    return IsStringType(v.m_type) ? StringDataToUtf8(v.m_data).size() : v.m_data.size();
}

LSTATUS FillAnsiData(const CRegValue& v, BYTE* data, DWORD* dataSize) {
    if (data && !dataSize) return ERROR_INVALID_PARAMETER;
    if (!dataSize) return ERROR_SUCCESS;
    std::string converted;
    const uint8_t* src = v.m_data.data();
    size_t size = v.m_data.size();
    if (IsStringType(v.m_type)) {
        converted = StringDataToUtf8(v.m_data);
        src = reinterpret_cast<const uint8_t*>(converted.data());
        size = converted.size();
    }
    DWORD room = *dataSize;
    *dataSize = static_cast<DWORD>(size);
    if (!data) return ERROR_SUCCESS;
    if (room < size) return ERROR_MORE_DATA;
    if (size) std::memcpy(data, src, size);
    return ERROR_SUCCESS;
}

LSTATUS CopyAnsiName(std::u16string_view name, char* buffer, DWORD* chars) {
    if (!chars) return ERROR_INVALID_PARAMETER;
    std::string utf8 = text::Utf16ToUtf8(name);
    if (!buffer || *chars <= utf8.size()) return ERROR_MORE_DATA;
    std::memcpy(buffer, utf8.data(), utf8.size());
    buffer[utf8.size()] = 0;
    *chars = static_cast<DWORD>(utf8.size());
    return ERROR_SUCCESS;
}

} // namespace

LSTATUS CRegistry::RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, REGSAM sam, HKEY* result) {
    return RegOpenKeyExW(key, Ptr(Wide(subKey)), options, sam, result);
}

LSTATUS CRegistry::RegCreateKeyExA(HKEY key, const char* subKey, DWORD reserved, const char* keyClass,
                                   DWORD options, REGSAM sam, const void* security, HKEY* result,
                                   DWORD* disposition) {
    auto sub = Wide(subKey);
    auto cls = Wide(keyClass);
    return RegCreateKeyExW(key, Ptr(sub), reserved, Ptr(cls), options, sam, security, result, disposition);
}

LSTATUS CRegistry::RegDeleteKeyA(HKEY key, const char* subKey) {
    return RegDeleteKeyW(key, Ptr(Wide(subKey)));
}

LSTATUS CRegistry::RegDeleteTreeA(HKEY key, const char* subKey) {
    return RegDeleteTreeW(key, Ptr(Wide(subKey)));
}

LSTATUS CRegistry::RegRenameKeyA(HKEY key, const char* subKey, const char* newName) {
    auto sub = Wide(subKey);
    auto name = Wide(newName);
    return RegRenameKeyW(key, Ptr(sub), Ptr(name));
}

LSTATUS CRegistry::RegCopyTreeA(HKEY key, const char* subKey, HKEY dest) {
    return RegCopyTreeW(key, Ptr(Wide(subKey)), dest);
}

LSTATUS CRegistry::RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameChars, DWORD*,
                                 char* keyClass, DWORD* classChars, FILETIME* lastWrite) {
    KeyPtr k;
    LSTATUS rc = KeyFromHandle(key, KEY_ENUMERATE_SUB_KEYS, k);
    if (rc != ERROR_SUCCESS) return rc;
    if (index >= k->SubkeyCount()) return ERROR_NO_MORE_ITEMS;
    const CRegKey& child = *k->SubkeyAt(index);
    rc = CopyAnsiName(child.Name(), name, nameChars);
    if (rc != ERROR_SUCCESS) return rc;
    if (classChars) {
        std::u16string cls = child.m_class.value_or(std::u16string());
        if (keyClass) {
            rc = CopyAnsiName(cls, keyClass, classChars);
            if (rc != ERROR_SUCCESS) return rc;
        } else {
            *classChars = static_cast<DWORD>(text::Utf16ToUtf8(cls).size());
        }
    }
    if (lastWrite) *lastWrite = FILETIME{static_cast<DWORD>(child.m_lastWrite), static_cast<DWORD>(child.m_lastWrite >> 32)};
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::RegQueryInfoKeyA(HKEY key, char* keyClass, DWORD* classChars, DWORD* reserved,
                                    DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* maxClassLen,
                                    DWORD* values, DWORD* maxValueNameLen, DWORD* maxValueLen,
                                    DWORD* securityDescriptor, FILETIME* lastWrite) {
    LSTATUS rc = RegQueryInfoKeyW(key, nullptr, nullptr, reserved, subKeys, nullptr, nullptr, values,
                                  nullptr, nullptr, securityDescriptor, lastWrite);
    if (rc != ERROR_SUCCESS) return rc;
    KeyPtr k;
    rc = KeyFromHandle(key, KEY_QUERY_VALUE, k);
    if (rc != ERROR_SUCCESS) return rc;
    if (classChars) {
        std::u16string cls = k->m_class.value_or(std::u16string());
        if (keyClass) {
            rc = CopyAnsiName(cls, keyClass, classChars);
            if (rc != ERROR_SUCCESS) return rc;
        } else {
            *classChars = static_cast<DWORD>(text::Utf16ToUtf8(cls).size());
        }
    }
    size_t maxSub = 0, maxCls = 0, maxName = 0, maxData = 0;
    for (const auto& child : k->Subkeys()) {
        maxSub = std::max(maxSub, text::Utf16ToUtf8(child->Name()).size());
        if (child->m_class) maxCls = std::max(maxCls, text::Utf16ToUtf8(*child->m_class).size());
    }
    for (const auto& v : k->Values()) {
        maxName = std::max(maxName, text::Utf16ToUtf8(v.m_name).size());
        maxData = std::max(maxData, AnsiDataSize(v));
    }
    if (maxSubKeyLen) *maxSubKeyLen = static_cast<DWORD>(maxSub);
    if (maxClassLen) *maxClassLen = static_cast<DWORD>(maxCls);
    if (maxValueNameLen) *maxValueNameLen = static_cast<DWORD>(maxName);
    if (maxValueLen) *maxValueLen = static_cast<DWORD>(maxData);
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::RegQueryValueExA(HKEY key, const char* name, DWORD*, DWORD* type, BYTE* data,
                                    DWORD* dataSize) {
    if (data && !dataSize) return ERROR_INVALID_PARAMETER;
    auto wide = Wide(name);
    const CRegValue* v = nullptr;
    LSTATUS rc = ValueFromHandle(key, Ptr(wide), v);
    if (rc != ERROR_SUCCESS) return rc;
    if (type) *type = v->m_type;
    return FillAnsiData(*v, data, dataSize);
}

LSTATUS CRegistry::RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,
                                  DWORD dataSize) {
    if (!data && dataSize) return ERROR_INVALID_PARAMETER;
    auto wide = Wide(name);
    if (!IsStringType(type)) return RegSetValueExW(key, Ptr(wide), reserved, type, data, dataSize);
    std::vector<uint8_t> converted = Utf8ToStringData(data, dataSize);
    return RegSetValueExW(key, Ptr(wide), reserved, type, converted.data(),
                          static_cast<DWORD>(converted.size()));
}

LSTATUS CRegistry::RegDeleteValueA(HKEY key, const char* name) {
    return RegDeleteValueW(key, Ptr(Wide(name)));
}

LSTATUS CRegistry::RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameChars, DWORD*,
                                 DWORD* type, BYTE* data, DWORD* dataSize) {
    if (!nameChars || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
    KeyPtr k;
    LSTATUS rc = KeyFromHandle(key, KEY_QUERY_VALUE, k);
    if (rc != ERROR_SUCCESS) return rc;
    if (index >= k->ValueCount()) return ERROR_NO_MORE_ITEMS;
    const CRegValue& v = k->ValueAt(index);
    rc = CopyAnsiName(v.m_name, name, nameChars);
    if (rc != ERROR_SUCCESS) return rc;
    if (type) *type = v.m_type;
    return FillAnsiData(v, data, dataSize);
}

} // namespace cva::reg

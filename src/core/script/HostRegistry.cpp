#include "core/script/HostProxy.h"

#include "core/script/HostRegistryPath.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"
#include "vbscript/Coerce.h"

#include <limits>

namespace cva::script {

using namespace cva::reg;

namespace {

// Reads go through a buffer of this size: longer data counts as absent, as plugins
// written for it expect.
constexpr DWORD kDataBuffer = 260;
constexpr DWORD kNameBuffer = 260;

// Script numbers of the value types (the prelude's reg_ constants).
constexpr int16_t kScriptSz = 1;
constexpr int16_t kScriptDword = 2;
constexpr int16_t kScriptBinary = 3;
constexpr int16_t kScriptExpandSz = 4;
constexpr int16_t kScriptMultiSz = 5;

struct SValueData {
    DWORD m_type = REG_NONE;
    std::vector<BYTE> m_data;
};

// Reading asks for read access only: a hive that may not be written now (a running
// wineserver, a read-only file or folder) still shows what it holds.
HKEY OpenKey(CRegistry& registry, const SRegLocation& location, REGSAM access = KEY_READ) {
    HKEY key = nullptr;
    if (registry.RegOpenKeyExA(location.m_root, location.m_keyPath.c_str(), 0, access, &key) !=
        ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY CreateFull(CRegistry& registry, const SRegLocation& location) {
    HKEY key = nullptr;
    if (registry.RegCreateKeyExA(location.m_root, location.m_keyPath.c_str(), 0, nullptr,
                                 REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                 nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

std::optional<SValueData> QueryValue(CRegistry& registry, const SRegLocation& location,
                                     const std::string& valueName) {
    HKEY key = OpenKey(registry, location);
    if (!key) return std::nullopt;
    SValueData value;
    value.m_data.resize(kDataBuffer);
    DWORD size = kDataBuffer;
    LSTATUS rc = registry.RegQueryValueExA(key, valueName.c_str(), nullptr, &value.m_type,
                                           value.m_data.data(), &size);
    registry.RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    value.m_data.resize(size);
    return value;
}

std::optional<SValueData> ReadValuePath(CHost_Proxy& host, const std::string& path) {
    auto location = SplitValuePath(host, path, ESingleSlash::NameIsKeyAndValue);
    if (!location) return std::nullopt;
    return QueryValue(host.Target().Registry(), *location, location->m_valueName);
}

void SetValue(CRegistry& registry, const SRegLocation& location, DWORD type, const void* data,
              DWORD size) {
    HKEY key = CreateFull(registry, location);
    if (!key) return;
    registry.RegSetValueExA(key, location.m_valueName.c_str(), 0, type,
                            static_cast<const BYTE*>(data), size);
    registry.RegCloseKey(key);
}

void SetText(CRegistry& registry, const SRegLocation& location, DWORD type,
             const std::string& text) {
    SetValue(registry, location, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void SetDword(CRegistry& registry, const SRegLocation& location, uint32_t number) {
    BYTE bytes[4] = {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8),
                     static_cast<BYTE>(number >> 16), static_cast<BYTE>(number >> 24)};
    SetValue(registry, location, REG_DWORD, bytes, 4);
}

std::string TextOf(const SValueData& value) {
    return TextFromData(value.m_data.data(), value.m_data.size());
}

int16_t Clamp16(DWORD n) {
    return static_cast<int16_t>(std::min<DWORD>(n, std::numeric_limits<int16_t>::max()));
}

} // namespace

reg::HKEY CHost_Proxy::RootKeyFromName(const std::string& rootName) {
    // Asked at every call: the owner mounts and unmounts another user's hive between
    // routine calls.
    return script::RootKeyFromName(rootName, m_pMainWindow ? m_pMainWindow->UserHive() : nullptr);
}

// --- Reading ------------------------------------------------------------------------

vbs::Variant CHost_Proxy::RegReadValue(const std::string& strKey) {
    auto value = ReadValuePath(*this, strKey);
    if (!value) return {};
    switch (value->m_type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return vbs::Variant(std::u16string_view(text::Utf8ToUtf16(TextOf(*value))));
    case REG_DWORD: {
        if (value->m_data.size() != 4) return {};
        uint32_t n = value->m_data[0] | value->m_data[1] << 8 | value->m_data[2] << 16 |
                     static_cast<uint32_t>(value->m_data[3]) << 24;
        return vbs::Variant(static_cast<int32_t>(n));
    }
    case REG_BINARY:
        return vbs::Variant(std::u16string_view(
            text::Utf8ToUtf16(BinaryToText(value->m_data.data(), value->m_data.size()))));
    default:
        return {};
    }
}

std::string CHost_Proxy::RegReadValueS(const std::string& strKey) {
    auto value = ReadValuePath(*this, strKey);
    if (!value) return {};
    switch (value->m_type) {
    case REG_SZ:
        return TextOf(*value);
    case REG_EXPAND_SZ: {
        char expanded[kDataBuffer];
        uint32_t needed = target::ExpandEnvironmentStringsA(TextOf(*value).c_str(), expanded,
                                                            kDataBuffer, m_target.Environment());
        if (needed == 0 || needed > kDataBuffer) return {};
        return expanded;
    }
    case REG_BINARY:
        return BinaryToText(value->m_data.data(), value->m_data.size());
    default:
        return {};
    }
}

int32_t CHost_Proxy::RegReadValueD(const std::string& strKey) {
    auto location = SplitValuePath(*this, strKey, ESingleSlash::NameIsKeyAndValue);
    if (!location) return 0;
    HKEY key = OpenKey(m_target.Registry(), *location);
    if (!key) return 0;
    BYTE bytes[4] = {0, 0, 0, 0};
    DWORD size = 4;
    LSTATUS rc = m_target.Registry().RegQueryValueExA(key, location->m_valueName.c_str(), nullptr,
                                                      nullptr, bytes, &size);
    m_target.Registry().RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return 0;
    return static_cast<int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                static_cast<uint32_t>(bytes[3]) << 24);
}

std::string CHost_Proxy::RegReadValueB(const std::string& strKey) {
    auto value = ReadValuePath(*this, strKey);
    if (!value) return {};
    if (value->m_type == REG_BINARY || value->m_type == REG_DWORD)
        return BinaryToText(value->m_data.data(), value->m_data.size());
    if (value->m_type == REG_SZ) return TextOf(*value);
    return {};
}

int16_t CHost_Proxy::RegValueType(const std::string& strKey) {
    auto location = SplitValuePath(*this, strKey, ESingleSlash::NameIsKeyAndValue);
    if (!location) return 0;
    HKEY key = OpenKey(m_target.Registry(), *location);
    if (!key) return 0;
    DWORD type = REG_NONE;
    LSTATUS rc = m_target.Registry().RegQueryValueExA(key, location->m_valueName.c_str(), nullptr,
                                                      &type, nullptr, nullptr);
    m_target.Registry().RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return 0;
    switch (type) {
    case REG_SZ:
        return kScriptSz;
    case REG_DWORD:
        return kScriptDword;
    case REG_BINARY:
        return kScriptBinary;
    case REG_EXPAND_SZ:
        return kScriptExpandSz;
    case REG_MULTI_SZ:
        return kScriptMultiSz;
    default:
        return 0;
    }
}

bool CHost_Proxy::RegKeyExists(const std::string& strKey) {
    auto location = SplitKeyPath(*this, strKey);
    if (!location) return false;
    HKEY key = OpenKey(m_target.Registry(), *location);
    if (!key) return false;
    m_target.Registry().RegCloseKey(key);
    return true;
}

bool CHost_Proxy::RegValueExist(const std::string& strKey, const std::string& strVal) {
    auto location = SplitKeyPath(*this, strKey);
    if (!location) return false;
    return QueryValue(m_target.Registry(), *location, strVal).has_value();
}

bool CHost_Proxy::RegValueExists(const std::string& strKey) {
    auto location = SplitValuePath(*this, strKey, ESingleSlash::Reject);
    if (!location) return false;
    return QueryValue(m_target.Registry(), *location, location->m_valueName).has_value();
}

// --- Writing ------------------------------------------------------------------------

void CHost_Proxy::RegWriteValS(const std::string& strKey, const std::string& strVal,
                               const std::string& strData) {
    auto location = SplitKeyPath(*this, strKey);
    if (!location) return;
    location->m_valueName = strVal;
    SetText(m_target.Registry(), *location, REG_SZ, strData);
}

void CHost_Proxy::RegWriteValD(const std::string& strKey, const std::string& strVal,
                               int32_t strData) {
    auto location = SplitKeyPath(*this, strKey);
    if (!location) return;
    location->m_valueName = strVal;
    SetDword(m_target.Registry(), *location, static_cast<uint32_t>(strData));
}

void CHost_Proxy::RegWriteValueS(const std::string& strKey, const std::string& strData) {
    auto location = SplitValuePath(*this, strKey, ESingleSlash::Reject);
    if (location) SetText(m_target.Registry(), *location, REG_SZ, strData);
}

void CHost_Proxy::RegWriteValueD(const std::string& strKey, int32_t strData) {
    auto location = SplitValuePath(*this, strKey, ESingleSlash::Reject);
    if (location) SetDword(m_target.Registry(), *location, static_cast<uint32_t>(strData));
}

void CHost_Proxy::RegWriteValueE(const std::string& strKey, const std::string& strData) {
    auto location = SplitValuePath(*this, strKey, ESingleSlash::NameIsKeyAndValue);
    if (location) SetText(m_target.Registry(), *location, REG_EXPAND_SZ, strData);
}

void CHost_Proxy::RegWriteValueB(const std::string& strKey, const std::string& strData) {
    auto location = SplitValuePath(*this, strKey, ESingleSlash::NameIsKeyAndValue);
    if (!location) return;
    std::string bytes = TextToBinary(strData);
    SetValue(m_target.Registry(), *location, REG_BINARY, bytes.data(),
             static_cast<DWORD>(bytes.size()));
}

void CHost_Proxy::RegWriteValue(const std::string& strKey, const vbs::Variant& strValue,
                                int32_t nType) {
    auto asText = [](const vbs::Variant& v) { return text::Utf16ToUtf8(v.AsString().View()); };
    switch (nType) {
    case kScriptSz:
        if (strValue.IsString()) RegWriteValueS(strKey, asText(strValue));
        return;
    case kScriptDword: {
        vbs::VString textValue;
        if (!vbs::ToString(strValue, textValue).IsOk()) return;
        uint32_t number = ParseUnsignedDecimal(text::Utf16ToUtf8(textValue.View()));
        RegWriteValueD(strKey, static_cast<int32_t>(number));
        return;
    }
    case kScriptBinary:
        if (strValue.IsString()) RegWriteValueB(strKey, asText(strValue));
        return;
    case kScriptExpandSz:
        if (strValue.IsString()) RegWriteValueE(strKey, asText(strValue));
        return;
    default:
        return;
    }
}

// --- Deleting -----------------------------------------------------------------------

void CHost_Proxy::RegDeleteVal(const std::string& strKey) {
    auto location = SplitValuePath(*this, strKey, ESingleSlash::Reject);
    if (!location) return;
    HKEY key = OpenKey(m_target.Registry(), *location, KEY_SET_VALUE);
    if (!key) return;
    m_target.Registry().RegDeleteValueA(key, location->m_valueName.c_str());
    m_target.Registry().RegCloseKey(key);
}

void CHost_Proxy::RegDeleteKey(const std::string& strKey) {
    auto location = SplitKeyPath(*this, strKey);
    if (location) DeleteKeyTree(m_target.Registry(), location->m_root, location->m_keyPath);
}

// --- Handles ------------------------------------------------------------------------

int16_t CHost_Proxy::RegOpenKey(const std::string& strKey) {
    auto location = SplitKeyPath(*this, strKey);
    if (!location) return -1;
    // Slots are never reused, so a script that opens keys in a loop without releasing
    // runs out of 16-bit numbers; it gets -1 rather than a number naming another key.
    if (m_keys.size() > static_cast<size_t>(std::numeric_limits<int16_t>::max())) return -1;
    HKEY key = OpenKey(m_target.Registry(), *location);
    if (!key) return -1;
    m_keys.push_back(key);
    return static_cast<int16_t>(m_keys.size() - 1);
}

reg::HKEY CHost_Proxy::ScriptKey(int16_t nkey) const {
    if (nkey < 0 || static_cast<size_t>(nkey) >= m_keys.size()) return nullptr;
    return m_keys[static_cast<size_t>(nkey)];
}

void CHost_Proxy::RegCloseKey(int16_t nkey) {
    HKEY key = ScriptKey(nkey);
    if (!key) return;
    m_target.Registry().RegCloseKey(key);
    m_keys[static_cast<size_t>(nkey)] = nullptr;
}

std::string CHost_Proxy::RegEnumKey(int16_t nkey, int16_t index) {
    HKEY key = ScriptKey(nkey);
    if (!key) return {};
    char name[kNameBuffer];
    DWORD chars = kNameBuffer;
    if (m_target.Registry().RegEnumKeyExA(key, static_cast<DWORD>(index), name, &chars, nullptr,
                                          nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return {};
    return std::string(name, chars);
}

std::string CHost_Proxy::RegEnumValue(int16_t nkey, int16_t index) {
    HKEY key = ScriptKey(nkey);
    if (!key) return {};
    char name[kNameBuffer];
    DWORD chars = kNameBuffer;
    if (m_target.Registry().RegEnumValueA(key, static_cast<DWORD>(index), name, &chars, nullptr,
                                          nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return {};
    // An empty string already means "no more values" to scripts, so the default value
    // needs a name of its own.
    return chars == 0 ? std::string("null") : std::string(name, chars);
}

int16_t CHost_Proxy::RegKeyCount(int16_t nkey) {
    HKEY key = ScriptKey(nkey);
    DWORD count = 0;
    if (!key || m_target.Registry().RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count,
                                                     nullptr, nullptr, nullptr, nullptr, nullptr,
                                                     nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return Clamp16(count);
}

int16_t CHost_Proxy::RegValCount(int16_t nkey) {
    HKEY key = ScriptKey(nkey);
    DWORD count = 0;
    if (!key || m_target.Registry().RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr,
                                                     nullptr, nullptr, &count, nullptr, nullptr,
                                                     nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return Clamp16(count);
}

} // namespace cva::script

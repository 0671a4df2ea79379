// WScript.Shell's registry calls and WshEnvironment on the target.
#include "core/script/TargetScriptServices.h"

#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"
#include "vbscript/Coerce.h"
#include "vbscript/SafeArray.h"
#include "vbscript/objects/WshShell.h"

namespace cva::script {

using namespace cva::vbs;
using namespace cva::reg;
using text::Utf16ToUtf8;
using text::Utf8ToUtf16;

namespace {

constexpr char kSystemEnvironment[] =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr char kUserEnvironment[] = "Environment";

std::string TextUpToNul(const std::string& data) {
    return data.substr(0, data.find('\0'));
}

// A value read whole, whatever its size; nullopt when missing.
std::optional<std::pair<DWORD, std::string>> ReadWhole(CRegistry& registry, HKEY key,
                                                       const char* name) {
    DWORD type = 0, size = 0;
    if (registry.RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::string data(size, '\0');
    if (registry.RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                  &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    return std::make_pair(type, data);
}

Status WriteText(CRegistry& registry, HKEY key, const char* name, DWORD type,
                 const std::string& text) {
    LSTATUS rc =
        registry.RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>(text.size() + 1));
    return rc == ERROR_SUCCESS ? Status::Ok() : Status(kErrPermissionDenied);
}

} // namespace

bool CTargetScriptServices::ParseShellName(std::u16string_view name, SShellName& out) {
    std::string path = Utf16ToUtf8(name);
    size_t first = path.find('\\');
    std::string root = path.substr(0, first);
    struct SRoot {
        const char* m_short;
        const char* m_long;
        HKEY m_key;
    };
    const SRoot roots[] = {{"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                           {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                           {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                           {"HKU", "HKEY_USERS", HKEY_USERS},
                           {"HKCC", "HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG}};
    out.m_root = nullptr;
    for (const SRoot& r : roots) {
        if (text::EqualsNoCaseUtf8(root, r.m_short) || text::EqualsNoCaseUtf8(root, r.m_long))
            out.m_root = r.m_key;
    }
    if (!out.m_root) return false;
    if (out.m_root == HKEY_CURRENT_USER && m_currentUserSource) {
        if (HKEY hive = m_currentUserSource()) out.m_root = hive;
    }
    std::string rest = first == std::string::npos ? std::string() : path.substr(first + 1);
    out.m_isKey = rest.empty() || rest.back() == '\\';
    size_t last = rest.rfind('\\');
    if (out.m_isKey) {
        out.m_keyPath = rest.empty() ? rest : rest.substr(0, rest.size() - 1);
        out.m_valueName.clear();
    } else {
        out.m_keyPath = last == std::string::npos ? std::string() : rest.substr(0, last);
        out.m_valueName = last == std::string::npos ? rest : rest.substr(last + 1);
    }
    return true;
}

Status CTargetScriptServices::RegRead(std::u16string_view name, Variant& out) {
    out.Clear();
    SShellName parsed;
    if (!ParseShellName(name, parsed))
        return ShellRegistryError(ShellRegistryFailure::InvalidRoot, name);
    CRegistry& registry = m_target.Registry();
    HKEY key = nullptr;
    if (registry.RegOpenKeyExA(parsed.m_root, parsed.m_keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return ShellRegistryError(ShellRegistryFailure::Read, name);
    auto value = ReadWhole(registry, key, parsed.m_valueName.c_str());
    registry.RegCloseKey(key);
    if (!value) {
        // A key without a default value still exists: reading it gives empty text.
        if (parsed.m_isKey) {
            out = Variant(std::u16string_view());
            return Status::Ok();
        }
        return ShellRegistryError(ShellRegistryFailure::Read, name);
    }
    const std::string& data = value->second;
    switch (value->first) {
    case REG_SZ:
        out = Variant(std::u16string_view(Utf8ToUtf16(TextUpToNul(data))));
        break;
    case REG_EXPAND_SZ:
        out = Variant(std::u16string_view(
            Utf8ToUtf16(target::ExpandEnvironmentStrings(TextUpToNul(data), m_process))));
        break;
    case REG_DWORD: {
        uint32_t n = 0;
        for (size_t i = 0; i < 4 && i < data.size(); ++i)
            n |= static_cast<uint32_t>(static_cast<uint8_t>(data[i])) << (8 * i);
        out = Variant(static_cast<int32_t>(n));
        break;
    }
    case REG_MULTI_SZ: {
        std::vector<Variant> items;
        size_t start = 0;
        while (start < data.size() && data[start] != '\0') {
            size_t end = data.find('\0', start);
            if (end == std::string::npos) end = data.size();
            items.emplace_back(std::u16string_view(Utf8ToUtf16(data.substr(start, end - start))));
            start = end + 1;
        }
        out = Variant(SafeArray::CreateVector(std::move(items)));
        break;
    }
    default: {
        // Binary and every other type: the bytes, one element each.
        std::vector<Variant> items;
        for (char c : data)
            items.push_back(Variant::FromByte(static_cast<uint8_t>(c)));
        out = Variant(SafeArray::CreateVector(std::move(items)));
        break;
    }
    }
    return Status::Ok();
}

Status CTargetScriptServices::RegWrite(std::u16string_view name, const Variant& value,
                                       std::u16string_view type) {
    SShellName parsed;
    if (!ParseShellName(name, parsed))
        return ShellRegistryError(ShellRegistryFailure::InvalidRoot, name);
    std::u16string upper = text::ToUpper(type.empty() ? std::u16string_view(u"REG_SZ") : type);
    std::string data;
    DWORD regType = REG_SZ;
    if (upper == u"REG_SZ" || upper == u"REG_EXPAND_SZ") {
        VString textValue;
        Status st = ToString(value, textValue);
        if (st.Failed()) return st;
        data = Utf16ToUtf8(textValue.View());
        data.push_back('\0');
        regType = upper == u"REG_SZ" ? REG_SZ : REG_EXPAND_SZ;
    } else if (upper == u"REG_DWORD" || (upper == u"REG_BINARY" && !value.IsArray())) {
        int32_t n = 0;
        Status st = ToLong(value, n);
        if (st.Failed()) return st;
        auto u = static_cast<uint32_t>(n);
        data = {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
                static_cast<char>(u >> 24)};
        regType = upper == u"REG_DWORD" ? REG_DWORD : REG_BINARY;
    } else if (upper == u"REG_BINARY") {
        const SafeArray& bytes = *value.AsArray();
        for (size_t i = 0; i < bytes.Count(); ++i) {
            uint8_t byte = 0;
            Status st = ToByte(bytes.Item(i), byte);
            if (st.Failed()) return st;
            data.push_back(static_cast<char>(byte));
        }
        regType = REG_BINARY;
    } else {
        return Status(kErrTypeMismatch);
    }
    CRegistry& registry = m_target.Registry();
    HKEY key = nullptr;
    if (registry.RegCreateKeyExA(parsed.m_root, parsed.m_keyPath.c_str(), 0, nullptr,
                                 REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                 nullptr) != ERROR_SUCCESS)
        return ShellRegistryError(ShellRegistryFailure::Write, name);
    LSTATUS rc = registry.RegSetValueExA(key, parsed.m_valueName.c_str(), 0, regType,
                                         reinterpret_cast<const BYTE*>(data.data()),
                                         static_cast<DWORD>(data.size()));
    registry.RegCloseKey(key);
    return rc == ERROR_SUCCESS ? Status::Ok()
                               : ShellRegistryError(ShellRegistryFailure::Write, name);
}

Status CTargetScriptServices::RegDelete(std::u16string_view name) {
    SShellName parsed;
    if (!ParseShellName(name, parsed))
        return ShellRegistryError(ShellRegistryFailure::InvalidRoot, name);
    CRegistry& registry = m_target.Registry();
    LSTATUS rc;
    if (parsed.m_isKey) {
        // As on Windows NT, only a key without subkeys can be removed this way, and a
        // bare root never.
        rc = parsed.m_keyPath.empty()
                 ? ERROR_ACCESS_DENIED
                 : registry.RegDeleteKeyA(parsed.m_root, parsed.m_keyPath.c_str());
    } else {
        HKEY key = nullptr;
        rc =
            registry.RegOpenKeyExA(parsed.m_root, parsed.m_keyPath.c_str(), 0, KEY_SET_VALUE, &key);
        if (rc == ERROR_SUCCESS) {
            rc = registry.RegDeleteValueA(key, parsed.m_valueName.c_str());
            registry.RegCloseKey(key);
        }
    }
    return rc == ERROR_SUCCESS ? Status::Ok()
                               : ShellRegistryError(ShellRegistryFailure::Delete, name);
}

// --- Environment ------------------------------------------------------------------------

bool CTargetScriptServices::ScopeKey(std::u16string_view scope, HKEY& root, const char*& subKey) {
    if (text::EqualsNoCase(scope, u"System")) {
        root = HKEY_LOCAL_MACHINE;
        subKey = kSystemEnvironment;
        return true;
    }
    if (text::EqualsNoCase(scope, u"User")) {
        root = m_currentUserSource ? m_currentUserSource() : nullptr;
        if (!root) root = HKEY_CURRENT_USER;
        subKey = kUserEnvironment;
        return true;
    }
    return false;
}

std::u16string CTargetScriptServices::ExpandEnvironmentStrings(std::u16string_view textIn) {
    return Utf8ToUtf16(target::ExpandEnvironmentStrings(Utf16ToUtf8(textIn), m_process));
}

std::optional<std::u16string>
CTargetScriptServices::GetEnvironmentVariable(std::u16string_view scope, std::u16string_view name) {
    if (text::EqualsNoCase(scope, u"Process")) {
        auto value = m_process.Get(Utf16ToUtf8(name));
        if (!value) return std::nullopt;
        return Utf8ToUtf16(*value);
    }
    HKEY root = nullptr;
    const char* subKey = nullptr;
    if (!ScopeKey(scope, root, subKey)) return std::nullopt;
    CRegistry& registry = m_target.Registry();
    HKEY key = nullptr;
    if (registry.RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    auto value = ReadWhole(registry, key, Utf16ToUtf8(name).c_str());
    registry.RegCloseKey(key);
    if (!value || !IsStringType(value->first)) return std::nullopt;
    return Utf8ToUtf16(TextUpToNul(value->second));
}

Status CTargetScriptServices::SetEnvironmentVariable(std::u16string_view scope,
                                                     std::u16string_view name,
                                                     std::u16string_view value) {
    std::string n = Utf16ToUtf8(name);
    std::string v = Utf16ToUtf8(value);
    if (n.empty() || n.find('=') != std::string::npos) return Status(kErrInvalidCall);
    if (text::EqualsNoCase(scope, u"Process")) {
        m_process.Set(n, v);
        return Status::Ok();
    }
    HKEY root = nullptr;
    const char* subKey = nullptr;
    if (!ScopeKey(scope, root, subKey)) return Status(kErrPermissionDenied);
    CRegistry& registry = m_target.Registry();
    HKEY key = nullptr;
    if (registry.RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                 nullptr, &key, nullptr) != ERROR_SUCCESS)
        return Status(kErrPermissionDenied);
    // A variable keeps its type; a new one that refers to others must be expandable.
    auto old = ReadWhole(registry, key, n.c_str());
    DWORD type = old && IsStringType(old->first)    ? old->first
                 : v.find('%') != std::string::npos ? REG_EXPAND_SZ
                                                    : REG_SZ;
    Status st = WriteText(registry, key, n.c_str(), type, v);
    registry.RegCloseKey(key);
    if (st.IsOk()) m_target.RefreshEnvironment();
    return st;
}

Status CTargetScriptServices::RemoveEnvironmentVariable(std::u16string_view scope,
                                                        std::u16string_view name) {
    std::string n = Utf16ToUtf8(name);
    if (text::EqualsNoCase(scope, u"Process")) {
        if (!m_process.Get(n)) return Status(kErrInvalidCall);
        m_process.Remove(n);
        return Status::Ok();
    }
    HKEY root = nullptr;
    const char* subKey = nullptr;
    if (!ScopeKey(scope, root, subKey)) return Status(kErrInvalidCall);
    CRegistry& registry = m_target.Registry();
    HKEY key = nullptr;
    if (registry.RegOpenKeyExA(root, subKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return Status(kErrInvalidCall);
    LSTATUS rc = registry.RegDeleteValueA(key, n.c_str());
    registry.RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return Status(kErrInvalidCall);
    m_target.RefreshEnvironment();
    return Status::Ok();
}

std::vector<std::u16string> CTargetScriptServices::EnvironmentStrings(std::u16string_view scope) {
    std::vector<std::u16string> out;
    if (text::EqualsNoCase(scope, u"Process")) {
        for (const auto& [name, value] : m_process.Entries())
            out.push_back(Utf8ToUtf16(name + "=" + value));
        return out;
    }
    HKEY root = nullptr;
    const char* subKey = nullptr;
    if (!ScopeKey(scope, root, subKey)) return out;
    CRegistry& registry = m_target.Registry();
    HKEY key = nullptr;
    if (registry.RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return out;
    DWORD maxName = 0;
    registry.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              &maxName, nullptr, nullptr, nullptr);
    std::vector<char> nameBuffer(maxName + 1);
    for (DWORD index = 0;; ++index) {
        DWORD chars = static_cast<DWORD>(nameBuffer.size());
        DWORD type = 0;
        LSTATUS rc = registry.RegEnumValueA(key, index, nameBuffer.data(), &chars, nullptr, &type,
                                            nullptr, nullptr);
        if (rc != ERROR_SUCCESS) break;
        std::string valueName(nameBuffer.data(), chars);
        auto value = ReadWhole(registry, key, valueName.c_str());
        if (value && IsStringType(value->first))
            out.push_back(Utf8ToUtf16(valueName + "=" + TextUpToNul(value->second)));
    }
    registry.RegCloseKey(key);
    return out;
}

std::u16string CTargetScriptServices::ComputerName() {
    return Utf8ToUtf16(m_target.ComputerName());
}

std::u16string CTargetScriptServices::UserName() {
    return Utf8ToUtf16(m_target.UserName());
}

std::u16string CTargetScriptServices::UserDomain() {
    return ComputerName();
}

} // namespace cva::script

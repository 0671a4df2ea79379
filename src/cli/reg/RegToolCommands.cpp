#include "cli/reg/RegTool.h"
#include "cli/reg/RegValueText.h"

#include "platform/hive/RegEditFile.h"
#include "platform/hive/WineRegFile.h"
#include "platform/process/SystemMessage.h"
#include "platform/text/Unicode.h"

#include <cstring>
#include <filesystem>
#include <ostream>
#include <sys/stat.h>

namespace cva::cli {

using namespace cva::reg;

namespace {

constexpr const char* kNotFound =
    "The system was unable to find the specified registry key or value.";

// Closes a key handle when it goes out of scope.
class CKey {
public:
    explicit CKey(CRegistry& registry) : m_registry(registry) {}
    ~CKey() {
        if (m_key) m_registry.RegCloseKey(m_key);
    }
    CKey(const CKey&) = delete;
    CKey& operator=(const CKey&) = delete;
    HKEY* Out() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    CRegistry& m_registry;
    HKEY m_key = nullptr;
};

std::u16string Wide(const std::string& s) {
    return text::Utf8ToUtf16(s);
}

bool ReadValue(CRegistry& r, HKEY key, const std::u16string& name, DWORD& type,
               std::vector<uint8_t>& data) {
    DWORD size = 0;
    if (r.RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    data.resize(size);
    if (r.RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return false;
    data.resize(size);
    return true;
}

std::vector<std::u16string> SubkeyNames(CRegistry& r, HKEY key) {
    std::vector<std::u16string> names;
    char16_t name[kMaxKeyNameLength + 1];
    for (DWORD i = 0;; ++i) {
        DWORD chars = kMaxKeyNameLength + 1;
        if (r.RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, chars);
    }
    return names;
}

} // namespace

void CRegTool::PrintValue(const std::u16string& name, DWORD type,
                          const std::vector<uint8_t>& data) {
    m_out << "    " << (name.empty() ? std::string("(Default)") : text::Utf16ToUtf8(name)) << "    "
          << TypeName(type) << "    " << FormatData(type, data) << "\n";
}

void CRegTool::QueryAll(HKEY key, const std::string& path, bool recurse) {
    CRegistry& r = *m_target.m_registry;
    m_out << path << "\n";
    std::vector<char16_t> name(kMaxValueNameLength + 1);
    DWORD index = 0;
    for (;; ++index) {
        DWORD chars = static_cast<DWORD>(name.size()), type = 0, size = 0;
        if (r.RegEnumValueW(key, index, name.data(), &chars, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            break;
        std::u16string valueName(name.data(), chars);
        std::vector<uint8_t> data;
        if (ReadValue(r, key, valueName, type, data)) PrintValue(valueName, type, data);
    }
    if (index || recurse) m_out << "\n";
    for (const auto& child : SubkeyNames(r, key)) {
        std::string childPath = path + "\\" + text::Utf16ToUtf8(child);
        if (!recurse) {
            m_out << childPath << "\n";
            continue;
        }
        CKey sub(r);
        if (r.RegOpenKeyExW(key, child.c_str(), 0, KEY_READ, sub.Out()) == ERROR_SUCCESS)
            QueryAll(sub.Get(), childPath, true);
    }
}

size_t CRegTool::QueryValueBelow(HKEY key, const std::string& path, const std::u16string& name) {
    CRegistry& r = *m_target.m_registry;
    size_t found = 0;
    DWORD type;
    std::vector<uint8_t> data;
    if (ReadValue(r, key, name, type, data)) {
        m_out << path << "\n";
        PrintValue(name, type, data);
        m_out << "\n";
        ++found;
    }
    for (const auto& child : SubkeyNames(r, key)) {
        CKey sub(r);
        if (r.RegOpenKeyExW(key, child.c_str(), 0, KEY_READ, sub.Out()) == ERROR_SUCCESS)
            found += QueryValueBelow(sub.Get(), path + "\\" + text::Utf16ToUtf8(child), name);
    }
    return found;
}

int CRegTool::Query(const COptions& o) {
    if (o.m_positional.size() != 1 || o.m_allValues || o.m_type || o.m_data || o.m_force)
        return Fail(
            "Invalid syntax: query KEY [/v NAME | /ve] [/s]. Type \"cva-reg --help\" for usage.");
    CRegPath path;
    if (!ResolveKey(o.m_positional[0], path) || !OpenTarget(false)) return 1;
    CRegistry& r = *m_target.m_registry;
    CKey key(r);
    LSTATUS rc = r.RegOpenKeyExW(path.m_root, Wide(path.m_subKey).c_str(), 0, KEY_READ, key.Out());
    if (rc == ERROR_ACCESS_DENIED) return AccessDenied(path.m_root);
    if (rc != ERROR_SUCCESS) return Fail(kNotFound);

    m_out << "\n";
    if (!o.m_valueName && !o.m_defaultValue) {
        QueryAll(key.Get(), path.Full(), o.m_recurse);
        return 0;
    }
    std::u16string name = o.m_valueName ? Wide(*o.m_valueName) : std::u16string();
    if (o.m_recurse) {
        size_t found = QueryValueBelow(key.Get(), path.Full(), name);
        m_out << "End of search: " << found << " match(es) found.\n";
        return 0;
    }
    DWORD type;
    std::vector<uint8_t> data;
    if (!ReadValue(r, key.Get(), name, type, data)) {
        if (!name.empty()) return Fail(kNotFound);
        // reg.exe shows a default value that was never set rather than failing.
        m_out << path.Full() << "\n    (Default)    REG_SZ    (value not set)\n\n";
        return 0;
    }
    m_out << path.Full() << "\n";
    PrintValue(name, type, data);
    m_out << "\n";
    return 0;
}

int CRegTool::Add(const COptions& o) {
    if (o.m_positional.size() != 1 || o.m_allValues || o.m_recurse)
        return Fail(
            "Invalid syntax: add KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f]. "
            "Type \"cva-reg --help\" for usage.");
    CRegPath path;
    if (!ResolveKey(o.m_positional[0], path)) return 1;
    if (path.m_subKey.empty())
        return Fail("Invalid key name: values and keys cannot be added to a root key itself.");
    DWORD type = REG_SZ;
    if (o.m_type) {
        auto t = TypeFromName(*o.m_type);
        if (!t)
            return Fail("Unknown data type \"" + *o.m_type +
                        "\" (use REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, "
                        "REG_DWORD, REG_QWORD, REG_BINARY or REG_NONE).");
        type = *t;
    }
    if (o.m_separator && type != REG_MULTI_SZ)
        return Fail("a separator (/s) is only for REG_MULTI_SZ data.");
    if (o.m_separator && o.m_separator->empty())
        return Fail("the separator given with /s is empty.");
    std::vector<uint8_t> data;
    std::string error;
    if (!ParseData(type, o.m_data.value_or(""), o.m_data.has_value(), o.m_separator.value_or(""),
                   data, error))
        return Fail(error);
    std::u16string name = o.m_valueName ? Wide(*o.m_valueName) : std::u16string();
    if (name.size() > kMaxValueNameLength)
        return Fail("the value name is longer than " + std::to_string(kMaxValueNameLength) +
                    " characters.");
    if (!OpenTarget(true)) return 1;

    CRegistry& r = *m_target.m_registry;
    CKey key(r);
    LSTATUS rc =
        r.RegCreateKeyExW(path.m_root, Wide(path.m_subKey).c_str(), 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.Out(), nullptr);
    if (rc == ERROR_ACCESS_DENIED) return AccessDenied(path.m_root);
    if (rc == ERROR_INVALID_PARAMETER)
        return Fail(
            "Invalid key name: a key name is longer than 255 characters or the path is too deep.");
    if (rc != ERROR_SUCCESS)
        return Fail("the key cannot be created (error " + std::to_string(rc) + ").");
    bool setValue = o.m_valueName || o.m_defaultValue || o.m_data || o.m_type;
    if (setValue) {
        DWORD oldType;
        std::vector<uint8_t> old;
        if (!o.m_force && ReadValue(r, key.Get(), name, oldType, old) &&
            !Confirm("Value " +
                     (name.empty() ? std::string("(Default)") : text::Utf16ToUtf8(name)) +
                     " exists, overwrite"))
            return Fail("The operation was cancelled; nothing was changed.");
        rc = r.RegSetValueExW(key.Get(), name.c_str(), 0, type, data.data(),
                              static_cast<DWORD>(data.size()));
        if (rc == ERROR_ACCESS_DENIED) return AccessDenied(path.m_root);
        if (rc != ERROR_SUCCESS) {
            std::vector<std::string> refused = r.TakeRefusedChanges();
            return Fail(refused.empty()
                            ? "the value cannot be set (error " + std::to_string(rc) + ")."
                            : refused.front());
        }
    }
    return Finish();
}

int CRegTool::Delete(const COptions& o) {
    if (o.m_positional.size() != 1 || o.m_recurse || o.m_type || o.m_data)
        return Fail("Invalid syntax: delete KEY [/v NAME | /ve | /va] [/f]. Type \"cva-reg "
                    "--help\" for usage.");
    CRegPath path;
    if (!ResolveKey(o.m_positional[0], path)) return 1;
    bool wholeKey = !o.m_valueName && !o.m_defaultValue && !o.m_allValues;
    if (wholeKey && path.m_subKey.empty())
        return Fail("Invalid key name: a root key cannot be deleted.");
    if (!OpenTarget(true)) return 1;
    CRegistry& r = *m_target.m_registry;
    std::u16string sub = Wide(path.m_subKey);
    CKey key(r);
    LSTATUS rc = r.RegOpenKeyExW(path.m_root, sub.c_str(), 0, KEY_READ, key.Out());
    if (rc == ERROR_ACCESS_DENIED) return AccessDenied(path.m_root);
    if (rc != ERROR_SUCCESS) return Fail(kNotFound);

    if (wholeKey) {
        if (!o.m_force && !Confirm("Permanently delete the registry key " + path.Full()))
            return Fail("The operation was cancelled; nothing was changed.");
        rc = r.RegDeleteTreeW(path.m_root, sub.c_str());
    } else if (o.m_allValues) {
        if (!o.m_force && !Confirm("Delete all values under the registry key " + path.Full()))
            return Fail("The operation was cancelled; nothing was changed.");
        CKey writable(r);
        rc = r.RegOpenKeyExW(path.m_root, sub.c_str(), 0, KEY_ALL_ACCESS, writable.Out());
        char16_t name[kMaxValueNameLength + 1];
        while (rc == ERROR_SUCCESS) {
            DWORD chars = kMaxValueNameLength + 1;
            if (r.RegEnumValueW(writable.Get(), 0, name, &chars, nullptr, nullptr, nullptr,
                                nullptr) != ERROR_SUCCESS)
                break;
            rc = r.RegDeleteValueW(writable.Get(), name);
        }
    } else {
        std::u16string name = o.m_valueName ? Wide(*o.m_valueName) : std::u16string();
        DWORD type;
        std::vector<uint8_t> data;
        if (!ReadValue(r, key.Get(), name, type, data)) return Fail(kNotFound);
        std::string shown = name.empty() ? std::string("(Default)") : text::Utf16ToUtf8(name);
        if (!o.m_force && !Confirm("Delete the registry value " + shown))
            return Fail("The operation was cancelled; nothing was changed.");
        CKey writable(r);
        rc = r.RegOpenKeyExW(path.m_root, sub.c_str(), 0, KEY_SET_VALUE, writable.Out());
        if (rc == ERROR_SUCCESS) rc = r.RegDeleteValueW(writable.Get(), name.c_str());
    }
    if (rc == ERROR_ACCESS_DENIED) return AccessDenied(path.m_root);
    if (rc != ERROR_SUCCESS) return Fail("the deletion failed (error " + std::to_string(rc) + ").");
    return Finish();
}

int CRegTool::Export(const COptions& o) {
    if (o.m_positional.size() != 2 || o.m_valueName || o.m_defaultValue || o.m_allValues ||
        o.m_recurse || o.m_type || o.m_data)
        return Fail("Invalid syntax: export KEY FILE [/y]. Type \"cva-reg --help\" for usage.");
    CRegPath path;
    if (!ResolveKey(o.m_positional[0], path) || !OpenTarget(false)) return 1;
    const std::string& file = o.m_positional[1];
    std::string bytes;
    LSTATUS rc =
        hive::ExportRegEditFile(*m_target.m_registry, path, hive::RegEditFormat::Version5, bytes);
    if (rc == ERROR_ACCESS_DENIED) return AccessDenied(path.m_root);
    if (rc != ERROR_SUCCESS) return Fail(kNotFound);
    struct stat st;
    if (!o.m_force && stat(file.c_str(), &st) == 0 &&
        !Confirm("File " + file + " already exists. Overwrite"))
        return Fail("The operation was cancelled; nothing was changed.");
    int err = hive::WriteFileAtomically(file, bytes);
    if (err != 0) return Fail("cannot write " + file + ": " + std::string(strerror(err)));
    m_out << "The operation completed successfully.\n";
    return 0;
}

int CRegTool::Import(const COptions& o) {
    if (o.m_positional.size() != 1 || o.m_valueName || o.m_defaultValue || o.m_allValues ||
        o.m_recurse || o.m_type || o.m_data)
        return Fail("Invalid syntax: import FILE. Type \"cva-reg --help\" for usage.");
    const std::string& file = o.m_positional[0];
    std::string bytes;
    int err = hive::ReadFileContents(file, bytes);
    if (err != 0) return Fail("cannot read " + file + ": " + std::string(strerror(err)));
    if (!OpenTarget(true)) return 1;
    std::string error;
    if (!hive::ImportRegEditFile(*m_target.m_registry, bytes, error)) {
        // Nothing is saved after a failure, so a partly applied file leaves the hives as they were.
        return Fail(file + ": " + error + "; nothing was imported.");
    }
    return Finish();
}

int CRegTool::Load(const COptions& o) {
    if (o.m_positional.size() != 2 || o.m_valueName || o.m_defaultValue || o.m_allValues ||
        o.m_recurse || o.m_type || o.m_data)
        return Fail("Invalid syntax: load KEY FILE. Type \"cva-reg --help\" for usage.");
    CRegPath path;
    if (!ResolveKey(o.m_positional[0], path) || !OpenTarget(true)) return 1;
    // The hive stays loaded for later commands, which may run in another folder.
    std::error_code ec;
    const std::string file = std::filesystem::absolute(o.m_positional[1], ec).string();
    const LSTATUS rc =
        m_target.m_registry->RegLoadKeyA(path.m_root, path.m_subKey.c_str(), file.c_str());
    if (rc != ERROR_SUCCESS) return Fail(LoadError(rc, file));
    return Finish();
}

int CRegTool::Unload(const COptions& o) {
    if (o.m_positional.size() != 1 || o.m_valueName || o.m_defaultValue || o.m_allValues ||
        o.m_recurse || o.m_type || o.m_data)
        return Fail("Invalid syntax: unload KEY. Type \"cva-reg --help\" for usage.");
    CRegPath path;
    if (!ResolveKey(o.m_positional[0], path) || !OpenTarget(false)) return 1;
    const LSTATUS rc = m_target.m_registry->RegUnLoadKeyA(path.m_root, path.m_subKey.c_str());
    if (rc != ERROR_SUCCESS) return Fail(LoadError(rc, path.Full()));
    return Finish();
}

std::string CRegTool::LoadError(LSTATUS rc, const std::string& what) {
    if (rc == ERROR_INVALID_PARAMETER)
        return "only a key directly below HKLM or HKU that was loaded from a file can be loaded "
               "or unloaded";
    return what + ": " + process::FormatSystemMessage(static_cast<uint32_t>(rc));
}

} // namespace cva::cli

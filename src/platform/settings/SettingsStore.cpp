#include "platform/settings/SettingsStore.h"

#include "platform/text/Unicode.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace cva::settings {

using namespace cva::reg;

namespace {

constexpr const char* kAppKey = "Software\\Meridot\\Corvanta";

// Closes a key handle when it goes out of scope.
class CKeyHandle {
public:
    explicit CKeyHandle(CRegistry& registry) : m_registry(registry) {}
    ~CKeyHandle() {
        if (m_key) m_registry.RegCloseKey(m_key);
    }
    CKeyHandle(const CKeyHandle&) = delete;
    CKeyHandle& operator=(const CKeyHandle&) = delete;
    HKEY* Out() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    CRegistry& m_registry;
    HKEY m_key = nullptr;
};

} // namespace

std::string CSettingsStore::DefaultFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && *config == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : "") + "/.config";
    }
    return base + "/Meridot/Corvanta";
}

CSettingsStore::CSettingsStore(std::string folder)
    : m_folder(folder.empty() ? DefaultFolder() : std::move(folder)),
      m_file(m_folder + "/" + kFileName) {
    auto registry = std::make_unique<CRegistry>();
    CRegistry::CMountOptions options;
    std::u16string sid = CRegistry::kDefaultUserSid;
    options.m_rootComment = "REGISTRY\\\\User\\\\" + text::Utf16ToUtf8(sid);
    if (registry->MountHiveFile(u"User\\" + sid, m_file, options, &m_error) != ERROR_SUCCESS)
        return;
    m_registry = std::move(registry);
}

std::string CSettingsStore::SectionPath(std::string_view section) const {
    return std::string(kAppKey) + "\\" + std::string(section);
}

bool CSettingsStore::Save() {
    m_saveError.clear();
    std::string partial;
    for (size_t pos = 0; pos != std::string::npos;) {
        pos = m_folder.find('/', pos + 1);
        partial = m_folder.substr(0, pos);
        if (mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            m_saveError = partial + ": " + std::strerror(errno);
            return false;
        }
    }
    std::vector<std::string> errors;
    if (m_registry->SaveDirtyHives(&errors) == ERROR_SUCCESS) return true;
    m_saveError = errors.empty() ? m_file + ": not saved" : errors.front();
    return false;
}

std::string CSettingsStore::GetProfileString(std::string_view section, std::string_view entry,
                                             std::string_view defaultValue) {
    if (!m_registry) return std::string(defaultValue);
    m_registry->RefreshHives();
    CKeyHandle key(*m_registry);
    std::string path = SectionPath(section);
    if (m_registry->RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Out()) !=
        ERROR_SUCCESS)
        return std::string(defaultValue);
    std::string name(entry);
    DWORD type = 0, size = 0;
    if (m_registry->RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::string(defaultValue);
    std::string data(size, '\0');
    if (m_registry->RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type,
                                     reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        return std::string(defaultValue);
    data.resize(size);
    // The stored terminator, and anything a careless writer left after it, is not text.
    size_t nul = data.find('\0');
    if (nul != std::string::npos) data.resize(nul);
    return data;
}

unsigned int CSettingsStore::GetProfileInt(std::string_view section, std::string_view entry,
                                           int defaultValue) {
    auto fallback = static_cast<unsigned int>(defaultValue);
    if (!m_registry) return fallback;
    m_registry->RefreshHives();
    CKeyHandle key(*m_registry);
    std::string path = SectionPath(section);
    if (m_registry->RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Out()) !=
        ERROR_SUCCESS)
        return fallback;
    std::string name(entry);
    DWORD type = 0, value = 0, size = sizeof value;
    if (m_registry->RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type,
                                     reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return fallback;
    return value;
}

bool CSettingsStore::WriteProfileString(std::string_view section, const char* entry,
                                        const char* value) {
    if (!m_registry) return false;
    m_registry->RefreshHives();
    std::string path = SectionPath(section);
    if (!entry) {
        LSTATUS rc = m_registry->RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
        return (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) && Save();
    }
    CKeyHandle key(*m_registry);
    if (!value) {
        if (m_registry->RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE,
                                      key.Out()) != ERROR_SUCCESS)
            return true;
        LSTATUS rc = m_registry->RegDeleteValueA(key.Get(), entry);
        return (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) && Save();
    }
    if (m_registry->RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                                    REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.Out(),
                                    nullptr) != ERROR_SUCCESS)
        return false;
    if (m_registry->RegSetValueExA(key.Get(), entry, 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(value),
                                   static_cast<DWORD>(std::strlen(value) + 1)) != ERROR_SUCCESS)
        return false;
    return Save();
}

bool CSettingsStore::WriteProfileInt(std::string_view section, std::string_view entry, int value) {
    if (!m_registry) return false;
    m_registry->RefreshHives();
    std::string path = SectionPath(section);
    CKeyHandle key(*m_registry);
    if (m_registry->RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                                    REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.Out(),
                                    nullptr) != ERROR_SUCCESS)
        return false;
    auto dword = static_cast<DWORD>(value);
    std::string name(entry);
    if (m_registry->RegSetValueExA(key.Get(), name.c_str(), 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&dword),
                                   sizeof dword) != ERROR_SUCCESS)
        return false;
    return Save();
}

} // namespace cva::settings

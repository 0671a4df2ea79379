#include "core/durability/SaveKinds.h"

#include "core/registry/MRU.h"
#include "platform/files/TextFile.h"
#include "platform/hive/HiveFile.h"
#include "platform/hive/WineRegFile.h"
#include "platform/ini/IniFile.h"
#include "platform/registry/Registry.h"
#include "platform/settings/SettingsStore.h"
#include "platform/text/Unicode.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace cva::test {

namespace {

// Entries per version: enough that a save takes a while and a kill lands inside it.
constexpr int kEntries = 400;
constexpr const char* kKey = "Software\\Durability";

std::string Entry(long generation, int index) {
    return std::to_string(generation) + ":" + std::to_string(index) + ":" + std::string(40, 'a' + index % 26);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// The generation of "G:I:..." when I is `index`, else -1.
long GenerationOf(const std::string& entry, int index) {
    const size_t colon = entry.find(':');
    if (colon == std::string::npos) return -1;
    const long generation = std::strtol(entry.c_str(), nullptr, 10);
    return entry == Entry(generation, index) ? generation : -1;
}

// Every entry of one generation, all present: that generation, else nullopt.
template <typename Get>
std::optional<long> CommonGeneration(Get get, std::string& why) {
    long first = -1;
    for (int i = 0; i < kEntries; ++i) {
        std::optional<std::string> entry = get(i);
        const long generation = entry ? GenerationOf(*entry, i) : -1;
        if (generation < 0 || (i > 0 && generation != first)) {
            why = "entry " + std::to_string(i) + (entry ? " reads \"" + *entry + "\"" : " is missing");
            return std::nullopt;
        }
        first = generation;
    }
    return first;
}

reg::LSTATUS MountUser(reg::CRegistry& registry, const std::string& file, std::string& error) {
    reg::CRegistry::CMountOptions options;
    options.m_rootComment = "REGISTRY\\\\User\\\\" + text::Utf16ToUtf8(reg::CRegistry::kDefaultUserSid);
    return registry.MountHiveFile(u"User\\" + std::u16string(reg::CRegistry::kDefaultUserSid), file, options,
                                  &error);
}

bool SaveHive(const std::string& file, long generation, std::string& error) {
    reg::CRegistry registry;
    if (MountUser(registry, file, error) != reg::ERROR_SUCCESS) return false;
    reg::HKEY key = nullptr;
    if (registry.RegCreateKeyExA(reg::HKEY_CURRENT_USER, kKey, 0, nullptr, reg::REG_OPTION_NON_VOLATILE,
                                 reg::KEY_SET_VALUE, nullptr, &key, nullptr) != reg::ERROR_SUCCESS) {
        error = "the key cannot be made";
        return false;
    }
    for (int i = 0; i < kEntries; ++i) {
        const std::string name = "V" + std::to_string(i);
        const std::string data = Entry(generation, i);
        registry.RegSetValueExA(key, name.c_str(), 0, reg::REG_SZ, reinterpret_cast<const reg::BYTE*>(data.c_str()),
                                static_cast<reg::DWORD>(data.size() + 1));
    }
    registry.RegCloseKey(key);
    std::vector<std::string> errors;
    if (registry.SaveDirtyHives(&errors) == reg::ERROR_SUCCESS) return true;
    error = errors.empty() ? "not saved" : errors.front();
    return false;
}

std::optional<long> ReadHive(const std::string& file, std::string& why) {
    auto root = std::make_shared<reg::CRegKey>(u"root", nullptr, nullptr);
    reg::CHiveHeader header;
    if (hive::LoadWineRegistryFile(file, *root, header, why) != reg::ERROR_SUCCESS) return std::nullopt;
    std::shared_ptr<reg::CRegKey> key = root;
    for (const char16_t* name : {u"SOFTWARE", u"DURABILITY"})
        if (key) key = key->FindSubkey(name);
    if (!key) {
        why = "the key is missing";
        return std::nullopt;
    }
    return CommonGeneration(
        [&](int i) -> std::optional<std::string> {
            const reg::CRegValue* value = key->FindValue(text::Utf8ToUtf16("V" + std::to_string(i)));
            if (!value || value->m_type != reg::REG_SZ || value->m_data.size() < 2) return std::nullopt;
            std::u16string text;
            for (size_t b = 0; b + 1 < value->m_data.size(); b += 2)
                text += static_cast<char16_t>(value->m_data[b] | (value->m_data[b + 1] << 8));
            if (!text.empty() && text.back() == u'\0') text.pop_back();
            return text::Utf16ToUtf8(text);
        },
        why);
}

bool SaveIni(const std::string& file, long generation, std::string& error) {
    std::optional<ini::CIniFile> loaded = Exists(file) ? ini::CIniFile::Load(file) : std::optional<ini::CIniFile>(ini::CIniFile());
    if (!loaded) {
        error = "the file cannot be read";
        return false;
    }
    for (int i = 0; i < kEntries; ++i) loaded->SetValue("Durability", "K" + std::to_string(i), Entry(generation, i));
    if (loaded->Save(file)) return true;
    error = std::strerror(errno);
    return false;
}

std::optional<long> ReadIni(const std::string& file, std::string& why) {
    std::optional<ini::CIniFile> loaded = ini::CIniFile::Load(file);
    if (!loaded) {
        why = "the file cannot be read";
        return std::nullopt;
    }
    return CommonGeneration([&](int i) { return loaded->GetValue("Durability", "K" + std::to_string(i)); }, why);
}

bool SaveList(const std::string& file, long generation, std::string& error) {
    registry::CMRU list;
    list.Load(file);
    if (list.GetCount() == kEntries) {
        for (int i = 0; i < kEntries; ++i) list.SetAt(i, Entry(generation, i));
    } else {
        while (list.GetCount() > 0) list.RemoveAt(0);
        // Newest first: the entry added last is the list's first.
        for (int i = kEntries - 1; i >= 0; --i) list.Add(Entry(generation, i));
    }
    if (list.Save()) return true;
    error = std::strerror(errno);
    return false;
}

std::optional<long> ReadList(const std::string& file, std::string& why) {
    std::optional<std::vector<std::string>> lines = files::ReadTextLines(file);
    if (!lines || lines->size() != static_cast<size_t>(kEntries)) {
        why = lines ? std::to_string(lines->size()) + " lines" : "the file cannot be read";
        return std::nullopt;
    }
    return CommonGeneration([&](int i) { return std::optional<std::string>((*lines)[static_cast<size_t>(i)]); }, why);
}

// The settings store saves at every write: one write carries the whole version.
std::string SettingsData(long generation) {
    std::string data;
    for (int i = 0; i < kEntries; ++i) data += Entry(generation, i) + ";";
    return data;
}

bool SaveSettings(const std::string& folder, long generation, std::string& error) {
    settings::CSettingsStore store(folder);
    if (!store.IsUsable()) {
        error = store.LoadError();
        return false;
    }
    if (store.WriteProfileString("Durability", "Data", SettingsData(generation).c_str())) return true;
    error = store.SaveError();
    return false;
}

std::optional<long> ReadSettings(const std::string& folder, std::string& why) {
    settings::CSettingsStore store(folder);
    if (!store.IsUsable()) {
        why = store.LoadError();
        return std::nullopt;
    }
    const std::string data = store.GetProfileString("Durability", "Data");
    const long generation = std::strtol(data.c_str(), nullptr, 10);
    if (data != SettingsData(generation)) {
        why = "the data is not one generation's: " + data.substr(0, 80);
        return std::nullopt;
    }
    return generation;
}

} // namespace

const char* KindName(ESaveKind kind) {
    switch (kind) {
    case ESaveKind::Hive: return "hive";
    case ESaveKind::Ini: return "ini";
    case ESaveKind::List: return "list";
    case ESaveKind::Settings: return "settings";
    }
    return "";
}

std::optional<ESaveKind> KindFromName(const std::string& name) {
    for (ESaveKind kind : {ESaveKind::Hive, ESaveKind::Ini, ESaveKind::List, ESaveKind::Settings})
        if (name == KindName(kind)) return kind;
    return std::nullopt;
}

std::string KindFile(ESaveKind kind, const std::string& folder) {
    switch (kind) {
    case ESaveKind::Hive: return folder + "/user.reg";
    case ESaveKind::Ini: return folder + "/system.ini";
    case ESaveKind::List: return folder + "/favorites.txt";
    case ESaveKind::Settings: return folder + "/" + settings::CSettingsStore::kFileName;
    }
    return {};
}

bool SaveGeneration(ESaveKind kind, const std::string& folder, long generation, std::string& error) {
    const std::string file = KindFile(kind, folder);
    switch (kind) {
    case ESaveKind::Hive: return SaveHive(file, generation, error);
    case ESaveKind::Ini: return SaveIni(file, generation, error);
    case ESaveKind::List: return SaveList(file, generation, error);
    case ESaveKind::Settings: return SaveSettings(folder, generation, error);
    }
    return false;
}

std::optional<long> ReadGeneration(ESaveKind kind, const std::string& folder, std::string& why) {
    const std::string file = KindFile(kind, folder);
    if (!Exists(file)) return 0;
    switch (kind) {
    case ESaveKind::Hive: return ReadHive(file, why);
    case ESaveKind::Ini: return ReadIni(file, why);
    case ESaveKind::List: return ReadList(file, why);
    case ESaveKind::Settings: return ReadSettings(folder, why);
    }
    return std::nullopt;
}

} // namespace cva::test

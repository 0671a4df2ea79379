#include "core/journal/ChangeRecorder.h"

#include "platform/text/Unicode.h"

#include <filesystem>
#include <set>

namespace cva::journal {

using namespace cva::reg;

void CChangeRecorder::ValueChanging(std::u16string_view keyPath, std::u16string_view name,
                                    const CRegValue* before) {
    SJournalChange change;
    change.m_key.assign(keyPath);
    change.m_name.assign(name);
    if (before) change.m_before = {true, before->m_type, before->m_data};
    m_entry.m_changes.push_back(std::move(change));
}

void CChangeRecorder::KeyCreated(std::u16string_view keyPath) {
    SJournalChange change;
    change.m_kind = SJournalChange::EKind::KeyCreated;
    change.m_key.assign(keyPath);
    m_entry.m_changes.push_back(std::move(change));
}

void CChangeRecorder::KeyDeleting(std::u16string_view keyPath, const CRegKey& key) {
    SJournalChange change;
    change.m_kind = SJournalChange::EKind::KeyDeleted;
    change.m_key.assign(keyPath);
    change.m_class = key.m_class;
    m_entry.m_changes.push_back(std::move(change));
}

void CChangeRecorder::KeyRenaming(std::u16string_view keyPath, std::u16string_view newName) {
    SJournalChange change;
    change.m_kind = SJournalChange::EKind::KeyRenamed;
    change.m_key.assign(keyPath);
    change.m_name.assign(newName);
    m_entry.m_changes.push_back(std::move(change));
}

void CChangeRecorder::IniChanging(const std::string& file, const std::string& section, const std::string& key) {
    SJournalChange change;
    change.m_kind = SJournalChange::EKind::IniEntry;
    change.m_ini = ReadIniEntry(file, section, key, m_pOverlay);
    m_entry.m_changes.push_back(std::move(change));
}

void CChangeRecorder::FileChanging(const std::string& path) {
    SJournalChange change;
    change.m_kind = SJournalChange::EKind::File;
    change.m_path = path;
    change.m_file = ReadFileState(path, m_pOverlay);
    m_entry.m_changes.push_back(std::move(change));
}

void CChangeRecorder::AttributesChanging(const std::string& path) {
    SJournalChange change;
    change.m_kind = SJournalChange::EKind::File;
    change.m_path = path;
    change.m_file.m_kind = SFileState::EKind::Attributes;
    change.m_file.m_attributes = KeptAttributes(path, m_pOverlay);
    m_entry.m_changes.push_back(std::move(change));
}

void CChangeRecorder::FileTrashed(const std::string& path, const std::string& infoPath) {
    for (auto it = m_entry.m_changes.rbegin(); it != m_entry.m_changes.rend(); ++it) {
        if (it->m_kind != SJournalChange::EKind::File || it->m_path != path) continue;
        // The Trash keeps it, whatever its size, with its attributes.
        it->m_file.m_kind = SFileState::EKind::Trash;
        it->m_file.m_where = infoPath;
        it->m_file.m_bytes.clear();
        it->m_file.m_attributes = 0;
        return;
    }
}

void CChangeRecorder::TreeDeleting(const std::string& path) {
    SJournalChange change;
    change.m_kind = SJournalChange::EKind::File;
    change.m_path = path;
    change.m_file.m_kind = SFileState::EKind::Large;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(path, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code sizeError;
        if (it->is_regular_file(sizeError)) change.m_file.m_size += it->file_size(sizeError);
    }
    m_entry.m_changes.push_back(std::move(change));
}

void CChangeRecorder::FileMoving(const std::string& from, const std::string& to) {
    SJournalChange change;
    change.m_kind = SJournalChange::EKind::File;
    change.m_path = from;
    change.m_file.m_kind = SFileState::EKind::Moved;
    change.m_file.m_where = to;
    m_entry.m_changes.push_back(std::move(change));
}

SJournalEntry CChangeRecorder::Finish(CRegistry& registry) {
    m_entry.m_after.clear();
    std::set<std::u16string> seen;
    auto addKey = [&](const std::u16string& key) {
        if (!seen.insert(u"K" + text::ToUpper(key)).second) return;
        SJournalAfter after;
        after.m_isValue = false;
        after.m_key = key;
        after.m_state.m_present = KeyExists(registry, key);
        m_entry.m_after.push_back(std::move(after));
    };
    for (const SJournalChange& change : m_entry.m_changes) {
        if (change.m_kind == SJournalChange::EKind::File) {
            std::vector<std::string> paths{change.m_path};
            if (change.m_file.m_kind == SFileState::EKind::Moved) paths.push_back(change.m_file.m_where);
            for (const std::string& path : paths) {
                if (!seen.insert(u"F" + text::Utf8ToUtf16(path)).second) continue;
                SJournalAfter after;
                after.m_isValue = false;
                after.m_path = path;
                after.m_file = ReadFileState(path, m_pOverlay);
                m_entry.m_after.push_back(std::move(after));
            }
            continue;
        }
        if (change.m_kind == SJournalChange::EKind::IniEntry) {
            const SIniEntry& ini = change.m_ini;
            if (!seen.insert(u"I" + text::Utf8ToUtf16(ini.m_file + "\n" + text::ToUpperUtf8(ini.m_section) + "\n" +
                                                      text::ToUpperUtf8(ini.m_key)))
                     .second)
                continue;
            SJournalAfter after;
            after.m_isValue = false;
            after.m_ini = ReadIniEntry(ini.m_file, ini.m_section, ini.m_key, m_pOverlay);
            m_entry.m_after.push_back(std::move(after));
            continue;
        }
        if (change.m_kind == SJournalChange::EKind::Value) {
            if (!seen.insert(u"V" + text::ToUpper(change.m_key) + u"\n" + text::ToUpper(change.m_name)).second)
                continue;
            m_entry.m_after.push_back(
                {true, change.m_key, change.m_name, ReadValueState(registry, change.m_key, change.m_name),
                 std::nullopt, std::nullopt, {}});
            continue;
        }
        addKey(change.m_key);
        if (change.m_kind == SJournalChange::EKind::KeyRenamed) {
            const size_t slash = change.m_key.rfind(u'\\');
            addKey(change.m_key.substr(0, slash == std::u16string::npos ? 0 : slash + 1) + change.m_name);
        }
    }
    return m_entry;
}

CRecordingScope::CRecordingScope(CRegistry& registry, CChangeRecorder& recorder)
    : m_registry(registry), m_outer(registry.Recorder() == nullptr) {
    if (m_outer) m_registry.SetRecorder(&recorder);
}

CRecordingScope::~CRecordingScope() {
    if (m_outer) m_registry.SetRecorder(nullptr);
}

bool SplitRegistryPath(const std::u16string& path, HKEY& root, std::u16string& subKey) {
    const size_t slash = path.find(u'\\');
    const std::u16string top = text::ToUpper(path.substr(0, slash));
    if (top == u"MACHINE") root = HKEY_LOCAL_MACHINE;
    else if (top == u"USER") root = HKEY_USERS;
    else return false;
    subKey = slash == std::u16string::npos ? std::u16string() : path.substr(slash + 1);
    return true;
}

namespace {

HKEY OpenForReading(CRegistry& registry, const std::u16string& key) {
    HKEY root = nullptr;
    std::u16string sub;
    HKEY handle = nullptr;
    if (!SplitRegistryPath(key, root, sub) ||
        registry.RegOpenKeyExW(root, sub.c_str(), REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return nullptr;
    return handle;
}

} // namespace

SRegState ReadValueState(CRegistry& registry, const std::u16string& key, const std::u16string& name) {
    SRegState state;
    HKEY handle = OpenForReading(registry, key);
    if (!handle) return state;
    DWORD size = 0;
    if (registry.RegQueryValueExW(handle, name.c_str(), nullptr, &state.m_type, nullptr, &size) ==
        ERROR_SUCCESS) {
        state.m_data.resize(size);
        if (registry.RegQueryValueExW(handle, name.c_str(), nullptr, &state.m_type, state.m_data.data(),
                                      &size) == ERROR_SUCCESS) {
            state.m_present = true;
            state.m_data.resize(size);
        }
    }
    registry.RegCloseKey(handle);
    if (!state.m_present) state = {};
    return state;
}

bool KeyExists(CRegistry& registry, const std::u16string& key) {
    HKEY handle = OpenForReading(registry, key);
    if (handle) registry.RegCloseKey(handle);
    return handle != nullptr;
}

} // namespace cva::journal

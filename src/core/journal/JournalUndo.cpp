#include "core/journal/JournalUndo.h"

#include "core/journal/ChangeRecorder.h"
#include "platform/ini/IniFile.h"
#include "platform/text/Unicode.h"

#include <filesystem>

namespace cva::journal {

using namespace cva::reg;

namespace {

std::string IniLabel(const SIniEntry& ini) {
    return ini.m_file + " [" + ini.m_section + "] " + ini.m_key;
}

std::string IniState(const SIniEntry& ini) {
    if (ini.m_text) return "\"" + *ini.m_text + "\"";
    return ini.m_fileExisted ? "absent" : "absent (no file)";
}

std::string ValueLabel(const std::u16string& key, const std::u16string& name) {
    return DisplayKeyPath(key) + " \"" + text::Utf16ToUtf8(name) + "\"";
}

LSTATUS PutValue(CRegistry& registry, const SJournalChange& change) {
    HKEY root = nullptr;
    std::u16string sub;
    if (!SplitRegistryPath(change.m_key, root, sub)) return ERROR_BAD_PATHNAME;
    HKEY key = nullptr;
    LSTATUS rc = change.m_before.m_present
                     ? registry.RegCreateKeyExW(root, sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                KEY_SET_VALUE, nullptr, &key, nullptr)
                     : registry.RegOpenKeyExW(root, sub.c_str(), 0, KEY_SET_VALUE, &key);
    // A value that was absent, in a key that is gone, is absent already.
    if (rc == ERROR_FILE_NOT_FOUND && !change.m_before.m_present) return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) return rc;
    if (change.m_before.m_present) {
        rc = registry.RegSetValueExW(key, change.m_name.c_str(), 0, change.m_before.m_type,
                                     change.m_before.m_data.data(),
                                     static_cast<DWORD>(change.m_before.m_data.size()));
    } else {
        rc = registry.RegDeleteValueW(key, change.m_name.c_str());
        if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
    }
    registry.RegCloseKey(key);
    return rc;
}

// The entry's text back, or the entry gone; a section or file the change made goes
// again once nothing else is in it.
LSTATUS PutIniEntry(const SIniEntry& before) {
    std::optional<ini::CIniFile> file = ini::CIniFile::Load(before.m_file);
    if (!file) {
        if (!before.m_text) return ERROR_SUCCESS;
        file.emplace();
    }
    if (before.m_text) {
        if (!file->SetValue(before.m_section, before.m_key, *before.m_text)) return ERROR_INVALID_PARAMETER;
    } else {
        file->DeleteKey(before.m_section, before.m_key);
        if (!before.m_sectionExisted && file->KeyNames(before.m_section).empty())
            file->DeleteSection(before.m_section);
        if (!before.m_fileExisted && file->SectionNames().empty()) {
            std::error_code ec;
            return std::filesystem::remove(before.m_file, ec) || !ec ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
        }
    }
    return file->Save(before.m_file) ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

LSTATUS TakeBack(CRegistry& registry, const SJournalChange& change) {
    if (change.m_kind == SJournalChange::EKind::Value) return PutValue(registry, change);
    if (change.m_kind == SJournalChange::EKind::IniEntry) return PutIniEntry(change.m_ini);
    HKEY root = nullptr;
    std::u16string sub;
    if (!SplitRegistryPath(change.m_key, root, sub)) return ERROR_BAD_PATHNAME;
    switch (change.m_kind) {
    case SJournalChange::EKind::KeyCreated: {
        const LSTATUS rc = registry.RegDeleteKeyW(root, sub.c_str());
        return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
    }
    case SJournalChange::EKind::KeyDeleted: {
        HKEY key = nullptr;
        const LSTATUS rc = registry.RegCreateKeyExW(
            root, sub.c_str(), 0, change.m_class ? change.m_class->c_str() : nullptr,
            REG_OPTION_NON_VOLATILE, KEY_READ, nullptr, &key, nullptr);
        if (rc == ERROR_SUCCESS) registry.RegCloseKey(key);
        return rc;
    }
    case SJournalChange::EKind::KeyRenamed: {
        const size_t slash = sub.rfind(u'\\');
        const std::u16string parent = slash == std::u16string::npos ? std::u16string() : sub.substr(0, slash + 1);
        const std::u16string oldName = slash == std::u16string::npos ? sub : sub.substr(slash + 1);
        const std::u16string renamed = parent + change.m_name;
        HKEY key = nullptr;
        LSTATUS rc = registry.RegOpenKeyExW(root, renamed.c_str(), REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &key);
        if (rc != ERROR_SUCCESS) return rc;
        rc = registry.RegRenameKeyW(key, nullptr, oldName.c_str());
        registry.RegCloseKey(key);
        return rc;
    }
    case SJournalChange::EKind::Value:
    case SJournalChange::EKind::IniEntry: break;
    }
    return ERROR_SUCCESS;
}

} // namespace

std::vector<std::string> UndoDifferences(CRegistry& registry, const SJournalEntry& entry) {
    std::vector<std::string> lines;
    for (const SJournalAfter& after : entry.m_after) {
        if (after.m_ini) {
            const SIniEntry now = ReadIniEntry(after.m_ini->m_file, after.m_ini->m_section, after.m_ini->m_key);
            if (now.m_text != after.m_ini->m_text)
                lines.push_back(IniLabel(now) + ": now " + IniState(now) + ", left " + IniState(*after.m_ini));
        } else if (after.m_isValue) {
            const SRegState now = ReadValueState(registry, after.m_key, after.m_name);
            if (now == after.m_state) continue;
            lines.push_back(ValueLabel(after.m_key, after.m_name) + ": now " + DescribeState(now) +
                            ", left " + DescribeState(after.m_state));
        } else if (KeyExists(registry, after.m_key) != after.m_state.m_present) {
            lines.push_back(DisplayKeyPath(after.m_key) + ": key now " +
                            (after.m_state.m_present ? "absent, left present" : "present, left absent"));
        }
    }
    return lines;
}

void UndoChanges(CRegistry& registry, const SJournalEntry& entry, std::vector<std::string>& failures,
                 CChangeRecorder* recorder) {
    for (auto it = entry.m_changes.rbegin(); it != entry.m_changes.rend(); ++it) {
        if (recorder && it->m_kind == SJournalChange::EKind::IniEntry)
            recorder->IniChanging(it->m_ini.m_file, it->m_ini.m_section, it->m_ini.m_key);
        const LSTATUS rc = TakeBack(registry, *it);
        if (rc == ERROR_SUCCESS) continue;
        const std::string what = it->m_kind == SJournalChange::EKind::Value      ? ValueLabel(it->m_key, it->m_name)
                                 : it->m_kind == SJournalChange::EKind::IniEntry ? IniLabel(it->m_ini)
                                                                                 : DisplayKeyPath(it->m_key);
        failures.push_back(what + ": cannot be put back (error " + std::to_string(rc) + ")");
    }
}

} // namespace cva::journal

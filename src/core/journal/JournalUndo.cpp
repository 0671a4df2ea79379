#include "core/journal/JournalUndo.h"

#include "core/journal/ChangeRecorder.h"
#include "platform/ini/IniFile.h"
#include "platform/text/Unicode.h"

#include "platform/files/AtomicFile.h"
#include "platform/files/FileAttributes.h"
#include "platform/files/FileOperations.h"
#include "platform/files/Trash.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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

constexpr LSTATUS kErrorDirNotEmpty = 145;
constexpr LSTATUS kErrorFileTooLarge = 223;

// Where the Trash keeps the entry its ".trashinfo" record describes.
std::string TrashedPath(const std::string& infoPath) {
    const size_t info = infoPath.rfind("/info/");
    const std::string suffix = ".trashinfo";
    if (info == std::string::npos || infoPath.size() < suffix.size() + info + 6) return {};
    return infoPath.substr(0, info) + "/files/" +
           infoPath.substr(info + 6, infoPath.size() - info - 6 - suffix.size());
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// A file or folder put back gets its attributes back too.
LSTATUS PutAttributes(const std::string& path, uint32_t attributes) {
    if (KeptAttributes(path) == attributes) return ERROR_SUCCESS;
    return files::SetFileAttributes(path, attributes) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LSTATUS PutFile(const SJournalChange& change, CChangeRecorder* recorder) {
    const std::string& path = change.m_path;
    const SFileState& before = change.m_file;
    struct stat st {};
    const bool exists = ::lstat(path.c_str(), &st) == 0;
    const bool folder = exists && S_ISDIR(st.st_mode);
    if (before.m_kind == SFileState::EKind::Moved) {
        if (recorder) recorder->FileMoving(before.m_where, path);
        return files::MoveNoReplace(before.m_where, path) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    }
    if (before.m_kind == SFileState::EKind::Attributes) {
        if (!exists) return ERROR_FILE_NOT_FOUND;
        if (recorder) recorder->AttributesChanging(path);
        return PutAttributes(path, before.m_attributes);
    }
    if (recorder) recorder->FileChanging(path);
    switch (before.m_kind) {
    case SFileState::EKind::Absent: {
        if (!exists) return ERROR_SUCCESS;
        if (folder) return ::rmdir(path.c_str()) == 0 ? ERROR_SUCCESS : kErrorDirNotEmpty;
        std::string info;
        if (!files::CTrash().MoveToTrash(path, &info)) return ERROR_ACCESS_DENIED;
        if (recorder) recorder->FileTrashed(path, info);
        return ERROR_SUCCESS;
    }
    case SFileState::EKind::Folder:
        if (!folder && ::mkdir(path.c_str(), 0777) != 0) return ERROR_ACCESS_DENIED;
        return PutAttributes(path, before.m_attributes);
    case SFileState::EKind::File: {
        if (folder) return ERROR_ACCESS_DENIED;
        // Only the attributes may have changed: the bytes stay untouched then.
        const std::optional<std::string> now = exists ? files::ReadWholeFile(path) : std::nullopt;
        if ((!now || *now != before.m_bytes) && !files::WriteFileAtomically(path, before.m_bytes))
            return ERROR_CANTWRITE;
        return PutAttributes(path, before.m_attributes);
    }
    case SFileState::EKind::Trash: {
        const std::string trashed = TrashedPath(before.m_where);
        if (exists) return ERROR_ALREADY_EXISTS;
        if (trashed.empty() || !files::MoveNoReplace(trashed, path)) return ERROR_FILE_NOT_FOUND;
        ::unlink(before.m_where.c_str());
        return ERROR_SUCCESS;
    }
    case SFileState::EKind::Large:
    case SFileState::EKind::Moved:
    case SFileState::EKind::Attributes: break;
    }
    return kErrorFileTooLarge;
}

LSTATUS TakeBack(CRegistry& registry, const SJournalChange& change, CChangeRecorder* recorder) {
    if (change.m_kind == SJournalChange::EKind::Value) return PutValue(registry, change);
    if (change.m_kind == SJournalChange::EKind::File) return PutFile(change, recorder);
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
    case SJournalChange::EKind::IniEntry:
    case SJournalChange::EKind::File: break;
    }
    return ERROR_SUCCESS;
}

} // namespace

std::vector<std::string> UndoDifferences(CRegistry& registry, const SJournalEntry& entry) {
    std::vector<std::string> lines;
    for (const SJournalAfter& after : entry.m_after) {
        if (after.m_path) {
            const SFileState now = ReadFileState(*after.m_path);
            const bool same = after.m_file.m_kind == SFileState::EKind::Large
                                  ? now.m_kind == after.m_file.m_kind && now.m_size == after.m_file.m_size
                                  : now == after.m_file;
            if (!same)
                lines.push_back(*after.m_path + ": now " + DescribeFileState(now) + ", left " +
                                DescribeFileState(after.m_file));
        } else if (after.m_ini) {
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

std::vector<std::string> UndoImpossible(const SJournalEntry& entry) {
    std::vector<std::string> lines;
    for (const SJournalChange& change : entry.m_changes) {
        if (change.m_kind != SJournalChange::EKind::File) continue;
        if (change.m_file.m_kind == SFileState::EKind::Large)
            lines.push_back(change.m_path + ": " + std::to_string(change.m_file.m_size) +
                            " bytes, too large to keep; it cannot be put back");
        else if (change.m_file.m_kind == SFileState::EKind::Trash && !Exists(TrashedPath(change.m_file.m_where)))
            lines.push_back(change.m_path + ": is no longer in the Trash; it cannot be put back");
    }
    return lines;
}

void UndoChanges(CRegistry& registry, const SJournalEntry& entry, std::vector<std::string>& failures,
                 CChangeRecorder* recorder) {
    for (auto it = entry.m_changes.rbegin(); it != entry.m_changes.rend(); ++it) {
        if (recorder && it->m_kind == SJournalChange::EKind::IniEntry)
            recorder->IniChanging(it->m_ini.m_file, it->m_ini.m_section, it->m_ini.m_key);
        const LSTATUS rc = TakeBack(registry, *it, recorder);
        if (rc == ERROR_SUCCESS) continue;
        const std::string what = it->m_kind == SJournalChange::EKind::Value      ? ValueLabel(it->m_key, it->m_name)
                                 : it->m_kind == SJournalChange::EKind::IniEntry ? IniLabel(it->m_ini)
                                 : it->m_kind == SJournalChange::EKind::File     ? it->m_path
                                                                                 : DisplayKeyPath(it->m_key);
        failures.push_back(what + ": cannot be put back (error " + std::to_string(rc) + ")");
    }
}

} // namespace cva::journal

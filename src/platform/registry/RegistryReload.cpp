// Keeping the tree and the hive files in step with other programs: reading a file again
// when someone else changed it, with our own changes put back on top, and saving so that
// nobody's change is lost between our check and our rename.
#include "platform/registry/Registry.h"

#include "platform/files/AtomicFile.h"
#include "platform/files/FolderLock.h"
#include "platform/hive/HiveFile.h"
#include "platform/hive/RegfFile.h"
#include "platform/hive/WineRegFile.h"
#include "platform/text/Unicode.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace cva::reg {

namespace {

// How often a save starts over because the file changed while it was being written.
constexpr int kSaveAttempts = 8;

std::vector<std::u16string> PathBelow(const CRegKey& top, const CRegKey& key) {
    std::vector<std::u16string> path;
    for (const CRegKey* k = &key; k && k != &top; k = k->Parent())
        path.push_back(k->Name());
    std::reverse(path.begin(), path.end());
    return path;
}

std::shared_ptr<CRegKey> FindPath(std::shared_ptr<CRegKey> key,
                                  const std::vector<std::u16string>& path) {
    for (const auto& name : path) {
        if (!key) break;
        key = key->FindSubkey(text::ToUpper(name));
    }
    return key;
}

void CollectVolatile(CRegKey& key, std::vector<CRegKey*>& out) {
    for (const auto& child : key.Subkeys()) {
        if (child->m_volatile)
            out.push_back(child.get());
        else if (child->Hive() == key.Hive())
            CollectVolatile(*child, out);
    }
}

// The folder whose lock our programs take before writing `file` (the folder of the file
// a symbolic link leads to, as that is the file replaced).
std::string LockFolder(const std::string& file) {
    std::string path = file;
    if (char* real = ::realpath(file.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

// Volatile keys never reach the file; a reload carries them over instead.
CHiveJournal* CRegistry::JournalOf(const CRegKey& key) {
    return key.Hive() && !key.m_volatile ? key.Hive()->Journal() : nullptr;
}

IRegistryRecorder* CRegistry::RecorderFor(const CRegKey& key) const {
    return m_recorder && JournalOf(key) ? m_recorder : nullptr;
}

std::u16string CRegistry::RecordedPath(const CRegKey& key) const {
    std::u16string path = KeyPathFromTop(key);
    const size_t slash = path.find(u'\\');
    return slash == std::u16string::npos ? std::u16string() : path.substr(slash + 1);
}

void CRegistry::RecordValueChanging(const CRegKey& key, std::u16string_view name) {
    if (IRegistryRecorder* recorder = RecorderFor(key))
        recorder->ValueChanging(RecordedPath(key), name, key.FindValue(name));
}

void CRegistry::RecordContentGone(const CRegKey& key) {
    IRegistryRecorder* recorder = RecorderFor(key);
    if (!recorder) return;
    for (const auto& child : key.Subkeys()) {
        RecordContentGone(*child);
        if (RecorderFor(*child)) recorder->KeyDeleting(RecordedPath(*child), *child);
    }
    for (const auto& value : key.Values()) recorder->ValueChanging(RecordedPath(key), value.m_name, &value);
}

void CRegistry::RecordContentAdded(const CRegKey& key) {
    IRegistryRecorder* recorder = RecorderFor(key);
    if (!recorder) return;
    for (const auto& value : key.Values()) recorder->ValueChanging(RecordedPath(key), value.m_name, nullptr);
    for (const auto& child : key.Subkeys()) {
        if (RecorderFor(*child)) recorder->KeyCreated(RecordedPath(*child));
        RecordContentAdded(*child);
    }
}

LSTATUS CRegistry::Refuse(const CRegKey& key) {
    std::string reason;
    if (const CHive* hive = key.Hive())
        reason = hive->m_readOnlyReason.empty() ? hive->Path() + " is read-only"
                                                : hive->m_readOnlyReason;
    if (!reason.empty() && std::find(m_refused.begin(), m_refused.end(), reason) == m_refused.end())
        m_refused.push_back(reason);
    return ERROR_ACCESS_DENIED;
}

LSTATUS CRegistry::RefuseLongValue(const CHive& hive, std::u16string_view name, size_t size) {
    std::string reason = hive.Path() + ": the value \"" + text::Utf16ToUtf8(name) + "\" (" +
                         std::to_string(size) + " bytes) was not set: values longer than " +
                         std::to_string(hive.m_maxValueSize) +
                         " bytes cannot be written into a Windows hive yet";
    if (std::find(m_refused.begin(), m_refused.end(), reason) == m_refused.end())
        m_refused.push_back(reason);
    return ERROR_NOT_SUPPORTED;
}

std::vector<std::string> CRegistry::TakeRefusedChanges() {
    std::vector<std::string> refused;
    refused.swap(m_refused);
    return refused;
}

LSTATUS CRegistry::ReloadHive(CHive& hive, std::string* error) {
    KeyPtr old = hive.Root();
    auto fresh = std::make_shared<CRegKey>(old->Name(), nullptr, &hive);
    CHiveHeader header;
    files::CFileVersion version;
    std::string message;
    hive::CLoadedHive loaded;
    LSTATUS rc = hive::LoadHiveFile(hive.Path(), *fresh, header, loaded, message, &version);
    if (rc == ERROR_FILE_NOT_FOUND) {
        // Removed by someone: what is on disk now is an empty hive.
        header = hive.m_header;
        fresh->m_lastWrite = CurrentFileTime();
    } else if (rc != ERROR_SUCCESS) {
        if (error)
            *error = message + " (the file was changed by another program and is left as it is)";
        return rc;
    }
    hive.m_journal.Replay(*fresh);

    // What lives in memory only moves over to the fresh tree as it stands: the hives
    // mounted below this one, and volatile keys. A mount keeps its place (made again if
    // the file lost it); a volatile key whose place is gone, or whose name the file now
    // uses, gives way, as the file's key is what a save keeps.
    auto carry = [&](CRegKey& node, bool keepPlace) {
        CRegKey* parent = node.Parent();
        KeyPtr place = fresh;
        for (const auto& name : PathBelow(*old, *parent)) {
            bool created = false;
            KeyPtr next = place->FindSubkey(text::ToUpper(name));
            if (!next && !keepPlace) return;
            place = next ? next : place->AddSubkey(name, created);
        }
        KeyPtr taken = place->FindSubkey(node.UpperName());
        if (taken && !keepPlace) return;
        KeyPtr moved = parent->DetachSubkey(&node);
        if (taken) place->DetachSubkey(taken.get());
        place->AttachSubkey(moved);
    };
    for (const auto& other : m_hives) {
        CRegKey* parent = other->Root()->Parent();
        if (other.get() != &hive && parent && parent->Hive() == &hive && old->Contains(parent))
            carry(*other->Root(), true);
    }
    std::vector<CRegKey*> volatileKeys;
    CollectVolatile(*old, volatileKeys);
    for (CRegKey* key : volatileKeys)
        carry(*key, false);
    // Open handles follow their keys; one whose key is gone sees it deleted.
    for (auto& handle : m_handles) {
        if (!handle.m_key || handle.m_key->IsDeleted() || handle.m_key->Hive() != &hive ||
            !old->Contains(handle.m_key.get()))
            continue;
        if (KeyPtr now = FindPath(fresh, PathBelow(*old, *handle.m_key))) handle.m_key = now;
    }
    if (CRegKey* parent = old->Parent()) {
        parent->DetachSubkey(old.get());
        parent->AttachSubkey(fresh);
    }
    old->MarkDeletedTree();
    hive.SetRoot(fresh);
    hive.m_header = header;
    hive.m_version = version;
    hive.m_maxValueSize = loaded.m_maxValueSize;
    // Windows may have been started meanwhile and left its logs unreplayed.
    if (!loaded.m_readOnlyReason.empty()) {
        hive.m_readOnly = true;
        hive.m_readOnlyReason = loaded.m_readOnlyReason;
    }
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::RefreshHives(std::vector<std::string>* errors, bool* reloaded) {
    LSTATUS first = ERROR_SUCCESS;
    if (reloaded) *reloaded = false;
    for (const auto& hive : m_hives) {
        if (hive->Path().empty() || !hive->m_version.Changed(hive->Path())) continue;
        std::string message;
        LSTATUS rc = ReloadHive(*hive, &message);
        if (rc == ERROR_SUCCESS) {
            if (reloaded) *reloaded = true;
            continue;
        }
        if (first == ERROR_SUCCESS) first = rc;
        if (errors) errors->push_back(message);
    }
    return first;
}

LSTATUS CRegistry::DiscardChanges(std::vector<std::string>* errors) {
    LSTATUS first = ERROR_SUCCESS;
    for (const auto& hive : m_hives) {
        if (!hive->m_dirty || hive->Path().empty()) continue;
        hive->m_journal.Clear();
        std::string message;
        const LSTATUS rc = ReloadHive(*hive, &message);
        if (rc == ERROR_SUCCESS) {
            hive->m_dirty = false;
            continue;
        }
        if (first == ERROR_SUCCESS) first = rc;
        if (errors) errors->push_back(message);
    }
    return first;
}

LSTATUS CRegistry::SaveHive(CHive& hive, std::string* error) {
    if (!hive.m_dirty || hive.Path().empty()) return ERROR_SUCCESS;
    const std::string& path = hive.Path();
    auto fail = [&](LSTATUS rc, const std::string& why) {
        if (error) *error = path + ": not saved: " + why;
        return rc;
    };
    if (hive.m_readOnly) return fail(ERROR_ACCESS_DENIED, hive.m_readOnlyReason);

    // Between our look at the file and our rename, none of our own programs may write it;
    // other programs do not take the lock, so the file is looked at once more just before
    // the rename.
    files::CFolderLock lock(LockFolder(path));
    for (int attempt = 0; attempt < kSaveAttempts; ++attempt) {
        std::string refused = m_saveGuard ? m_saveGuard() : std::string();
        if (!refused.empty()) return fail(ERROR_ACCESS_DENIED, refused);
        if (hive.m_version.Changed(path)) {
            LSTATUS rc = ReloadHive(hive, error);
            if (rc != ERROR_SUCCESS) return rc;
        }
        if (hive.m_readOnly) return fail(ERROR_ACCESS_DENIED, hive.m_readOnlyReason);
        bool changedMeanwhile = false;
        auto beforeRename = [&]() -> int {
            if (m_saveGuard) refused = m_saveGuard();
            if (!refused.empty()) return EBUSY;
            changedMeanwhile = hive.m_version.Changed(path);
            return changedMeanwhile ? EAGAIN : 0;
        };
        struct stat written {};
        std::string text;
        LSTATUS rc = ERROR_SUCCESS;
        std::string why;
        if (hive.m_format == EHiveFormat::Regf) {
            rc = hive::SaveRegfChanges(path, *hive.Root(), hive.m_journal.TouchedKeys(),
                                       beforeRename, &written, text, why);
        } else {
            text = hive::FormatWineRegistry(*hive.Root(), hive.m_header);
            int err = files::ReplaceFileContents(path, text, beforeRename, &written);
            if (err != 0) rc = hive::ErrnoToWin32(err), why = std::strerror(err);
        }
        if (changedMeanwhile) continue;
        if (!refused.empty()) return fail(ERROR_ACCESS_DENIED, refused);
        if (rc != ERROR_SUCCESS) return fail(rc, why);
        hive.m_version.Wrote(written, text);
        hive.m_journal.Clear();
        hive.m_dirty = false;
        return ERROR_SUCCESS;
    }
    return fail(ERROR_SHARING_VIOLATION, "another program kept changing the file meanwhile");
}

} // namespace cva::reg

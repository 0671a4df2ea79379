#pragma once

#include "core/journal/FileOverlay.h"
#include "core/journal/JournalEntry.h"
#include "platform/registry/Registry.h"

namespace cva::journal {

// Collects the registry's changes, each with the state before it, while it is set as
// the registry's recorder; Finish notes what they left.
class CChangeRecorder : public reg::IRegistryRecorder {
public:
    void ValueChanging(std::u16string_view keyPath, std::u16string_view name,
                       const reg::CRegValue* before) override;
    void KeyCreated(std::u16string_view keyPath) override;
    void KeyDeleting(std::u16string_view keyPath, const reg::CRegKey& key) override;
    void KeyRenaming(std::u16string_view keyPath, std::u16string_view newName) override;

    // An INI file's entry (the file a host path) is about to be written or deleted.
    void IniChanging(const std::string& file, const std::string& section, const std::string& key);
    // A file or folder (a host path) is about to be written, created or deleted.
    void FileChanging(const std::string& path);
    // ... was just sent to the Trash, with its record there.
    void FileTrashed(const std::string& path, const std::string& infoPath);
    // A folder with its content is about to be deleted for good: it cannot be kept.
    void TreeDeleting(const std::string& path);
    // ... is about to get other attributes, and nothing else.
    void AttributesChanging(const std::string& path);
    // ... is about to be moved or renamed.
    void FileMoving(const std::string& from, const std::string& to);
    // A preview's files: states are read through it.
    void SetOverlay(const CFileOverlay* overlay) { m_pOverlay = overlay; }

    bool IsEmpty() const { return m_entry.m_changes.empty(); }
    // The entry with the state every touched value and key is in now.
    SJournalEntry Finish(reg::CRegistry& registry);
    SJournalEntry& Entry() { return m_entry; }

private:
    SJournalEntry m_entry;
    const CFileOverlay* m_pOverlay = nullptr;
};

// Sets a recorder on a registry for the lifetime of this object, unless one is set
// already (a routine run from within another joins the outer one's entry).
class CRecordingScope {
public:
    CRecordingScope(reg::CRegistry& registry, CChangeRecorder& recorder);
    ~CRecordingScope();
    CRecordingScope(const CRecordingScope&) = delete;
    CRecordingScope& operator=(const CRecordingScope&) = delete;
    bool IsOuter() const { return m_outer; }

private:
    reg::CRegistry& m_registry;
    bool m_outer;
};

// The value's or key's state on the registry now. Paths are below \Registry.
SRegState ReadValueState(reg::CRegistry& registry, const std::u16string& key, const std::u16string& name);
bool KeyExists(reg::CRegistry& registry, const std::u16string& key);
// The predefined root and the rest of a path below \Registry; false for another top.
bool SplitRegistryPath(const std::u16string& path, reg::HKEY& root, std::u16string& subKey);

} // namespace cva::journal

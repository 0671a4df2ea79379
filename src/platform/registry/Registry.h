#pragma once

#include "platform/registry/Hive.h"
#include "platform/registry/RegKey.h"
#include "platform/registry/RegTypes.h"
#include "platform/registry/RegistryRecorder.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cva::reg {

// One registry: the key tree under \Registry (Machine and User), the predefined roots,
// the mounted hive files and the open handles. Calls keep the Win32 shape and return
// Win32 error numbers. W forms take UTF-16; A forms take UTF-8 and convert string data
// (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) the way Windows' A functions convert to the ANSI
// code page, with sizes counted in converted bytes. File names are host paths in UTF-8.
class CRegistry {
public:
    static constexpr char16_t kDefaultUserSid[] = u"S-1-5-21-0-0-0-1000";

    // An empty registry held in memory: Machine, User and the current user's key exist.
    CRegistry();
    // Saves every dirty hive (errors are lost; call SaveDirtyHives first to see them).
    // Hives loaded with RegLoadKey and not unloaded stay noted as loaded.
    ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // --- Hives -----------------------------------------------------------------------
    struct CMountOptions {
        bool m_readOnly = false;
        std::string m_readOnlyReason;
        std::string m_rootComment; // header comment for a file that does not exist yet
        std::string m_arch;        // "#arch" for a file that does not exist yet
        bool m_allowMissing = true;
    };
    // Mounts a Wine registry file at a path below \Registry ("Machine", "User\.Default",
    // "User\S-1-5-..."), replacing what was there. A missing file starts empty and is
    // created on the first save. A file that cannot be parsed is not mounted; `error`
    // then names the file and line. A file or folder we may not write makes the hive
    // read-only.
    LSTATUS MountHiveFile(std::u16string_view mountPath, const std::string& file,
                          const CMountOptions& options, std::string* error = nullptr);
    // The user whose key HKEY_CURRENT_USER is (HKU\<sid>); the key is created in
    // memory when nothing is mounted there.
    void SetCurrentUserSid(std::u16string_view sid);
    const std::u16string& CurrentUserSid() const { return m_userSid; }
    // The user's own classes (a path below \Registry, "User\S-..._Classes"): a key of
    // HKEY_CLASSES_ROOT the user has is taken from there, any other from the machine's
    // classes, as Windows merges the two. Empty (the default): the machine's only.
    void SetUserClasses(std::u16string_view path) { m_userClasses.assign(path); }
    // A symbolic link kept in memory only (as Windows makes CurrentControlSet at start),
    // made at `at` (a path below \Registry whose parent exists) even in a read-only
    // hive; `target` is a path below \Registry.
    LSTATUS AddVolatileLink(std::u16string_view at, std::u16string_view target);
    // Writes every changed hive; ERROR_SUCCESS or the first failure, each failure's text
    // appended to `errors`. A save starts from the file as it is on disk: when someone
    // else changed it since we read or wrote it, it is read again and only our own
    // changes are put on top. Our programs take turns through a lock on the folder; a
    // file changed by another program while we wrote is read and merged once more.
    LSTATUS SaveDirtyHives(std::vector<std::string>* errors = nullptr);
    // Reads again every hive file that someone else changed since we read or wrote it,
    // with our unsaved changes on top; open handles follow their keys (a key that is gone
    // answers ERROR_KEY_DELETED). A file that no longer parses keeps our copy in use and
    // is reported. One file status look per hive when nothing changed.
    LSTATUS RefreshHives(std::vector<std::string>* errors = nullptr, bool* reloaded = nullptr);
    // Drops every unsaved change: each changed hive is read again from its file, as
    // if the changes had never been made (a preview's registry is thrown away so).
    LSTATUS DiscardChanges(std::vector<std::string>* errors = nullptr);
    // Asked before a hive file is written and again just before it replaces the old one:
    // a non-empty answer (why the files may not be written now) refuses the save.
    void SetSaveGuard(std::function<std::string()> guard) { m_saveGuard = std::move(guard); }
    // Why changes were refused since the last call because their hive is read-only, each
    // reason once; an empty list when every change was taken.
    std::vector<std::string> TakeRefusedChanges();
    bool HasDirtyHives() const;
    // Whether the destructor writes dirty hives (default true). A program that saves at
    // chosen points turns it off so that an abandoned change never reaches the disk.
    void SetSaveOnClose(bool save) { m_saveOnClose = save; }
    // Read-only state of the hive holding the key (false for keys held in memory only).
    bool IsReadOnly(HKEY key, std::string* reason = nullptr);
    size_t OpenHandleCount() const;
    // A hive loaded with RegLoadKey stays loaded until RegUnLoadKey, past the end of the
    // program that loaded it, as on Windows: each load is noted in `folder` (the
    // target's), and RestoreLoadedHives loads again what a program that has ended left
    // loaded, so that it can be found and unloaded. A name that a running program holds
    // loaded cannot be loaded by another. Without a folder nothing is noted.
    void SetLoadRecordFolder(std::string folder) { m_loadRecordFolder = std::move(folder); }
    // A run that changes nothing (a dry run) notes none of its loads: it only reads the
    // hives, and they are gone with it. It still respects the notes of others.
    void SetNoteLoads(bool note) { m_noteLoads = note; }
    LSTATUS RestoreLoadedHives(std::vector<std::string>* errors = nullptr);
    // Told of each change to a key kept in a hive file before it is made; null: none.
    // The recorder must outlive its use here.
    void SetRecorder(IRegistryRecorder* recorder) { m_recorder = recorder; }
    IRegistryRecorder* Recorder() const { return m_recorder; }

    // --- Keys ------------------------------------------------------------------------
    LSTATUS RegOpenKeyExW(HKEY key, const char16_t* subKey, DWORD options, REGSAM sam,
                          HKEY* result);
    LSTATUS RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, REGSAM sam, HKEY* result);
    LSTATUS RegCreateKeyExW(HKEY key, const char16_t* subKey, DWORD reserved,
                            const char16_t* keyClass, DWORD options, REGSAM sam,
                            const void* security, HKEY* result, DWORD* disposition);
    LSTATUS RegCreateKeyExA(HKEY key, const char* subKey, DWORD reserved, const char* keyClass,
                            DWORD options, REGSAM sam, const void* security, HKEY* result,
                            DWORD* disposition);
    LSTATUS RegCloseKey(HKEY key);
    // NT rule: a key that has subkeys cannot be deleted (ERROR_ACCESS_DENIED).
    LSTATUS RegDeleteKeyW(HKEY key, const char16_t* subKey);
    LSTATUS RegDeleteKeyA(HKEY key, const char* subKey);
    // Deletes subKey with everything below it; with a null subKey, empties the key.
    LSTATUS RegDeleteTreeW(HKEY key, const char16_t* subKey);
    LSTATUS RegDeleteTreeA(HKEY key, const char* subKey);
    // Renames subKey (or the key itself when null) within its parent; content stays.
    LSTATUS RegRenameKeyW(HKEY key, const char16_t* subKey, const char16_t* newName);
    LSTATUS RegRenameKeyA(HKEY key, const char* subKey, const char* newName);
    // Copies the values and subkeys of key\subKey into dest (kept values are overwritten).
    LSTATUS RegCopyTreeW(HKEY key, const char16_t* subKey, HKEY dest);
    LSTATUS RegCopyTreeA(HKEY key, const char* subKey, HKEY dest);
    LSTATUS RegEnumKeyExW(HKEY key, DWORD index, char16_t* name, DWORD* nameChars, DWORD* reserved,
                          char16_t* keyClass, DWORD* classChars, FILETIME* lastWrite);
    LSTATUS RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameChars, DWORD* reserved,
                          char* keyClass, DWORD* classChars, FILETIME* lastWrite);
    LSTATUS RegQueryInfoKeyW(HKEY key, char16_t* keyClass, DWORD* classChars, DWORD* reserved,
                             DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* maxClassLen, DWORD* values,
                             DWORD* maxValueNameLen, DWORD* maxValueLen, DWORD* securityDescriptor,
                             FILETIME* lastWrite);
    LSTATUS RegQueryInfoKeyA(HKEY key, char* keyClass, DWORD* classChars, DWORD* reserved,
                             DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* maxClassLen, DWORD* values,
                             DWORD* maxValueNameLen, DWORD* maxValueLen, DWORD* securityDescriptor,
                             FILETIME* lastWrite);

    // --- Values ----------------------------------------------------------------------
    // Type only, size only (data null) or data; a short buffer gives ERROR_MORE_DATA
    // and the needed size.
    LSTATUS RegQueryValueExW(HKEY key, const char16_t* name, DWORD* reserved, DWORD* type,
                             BYTE* data, DWORD* dataSize);
    LSTATUS RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                             DWORD* dataSize);
    LSTATUS RegSetValueExW(HKEY key, const char16_t* name, DWORD reserved, DWORD type,
                           const BYTE* data, DWORD dataSize);
    LSTATUS RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,
                           DWORD dataSize);
    LSTATUS RegDeleteValueW(HKEY key, const char16_t* name);
    LSTATUS RegDeleteValueA(HKEY key, const char* name);
    LSTATUS RegEnumValueW(HKEY key, DWORD index, char16_t* name, DWORD* nameChars, DWORD* reserved,
                          DWORD* type, BYTE* data, DWORD* dataSize);
    LSTATUS RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameChars, DWORD* reserved,
                          DWORD* type, BYTE* data, DWORD* dataSize);

    // --- Hive files ------------------------------------------------------------------
    // key is HKEY_USERS or HKEY_LOCAL_MACHINE; subKey one name that does not exist yet.
    LSTATUS RegLoadKeyW(HKEY key, const char16_t* subKey, const char16_t* file);
    LSTATUS RegLoadKeyA(HKEY key, const char* subKey, const char* file);
    LSTATUS RegUnLoadKeyW(HKEY key, const char16_t* subKey);
    LSTATUS RegUnLoadKeyA(HKEY key, const char* subKey);
    // Writes the key's branch in Wine's format; ERROR_ALREADY_EXISTS when the file exists.
    LSTATUS RegSaveKeyW(HKEY key, const char16_t* file, const void* security);
    LSTATUS RegSaveKeyA(HKEY key, const char* file, const void* security);
    // Replaces the key's content with the file's; without REG_FORCE_RESTORE it is
    // refused while handles are open below the key.
    LSTATUS RegRestoreKeyW(HKEY key, const char16_t* file, DWORD flags);
    LSTATUS RegRestoreKeyA(HKEY key, const char* file, DWORD flags);
    // Saves the hive that holds the key when it changed.
    LSTATUS RegFlushKey(HKEY key);

private:
    struct CHandle {
        std::shared_ptr<CRegKey> m_key;
        REGSAM m_access = 0;
    };
    using KeyPtr = std::shared_ptr<CRegKey>;

    // ERROR_ACCESS_DENIED for a change to a read-only hive, remembering why.
    LSTATUS Refuse(const CRegKey& key);
    // ERROR_NOT_SUPPORTED for a value longer than the hive's file can hold, remembering why.
    LSTATUS RefuseLongValue(const CHive& hive, std::u16string_view name, size_t size);
    static CHiveJournal* JournalOf(const CRegKey& key);
    // The recorder, when there is one and the key's changes reach a file.
    IRegistryRecorder* RecorderFor(const CRegKey& key) const;
    std::u16string RecordedPath(const CRegKey& key) const;
    void RecordValueChanging(const CRegKey& key, std::u16string_view name);
    // The key's values and subkeys as going, deepest first, as a deletion would go.
    void RecordContentGone(const CRegKey& key);
    // The key's values and subkeys as new, as a copy would make them.
    void RecordContentAdded(const CRegKey& key);
    LSTATUS SaveHive(CHive& hive, std::string* error);
    LSTATUS ReloadHive(CHive& hive, std::string* error);
    // Resolves a handle, checks it is alive and grants `needed`.
    LSTATUS KeyFromHandle(HKEY key, REGSAM needed, KeyPtr& out);
    std::u16string PredefinedPath(HKEY key) const;
    // Walks a relative path from `start`, following symbolic links (all of them, or all
    // but the last with openLink), creating missing keys when asked.
    LSTATUS Walk(KeyPtr start, std::u16string_view path, bool create, bool openLink, KeyPtr& out,
                 bool* created, int linkDepth = 0);
    // Start key and rest of the path for an operation on (key, subKey).
    LSTATUS Locate(HKEY key, std::u16string_view subKey, bool create, bool openLink, KeyPtr& out,
                   bool* created);
    LSTATUS FollowLink(const CRegKey& link, bool create, KeyPtr& out, int linkDepth);
    HKEY NewHandle(KeyPtr key, REGSAM access);
    static REGSAM MapAccess(REGSAM sam, bool readOnly);
    static bool Writable(const CRegKey& key);
    void Touch(CRegKey& key);
    LSTATUS DeleteTreeBelow(CRegKey& key);
    LSTATUS DeleteSingleKey(const KeyPtr& key);
    bool IsProtectedKey(const CRegKey& key) const;
    void CopyTree(const CRegKey& from, CRegKey& to, CHiveJournal* journal);
    CHive* HiveOwningRoot(const CRegKey* key) const;
    LSTATUS ValueFromHandle(HKEY key, const char16_t* name, const CRegValue*& value);
    bool HandlesOpenBelow(const CRegKey& key) const;
    LSTATUS LoadKeyFile(HKEY key, std::u16string_view subKey, const std::string& file);
    LSTATUS UnLoadKey(HKEY key, std::u16string_view subKey);
    LSTATUS SaveKeyFile(HKEY key, const std::string& file);
    LSTATUS RestoreKeyFile(HKEY key, const std::string& file, DWORD flags);
    std::u16string KeyPathFromTop(const CRegKey& key) const;
    std::string LoadRecordPath(HKEY key, std::u16string_view subKey) const;
    bool IsLoadedElsewhere(HKEY key, std::u16string_view subKey) const;
    void NoteLoad(HKEY key, std::u16string_view subKey, const std::string& file, bool ended) const;
    void ForgetLoad(HKEY key, std::u16string_view subKey) const;

    KeyPtr m_top; // \Registry
    std::u16string m_userSid;
    std::u16string m_userClasses;
    std::vector<std::unique_ptr<CHive>> m_hives;
    std::vector<CHandle> m_handles;
    std::vector<size_t> m_freeHandles;
    bool m_saveOnClose = true;
    std::function<std::string()> m_saveGuard;
    std::vector<std::string> m_refused;
    std::string m_loadRecordFolder;
    bool m_noteLoads = true;
    IRegistryRecorder* m_recorder = nullptr;
};

} // namespace cva::reg

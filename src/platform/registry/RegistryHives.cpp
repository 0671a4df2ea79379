#include "platform/registry/Registry.h"

#include "platform/hive/HiveFile.h"
#include "platform/hive/WineRegFile.h"
#include "platform/text/Unicode.h"

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace cva::reg {

namespace {

void SetHiveTree(CRegKey& key, CHive* hive) {
    key.SetHive(hive);
    for (const auto& child : key.Subkeys())
        SetHiveTree(*child, hive);
}

std::string Utf8(const char16_t* s) {
    return s ? text::Utf16ToUtf8(s) : std::string();
}

} // namespace

std::u16string CRegistry::KeyPathFromTop(const CRegKey& key) const {
    std::vector<const CRegKey*> chain;
    for (const CRegKey* k = &key; k; k = k->Parent())
        chain.push_back(k);
    std::u16string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty()) path += u"\\";
        path += (*it)->Name();
    }
    return path;
}

LSTATUS CRegistry::AddVolatileLink(std::u16string_view at, std::u16string_view target) {
    size_t slash = at.rfind(u'\\');
    if (slash == std::u16string_view::npos) return ERROR_INVALID_PARAMETER;
    KeyPtr parent;
    LSTATUS rc = Walk(m_top, at.substr(0, slash), false, false, parent, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    bool created = false;
    KeyPtr link = parent->AddSubkey(at.substr(slash + 1), created);
    if (!created) return ERROR_ALREADY_EXISTS;
    link->m_volatile = true;
    link->m_isLink = true;
    link->m_lastWrite = CurrentFileTime();
    std::u16string path = u"\\REGISTRY\\" + std::u16string(target);
    std::vector<uint8_t> data;
    for (char16_t c : path) {
        data.push_back(static_cast<uint8_t>(c));
        data.push_back(static_cast<uint8_t>(c >> 8));
    }
    link->SetValue(u"SymbolicLinkValue", REG_LINK, data.data(), data.size());
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::LoadKeyFile(HKEY key, std::u16string_view subKey, const std::string& file) {
    if (key != HKEY_USERS && key != HKEY_LOCAL_MACHINE) return ERROR_INVALID_PARAMETER;
    if (subKey.empty() || subKey.find(u'\\') != std::u16string_view::npos ||
        subKey.size() > kMaxKeyNameLength || file.empty())
        return ERROR_INVALID_PARAMETER;
    KeyPtr parent;
    LSTATUS rc = KeyFromHandle(key, 0, parent);
    if (rc != ERROR_SUCCESS) return rc;
    if (parent->FindSubkey(text::ToUpper(subKey)) || IsLoadedElsewhere(key, subKey))
        return ERROR_ALREADY_EXISTS;
    CMountOptions options;
    options.m_allowMissing = false;
    std::u16string mount = KeyPathFromTop(*parent);
    mount = mount.substr(mount.find(u'\\') + 1) + u"\\" + std::u16string(subKey);
    rc = MountHiveFile(mount, file, options, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    m_hives.back()->m_loadedByCaller = true;
    NoteLoad(key, subKey, file, false);
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::UnLoadKey(HKEY key, std::u16string_view subKey) {
    if (key != HKEY_USERS && key != HKEY_LOCAL_MACHINE) return ERROR_INVALID_PARAMETER;
    KeyPtr parent;
    LSTATUS rc = KeyFromHandle(key, 0, parent);
    if (rc != ERROR_SUCCESS) return rc;
    KeyPtr root = parent->FindSubkey(text::ToUpper(subKey));
    if (!root) return ERROR_FILE_NOT_FOUND;
    CHive* hive = HiveOwningRoot(root.get());
    if (!hive || !hive->m_loadedByCaller) return ERROR_INVALID_PARAMETER;
    // Changes are written before the hive goes; a failed write keeps it mounted so that
    // nothing is lost.
    rc = SaveHive(*hive, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    parent->DetachSubkey(root.get());
    root->MarkDeletedTree();
    m_hives.erase(std::remove_if(m_hives.begin(), m_hives.end(),
                                 [&](const std::unique_ptr<CHive>& h) { return h.get() == hive; }),
                  m_hives.end());
    ForgetLoad(key, subKey);
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::SaveKeyFile(HKEY key, const std::string& file) {
    if (file.empty()) return ERROR_INVALID_PARAMETER;
    KeyPtr k;
    LSTATUS rc = KeyFromHandle(key, 0, k);
    if (rc != ERROR_SUCCESS) return rc;
    struct stat st;
    if (lstat(file.c_str(), &st) == 0) return ERROR_ALREADY_EXISTS;
    CHiveHeader header;
    std::u16string path = KeyPathFromTop(*k);
    std::string comment;
    for (char16_t c : path)
        comment += c == u'\\' ? std::string("\\\\") : text::Utf16ToUtf8(std::u16string(1, c));
    header.m_rootComment = comment;
    if (k->Hive()) header.m_arch = k->Hive()->m_header.m_arch;
    int err = hive::WriteFileAtomically(file, hive::FormatWineRegistry(*k, header));
    return err ? hive::ErrnoToWin32(err) : ERROR_SUCCESS;
}

LSTATUS CRegistry::RestoreKeyFile(HKEY key, const std::string& file, DWORD flags) {
    KeyPtr k;
    LSTATUS rc = KeyFromHandle(key, KEY_SET_VALUE | KEY_CREATE_SUB_KEY, k);
    if (rc != ERROR_SUCCESS) return rc;
    if (!Writable(*k)) return Refuse(*k);
    auto loaded = std::make_shared<CRegKey>(k->Name(), nullptr, nullptr);
    CHiveHeader header;
    std::string message;
    hive::CLoadedHive kind;
    rc = hive::LoadHiveFile(file, *loaded, header, kind, message);
    if (rc != ERROR_SUCCESS) return rc;
    if (!(flags & REG_FORCE_RESTORE) && HandlesOpenBelow(*k)) return ERROR_ACCESS_DENIED;
    for (const auto& child : k->Subkeys())
        if (child->Hive() != k->Hive() && HiveOwningRoot(child.get())) return ERROR_ACCESS_DENIED;

    RecordContentGone(*k);
    while (k->SubkeyCount() > 0) {
        KeyPtr child = k->DetachSubkey(k->SubkeyAt(0).get());
        child->MarkDeletedTree();
    }
    k->ClearValues();
    for (const auto& v : loaded->Values())
        k->SetValue(v.m_name, v.m_type, v.m_data.data(), v.m_data.size());
    while (loaded->SubkeyCount() > 0) {
        KeyPtr child = loaded->DetachSubkey(loaded->SubkeyAt(0).get());
        SetHiveTree(*child, k->Hive());
        k->AttachSubkey(child);
    }
    RecordContentAdded(*k);
    if (CHiveJournal* journal = JournalOf(*k)) journal->ReplaceContent(*k);
    Touch(*k);
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::RegFlushKey(HKEY key) {
    KeyPtr k;
    LSTATUS rc = KeyFromHandle(key, 0, k);
    if (rc != ERROR_SUCCESS) return rc;
    return k->Hive() ? SaveHive(*k->Hive(), nullptr) : ERROR_SUCCESS;
}

LSTATUS CRegistry::RegLoadKeyW(HKEY key, const char16_t* subKey, const char16_t* file) {
    return LoadKeyFile(key, subKey ? std::u16string_view(subKey) : std::u16string_view(),
                       Utf8(file));
}
LSTATUS CRegistry::RegLoadKeyA(HKEY key, const char* subKey, const char* file) {
    return LoadKeyFile(key, text::Utf8ToUtf16(subKey ? subKey : ""), file ? file : "");
}
LSTATUS CRegistry::RegUnLoadKeyW(HKEY key, const char16_t* subKey) {
    return UnLoadKey(key, subKey ? std::u16string_view(subKey) : std::u16string_view());
}
LSTATUS CRegistry::RegUnLoadKeyA(HKEY key, const char* subKey) {
    return UnLoadKey(key, text::Utf8ToUtf16(subKey ? subKey : ""));
}
LSTATUS CRegistry::RegSaveKeyW(HKEY key, const char16_t* file, const void*) {
    return SaveKeyFile(key, Utf8(file));
}
LSTATUS CRegistry::RegSaveKeyA(HKEY key, const char* file, const void*) {
    return SaveKeyFile(key, file ? file : "");
}
LSTATUS CRegistry::RegRestoreKeyW(HKEY key, const char16_t* file, DWORD flags) {
    return RestoreKeyFile(key, Utf8(file), flags);
}
LSTATUS CRegistry::RegRestoreKeyA(HKEY key, const char* file, DWORD flags) {
    return RestoreKeyFile(key, file ? file : "", flags);
}

} // namespace cva::reg

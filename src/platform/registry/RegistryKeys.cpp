#include "platform/registry/Registry.h"

#include "platform/text/Unicode.h"

#include <cstring>

namespace cva::reg {

namespace {

std::u16string_view View(const char16_t* s) {
    return s ? std::u16string_view(s) : std::u16string_view();
}

FILETIME ToFileTime(uint64_t t) {
    return FILETIME{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
}

// Copies a name with its terminator into a caller buffer counted in characters.
LSTATUS CopyName(std::u16string_view name, char16_t* buffer, DWORD* chars) {
    if (!chars) return ERROR_INVALID_PARAMETER;
    if (!buffer || *chars <= name.size()) return ERROR_MORE_DATA;
    std::memcpy(buffer, name.data(), name.size() * sizeof(char16_t));
    buffer[name.size()] = 0;
    *chars = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

} // namespace

LSTATUS CRegistry::RegOpenKeyExW(HKEY key, const char16_t* subKey, DWORD options, REGSAM sam,
                                 HKEY* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    KeyPtr found;
    LSTATUS rc =
        Locate(key, View(subKey), false, (options & REG_OPTION_OPEN_LINK) != 0, found, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    REGSAM access = MapAccess(sam, !Writable(*found));
    if ((access & KEY_MODIFY_RIGHTS) && !Writable(*found)) return Refuse(*found);
    *result = NewHandle(std::move(found), access);
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::RegCreateKeyExW(HKEY key, const char16_t* subKey, DWORD,
                                   const char16_t* keyClass, DWORD options, REGSAM sam, const void*,
                                   HKEY* result, DWORD* disposition) {
    if (!result || !subKey) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    bool isLink = (options & REG_OPTION_CREATE_LINK) != 0;
    KeyPtr found;
    bool created = false;
    LSTATUS rc = Locate(key, View(subKey), true, isLink, found, &created);
    if (rc != ERROR_SUCCESS) return rc;
    REGSAM access = MapAccess(sam, !Writable(*found));
    if ((access & KEY_MODIFY_RIGHTS) && !Writable(*found)) return Refuse(*found);
    if (created) {
        if (keyClass && *keyClass) found->m_class = std::u16string(keyClass);
        if (options & REG_OPTION_VOLATILE) found->m_volatile = true;
        if (isLink) found->m_isLink = true;
        if (CHiveJournal* journal = JournalOf(*found)) journal->CreateKey(*found);
    }
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewHandle(std::move(found), access);
    return ERROR_SUCCESS;
}

// The tops (Machine, User), the users' keys below User and every mounted hive's root
// are fixed points of the tree, as hive roots are on Windows.
bool CRegistry::IsProtectedKey(const CRegKey& key) const {
    const CRegKey* parent = key.Parent();
    if (!parent || parent == m_top.get()) return true;
    if (parent->Parent() == m_top.get() && parent->UpperName() == u"USER") return true;
    return HiveOwningRoot(&key) != nullptr;
}

LSTATUS CRegistry::DeleteSingleKey(const KeyPtr& key) {
    CRegKey* parent = key->Parent();
    if (IsProtectedKey(*key)) return ERROR_ACCESS_DENIED;
    if (!Writable(*key)) return Refuse(*key);
    if (key->SubkeyCount() != 0) return ERROR_ACCESS_DENIED;
    if (IRegistryRecorder* recorder = RecorderFor(*key)) {
        RecordContentGone(*key);
        recorder->KeyDeleting(RecordedPath(*key), *key);
    }
    if (CHiveJournal* journal = JournalOf(*key)) journal->DeleteKey(*key);
    KeyPtr keep = parent->DetachSubkey(key.get());
    if (!keep) return ERROR_KEY_DELETED;
    if (key->Hive() && !key->m_volatile) key->Hive()->m_dirty = true;
    keep->MarkDeletedTree();
    Touch(*parent);
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::RegDeleteKeyW(HKEY key, const char16_t* subKey) {
    if (!subKey) return ERROR_INVALID_PARAMETER;
    KeyPtr found;
    LSTATUS rc = Locate(key, subKey, false, false, found, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    return DeleteSingleKey(found);
}

LSTATUS CRegistry::DeleteTreeBelow(CRegKey& key) {
    if (!Writable(key)) return Refuse(key);
    while (key.SubkeyCount() > 0) {
        KeyPtr child = key.SubkeyAt(key.SubkeyCount() - 1);
        // A hive mounted below is not ours to wipe out.
        if (child->Hive() != key.Hive() && HiveOwningRoot(child.get())) return ERROR_ACCESS_DENIED;
        LSTATUS rc = DeleteTreeBelow(*child);
        if (rc != ERROR_SUCCESS) return rc;
        rc = DeleteSingleKey(child);
        if (rc != ERROR_SUCCESS) return rc;
    }
    if (key.ValueCount() > 0) {
        RecordContentGone(key);
        if (CHiveJournal* journal = JournalOf(key)) journal->ClearValues(key);
        key.ClearValues();
        Touch(key);
    }
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::RegDeleteTreeW(HKEY key, const char16_t* subKey) {
    KeyPtr found;
    LSTATUS rc =
        subKey ? Locate(key, subKey, false, false, found, nullptr) : KeyFromHandle(key, 0, found);
    if (rc != ERROR_SUCCESS) return rc;
    rc = DeleteTreeBelow(*found);
    if (rc != ERROR_SUCCESS || !subKey || !*subKey) return rc;
    return DeleteSingleKey(found);
}

LSTATUS CRegistry::RegRenameKeyW(HKEY key, const char16_t* subKey, const char16_t* newName) {
    std::u16string_view name = View(newName);
    if (name.empty() || name.find(u'\\') != std::u16string_view::npos)
        return ERROR_INVALID_PARAMETER;
    if (name.size() > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
    KeyPtr found;
    LSTATUS rc =
        subKey ? Locate(key, subKey, false, true, found, nullptr) : KeyFromHandle(key, 0, found);
    if (rc != ERROR_SUCCESS) return rc;
    CRegKey* parent = found->Parent();
    if (IsProtectedKey(*found)) return ERROR_ACCESS_DENIED;
    if (!Writable(*found)) return Refuse(*found);
    std::u16string upper = text::ToUpper(name);
    if (KeyPtr other = parent->FindSubkey(upper); other && other != found)
        return ERROR_ALREADY_EXISTS;
    if (IRegistryRecorder* recorder = RecorderFor(*found))
        recorder->KeyRenaming(RecordedPath(*found), name);
    if (CHiveJournal* journal = JournalOf(*found)) journal->RenameKey(*found, name);
    KeyPtr keep = parent->DetachSubkey(found.get());
    keep->Rename(std::u16string(name));
    parent->AttachSubkey(keep);
    Touch(*keep);
    Touch(*parent);
    return ERROR_SUCCESS;
}

void CRegistry::CopyTree(const CRegKey& from, CRegKey& to, CHiveJournal* journal) {
    for (const auto& v : from.Values()) {
        RecordValueChanging(to, v.m_name);
        to.SetValue(v.m_name, v.m_type, v.m_data.data(), v.m_data.size());
        if (journal) journal->SetValue(to, v.m_name, v.m_type, v.m_data.data(), v.m_data.size());
    }
    Touch(to);
    for (const auto& child : from.Subkeys()) {
        bool created;
        KeyPtr dest = to.AddSubkey(child->Name(), created);
        if (created) {
            dest->m_class = child->m_class;
            dest->m_isLink = child->m_isLink;
            if (IRegistryRecorder* recorder = RecorderFor(*dest)) recorder->KeyCreated(RecordedPath(*dest));
            if (journal) journal->CreateKey(*dest);
        }
        CopyTree(*child, *dest, journal);
    }
}

LSTATUS CRegistry::RegCopyTreeW(HKEY key, const char16_t* subKey, HKEY dest) {
    KeyPtr from, to;
    LSTATUS rc = Locate(key, View(subKey), false, false, from, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    rc = KeyFromHandle(dest, KEY_CREATE_SUB_KEY | KEY_SET_VALUE, to);
    if (rc != ERROR_SUCCESS) return rc;
    // Copying a key into its own branch would never end.
    if (from->Contains(to.get())) return ERROR_INVALID_PARAMETER;
    CopyTree(*from, *to, JournalOf(*to));
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::RegEnumKeyExW(HKEY key, DWORD index, char16_t* name, DWORD* nameChars, DWORD*,
                                 char16_t* keyClass, DWORD* classChars, FILETIME* lastWrite) {
    KeyPtr k;
    LSTATUS rc = KeyFromHandle(key, KEY_ENUMERATE_SUB_KEYS, k);
    if (rc != ERROR_SUCCESS) return rc;
    if (index >= k->SubkeyCount()) return ERROR_NO_MORE_ITEMS;
    const CRegKey& child = *k->SubkeyAt(index);
    rc = CopyName(child.Name(), name, nameChars);
    if (rc != ERROR_SUCCESS) return rc;
    if (classChars) {
        std::u16string_view cls =
            child.m_class ? std::u16string_view(*child.m_class) : std::u16string_view();
        if (keyClass) {
            rc = CopyName(cls, keyClass, classChars);
            if (rc != ERROR_SUCCESS) return rc;
        } else {
            *classChars = static_cast<DWORD>(cls.size());
        }
    }
    if (lastWrite) *lastWrite = ToFileTime(child.m_lastWrite);
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::RegQueryInfoKeyW(HKEY key, char16_t* keyClass, DWORD* classChars, DWORD*,
                                    DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* maxClassLen,
                                    DWORD* values, DWORD* maxValueNameLen, DWORD* maxValueLen,
                                    DWORD* securityDescriptor, FILETIME* lastWrite) {
    KeyPtr k;
    LSTATUS rc = KeyFromHandle(key, KEY_QUERY_VALUE, k);
    if (rc != ERROR_SUCCESS) return rc;
    if (classChars) {
        std::u16string_view cls =
            k->m_class ? std::u16string_view(*k->m_class) : std::u16string_view();
        if (keyClass) {
            rc = CopyName(cls, keyClass, classChars);
            if (rc != ERROR_SUCCESS) return rc;
        } else {
            *classChars = static_cast<DWORD>(cls.size());
        }
    }
    size_t maxSub = 0, maxCls = 0, maxName = 0, maxData = 0;
    for (const auto& child : k->Subkeys()) {
        maxSub = std::max(maxSub, child->Name().size());
        if (child->m_class) maxCls = std::max(maxCls, child->m_class->size());
    }
    for (const auto& v : k->Values()) {
        maxName = std::max(maxName, v.m_name.size());
        maxData = std::max(maxData, v.m_data.size());
    }
    if (subKeys) *subKeys = static_cast<DWORD>(k->SubkeyCount());
    if (maxSubKeyLen) *maxSubKeyLen = static_cast<DWORD>(maxSub);
    if (maxClassLen) *maxClassLen = static_cast<DWORD>(maxCls);
    if (values) *values = static_cast<DWORD>(k->ValueCount());
    if (maxValueNameLen) *maxValueNameLen = static_cast<DWORD>(maxName);
    if (maxValueLen) *maxValueLen = static_cast<DWORD>(maxData);
    if (securityDescriptor) *securityDescriptor = 0;
    if (lastWrite) *lastWrite = ToFileTime(k->m_lastWrite);
    return ERROR_SUCCESS;
}

} // namespace cva::reg

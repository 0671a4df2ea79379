#include "platform/registry/HiveJournal.h"

#include "platform/registry/Hive.h"
#include "platform/text/Unicode.h"

#include <algorithm>

namespace cva::reg {

namespace {

CRegKey* Find(CRegKey& root, const std::vector<std::u16string>& path) {
    CRegKey* key = &root;
    for (const auto& name : path) {
        key = key->FindSubkey(text::ToUpper(name)).get();
        if (!key) return nullptr;
    }
    return key;
}

// The key at `path`, made with the keys leading to it when someone else removed them.
CRegKey* Make(CRegKey& root, const std::vector<std::u16string>& path, bool& created) {
    CRegKey* key = &root;
    created = false;
    for (const auto& name : path) {
        key = key->AddSubkey(name, created).get();
        if (created) key->m_lastWrite = CurrentFileTime();
    }
    return key;
}

void Detach(CRegKey& key) {
    if (auto gone = key.Parent()->DetachSubkey(&key)) gone->MarkDeletedTree();
}

} // namespace

CHiveJournal::SChange& CHiveJournal::Add(EKind kind, const CRegKey& key) {
    SChange change{kind, {}, {}, REG_NONE, {}, std::nullopt, false, false};
    const CRegKey* root = key.Hive() ? key.Hive()->Root().get() : nullptr;
    for (const CRegKey* k = &key; k && k != root; k = k->Parent())
        change.m_path.push_back(k->Name());
    std::reverse(change.m_path.begin(), change.m_path.end());
    m_changes.push_back(std::move(change));
    return m_changes.back();
}

void CHiveJournal::CreateKey(const CRegKey& key) {
    SChange& change = Add(EKind::CreateKey, key);
    change.m_class = key.m_class;
    change.m_isLink = key.m_isLink;
    change.m_volatile = key.m_volatile;
}

void CHiveJournal::SetValue(const CRegKey& key, std::u16string_view name, DWORD type,
                            const uint8_t* data, size_t size) {
    SChange& change = Add(EKind::SetValue, key);
    change.m_name.assign(name);
    change.m_type = type;
    change.m_data.assign(data, data + size);
}

void CHiveJournal::DeleteValue(const CRegKey& key, std::u16string_view name) {
    Add(EKind::DeleteValue, key).m_name.assign(name);
}

void CHiveJournal::ClearValues(const CRegKey& key) {
    Add(EKind::ClearValues, key);
}

void CHiveJournal::DeleteKey(const CRegKey& key) {
    Add(EKind::DeleteKey, key);
}

void CHiveJournal::RenameKey(const CRegKey& key, std::u16string_view newName) {
    Add(EKind::RenameKey, key).m_name.assign(newName);
}

void CHiveJournal::ReplaceContent(const CRegKey& key) {
    Add(EKind::EmptyKey, key);
    AddTree(key);
}

void CHiveJournal::AddTree(const CRegKey& key) {
    CreateKey(key);
    for (const auto& v : key.Values())
        SetValue(key, v.m_name, v.m_type, v.m_data.data(), v.m_data.size());
    for (const auto& child : key.Subkeys())
        AddTree(*child);
}

std::vector<std::vector<std::u16string>> CHiveJournal::TouchedKeys() const {
    std::vector<std::vector<std::u16string>> keys;
    for (const SChange& change : m_changes) {
        keys.push_back(change.m_path);
        if (change.m_kind == EKind::RenameKey && !change.m_path.empty()) {
            keys.push_back(change.m_path);
            keys.back().back() = change.m_name;
        }
    }
    return keys;
}

void CHiveJournal::Replay(CRegKey& root) const {
    for (const SChange& change : m_changes) {
        bool created = false;
        switch (change.m_kind) {
        case EKind::CreateKey: {
            CRegKey* key = Make(root, change.m_path, created);
            if (created) {
                key->m_class = change.m_class;
                key->m_isLink = change.m_isLink;
                key->m_volatile = change.m_volatile;
            }
            break;
        }
        case EKind::SetValue: {
            CRegKey* key = Make(root, change.m_path, created);
            key->SetValue(change.m_name, change.m_type, change.m_data.data(), change.m_data.size());
            key->m_lastWrite = CurrentFileTime();
            break;
        }
        case EKind::DeleteValue:
            if (CRegKey* key = Find(root, change.m_path)) key->DeleteValue(change.m_name);
            break;
        case EKind::ClearValues:
            if (CRegKey* key = Find(root, change.m_path)) key->ClearValues();
            break;
        case EKind::DeleteKey: {
            CRegKey* key = Find(root, change.m_path);
            if (!key || key == &root) break;
            key->ClearValues();
            if (key->SubkeyCount() == 0) Detach(*key);
            break;
        }
        case EKind::RenameKey: {
            CRegKey* key = Find(root, change.m_path);
            if (!key || key == &root) break;
            CRegKey* parent = key->Parent();
            auto other = parent->FindSubkey(text::ToUpper(change.m_name));
            if (other && other.get() != key) break;
            auto keep = parent->DetachSubkey(key);
            keep->Rename(change.m_name);
            parent->AttachSubkey(keep);
            break;
        }
        case EKind::EmptyKey:
            if (CRegKey* key = Find(root, change.m_path)) {
                while (key->SubkeyCount() > 0)
                    Detach(*key->SubkeyAt(0));
                key->ClearValues();
            }
            break;
        }
    }
}

} // namespace cva::reg

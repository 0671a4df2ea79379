#include "platform/registry/RegKey.h"

#include "platform/text/Unicode.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace cva::reg {

namespace {

bool SameUpper(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

} // namespace

uint64_t CurrentFileTime() {
    using namespace std::chrono;
    auto now = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
    return kFileTimeUnixEpoch + static_cast<uint64_t>(now / 100);
}

CRegKey::CRegKey(std::u16string name, CRegKey* parent, CHive* hive)
    : m_name(std::move(name)), m_upper(text::ToUpper(m_name)), m_parent(parent), m_hive(hive) {}

void CRegKey::Rename(std::u16string name) {
    m_name = std::move(name);
    m_upper = text::ToUpper(m_name);
}

size_t CRegKey::LowerBound(std::u16string_view upper) const {
    // Hive files list keys nearly in this order, so appending is the common case.
    if (m_subkeys.empty() || m_subkeys.back()->m_upper < upper) return m_subkeys.size();
    auto it = std::lower_bound(
        m_subkeys.begin(), m_subkeys.end(), upper,
        [](const std::shared_ptr<CRegKey>& k, std::u16string_view u) { return k->m_upper < u; });
    return static_cast<size_t>(it - m_subkeys.begin());
}

std::shared_ptr<CRegKey> CRegKey::FindSubkey(std::u16string_view upper) const {
    size_t i = LowerBound(upper);
    if (i < m_subkeys.size() && SameUpper(m_subkeys[i]->m_upper, upper)) return m_subkeys[i];
    return nullptr;
}

std::shared_ptr<CRegKey> CRegKey::AddSubkey(std::u16string_view name, bool& created) {
    std::u16string upper = text::ToUpper(name);
    size_t i = LowerBound(upper);
    if (i < m_subkeys.size() && SameUpper(m_subkeys[i]->m_upper, upper)) {
        created = false;
        return m_subkeys[i];
    }
    auto key = std::make_shared<CRegKey>(std::u16string(name), this, m_hive);
    m_subkeys.insert(m_subkeys.begin() + static_cast<std::ptrdiff_t>(i), key);
    created = true;
    return key;
}

bool CRegKey::AttachSubkey(const std::shared_ptr<CRegKey>& key) {
    size_t i = LowerBound(key->m_upper);
    if (i < m_subkeys.size() && SameUpper(m_subkeys[i]->m_upper, key->m_upper)) return false;
    key->m_parent = this;
    m_subkeys.insert(m_subkeys.begin() + static_cast<std::ptrdiff_t>(i), key);
    return true;
}

std::shared_ptr<CRegKey> CRegKey::DetachSubkey(const CRegKey* child) {
    size_t i = LowerBound(child->m_upper);
    if (i >= m_subkeys.size() || m_subkeys[i].get() != child) return nullptr;
    auto key = m_subkeys[i];
    m_subkeys.erase(m_subkeys.begin() + static_cast<std::ptrdiff_t>(i));
    return key;
}

CRegValue* CRegKey::FindUpper(std::u16string_view upper) {
    for (auto& v : m_values)
        if (SameUpper(v.m_upper, upper)) return &v;
    return nullptr;
}

CRegValue* CRegKey::FindValueMutable(std::u16string_view name) { return FindUpper(text::ToUpper(name)); }

const CRegValue* CRegKey::FindValue(std::u16string_view name) const {
    return const_cast<CRegKey*>(this)->FindValueMutable(name);
}

void CRegKey::SetValue(std::u16string_view name, DWORD type, const uint8_t* data, size_t size) {
    std::u16string upper = text::ToUpper(name);
    CRegValue* v = FindUpper(upper);
    if (!v) {
        m_values.emplace_back();
        v = &m_values.back();
        v->m_name.assign(name);
        v->m_upper = std::move(upper);
    }
    v->m_type = type;
    v->m_data.assign(data, data + size);
}

bool CRegKey::DeleteValue(std::u16string_view name) {
    CRegValue* v = FindValueMutable(name);
    if (!v) return false;
    m_values.erase(m_values.begin() + (v - m_values.data()));
    return true;
}

void CRegKey::MarkDeletedTree() {
    // A deleted key is reached only through handles, which never look upwards; clearing
    // the parent keeps them from touching a parent that may already be gone.
    m_deleted = true;
    m_parent = nullptr;
    for (auto& k : m_subkeys)
        k->MarkDeletedTree();
    m_subkeys.clear();
    m_values.clear();
}

size_t CRegKey::Depth() const {
    size_t d = 0;
    for (const CRegKey* k = m_parent; k; k = k->m_parent)
        ++d;
    return d;
}

bool CRegKey::Contains(const CRegKey* other) const {
    for (const CRegKey* k = other; k; k = k->m_parent)
        if (k == this) return true;
    return false;
}

} // namespace cva::reg

#pragma once

#include "platform/registry/RegTypes.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cva::reg {

class CHive;

// One named value of a key; data kept exactly as Windows stores it.
struct CRegValue {
    std::u16string m_name;
    std::u16string m_upper; // upper-cased name, compared on look-up
    DWORD m_type = REG_NONE;
    std::vector<uint8_t> m_data;
};

// A node of the key tree. Subkeys are kept in a vector sorted by upper-cased name, which
// is Windows' enumeration order and gives binary search; values stay in insertion order.
// Keys are shared so that an open handle keeps a deleted key alive long enough to
// answer ERROR_KEY_DELETED.
class CRegKey {
public:
    CRegKey(std::u16string name, CRegKey* parent, CHive* hive);

    const std::u16string& Name() const { return m_name; }
    const std::u16string& UpperName() const { return m_upper; }
    CRegKey* Parent() const { return m_parent; }
    CHive* Hive() const { return m_hive; }
    void SetHive(CHive* hive) { m_hive = hive; }
    void Rename(std::u16string name);

    // Subkeys. Find takes an upper-cased name.
    std::shared_ptr<CRegKey> FindSubkey(std::u16string_view upper) const;
    // Returns the existing subkey of that name, or a new one (created true).
    std::shared_ptr<CRegKey> AddSubkey(std::u16string_view name, bool& created);
    // Puts a detached key (a mount root) under this key; false when the name is taken.
    bool AttachSubkey(const std::shared_ptr<CRegKey>& key);
    std::shared_ptr<CRegKey> DetachSubkey(const CRegKey* child);
    size_t SubkeyCount() const { return m_subkeys.size(); }
    const std::shared_ptr<CRegKey>& SubkeyAt(size_t i) const { return m_subkeys[i]; }
    const std::vector<std::shared_ptr<CRegKey>>& Subkeys() const { return m_subkeys; }

    // Values.
    const CRegValue* FindValue(std::u16string_view name) const;
    void SetValue(std::u16string_view name, DWORD type, const uint8_t* data, size_t size);
    bool DeleteValue(std::u16string_view name);
    void ClearValues() { m_values.clear(); }
    size_t ValueCount() const { return m_values.size(); }
    const CRegValue& ValueAt(size_t i) const { return m_values[i]; }
    const std::vector<CRegValue>& Values() const { return m_values; }

    // Marks this key and everything below it deleted (handles then fail) and drops
    // the subkeys.
    void MarkDeletedTree();
    bool IsDeleted() const { return m_deleted; }
    // Depth below the top of the whole tree.
    size_t Depth() const;
    // True when `other` is this key or lies below it.
    bool Contains(const CRegKey* other) const;

    uint64_t m_lastWrite = 0;
    std::optional<std::u16string> m_class;
    bool m_isLink = false;
    bool m_volatile = false;

private:
    size_t LowerBound(std::u16string_view upper) const;
    CRegValue* FindValueMutable(std::u16string_view name);
    CRegValue* FindUpper(std::u16string_view upper);

    std::u16string m_name;
    std::u16string m_upper;
    CRegKey* m_parent;
    CHive* m_hive;
    bool m_deleted = false;
    std::vector<std::shared_ptr<CRegKey>> m_subkeys;
    std::vector<CRegValue> m_values;
};

// Current time as a FILETIME count.
uint64_t CurrentFileTime();

} // namespace cva::reg

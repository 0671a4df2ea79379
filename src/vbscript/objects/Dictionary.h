#pragma once

#include "vbscript/Object.h"
#include "vbscript/Variant.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cva::vbs {

// Scripting.Dictionary: an insertion-ordered hash table of Variant keys. Numbers of any
// numeric type are one key space compared by value, strings another (binary or
// case-insensitive after CompareMode), objects are keys by identity.
class CDictionary : public IObject {
public:
    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return u"Dictionary"; }
    Status NewEnum(EnumeratorPtr& out) override;

    size_t Count() const { return m_live; }
    // Adds a new key; 457 when it is there already.
    Status Add(const Variant& key, Variant item);
    // The item of a key, or null.
    Variant* Find(const Variant& key);
    // 32811 when the key is absent.
    Status Remove(const Variant& key);
    void RemoveAll();
    std::vector<Variant> Keys() const;
    std::vector<Variant> Items() const;
    // 5 once items exist; 0 binary, 1 text, 2 database and above (text as well).
    Status SetCompareMode(int32_t mode);
    int32_t GetCompareMode() const { return m_compareMode; }
    // The HashVal number, compatible with the values scripts have always seen.
    Status HashVal(const Variant& key, int32_t& out) const;

private:
    enum class KeyKind : uint8_t { Empty, Null, Number, String, Object };
    struct Entry {
        Variant key;
        Variant item;
        uint32_t hash = 0;
        KeyKind kind = KeyKind::Empty;
        double number = 0;
        bool alive = true;
    };
    struct Probe {
        KeyKind kind = KeyKind::Empty;
        double number = 0;
        uint32_t hash = 0;
    };

    Status Classify(const Variant& key, Probe& out) const;
    bool SameKey(const Entry& e, const Probe& p, const Variant& key) const;
    // Slot of the entry index for the key, or of the empty slot where it would go.
    int64_t FindEntry(const Probe& p, const Variant& key) const;
    Status Insert(const Variant& key, const Probe& p, Variant item, size_t& index);
    void Rehash(size_t slotCount);
    void Compact();
    Status InvokeItem(uint32_t kind, std::span<Variant> args, Variant& result);
    Status InvokeKey(uint32_t kind, std::span<Variant> args);

    std::vector<Entry> m_entries;  // insertion order, with holes left by Remove
    std::vector<int32_t> m_slots;  // open addressing: entry index, kFree or kDeleted
    size_t m_live = 0;
    size_t m_usedSlots = 0;        // slots not free (live and deleted markers)
    int32_t m_compareMode = 0;
};

} // namespace cva::vbs

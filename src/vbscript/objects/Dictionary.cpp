#include "vbscript/objects/Dictionary.h"

#include "platform/text/Unicode.h"
#include "vbscript/Coerce.h"
#include "vbscript/NativeObject.h"
#include "vbscript/objects/ObjectSupport.h"

#include <bit>
#include <cstring>

namespace cva::vbs {

namespace {

enum : DispId {
    kItem = kDispIdValue,
    kAdd = 1,
    kExists,
    kItems,
    kKeys,
    kRemove,
    kRemoveAll,
    kCount,
    kCompareMode,
    kKey,
    kHashVal,
};

constexpr MemberName kMembers[] = {
    {u"Item", kItem},     {u"Add", kAdd},
    {u"Exists", kExists}, {u"Items", kItems},
    {u"Keys", kKeys},     {u"Remove", kRemove},
    {u"RemoveAll", kRemoveAll}, {u"Count", kCount},
    {u"CompareMode", kCompareMode}, {u"Key", kKey},
    {u"HashVal", kHashVal},
};

constexpr int32_t kFree = -1;
constexpr int32_t kDeleted = -2;
constexpr uint32_t kHashValModulus = 1201;

uint32_t MixBits(uint64_t x)
{
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return static_cast<uint32_t>(x);
}

uint32_t StringHash(std::u16string_view s, bool text)
{
    uint32_t h = 2166136261u;
    for (char16_t c : s) {
        if (text)
            c = text::ToUpper(c);
        h = (h ^ c) * 16777619u;
    }
    return h;
}

bool NumericValue(const Variant& v, double& out)
{
    switch (v.Type()) {
    case VarType::Integer: out = v.AsInteger(); return true;
    case VarType::Long: out = v.AsLong(); return true;
    case VarType::Byte: out = v.AsByte(); return true;
    case VarType::Single: out = v.AsSingle(); return true;
    case VarType::Double: out = v.AsDouble(); return true;
    case VarType::Date: out = v.AsDate(); return true;
    case VarType::Currency: out = static_cast<double>(v.AsCurrency()) / 10000.0; return true;
    case VarType::Boolean: out = v.AsBool() ? -1.0 : 0.0; return true;
    default: return false;
    }
}

} // namespace

DispId CDictionary::GetMemberId(std::u16string_view name)
{
    return LookupMember(name, kMembers);
}

Status CDictionary::Classify(const Variant& key, Probe& out) const
{
    double n = 0;
    if (key.IsString()) {
        out.kind = KeyKind::String;
        out.hash = StringHash(key.AsString().View(), m_compareMode != 0);
    } else if (NumericValue(key, n)) {
        if (n == 0)
            n = 0; // one key for +0 and -0
        out.kind = KeyKind::Number;
        out.number = n;
        out.hash = MixBits(std::bit_cast<uint64_t>(n));
    } else if (key.IsObject()) {
        out.kind = KeyKind::Object;
        out.hash = MixBits(reinterpret_cast<uintptr_t>(key.AsObject()));
    } else if (key.IsEmpty()) {
        out.kind = KeyKind::Empty;
        out.hash = 1;
    } else if (key.IsNull()) {
        out.kind = KeyKind::Null;
        out.hash = 2;
    } else {
        return Status(kErrTypeMismatch); // arrays and error values cannot be keys
    }
    return Status::Ok();
}

bool CDictionary::SameKey(const Entry& e, const Probe& p, const Variant& key) const
{
    if (e.kind != p.kind || e.hash != p.hash)
        return false;
    switch (p.kind) {
    case KeyKind::Number: return e.number == p.number;
    case KeyKind::String:
        return m_compareMode != 0 ? text::EqualsNoCase(e.key.AsString().View(), key.AsString().View())
                                  : e.key.AsString().View() == key.AsString().View();
    case KeyKind::Object: return e.key.AsObject() == key.AsObject();
    default: return true;
    }
}

int64_t CDictionary::FindEntry(const Probe& p, const Variant& key) const
{
    if (m_slots.empty())
        return -1;
    size_t mask = m_slots.size() - 1;
    size_t i = p.hash & mask;
    int64_t firstDeleted = -1;
    for (;;) {
        int32_t s = m_slots[i];
        if (s == kFree)
            return firstDeleted >= 0 ? firstDeleted : static_cast<int64_t>(i);
        if (s == kDeleted) {
            if (firstDeleted < 0)
                firstDeleted = static_cast<int64_t>(i);
        } else if (SameKey(m_entries[static_cast<size_t>(s)], p, key)) {
            return static_cast<int64_t>(i);
        }
        i = (i + 1) & mask;
    }
}

void CDictionary::Rehash(size_t slotCount)
{
    m_slots.assign(slotCount, kFree);
    m_usedSlots = 0;
    size_t mask = slotCount - 1;
    for (size_t idx = 0; idx < m_entries.size(); ++idx) {
        if (!m_entries[idx].alive)
            continue;
        size_t i = m_entries[idx].hash & mask;
        while (m_slots[i] != kFree)
            i = (i + 1) & mask;
        m_slots[i] = static_cast<int32_t>(idx);
        ++m_usedSlots;
    }
}

void CDictionary::Compact()
{
    size_t out = 0;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (!m_entries[i].alive)
            continue;
        if (out != i)
            m_entries[out] = std::move(m_entries[i]);
        ++out;
    }
    m_entries.resize(out);
    Rehash(m_slots.size());
}

Status CDictionary::Insert(const Variant& key, const Probe& p, Variant item, size_t& index)
{
    // Keep at most half the slots in use so probe runs stay short.
    if ((m_usedSlots + 1) * 2 > m_slots.size()) {
        size_t want = 16;
        while (want < (m_live + 1) * 4)
            want *= 2;
        Rehash(want);
    }
    int64_t slot = FindEntry(p, key);
    if (m_slots[static_cast<size_t>(slot)] >= 0)
        return Status(kErrKeyExists);
    if (m_slots[static_cast<size_t>(slot)] == kFree)
        ++m_usedSlots;
    Entry e;
    e.key = key;
    e.item = std::move(item);
    e.hash = p.hash;
    e.kind = p.kind;
    e.number = p.number;
    index = m_entries.size();
    m_entries.push_back(std::move(e));
    m_slots[static_cast<size_t>(slot)] = static_cast<int32_t>(index);
    ++m_live;
    return Status::Ok();
}

Status CDictionary::Add(const Variant& key, Variant item)
{
    Probe p;
    Status st = Classify(key, p);
    if (st.Failed())
        return st;
    size_t index = 0;
    return Insert(key, p, std::move(item), index);
}

Variant* CDictionary::Find(const Variant& key)
{
    Probe p;
    if (Classify(key, p).Failed())
        return nullptr;
    int64_t slot = FindEntry(p, key);
    if (slot < 0 || m_slots[static_cast<size_t>(slot)] < 0)
        return nullptr;
    return &m_entries[static_cast<size_t>(m_slots[static_cast<size_t>(slot)])].item;
}

Status CDictionary::Remove(const Variant& key)
{
    Probe p;
    Status st = Classify(key, p);
    if (st.Failed())
        return st;
    int64_t slot = FindEntry(p, key);
    if (slot < 0 || m_slots[static_cast<size_t>(slot)] < 0)
        return Status(32811);
    Entry& e = m_entries[static_cast<size_t>(m_slots[static_cast<size_t>(slot)])];
    // The old key and item die only when the table is consistent again: releasing an
    // object can run script code (Class_Terminate) that uses this dictionary.
    Variant oldKey = std::move(e.key);
    Variant oldItem = std::move(e.item);
    e.alive = false;
    m_slots[static_cast<size_t>(slot)] = kDeleted;
    --m_live;
    if (m_entries.size() > 32 && m_entries.size() - m_live > m_live)
        Compact();
    return Status::Ok();
}

void CDictionary::RemoveAll()
{
    // Entries are released after the table is consistent: an item's terminate code
    // may look at this dictionary again.
    std::vector<Entry> old;
    old.swap(m_entries);
    m_slots.clear();
    m_live = 0;
    m_usedSlots = 0;
}

std::vector<Variant> CDictionary::Keys() const
{
    std::vector<Variant> out;
    out.reserve(m_live);
    for (const Entry& e : m_entries)
        if (e.alive)
            out.push_back(e.key);
    return out;
}

std::vector<Variant> CDictionary::Items() const
{
    std::vector<Variant> out;
    out.reserve(m_live);
    for (const Entry& e : m_entries)
        if (e.alive)
            out.push_back(e.item);
    return out;
}

Status CDictionary::SetCompareMode(int32_t mode)
{
    // Values above 2 name a locale's text comparison; all compare as text here.
    if (mode < 0 || m_live != 0)
        return Status(kErrInvalidCall);
    m_compareMode = mode;
    m_entries.clear();
    m_slots.clear();
    m_usedSlots = 0;
    return Status::Ok();
}

Status CDictionary::HashVal(const Variant& key, int32_t& out) const
{
    double n = 0;
    uint32_t h = 0;
    if (key.IsString()) {
        for (char16_t c : key.AsString().View()) {
            if (m_compareMode != 0)
                c = text::ToLower(c);
            h += (h << 4) + c;
        }
    } else if (NumericValue(key, n)) {
        h = std::bit_cast<uint32_t>(static_cast<float>(n));
    } else if (key.IsObject()) {
        h = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(key.AsObject()) >> 4);
    } else if (!key.IsEmpty() && !key.IsNull()) {
        return Status(kErrTypeMismatch);
    }
    out = static_cast<int32_t>(h % kHashValModulus);
    return Status::Ok();
}

Status CDictionary::NewEnum(EnumeratorPtr& out)
{
    out = std::make_unique<obj::CSnapshotEnumerator>(Keys());
    return Status::Ok();
}

Status CDictionary::InvokeItem(uint32_t kind, std::span<Variant> args, Variant& result)
{
    if (IsAssignment(kind)) {
        Status st = ExpectArgs(args, 2, 2);
        if (st.Failed())
            return st;
        Variant value = std::move(args[1]);
        if ((kind & kPropertySet) == 0 && value.IsObject()) {
            Variant plain;
            st = GetValue(value, plain);
            if (st.Failed())
                return st;
            value = std::move(plain);
        }
        if (Variant* item = Find(args[0])) {
            item->Swap(value); // the old item is released after the table is updated
            return Status::Ok();
        }
        return Add(args[0], std::move(value));
    }
    Status st = ExpectArgs(args, 1, 1);
    if (st.Failed())
        return st;
    if (Variant* item = Find(args[0])) {
        result = *item;
        return Status::Ok();
    }
    // Reading an absent key creates it, empty: scripts rely on d(k) = d(k) + 1.
    Probe p;
    st = Classify(args[0], p);
    if (st.Failed())
        return st;
    size_t index = 0;
    st = Insert(args[0], p, Variant(), index);
    result.Clear();
    return st;
}

Status CDictionary::InvokeKey(uint32_t kind, std::span<Variant> args)
{
    if (!IsAssignment(kind))
        return Status(kErrNoSuchMember); // Key can only be written
    Status st = ExpectArgs(args, 2, 2);
    if (st.Failed())
        return st;
    Probe oldProbe;
    Probe newProbe;
    if ((st = Classify(args[0], oldProbe)).Failed() || (st = Classify(args[1], newProbe)).Failed())
        return st;
    int64_t oldSlot = FindEntry(oldProbe, args[0]);
    if (oldSlot < 0 || m_slots[static_cast<size_t>(oldSlot)] < 0)
        return Status(32811);
    int64_t newSlot = FindEntry(newProbe, args[1]);
    if (newSlot == oldSlot) {
        // The same key in text mode, spelt differently: only the spelling changes.
        Variant oldKey = std::move(m_entries[static_cast<size_t>(m_slots[static_cast<size_t>(oldSlot)])].key);
        m_entries[static_cast<size_t>(m_slots[static_cast<size_t>(oldSlot)])].key = std::move(args[1]);
        return Status::Ok();
    }
    if (m_slots[static_cast<size_t>(newSlot)] >= 0)
        return Status(kErrKeyExists);
    auto index = m_slots[static_cast<size_t>(oldSlot)];
    m_slots[static_cast<size_t>(oldSlot)] = kDeleted;
    // Look again: the freed slot may be the better place for the new key.
    newSlot = FindEntry(newProbe, args[1]);
    if (m_slots[static_cast<size_t>(newSlot)] == kFree)
        ++m_usedSlots;
    m_slots[static_cast<size_t>(newSlot)] = index;
    Entry& e = m_entries[static_cast<size_t>(index)];
    Variant oldKey = std::move(e.key); // released last, see Remove
    e.key = std::move(args[1]);
    e.hash = newProbe.hash;
    e.kind = newProbe.kind;
    e.number = newProbe.number;
    if ((m_usedSlots + 1) * 2 > m_slots.size())
        Rehash(m_slots.size() * 2);
    return Status::Ok();
}

Status CDictionary::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    Status st;
    switch (id) {
    case kItem: return InvokeItem(kind, args, result);
    case kKey: return InvokeKey(kind, args);
    case kAdd:
        if ((st = ExpectArgs(args, 2, 2)).Failed())
            return st;
        return Add(args[0], std::move(args[1]));
    case kExists:
        if ((st = ExpectArgs(args, 1, 1)).Failed())
            return st;
        {
            Probe p;
            if ((st = Classify(args[0], p)).Failed())
                return st;
        }
        result = Variant(Find(args[0]) != nullptr);
        return Status::Ok();
    case kItems:
    case kKeys:
        if ((st = ExpectArgs(args, 0, 0)).Failed() || (st = obj::ReadOnly(kind)).Failed())
            return st;
        result = obj::MakeArray(id == kKeys ? Keys() : Items());
        return Status::Ok();
    case kRemove:
        if ((st = ExpectArgs(args, 1, 1)).Failed())
            return st;
        return Remove(args[0]);
    case kRemoveAll:
        if ((st = ExpectArgs(args, 0, 0)).Failed())
            return st;
        RemoveAll();
        return Status::Ok();
    case kCount:
        if ((st = ExpectArgs(args, 0, 0)).Failed() || (st = obj::ReadOnly(kind)).Failed())
            return st;
        result = Variant(static_cast<int32_t>(m_live));
        return Status::Ok();
    case kCompareMode:
        if (IsAssignment(kind)) {
            if ((st = ExpectArgs(args, 1, 1)).Failed())
                return st;
            int32_t mode = 0;
            if ((st = ToLong(args[0], mode)).Failed())
                return st;
            return SetCompareMode(mode);
        }
        if ((st = ExpectArgs(args, 0, 0)).Failed())
            return st;
        result = Variant(m_compareMode);
        return Status::Ok();
    case kHashVal: {
        if ((st = ExpectArgs(args, 1, 1)).Failed())
            return st;
        int32_t h = 0;
        if ((st = HashVal(args[0], h)).Failed())
            return st;
        result = Variant(h);
        return Status::Ok();
    }
    default: return Status(kErrNoSuchMember);
    }
}

} // namespace cva::vbs

#include "vbscript/SafeArray.h"

#include "vbscript/MemoryBudget.h"

namespace cva::vbs {

namespace {

size_t ElementCount(std::span<const ArrayBound> bounds)
{
    size_t n = 1;
    for (const auto& b : bounds) {
        if (b.upper < b.lower)
            return 0;
        n *= static_cast<size_t>(static_cast<int64_t>(b.upper) - b.lower + 1);
    }
    return bounds.empty() ? 0 : n;
}

} // namespace

Status SafeArray::CheckSize(std::span<const ArrayBound> bounds)
{
    uint64_t n = 1;
    for (const auto& b : bounds) {
        if (b.upper < b.lower)
            return Status::Ok();
        n *= static_cast<uint64_t>(static_cast<int64_t>(b.upper) - b.lower + 1);
        if (n > kMaxElements)
            return Status(kErrOutOfMemory);
    }
    if (n * sizeof(Variant) > CMemoryBudget::Available())
        return Status(kErrOutOfMemory);
    return Status::Ok();
}

SafeArray::~SafeArray()
{
    CMemoryBudget::Give(m_counted);
}

void SafeArray::Recount()
{
    const size_t now = m_items.size() * sizeof(Variant);
    CMemoryBudget::Force(now);
    CMemoryBudget::Give(m_counted);
    m_counted = now;
}

Ref<SafeArray> SafeArray::Create(std::span<const ArrayBound> bounds, VarType elementType)
{
    auto a = Ref<SafeArray>::Adopt(new SafeArray());
    a->m_elementType = elementType;
    a->m_bounds.assign(bounds.begin(), bounds.end());
    a->m_items.resize(ElementCount(bounds));
    if (elementType == VarType::String)
        for (auto& v : a->m_items)
            v = Variant(VString(u""));
    a->Recount();
    return a;
}

Ref<SafeArray> SafeArray::CreateVector(std::vector<Variant> items, VarType elementType)
{
    auto a = Ref<SafeArray>::Adopt(new SafeArray());
    a->m_elementType = elementType;
    a->m_bounds.push_back({0, static_cast<int32_t>(items.size()) - 1});
    a->m_items = std::move(items);
    a->Recount();
    return a;
}

void SafeArray::Destroy()
{
    // Arrays nested in arrays are freed one after another, never recursively.
    thread_local bool destroying = false;
    thread_local std::vector<SafeArray*> pending;
    if (destroying) {
        pending.push_back(this);
        return;
    }
    destroying = true;
    delete this;
    while (!pending.empty()) {
        SafeArray* next = pending.back();
        pending.pop_back();
        delete next;
    }
    destroying = false;
}

Variant* SafeArray::At(std::span<const int32_t> indexes)
{
    if (indexes.size() != m_bounds.size())
        return nullptr;
    size_t pos = 0;
    size_t stride = 1;
    for (size_t d = 0; d < indexes.size(); ++d) {
        const ArrayBound& b = m_bounds[d];
        if (indexes[d] < b.lower || indexes[d] > b.upper)
            return nullptr;
        pos += static_cast<size_t>(indexes[d] - b.lower) * stride;
        stride *= static_cast<size_t>(static_cast<int64_t>(b.upper) - b.lower + 1);
    }
    return &m_items[pos];
}

const Variant* SafeArray::At(std::span<const int32_t> indexes) const
{
    return const_cast<SafeArray*>(this)->At(indexes);
}

Status SafeArray::Redim(std::span<const ArrayBound> bounds, bool preserve)
{
    if (m_fixed || m_locks)
        return Status(kErrArrayLocked);
    size_t count = 0;
    {
        uint64_t n = 1;
        for (const auto& b : bounds) {
            if (b.upper < b.lower - 1)
                return Status(kErrSubscript);
            n *= static_cast<uint64_t>(static_cast<int64_t>(b.upper) - b.lower + 1);
            if (n > SafeArray::kMaxElements)
                return Status(kErrOutOfMemory);
        }
        count = bounds.empty() ? 0 : static_cast<size_t>(n);
    }
    // What the array holds now is given back as it is replaced.
    if (count > m_items.size() &&
        (count - m_items.size()) * sizeof(Variant) > CMemoryBudget::Available())
        return Status(kErrOutOfMemory);
    if (!preserve || m_bounds.empty()) {
        m_bounds.assign(bounds.begin(), bounds.end());
        m_items.clear();
        m_items.resize(count);
        Recount();
        return Status::Ok();
    }
    if (bounds.size() != m_bounds.size())
        return Status(kErrSubscript);
    for (size_t d = 0; d + 1 < bounds.size(); ++d)
        if (bounds[d].lower != m_bounds[d].lower || bounds[d].upper != m_bounds[d].upper)
            return Status(kErrSubscript);
    if (bounds.back().lower != m_bounds.back().lower)
        return Status(kErrSubscript);
    // Column-major storage: the last dimension is outermost, so changing only its upper
    // bound keeps every surviving element at its position.
    m_bounds.back().upper = bounds.back().upper;
    m_items.resize(count);
    Recount();
    return Status::Ok();
}

void SafeArray::Clear()
{
    m_bounds.clear();
    m_items.clear();
    Recount();
}

Ref<SafeArray> SafeArray::Clone() const
{
    auto a = Ref<SafeArray>::Adopt(new SafeArray());
    a->m_elementType = m_elementType;
    a->m_fixed = m_fixed;
    a->m_bounds = m_bounds;
    a->m_items = m_items;
    a->Recount();
    return a;
}

} // namespace cva::vbs

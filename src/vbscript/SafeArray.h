#pragma once

#include "vbscript/Object.h"
#include "vbscript/Status.h"
#include "vbscript/Variant.h"

#include <cstdint>
#include <span>
#include <vector>

namespace cva::vbs {

struct ArrayBound {
    int32_t lower = 0;
    int32_t upper = -1; // upper < lower: an empty dimension (ReDim a(-1), Array())
};

// A script array: one or more dimensions with bounds, elements stored as Variants in
// column-major order like a SAFEARRAY. Shared by reference count; a Variant that holds
// an array behaves as a value (assignment copies) because writers go through
// Variant::MutableArray, which copies a shared array first.
class SafeArray {
public:
    // Most elements one array may hold; larger ReDims raise 7 Out of memory.
    static constexpr uint64_t kMaxElements = uint64_t{1} << 25;

    // Element type VarType reports (vbArray + this): Variant for script arrays, String
    // for the result of Split, Byte for binary data.
    static Ref<SafeArray> Create(std::span<const ArrayBound> bounds,
                                 VarType elementType = VarType::Variant);
    static Ref<SafeArray> CreateVector(std::vector<Variant> items,
                                       VarType elementType = VarType::Variant);
    // 7 Out of memory when an array of these bounds would pass kMaxElements or what is
    // left of the memory budget (MemoryBudget.h); check before Create.
    static Status CheckSize(std::span<const ArrayBound> bounds);

    void AddRef() { ++m_refs; }
    void Release()
    {
        if (--m_refs == 0)
            Destroy();
    }
    uint32_t RefCount() const { return m_refs; }

    uint32_t Dims() const { return static_cast<uint32_t>(m_bounds.size()); }
    // dim is 1-based as LBound/UBound take it.
    int32_t LBound(uint32_t dim) const { return m_bounds[dim - 1].lower; }
    int32_t UBound(uint32_t dim) const { return m_bounds[dim - 1].upper; }
    const std::vector<ArrayBound>& Bounds() const { return m_bounds; }
    size_t Count() const { return m_items.size(); }
    VarType ElementType() const { return m_elementType; }

    // Element by indexes (one per dimension); null when the count or a bound is wrong.
    Variant* At(std::span<const int32_t> indexes);
    const Variant* At(std::span<const int32_t> indexes) const;
    // Element by flat position (0 .. Count()-1), in storage order.
    Variant& Item(size_t i) { return m_items[i]; }
    const Variant& Item(size_t i) const { return m_items[i]; }
    std::vector<Variant>& Items() { return m_items; }

    // ReDim: new bounds; Preserve keeps the elements and may only change the last
    // dimension's upper bound (9 otherwise). 10 when fixed or locked.
    Status Redim(std::span<const ArrayBound> bounds, bool preserve);
    // Erase of a dynamic array: no dimensions left.
    void Clear();

    // A fixed array (declared with its size) cannot be re-dimensioned.
    bool IsFixed() const { return m_fixed; }
    void SetFixed(bool fixed) { m_fixed = fixed; }
    // Locked while For Each walks it or an element is passed by reference.
    bool IsLocked() const { return m_locks != 0; }
    void Lock() { ++m_locks; }
    void Unlock() { --m_locks; }

    Ref<SafeArray> Clone() const;

private:
    SafeArray() = default;
    ~SafeArray();
    void Destroy();
    // Brings the memory budget in line with the elements held now.
    void Recount();

    uint32_t m_refs = 1;
    uint32_t m_locks = 0;
    bool m_fixed = false;
    VarType m_elementType = VarType::Variant;
    std::vector<ArrayBound> m_bounds;
    std::vector<Variant> m_items;
    size_t m_counted = 0; // bytes of m_items in the memory budget
};

} // namespace cva::vbs

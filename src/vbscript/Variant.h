#pragma once

#include "vbscript/Object.h"
#include "vbscript/VString.h"

#include <cstdint>
#include <new>
#include <string_view>

namespace cva::vbs {

class SafeArray;

// The numbers VarType returns.
enum class VarType : uint16_t {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Object = 9,
    Error = 10,
    Boolean = 11,
    Variant = 12,
    DataObject = 13,
    Decimal = 14,
    Byte = 17,
    Array = 0x2000, // combined with the element type in VarTypeNumber()
};

// A script value: a 16-byte tagged union. Strings, objects and arrays are held by
// reference count; copying a Variant that holds an array shares it until someone
// writes (MutableArray), which gives arrays their value semantics cheaply.
class Variant {
public:
    Variant() : m_i64(0) {}
    explicit Variant(bool b) : m_type(VarType::Boolean), m_i64(b ? -1 : 0) {}
    explicit Variant(int32_t v) : m_type(VarType::Long), m_i64(v) {}
    explicit Variant(double v) : m_type(VarType::Double), m_r8(v) {}
    explicit Variant(VString s) : m_type(VarType::String), m_heap(true), m_str(std::move(s)) {}
    explicit Variant(std::u16string_view s) : Variant(VString(s)) {}
    explicit Variant(const char16_t* s) : Variant(VString(s)) {}
    // An Object variant; a null reference is Nothing.
    explicit Variant(ObjectRef o) : m_type(VarType::Object), m_heap(true), m_obj(o.Detach()) {}
    explicit Variant(Ref<SafeArray> a);

    static Variant Null() { return Variant(VarType::Null, 0); }
    static Variant Nothing() { return Variant(ObjectRef()); }
    static Variant FromInteger(int16_t v) { return Variant(VarType::Integer, v); }
    static Variant FromByte(uint8_t v) { return Variant(VarType::Byte, v); }
    static Variant FromSingle(float v);
    static Variant FromCurrency(int64_t scaledBy10000) { return Variant(VarType::Currency, scaledBy10000); }
    static Variant FromDate(double oleDate);
    static Variant FromError(int32_t scode) { return Variant(VarType::Error, scode); }

    Variant(const Variant& o) : m_type(o.m_type), m_heap(o.m_heap), m_i64(o.m_i64)
    {
        if (m_heap)
            CopyHeap(o);
    }
    Variant(Variant&& o) noexcept : m_type(o.m_type), m_heap(o.m_heap), m_i64(o.m_i64)
    {
        o.m_type = VarType::Empty;
        o.m_heap = false;
        o.m_i64 = 0;
    }
    Variant& operator=(const Variant& o)
    {
        if (this != &o) {
            Variant tmp(o);
            Swap(tmp);
        }
        return *this;
    }
    Variant& operator=(Variant&& o) noexcept
    {
        if (this != &o) {
            Variant tmp(std::move(o));
            Swap(tmp);
        }
        return *this;
    }
    ~Variant()
    {
        if (m_heap)
            ReleaseHeap();
    }
    void Swap(Variant& o) noexcept
    {
        // The payload of every kind is trivially relocatable (a pointer or a scalar).
        std::swap(m_type, o.m_type);
        std::swap(m_heap, o.m_heap);
        std::swap(m_i64, o.m_i64);
    }

    // The tag; for arrays VarType::Array.
    VarType Type() const { return m_type; }
    // What the VarType function reports: for arrays 0x2000 plus the element type.
    int32_t VarTypeNumber() const;

    bool IsEmpty() const { return m_type == VarType::Empty; }
    bool IsNull() const { return m_type == VarType::Null; }
    bool IsString() const { return m_type == VarType::String; }
    bool IsObject() const { return m_type == VarType::Object; }
    bool IsNothing() const { return m_type == VarType::Object && m_obj == nullptr; }
    bool IsArray() const { return m_type == VarType::Array; }
    // Integer, Long, Byte, Single, Double, Currency, Boolean (not Date, not String).
    bool IsNumberType() const;

    // Raw payloads; valid only for the matching tag.
    bool AsBool() const { return m_i2 != 0; }
    int16_t AsInteger() const { return m_i2; }
    int32_t AsLong() const { return m_i4; }
    uint8_t AsByte() const { return m_u1; }
    float AsSingle() const { return m_r4; }
    double AsDouble() const { return m_r8; }
    int64_t AsCurrency() const { return m_i64; }
    double AsDate() const { return m_r8; }
    int32_t AsError() const { return m_i4; }
    const VString& AsString() const { return m_str; }
    // Moves the string out (the variant becomes Empty); only for String variants.
    VString TakeString();
    IObject* AsObject() const { return m_obj; } // null for Nothing
    ObjectRef ObjectReference() const { return ObjectRef::Share(m_obj); }
    const SafeArray* AsArray() const { return m_arr; }
    SafeArray* SharedArray() const { return m_arr; }
    // The array for writing: copied first when another variant shares it.
    SafeArray* MutableArray();

    void Clear()
    {
        Variant tmp;
        Swap(tmp);
    }

private:
    Variant(VarType t, int64_t raw) : m_type(t), m_i64(raw) {}
    void CopyHeap(const Variant& o);
    void ReleaseHeap();

    VarType m_type = VarType::Empty;
    bool m_heap = false; // holds a reference that must be released
    union {
        int16_t m_i2;
        int32_t m_i4;
        uint8_t m_u1;
        float m_r4;
        double m_r8;
        int64_t m_i64;
        VString m_str;
        IObject* m_obj;
        SafeArray* m_arr;
    };
};

static_assert(sizeof(Variant) == 16, "a Variant is meant to be two words");

} // namespace cva::vbs

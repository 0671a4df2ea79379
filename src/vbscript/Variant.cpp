#include "vbscript/Variant.h"

#include "vbscript/SafeArray.h"

namespace cva::vbs {

Variant::Variant(Ref<SafeArray> a) : m_type(VarType::Array), m_heap(true), m_arr(a.Detach())
{
    if (!m_arr) {
        m_type = VarType::Empty;
        m_heap = false;
        m_i64 = 0;
    }
}

Variant Variant::FromSingle(float v)
{
    Variant r;
    r.m_type = VarType::Single;
    r.m_r4 = v;
    return r;
}

Variant Variant::FromDate(double oleDate)
{
    Variant r;
    r.m_type = VarType::Date;
    r.m_r8 = oleDate;
    return r;
}

void Variant::CopyHeap(const Variant& o)
{
    switch (m_type) {
    case VarType::String:
        new (&m_str) VString(o.m_str);
        break;
    case VarType::Object:
        if (m_obj)
            m_obj->AddRef();
        break;
    case VarType::Array:
        // A locked array has elements handed out by reference; sharing it would let
        // writes through those references show in the copy.
        if (m_arr->IsLocked())
            m_arr = m_arr->Clone().Detach();
        else
            m_arr->AddRef();
        break;
    default:
        break;
    }
}

void Variant::ReleaseHeap()
{
    switch (m_type) {
    case VarType::String:
        m_str.~VString();
        break;
    case VarType::Object:
        if (m_obj)
            m_obj->Release();
        break;
    case VarType::Array:
        m_arr->Release();
        break;
    default:
        break;
    }
    m_heap = false;
}

VString Variant::TakeString()
{
    VString s(std::move(m_str));
    m_str.~VString();
    m_type = VarType::Empty;
    m_heap = false;
    m_i64 = 0;
    return s;
}

SafeArray* Variant::MutableArray()
{
    if (m_type != VarType::Array)
        return nullptr;
    if (m_arr->RefCount() > 1) {
        SafeArray* copy = m_arr->Clone().Detach();
        m_arr->Release();
        m_arr = copy;
    }
    return m_arr;
}

int32_t Variant::VarTypeNumber() const
{
    if (m_type == VarType::Array)
        return 0x2000 | static_cast<int32_t>(m_arr->ElementType());
    return static_cast<int32_t>(m_type);
}

bool Variant::IsNumberType() const
{
    switch (m_type) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Boolean:
        return true;
    default:
        return false;
    }
}

} // namespace cva::vbs

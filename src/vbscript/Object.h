#pragma once

#include "vbscript/Status.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace cva::vbs {

class Variant;

// Member identifiers, as in automation dispatch.
using DispId = int32_t;
constexpr DispId kDispIdValue = 0;    // the default member
constexpr DispId kDispIdUnknown = -1; // GetMemberId's answer for a name it does not know
constexpr DispId kDispIdNewEnum = -4;

// How a member is reached; a bit set like the automation flags. A read in an
// expression (`x = o.Name`, `o.Item(1)`) comes as kMethod | kPropertyGet; a call
// statement (`o.Add k, v`) as kMethod; `o.Name = v` as kPropertyLet; `Set o.Name = v`
// as kPropertySet.
enum InvokeKind : uint32_t {
    kMethod = 1,
    kPropertyGet = 2,
    kPropertyLet = 4,
    kPropertySet = 8,
};

// For Each over a collection: one value per call to Next, false at the end.
class IEnumerator {
public:
    virtual ~IEnumerator() = default;
    virtual bool Next(Variant& out) = 0;
};
using EnumeratorPtr = std::unique_ptr<IEnumerator>;

// An object the script can hold: native objects (Dictionary, FileSystemObject, ...),
// instances of script classes and host-supplied objects all implement this. The count
// of references is intrusive; single-threaded like the script engine.
//
// Invoke receives the arguments in script order (args[0] is the first one written).
// For kPropertyLet and kPropertySet the assigned value is the last element of args.
// The callee may move values out of args. Errors come back as a Status (for example
// 438 for a member that does not support the kind of access, 450 for a wrong count).
class IObject {
public:
    IObject() = default;
    IObject(const IObject&) = delete;
    IObject& operator=(const IObject&) = delete;

    void AddRef() { ++m_refs; }
    void Release()
    {
        if (--m_refs == 0)
            FinalRelease();
    }
    uint32_t RefCount() const { return m_refs; }

    // Case-insensitive member lookup; kDispIdUnknown when there is no such member.
    virtual DispId GetMemberId(std::u16string_view name) = 0;
    virtual Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) = 0;
    // What TypeName shows ("Dictionary", "IFileSystem3", a class name).
    virtual std::u16string TypeName() const = 0;
    // For Each support; the default says "Object not a collection".
    virtual Status NewEnum(EnumeratorPtr& out);

protected:
    virtual ~IObject() = default;
    // Called when the last reference goes; script classes run Class_Terminate here.
    // The default deletes the object; see DeleteObject.
    virtual void FinalRelease() { DeleteObject(this); }
    // Deletes an object whose count reached zero. Objects released while another one is
    // being deleted (a long chain of linked objects) wait in a queue and are deleted one
    // after another, so freeing a chain of any length never nests deeply.
    static void DeleteObject(IObject* object);

private:
    uint32_t m_refs = 1;
};

// Owning reference to an object (or to nothing).
template <class T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {} // NOLINT
    // Takes over a reference the caller already holds.
    static Ref Adopt(T* p)
    {
        Ref r;
        r.m_p = p;
        return r;
    }
    // Adds a reference of its own.
    static Ref Share(T* p)
    {
        if (p)
            p->AddRef();
        return Adopt(p);
    }
    Ref(const Ref& o) : m_p(o.m_p)
    {
        if (m_p)
            m_p->AddRef();
    }
    Ref(Ref&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    template <class U>
    Ref(Ref<U>&& o) noexcept : m_p(o.Detach()) {} // NOLINT: upcast
    template <class U>
    Ref(const Ref<U>& o) : m_p(o.Get()) // NOLINT: upcast
    {
        if (m_p)
            m_p->AddRef();
    }
    Ref& operator=(Ref o) noexcept
    {
        std::swap(m_p, o.m_p);
        return *this;
    }
    ~Ref()
    {
        if (m_p)
            m_p->Release();
    }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    T* Detach() { return std::exchange(m_p, nullptr); }

private:
    T* m_p = nullptr;
};

using ObjectRef = Ref<IObject>;

// Creates a reference-counted object; the count starts at one, owned by the Ref.
template <class T, class... A>
Ref<T> MakeObject(A&&... args)
{
    return Ref<T>::Adopt(new T(std::forward<A>(args)...));
}

} // namespace cva::vbs

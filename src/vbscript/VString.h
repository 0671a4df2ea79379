#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cva::vbs {

// The script's string: a reference-counted UTF-16 buffer. Copies share the buffer;
// Append writes in place when this is the only holder, so `s = s & x` in a loop stays
// linear. A default-constructed string is the null string, which reads as "".
class VString {
public:
    // Longest string the engine builds; longer results raise 7 Out of memory.
    static constexpr size_t kMaxLength = size_t{1} << 28;

    VString() = default;
    VString(std::u16string_view text); // NOLINT: strings convert freely
    VString(const char16_t* text) : VString(std::u16string_view(text)) {} // NOLINT
    VString(const VString& other);
    VString(VString&& other) noexcept : m_data(other.m_data) { other.m_data = nullptr; }
    VString& operator=(const VString& other);
    VString& operator=(VString&& other) noexcept;
    ~VString();

    static VString FromUtf8(std::string_view utf8);
    static VString FromAscii(std::string_view ascii);
    // A string of `length` units, all zero, ready to be filled through MutableData().
    // Returns the null string (and false) when length exceeds kMaxLength.
    static bool Allocate(size_t length, VString& out);

    // Strings built byte by byte (ChrB, LeftB, MidB) may end in half a character, as a
    // BSTR of odd byte length does: Size() does not count that trailing byte, ByteSize(),
    // the byte functions and concatenation keep it.
    static VString FromBytes(const uint8_t* bytes, size_t count);
    size_t ByteSize() const { return Size() * 2 + (HasTrailByte() ? 1 : 0); }
    bool HasTrailByte() const { return m_data && m_data->hasTrail; }
    // Byte i of the UTF-16LE text (i < ByteSize()).
    uint8_t ByteAt(size_t i) const;

    size_t Size() const { return m_data ? m_data->length : 0; }
    bool Empty() const { return ByteSize() == 0; }
    bool IsNull() const { return m_data == nullptr; }
    const char16_t* Data() const { return m_data ? m_data->text : u""; }
    std::u16string_view View() const { return {Data(), Size()}; }
    std::u16string Str() const { return std::u16string(View()); }
    std::string ToUtf8() const;
    char16_t operator[](size_t i) const { return m_data->text[i]; }

    // Writable buffer; makes the string unique first. Only valid when not null.
    char16_t* MutableData();

    // Appends in place (unshared) or into a new buffer. False when the result would
    // exceed kMaxLength; the string is then unchanged.
    bool Append(std::u16string_view text);
    // Appends another script string byte for byte, trailing byte included.
    bool Append(const VString& other);
    bool Append(const char16_t* text) { return Append(std::u16string_view(text)); }
    bool Append(char16_t c) { return Append(std::u16string_view(&c, 1)); }
    void Clear();
    void Reserve(size_t capacity);

    bool operator==(const VString& other) const
    {
        return View() == other.View() && ByteSize() == other.ByteSize() &&
               (!HasTrailByte() || m_data->trail == other.m_data->trail);
    }
    bool operator==(std::u16string_view other) const { return View() == other; }

    uint32_t RefCount() const { return m_data ? m_data->refs : 0; }

private:
    struct Buffer {
        uint32_t refs;
        uint32_t length;
        uint32_t capacity;
        uint8_t trail;
        bool hasTrail;
        char16_t text[1];
    };
    static size_t BufferBytes(size_t capacity);
    // counted: the bytes were already taken from the memory budget.
    static Buffer* NewBuffer(size_t capacity, bool counted = false);
    // counted: the new buffer's bytes were already taken from the memory budget.
    void Unshare(size_t capacity, bool counted = false);
    // Makes the buffer unique with room for `need` units, growing geometrically; false,
    // the string unchanged, when the memory budget has no room for it.
    bool Grow(size_t need);
    // Appends the bytes of units, then trail when it is 0..255, after this string's bytes.
    bool AppendBytes(std::u16string_view units, int trail);

    Buffer* m_data = nullptr;
};

} // namespace cva::vbs

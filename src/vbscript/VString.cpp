#include "vbscript/VString.h"

#include "platform/text/Unicode.h"
#include "vbscript/MemoryBudget.h"

#include <cstdlib>
#include <cstring>

namespace cva::vbs {

size_t VString::BufferBytes(size_t capacity)
{
    return offsetof(Buffer, text) + (capacity + 1) * sizeof(char16_t);
}

VString::Buffer* VString::NewBuffer(size_t capacity, bool counted)
{
    size_t bytes = BufferBytes(capacity);
    if (!counted)
        CMemoryBudget::Force(bytes);
    auto* b = static_cast<Buffer*>(std::malloc(bytes));
    if (!b)
        std::abort();
    b->refs = 1;
    b->length = 0;
    b->capacity = static_cast<uint32_t>(capacity);
    b->trail = 0;
    b->hasTrail = false;
    b->text[0] = 0;
    return b;
}

VString::VString(std::u16string_view text)
{
    if (text.size() > kMaxLength)
        text = text.substr(0, kMaxLength);
    m_data = NewBuffer(text.size());
    if (!text.empty())
        std::memcpy(m_data->text, text.data(), text.size() * sizeof(char16_t));
    m_data->length = static_cast<uint32_t>(text.size());
    m_data->text[text.size()] = 0;
}

VString::VString(const VString& other) : m_data(other.m_data)
{
    if (m_data)
        ++m_data->refs;
}

VString& VString::operator=(const VString& other)
{
    if (other.m_data)
        ++other.m_data->refs;
    Clear();
    m_data = other.m_data;
    return *this;
}

VString& VString::operator=(VString&& other) noexcept
{
    if (this != &other) {
        Clear();
        m_data = other.m_data;
        other.m_data = nullptr;
    }
    return *this;
}

VString::~VString()
{
    Clear();
}

void VString::Clear()
{
    if (m_data && --m_data->refs == 0) {
        CMemoryBudget::Give(BufferBytes(m_data->capacity));
        std::free(m_data);
    }
    m_data = nullptr;
}

VString VString::FromUtf8(std::string_view utf8)
{
    return VString(text::Utf8ToUtf16(utf8));
}

VString VString::FromAscii(std::string_view ascii)
{
    VString s;
    s.m_data = NewBuffer(ascii.size());
    for (size_t i = 0; i < ascii.size(); ++i)
        s.m_data->text[i] = static_cast<unsigned char>(ascii[i]);
    s.m_data->length = static_cast<uint32_t>(ascii.size());
    s.m_data->text[ascii.size()] = 0;
    return s;
}

bool VString::Allocate(size_t length, VString& out)
{
    out.Clear();
    if (length > kMaxLength || !CMemoryBudget::Take(BufferBytes(length)))
        return false;
    out.m_data = NewBuffer(length, true);
    std::memset(out.m_data->text, 0, (length + 1) * sizeof(char16_t));
    out.m_data->length = static_cast<uint32_t>(length);
    return true;
}

std::string VString::ToUtf8() const
{
    return text::Utf16ToUtf8(View());
}

void VString::Unshare(size_t capacity, bool counted)
{
    size_t len = Size();
    if (capacity < len)
        capacity = len;
    Buffer* b = NewBuffer(capacity, counted);
    if (len)
        std::memcpy(b->text, m_data->text, len * sizeof(char16_t));
    b->length = static_cast<uint32_t>(len);
    b->text[len] = 0;
    if (m_data) {
        b->trail = m_data->trail;
        b->hasTrail = m_data->hasTrail;
    }
    Clear();
    m_data = b;
}

char16_t* VString::MutableData()
{
    if (m_data && m_data->refs > 1)
        Unshare(m_data->length);
    return m_data ? m_data->text : nullptr;
}

void VString::Reserve(size_t capacity)
{
    if (capacity > kMaxLength)
        capacity = kMaxLength;
    if (!m_data || m_data->refs > 1 || m_data->capacity < capacity)
        Unshare(capacity);
}

VString VString::FromBytes(const uint8_t* bytes, size_t count)
{
    VString s;
    size_t units = count / 2;
    s.m_data = NewBuffer(units);
    for (size_t i = 0; i < units; ++i)
        s.m_data->text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    s.m_data->length = static_cast<uint32_t>(units);
    s.m_data->text[units] = 0;
    s.m_data->hasTrail = count % 2 != 0;
    s.m_data->trail = count % 2 ? bytes[count - 1] : 0;
    return s;
}

uint8_t VString::ByteAt(size_t i) const
{
    if (i / 2 < Size())
        return static_cast<uint8_t>(m_data->text[i / 2] >> (i % 2 ? 8 : 0));
    return m_data->trail;
}

bool VString::Grow(size_t need)
{
    if (m_data && m_data->refs == 1 && m_data->capacity >= need)
        return true;
    const bool inPlace = m_data && m_data->refs == 1;
    const size_t held = inPlace ? BufferBytes(m_data->capacity) : 0;
    size_t cap = need < 16 ? 16 : need + need / 2;
    if (cap > kMaxLength)
        cap = kMaxLength;
    // Near the budget's end the spare room goes first, then the growth itself.
    if (!CMemoryBudget::Take(BufferBytes(cap) - held)) {
        cap = need;
        if (!CMemoryBudget::Take(BufferBytes(cap) - held))
            return false;
    }
    if (inPlace) {
        auto* b = static_cast<Buffer*>(std::realloc(m_data, BufferBytes(cap)));
        if (!b)
            std::abort();
        m_data = b;
        m_data->capacity = static_cast<uint32_t>(cap);
    } else {
        Unshare(cap, true);
    }
    return true;
}

bool VString::AppendBytes(std::u16string_view units, int trail)
{
    size_t bytes = ByteSize() + units.size() * 2 + (trail >= 0 ? 1 : 0);
    if (bytes / 2 > kMaxLength)
        return false;
    std::u16string copy(units); // units may lie in this buffer, which may move
    if (!Grow(bytes / 2))
        return false;
    int pending = m_data->hasTrail ? m_data->trail : -1;
    char16_t* out = m_data->text + m_data->length;
    auto put = [&](int byte) {
        if (pending < 0) {
            pending = byte;
        } else {
            *out++ = static_cast<char16_t>(pending | (byte << 8));
            pending = -1;
        }
    };
    for (char16_t c : copy) {
        put(c & 0xFF);
        put(c >> 8);
    }
    if (trail >= 0)
        put(trail);
    m_data->length = static_cast<uint32_t>(bytes / 2);
    m_data->text[m_data->length] = 0;
    m_data->hasTrail = pending >= 0;
    m_data->trail = static_cast<uint8_t>(pending >= 0 ? pending : 0);
    return true;
}

bool VString::Append(const VString& other)
{
    if (!other.HasTrailByte())
        return Append(other.View());
    return AppendBytes(other.View(), other.m_data->trail);
}

bool VString::Append(std::u16string_view text)
{
    if (HasTrailByte())
        return AppendBytes(text, -1);
    size_t len = Size();
    if (text.size() > kMaxLength - len)
        return false;
    size_t need = len + text.size();
    if (!m_data || m_data->refs > 1 || m_data->capacity < need) {
        if (m_data && m_data->refs == 1 && !text.empty() && text.data() >= m_data->text &&
            text.data() < m_data->text + len) {
            // Appending a piece of itself: copy the piece before the buffer moves.
            std::u16string copy(text);
            return Append(std::u16string_view(copy));
        }
        // Geometric growth keeps a loop of appends linear overall.
        if (!Grow(need))
            return false;
    }
    if (!text.empty())
        std::memmove(m_data->text + len, text.data(), text.size() * sizeof(char16_t));
    m_data->length = static_cast<uint32_t>(need);
    m_data->text[need] = 0;
    return true;
}

} // namespace cva::vbs

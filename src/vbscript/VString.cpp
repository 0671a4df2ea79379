#include "vbscript/VString.h"

#include "platform/text/Unicode.h"

#include <cstdlib>
#include <cstring>

namespace cva::vbs {

VString::Buffer* VString::NewBuffer(size_t capacity)
{
    size_t bytes = offsetof(Buffer, text) + (capacity + 1) * sizeof(char16_t);
    auto* b = static_cast<Buffer*>(std::malloc(bytes));
    if (!b)
        std::abort();
    b->refs = 1;
    b->length = 0;
    b->capacity = static_cast<uint32_t>(capacity);
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
    if (m_data && --m_data->refs == 0)
        std::free(m_data);
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
    if (length > kMaxLength)
        return false;
    out.m_data = NewBuffer(length);
    std::memset(out.m_data->text, 0, (length + 1) * sizeof(char16_t));
    out.m_data->length = static_cast<uint32_t>(length);
    return true;
}

std::string VString::ToUtf8() const
{
    return text::Utf16ToUtf8(View());
}

void VString::Unshare(size_t capacity)
{
    size_t len = Size();
    if (capacity < len)
        capacity = len;
    Buffer* b = NewBuffer(capacity);
    if (len)
        std::memcpy(b->text, m_data->text, len * sizeof(char16_t));
    b->length = static_cast<uint32_t>(len);
    b->text[len] = 0;
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

bool VString::Append(std::u16string_view text)
{
    size_t len = Size();
    if (text.size() > kMaxLength - len)
        return false;
    size_t need = len + text.size();
    if (!m_data || m_data->refs > 1 || m_data->capacity < need) {
        // Geometric growth keeps a loop of appends linear overall.
        size_t cap = need < 16 ? 16 : need + need / 2;
        if (cap > kMaxLength)
            cap = kMaxLength;
        if (m_data && m_data->refs == 1 && !text.empty() && text.data() >= m_data->text &&
            text.data() < m_data->text + len) {
            // Appending a piece of itself: copy the piece before the buffer moves.
            std::u16string copy(text);
            return Append(std::u16string_view(copy));
        }
        if (m_data && m_data->refs == 1) {
            size_t bytes = offsetof(Buffer, text) + (cap + 1) * sizeof(char16_t);
            auto* b = static_cast<Buffer*>(std::realloc(m_data, bytes));
            if (!b)
                std::abort();
            m_data = b;
            m_data->capacity = static_cast<uint32_t>(cap);
        } else {
            Unshare(cap);
        }
    }
    if (!text.empty())
        std::memmove(m_data->text + len, text.data(), text.size() * sizeof(char16_t));
    m_data->length = static_cast<uint32_t>(need);
    m_data->text[need] = 0;
    return true;
}

} // namespace cva::vbs

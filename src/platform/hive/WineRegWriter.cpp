#include "platform/hive/WineRegFile.h"

#include "platform/text/Unicode.h"

#include <algorithm>

namespace cva::hive {

using reg::CRegKey;
using reg::CRegValue;

namespace {

constexpr char kHex[] = "0123456789abcdef";

// Wine keeps names sorted by their lower-cased code units, a name that is a prefix of
// another first; this differs from Windows' upper-case order for [\]^_` and is what
// makes our files come out in Wine's own order.
bool LessLower(std::u16string_view a, std::u16string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char16_t x = text::ToLower(a[i]);
        char16_t y = text::ToLower(b[i]);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

void AppendHex(std::string& out, unsigned value, int minDigits) {
    char buf[8];
    int n = 0;
    do {
        buf[n++] = kHex[value & 0xF];
        value >>= 4;
    } while (value);
    while (n < minDigits)
        buf[n++] = '0';
    while (n)
        out.push_back(buf[--n]);
}

bool IsHexChar(char16_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Escapes UTF-16 units the way Wine does; returns the number of bytes written. A NUL is
// written like any other control character: in a name it is part of the name.
size_t AppendEscaped(std::string& out, std::u16string_view s, char d1, char d2) {
    static constexpr char kLetters[32] = {0,   0,   0,   0, 0, 0,   0, 'a', 'b', 't', 'n',
                                          'v', 'f', 'r', 0, 0, 0,   0, 0,   0,   0,   0,
                                          0,   0,   0,   0, 0, 'e', 0, 0,   0,   0};
    size_t start = out.size();
    for (size_t i = 0; i < s.size(); ++i) {
        char16_t c = s[i];
        bool hasNext = i + 1 < s.size();
        if (c > 127) {
            out += "\\x";
            AppendHex(out, c, hasNext && s[i + 1] < 128 && IsHexChar(s[i + 1]) ? 4 : 1);
        } else if (c < 32) {
            out.push_back('\\');
            if (kLetters[c]) {
                out.push_back(kLetters[c]);
            } else {
                bool pad = hasNext && s[i + 1] >= '0' && s[i + 1] <= '7';
                char buf[3];
                int n = 0;
                unsigned v = c;
                do {
                    buf[n++] = static_cast<char>('0' + (v & 7));
                    v >>= 3;
                } while (v);
                while (pad && n < 3)
                    buf[n++] = '0';
                while (n)
                    out.push_back(buf[--n]);
            }
        } else {
            if (c == '\\' || c == d1 || c == d2) out.push_back('\\');
            out.push_back(static_cast<char>(c));
        }
    }
    return out.size() - start;
}

std::u16string_view Units(const std::vector<uint8_t>& data, std::u16string& scratch) {
    scratch.resize(data.size() / 2);
    for (size_t i = 0; i < scratch.size(); ++i)
        scratch[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    return scratch;
}

class CWriter {
public:
    explicit CWriter(std::string& out) : m_out(out) {}
    void Key(const CRegKey& key, const CRegKey& base);

private:
    void Value(const CRegValue& v);

    std::string& m_out;
    std::string m_path; // escaped path of the key being written, relative to the base
    std::u16string m_scratch;
};

void CWriter::Value(const CRegValue& v) {
    size_t count;
    if (!v.m_name.empty()) {
        m_out.push_back('"');
        count = 1 + AppendEscaped(m_out, v.m_name, '"', '"');
        m_out += "\"=";
        count += 2;
    } else {
        m_out += "@=";
        count = 2;
    }
    const auto& data = v.m_data;
    switch (v.m_type) {
    case reg::REG_SZ:
    case reg::REG_EXPAND_SZ:
    case reg::REG_MULTI_SZ:
        if (data.size() >= 2 && data.size() % 2 == 0 && data[data.size() - 1] == 0 &&
            data[data.size() - 2] == 0) {
            if (v.m_type == reg::REG_EXPAND_SZ) m_out += "str(2):";
            if (v.m_type == reg::REG_MULTI_SZ) m_out += "str(7):";
            m_out.push_back('"');
            // The terminating NUL is implied by the quotes.
            const std::u16string_view text = Units(data, m_scratch);
            AppendEscaped(m_out, text.substr(0, text.size() - 1), '"', '"');
            m_out += "\"\n";
            return;
        }
        break;
    case reg::REG_DWORD:
        if (data.size() == 4) {
            m_out += "dword:";
            AppendHex(m_out,
                      data[0] | (data[1] << 8) | (data[2] << 16) |
                          (static_cast<unsigned>(data[3]) << 24),
                      8);
            m_out.push_back('\n');
            return;
        }
        break;
    default:
        break;
    }
    size_t before = m_out.size();
    if (v.m_type == reg::REG_BINARY) {
        m_out += "hex:";
    } else {
        m_out += "hex(";
        AppendHex(m_out, v.m_type, 1);
        m_out += "):";
    }
    count += m_out.size() - before;
    for (size_t i = 0; i < data.size(); ++i) {
        m_out.push_back(kHex[data[i] >> 4]);
        m_out.push_back(kHex[data[i] & 0xF]);
        count += 2;
        if (i + 1 < data.size()) {
            m_out.push_back(',');
            if (++count > 76) {
                m_out += "\\\n  ";
                count = 2;
            }
        }
    }
    m_out.push_back('\n');
}

void CWriter::Key(const CRegKey& key, const CRegKey& base) {
    if (key.m_volatile) return;
    // A hive mounted below this one has a file of its own.
    if (&key != &base && base.Hive() && key.Hive() != base.Hive()) return;
    if (key.ValueCount() > 0 || key.SubkeyCount() == 0 || key.m_class || key.m_isLink) {
        m_out += "\n[";
        m_out += m_path;
        m_out += "] ";
        uint64_t t = key.m_lastWrite;
        auto seconds = static_cast<uint32_t>((t - reg::kFileTimeUnixEpoch) / reg::kTicksPerSecond);
        m_out += std::to_string(seconds);
        m_out += "\n#time=";
        AppendHex(m_out, static_cast<unsigned>(t >> 32), 1);
        AppendHex(m_out, static_cast<unsigned>(t & 0xFFFFFFFFu), 8);
        m_out.push_back('\n');
        if (key.m_class) {
            m_out += "#class=\"";
            AppendEscaped(m_out, *key.m_class, '"', '"');
            m_out += "\"\n";
        }
        if (key.m_isLink) m_out += "#link\n";
        std::vector<const CRegValue*> values;
        values.reserve(key.ValueCount());
        for (const auto& v : key.Values())
            values.push_back(&v);
        auto byName = [](const CRegValue* a, const CRegValue* b) {
            return LessLower(a->m_name, b->m_name);
        };
        if (!std::is_sorted(values.begin(), values.end(), byName))
            std::stable_sort(values.begin(), values.end(), byName);
        for (const CRegValue* v : values)
            Value(*v);
    }
    std::vector<const CRegKey*> children;
    children.reserve(key.SubkeyCount());
    for (const auto& c : key.Subkeys())
        children.push_back(c.get());
    auto byName = [](const CRegKey* a, const CRegKey* b) {
        return LessLower(a->Name(), b->Name());
    };
    if (!std::is_sorted(children.begin(), children.end(), byName))
        std::stable_sort(children.begin(), children.end(), byName);
    size_t keep = m_path.size();
    for (const CRegKey* child : children) {
        if (&key != &base) m_path += "\\\\";
        AppendEscaped(m_path, child->Name(), '[', ']');
        Key(*child, base);
        m_path.resize(keep);
    }
}

} // namespace

std::string FormatWineRegistry(const CRegKey& root, const reg::CHiveHeader& header) {
    std::string out;
    out.reserve(1 << 21);
    out += "WINE REGISTRY Version 2\n;; All keys relative to ";
    out += header.m_rootComment;
    out.push_back('\n');
    if (!header.m_arch.empty()) {
        out += "\n#arch=";
        out += header.m_arch;
        out.push_back('\n');
    }
    CWriter writer(out);
    writer.Key(root, root);
    return out;
}

} // namespace cva::hive

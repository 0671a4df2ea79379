#include "platform/hive/WineRegFile.h"

#include "platform/hive/HiveFile.h"
#include "platform/text/HexDigit.h"
#include "platform/text/Unicode.h"

#include <cerrno>
#include <cstring>

namespace cva::hive {

using reg::CRegKey;
using reg::DWORD;

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";
constexpr std::string_view kRootComment = ";; All keys relative to ";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

class CReader {
public:
    CReader(std::string_view text, CRegKey& root, reg::CHiveHeader& header, CParseError& error)
        : m_text(text), m_root(root), m_header(header), m_error(error) {}

    bool Run();

private:
    bool NextLine();
    bool Fail(const char* message) {
        m_error.m_line = m_lineNo;
        m_error.m_message = message;
        return false;
    }
    // Decodes escaped text up to an unescaped `end`; p is left after the delimiter.
    bool ParseString(const char*& p, const char* stop, char end, std::u16string& out);
    bool ParseKeyHeader(const char* p, const char* stop);
    bool ParseOption(const char* p, const char* stop);
    bool ParseValue(const char* p, const char* stop);
    bool ParseHex(const char* p, const char* stop, std::vector<uint8_t>& out);

    std::string_view m_text;
    CRegKey& m_root;
    reg::CHiveHeader& m_header;
    CParseError& m_error;
    size_t m_pos = 0;
    size_t m_lineNo = 0;
    const char* m_line = nullptr;
    const char* m_lineEnd = nullptr;
    CRegKey* m_key = nullptr;
    // Path of the previous key header, to reuse its keys for the next one.
    std::vector<std::pair<std::u16string, CRegKey*>> m_path;
    std::u16string m_scratch;
    std::u16string m_name;
    std::vector<uint8_t> m_data;
};

bool CReader::NextLine() {
    if (m_pos >= m_text.size()) return false;
    const char* begin = m_text.data() + m_pos;
    size_t newline = m_text.find('\n', m_pos);
    if (newline == std::string_view::npos) newline = m_text.size();
    const char* end = m_text.data() + newline;
    m_pos = newline + 1;
    // Blanks at the end of a line (a CR of the line end among them) carry nothing in this
    // format; kept, they would end up in the header texts, and written back they would
    // read differently.
    while (end > begin && IsSpace(end[-1]))
        --end;
    m_line = begin;
    m_lineEnd = end;
    ++m_lineNo;
    return true;
}

bool CReader::ParseString(const char*& p, const char* stop, char end, std::u16string& out) {
    out.clear();
    while (p < stop && *p != end) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x80) {
            const char* run = p;
            while (p < stop && static_cast<unsigned char>(*p) >= 0x80)
                ++p;
            out += text::Utf8ToUtf16(std::string_view(run, static_cast<size_t>(p - run)));
            continue;
        }
        if (c != '\\') {
            out.push_back(c);
            ++p;
            continue;
        }
        if (++p >= stop) return false;
        char e = *p++;
        switch (e) {
        case 'a':
            out.push_back(7);
            break;
        case 'b':
            out.push_back(8);
            break;
        case 'e':
            out.push_back(27);
            break;
        case 'f':
            out.push_back(12);
            break;
        case 'n':
            out.push_back(10);
            break;
        case 'r':
            out.push_back(13);
            break;
        case 't':
            out.push_back(9);
            break;
        case 'v':
            out.push_back(11);
            break;
        case 'x': {
            int d = p < stop ? text::HexDigitValue(*p) : -1;
            if (d < 0) {
                out.push_back(u'x');
                break;
            }
            unsigned value = 0;
            for (int i = 0; i < 4 && p < stop && (d = text::HexDigitValue(*p)) >= 0; ++i, ++p)
                value = value * 16 + static_cast<unsigned>(d);
            out.push_back(static_cast<char16_t>(value));
            break;
        }
        case '0':
        case '1':
        case '2':
        case '3':
        case '4':
        case '5':
        case '6':
        case '7': {
            unsigned value = static_cast<unsigned>(e - '0');
            for (int i = 0; i < 2 && p < stop && *p >= '0' && *p <= '7'; ++i, ++p)
                value = value * 8 + static_cast<unsigned>(*p - '0');
            out.push_back(static_cast<char16_t>(value));
            break;
        }
        default:
            if (static_cast<unsigned char>(e) >= 0x80) return false;
            out.push_back(static_cast<unsigned char>(e));
            break;
        }
    }
    if (p >= stop) return false;
    ++p;
    return true;
}

bool CReader::ParseKeyHeader(const char* p, const char* stop) {
    ++p;
    if (!ParseString(p, stop, ']', m_scratch)) return Fail("key line without its closing ']'");
    while (p < stop && IsSpace(*p))
        ++p;
    uint64_t seconds = 0;
    bool haveTime = false;
    while (p < stop && *p >= '0' && *p <= '9') {
        seconds = seconds * 10 + static_cast<uint64_t>(*p++ - '0');
        haveTime = true;
    }
    while (p < stop && IsSpace(*p))
        ++p;
    if (p != stop) return Fail("unexpected text after the key name");

    uint64_t time = haveTime ? seconds * reg::kTicksPerSecond + reg::kFileTimeUnixEpoch
                             : reg::CurrentFileTime();
    CRegKey* key = &m_root;
    size_t depth = 0;
    std::u16string_view path = m_scratch;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t end = path.find(u'\\', pos);
        if (end == std::u16string_view::npos) end = path.size();
        std::u16string_view part = path.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty()) continue;
        if (part.size() > reg::kMaxKeyNameLength)
            return Fail("key name longer than 255 characters");
        if (depth < m_path.size() && m_path[depth].first == part) {
            key = m_path[depth].second;
        } else {
            m_path.resize(depth);
            bool created;
            key = key->AddSubkey(part, created).get();
            // Parents that the file leaves implied take the time of their first
            // descendant, as Wine gives them.
            if (created) key->m_lastWrite = time;
            m_path.emplace_back(std::u16string(part), key);
        }
        ++depth;
    }
    m_path.resize(depth);
    if (haveTime || key == &m_root) key->m_lastWrite = time;
    m_key = key;
    return true;
}

bool CReader::ParseOption(const char* p, const char* stop) {
    std::string_view line(p, static_cast<size_t>(stop - p));
    if (!m_key) {
        if (line.substr(0, 6) == "#arch=") m_header.m_arch = std::string(line.substr(6));
        return true;
    }
    if (line.substr(0, 6) == "#time=") {
        uint64_t t = 0;
        int d;
        for (p += 6; p < stop && (d = text::HexDigitValue(*p)) >= 0; ++p)
            t = t * 16 + static_cast<uint64_t>(d);
        m_key->m_lastWrite = t;
    } else if (line.substr(0, 8) == "#class=\"") {
        p += 8;
        if (!ParseString(p, stop, '"', m_scratch)) return Fail("malformed #class line");
        m_key->m_class = m_scratch;
    } else if (line == "#link") {
        m_key->m_isLink = true;
    }
    return true;
}

bool CReader::ParseHex(const char* p, const char* stop, std::vector<uint8_t>& out) {
    out.clear();
    for (;;) {
        int d;
        while (p < stop && (d = text::HexDigitValue(*p)) >= 0) {
            unsigned value = 0;
            while (p < stop && (d = text::HexDigitValue(*p)) >= 0) {
                value = value * 16 + static_cast<unsigned>(d);
                if (value > 0xFF) return Fail("hex byte greater than ff");
                ++p;
            }
            out.push_back(static_cast<uint8_t>(value));
            while (p < stop && IsSpace(*p))
                ++p;
            if (p < stop && *p == ',') ++p;
            while (p < stop && IsSpace(*p))
                ++p;
        }
        while (p < stop && IsSpace(*p))
            ++p;
        if (p == stop) return true;
        if (*p != '\\') return Fail("malformed hex data");
        if (!NextLine()) return Fail("hex data continues past the end of the file");
        p = m_line;
        stop = m_lineEnd;
        while (p < stop && IsSpace(*p))
            ++p;
    }
}

bool CReader::ParseValue(const char* p, const char* stop) {
    if (!m_key) return Fail("value before the first key");
    std::u16string& name = m_name;
    name.clear();
    if (*p == '@') {
        ++p;
    } else {
        ++p;
        if (!ParseString(p, stop, '"', name)) return Fail("value name without its closing quote");
        if (name.size() > reg::kMaxValueNameLength)
            return Fail("value name longer than 16383 characters");
    }
    while (p < stop && IsSpace(*p))
        ++p;
    if (p >= stop || *p != '=') return Fail("value without '='");
    ++p;
    while (p < stop && IsSpace(*p))
        ++p;
    std::string_view rest(p, static_cast<size_t>(stop - p));

    DWORD type;
    size_t skip = 0;
    bool isString = false;
    if (rest.substr(0, 1) == "\"") {
        type = reg::REG_SZ;
        skip = 1;
        isString = true;
    } else if (rest.substr(0, 5) == "str:\"") {
        type = reg::REG_SZ;
        skip = 5;
        isString = true;
    } else if (rest.substr(0, 8) == "str(2):\"") {
        type = reg::REG_EXPAND_SZ;
        skip = 8;
        isString = true;
    } else if (rest.substr(0, 8) == "str(7):\"") {
        type = reg::REG_MULTI_SZ;
        skip = 8;
        isString = true;
    } else if (rest.substr(0, 4) == "hex:") {
        type = reg::REG_BINARY;
        skip = 4;
    } else if (rest.substr(0, 6) == "dword:") {
        p += 6;
        uint32_t value = 0;
        int digits = 0, d;
        while (p < stop && (d = text::HexDigitValue(*p)) >= 0 && digits < 8) {
            value = value * 16 + static_cast<uint32_t>(d);
            ++p;
            ++digits;
        }
        while (p < stop && IsSpace(*p))
            ++p;
        if (digits == 0 || p != stop) return Fail("malformed dword value");
        uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
        m_key->SetValue(name, reg::REG_DWORD, bytes, 4);
        return true;
    } else if (rest.substr(0, 4) == "hex(") {
        p += 4;
        uint64_t value = 0;
        int digits = 0, d;
        while (p < stop && (d = text::HexDigitValue(*p)) >= 0) {
            value = value * 16 + static_cast<uint64_t>(d);
            ++p;
            ++digits;
        }
        if (digits == 0 || value > 0xFFFFFFFFu || stop - p < 2 || p[0] != ')' || p[1] != ':')
            return Fail("malformed hex(type) value");
        type = static_cast<DWORD>(value);
        skip = static_cast<size_t>(p + 2 - rest.data());
    } else {
        return Fail("unknown value type");
    }
    p = rest.data() + skip;

    if (isString) {
        if (!ParseString(p, stop, '"', m_scratch))
            return Fail("string value without its closing quote");
        while (p < stop && IsSpace(*p))
            ++p;
        if (p != stop) return Fail("unexpected text after a string value");
        m_data.resize((m_scratch.size() + 1) * 2);
        for (size_t i = 0; i < m_scratch.size(); ++i) {
            m_data[2 * i] = static_cast<uint8_t>(m_scratch[i]);
            m_data[2 * i + 1] = static_cast<uint8_t>(m_scratch[i] >> 8);
        }
        m_data[m_data.size() - 2] = 0;
        m_data[m_data.size() - 1] = 0;
    } else if (!ParseHex(p, stop, m_data)) {
        return false;
    }
    m_key->SetValue(name, type, m_data.data(), m_data.size());
    return true;
}

bool CReader::Run() {
    if (!NextLine() || std::string_view(m_line, static_cast<size_t>(m_lineEnd - m_line)) != kHeader)
        return Fail(
            "not a Wine registry file (the first line must be \"WINE REGISTRY Version 2\")");
    bool sawComment = false;
    while (NextLine()) {
        const char* p = m_line;
        const char* stop = m_lineEnd;
        if (std::string_view(p, static_cast<size_t>(stop - p)).find('\0') != std::string_view::npos)
            return Fail("NUL byte in the line");
        while (p < stop && (IsSpace(*p) || *p == '\n'))
            ++p;
        if (p == stop) continue;
        switch (*p) {
        case '[':
            if (!ParseKeyHeader(p, stop)) return false;
            break;
        case '@':
        case '"':
            if (!ParseValue(p, stop)) return false;
            break;
        case '#':
            if (!ParseOption(p, stop)) return false;
            break;
        case ';':
            if (!sawComment && !m_key &&
                std::string_view(p, static_cast<size_t>(stop - p)).substr(0, kRootComment.size()) ==
                    kRootComment) {
                m_header.m_rootComment.assign(p + kRootComment.size(), stop);
                sawComment = true;
            }
            break;
        default:
            return Fail("line is neither a key, a value, an option nor a comment");
        }
    }
    return true;
}

} // namespace

bool ParseWineRegistry(std::string_view text, CRegKey& root, reg::CHiveHeader& header,
                       CParseError& error) {
    CReader reader(text, root, header, error);
    return reader.Run();
}

reg::LSTATUS LoadWineRegistryFile(const std::string& path, CRegKey& root, reg::CHiveHeader& header,
                                  std::string& error, files::CFileVersion* version) {
    CLoadedHive loaded;
    return LoadHiveFile(path, root, header, loaded, error, version);
}

} // namespace cva::hive

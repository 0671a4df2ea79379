#include "platform/hive/RegEditFile.h"

#include "platform/text/HexDigit.h"
#include "platform/text/Unicode.h"

#include <vector>

namespace cva::hive {

using namespace cva::reg;

namespace {

constexpr std::u16string_view kVersion5Header = u"Windows Registry Editor Version 5.00";

struct COperation {
    enum Kind { CreateKey, DeleteKey, SetValue, DeleteValue } m_kind;
    CRegPath m_path;
    std::u16string m_name;
    DWORD m_type = REG_NONE;
    std::vector<uint8_t> m_data;
};

std::vector<uint8_t> BytesOf(std::u16string_view s) {
    std::vector<uint8_t> out(s.size() * 2);
    for (size_t i = 0; i < s.size(); ++i) {
        out[2 * i] = static_cast<uint8_t>(s[i]);
        out[2 * i + 1] = static_cast<uint8_t>(s[i] >> 8);
    }
    return out;
}

bool IsBlank(char16_t c) {
    return c == ' ' || c == '\t';
}

std::u16string Decode(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::u16string s((bytes.size() - 2) / 2, u'\0');
        for (size_t i = 0; i < s.size(); ++i)
            s[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                         (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
        return s;
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    return text::Utf8ToUtf16(bytes);
}

class CImportParser {
public:
    CImportParser(std::u16string text, std::vector<COperation>& ops, std::string& error)
        : m_text(std::move(text)), m_ops(ops), m_error(error) {}
    bool Run();

private:
    bool NextLine(std::u16string_view& line);
    bool Fail(const std::string& why) {
        m_error = "line " + std::to_string(m_lineNo) + ": " + why;
        return false;
    }
    bool ParseQuoted(std::u16string_view& p, std::u16string& out);
    bool ParseValue(std::u16string_view p);
    bool ParseHex(std::u16string_view p, std::vector<uint8_t>& out);

    std::u16string m_text;
    std::vector<COperation>& m_ops;
    std::string& m_error;
    size_t m_pos = 0;
    size_t m_lineNo = 0;
    bool m_version4 = false;
    bool m_inKey = false;
    CRegPath m_key;
};

bool CImportParser::NextLine(std::u16string_view& line) {
    if (m_pos >= m_text.size()) return false;
    size_t end = m_text.find(u'\n', m_pos);
    if (end == std::u16string::npos) end = m_text.size();
    line = std::u16string_view(m_text).substr(m_pos, end - m_pos);
    m_pos = end + 1;
    ++m_lineNo;
    while (!line.empty() && (line.back() == u'\r' || IsBlank(line.back())))
        line.remove_suffix(1);
    while (!line.empty() && IsBlank(line.front()))
        line.remove_prefix(1);
    return true;
}

bool CImportParser::ParseQuoted(std::u16string_view& p, std::u16string& out) {
    out.clear();
    p.remove_prefix(1);
    while (!p.empty() && p.front() != u'"') {
        char16_t c = p.front();
        p.remove_prefix(1);
        if (c == u'\\' && !p.empty()) {
            char16_t e = p.front();
            p.remove_prefix(1);
            if (e == u'\\' || e == u'"')
                out.push_back(e);
            else if (e == u'n')
                out.push_back(u'\n');
            else if (e == u'r')
                out.push_back(u'\r');
            else if (e == u'0')
                out.push_back(u'\0');
            else {
                out.push_back(u'\\');
                out.push_back(e);
            }
            continue;
        }
        out.push_back(c);
    }
    if (p.empty()) return false;
    p.remove_prefix(1);
    return true;
}

bool CImportParser::ParseHex(std::u16string_view p, std::vector<uint8_t>& out) {
    out.clear();
    for (;;) {
        while (!p.empty()) {
            while (!p.empty() && (IsBlank(p.front()) || p.front() == u','))
                p.remove_prefix(1);
            if (p.empty() || p.front() == u'\\' || p.front() == u';') break;
            int hi = text::HexDigitValue(p.front());
            int lo = p.size() > 1 ? text::HexDigitValue(p[1]) : -1;
            if (hi < 0) return Fail("malformed hex data");
            if (lo < 0) {
                out.push_back(static_cast<uint8_t>(hi));
                p.remove_prefix(1);
            } else {
                out.push_back(static_cast<uint8_t>(hi * 16 + lo));
                p.remove_prefix(2);
            }
            if (!p.empty() && !IsBlank(p.front()) && p.front() != u',' && p.front() != u'\\' &&
                p.front() != u';')
                return Fail("malformed hex data");
        }
        if (p.empty() || p.front() == u';') return true;
        // A backslash continues the data on the next line.
        if (!NextLine(p)) return Fail("hex data continues past the end of the file");
    }
}

bool CImportParser::ParseValue(std::u16string_view p) {
    if (!m_inKey) return Fail("value outside a key section");
    COperation op{COperation::SetValue, m_key, {}, REG_NONE, {}};
    if (p.front() == u'@') {
        p.remove_prefix(1);
    } else if (!ParseQuoted(p, op.m_name)) {
        return Fail("value name without its closing quote");
    }
    while (!p.empty() && IsBlank(p.front()))
        p.remove_prefix(1);
    if (p.empty() || p.front() != u'=') return Fail("value without '='");
    p.remove_prefix(1);
    while (!p.empty() && IsBlank(p.front()))
        p.remove_prefix(1);
    if (p == u"-") {
        op.m_kind = COperation::DeleteValue;
    } else if (!p.empty() && p.front() == u'"') {
        std::u16string s;
        if (!ParseQuoted(p, s)) return Fail("string without its closing quote");
        while (!p.empty() && IsBlank(p.front()))
            p.remove_prefix(1);
        if (!p.empty() && p.front() != u';') return Fail("unexpected text after a string");
        s.push_back(u'\0');
        op.m_type = REG_SZ;
        op.m_data = BytesOf(s);
    } else if (p.substr(0, 6) == u"dword:") {
        p.remove_prefix(6);
        uint32_t v = 0;
        size_t digits = 0;
        while (!p.empty() && text::HexDigitValue(p.front()) >= 0 && digits < 8) {
            v = v * 16 + static_cast<uint32_t>(text::HexDigitValue(p.front()));
            p.remove_prefix(1);
            ++digits;
        }
        while (!p.empty() && IsBlank(p.front()))
            p.remove_prefix(1);
        if (!digits || (!p.empty() && p.front() != u';')) return Fail("malformed dword value");
        op.m_type = REG_DWORD;
        op.m_data = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                     static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    } else if (p.substr(0, 4) == u"hex:" || p.substr(0, 4) == u"hex(") {
        op.m_type = REG_BINARY;
        if (p[3] == u'(') {
            size_t close = p.find(u')');
            if (close == std::u16string_view::npos || close == 4 || p.substr(close, 2) != u"):")
                return Fail("malformed hex(type) value");
            uint64_t t = 0;
            for (char16_t c : p.substr(4, close - 4)) {
                int d = text::HexDigitValue(c);
                if (d < 0 || t > 0xFFFFFFF) return Fail("malformed hex(type) value");
                t = t * 16 + static_cast<uint64_t>(d);
            }
            op.m_type = static_cast<DWORD>(t);
            p.remove_prefix(close + 2);
        } else {
            p.remove_prefix(4);
        }
        if (!ParseHex(p, op.m_data)) return false;
        // REGEDIT4 files carry string types in the 8-bit code page.
        if (m_version4 && IsStringType(op.m_type)) {
            std::string ansi(op.m_data.begin(), op.m_data.end());
            op.m_data = BytesOf(text::Utf8ToUtf16(ansi));
        }
    } else {
        return Fail("unknown value type");
    }
    m_ops.push_back(std::move(op));
    return true;
}

bool CImportParser::Run() {
    std::u16string_view line;
    while (NextLine(line) && line.empty()) {
    }
    if (line == kVersion5Header) {
        m_version4 = false;
    } else if (line == u"REGEDIT4") {
        m_version4 = true;
    } else {
        m_lineNo = m_lineNo ? m_lineNo : 1;
        return Fail(
            "not a registry file (it must begin with \"Windows Registry Editor Version 5.00\" or "
            "\"REGEDIT4\")");
    }
    while (NextLine(line)) {
        if (line.empty() || line.front() == u';' || line.front() == u'#') continue;
        if (line.front() == u'[') {
            size_t close = line.rfind(u']');
            if (close == std::u16string_view::npos) return Fail("key line without its closing ']'");
            std::u16string_view inner = line.substr(1, close - 1);
            bool remove = !inner.empty() && inner.front() == u'-';
            if (remove) inner.remove_prefix(1);
            CRegPath path;
            if (!ParseRegPath(text::Utf16ToUtf8(inner), path))
                return Fail("unknown root key in \"" + text::Utf16ToUtf8(inner) + "\"");
            if (remove && path.m_subKey.empty()) return Fail("a root key cannot be deleted");
            m_ops.push_back(COperation{
                remove ? COperation::DeleteKey : COperation::CreateKey, path, {}, REG_NONE, {}});
            m_inKey = !remove;
            m_key = path;
            continue;
        }
        if (line.front() == u'@' || line.front() == u'"') {
            if (!ParseValue(line)) return false;
            continue;
        }
        return Fail("line is neither a key, a value nor a comment");
    }
    return true;
}

} // namespace

bool ImportRegEditFile(CRegistry& registry, std::string_view bytes, std::string& error) {
    std::vector<COperation> ops;
    CImportParser parser(Decode(bytes), ops, error);
    if (!parser.Run()) return false;
    HKEY current = nullptr;
    auto closeCurrent = [&] {
        if (current) registry.RegCloseKey(current);
        current = nullptr;
    };
    for (const auto& op : ops) {
        std::u16string sub = text::Utf8ToUtf16(op.m_path.m_subKey);
        LSTATUS rc = ERROR_SUCCESS;
        switch (op.m_kind) {
        case COperation::CreateKey:
            closeCurrent();
            rc = registry.RegCreateKeyExW(op.m_path.m_root, sub.c_str(), 0, nullptr,
                                          REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                          &current, nullptr);
            break;
        case COperation::DeleteKey:
            closeCurrent();
            rc = registry.RegDeleteTreeW(op.m_path.m_root, sub.c_str());
            if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
            break;
        case COperation::SetValue:
            rc = registry.RegSetValueExW(current, op.m_name.c_str(), 0, op.m_type, op.m_data.data(),
                                         static_cast<DWORD>(op.m_data.size()));
            break;
        case COperation::DeleteValue:
            rc = registry.RegDeleteValueW(current, op.m_name.c_str());
            if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
            break;
        }
        if (rc != ERROR_SUCCESS) {
            closeCurrent();
            error = op.m_path.Full() + ": " +
                    (rc == ERROR_ACCESS_DENIED ? std::string("access is denied")
                                               : "error " + std::to_string(rc));
            return false;
        }
    }
    closeCurrent();
    return true;
}

} // namespace cva::hive

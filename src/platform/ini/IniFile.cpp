#include "platform/ini/IniFile.h"

#include "platform/files/AtomicFile.h"
#include "platform/text/Unicode.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace cva::ini {

namespace {

// Ctrl+Z counts as white space: files written by old DOS editors end with one.
bool IsIniSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsIniSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsIniSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// Files written on Windows arrive in Windows-1252; callers always get UTF-8.
std::string AsUtf8(std::string_view s) {
    if (text::IsValidUtf8(s)) return std::string(s);
    return text::Utf16ToUtf8(text::Utf8ToUtf16(s));
}

// The case-folded form of a name; ASCII names, nearly all of them, skip the conversion.
std::string Fold(std::string_view name) {
    bool ascii = true;
    for (char c : name) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (!ascii) return text::ToUpperUtf8(name);
    std::string out(name);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// Cuts at most `limit` bytes without splitting a UTF-8 sequence in two.
size_t CutLength(std::string_view s, size_t limit) {
    if (s.size() <= limit) return s.size();
    size_t n = limit;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        --n;
    return n == 0 ? limit : n;
}

uint32_t CopyString(std::string_view s, char* buffer, uint32_t size) {
    size_t n = CutLength(s, size - 1);
    std::memcpy(buffer, s.data(), n);
    buffer[n] = '\0';
    return static_cast<uint32_t>(n);
}

// Double-NUL-terminated list; when it does not fit, Windows cuts it, ends it with two
// NULs and returns size - 2.
uint32_t CopyList(const std::vector<std::string>& names, char* buffer, uint32_t size) {
    std::string joined;
    for (const std::string& name : names) {
        joined += name;
        joined += '\0';
    }
    if (joined.size() + 1 <= size) {
        std::memcpy(buffer, joined.data(), joined.size());
        buffer[joined.size()] = '\0';
        if (joined.empty() && size > 1) buffer[1] = '\0';
        return static_cast<uint32_t>(joined.empty() ? 0 : joined.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, joined.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

bool HasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

int ParseWindowsInt(std::string_view s) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    uint32_t value = 0; // wraps like the system's conversion does
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        value = value * 10u + static_cast<uint32_t>(s[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<int>(value);
}

} // namespace

std::optional<CIniFile> CIniFile::Load(const std::string& path) {
    std::optional<std::string> data = files::ReadWholeFile(path);
    if (!data) return std::nullopt;
    return FromText(*data);
}

CIniFile CIniFile::FromText(std::string_view bytes) {
    CIniFile file;
    std::string decoded;
    std::string_view text = bytes;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        file.m_encoding = EEncoding::Utf8Bom;
        text.remove_prefix(3);
    } else if (text.size() >= 2 &&
               (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF")) {
        const bool little = text[0] == '\xFF';
        file.m_encoding = little ? EEncoding::Utf16Le : EEncoding::Utf16Be;
        std::u16string units;
        for (size_t i = 2; i + 1 < text.size(); i += 2) {
            auto lo = static_cast<unsigned char>(text[little ? i : i + 1]);
            auto hi = static_cast<unsigned char>(text[little ? i + 1 : i]);
            units.push_back(static_cast<char16_t>(lo | (hi << 8)));
        }
        decoded = text::Utf16ToUtf8(units);
        text = decoded;
    }
    while (!text.empty()) {
        SLine line;
        size_t nl = text.find('\n');
        std::string_view body = nl == std::string_view::npos ? text : text.substr(0, nl);
        if (nl == std::string_view::npos) {
            text = {};
        } else {
            text.remove_prefix(nl + 1);
            if (!body.empty() && body.back() == '\r') {
                body.remove_suffix(1);
                line.eol = "\r\n";
            } else {
                line.eol = "\n";
            }
        }
        line.text = std::string(body);
        ClassifyLine(line);
        file.m_lines.push_back(std::move(line));
    }
    return file;
}

void CIniFile::ClassifyLine(SLine& line) {
    line.kind = ELineKind::Other;
    line.name.clear();
    line.folded.clear();
    line.value.clear();
    std::string_view t = Trim(line.text);
    if (t.empty() || t.front() == ';') return;
    if (t.front() == '[') {
        // The last bracket closes the name, and Windows accepts a header without one.
        std::string_view inner = t.substr(1);
        size_t close = inner.rfind(']');
        if (close != std::string_view::npos) inner = inner.substr(0, close);
        line.kind = ELineKind::Section;
        line.name = std::string(Trim(inner));
        line.folded = Fold(line.name);
        return;
    }
    size_t eq = t.find('=');
    std::string_view name = Trim(t.substr(0, eq));
    if (name.empty()) return;
    line.kind = ELineKind::Key;
    line.name = std::string(name);
    line.folded = Fold(name);
    if (eq != std::string_view::npos) line.value = std::string(Unquote(Trim(t.substr(eq + 1))));
}

std::optional<CIniFile::SSectionRange> CIniFile::FindSection(std::string_view section) const {
    const std::string wanted = Fold(section);
    size_t first = m_lines.size();
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == ELineKind::Section) {
            if (first == m_lines.size()) first = i;
            if (m_lines[i].folded == wanted) {
                size_t end = i + 1;
                while (end < m_lines.size() && m_lines[end].kind != ELineKind::Section)
                    ++end;
                return SSectionRange{i, end};
            }
        }
    }
    // Keys above the first header form a nameless section, reachable as "".
    if (section.empty() && first > 0) return SSectionRange{std::string::npos, first};
    return std::nullopt;
}

std::optional<size_t> CIniFile::FindKey(const SSectionRange& range, std::string_view key) const {
    const std::string wanted = Fold(key);
    size_t begin = range.header == std::string::npos ? 0 : range.header + 1;
    for (size_t i = begin; i < range.end; ++i)
        if (m_lines[i].kind == ELineKind::Key && m_lines[i].folded == wanted) return i;
    return std::nullopt;
}

std::optional<std::string> CIniFile::GetValue(std::string_view section,
                                              std::string_view key) const {
    std::optional<SSectionRange> range = FindSection(section);
    if (!range) return std::nullopt;
    std::optional<size_t> index = FindKey(*range, key);
    if (!index) return std::nullopt;
    return AsUtf8(m_lines[*index].value);
}

std::string CIniFile::GetString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    std::optional<std::string> value = GetValue(section, key);
    return value ? *value : std::string(defaultValue);
}

int CIniFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    std::optional<std::string> value = GetValue(section, key);
    if (!value || value->empty()) return defaultValue;
    return ParseWindowsInt(*value);
}

bool CIniFile::HasSection(std::string_view section) const {
    return FindSection(section).has_value();
}

std::vector<std::string> CIniFile::SectionNames() const {
    std::vector<std::string> names;
    std::vector<const std::string*> seen;
    for (const SLine& line : m_lines) {
        if (line.kind != ELineKind::Section) continue;
        bool known = false;
        for (const std::string* f : seen)
            known = known || *f == line.folded;
        if (known) continue;
        seen.push_back(&line.folded);
        names.push_back(AsUtf8(line.name));
    }
    return names;
}

std::vector<std::string> CIniFile::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    std::optional<SSectionRange> range = FindSection(section);
    if (!range) return names;
    size_t begin = range->header == std::string::npos ? 0 : range->header + 1;
    std::vector<const std::string*> seen;
    for (size_t i = begin; i < range->end; ++i) {
        if (m_lines[i].kind != ELineKind::Key) continue;
        bool known = false;
        for (const std::string* f : seen)
            known = known || *f == m_lines[i].folded;
        if (known) continue;
        seen.push_back(&m_lines[i].folded);
        names.push_back(AsUtf8(m_lines[i].name));
    }
    return names;
}

uint32_t CIniFile::GetProfileString(const char* section, const char* key, const char* defaultValue,
                                    char* buffer, uint32_t size) const {
    if (!buffer || size == 0) return 0;
    if (!section) return CopyList(SectionNames(), buffer, size);
    if (!key) return CopyList(KeyNames(section), buffer, size);
    std::optional<std::string> value = GetValue(section, key);
    if (value) return CopyString(*value, buffer, size);
    // Windows drops trailing blanks of the default before copying it.
    std::string_view def = defaultValue ? defaultValue : "";
    while (!def.empty() && (def.back() == ' ' || def.back() == '\t'))
        def.remove_suffix(1);
    return CopyString(def, buffer, size);
}

std::string CIniFile::NewLineEnd() const {
    for (const SLine& line : m_lines)
        if (!line.eol.empty()) return line.eol;
    return "\r\n";
}

bool CIniFile::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    std::string_view trimmedKey = Trim(key);
    if (Trim(section).empty() || trimmedKey.empty() || HasLineBreakOrNul(section) ||
        HasLineBreakOrNul(key) || HasLineBreakOrNul(value) ||
        key.find('=') != std::string_view::npos || trimmedKey.front() == ';' ||
        trimmedKey.front() == '[')
        return false;
    const std::string eol = NewLineEnd();
    auto makeLine = [&](std::string text) {
        SLine line;
        line.text = std::move(text);
        line.eol = eol;
        ClassifyLine(line);
        return line;
    };

    std::optional<SSectionRange> range = FindSection(section);
    if (range) {
        if (std::optional<size_t> index = FindKey(*range, key)) {
            SLine& line = m_lines[*index];
            line.text = line.name + "=" + std::string(value);
            ClassifyLine(line);
            return true;
        }
        // New keys go after the section's last non-blank line, before its trailing gap.
        size_t insertAt = range->header == std::string::npos ? 0 : range->header + 1;
        for (size_t i = insertAt; i < range->end; ++i)
            if (!Trim(m_lines[i].text).empty()) insertAt = i + 1;
        if (insertAt > 0 && m_lines[insertAt - 1].eol.empty()) m_lines[insertAt - 1].eol = eol;
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                       makeLine(std::string(trimmedKey) + "=" + std::string(value)));
        return true;
    }

    if (!m_lines.empty()) {
        if (m_lines.back().eol.empty()) m_lines.back().eol = eol;
        if (!Trim(m_lines.back().text).empty()) m_lines.push_back(makeLine(""));
    }
    m_lines.push_back(makeLine("[" + std::string(Trim(section)) + "]"));
    m_lines.push_back(makeLine(std::string(trimmedKey) + "=" + std::string(value)));
    return true;
}

bool CIniFile::DeleteKey(std::string_view section, std::string_view key) {
    std::optional<SSectionRange> range = FindSection(section);
    if (!range) return false;
    // Every copy of the key goes, so that a later duplicate cannot surface afterwards.
    const std::string wanted = Fold(key);
    bool removed = false;
    size_t begin = range->header == std::string::npos ? 0 : range->header + 1;
    for (size_t i = range->end; i-- > begin;) {
        if (m_lines[i].kind == ELineKind::Key && m_lines[i].folded == wanted) {
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
            removed = true;
        }
    }
    return removed;
}

bool CIniFile::DeleteSection(std::string_view section) {
    if (Trim(section).empty()) return false;
    bool removed = false;
    for (;;) {
        std::optional<SSectionRange> range = FindSection(section);
        if (!range || range->header == std::string::npos) break;
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                      m_lines.begin() + static_cast<std::ptrdiff_t>(range->end));
        removed = true;
    }
    return removed;
}

std::string CIniFile::Text() const {
    std::string out = m_encoding == EEncoding::Utf8Bom ? "\xEF\xBB\xBF" : "";
    for (const SLine& line : m_lines) {
        out += line.text;
        out += line.eol;
    }
    if (m_encoding != EEncoding::Utf16Le && m_encoding != EEncoding::Utf16Be) return out;
    const bool little = m_encoding == EEncoding::Utf16Le;
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t unit : text::Utf8ToUtf16(out)) {
        char lo = static_cast<char>(unit & 0xFF);
        char hi = static_cast<char>(unit >> 8);
        bytes += little ? lo : hi;
        bytes += little ? hi : lo;
    }
    return bytes;
}

bool CIniFile::Save(const std::string& path) const {
    return files::WriteFileAtomically(path, Text());
}

uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                 char* buffer, uint32_t size, const char* path) {
    std::optional<CIniFile> file = path ? CIniFile::Load(path) : std::nullopt;
    return (file ? *file : CIniFile()).GetProfileString(section, key, defaultValue, buffer, size);
}

int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* path) {
    if (!section || !key || !path) return defaultValue;
    std::optional<CIniFile> file = CIniFile::Load(path);
    return file ? file->GetInt(section, key, defaultValue) : defaultValue;
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* path) {
    if (!path || !*path) return false;
    if (!section) return !key && !value; // the documented "flush the cache" call
    std::optional<CIniFile> loaded = CIniFile::Load(path);
    if (!loaded) {
        // Only a file that is really missing may be started afresh; one that exists but
        // cannot be read must not be replaced by a file holding just this key.
        struct stat st {};
        if (::stat(path, &st) == 0 || errno != ENOENT) return false;
    }
    CIniFile file = loaded ? std::move(*loaded) : CIniFile();
    const std::string before = file.Text();
    if (!key) {
        file.DeleteSection(section);
    } else if (!value) {
        file.DeleteKey(section, key);
    } else if (!file.SetValue(section, key, value)) {
        return false;
    }
    if (file.Text() == before) return true; // nothing to write, no file to create
    return file.Save(path);
}

} // namespace cva::ini

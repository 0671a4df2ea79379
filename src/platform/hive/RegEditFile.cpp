#include "platform/hive/RegEditFile.h"

#include "platform/text/Unicode.h"

#include <memory>
#include <vector>

namespace cva::hive {

using namespace cva::reg;

namespace {

constexpr std::u16string_view kVersion5 = u"Windows Registry Editor Version 5.00";
constexpr std::u16string_view kVersion4 = u"REGEDIT4";
constexpr size_t kWrapColumn = 77;
constexpr size_t kFlushChars = 1 << 16;

std::u16string UnitsOf(const std::vector<uint8_t>& data) {
    std::u16string s(data.size() / 2, u'\0');
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    return s;
}

std::u16string Escape(std::u16string_view s) {
    std::u16string out;
    for (char16_t c : s) {
        if (c == u'\\' || c == u'"') out.push_back(u'\\');
        out.push_back(c);
    }
    return out;
}

// True when the data is text a quoted .reg string reproduces exactly.
bool PlainString(const std::vector<uint8_t>& data) {
    if (data.size() < 2 || data.size() % 2) return false;
    std::u16string s = UnitsOf(data);
    if (s.back() != 0) return false;
    for (size_t i = 0; i + 1 < s.size(); ++i)
        if (s[i] < 0x20) return false;
    return true;
}

void AppendHexData(std::u16string& out, std::u16string_view prefix,
                   const std::vector<uint8_t>& bytes) {
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    out += prefix;
    size_t column = prefix.size();
    for (size_t i = 0; i < bytes.size(); ++i) {
        out.push_back(kHex[bytes[i] >> 4]);
        out.push_back(kHex[bytes[i] & 0xF]);
        if (i + 1 < bytes.size()) {
            out.push_back(u',');
            column += 3;
            if (column >= kWrapColumn) {
                out += u"\\\r\n  ";
                column = 2;
            }
        }
    }
    out += u"\r\n";
}

void AppendValue(std::u16string& out, std::u16string_view name, DWORD type,
                 const std::vector<uint8_t>& data, RegEditFormat format) {
    std::u16string head;
    if (name.empty()) {
        head = u"@=";
    } else {
        head.push_back(u'"');
        head += Escape(name);
        head += u"\"=";
    }
    if (type == REG_SZ && PlainString(data)) {
        std::u16string s = UnitsOf(data);
        s.pop_back();
        out += head;
        out.push_back(u'"');
        out += Escape(s);
        out += u"\"\r\n";
        return;
    }
    if (type == REG_DWORD && data.size() == 4) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x",
                      data[0] | (data[1] << 8) | (data[2] << 16) |
                          (static_cast<unsigned>(data[3]) << 24));
        out += head + text::Utf8ToUtf16(buf) + u"\r\n";
        return;
    }
    std::vector<uint8_t> bytes = data;
    if (format == RegEditFormat::Regedit4 && IsStringType(type) && data.size() % 2 == 0) {
        std::string ansi = text::Utf16ToUtf8(UnitsOf(data));
        bytes.assign(ansi.begin(), ansi.end());
    }
    if (type == REG_BINARY) {
        head += u"hex:";
    } else {
        char buf[16];
        std::snprintf(buf, sizeof buf, "hex(%x):", type);
        head += text::Utf8ToUtf16(buf);
    }
    AppendHexData(out, head, bytes);
}

// Moves the finished text into the file's bytes, so that the export of a whole registry
// (tens of megabytes) never holds its text twice or keeps growing one string.
void Flush(std::u16string& out, RegEditFormat format, std::string& bytes) {
    if (format == RegEditFormat::Regedit4) {
        bytes += text::Utf16ToUtf8(out);
    } else {
        size_t at = bytes.size();
        bytes.resize(at + out.size() * 2);
        char* p = bytes.data() + at;
        for (char16_t c : out) {
            *p++ = static_cast<char>(c & 0xFF);
            *p++ = static_cast<char>(c >> 8);
        }
    }
    out.clear();
}

LSTATUS ExportKey(CRegistry& registry, HKEY key, const std::u16string& path, RegEditFormat format,
                  std::u16string& out, std::string& bytes) {
    // Key boundaries never split a character.
    if (out.size() >= kFlushChars) Flush(out, format, bytes);
    DWORD subKeys = 0, maxSub = 0, values = 0, maxName = 0, maxData = 0;
    LSTATUS rc = registry.RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxSub,
                                           nullptr, &values, &maxName, &maxData, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    out += u"[" + path + u"]\r\n";
    std::vector<char16_t> name(std::max(maxName, maxSub) + 1);
    std::vector<uint8_t> data(maxData);
    for (DWORD i = 0; i < values; ++i) {
        DWORD nameChars = static_cast<DWORD>(name.size()), type = 0, size = maxData;
        rc = registry.RegEnumValueW(key, i, name.data(), &nameChars, nullptr, &type, data.data(),
                                    &size);
        if (rc != ERROR_SUCCESS) return rc;
        AppendValue(out, std::u16string_view(name.data(), nameChars), type,
                    std::vector<uint8_t>(data.begin(), data.begin() + size), format);
    }
    out += u"\r\n";
    for (DWORD i = 0; i < subKeys; ++i) {
        DWORD nameChars = static_cast<DWORD>(name.size());
        rc = registry.RegEnumKeyExW(key, i, name.data(), &nameChars, nullptr, nullptr, nullptr,
                                    nullptr);
        if (rc != ERROR_SUCCESS) return rc;
        std::u16string child(name.data(), nameChars);
        HKEY sub = nullptr;
        // A symbolic link whose target is missing is listed but cannot be opened (Wine's
        // Wow6432Node links in a prefix); as Wine's own reg does, the export goes on without it.
        if (registry.RegOpenKeyExW(key, child.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS)
            continue;
        rc = ExportKey(registry, sub, path + u"\\" + child, format, out, bytes);
        registry.RegCloseKey(sub);
        if (rc != ERROR_SUCCESS) return rc;
    }
    return ERROR_SUCCESS;
}

} // namespace

LSTATUS ExportRegEditFile(CRegistry& registry, const CRegPath& path, RegEditFormat format,
                          std::string& bytes) {
    HKEY key = nullptr;
    std::u16string sub = text::Utf8ToUtf16(path.m_subKey);
    LSTATUS rc = registry.RegOpenKeyExW(path.m_root, sub.c_str(), 0, KEY_READ, &key);
    if (rc != ERROR_SUCCESS) return rc;
    std::u16string out(format == RegEditFormat::Version5 ? kVersion5 : kVersion4);
    out += u"\r\n\r\n";
    bytes.assign(format == RegEditFormat::Version5 ? "\xFF\xFE" : "");
    rc = ExportKey(registry, key, text::Utf8ToUtf16(path.Full()), format, out, bytes);
    registry.RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return rc;
    Flush(out, format, bytes);
    return ERROR_SUCCESS;
}

} // namespace cva::hive

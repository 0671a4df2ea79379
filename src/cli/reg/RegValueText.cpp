#include "cli/reg/RegValueText.h"

#include "platform/text/Unicode.h"

#include <cstdio>

namespace cva::cli {

using namespace cva::reg;

namespace {

struct CTypeName {
    const char* m_name;
    DWORD m_type;
};

constexpr CTypeName kTypes[] = {
    {"REG_NONE", REG_NONE},
    {"REG_SZ", REG_SZ},
    {"REG_EXPAND_SZ", REG_EXPAND_SZ},
    {"REG_BINARY", REG_BINARY},
    {"REG_DWORD", REG_DWORD},
    {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN},
    {"REG_LINK", REG_LINK},
    {"REG_MULTI_SZ", REG_MULTI_SZ},
    {"REG_RESOURCE_LIST", REG_RESOURCE_LIST},
    {"REG_FULL_RESOURCE_DESCRIPTOR", REG_FULL_RESOURCE_DESCRIPTOR},
    {"REG_RESOURCE_REQUIREMENTS_LIST", REG_RESOURCE_REQUIREMENTS_LIST},
    {"REG_QWORD", REG_QWORD},
};

std::u16string Units(const std::vector<uint8_t>& data) {
    std::u16string s(data.size() / 2, u'\0');
    for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    return s;
}

void AppendUnits(std::vector<uint8_t>& out, std::u16string_view s) {
    for (char16_t c : s) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
}

bool ParseNumber(std::string_view text, uint64_t max, uint64_t& value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;
    value = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        if (value > (max - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base)) return false;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    }
    return true;
}

} // namespace

std::optional<DWORD> TypeFromName(std::string_view name) {
    for (const auto& t : kTypes)
        if (text::EqualsNoCaseUtf8(name, t.m_name)) return t.m_type;
    if (text::EqualsNoCaseUtf8(name, "REG_DWORD_LITTLE_ENDIAN")) return REG_DWORD;
    if (text::EqualsNoCaseUtf8(name, "REG_QWORD_LITTLE_ENDIAN")) return REG_QWORD;
    return std::nullopt;
}

std::string TypeName(DWORD type) {
    for (const auto& t : kTypes)
        if (t.m_type == type) return t.m_name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%x", type);
    return buf;
}

std::string FormatData(DWORD type, const std::vector<uint8_t>& data) {
    char buf[32];
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        std::u16string s = Units(data);
        size_t nul = s.find(u'\0');
        if (nul != std::u16string::npos) s.resize(nul);
        return text::Utf16ToUtf8(s);
    }
    case REG_MULTI_SZ: {
        std::u16string s = Units(data);
        while (!s.empty() && s.back() == u'\0') s.pop_back();
        std::string out;
        size_t start = 0;
        for (;;) {
            size_t nul = s.find(u'\0', start);
            out += text::Utf16ToUtf8(std::u16string_view(s).substr(start, nul - start));
            if (nul == std::u16string::npos) break;
            out += "\\0";
            start = nul + 1;
        }
        return out;
    }
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
        if (data.size() == 4) {
            std::snprintf(buf, sizeof buf, "0x%x",
                          data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<unsigned>(data[3]) << 24));
            return buf;
        }
        break;
    case REG_QWORD:
        if (data.size() == 8) {
            unsigned long long v = 0;
            for (int i = 7; i >= 0; --i) v = (v << 8) | data[static_cast<size_t>(i)];
            std::snprintf(buf, sizeof buf, "0x%llx", v);
            return buf;
        }
        break;
    default:
        break;
    }
    std::string out;
    for (uint8_t b : data) {
        std::snprintf(buf, sizeof buf, "%02X", b);
        out += buf;
    }
    return out;
}

bool ParseData(DWORD type, std::string_view data, bool haveData, std::string_view separator,
               std::vector<uint8_t>& out, std::string& error) {
    out.clear();
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        AppendUnits(out, text::Utf8ToUtf16(data));
        AppendUnits(out, std::u16string(1, u'\0'));
        return true;
    case REG_NONE:
        if (haveData) {
            AppendUnits(out, text::Utf8ToUtf16(data));
            AppendUnits(out, std::u16string(1, u'\0'));
        }
        return true;
    case REG_MULTI_SZ: {
        std::string_view sep = separator.empty() ? std::string_view("\\0") : separator;
        size_t start = 0;
        while (haveData && !data.empty()) {
            size_t pos = data.find(sep, start);
            std::string_view part = data.substr(start, pos == std::string_view::npos ? pos : pos - start);
            if (part.empty() && pos != std::string_view::npos) {
                error = "REG_MULTI_SZ data cannot hold an empty string between two separators";
                return false;
            }
            AppendUnits(out, text::Utf8ToUtf16(part));
            AppendUnits(out, std::u16string(1, u'\0'));
            if (pos == std::string_view::npos) break;
            start = pos + sep.size();
            if (start == data.size()) break;
        }
        AppendUnits(out, std::u16string(1, u'\0'));
        return true;
    }
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
    case REG_QWORD: {
        uint64_t value = 0;
        uint64_t max = type == REG_QWORD ? ~0ull : 0xFFFFFFFFull;
        if (haveData && !ParseNumber(data, max, value)) {
            error = "\"" + std::string(data) + "\" is not a " + TypeName(type) +
                    " number (give a decimal number or 0x and hex digits" +
                    (type == REG_QWORD ? ")" : ", at most 0xffffffff)");
            return false;
        }
        size_t size = type == REG_QWORD ? 8 : 4;
        for (size_t i = 0; i < size; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
        if (type == REG_DWORD_BIG_ENDIAN) std::swap(out[0], out[3]), std::swap(out[1], out[2]);
        return true;
    }
    case REG_BINARY: {
        if (data.size() % 2) {
            error = "REG_BINARY data needs two hex digits per byte";
            return false;
        }
        for (size_t i = 0; i < data.size(); i += 2) {
            uint64_t byte;
            if (!ParseNumber("0x" + std::string(data.substr(i, 2)), 0xFF, byte)) {
                error = "REG_BINARY data may only hold hex digits";
                return false;
            }
            out.push_back(static_cast<uint8_t>(byte));
        }
        return true;
    }
    default:
        error = "values of type " + TypeName(type) + " cannot be written here";
        return false;
    }
}

} // namespace cva::cli

#include "update/VersionFile.h"

#include <cctype>

namespace cva::update {

namespace {

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return (std::tolower(static_cast<unsigned char>(c)) - 'a') + 10;
}

std::string PercentDecode(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && IsHexDigit(text[i + 1]) && IsHexDigit(text[i + 2])) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string_view LastSegment(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool IsSafeNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-' || c == '+';
}

// One field of a version: its number and the text after the digits.
struct SField {
    unsigned long long number = 0;
    std::string_view rest;
};

SField SplitField(std::string_view field) {
    SField out;
    size_t i = 0;
    while (i < field.size() && std::isdigit(static_cast<unsigned char>(field[i]))) {
        // Saturate rather than wrap: a silly version must not turn old.
        unsigned long long next = out.number * 10 + static_cast<unsigned>(field[i] - '0');
        out.number = next < out.number ? ~0ULL : next;
        ++i;
    }
    out.rest = field.substr(i);
    return out;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        int ca = std::tolower(static_cast<unsigned char>(a[i]));
        int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string_view NextField(std::string_view& text) {
    size_t dot = text.find('.');
    std::string_view field = text.substr(0, dot);
    text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    return field;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<std::string> ExtractValue(std::string_view text, std::string_view keyword) {
    size_t at = text.find(keyword);
    if (at == std::string_view::npos) return std::nullopt;
    size_t open = text.find('"', at + keyword.size());
    if (open == std::string_view::npos) return std::nullopt;
    size_t close = text.find('"', open + 1);
    // A file that ends inside the value has no value.
    if (close == std::string_view::npos) return std::nullopt;
    size_t length = close - open - 1;
    if (length > kMaxValueLength) length = kMaxValueLength;
    return std::string(text.substr(open + 1, length));
}

std::optional<SVersionFile> ParseVersionFile(std::string_view text) {
    std::optional<std::string> version = ExtractValue(text, "Version:");
    std::optional<std::string> url = ExtractValue(text, "Filename:");
    if (!version || !url) return std::nullopt;
    SVersionFile file;
    file.m_version = std::string(Trim(*version));
    file.m_url = std::string(Trim(*url));
    if (file.m_version.empty() || file.m_url.empty()) return std::nullopt;
    if (std::optional<std::string> sha = ExtractValue(text, "Sha256:")) {
        if (sha->size() != 64) return std::nullopt;
        for (char& c : *sha) {
            if (!IsHexDigit(c)) return std::nullopt;
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        file.m_sha256 = std::move(*sha);
    }
    return file;
}

int CompareVersions(std::string_view a, std::string_view b) {
    a = Trim(a);
    b = Trim(b);
    while (!a.empty() || !b.empty()) {
        SField fa = SplitField(NextField(a));
        SField fb = SplitField(NextField(b));
        if (fa.number != fb.number) return fa.number < fb.number ? -1 : 1;
        if (int rest = CompareNoCase(fa.rest, fb.rest)) return rest;
    }
    return 0;
}

std::string SafeFileName(std::string_view url, std::string_view fallback) {
    size_t end = url.find_first_of("?#");
    std::string_view path = url.substr(0, end);
    size_t scheme = path.find("://");
    if (scheme != std::string_view::npos) {
        path.remove_prefix(scheme + 3);
        size_t slash = path.find('/');
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash);
    }
    // Decoding can reveal separators ("%2f"), so the last segment is taken again after it.
    std::string decoded = PercentDecode(LastSegment(path));
    std::string_view segment = LastSegment(decoded);
    std::string name;
    for (char c : segment)
        if (IsSafeNameChar(c)) name += c;
    size_t first = name.find_first_not_of('.');
    name = first == std::string::npos ? std::string() : name.substr(first);
    if (name.size() > 128) name.erase(0, name.size() - 128);
    return name.empty() ? std::string(fallback) : name;
}

std::string UrlHost(std::string_view url) {
    size_t scheme = url.find("://");
    if (scheme == std::string_view::npos) return {};
    std::string_view rest = url.substr(scheme + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    size_t at = rest.rfind('@');
    if (at != std::string_view::npos) rest.remove_prefix(at + 1);
    if (!rest.empty() && rest.front() == '[') {
        size_t close = rest.find(']');
        return std::string(rest.substr(1, close == std::string_view::npos ? rest.npos : close - 1));
    }
    return std::string(rest.substr(0, rest.find(':')));
}

std::string VersionFileUrl(std::string_view serverBase, std::string_view shortName) {
    std::string base(Trim(serverBase));
    while (!base.empty() && base.back() == '/') base.pop_back();
    if (base.find("://") == std::string::npos) base = "https://" + base;
    return base + "/downloads/" + std::string(shortName) + ".ver";
}

} // namespace cva::update

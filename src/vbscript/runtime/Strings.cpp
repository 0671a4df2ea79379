#include "vbscript/runtime/Strings.h"

#include "platform/text/Unicode.h"

#include <algorithm>

namespace cva::vbs::rt {

namespace {

bool Same(char16_t a, char16_t b, CompareMode mode) {
    return a == b || (mode == CompareMode::Text && text::ToUpper(a) == text::ToUpper(b));
}

bool MatchAt(std::u16string_view text, std::size_t at, std::u16string_view find, CompareMode mode) {
    if (at + find.size() > text.size()) return false;
    for (std::size_t k = 0; k < find.size(); ++k)
        if (!Same(text[at + k], find[k], mode)) return false;
    return true;
}

// 0-based position of find in text at or after from, or npos.
std::size_t FindForward(std::u16string_view text, std::u16string_view find, std::size_t from,
                        CompareMode mode) {
    if (mode == CompareMode::Binary || find.empty()) return text.find(find, from);
    if (find.size() > text.size()) return std::u16string_view::npos;
    const char16_t first = text::ToUpper(find[0]);
    for (std::size_t i = from; i + find.size() <= text.size(); ++i)
        if (text::ToUpper(text[i]) == first && MatchAt(text, i, find, mode)) return i;
    return std::u16string_view::npos;
}

} // namespace

int InStr(int32_t start, std::u16string_view text, std::u16string_view find, CompareMode mode,
          int32_t& out) {
    if (start < 1) return 5;
    out = 0;
    const std::size_t from = static_cast<std::size_t>(start) - 1;
    if (text.empty() || from >= text.size()) return 0;
    if (find.empty()) {
        out = start;
        return 0;
    }
    const std::size_t at = FindForward(text, find, from, mode);
    if (at != std::u16string_view::npos) out = static_cast<int32_t>(at + 1);
    return 0;
}

int InStrRev(std::u16string_view text, std::u16string_view find, int32_t start, CompareMode mode,
             int32_t& out) {
    if (start == 0 || start < -1) return 5;
    out = 0;
    const std::size_t length = text.size();
    const std::size_t end = start == -1 ? length : static_cast<std::size_t>(start);
    if (end > length) return 0;
    if (find.empty()) {
        out = static_cast<int32_t>(end);
        return 0;
    }
    if (find.size() > end) return 0;
    for (std::size_t i = end - find.size() + 1; i-- > 0;) {
        if (MatchAt(text, i, find, mode)) {
            out = static_cast<int32_t>(i + 1);
            return 0;
        }
    }
    return 0;
}

int Replace(std::u16string_view text, std::u16string_view find, std::u16string_view with,
            int32_t start, int32_t count, CompareMode mode, std::u16string& out) {
    if (start < 1 || count < -1) return 5;
    out.clear();
    const std::size_t from = static_cast<std::size_t>(start) - 1;
    if (from >= text.size()) return 0;
    const std::u16string_view rest = text.substr(from);
    if (find.empty() || count == 0) {
        out.assign(rest);
        return 0;
    }
    // Collect the match positions first so the result is sized once: linear in the input.
    std::vector<std::size_t> hits;
    for (std::size_t at = FindForward(rest, find, 0, mode); at != std::u16string_view::npos;
         at = FindForward(rest, find, at + find.size(), mode)) {
        hits.push_back(at);
        if (count != -1 && hits.size() == static_cast<std::size_t>(count)) break;
    }
    const std::size_t size = rest.size() + hits.size() * with.size() - hits.size() * find.size();
    if (size > kMaxStringLength) return 14;
    out.reserve(size);
    std::size_t copied = 0;
    for (std::size_t at : hits) {
        out.append(rest.substr(copied, at - copied));
        out.append(with);
        copied = at + find.size();
    }
    out.append(rest.substr(copied));
    return 0;
}

int Split(std::u16string_view text, std::u16string_view delimiter, int32_t count,
          CompareMode mode, std::vector<std::u16string>& out) {
    if (count < -1) return 5;
    out.clear();
    if (text.empty() || count == 0) return 0;
    if (delimiter.empty()) {
        out.emplace_back(text);
        return 0;
    }
    std::size_t from = 0;
    for (;;) {
        if (count != -1 && out.size() + 1 == static_cast<std::size_t>(count)) break;
        const std::size_t at = FindForward(text, delimiter, from, mode);
        if (at == std::u16string_view::npos) break;
        out.emplace_back(text.substr(from, at - from));
        from = at + delimiter.size();
    }
    out.emplace_back(text.substr(from));
    return 0;
}

std::u16string Join(std::span<const std::u16string> items, std::u16string_view delimiter) {
    std::size_t size = 0;
    for (const auto& item : items) size += item.size() + delimiter.size();
    std::u16string out;
    out.reserve(size);
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (k != 0) out.append(delimiter);
        out.append(items[k]);
    }
    return out;
}

std::vector<std::u16string> Filter(std::span<const std::u16string> items,
                                   std::u16string_view value, bool include, CompareMode mode) {
    std::vector<std::u16string> out;
    for (const auto& item : items) {
        const bool contains = FindForward(item, value, 0, mode) != std::u16string_view::npos;
        if (contains == include) out.push_back(item);
    }
    return out;
}

namespace {

// The primary sort weight of a code unit in text comparison. Windows compares text
// linguistically: punctuation and symbols sort before digits, digits before letters, and
// accented Latin letters next to their base letter ("a" < "_" is false, "\u00E4" < "b").
// This reproduces that order for Latin text; other scripts keep code-point order.
uint32_t TextWeight(char16_t c) {
    // Base letters of U+00C0..U+00DE (upper case; U+00D7 is the multiplication sign).
    static constexpr char kLatin1Base[] = "AAAAAAACEEEEIIIIDNOOOOO*OUUUUYT";
    const char16_t u = text::ToUpper(c);
    if (u >= u'0' && u <= u'9') return 0x10000u + u;
    if (u >= u'A' && u <= u'Z') return 0x20000u + u;
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return 0x20000u + static_cast<unsigned char>(kLatin1Base[u - 0xC0]);
    if (u == 0xDF) return 0x20000u + u'S';
    if (u == 0x178) return 0x20000u + u'Y';
    if (u != text::ToLower(u)) return 0x30000u + u; // letters of other scripts
    return u;
}

} // namespace

int StrComp(std::u16string_view a, std::u16string_view b, CompareMode mode) {
    int r;
    if (mode == CompareMode::Text) {
        // Linguistic order first; texts equal in it are ordered by their upper-case code
        // units, so equality is exactly equality without regard to case.
        r = 0;
        const std::size_t n = std::min(a.size(), b.size());
        for (std::size_t k = 0; k < n && r == 0; ++k) {
            const uint32_t wa = TextWeight(a[k]);
            const uint32_t wb = TextWeight(b[k]);
            if (wa != wb) r = wa < wb ? -1 : 1;
        }
        if (r == 0 && a.size() != b.size()) r = a.size() < b.size() ? -1 : 1;
        if (r == 0) r = text::CompareNoCase(a, b);
    } else {
        r = a.compare(b);
    }
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

std::u16string StrReverse(std::u16string_view text) {
    return std::u16string(text.rbegin(), text.rend());
}

std::u16string LCase(std::u16string_view text) { return text::ToLower(text); }
std::u16string UCase(std::u16string_view text) { return text::ToUpper(text); }

std::u16string LTrim(std::u16string_view text) {
    const std::size_t first = text.find_first_not_of(u' ');
    return first == std::u16string_view::npos ? std::u16string() : std::u16string(text.substr(first));
}

std::u16string RTrim(std::u16string_view text) {
    const std::size_t last = text.find_last_not_of(u' ');
    return last == std::u16string_view::npos ? std::u16string()
                                             : std::u16string(text.substr(0, last + 1));
}

std::u16string Trim(std::u16string_view text) { return LTrim(RTrim(text)); }

int Space(int32_t count, std::u16string& out) { return StringOf(count, u' ', out); }

int StringOf(int32_t count, char16_t ch, std::u16string& out) {
    if (count < 0) return 5;
    if (static_cast<std::size_t>(count) > kMaxStringLength) return 14;
    out.assign(static_cast<std::size_t>(count), ch);
    return 0;
}

int Left(std::u16string_view text, int32_t length, std::u16string& out) {
    if (length < 0) return 5;
    out.assign(text.substr(0, std::min<std::size_t>(text.size(), static_cast<std::size_t>(length))));
    return 0;
}

int Right(std::u16string_view text, int32_t length, std::u16string& out) {
    if (length < 0) return 5;
    const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(length));
    out.assign(text.substr(text.size() - n));
    return 0;
}

int Mid(std::u16string_view text, int32_t start, int32_t length, std::u16string& out) {
    if (start < 1 || length < -1) return 5;
    out.clear();
    const std::size_t from = static_cast<std::size_t>(start) - 1;
    if (from >= text.size()) return 0;
    out.assign(length == -1 ? text.substr(from)
                            : text.substr(from, static_cast<std::size_t>(length)));
    return 0;
}

int Asc(std::u16string_view text, int32_t& out) {
    if (text.empty()) return 5;
    const char16_t c = text[0];
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        out = c;
        return 0;
    }
    for (int b = 0x80; b < 0xA0; ++b) {
        if (text::Cp1252ToUnicode(static_cast<unsigned char>(b)) == c) {
            out = b;
            return 0;
        }
    }
    out = u'?';
    return 0;
}

int AscW(std::u16string_view text, int32_t& out) {
    if (text.empty()) return 5;
    out = static_cast<int16_t>(text[0]); // an Integer: U+8000 and above come back negative
    return 0;
}

int Chr(int32_t code, std::u16string& out) {
    if (code < 0 || code > 255) return 5;
    out.assign(1, text::Cp1252ToUnicode(static_cast<unsigned char>(code)));
    return 0;
}

int ChrW(int32_t code, std::u16string& out) {
    if (code < -32768 || code > 65535) return 5;
    out.assign(1, static_cast<char16_t>(code < 0 ? code + 65536 : code));
    return 0;
}

namespace {

bool Unreserved(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'@' || c == u'*' || c == u'_' || c == u'+' || c == u'-' || c == u'.' || c == u'/';
}

int Hex(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

} // namespace

std::u16string Escape(std::u16string_view text) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (Unreserved(c)) {
            out.push_back(c);
        } else if (c < 256) {
            out.push_back(u'%');
            out.push_back(kDigits[c >> 4]);
            out.push_back(kDigits[c & 15]);
        } else {
            out.append(u"%u");
            for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kDigits[(c >> shift) & 15]);
        }
    }
    return out;
}

std::u16string Unescape(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%') {
            if (i + 5 < text.size() && text[i + 1] == u'u') {
                int v = 0;
                bool ok = true;
                for (int k = 2; k < 6 && ok; ++k) {
                    const int h = Hex(text[i + k]);
                    ok = h >= 0;
                    v = v * 16 + h;
                }
                if (ok) {
                    out.push_back(static_cast<char16_t>(v));
                    i += 5;
                    continue;
                }
            }
            if (i + 2 < text.size() && Hex(text[i + 1]) >= 0 && Hex(text[i + 2]) >= 0) {
                out.push_back(static_cast<char16_t>(Hex(text[i + 1]) * 16 + Hex(text[i + 2])));
                i += 2;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

} // namespace cva::vbs::rt

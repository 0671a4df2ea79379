#include "core/journal/QuotedWords.h"

#include "platform/text/HexDigit.h"

#include <cstdio>

namespace cva::journal {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

std::string QuoteWord(const std::string& text) {
    std::string out = "\"";
    char escaped[4];
    for (char c : text) {
        if (c == '"' || c == '%' || static_cast<unsigned char>(c) < 0x20) {
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::optional<std::vector<std::string>> SplitWords(const std::string& line) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        std::string token;
        if (line[i] == '"') {
            bool closed = false;
            for (++i; i < line.size();) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c != '%') {
                    token += c;
                    continue;
                }
                const int high = i + 2 > line.size() ? -1 : text::HexDigitValue(line[i]);
                const int low = high < 0 ? -1 : text::HexDigitValue(line[i + 1]);
                if (low < 0) return std::nullopt;
                token += static_cast<char>(high * 16 + low);
                i += 2;
            }
            if (!closed) return std::nullopt;
        } else {
            while (i < line.size() && !IsBlank(line[i])) token += line[i++];
        }
        out.push_back(std::move(token));
    }
    return out;
}

} // namespace cva::journal

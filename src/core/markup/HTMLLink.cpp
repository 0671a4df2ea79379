#include "core/markup/HTMLLink.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>

namespace cva::markup {

std::optional<int> InternalLinkNumber(std::string_view target) {
    if (target.size() < 4) return std::nullopt;
    for (size_t i = 0; i < 4; ++i)
        if (std::tolower(static_cast<unsigned char>(target[i])) != "cva:"[i]) return std::nullopt;
    size_t pos = 4;
    bool negative = false;
    if (pos < target.size() && (target[pos] == '-' || target[pos] == '+')) {
        negative = target[pos] == '-';
        ++pos;
    }
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    long long value = 0;
    for (; pos < target.size() && std::isdigit(static_cast<unsigned char>(target[pos])); ++pos)
        value = std::min(value * 10 + (target[pos] - '0'), kLimit);
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

std::string HyperlinkErrorMessage(int code) {
    std::string reason;
    switch (code) {
    case 0: reason = "The operating system is out\nof memory or resources."; break;
    case 2: reason = "The specified file was not found."; break;
    case 3: reason = "The specified path was not found."; break;
    case 5: reason = "The operating system denied\naccess to the specified file."; break;
    case 8: reason = "There was not enough memory to complete the operation."; break;
    case 11: reason = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."; break;
    case 26: reason = "A sharing violation occurred. "; break;
    case 27: reason = "The filename association is\nincomplete or invalid."; break;
    case 28:
        reason = "The DDE transaction could not\nbe completed because the request timed out.";
        break;
    case 29: reason = "The DDE transaction failed."; break;
    case 30:
        reason = "The DDE transaction could not\nbe completed because other DDE "
                 "transactions\nwere being processed.";
        break;
    case 31:
        reason = "There is no application associated\nwith the given filename extension.";
        break;
    case 32: reason = "The specified dynamic-link library was not found."; break;
    default: {
        char text[64];
        std::snprintf(text, sizeof text, "Unknown Error (%d) occurred.", code);
        reason = text;
    }
    }
    return "Unable to open hyperlink:\r\n" + reason;
}

} // namespace cva::markup

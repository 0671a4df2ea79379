#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cva::markup {

// The message number a "cva:N" link is delivered with (the first user message plus one).
constexpr int kLinkMessage = 1025;

// N of an internal "cva:N" link (prefix in any case; no digits give 0, numbers beyond
// 32 bits stop at the limit), or std::nullopt for a target to open on the desktop.
std::optional<int> InternalLinkNumber(std::string_view target);

// What the user is told when a link target cannot be opened, for the shell's error code.
std::string HyperlinkErrorMessage(int code);

} // namespace cva::markup

#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cva::journal {

// The line syntax the journal and preset files share: words, and strings in double
// quotes with a quote, a percent sign and control characters written as %XX, so that
// key paths full of backslashes stay readable.
std::string QuoteWord(const std::string& text);

// Splits a line at blanks into words and unquoted strings; nullopt for an unclosed
// quote or a bad %XX escape (a hand-edited file must be refused, never misread).
std::optional<std::vector<std::string>> SplitWords(const std::string& line);

} // namespace cva::journal

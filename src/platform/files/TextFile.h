#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cva::files {

// A text file read as Windows' text mode reads it: CR LF and bare LF end lines, a
// Ctrl+Z ends the file, and a last line without a line end is still a line.
// std::nullopt when the file cannot be opened or read.
std::optional<std::vector<std::string>> ReadTextLines(const std::string& path);
// The same reading of bytes already in memory.
std::vector<std::string> SplitTextLines(std::string_view data);

// Writes the lines, each ended by CR LF, replacing the file atomically so that a failed
// write never leaves half a file behind.
bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines);

} // namespace cva::files

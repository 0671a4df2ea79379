#include "platform/files/TextFile.h"

#include "platform/files/AtomicFile.h"

#include <string_view>

namespace cva::files {

std::optional<std::vector<std::string>> ReadTextLines(const std::string& path) {
    std::optional<std::string> data = ReadWholeFile(path);
    if (!data) return std::nullopt;
    return SplitTextLines(*data);
}

std::vector<std::string> SplitTextLines(std::string_view text) {
    if (size_t eof = text.find('\x1A'); eof != std::string_view::npos) text = text.substr(0, eof);
    std::vector<std::string> lines;
    while (!text.empty()) {
        size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        if (!line.empty() && line.back() == '\r' && nl != std::string_view::npos)
            line.remove_suffix(1);
        lines.emplace_back(line);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    }
    return lines;
}

bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
    std::string data;
    for (const std::string& line : lines) {
        data += line;
        data += "\r\n";
    }
    return WriteFileAtomically(path, data);
}

} // namespace cva::files

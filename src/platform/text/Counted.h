#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cva::text {

// "1 plugin", "3 plugins": a count with an English noun that takes a plain "s".
inline std::string Counted(std::size_t count, std::string_view noun) {
    std::string out = std::to_string(count);
    out += ' ';
    out += noun;
    if (count != 1) out += 's';
    return out;
}

} // namespace cva::text

#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace cva::update {

// The HTML colour names (aliceblue to yellowgreen) and "#rrggbb" values of the markup.
class CXNamedColors {
public:
    // 0xRRGGBB for a colour name (any case) or "#rrggbb"; nothing for anything else.
    static std::optional<uint32_t> Lookup(std::string_view name);
    static size_t Count();
};

} // namespace cva::update

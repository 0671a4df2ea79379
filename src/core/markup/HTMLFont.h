#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cva::markup {

// One font state of the markup: what a run is drawn with, and what "font" tags change.
class CHTMLFont {
public:
    // The size index a new state starts at; "size" attributes count from it.
    static constexpr int kBaseSizeIndex = 9;

    std::string m_strFace = "ms sans serif";
    double m_dPointSize = 9.0;
    bool m_bBold = false;
    bool m_bItalic = false;
    bool m_bUnderline = false;
    std::uint32_t m_nColor = 0; // 0xRRGGBB
    int m_nSizeIndex = kBaseSizeIndex;

    // "size": "+n" and "-n" move the index, anything else sets it; the point size keeps
    // its ratio to the scale of the index.
    void SetSize(std::string_view value);
    // "color": "#RRGGBB" (shorter values padded on the left with zeros) or a colour
    // name; false, and no change, for anything else.
    bool SetColor(std::string_view value);

    // The scale of a size index: 1 to 7 as the classic HTML font sizes, beyond 7 growing
    // in proportion, below 1 plain.
    static double SizeFactor(int index);
    // The six hexadecimal digits of a colour name (case-insensitive), if it is one.
    static std::optional<std::string_view> NamedColor(std::string_view name);

    bool operator==(const CHTMLFont&) const = default;
};

} // namespace cva::markup

#pragma once

#include "core/markup/HTMLFont.h"

#include <string_view>

namespace cva::markup {

struct STextExtent {
    int m_nWidth = 0;
    int m_nHeight = 0; // the font's line height, whatever the text
};

// Measures text as the view will draw it; the layout knows nothing else about fonts.
class ITextMeasurer {
public:
    virtual ~ITextMeasurer() = default;
    // text is UTF-8, one line.
    virtual STextExtent Measure(const CHTMLFont& font, std::string_view text) = 0;
};

} // namespace cva::markup

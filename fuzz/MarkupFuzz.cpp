// Lays out arbitrary markup at a few widths, with a measurer that gives every character a
// width by its font as the window's does, then asks for the link at a few points.
#include "core/markup/HTMLDrawer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

class CFixedMeasurer : public cva::markup::ITextMeasurer {
public:
    cva::markup::STextExtent Measure(const cva::markup::CHTMLFont& font, std::string_view text) override
    {
        // The window's measurer takes point sizes from 1 to 500, whatever the markup asks.
        const double points = std::clamp(font.m_dPointSize, 1.0, 500.0);
        const int width = static_cast<int>(std::lround(points * 2 / 3)) + (font.m_bBold ? 1 : 0);
        int characters = 0;
        for (char c : text)
            if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
                ++characters;
        return {characters * width, static_cast<int>(std::lround(points * 4 / 3))};
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 32 * 1024)
        return 0;
    const std::string_view markup(reinterpret_cast<const char*>(data), size);
    CFixedMeasurer measurer;
    for (int width : {0, 37, 400}) {
        cva::markup::CHTMLDrawer drawer(measurer);
        drawer.SetMargin(width == 37 ? 20 : 0);
        const cva::markup::SHTMLLayout layout = drawer.Layout(markup, width);
        for (int y : {0, 5, 30})
            layout.LinkAt(10, y);
    }
    return 0;
}

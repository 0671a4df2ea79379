#pragma once

#include "core/markup/TextMeasurer.h"

#include <cmath>

namespace cva::test {

// Every character as wide as two thirds of the point size (one more in bold), every
// line four thirds of it high: 6 by 12 pixels for the base font.
class CFixedMeasurer : public markup::ITextMeasurer {
public:
    static int CharWidth(const markup::CHTMLFont& font) {
        return static_cast<int>(std::lround(font.m_dPointSize * 2 / 3)) + (font.m_bBold ? 1 : 0);
    }
    markup::STextExtent Measure(const markup::CHTMLFont& font, std::string_view text) override {
        int characters = 0;
        for (char c : text)
            if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
        return {characters * CharWidth(font),
                static_cast<int>(std::lround(font.m_dPointSize * 4 / 3))};
    }
};

} // namespace cva::test

#pragma once

#include "core/markup/HTMLAtom.h"

#include <optional>

namespace cva::markup {

// What an area shows besides its text: a margin by which the text is narrowed on the
// left and on the right, and an icon that sits in the left one.
struct SHTMLFrame {
    int m_nMargin = 0;
    std::optional<SHTMLRect> m_icon;

    // The start page's header: the program's 48-pixel icon at 2, 6 beside the text.
    static SHTMLFrame StartHeader() { return {50, SHTMLRect{2, 6, 2 + 48, 6 + 48}}; }
};

} // namespace cva::markup

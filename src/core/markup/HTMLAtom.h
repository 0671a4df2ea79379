#pragma once

#include "core/markup/HTMLFont.h"

#include <string>

namespace cva::markup {

enum EHTMLAlign : int { ALIGN_LEFT = 0, ALIGN_CENTER = 1, ALIGN_RIGHT = 2 };

// A rectangle in the control's pixels; right and bottom are exclusive.
struct SHTMLRect {
    int m_nLeft = 0;
    int m_nTop = 0;
    int m_nRight = 0;
    int m_nBottom = 0;

    bool Contains(int x, int y) const {
        return x >= m_nLeft && x < m_nRight && y >= m_nTop && y < m_nBottom;
    }
    bool operator==(const SHTMLRect&) const = default;
};

// One run of equal formatting, placed: a view draws its text at its rectangle's top left
// with its font, on one line.
class CHTMLAtom {
public:
    std::string m_strText;
    CHTMLFont m_font;
    std::string m_strLink; // empty: not a link
    SHTMLRect m_rect;
    int m_nLine = 0;
    int m_nAlign = ALIGN_LEFT;
};

} // namespace cva::markup

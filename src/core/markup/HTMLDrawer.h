#pragma once

#include "core/markup/HTMLAtom.h"
#include "core/markup/HTMLFont.h"
#include "core/markup/TextMeasurer.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cva::markup {

// Markup laid out for one width.
struct SHTMLLayout {
    std::vector<CHTMLAtom> m_atoms;
    int m_nHeight = 0; // bottom of the last line, empty lines included

    // The link target of the run at a point, or empty.
    const std::string& LinkAt(int x, int y) const;
};

// Turns markup into placed runs. The markup is read leniently: whatever is not
// understood is ignored or shown as text, so every text lays out.
class CHTMLDrawer {
public:
    explicit CHTMLDrawer(ITextMeasurer& measurer) : m_measurer(measurer) {}

    // The alignment of lines outside "p align" and "center" (ALIGN_...).
    void SetDefaultAlignment(int align) { m_nDefaultAlign = align; }
    // Narrows the text on the left and on the right.
    void SetMargin(int margin) { m_nMargin = margin; }

    SHTMLLayout Layout(std::string_view markup, int width);

private:
    using Attributes = std::vector<std::pair<std::string, std::string>>;

    void Reset(int width);
    void ApplyTag(std::string_view tag);
    void AddText(std::string_view piece);
    void PlaceText(std::string_view text);
    void Emit(std::string_view text, const STextExtent& extent);
    void CloseLine();
    void BreakUnlessEmpty() {
        if (!LineEmpty()) CloseLine();
    }
    bool LineEmpty() const { return m_lineStart == m_result.m_atoms.size(); }
    // The longest start of text, ended at a blank, that fits; npos when none does.
    size_t FitAtBlank(std::string_view text, int available);
    // The longest start of text that fits, at least one character.
    size_t FitCharacters(std::string_view text, int available);

    static Attributes ReadAttributes(std::string_view text);
    static std::string DecodeEntities(std::string_view piece);

    ITextMeasurer& m_measurer;
    int m_nDefaultAlign = ALIGN_LEFT;
    int m_nMargin = 0;

    // Reading.
    CHTMLFont m_font;
    std::vector<CHTMLFont> m_fontStack;
    std::string m_strLink;
    int m_nAlign = ALIGN_LEFT;

    // Placing.
    SHTMLLayout m_result;
    size_t m_lineStart = 0;
    int m_nLeft = 0;
    int m_nRight = 0;
    int m_x = 0;
    int m_y = 0;
    int m_nLine = 0;
};

} // namespace cva::markup

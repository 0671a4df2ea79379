#include "core/markup/HTMLDrawer.h"

#include <algorithm>

namespace cva::markup {

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view Trim(std::string_view text) {
    size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t NextCharacter(std::string_view text, size_t pos) {
    ++pos;
    while (pos < text.size() && IsContinuationByte(text[pos]))
        ++pos;
    return pos;
}

} // namespace

const std::string& SHTMLLayout::LinkAt(int x, int y) const {
    static const std::string kNone;
    for (const CHTMLAtom& atom : m_atoms)
        if (!atom.m_strLink.empty() && atom.m_rect.Contains(x, y)) return atom.m_strLink;
    return kNone;
}

SHTMLLayout CHTMLDrawer::Layout(std::string_view markup, int width) {
    Reset(width);
    size_t pos = 0;
    while (pos < markup.size()) {
        size_t open = markup.find('<', pos);
        size_t close = open == std::string_view::npos ? open : markup.find('>', open + 1);
        if (close == std::string_view::npos) {
            AddText(markup.substr(pos));
            break;
        }
        AddText(markup.substr(pos, open - pos));
        ApplyTag(markup.substr(open + 1, close - open - 1));
        pos = close + 1;
    }
    BreakUnlessEmpty();
    return std::move(m_result);
}

void CHTMLDrawer::Reset(int width) {
    m_font = CHTMLFont();
    m_fontStack.clear();
    m_strLink.clear();
    m_nAlign = m_nDefaultAlign;
    m_result = SHTMLLayout();
    m_lineStart = 0;
    m_nLeft = m_nMargin;
    m_nRight = width - m_nMargin;
    m_x = m_nLeft;
    m_y = 0;
    m_nLine = 0;
}

// Tags are known by their whole text or by how it begins, tested in this order; so any
// tag beginning with "p" acts as a paragraph and any beginning with "a" as an anchor.
void CHTMLDrawer::ApplyTag(std::string_view rawTag) {
    const std::string_view tag = Trim(rawTag);
    const std::string lower = Lower(tag);
    const size_t nameEnd = tag.find_first_of(kBlanks);
    const std::string_view attributeText =
        nameEnd == std::string_view::npos ? std::string_view() : Trim(tag.substr(nameEnd));

    if (lower == "b" || lower == "strong") m_font.m_bBold = true;
    else if (lower == "/b" || lower == "/strong") m_font.m_bBold = false;
    else if (lower == "i" || lower == "em") m_font.m_bItalic = true;
    else if (lower == "/i" || lower == "/em") m_font.m_bItalic = false;
    else if (lower == "u") m_font.m_bUnderline = true;
    else if (lower == "/u") m_font.m_bUnderline = false;
    else if (lower == "br") CloseLine();
    else if (lower.starts_with('p')) {
        BreakUnlessEmpty();
        for (const auto& [key, value] : ReadAttributes(attributeText)) {
            if (key != "align") continue;
            const std::string align = Lower(value);
            if (align == "left") m_nAlign = ALIGN_LEFT;
            else if (align == "center") m_nAlign = ALIGN_CENTER;
            else if (align == "right") m_nAlign = ALIGN_RIGHT;
        }
    } else if (lower == "/p" || lower == "/center") {
        BreakUnlessEmpty();
        m_nAlign = m_nDefaultAlign;
    } else if (lower == "center") {
        BreakUnlessEmpty();
        m_nAlign = ALIGN_CENTER;
    } else if (lower.starts_with('a')) {
        for (const auto& [key, value] : ReadAttributes(attributeText))
            if (key == "href") m_strLink = value;
    } else if (lower.starts_with("/a")) {
        m_strLink.clear();
    } else if (lower.starts_with("font")) {
        m_fontStack.push_back(m_font);
        for (const auto& [key, value] : ReadAttributes(attributeText)) {
            if (key == "face") m_font.m_strFace = value;
            else if (key == "size") m_font.SetSize(value);
            else if (key == "color") m_font.SetColor(value);
        }
    } else if (lower.starts_with("/font")) {
        if (!m_fontStack.empty()) {
            m_font = m_fontStack.back();
            m_fontStack.pop_back();
        }
    }
}

// name=value pairs; blanks around "=" and double quotes around the value are allowed.
CHTMLDrawer::Attributes CHTMLDrawer::ReadAttributes(std::string_view text) {
    Attributes attributes;
    while (!text.empty()) {
        const size_t equals = text.find('=');
        if (equals == std::string_view::npos) break;
        std::string name = Lower(Trim(text.substr(0, equals)));
        text.remove_prefix(equals + 1);
        text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
        std::string_view value;
        if (text.starts_with('"')) {
            const size_t closing = text.find('"', 1);
            if (closing == std::string_view::npos) {
                text = {};
            } else {
                value = text.substr(1, closing - 1);
                text.remove_prefix(closing + 1);
            }
        } else {
            const size_t end = std::min(text.find_first_of(" \t"), text.size());
            value = text.substr(0, end);
            text.remove_prefix(end);
        }
        attributes.emplace_back(std::move(name), std::string(value));
    }
    return attributes;
}

std::string CHTMLDrawer::DecodeEntities(std::string_view piece) {
    std::string out;
    size_t pos = 0;
    for (;;) {
        const size_t amp = piece.find('&', pos);
        const size_t semicolon =
            amp == std::string_view::npos ? amp : piece.find(';', amp + 1);
        if (semicolon == std::string_view::npos) {
            out += piece.substr(pos);
            return out;
        }
        out += piece.substr(pos, amp - pos);
        const std::string name = Lower(piece.substr(amp + 1, semicolon - amp - 1));
        // Our texts have always shown "quot" as an apostrophe.
        if (name == "quot") out += '\'';
        else if (name == "lt") out += '<';
        else if (name == "gt") out += '>';
        else if (name == "amp") out += '&';
        pos = semicolon + 1;
    }
}

void CHTMLDrawer::AddText(std::string_view piece) {
    const std::string text = DecodeEntities(piece);
    std::string_view rest(text);
    for (;;) {
        const size_t crlf = rest.find("\r\n");
        PlaceText(rest.substr(0, crlf));
        if (crlf == std::string_view::npos) return;
        CloseLine();
        rest.remove_prefix(crlf + 2);
    }
}

void CHTMLDrawer::PlaceText(std::string_view text) {
    while (!text.empty()) {
        const int available = m_nRight - m_x;
        const STextExtent extent = m_measurer.Measure(m_font, text);
        if (extent.m_nWidth <= available) {
            Emit(text, extent);
            return;
        }
        const size_t blank = FitAtBlank(text, available);
        if (blank != std::string_view::npos) {
            // The blank where the line breaks is not drawn on either line.
            const std::string_view fits = text.substr(0, blank);
            if (!fits.empty()) Emit(fits, m_measurer.Measure(m_font, fits));
            if (!(blank == 0 && LineEmpty())) CloseLine();
            text.remove_prefix(blank + 1);
        } else if (!LineEmpty()) {
            CloseLine();
        } else {
            const size_t cut = FitCharacters(text, available);
            Emit(text.substr(0, cut), m_measurer.Measure(m_font, text.substr(0, cut)));
            CloseLine();
            text.remove_prefix(cut);
        }
    }
}

size_t CHTMLDrawer::FitAtBlank(std::string_view text, int available) {
    // From the front, so that a long run costs a line's worth of measuring per line.
    size_t best = std::string_view::npos;
    for (size_t blank = text.find(' '); blank != std::string_view::npos;
         blank = text.find(' ', blank + 1)) {
        if (m_measurer.Measure(m_font, text.substr(0, blank)).m_nWidth > available) break;
        best = blank;
    }
    return best;
}

size_t CHTMLDrawer::FitCharacters(std::string_view text, int available) {
    size_t fits = NextCharacter(text, 0);
    while (fits < text.size()) {
        const size_t end = NextCharacter(text, fits);
        if (m_measurer.Measure(m_font, text.substr(0, end)).m_nWidth > available) break;
        fits = end;
    }
    return fits;
}

void CHTMLDrawer::Emit(std::string_view text, const STextExtent& extent) {
    CHTMLAtom atom;
    atom.m_strText = text;
    atom.m_font = m_font;
    atom.m_strLink = m_strLink;
    atom.m_rect = {m_x, m_y, m_x + extent.m_nWidth, m_y + extent.m_nHeight};
    atom.m_nLine = m_nLine;
    m_result.m_atoms.push_back(std::move(atom));
    m_x += extent.m_nWidth;
}

// Runs of different heights stand on a common bottom; the line takes the alignment that
// holds when it ends, which is the one its runs were read under (only tags that end the
// line change it).
void CHTMLDrawer::CloseLine() {
    auto first = m_result.m_atoms.begin() + static_cast<std::ptrdiff_t>(m_lineStart);
    auto end = m_result.m_atoms.end();
    int bottom = m_y;
    int right = m_nLeft;
    if (first == end) bottom += m_measurer.Measure(m_font, " ").m_nHeight;
    for (auto it = first; it != end; ++it) {
        bottom = std::max(bottom, it->m_rect.m_nBottom);
        right = std::max(right, it->m_rect.m_nRight);
    }
    int shift = 0;
    if (m_nAlign == ALIGN_CENTER) shift = (m_nRight - right) / 2;
    else if (m_nAlign == ALIGN_RIGHT) shift = m_nRight - right - 1;
    for (auto it = first; it != end; ++it) {
        const int down = bottom - it->m_rect.m_nBottom;
        it->m_rect = {it->m_rect.m_nLeft + shift, it->m_rect.m_nTop + down,
                      it->m_rect.m_nRight + shift, bottom};
        it->m_nAlign = m_nAlign;
    }
    m_y = bottom;
    m_result.m_nHeight = bottom;
    m_x = m_nLeft;
    ++m_nLine;
    m_lineStart = m_result.m_atoms.size();
}

} // namespace cva::markup

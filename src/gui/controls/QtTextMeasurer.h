#pragma once

#include "core/markup/TextMeasurer.h"

#include <QFont>
#include <QFontMetrics>

#include <optional>

namespace cva::gui {

// Measures markup runs with the fonts CHTMLStatic draws them with.
class CQtTextMeasurer : public markup::ITextMeasurer {
public:
    markup::STextExtent Measure(const markup::CHTMLFont& font, std::string_view text) override;

    // The face when the desktop has it, else the desktop's own font; the old Windows
    // faces that markup names are rarely installed here.
    static QFont ToQFont(const markup::CHTMLFont& font);

private:
    // Layout measures one run many times while it looks for a line break.
    markup::CHTMLFont m_lastFont;
    std::optional<QFontMetrics> m_metrics;
};

} // namespace cva::gui

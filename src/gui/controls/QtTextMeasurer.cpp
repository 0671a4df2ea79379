#include "gui/controls/QtTextMeasurer.h"

#include <QFontDatabase>

#include <algorithm>

namespace cva::gui {

QFont CQtTextMeasurer::ToQFont(const markup::CHTMLFont& font) {
    const QString face = QString::fromStdString(font.m_strFace);
    QFont qfont = QFontDatabase::hasFamily(face)
                      ? QFont(face)
                      : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    // Size steps can reach any number; fonts cannot.
    qfont.setPointSizeF(std::clamp(font.m_dPointSize, 1.0, 500.0));
    qfont.setBold(font.m_bBold);
    qfont.setItalic(font.m_bItalic);
    qfont.setUnderline(font.m_bUnderline);
    return qfont;
}

markup::STextExtent CQtTextMeasurer::Measure(const markup::CHTMLFont& font, std::string_view text) {
    if (!m_metrics || !(font == m_lastFont)) {
        m_metrics.emplace(ToQFont(font));
        m_lastFont = font;
    }
    const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return {m_metrics->horizontalAdvance(qtext), m_metrics->height()};
}

} // namespace cva::gui

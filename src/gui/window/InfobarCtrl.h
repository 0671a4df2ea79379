#pragma once

#include <QLabel>

namespace cva::gui {

// The header line above the page area with the page's caption.
class CInfobarCtrl : public QLabel {
public:
    explicit CInfobarCtrl(QWidget* parent = nullptr) : QLabel(parent) {
        setObjectName(QStringLiteral("header"));
        setMargin(6);
        setAutoFillBackground(true);
        QFont bold = font();
        bold.setBold(true);
        bold.setPointSizeF(bold.pointSizeF() * 1.2);
        setFont(bold);
        setStyleSheet(QStringLiteral("#header { background: palette(dark); color: palette(bright-text); }"));
    }
};

} // namespace cva::gui

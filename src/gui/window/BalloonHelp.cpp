#include "gui/window/BalloonHelp.h"

#include <QGridLayout>
#include <QLabel>
#include <QStyle>
#include <QTimer>

namespace cva::gui {

CBalloonHelp::CBalloonHelp(const QString& title, const QString& text, QWidget* anchor)
    : QFrame(anchor, Qt::ToolTip | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("alertBalloon"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::Box);
    setStyleSheet(QStringLiteral("#alertBalloon { background: #ffffe1; border: 1px solid #767676; }"));
    auto* layout = new QGridLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16));
    auto* titleLabel = new QLabel(QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped()), this);
    titleLabel->setObjectName(QStringLiteral("alertTitle"));
    auto* textLabel = new QLabel(text, this);
    textLabel->setObjectName(QStringLiteral("alertText"));
    textLabel->setWordWrap(true);
    // A fixed width lets the layout work out the wrapped text's height.
    textLabel->setFixedWidth(320);
    layout->addWidget(icon, 0, 0);
    layout->addWidget(titleLabel, 0, 1);
    layout->addWidget(textLabel, 1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    QTimer::singleShot(kLifetimeMs, this, &QWidget::close);
}

void CBalloonHelp::ShowAt(QWidget* anchor) {
    adjustSize();
    // The balloon's corner points a little way into the page area.
    const QPoint spot = anchor->mapToGlobal(QPoint(anchor->width() / 3, 24));
    move(spot);
    show();
}

void CBalloonHelp::mousePressEvent(QMouseEvent*) { close(); }

} // namespace cva::gui

#include "update/AnimateCtrl.h"

#include <QPainter>

#include <cmath>

namespace cva::update {

namespace {
constexpr int kDots = 8;
}

CAnimateCtrl::CAnimateCtrl(QWidget* parent) : QWidget(parent) {
    setFixedSize(32, 32);
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_nFrame = (m_nFrame + 1) % kDots;
        update();
    });
}

void CAnimateCtrl::Play() {
    m_nFrame = 0;
    m_timer.start();
    update();
}

void CAnimateCtrl::Stop() {
    m_timer.stop();
    update();
}

void CAnimateCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QPointF centre(width() / 2.0, height() / 2.0);
    const double radius = std::min(width(), height()) / 2.0 - 4;
    QColor colour = palette().color(QPalette::Highlight);
    for (int dot = 0; dot < kDots; ++dot) {
        const double angle = 2 * M_PI * dot / kDots;
        // The dot at the current frame is brightest, the ones behind it fade.
        const int age = (m_nFrame - dot + kDots) % kDots;
        colour.setAlphaF(IsPlaying() ? 1.0 - age / double(kDots) : 0.35);
        painter.setBrush(colour);
        painter.drawEllipse(centre + QPointF(std::cos(angle), std::sin(angle)) * radius, 3, 3);
    }
}

} // namespace cva::update

#include "gui/window/Icons.h"

#include "core/app/CatalogueTree.h"

#include <QPainter>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include <cmath>

namespace cva::gui {

namespace {

QPixmap Canvas(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QIcon Folder(bool open) {
    QPixmap pixmap = Canvas(16);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(150, 110, 20));
    painter.setBrush(open ? QColor(255, 220, 120) : QColor(240, 190, 60));
    painter.drawRect(1, 3, 6, 3);
    painter.drawRect(1, 5, 14, 9);
    return QIcon(pixmap);
}

QIcon Page(const QColor& mark) {
    QPixmap pixmap = Canvas(16);
    QPainter painter(&pixmap);
    painter.setPen(QColor(90, 90, 90));
    painter.setBrush(Qt::white);
    painter.drawRect(3, 1, 10, 14);
    painter.setPen(mark);
    for (int y = 4; y <= 11; y += 3) painter.drawLine(5, y, 11, y);
    return QIcon(pixmap);
}

QIcon Shield(const QColor& colour) {
    QPixmap pixmap = Canvas(16);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(8, 1);
    path.lineTo(14, 3);
    path.quadTo(14, 11, 8, 15);
    path.quadTo(2, 11, 2, 3);
    path.closeSubpath();
    painter.setPen(colour.darker(150));
    painter.setBrush(colour);
    painter.drawPath(path);
    return QIcon(pixmap);
}

} // namespace

QIcon TreeIcon(int image) {
    switch (image) {
    case app::kImageFolder: return Folder(false);
    case app::kImageFolderSelected: return Folder(true);
    case app::kImageRiskyPlugin: return Page(QColor(200, 40, 40));
    default: return Page(QColor(40, 90, 200));
    }
}

QIcon LevelIcon(int level) {
    switch (level) {
    case 0:
    case 1: return Shield(QColor(60, 170, 60));
    case 2: return Shield(QColor(230, 170, 30));
    case 3:
    case 4: return Shield(QColor(210, 50, 40));
    default: return QIcon();
    }
}

QIcon RequestIcon() {
    const QIcon themed = QIcon::fromTheme(QStringLiteral("system-reboot"));
    if (!themed.isNull()) return themed;
    QPixmap pixmap = Canvas(16);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 90, 200), 2));
    painter.drawArc(3, 3, 10, 10, 120 * 16, 300 * 16);
    painter.drawLine(8, 1, 8, 7);
    return QIcon(pixmap);
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QPixmap pixmap = Canvas(size);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 48.0, size / 48.0);
        QLinearGradient tile(0, 0, 0, 48);
        tile.setColorAt(0, QColor(60, 120, 210));
        tile.setColorAt(1, QColor(20, 60, 140));
        painter.setPen(QPen(QColor(15, 40, 100), 1.5));
        painter.setBrush(tile);
        painter.drawRoundedRect(QRectF(1.5, 1.5, 45, 45), 9, 9);
        const qreal knobs[] = {30, 16, 24};
        for (int i = 0; i < 3; ++i) {
            const qreal y = 13 + i * 11;
            painter.setPen(QPen(QColor(200, 220, 250), 3, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(10, y), QPointF(38, y));
            painter.setPen(QPen(QColor(15, 40, 100), 1.5));
            painter.setBrush(i == 1 ? QColor(250, 190, 50) : QColor(Qt::white));
            painter.drawEllipse(QPointF(knobs[i], y), 4.5, 4.5);
        }
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon ProfileIcon() {
    const QIcon themed = QIcon::fromTheme(QStringLiteral("user-identity"));
    if (!themed.isNull()) return themed;
    QPixmap pixmap = Canvas(16);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(40, 70, 140));
    painter.setBrush(QColor(90, 130, 210));
    painter.drawEllipse(5, 1, 6, 6);
    painter.drawChord(2, 8, 12, 14, 0, 180 * 16);
    return QIcon(pixmap);
}

QIcon ToolIcon(const char* themeName, Qt::GlobalColor fallback) {
    const QString name = QString::fromLatin1(themeName);
    const QIcon themed = QIcon::fromTheme(name);
    if (!themed.isNull()) return themed;
    QPixmap pixmap = Canvas(24);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour(fallback);
    painter.setPen(QPen(colour.darker(150), 1.5));
    painter.setBrush(colour);
    if (name == QLatin1String("go-previous") || name == QLatin1String("go-next")) {
        const bool left = name == QLatin1String("go-previous");
        const qreal tip = left ? 3 : 21, base = left ? 12 : 12, tail = left ? 21 : 3;
        QPolygonF arrow{{tip, 12}, {base, 3}, {base, 8}, {tail, 8}, {tail, 16}, {base, 16}, {base, 21}};
        painter.drawPolygon(arrow);
    } else if (name == QLatin1String("view-refresh")) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(colour, 3));
        painter.drawArc(QRectF(4, 4, 16, 16), 60 * 16, 280 * 16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPolygon(QPolygonF{{13, 1}, {20, 5}, {13, 9}});
    } else if (name == QLatin1String("edit-find")) {
        painter.setBrush(QColor(220, 240, 255));
        painter.drawEllipse(QRectF(3, 3, 12, 12));
        painter.setPen(QPen(colour.darker(150), 3.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(14, 14), QPointF(20, 20));
    } else if (name == QLatin1String("bookmark-new")) {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const qreal radius = i % 2 ? 4.5 : 10;
            const qreal angle = -M_PI / 2 + i * M_PI / 5;
            star << QPointF(12 + radius * std::cos(angle), 12.5 + radius * std::sin(angle));
        }
        painter.setBrush(QColor(250, 200, 40));
        painter.drawPolygon(star);
    } else if (name == QLatin1String("document-save-as")) {
        painter.drawRect(QRectF(3, 3, 18, 18));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(7, 4, 10, 7));
        painter.drawRect(QRectF(8, 15, 8, 6));
    } else if (name == QLatin1String("preferences-system")) {
        painter.setPen(QPen(colour.darker(150), 4, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 4; ++i) {
            const qreal angle = i * M_PI / 4;
            painter.drawLine(QPointF(12 + 9 * std::cos(angle), 12 + 9 * std::sin(angle)),
                             QPointF(12 - 9 * std::cos(angle), 12 - 9 * std::sin(angle)));
        }
        painter.setPen(QPen(colour.darker(150), 1.5));
        painter.drawEllipse(QRectF(5.5, 5.5, 13, 13));
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRectF(9, 9, 6, 6));
    } else {
        painter.drawEllipse(QRectF(2, 2, 20, 20));
        painter.setPen(Qt::white);
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(15);
        painter.setFont(font);
        painter.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
    }
    return QIcon(pixmap);
}

} // namespace cva::gui

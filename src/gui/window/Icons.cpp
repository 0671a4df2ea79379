#include "gui/window/Icons.h"

#include "core/app/CatalogueTree.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

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

QIcon ToolIcon(const char* themeName, Qt::GlobalColor fallback) {
    const QIcon themed = QIcon::fromTheme(QString::fromLatin1(themeName));
    if (!themed.isNull()) return themed;
    QPixmap pixmap = Canvas(24);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(fallback).darker(150));
    painter.setBrush(QColor(fallback));
    painter.drawEllipse(3, 3, 18, 18);
    return QIcon(pixmap);
}

} // namespace cva::gui

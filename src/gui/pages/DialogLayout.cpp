#include "gui/pages/DialogLayout.h"

#include <QFont>
#include <QFontMetrics>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace cva::gui {

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width over the 52 letters, rounded the way the dialog manager rounds it.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_nBaseX = std::max(1, (letters / 26 + 1) / 2);
    m_nBaseY = std::max(1, metrics.height());
}

int CDialogUnits::X(int units) const {
    return static_cast<int>(std::lround(units * static_cast<double>(m_nBaseX) / 4.0));
}

int CDialogUnits::Y(int units) const {
    return static_cast<int>(std::lround(units * static_cast<double>(m_nBaseY) / 8.0));
}

// Both edges are converted, so neighbouring controls keep touching after rounding.
QRect CDialogUnits::Rect(const QRect& units) const {
    const int left = X(units.x());
    const int top = Y(units.y());
    return QRect(left, top, X(units.x() + units.width()) - left,
                 Y(units.y() + units.height()) - top);
}

QSize CDialogUnits::Size(const QSize& units) const {
    return QSize(X(units.width()), Y(units.height()));
}

CDialogLayout::CDialogLayout(QWidget* parent, const QSize& templateUnits)
    : QLayout(parent), m_template(templateUnits), m_minimum(templateUnits) {}

CDialogLayout::~CDialogLayout() {
    for (SItem& item : m_items)
        delete item.m_item;
}

CDialogUnits CDialogLayout::Units() const {
    return CDialogUnits(parentWidget() ? parentWidget()->font() : QFont());
}

void CDialogLayout::Add(QWidget* widget, const QRect& units, SAnchor topLeft, SAnchor bottomRight) {
    addChildWidget(widget);
    m_items.push_back({new QWidgetItem(widget), units, topLeft, bottomRight});
    invalidate();
}

void CDialogLayout::Place(QWidget* widget, const QRect& units, SAnchor topLeft,
                          SAnchor bottomRight) {
    for (SItem& item : m_items) {
        if (item.m_item->widget() != widget) continue;
        item.m_units = units;
        item.m_topLeft = topLeft;
        item.m_bottomRight = bottomRight;
        invalidate();
        return;
    }
}

void CDialogLayout::addItem(QLayoutItem* item) {
    m_items.push_back({item, QRect(), kTopLeft, kTopLeft});
}

QLayoutItem* CDialogLayout::itemAt(int index) const {
    if (index < 0 || index >= count()) return nullptr;
    return m_items[static_cast<size_t>(index)].m_item;
}

QLayoutItem* CDialogLayout::takeAt(int index) {
    if (index < 0 || index >= count()) return nullptr;
    QLayoutItem* item = m_items[static_cast<size_t>(index)].m_item;
    m_items.erase(m_items.begin() + index);
    return item;
}

QSize CDialogLayout::sizeHint() const {
    return Units().Size(m_template).grownBy(contentsMargins());
}

QSize CDialogLayout::minimumSize() const {
    return Units().Size(m_minimum).grownBy(contentsMargins());
}

void CDialogLayout::setGeometry(const QRect& whole) {
    QLayout::setGeometry(whole);
    const QRect rect = whole.marginsRemoved(contentsMargins());
    const CDialogUnits units = Units();
    const QSize base = units.Size(m_template);
    const int extraX = rect.width() - base.width();
    const int extraY = rect.height() - base.height();
    for (const SItem& item : m_items) {
        if (item.m_item->isEmpty()) continue;
        const QRect at = units.Rect(item.m_units);
        const int left = at.left() + extraX * item.m_topLeft.m_x / 100;
        const int top = at.top() + extraY * item.m_topLeft.m_y / 100;
        const int right = at.x() + at.width() + extraX * item.m_bottomRight.m_x / 100;
        const int bottom = at.y() + at.height() + extraY * item.m_bottomRight.m_y / 100;
        item.m_item->setGeometry(QRect(rect.x() + left, rect.y() + top, std::max(0, right - left),
                                       std::max(0, bottom - top)));
    }
}

} // namespace cva::gui

#pragma once

#include <QLayout>
#include <QRect>
#include <QSize>

#include <vector>

class QFont;

namespace cva::gui {

// Dialog units of a font: a quarter of the average character width across, an eighth
// of the character height down, as dialog templates measure their controls.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(const QRect& units) const;
    QSize Size(const QSize& units) const;

private:
    int m_nBaseX = 1;
    int m_nBaseY = 1;
};

// Lays widgets out as a dialog template places them: each at a rectangle in dialog
// units of the parent's font (inside the layout's margins), converted again whenever
// the font changes. When the parent is larger than the template, each corner of a
// widget moves by its anchor, a percentage of the extra width and height (0 keeps the
// distance to the top or left edge, 100 to the bottom or right edge), so a widget with
// different anchors for its two corners stretches. Below the template size (down to a
// minimum that may be set) the same anchors give the room back.
class CDialogLayout : public QLayout {
public:
    struct SAnchor {
        int m_x = 0;
        int m_y = 0;
    };
    static constexpr SAnchor kTopLeft{0, 0};
    static constexpr SAnchor kTopRight{100, 0};
    static constexpr SAnchor kBottomRight{100, 100};

    CDialogLayout(QWidget* parent, const QSize& templateUnits);
    ~CDialogLayout() override;
    CDialogLayout(const CDialogLayout&) = delete;
    CDialogLayout& operator=(const CDialogLayout&) = delete;

    void Add(QWidget* widget, const QRect& units, SAnchor topLeft = kTopLeft,
             SAnchor bottomRight = kTopLeft);
    // Moves a widget already added to another template rectangle.
    void Place(QWidget* widget, const QRect& units, SAnchor topLeft, SAnchor bottomRight);
    void SetMinimumUnits(const QSize& units) { m_minimum = units; }
    CDialogUnits Units() const;

    // QLayout
    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return static_cast<int>(m_items.size()); }
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal | Qt::Vertical; }

private:
    struct SItem {
        QLayoutItem* m_item = nullptr;
        QRect m_units;
        SAnchor m_topLeft;
        SAnchor m_bottomRight;
    };

    QSize m_template;
    QSize m_minimum;
    std::vector<SItem> m_items;
};

} // namespace cva::gui

#include "gui/window/TreeCtrlEx.h"

#include "gui/window/Icons.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace cva::gui {

namespace {

constexpr int kModelRole = Qt::UserRole + 1;
constexpr int kSingleExpand = 0x400;
constexpr int kSingleClick = 0x200;

// Some styles draw the focus frame only after focus moved by the Tab key, so a tree the
// user clicked into would not show which item the arrow keys move from.
class CFocusFrameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!(option.state & QStyle::State_HasFocus)) return;
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        painter->save();
        QPen pen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        pen.setStyle(Qt::DotLine);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

} // namespace

CTreeCtrlEx::CTreeCtrlEx(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    setItemDelegate(new CFocusFrameDelegate(this));
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (m_nStyle & kSingleExpand) CollapseSiblings(item);
    });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && (m_nStyle & kSingleExpand) && item->childCount() > 0) item->setExpanded(true);
    });
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if ((m_nStyle & kSingleClick) && item->childCount() > 0) item->setExpanded(!item->isExpanded());
    });
}

void CTreeCtrlEx::Fill(const app::CCatalogueTree& model) {
    const QSignalBlocker blocker(this);
    clear();
    m_items.assign(model.GetCount(), nullptr);
    AddChildren(model, app::kTreeRoot, nullptr);
    SelectModelItem(model.GetSelectedItem());
}

void CTreeCtrlEx::AddChildren(const app::CCatalogueTree& model, app::HTREEITEM parent, QTreeWidgetItem* into) {
    for (app::HTREEITEM child : model.Children(parent)) {
        const app::STreeItem& source = model.Item(child);
        auto* item = into ? new QTreeWidgetItem(into) : new QTreeWidgetItem(this);
        item->setText(0, QString::fromStdString(source.text));
        item->setData(0, kModelRole, child);
        QIcon icon = TreeIcon(source.image);
        if (source.selectedImage != source.image)
            icon.addPixmap(TreeIcon(source.selectedImage).pixmap(16, 16), QIcon::Selected);
        item->setIcon(0, icon);
        m_items[static_cast<size_t>(child)] = item;
        AddChildren(model, child, item);
    }
}

app::HTREEITEM CTreeCtrlEx::ModelItem(const QTreeWidgetItem* item) {
    return item ? item->data(0, kModelRole).toInt() : app::kNoItem;
}

void CTreeCtrlEx::SelectModelItem(app::HTREEITEM item) {
    const QSignalBlocker blocker(this);
    if (item < 0 || static_cast<size_t>(item) >= m_items.size() || !m_items[static_cast<size_t>(item)]) {
        setCurrentItem(nullptr);
        clearSelection();
        return;
    }
    QTreeWidgetItem* widgetItem = m_items[static_cast<size_t>(item)];
    for (QTreeWidgetItem* parent = widgetItem->parent(); parent; parent = parent->parent()) {
        parent->setExpanded(true);
        if (m_nStyle & kSingleExpand) CollapseSiblings(parent);
    }
    setCurrentItem(widgetItem);
    scrollToItem(widgetItem);
}

void CTreeCtrlEx::CollapseSiblings(QTreeWidgetItem* item) {
    QTreeWidgetItem* parent = item->parent();
    const int count = parent ? parent->childCount() : topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem* sibling = parent ? parent->child(i) : topLevelItem(i);
        if (sibling != item && sibling->isExpanded()) sibling->setExpanded(false);
    }
}

void CTreeCtrlEx::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_E && event->modifiers() == Qt::ControlModifier) {
        emit EditRequested();
        return;
    }
    m_bArrowMove = (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) &&
                   event->modifiers() == Qt::NoModifier;
    QTreeWidget::keyPressEvent(event);
}

void CTreeCtrlEx::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat() && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down))
        m_bArrowMove = false;
    QTreeWidget::keyReleaseEvent(event);
}

void CTreeCtrlEx::mousePressEvent(QMouseEvent* event) {
    m_bArrowMove = false;
    // The pop-up menu acts on the item under the mouse, so a right press selects it.
    if (event->button() == Qt::RightButton) {
        if (QTreeWidgetItem* item = itemAt(event->position().toPoint())) setCurrentItem(item);
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void CTreeCtrlEx::contextMenuEvent(QContextMenuEvent* event) {
    emit ContextMenuRequested(event->globalPos());
}

} // namespace cva::gui

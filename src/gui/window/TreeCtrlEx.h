#pragma once

#include "core/app/CatalogueTree.h"

#include <QTreeWidget>

#include <vector>

namespace cva::gui {

// One category tree of the outlook bar, drawn from a catalogue tree model. Only one
// branch per level stays open, and the items remember their model handles so the
// window can mirror selections both ways.
class CTreeCtrlEx : public QTreeWidget {
    Q_OBJECT
public:
    explicit CTreeCtrlEx(QWidget* parent = nullptr);

    void Fill(const app::CCatalogueTree& model);
    // Selects the item of a model handle without announcing it (the model already knows).
    void SelectModelItem(app::HTREEITEM item);
    static app::HTREEITEM ModelItem(const QTreeWidgetItem* item);
    // The stored "TreeStyle" bits: 0x400 keeps one branch per level open and opens the
    // selected folder, 0x200 opens a folder with a single click.
    void SetTreeStyle(int style) { m_nStyle = style; }
    // True while the selection moved by an arrow key that is still being used to scroll.
    bool ArrowKeyMove() const { return m_bArrowMove; }

signals:
    void EditRequested();
    void ContextMenuRequested(const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void AddChildren(const app::CCatalogueTree& model, app::HTREEITEM parent, QTreeWidgetItem* into);
    void CollapseSiblings(QTreeWidgetItem* item);

    std::vector<QTreeWidgetItem*> m_items; // by model handle
    bool m_bArrowMove = false;
    int m_nStyle = 0x600;
};

} // namespace cva::gui

#pragma once

#include "gui/pages/PageViewBase.h"

#include <array>
#include <memory>

class QMenu;
class QPoint;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace cva::pages {
class CPropertyPageList;
}

namespace cva::gui {

// The list page ("list" and "checklist" plugins): the rows in a list, with column
// headings where the plugin names them, columns as wide as their texts allow, up to
// three buttons under it (button 0 rightmost), the description below. Rows are
// redrawn once per turn of the event loop however many the script changed, so a script
// that fills hundreds of rows in "OnInit" costs one redraw.
class CListPageView : public CPageViewBase {
public:
    static constexpr int kButtons = 3;
    static constexpr std::array<int, kButtons> kButtonIds = {1052, 1053, 1054};

    CListPageView(pages::CPropertyPageList& page, QWidget* parent);

    void RowsChanged() override;
    void RowChanged(int row) override;
    void ColumnsChanged(int columnCount) override;
    void RowSelectionChanged(int row) override;
    void CheckBoxesChanged(bool on) override;
    void ButtonChanged(int button) override;
    void ApplyEnabledChanged(bool enabled) override;
    void ControlsEnabledChanged(bool enabled) override;

    QTreeWidget* List() const { return m_pList; }
    QPushButton* Button(int button) const;
    // The right-click menu with Check All, Check None and Invert, greyed on lists
    // without check boxes; its actions act on the page.
    std::unique_ptr<QMenu> MakeContextMenu();
    // Draws pending row changes now instead of on the next turn of the event loop.
    void SyncRows();

protected:
    void SyncAll(const pages::SPageSnapshot& snapshot) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ScheduleRowSync();
    void SyncButtons(const pages::SPageSnapshot& snapshot);
    void SyncRowsFrom(const pages::SPageSnapshot& snapshot);
    void FitColumns();
    void OnItemChanged(QTreeWidgetItem* item);
    void OnSelectionChanged();
    void OnContextMenu(const QPoint& pos);

    pages::CPropertyPageList& m_list;
    QTreeWidget* m_pList = nullptr;
    std::array<QPushButton*, kButtons> m_buttons{};
    int m_nColumns = 0;
    bool m_bRowSyncPending = false;
    bool m_bSyncing = false;
};

} // namespace cva::gui

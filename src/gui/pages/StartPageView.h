#pragma once

#include "gui/pages/PageViewBase.h"

class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace cva::pages {
class CPropertyPageMain;
}

namespace cva::gui {

class CHTMLStatic;

// The start page: the header with the program's icon, version and plug-in count, the
// tabs Recent, Favorites and Used, and their list, from which one click opens a plugin.
class CStartPageView : public CPageViewBase {
    Q_OBJECT
public:
    CStartPageView(pages::CPropertyPageMain& page, QWidget* parent);

    void HeaderChanged(const std::string& text) override;
    void StartTabChanged(int tab) override;
    void RowsChanged() override;

    CHTMLStatic* Header() const { return m_pHeader; }
    QTabBar* Tabs() const { return m_pTabs; }
    QTreeWidget* List() const { return m_pList; }

signals:
    // A row opened its plugin: the window's trees follow the catalogue's selection.
    void EntryOpened();
    // "Undo" was chosen for a row of the "Used" tab: its catalogue entry's last apply.
    void UndoRequested(int catalogueIndex);

protected:
    void SyncAll(const pages::SPageSnapshot& snapshot) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnRowClicked(QTreeWidgetItem* item);
    // The "Used" tab's rows offer to undo their plugin's last apply.
    void ShowRowMenu(const QPoint& pos);
    // The row under the mouse is underlined, as a link would be.
    void SetHotRow(QTreeWidgetItem* item);

    pages::CPropertyPageMain& m_main;
    CHTMLStatic* m_pHeader = nullptr;
    QTabBar* m_pTabs = nullptr;
    QTreeWidget* m_pList = nullptr;
    QTreeWidgetItem* m_pHotRow = nullptr;
};

} // namespace cva::gui

#include "gui/pages/StartPageView.h"

#include "core/markup/HTMLFrame.h"
#include "core/pages/PageOwner.h"
#include "core/pages/PropertyPageMain.h"
#include "gui/controls/HTMLStatic.h"
#include "gui/window/Icons.h"

#include <QEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace cva::gui {

CStartPageView::CStartPageView(pages::CPropertyPageMain& page, QWidget* parent)
    : CPageViewBase(page, parent), m_main(page) {
    auto* root = new QVBoxLayout(this);
    m_pHeader = new CHTMLStatic(this);
    m_pHeader->setObjectName(QStringLiteral("html1027"));
    m_pHeader->SetFrame(markup::SHTMLFrame::StartHeader(), ProgramIcon());
    if (page.Owner()) m_pHeader->SetPrompts(page.Owner()->Prompts());
    root->addWidget(m_pHeader);
    root->addSpacing(12);

    m_pTabs = new QTabBar(this);
    m_pTabs->setObjectName(QStringLiteral("tab112"));
    m_pTabs->setDrawBase(false);
    for (const char* name : {"Recent", "Favorites", "Used"}) m_pTabs->addTab(QString::fromLatin1(name));
    connect(m_pTabs, &QTabBar::currentChanged, this, [this](int tab) { m_main.SelectTab(tab); });
    root->addWidget(m_pTabs);

    m_pList = new QTreeWidget(this);
    m_pList->setObjectName(QStringLiteral("list1051"));
    m_pList->setColumnCount(2);
    m_pList->setHeaderHidden(true);
    m_pList->setRootIsDecorated(false);
    m_pList->setItemsExpandable(false);
    m_pList->setUniformRowHeights(true);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setAllColumnsShowFocus(true);
    m_pList->header()->setStretchLastSection(true);
    m_pList->setMouseTracking(true);
    m_pList->viewport()->installEventFilter(this);
    connect(m_pList, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { OnRowClicked(item); });
    m_pList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_pList, &QTreeWidget::customContextMenuRequested, this, &CStartPageView::ShowRowMenu);
    root->addWidget(m_pList, 1);
    Attach();
}

void CStartPageView::SyncAll(const pages::SPageSnapshot& snapshot) {
    CPageViewBase::SyncAll(snapshot);
    HeaderChanged(snapshot.m_html);
    StartTabChanged(snapshot.m_tab);
    RowsChanged();
}

void CStartPageView::HeaderChanged(const std::string& text) { m_pHeader->SetText(text); }

void CStartPageView::StartTabChanged(int tab) {
    const QSignalBlocker blocker(m_pTabs);
    m_pTabs->setCurrentIndex(tab);
}

void CStartPageView::RowsChanged() {
    m_pHotRow = nullptr;
    m_pList->setUpdatesEnabled(false);
    m_pList->clear();
    for (const pages::CPropertyPageMain::SRow& row : m_main.Rows())
        m_pList->addTopLevelItem(new QTreeWidgetItem({ToQt(row.m_caption), ToQt(row.m_time)}));
    m_pList->resizeColumnToContents(0);
    m_pList->resizeColumnToContents(1);
    m_pList->setUpdatesEnabled(true);
}

void CStartPageView::OnRowClicked(QTreeWidgetItem* item) {
    // Opening the plugin shows another page and may refill this list; the item is
    // not used after it.
    if (m_main.ClickRow(m_pList->indexOfTopLevelItem(item))) emit EntryOpened();
}

void CStartPageView::ShowRowMenu(const QPoint& pos) {
    constexpr int kUsedTab = 2;
    const int row = m_pList->indexOfTopLevelItem(m_pList->itemAt(pos));
    if (m_pTabs->currentIndex() != kUsedTab || row < 0 || row >= static_cast<int>(m_main.Rows().size())) return;
    const int entry = m_main.Rows()[static_cast<size_t>(row)].m_catalogueIndex;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("usedMenu"));
    QAction* undo = menu.addAction(QStringLiteral("Undo"));
    if (menu.exec(m_pList->viewport()->mapToGlobal(pos)) == undo) emit UndoRequested(entry);
}

void CStartPageView::SetHotRow(QTreeWidgetItem* item) {
    if (item == m_pHotRow) return;
    for (QTreeWidgetItem* row : {m_pHotRow, item}) {
        if (!row) continue;
        for (int c = 0; c < m_pList->columnCount(); ++c) {
            QFont font = row->font(c);
            font.setUnderline(row == item);
            row->setFont(c, font);
        }
    }
    m_pHotRow = item;
    if (item) m_pList->viewport()->setCursor(Qt::PointingHandCursor);
    else m_pList->viewport()->unsetCursor();
}

bool CStartPageView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pList->viewport()) {
        if (event->type() == QEvent::MouseMove)
            SetHotRow(m_pList->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
        else if (event->type() == QEvent::Leave)
            SetHotRow(nullptr);
    }
    return CPageViewBase::eventFilter(watched, event);
}

} // namespace cva::gui

#include "gui/pages/ListPageView.h"

#include "core/pages/PropertyPageList.h"

#include <algorithm>
#include <vector>

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace cva::gui {

namespace {

// Restores a flag on every way out of a scope.
class CFlagGuard {
public:
    explicit CFlagGuard(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~CFlagGuard() { m_flag = m_old; }
    CFlagGuard(const CFlagGuard&) = delete;
    CFlagGuard& operator=(const CFlagGuard&) = delete;

private:
    bool& m_flag;
    bool m_old;
};

// The list, which measures its columns for the page.
class CRowList : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;
    using QTreeWidget::sizeHintForColumn;
};

} // namespace

CListPageView::CListPageView(pages::CPropertyPageList& page, QWidget* parent)
    : CPageViewBase(page, parent), m_list(page) {
    auto* root = new QVBoxLayout(this);
    m_pList = new CRowList(this);
    m_pList->setObjectName(QStringLiteral("list1051"));
    m_pList->setHeaderHidden(true);
    m_pList->setRootIsDecorated(false);
    m_pList->setItemsExpandable(false);
    m_pList->setUniformRowHeights(true);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setAllColumnsShowFocus(true);
    m_pList->header()->setStretchLastSection(true);
    m_pList->header()->setSectionsMovable(false);
    m_pList->setTextElideMode(Qt::ElideRight);
    // Resizes refit the columns; tooltips show the texts the columns cut.
    m_pList->viewport()->installEventFilter(this);
    m_pList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_pList, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int) { OnItemChanged(item); });
    connect(m_pList, &QTreeWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
    connect(m_pList, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { OnContextMenu(pos); });
    root->addWidget(m_pList, 1);

    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("line1060"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    root->addWidget(separator);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    // Button 2 sits leftmost, button 0 rightmost.
    for (int n = kButtons - 1; n >= 0; --n) {
        auto* button = new QPushButton(this);
        button->setObjectName(QStringLiteral("button%1").arg(kButtonIds[static_cast<size_t>(n)]));
        QFont bold = button->font();
        bold.setBold(true);
        button->setFont(bold);
        button->setIconSize(QSize(16, 16));
        button->setAutoDefault(true);
        button->setHidden(true);
        connect(button, &QPushButton::clicked, this, [this, n] {
            // The script usually refills the list in "OnApply": draw the rows it acts
            // on first so the selection it reads is the one on screen.
            SyncRows();
            m_list.ClickButton(n);
            SyncButtons(m_page.Snapshot());
        });
        buttonRow->addWidget(button);
        m_buttons[static_cast<size_t>(n)] = button;
    }
    root->addLayout(buttonRow);
    root->addWidget(MakeDescriptionBox(), 1);
    Attach();
}

QPushButton* CListPageView::Button(int button) const {
    return button >= 0 && button < kButtons ? m_buttons[static_cast<size_t>(button)] : nullptr;
}

void CListPageView::RowsChanged() { ScheduleRowSync(); }
void CListPageView::RowChanged(int) { ScheduleRowSync(); }
void CListPageView::ColumnsChanged(int) { ScheduleRowSync(); }
void CListPageView::RowSelectionChanged(int) { ScheduleRowSync(); }
void CListPageView::CheckBoxesChanged(bool) { ScheduleRowSync(); }
void CListPageView::ButtonChanged(int) { SyncButtons(m_page.Snapshot()); }
void CListPageView::ApplyEnabledChanged(bool) { SyncButtons(m_page.Snapshot()); }
void CListPageView::ControlsEnabledChanged(bool enabled) { m_pList->setEnabled(enabled); }

void CListPageView::SyncAll(const pages::SPageSnapshot& snapshot) {
    CPageViewBase::SyncAll(snapshot);
    m_pList->setEnabled(snapshot.m_controlsEnabled);
    SyncButtons(snapshot);
    SyncRowsFrom(snapshot);
}

void CListPageView::SyncButtons(const pages::SPageSnapshot& snapshot) {
    for (const pages::SButtonSnapshot& state : snapshot.m_buttons) {
        QPushButton* button = Button(state.m_number);
        if (!button) continue;
        button->setText(ToQt(state.m_caption));
        button->setHidden(!state.m_visible);
        button->setEnabled(state.m_enabled);
        button->setIcon(state.m_icon ? ApplyIcon() : QIcon());
    }
}

void CListPageView::ScheduleRowSync() {
    if (m_bRowSyncPending) return;
    m_bRowSyncPending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_bRowSyncPending) SyncRows();
    });
}

void CListPageView::SyncRows() { SyncRowsFrom(m_page.Snapshot()); }

void CListPageView::SyncRowsFrom(const pages::SPageSnapshot& snapshot) {
    m_bRowSyncPending = false;
    CFlagGuard guard(m_bSyncing);
    const int columns = std::max(1, snapshot.m_columnCount);
    if (columns != m_nColumns) {
        m_nColumns = columns;
        m_pList->setColumnCount(columns);
    }
    QStringList headings;
    bool named = false;
    for (int c = 0; c < columns; ++c) {
        const std::string heading = c < static_cast<int>(snapshot.m_columnHeadings.size())
                                        ? snapshot.m_columnHeadings[static_cast<size_t>(c)]
                                        : "";
        named = named || !heading.empty();
        headings << ToQt(heading);
    }
    m_pList->setHeaderLabels(headings);
    m_pList->setHeaderHidden(!named);
    const int rows = static_cast<int>(snapshot.m_rows.size());
    // Existing items are kept and rewritten, so the scroll position survives a refill.
    while (m_pList->topLevelItemCount() > rows)
        delete m_pList->takeTopLevelItem(m_pList->topLevelItemCount() - 1);
    while (m_pList->topLevelItemCount() < rows) m_pList->addTopLevelItem(new QTreeWidgetItem);
    for (int r = 0; r < rows; ++r) {
        const pages::SRowSnapshot& row = snapshot.m_rows[static_cast<size_t>(r)];
        QTreeWidgetItem* item = m_pList->topLevelItem(r);
        for (int c = 0; c < columns; ++c) {
            const QString text = c < static_cast<int>(row.m_columns.size())
                                     ? ToQt(row.m_columns[static_cast<size_t>(c)])
                                     : QString();
            if (item->text(c) != text) item->setText(c, text);
        }
        if (snapshot.m_checkBoxes) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, row.m_checked ? Qt::Checked : Qt::Unchecked);
        } else {
            item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
            item->setData(0, Qt::CheckStateRole, QVariant());
        }
    }
    QTreeWidgetItem* selected =
        snapshot.m_selectedRow >= 0 && snapshot.m_selectedRow < rows
            ? m_pList->topLevelItem(snapshot.m_selectedRow)
            : nullptr;
    if (selected) {
        if (!selected->isSelected() || m_pList->currentItem() != selected)
            m_pList->setCurrentItem(selected);
    } else {
        m_pList->clearSelection();
    }
    FitColumns();
}

// Each column as wide as its widest text; when the list is too narrow for all of them,
// the widest give up room until they fit, and the last column takes what is left.
void CListPageView::FitColumns() {
    const int columns = m_pList->columnCount();
    QHeaderView* header = m_pList->header();
    // A little room between a column's longest text and the next column.
    const int gutter = m_pList->fontMetrics().averageCharWidth();
    std::vector<int> wants;
    for (int c = 0; c < columns; ++c) {
        const int heading = m_pList->isHeaderHidden() ? 0 : header->sectionSizeHint(c);
        const int text = static_cast<CRowList*>(m_pList)->sizeHintForColumn(c);
        wants.push_back(std::max({text, heading, header->minimumSectionSize()}) + gutter);
    }
    std::vector<int> ascending = wants;
    std::sort(ascending.begin(), ascending.end());
    int room = m_pList->viewport()->width();
    int cap = room;
    for (size_t k = 0; k < ascending.size(); ++k) {
        const int share = room / static_cast<int>(ascending.size() - k);
        if (ascending[k] > share) {
            cap = share;
            break;
        }
        room -= ascending[k];
        cap = ascending[k];
    }
    cap = std::max(cap, header->minimumSectionSize());
    for (int c = 0; c + 1 < columns; ++c)
        m_pList->setColumnWidth(c, std::min(wants[static_cast<size_t>(c)], cap));
}

bool CListPageView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pList->viewport()) {
        if (event->type() == QEvent::Resize) {
            FitColumns();
        } else if (event->type() == QEvent::ToolTip) {
            const auto* help = static_cast<QHelpEvent*>(event);
            const QModelIndex index = m_pList->indexAt(help->pos());
            const QRect cell = m_pList->visualRect(index);
            if (index.isValid() && m_pList->sizeHintForIndex(index).width() > cell.width())
                QToolTip::showText(help->globalPos(), index.data().toString(), m_pList->viewport(),
                                   cell);
            else
                QToolTip::hideText();
            return true;
        }
    }
    return CPageViewBase::eventFilter(watched, event);
}

void CListPageView::OnItemChanged(QTreeWidgetItem* item) {
    if (m_bSyncing || !m_list.HasCheckBoxes()) return;
    const int row = m_pList->indexOfTopLevelItem(item);
    if (row < 0) return;
    const bool shown = item->checkState(0) == Qt::Checked;
    if (shown != (m_list.IsItemChecked(row) == 1)) {
        // A refused toggle leaves the page as it was: draw it back.
        if (!m_list.ToggleRowCheck(row)) ScheduleRowSync();
    }
}

void CListPageView::OnSelectionChanged() {
    if (m_bSyncing) return;
    const QList<QTreeWidgetItem*> items = m_pList->selectedItems();
    const int row = items.isEmpty() ? -1 : m_pList->indexOfTopLevelItem(items.first());
    if (row != m_list.SelectedRow() && !m_list.SelectRow(row)) ScheduleRowSync();
}

std::unique_ptr<QMenu> CListPageView::MakeContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    const bool enabled = m_list.ContextMenuEnabled();
    struct SCommand {
        const char* m_name;
        const char* m_text;
        bool (pages::CPropertyPageList::*m_run)();
    };
    static constexpr SCommand kCommands[] = {
        {"checkAll", "Check All", &pages::CPropertyPageList::CheckAll},
        {"checkNone", "Check None", &pages::CPropertyPageList::CheckNone},
        {"checkInvert", "Check Invert", &pages::CPropertyPageList::CheckInvert},
    };
    for (const SCommand& command : kCommands) {
        QAction* action = menu->addAction(QString::fromLatin1(command.m_text));
        action->setObjectName(QString::fromLatin1(command.m_name));
        action->setEnabled(enabled);
        auto run = command.m_run;
        connect(action, &QAction::triggered, this, [this, run] {
            (m_list.*run)();
            SyncRows();
        });
    }
    return menu;
}

void CListPageView::OnContextMenu(const QPoint& pos) {
    std::unique_ptr<QMenu> menu = MakeContextMenu();
    menu->exec(m_pList->viewport()->mapToGlobal(pos));
}

} // namespace cva::gui

// The "Favorites" page of the options sheet: the favorites organizer.
#include "gui/options/OptionsPageViews.h"

#include "core/settings/FavoritesOrganizer.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace cva::gui {

namespace {

void Fill(QTreeWidget* list, const options::CFavoritesOrganizer& model, int current) {
    list->clear();
    for (const options::SFavoriteRow& row : model.Rows())
        list->addTopLevelItem(new QTreeWidgetItem(QStringList{QString::fromStdString(row.text),
                                                              QString::fromStdString(row.category),
                                                              QString::fromStdString(row.fileName)}));
    if (QTreeWidgetItem* item = list->topLevelItem(current)) {
        list->setCurrentItem(item);
        item->setSelected(true);
    }
}

std::vector<int> SelectedRows(QTreeWidget* list) {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : list->selectedItems()) rows.push_back(list->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

QWidget* CreateFavoritesPage(options::CFavoritesOrganizer& model, app::IUserPrompts& prompts, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    // The rows keep the menu's order, which the move buttons change.
    auto* list = new QTreeWidget(page);
    list->setObjectName(QStringLiteral("list1051"));
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setHeaderLabels({QStringLiteral("Caption"), QStringLiteral("Category"), QStringLiteral("Plug-in")});
    list->header()->resizeSection(0, 200);
    list->header()->resizeSection(1, 200);
    list->header()->resizeSection(2, 100);
    Fill(list, model, -1);
    layout->addWidget(list, 1);

    auto* buttons = new QHBoxLayout;
    const auto button = [page, buttons](const QString& text, const char* name) {
        auto* b = new QPushButton(text, page);
        b->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(b);
        return b;
    };
    QPushButton* up = button(QStringLiteral("Move Up"), "moveUp");
    QPushButton* down = button(QStringLiteral("Move Down"), "moveDown");
    QPushButton* edit = button(QStringLiteral("Edit..."), "edit1054");
    QPushButton* remove = button(QStringLiteral("Delete"), "delete1052");
    buttons->addStretch(1);
    layout->addLayout(buttons);

    const auto update = [list, up, down, edit, remove] {
        const std::vector<int> rows = SelectedRows(list);
        edit->setEnabled(!rows.empty());
        remove->setEnabled(!rows.empty());
        up->setEnabled(rows.size() == 1 && rows[0] > 0);
        down->setEnabled(rows.size() == 1 && rows[0] + 1 < list->topLevelItemCount());
    };
    update();
    QObject::connect(list, &QTreeWidget::itemSelectionChanged, page, update);
    const auto move = [&model, list](int step) {
        const std::vector<int> rows = SelectedRows(list);
        if (rows.size() != 1) return;
        if (step < 0 ? model.MoveUp(rows[0]) : model.MoveDown(rows[0])) Fill(list, model, rows[0] + step);
    };
    QObject::connect(up, &QPushButton::clicked, page, [move] { move(-1); });
    QObject::connect(down, &QPushButton::clicked, page, [move] { move(1); });
    QObject::connect(remove, &QPushButton::clicked, page, [&model, list] {
        model.Delete(SelectedRows(list));
        Fill(list, model, -1);
    });
    QObject::connect(edit, &QPushButton::clicked, page, [&model, &prompts, list] {
        const std::vector<int> rows = SelectedRows(list);
        if (!rows.empty() && model.Edit(rows[0], prompts)) Fill(list, model, rows[0]);
    });
    return page;
}

} // namespace cva::gui

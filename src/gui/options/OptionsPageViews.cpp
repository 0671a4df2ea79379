// The simple pages of the options sheet: Logging, Folders, Tree, User, Misc and Profile.
#include "gui/options/OptionsPageViews.h"

#include "core/settings/FolderOptions.h"
#include "core/settings/LoggingOptions.h"
#include "core/settings/MiscOptions.h"
#include "core/settings/ProfileOptions.h"
#include "core/settings/TreeOptions.h"
#include "core/settings/UserOptions.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

namespace cva::gui {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

template <class Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Two radio buttons for a choice of 0 and 1 (-1: neither), in a titled group or none.
QWidget* Choice(QWidget* parent, const QString& title, const char* name0, const QString& text0, const char* name1,
                const QString& text1, int value, const std::function<void(int)>& set) {
    QWidget* box = title.isEmpty() ? new QWidget(parent) : new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    auto* first = Named(new QRadioButton(text0, box), name0);
    auto* second = Named(new QRadioButton(text1, box), name1);
    first->setChecked(value == 0);
    second->setChecked(value == 1);
    QObject::connect(first, &QRadioButton::toggled, box, [set](bool on) { if (on) set(0); });
    QObject::connect(second, &QRadioButton::toggled, box, [set](bool on) { if (on) set(1); });
    layout->addWidget(first);
    layout->addWidget(second);
    return box;
}

QCheckBox* Check(QWidget* parent, const char* name, const QString& text, bool& value) {
    auto* box = Named(new QCheckBox(text, parent), name);
    box->setChecked(value);
    QObject::connect(box, &QCheckBox::toggled, parent, [&value](bool on) { value = on; });
    return box;
}

QWidget* FolderField(QWidget* parent, const char* name, std::string& value, const std::function<void()>& browse) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* edit = Named(new QLineEdit(Q(value), row), name);
    auto* button = Named(new QPushButton(QStringLiteral("..."), row), (std::string(name) + "Browse").c_str());
    button->setFixedWidth(32);
    QObject::connect(edit, &QLineEdit::textEdited, row, [&value](const QString& text) { value = text.toStdString(); });
    QObject::connect(button, &QPushButton::clicked, row, [edit, &value, browse] {
        browse();
        edit->setText(Q(value));
    });
    layout->addWidget(edit, 1);
    layout->addWidget(button);
    return row;
}

} // namespace

QWidget* CreateLoggingPage(options::CLoggingOptions& model, logging::CActionLogger* logger, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Choice(page, {}, "noLog", QStringLiteral("No log"), "logActions", QStringLiteral("Log actions"),
                             model.m_nCreateLog, [&model](int value) { model.m_nCreateLog = value; }));
    auto* list = Named(new QListWidget(page), "logList");
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const std::string& title : model.Logs()) list->addItem(Q(title));
    auto* buttons = new QHBoxLayout;
    auto* view = Named(new QPushButton(QStringLiteral("View"), page), "viewLog");
    auto* remove = Named(new QPushButton(QStringLiteral("Delete"), page), "deleteLog");
    view->setEnabled(false);
    remove->setEnabled(false);
    buttons->addWidget(view);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    QObject::connect(list, &QListWidget::itemSelectionChanged, page, [list, view, remove] {
        const bool any = !list->selectedItems().isEmpty();
        view->setEnabled(any);
        remove->setEnabled(any);
    });
    const auto first = [list] {
        const QList<QListWidgetItem*> selected = list->selectedItems();
        return selected.isEmpty() ? -1 : list->row(selected.first());
    };
    QObject::connect(view, &QPushButton::clicked, page, [&model, first] { model.View(first()); });
    QObject::connect(remove, &QPushButton::clicked, page, [&model, logger, list, first] {
        const int row = first();
        if (row >= 0 && model.Delete(row, logger)) delete list->takeItem(row);
    });
    layout->addWidget(list, 1);
    layout->addLayout(buttons);
    layout->addWidget(Check(page, "clearOldLogs", QStringLiteral("Automaticaly delete logs older than one week"),
                            model.m_bClearOldLogs));
    auto* form = new QFormLayout;
    auto* viewer = Named(new QLineEdit(Q(model.m_strViewer), page), "logViewer");
    QObject::connect(viewer, &QLineEdit::textEdited, page,
                     [&model](const QString& text) { model.m_strViewer = text.toStdString(); });
    form->addRow(QStringLiteral("Viewer"), viewer);
    layout->addLayout(form);
    return page;
}

QWidget* CreateFoldersPage(options::CFolderOptions& model, app::IUserPrompts& prompts, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    auto* form = new QFormLayout;
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    form->addRow(QStringLiteral("Plug-in Folder"),
                 FolderField(page, "pluginFolder", model.m_strPluginDir, [&] { model.BrowsePluginFolder(prompts); }));
    form->addRow(QStringLiteral("Profile Folder"),
                 FolderField(page, "profileFolder", model.m_strProfileDir, [&] { model.BrowseProfileFolder(prompts); }));
    layout->addLayout(form);
    layout->addStretch(1);
    return page;
}

QWidget* CreateTreePage(options::CTreeOptions& model, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Check(page, "singleExpand",
                            QStringLiteral("Expand the folder being selected and collapse all other folders *"),
                            model.m_bSingleExpand));
    layout->addWidget(Check(page, "singleClick", QStringLiteral("Single-click to expand folders (web-style)"),
                            model.m_bSingleClick));
    layout->addStretch(1);
    layout->addWidget(new QLabel(QStringLiteral("* Needs to reopen the program"), page));
    return page;
}

QWidget* CreateUserPage(options::CUserOptions& model, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Choice(page, QStringLiteral("User Level"), "userNormal", QStringLiteral("Default/Normal"),
                             "userExpert", QStringLiteral("Expert"), model.m_nUserMode,
                             [&model](int value) { model.m_nUserMode = value; }));
    layout->addStretch(1);
    return page;
}

QWidget* CreateMiscPage(options::CMiscOptions& model, app::IUserPrompts& prompts, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    // Radio buttons 1 and 0 of "DELTO": the first button is the Recycle Bin.
    layout->addWidget(Choice(page, QStringLiteral("Removal of Files Using Plug-ins"), "recycle",
                             QStringLiteral("Send to the Recycle Bin"), "permanent",
                             QStringLiteral("Permanently delete"), model.m_nRecycle < 0 ? -1 : 1 - model.m_nRecycle,
                             [&model](int value) { model.m_nRecycle = 1 - value; }));
    // The guard may undo a click, so the boxes follow the model rather than the other way.
    QCheckBox* boxes[2] = {
        Named(new QCheckBox(QStringLiteral("Show warning messages when loading critical tweak-pages"), page),
              "warnings"),
        Named(new QCheckBox(QStringLiteral("Ask for confirmation before applying the tweaks in a page"), page),
              "confirmApply")};
    boxes[0]->setChecked(model.m_bWarnings);
    boxes[1]->setChecked(model.m_bConfirmApply);
    for (int i = 0; i < 2; ++i) {
        QObject::connect(boxes[i], &QCheckBox::clicked, page, [&model, &prompts, boxes, i](bool checked) {
            if (model.SetConfirmation(i, checked, prompts)) return;
            for (QCheckBox* box : boxes) box->setChecked(true);
        });
        layout->addWidget(boxes[i]);
    }
    layout->addStretch(1);
    return page;
}

QWidget* CreateProfilePage(options::CProfileOptions& model, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("Select Profile"), page);
    auto* groupLayout = new QVBoxLayout(group);
    auto* tree = Named(new QTreeWidget(group), "profileTree");
    tree->setHeaderHidden(true);
    auto* root = new QTreeWidgetItem(tree, QStringList(QStringLiteral("My Computer")));
    root->setData(0, Qt::UserRole, options::CProfileOptions::kMyComputer);
    const std::vector<std::string> labels = model.Labels();
    for (size_t i = 0; i < labels.size(); ++i) {
        auto* item = new QTreeWidgetItem(root, QStringList(Q(labels[i])));
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        if (static_cast<int>(i) == model.OpenedSelection()) {
            tree->setCurrentItem(item);
            tree->scrollToItem(item);
        }
    }
    root->setExpanded(true);
    QObject::connect(tree, &QTreeWidget::currentItemChanged, page, [&model](QTreeWidgetItem* item) {
        model.Choose(item ? item->data(0, Qt::UserRole).toInt() : options::CProfileOptions::kMyComputer);
    });
    groupLayout->addWidget(tree);
    layout->addWidget(group, 1);
    auto* text = new QLabel(QStringLiteral("Please select the user profile you would like to modify. All tweaks that "
                                           "change user settings will apply to this user only."),
                            page);
    text->setWordWrap(true);
    layout->addWidget(text);
    layout->addWidget(Named(new QLabel(Q(model.StatusLine()), page), "profileStatus"));
    return page;
}

} // namespace cva::gui

// The "Target" page of the options sheet: which Windows system the program works on.
#include "gui/options/OptionsPageViews.h"

#include "core/settings/TargetOptions.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace cva::gui {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QString StateText(const options::STargetCandidate& candidate) {
    if (!candidate.usable) return QStringLiteral("cannot be opened");
    return candidate.writable ? QStringLiteral("writable") : QStringLiteral("read-only");
}

void Fill(QTreeWidget* list, QLabel* note, const options::CTargetOptions& model) {
    const QSignalBlocker blocker(list);
    list->clear();
    for (const options::STargetCandidate& candidate : model.Candidates())
        list->addTopLevelItem(new QTreeWidgetItem(
            QStringList{Q(candidate.label), Q(candidate.version), StateText(candidate)}));
    if (QTreeWidgetItem* item = list->topLevelItem(model.m_nSelected)) list->setCurrentItem(item);
    for (int column = 0; column < 2; ++column) list->resizeColumnToContents(column);
    const int selected = model.m_nSelected;
    const bool valid = selected >= 0 && selected < static_cast<int>(model.Candidates().size());
    note->setText(valid ? Q(model.Candidates()[static_cast<size_t>(selected)].note) : QString());
}

} // namespace

QWidget* CreateTargetPage(options::CTargetOptions& model, app::IUserPrompts& prompts, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    auto* intro = new QLabel(QStringLiteral("The Windows system whose settings the pages show and change. "
                                            "Another choice opens at once on OK."),
                             page);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* list = new QTreeWidget(page);
    list->setObjectName(QStringLiteral("targetList"));
    list->setRootIsDecorated(false);
    list->setHeaderLabels({QStringLiteral("Target"), QStringLiteral("Windows"), QStringLiteral("State")});
    layout->addWidget(list, 1);
    auto* note = new QLabel(page);
    note->setObjectName(QStringLiteral("targetNote"));
    note->setWordWrap(true);
    layout->addWidget(note);

    Fill(list, note, model);
    QObject::connect(list, &QTreeWidget::currentItemChanged, page, [&model, list, note](QTreeWidgetItem* item) {
        model.m_nSelected = item ? list->indexOfTopLevelItem(item) : -1;
        Fill(list, note, model);
    });
    // One button per kind of target: its folder dialog, then the list with the new one.
    using Browse = bool (options::CTargetOptions::*)(app::IUserPrompts&);
    const struct {
        const char* name;
        QString text;
        Browse browse;
    } kinds[] = {
        {"addPrefix", QStringLiteral("Wine Prefix..."), &options::CTargetOptions::BrowseWinePrefix},
        {"addSandbox", QStringLiteral("Sandbox Folder..."),
         &options::CTargetOptions::BrowseSandbox},
        {"addOffline", QStringLiteral("Windows Disk..."),
         &options::CTargetOptions::BrowseOfflineDisk},
    };
    auto* buttons = new QHBoxLayout;
    for (const auto& kind : kinds) {
        auto* button = new QPushButton(kind.text, page);
        button->setObjectName(QString::fromLatin1(kind.name));
        buttons->addWidget(button);
        QObject::connect(button, &QPushButton::clicked, page,
                         [&model, &prompts, list, note, browse = kind.browse] {
                             if ((model.*browse)(prompts)) Fill(list, note, model);
                         });
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return page;
}

} // namespace cva::gui

#include "gui/options/OptionsSheetDlg.h"

#include "gui/options/OptionsPageViews.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace cva::gui {

namespace {

// 120 dialog units of the sheet's tree, at the usual four units to eight pixels.
constexpr int kTreeWidth = 180;

} // namespace

COptionsSheetDlg::COptionsSheetDlg(options::COptionsSheet& model, app::IUserPrompts& prompts,
                                   logging::CActionLogger* logger, int firstPage, QWidget* parent)
    : QDialog(parent), m_model(model), m_prompts(prompts), m_logger(logger) {
    setObjectName(QStringLiteral("optionsSheet"));
    setWindowTitle(QStringLiteral("Corvanta"));
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    layout->addLayout(body, 1);

    m_pTree = new QTreeWidget(this);
    m_pTree->setObjectName(QStringLiteral("optionsTree"));
    m_pTree->setHeaderHidden(true);
    m_pTree->setRootIsDecorated(false);
    m_pTree->setFixedWidth(kTreeWidth);
    for (int i = 0; i < options::OPTIONS_PAGE_COUNT; ++i)
        m_pTree->addTopLevelItem(new QTreeWidgetItem(QStringList(QString::fromLatin1(options::OptionsPageCaption(i)))));
    body->addWidget(m_pTree);

    auto* right = new QVBoxLayout;
    body->addLayout(right, 1);
    m_pCaption = new QLabel(this);
    m_pCaption->setObjectName(QStringLiteral("pageCaption"));
    QFont captionFont = m_pCaption->font();
    captionFont.setBold(true);
    captionFont.setPointSizeF(captionFont.pointSizeF() * 1.2);
    m_pCaption->setFont(captionFont);
    m_pCaption->setFrameShape(QFrame::StyledPanel);
    m_pCaption->setMargin(4);
    right->addWidget(m_pCaption);
    m_pPages = new QStackedWidget(this);
    right->addWidget(m_pPages, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("sheetButtons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_pTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item) ShowPage(m_pTree->indexOfTopLevelItem(item));
    });
    resize(820, 500);
    ShowPage(firstPage >= 0 && firstPage < options::OPTIONS_PAGE_COUNT ? firstPage : 0);
}

void COptionsSheetDlg::ShowPage(int page) {
    if (page < 0 || page >= options::OPTIONS_PAGE_COUNT) return;
    m_model.ShowPage(page);
    QWidget*& widget = m_pageWidgets[static_cast<size_t>(page)];
    if (!widget) {
        widget = CreatePage(page);
        widget->setObjectName(QStringLiteral("options%1").arg(QString::fromLatin1(options::OptionsPageCaption(page))));
        m_pPages->addWidget(widget);
    }
    m_pPages->setCurrentWidget(widget);
    m_pCaption->setText(QString::fromLatin1(options::OptionsPageCaption(page)));
    const QSignalBlocker blocker(m_pTree);
    m_pTree->setCurrentItem(m_pTree->topLevelItem(page));
}

QWidget* COptionsSheetDlg::CreatePage(int page) {
    switch (page) {
    case options::PAGE_LOGGING: return CreateLoggingPage(m_model.m_logging, m_logger, m_pPages);
    case options::PAGE_FOLDERS: return CreateFoldersPage(m_model.m_folders, m_prompts, m_pPages);
    case options::PAGE_FAVORITES: return CreateFavoritesPage(m_model.m_favorites, m_prompts, m_pPages);
    case options::PAGE_TREE: return CreateTreePage(m_model.m_tree, m_pPages);
    case options::PAGE_USER: return CreateUserPage(m_model.m_user, m_pPages);
    case options::PAGE_MISC: return CreateMiscPage(m_model.m_misc, m_prompts, m_pPages);
    case options::PAGE_PROFILE: return CreateProfilePage(m_model.m_profile, m_pPages);
    default: return CreateTargetPage(m_model.m_target, m_prompts, m_pPages);
    }
}

void COptionsSheetDlg::accept() {
    if (!m_model.OnOK(m_prompts, m_result)) return;
    QDialog::accept();
}

} // namespace cva::gui

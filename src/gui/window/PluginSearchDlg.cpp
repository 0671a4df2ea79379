#include "gui/window/PluginSearchDlg.h"

#include "core/app/ApplicationDlg.h"
#include "platform/settings/SettingsStore.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace cva::gui {

namespace {
constexpr const char* kPlacementSection = "PluginSearchDlg";
}

CPluginSearchDlg::CPluginSearchDlg(app::CApplicationDlg& logic, settings::CSettingsStore& settings,
                                   std::function<void(int)> open, QWidget* parent)
    : QDialog(parent), m_logic(logic), m_settings(settings), m_open(std::move(open)) {
    setObjectName(QStringLiteral("searchDialog152"));
    setWindowTitle(QStringLiteral("Search For Page"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    m_pEdit = new QLineEdit(this);
    m_pEdit->setObjectName(QStringLiteral("edit1042"));
    m_pSearch = new QPushButton(QStringLiteral("Search"), this);
    m_pSearch->setObjectName(QStringLiteral("search"));
    m_pSearch->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    row->addWidget(m_pEdit, 1);
    row->addWidget(m_pSearch);
    row->addWidget(cancel);
    layout->addLayout(row);
    auto* hint = new QLabel(QStringLiteral("Enter a search word  (eg: 'desktop') and click 'Search'. \n"
                                           "Double click on a found entry to open the page."), this);
    layout->addWidget(hint);
    m_pList = new QTreeWidget(this);
    m_pList->setObjectName(QStringLiteral("list1051"));
    m_pList->setRootIsDecorated(false);
    m_pList->setHeaderLabels({QStringLiteral("Caption"), QStringLiteral("Category")});
    m_pList->header()->resizeSection(0, 200);
    layout->addWidget(m_pList, 1);
    resize(480, 360);
    const std::string placement = m_settings.GetProfileString(kPlacementSection, "Placement");
    if (!placement.empty()) restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(placement)));

    m_pSearch->setEnabled(false);
    connect(m_pEdit, &QLineEdit::textChanged, this, [this](const QString& text) { m_pSearch->setEnabled(!text.isEmpty()); });
    connect(m_pSearch, &QPushButton::clicked, this, &CPluginSearchDlg::RunSearch);
    connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
    connect(m_pList, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item && m_open) m_open(item->data(0, Qt::UserRole).toInt());
    });
}

void CPluginSearchDlg::ShowDialog() {
    show();
    raise();
    activateWindow();
    m_pEdit->setFocus();
}

void CPluginSearchDlg::hideEvent(QHideEvent* event) {
    m_settings.WriteProfileString(kPlacementSection, "Placement", saveGeometry().toBase64().constData());
    QDialog::hideEvent(event);
}

void CPluginSearchDlg::RunSearch() {
    m_pList->clear();
    for (const app::SSearchRow& row : m_logic.Search(m_pEdit->text().toStdString())) {
        auto* item = new QTreeWidgetItem(m_pList, {QString::fromStdString(row.caption), QString::fromStdString(row.category)});
        item->setData(0, Qt::UserRole, row.pluginIndex);
    }
}

} // namespace cva::gui

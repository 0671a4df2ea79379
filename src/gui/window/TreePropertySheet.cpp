#include "gui/window/TreePropertySheet.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace cva::gui {

CTreePropertySheet::CTreePropertySheet(const QString& title, const QString& heading, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* root = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    m_pTree = new QTreeWidget(this);
    m_pTree->setObjectName(QStringLiteral("sheetTree"));
    m_pTree->setHeaderHidden(true);
    m_pTree->setRootIsDecorated(false);
    m_pTree->setMaximumWidth(140);
    body->addWidget(m_pTree);

    auto* right = new QVBoxLayout;
    auto* headingLabel = new QLabel(heading, this);
    headingLabel->setObjectName(QStringLiteral("sheetHeading"));
    QFont bold = headingLabel->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    headingLabel->setFont(bold);
    right->addWidget(headingLabel);
    m_pPages = new QStackedWidget(this);
    right->addWidget(m_pPages, 1);
    body->addLayout(right, 1);
    root->addLayout(body, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    root->addWidget(buttons);
    resize(600, 380);
    connect(m_pTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item) m_pPages->setCurrentIndex(m_pTree->indexOfTopLevelItem(item));
    });
}

void CTreePropertySheet::AddPage(const QString& name, QWidget* page) {
    m_pPages->addWidget(page);
    auto* item = new QTreeWidgetItem(m_pTree, {name});
    if (m_pTree->topLevelItemCount() == 1) m_pTree->setCurrentItem(item);
}

} // namespace cva::gui

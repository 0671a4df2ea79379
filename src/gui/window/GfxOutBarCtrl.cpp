#include "gui/window/GfxOutBarCtrl.h"

#include "core/app/PluginCatalogue.h"
#include "gui/window/TreeCtrlEx.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace cva::gui {

CGfxOutBarCtrl::CGfxOutBarCtrl(QWidget* parent) : QWidget(parent), m_pLayout(new QVBoxLayout(this)) {
    setObjectName(QStringLiteral("outbar4001"));
    m_pLayout->setContentsMargins(0, 0, 0, 0);
    m_pLayout->setSpacing(1);
}

void CGfxOutBarCtrl::Rebuild(const app::CPluginCatalogue& catalogue) {
    for (QPushButton* button : m_buttons) button->deleteLater();
    for (CTreeCtrlEx* tree : m_trees) tree->deleteLater();
    m_buttons.clear();
    m_trees.clear();
    while (m_pLayout->count() > 0) delete m_pLayout->takeAt(0);
    for (int i = 0; i < catalogue.GetFolderCount(); ++i) {
        auto* button = new QPushButton(QString::fromStdString(catalogue.Folder(i).name), this);
        button->setObjectName(QStringLiteral("folder%1").arg(i));
        button->setFocusPolicy(Qt::NoFocus);
        auto* tree = new CTreeCtrlEx(this);
        tree->SetTreeStyle(m_nTreeStyle);
        tree->setObjectName(QStringLiteral("tree%1").arg(i));
        tree->Fill(catalogue.Folder(i).tree);
        tree->hide();
        m_pLayout->addWidget(button);
        m_pLayout->addWidget(tree, 1);
        connect(button, &QPushButton::clicked, this, [this, i] {
            if (i == m_nSelected) return;
            SetSelectedFolder(i);
            emit FolderChanged(i);
        });
        m_buttons.push_back(button);
        m_trees.push_back(tree);
    }
    // With no folder at all the buttons would float in the middle.
    m_pLayout->addStretch(m_trees.empty() ? 1 : 0);
    m_nSelected = -1;
    SetSelectedFolder(catalogue.GetCurrentFolder());
}

void CGfxOutBarCtrl::SetSelectedFolder(int folder) {
    if (folder < 0 || folder >= FolderCount()) return;
    m_nSelected = folder;
    for (int i = 0; i < FolderCount(); ++i) m_trees[static_cast<size_t>(i)]->setVisible(i == folder);
}

CTreeCtrlEx* CGfxOutBarCtrl::Tree(int folder) const {
    if (folder < 0 || folder >= FolderCount()) return nullptr;
    return m_trees[static_cast<size_t>(folder)];
}

} // namespace cva::gui

#include "gui/pages/ButtonItemsPageView.h"

#include "core/pages/PropertyPageBase.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace cva::gui {

CButtonItemsPageView::CButtonItemsPageView(pages::CPropertyPageBase& page, QWidget* parent,
                                           std::span<const int> ids, const MakeButton& makeButton,
                                           Click click)
    : CPageViewBase(page, parent), m_click(std::move(click)) {
    auto* root = new QVBoxLayout(this);
    QGroupBox* frame = MakeGroupFrame();
    auto* items = new QVBoxLayout(frame);
    for (size_t i = 0; i < ids.size(); ++i) {
        QAbstractButton* button = makeButton(frame);
        button->setObjectName(QStringLiteral("item%1").arg(ids[i]));
        button->setHidden(true);
        const int index = static_cast<int>(i);
        connect(button, &QAbstractButton::clicked, this, [this, index] { OnClicked(index); });
        items->addWidget(button);
        m_buttons.push_back(button);
    }
    items->addStretch(1);
    root->addWidget(frame);
    auto* applyRow = new QHBoxLayout;
    applyRow->addStretch(1);
    applyRow->addWidget(MakePreviewButton());
    applyRow->addWidget(MakeApplyButton());
    root->addLayout(applyRow);
    root->addWidget(MakeDescriptionBox(), 1);
    Attach();
}

QAbstractButton* CButtonItemsPageView::ItemButton(int index) const {
    if (index < 0 || index >= static_cast<int>(m_buttons.size())) return nullptr;
    return m_buttons[static_cast<size_t>(index)];
}

void CButtonItemsPageView::ItemChanged(int index, pages::EItemChange) {
    if (ItemButton(index)) SyncItem(index, m_page.Snapshot());
}

void CButtonItemsPageView::SyncAll(const pages::SPageSnapshot& snapshot) {
    CPageViewBase::SyncAll(snapshot);
    for (int i = 0; i < static_cast<int>(m_buttons.size()); ++i) SyncItem(i, snapshot);
}

void CButtonItemsPageView::SyncItem(int index, const pages::SPageSnapshot& snapshot) {
    if (index >= static_cast<int>(snapshot.m_items.size())) return;
    const pages::SItemSnapshot& item = snapshot.m_items[static_cast<size_t>(index)];
    QAbstractButton* button = m_buttons[static_cast<size_t>(index)];
    QSignalBlocker block(button);
    button->setText(ToQt(item.m_caption));
    button->setHidden(!item.m_visible);
    button->setEnabled(item.m_enabled);
    button->setChecked(item.m_checked != 0);
}

void CButtonItemsPageView::OnClicked(int index) {
    m_click(index);
    // The button toggled itself already; the page may have refused the click, and a radio
    // click clears the other buttons.
    SyncAll(m_page.Snapshot());
}

} // namespace cva::gui

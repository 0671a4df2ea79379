#include "gui/pages/CheckPageView.h"

#include "core/pages/PropertyPageCheck.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace cva::gui {

CCheckPageView::CCheckPageView(pages::CPropertyPageCheck& page, QWidget* parent)
    : CPageViewBase(page, parent), m_check(page) {
    auto* root = new QVBoxLayout(this);
    QGroupBox* frame = MakeGroupFrame();
    auto* items = new QVBoxLayout(frame);
    for (int i = 0; i < kItems; ++i) {
        auto* box = new QCheckBox(frame);
        box->setObjectName(QStringLiteral("item%1").arg(kItemIds[static_cast<size_t>(i)]));
        box->setHidden(true);
        connect(box, &QCheckBox::clicked, this, [this, i] { OnClicked(i); });
        items->addWidget(box);
        m_boxes[static_cast<size_t>(i)] = box;
    }
    items->addStretch(1);
    root->addWidget(frame);
    auto* applyRow = new QHBoxLayout;
    applyRow->addStretch(1);
    applyRow->addWidget(MakeApplyButton());
    root->addLayout(applyRow);
    root->addWidget(MakeDescriptionBox(), 1);
    Attach();
}

QCheckBox* CCheckPageView::Box(int index) const {
    if (index < 0 || index >= kItems) return nullptr;
    return m_boxes[static_cast<size_t>(index)];
}

void CCheckPageView::ItemChanged(int index, pages::EItemChange) {
    if (Box(index)) SyncItem(index, m_page.Snapshot());
}

void CCheckPageView::SyncAll(const pages::SPageSnapshot& snapshot) {
    CPageViewBase::SyncAll(snapshot);
    for (int i = 0; i < kItems; ++i) SyncItem(i, snapshot);
}

void CCheckPageView::SyncItem(int index, const pages::SPageSnapshot& snapshot) {
    if (index >= static_cast<int>(snapshot.m_items.size())) return;
    const pages::SItemSnapshot& item = snapshot.m_items[static_cast<size_t>(index)];
    QCheckBox* box = m_boxes[static_cast<size_t>(index)];
    QSignalBlocker block(box);
    box->setText(ToQt(item.m_caption));
    box->setHidden(!item.m_visible);
    box->setEnabled(item.m_enabled);
    box->setChecked(item.m_checked != 0);
}

void CCheckPageView::OnClicked(int index) {
    m_check.ClickItem(index);
    // The box toggled itself already; the page may have refused the click.
    SyncItem(index, m_page.Snapshot());
}

} // namespace cva::gui

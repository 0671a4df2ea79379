#include "gui/pages/RadioPageView.h"

#include "core/pages/PropertyPageRadio.h"

#include <QRadioButton>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace cva::gui {

CRadioPageView::CRadioPageView(pages::CPropertyPageRadio& page, QWidget* parent)
    : CPageViewBase(page, parent), m_radio(page) {
    auto* root = new QVBoxLayout(this);
    QGroupBox* frame = MakeGroupFrame();
    auto* items = new QVBoxLayout(frame);
    for (int i = 0; i < kItems; ++i) {
        auto* button = new QRadioButton(frame);
        button->setObjectName(QStringLiteral("item%1").arg(kItemIds[static_cast<size_t>(i)]));
        button->setHidden(true);
        button->setAutoExclusive(false);
        connect(button, &QRadioButton::clicked, this, [this, i] { OnClicked(i); });
        items->addWidget(button);
        m_buttons[static_cast<size_t>(i)] = button;
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

QRadioButton* CRadioPageView::Button(int index) const {
    if (index < 0 || index >= kItems) return nullptr;
    return m_buttons[static_cast<size_t>(index)];
}

void CRadioPageView::ItemChanged(int index, pages::EItemChange) {
    if (Button(index)) SyncItem(index, m_page.Snapshot());
}

void CRadioPageView::SyncAll(const pages::SPageSnapshot& snapshot) {
    CPageViewBase::SyncAll(snapshot);
    for (int i = 0; i < kItems; ++i) SyncItem(i, snapshot);
}

void CRadioPageView::SyncItem(int index, const pages::SPageSnapshot& snapshot) {
    if (index >= static_cast<int>(snapshot.m_items.size())) return;
    const pages::SItemSnapshot& item = snapshot.m_items[static_cast<size_t>(index)];
    QRadioButton* button = m_buttons[static_cast<size_t>(index)];
    QSignalBlocker block(button);
    button->setText(ToQt(item.m_caption));
    button->setHidden(!item.m_visible);
    button->setEnabled(item.m_enabled);
    button->setChecked(item.m_checked != 0);
}

void CRadioPageView::OnClicked(int index) {
    m_radio.ClickItem(index);
    // The click may have cleared other buttons, or been refused.
    pages::SPageSnapshot snapshot = m_page.Snapshot();
    for (int i = 0; i < kItems; ++i) SyncItem(i, snapshot);
}

} // namespace cva::gui

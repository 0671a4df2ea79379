#include "gui/pages/EditPageView.h"

#include "core/pages/PropertyPageEdit.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace cva::gui {

CEditPageView::CEditPageView(pages::CPropertyPageEdit& page, QWidget* parent)
    : CPageViewBase(page, parent), m_edit(page) {
    // Typing and pasting both go through the validator; text the script sets does not.
    m_pDigits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);

    auto* root = new QVBoxLayout(this);
    QGroupBox* frame = MakeGroupFrame();
    auto* grid = new QGridLayout(frame);
    for (int i = 0; i < kItems; ++i) {
        const auto at = static_cast<size_t>(i);
        SRow& row = m_rows[at];
        row.m_label = new QLabel(frame);
        row.m_label->setObjectName(QStringLiteral("label%1").arg(kLabelIds[at]));
        row.m_field = new QLineEdit(frame);
        row.m_field->setObjectName(QStringLiteral("item%1").arg(kFieldIds[at]));
        row.m_label->setBuddy(row.m_field);
        row.m_browse = new QPushButton(QStringLiteral("Browse.."), frame);
        row.m_browse->setObjectName(QStringLiteral("browse%1").arg(kBrowseIds[at]));
        for (QWidget* widget : {static_cast<QWidget*>(row.m_label), static_cast<QWidget*>(row.m_field),
                                static_cast<QWidget*>(row.m_browse)})
            widget->setHidden(true);
        grid->addWidget(row.m_label, 2 * i, 0, 1, 2);
        grid->addWidget(row.m_field, 2 * i + 1, 0);
        grid->addWidget(row.m_browse, 2 * i + 1, 1);
        connect(row.m_field, &QLineEdit::textEdited, this,
                [this, i](const QString& text) { OnEdited(i, text); });
        connect(row.m_browse, &QPushButton::clicked, this, [this, i] { OnBrowse(i); });
        ApplyOnReturn(row.m_field);
    }
    grid->setRowStretch(2 * kItems, 1);
    root->addWidget(frame);
    auto* applyRow = new QHBoxLayout;
    applyRow->addStretch(1);
    applyRow->addWidget(MakePreviewButton());
    applyRow->addWidget(MakeApplyButton());
    root->addLayout(applyRow);
    root->addWidget(MakeDescriptionBox(), 1);
    Attach();
}

QLabel* CEditPageView::Label(int index) const {
    return At(m_rows, index, &SRow::m_label);
}
QLineEdit* CEditPageView::Field(int index) const {
    return At(m_rows, index, &SRow::m_field);
}
QPushButton* CEditPageView::BrowseButton(int index) const {
    return At(m_rows, index, &SRow::m_browse);
}

void CEditPageView::ItemChanged(int index, pages::EItemChange) {
    if (index >= 0 && index < kItems) SyncItem(index, m_page.Snapshot());
}

void CEditPageView::SyncAll(const pages::SPageSnapshot& snapshot) {
    CPageViewBase::SyncAll(snapshot);
    for (int i = 0; i < kItems; ++i) SyncItem(i, snapshot);
}

void CEditPageView::SyncItem(int index, const pages::SPageSnapshot& snapshot) {
    if (index >= static_cast<int>(snapshot.m_items.size())) return;
    const pages::SItemSnapshot& item = snapshot.m_items[static_cast<size_t>(index)];
    const SRow& row = m_rows[static_cast<size_t>(index)];
    row.m_label->setText(ToQt(item.m_label));
    row.m_label->setHidden(!item.m_visible);
    row.m_field->setHidden(!item.m_visible);
    row.m_field->setEnabled(item.m_enabled);
    row.m_field->setValidator(item.m_digitsOnly ? m_pDigits : nullptr);
    const QString value = ToQt(item.m_value);
    // Rewriting the text the user is typing would move the cursor to the end.
    if (row.m_field->text() != value) {
        QSignalBlocker block(row.m_field);
        row.m_field->setText(value);
    }
    row.m_browse->setHidden(!(item.m_visible && item.m_browseVisible));
    row.m_browse->setEnabled(item.m_enabled && item.m_browseEnabled);
}

void CEditPageView::OnEdited(int index, const QString& text) {
    m_edit.EditText(index, text.toStdString());
    // A refused edit puts the page's text back.
    SyncItem(index, m_page.Snapshot());
}

void CEditPageView::OnBrowse(int index) {
    m_edit.ClickBrowse(index);
    SyncItem(index, m_page.Snapshot());
}

} // namespace cva::gui

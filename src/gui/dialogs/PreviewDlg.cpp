#include "gui/dialogs/PreviewDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace cva::gui {

CPreviewDlg::CPreviewDlg(const std::vector<journal::SDiffChange>& changes, const std::string& error,
                         QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("previewDialog"));
    setWindowTitle(QStringLiteral("Preview"));
    auto* root = new QVBoxLayout(this);
    auto* intro = new QLabel(error.empty() ? QStringLiteral("Apply would make these changes; nothing has been changed.")
                                           : QStringLiteral("The script failed; Apply would stop here:"),
                             this);
    root->addWidget(intro);
    m_pError = new QLabel(QString::fromStdString(error), this);
    m_pError->setObjectName(QStringLiteral("previewError"));
    m_pError->setWordWrap(true);
    m_pError->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pError->setHidden(error.empty());
    root->addWidget(m_pError);
    m_pChanges = new QListWidget(this);
    m_pChanges->setObjectName(QStringLiteral("previewChanges"));
    if (changes.empty()) m_pChanges->addItem(QStringLiteral("No changes"));
    for (const journal::SDiffChange& change : changes)
        m_pChanges->addItem(QString::fromStdString(journal::DiffLine(change)));
    root->addWidget(m_pChanges, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    root->addWidget(buttons);
    resize(640, 320);
}

} // namespace cva::gui

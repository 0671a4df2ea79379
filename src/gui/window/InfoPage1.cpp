#include "gui/window/InfoPage1.h"

#include "core/app/UserPrompts.h"
#include "gui/controls/HTMLStatic.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace cva::gui {

CInfoPage1::CInfoPage1(const std::string& pluginPath, app::IUserPrompts& prompts, QWidget* parent)
    : QWidget(parent), m_info(pluginPath), m_prompts(prompts) {
    setObjectName(QStringLiteral("infoPage165"));
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);

    auto* fileGroup = new QGroupBox(QStringLiteral("File"), this);
    auto* fileLayout = new QVBoxLayout(fileGroup);
    m_pFile = new QPlainTextEdit(QString::fromStdString(m_info.Path()), fileGroup);
    m_pFile->setObjectName(QStringLiteral("file1042"));
    m_pFile->setReadOnly(true);
    m_pFile->setFixedHeight(m_pFile->fontMetrics().lineSpacing() * 2 + 12);
    fileLayout->addWidget(m_pFile);
    root->addWidget(fileGroup);

    auto* authorGroup = new QGroupBox(QStringLiteral("Author"), this);
    auto* authorLayout = new QVBoxLayout(authorGroup);
    m_pAuthor = new CHTMLStatic(authorGroup);
    m_pAuthor->setObjectName(QStringLiteral("author1070"));
    m_pAuthor->SetPrompts(&prompts);
    m_pAuthor->SetText(m_info.Author());
    authorLayout->addWidget(m_pAuthor);
    root->addWidget(authorGroup);

    // Everyone may mark plugins: the files are the user's own, and a file the user
    // keeps read-only is refused when the mark changes.
    auto* markGroup = new QGroupBox(this);
    auto* markLayout = new QVBoxLayout(markGroup);
    m_pPopular = new QCheckBox(QStringLiteral("Popular"), markGroup);
    m_pPopular->setObjectName(QStringLiteral("popular1040"));
    m_pPopular->setChecked(m_info.IsPopular());
    connect(m_pPopular, &QCheckBox::clicked, this, [this](bool checked) { OnPopularClicked(checked); });
    markLayout->addWidget(m_pPopular);
    markLayout->addStretch(1);
    root->addWidget(markGroup, 1);
}

void CInfoPage1::OnPopularClicked(bool checked) {
    std::string why;
    if (m_info.SetPopular(checked, why)) return;
    m_prompts.MessageBox(why, app::kAppTitle, app::MB_OK | app::MB_ICONEXCLAMATION);
    const QSignalBlocker blocker(m_pPopular);
    m_pPopular->setChecked(m_info.IsPopular());
}

} // namespace cva::gui

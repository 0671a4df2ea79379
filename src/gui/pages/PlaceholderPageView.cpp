#include "gui/pages/PlaceholderPageView.h"

#include <QLabel>
#include <QVBoxLayout>

namespace cva::gui {

CPlaceholderPageView::CPlaceholderPageView(pages::CPropertyPageBase& page, QWidget* parent)
    : CPageViewBase(page, parent) {
    auto* root = new QVBoxLayout(this);
    m_pText = new QLabel(this);
    m_pText->setObjectName(QStringLiteral("desc1153"));
    m_pText->setWordWrap(true);
    m_pText->setTextFormat(Qt::PlainText);
    m_pText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    root->addWidget(m_pText, 1);
    Attach();
}

void CPlaceholderPageView::DescriptionChanged(const std::string& text) { m_pText->setText(ToQt(text)); }

} // namespace cva::gui

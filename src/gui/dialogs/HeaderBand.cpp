#include "gui/dialogs/HeaderBand.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace cva::gui {

namespace {
constexpr int kIconSize = 32;
}

CHeaderBand::CHeaderBand(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("headerBand"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // The fill is light whatever the desktop's colours: the texts stay dark on it.
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    auto* row = new QHBoxLayout(this);
    m_pIcon = new QLabel(this);
    m_pIcon->setFixedSize(kIconSize, kIconSize);
    row->addWidget(m_pIcon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    m_pTitle = new QLabel(this);
    m_pTitle->setObjectName(QStringLiteral("headerTitle"));
    m_pTitle->setTextFormat(Qt::PlainText);
    QFont bold = m_pTitle->font();
    bold.setWeight(QFont::Bold);
    m_pTitle->setFont(bold);
    m_pDescription = new QLabel(this);
    m_pDescription->setObjectName(QStringLiteral("headerDescription"));
    m_pDescription->setTextFormat(Qt::PlainText);
    m_pDescription->setWordWrap(true);
    texts->addWidget(m_pTitle);
    texts->addWidget(m_pDescription, 1);
    row->addLayout(texts, 1);
}

void CHeaderBand::SetTitle(const QString& title) {
    m_pTitle->setText(title);
}
void CHeaderBand::SetDescription(const QString& description) {
    m_pDescription->setText(description);
    m_pDescription->setHidden(description.isEmpty());
}
void CHeaderBand::SetIcon(const QIcon& icon) {
    m_pIcon->setPixmap(icon.pixmap(kIconSize, kIconSize));
}
QString CHeaderBand::Title() const {
    return m_pTitle->text();
}
QString CHeaderBand::Description() const {
    return m_pDescription->text();
}

void CHeaderBand::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        QLinearGradient fill(contentsRect().topLeft(), contentsRect().topRight());
        fill.setColorAt(0, QColor(0xdc, 0xe2, 0xfc));
        fill.setColorAt(1, Qt::white);
        painter.fillRect(contentsRect(), fill);
    }
    QFrame::paintEvent(event);
}

} // namespace cva::gui

#include "gui/pages/PageViewBase.h"

#include "core/pages/PropertyPageBase.h"
#include "gui/pages/PageViewLink.h"

#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

namespace cva::gui {

CPageViewBase::CPageViewBase(pages::CPropertyPageBase& page, QWidget* parent)
    : QWidget(parent), m_page(page) {}

CPageViewBase::~CPageViewBase() {
    // The page may be gone already; only the link is sure to be there.
    if (m_pLink && m_pLink->Target() == this) m_pLink->SetTarget(nullptr);
}

QString CPageViewBase::ToQt(const std::string& text) { return QString::fromStdString(text); }

void CPageViewBase::Attach() {
    m_pLink = &CPageViewLink::For(m_page);
    m_pLink->SetTarget(this);
    m_page.SetView(m_pLink);
    SyncAll(m_page.Snapshot());
}

void CPageViewBase::SyncAll(const pages::SPageSnapshot& snapshot) {
    DescriptionChanged(snapshot.m_description);
    setEnabled(snapshot.m_windowEnabled);
    SetApplyButtonsEnabled(snapshot.m_applyEnabled);
}

void CPageViewBase::SetApplyButtonsEnabled(bool enabled) {
    if (m_pApply) m_pApply->setEnabled(enabled);
    if (m_pPreview) m_pPreview->setEnabled(enabled);
}

void CPageViewBase::DescriptionChanged(const std::string& text) {
    if (!m_pDescription) return;
    // Plugin files are Windows text: a carriage return would show as a stray mark.
    QString shown = ToQt(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_pDescription->setPlainText(shown);
}

void CPageViewBase::PageEnabledChanged(bool enabled) { setEnabled(enabled); }

void CPageViewBase::ApplyEnabledChanged(bool enabled) {
    SetApplyButtonsEnabled(enabled);
}

QGroupBox* CPageViewBase::MakeGroupFrame() {
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("group1069"));
    return frame;
}

QPushButton* CPageViewBase::MakeApplyButton() {
    m_pApply = new QPushButton(QStringLiteral("Apply"), this);
    m_pApply->setObjectName(QStringLiteral("apply1154"));
    QFont bold = m_pApply->font();
    bold.setBold(true);
    m_pApply->setFont(bold);
    m_pApply->setIcon(ApplyIcon());
    m_pApply->setIconSize(QSize(16, 16));
    m_pApply->setEnabled(false);
    m_pApply->setAutoDefault(true);
    connect(m_pApply, &QPushButton::clicked, this, [this] {
        m_page.ClickApply();
        // A declined confirmation changes nothing the page would report.
        SetApplyButtonsEnabled(m_page.IsApplyEnabled());
    });
    return m_pApply;
}

QPushButton* CPageViewBase::MakePreviewButton() {
    m_pPreview = new QPushButton(QStringLiteral("Preview"), this);
    m_pPreview->setObjectName(QStringLiteral("preview"));
    m_pPreview->setEnabled(false);
    connect(m_pPreview, &QPushButton::clicked, this, [this] {
        if (m_onPreview) m_onPreview();
        SetApplyButtonsEnabled(m_page.IsApplyEnabled());
    });
    return m_pPreview;
}

namespace {
constexpr const char* kApplyOnReturn = "applyOnReturn";
}

void CPageViewBase::ApplyOnReturn(QWidget* field) {
    field->setProperty(kApplyOnReturn, true);
    field->installEventFilter(this);
}

bool CPageViewBase::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && m_pApply && m_pApply->isEnabled() &&
        watched->property(kApplyOnReturn).toBool()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            m_pApply->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QPlainTextEdit* CPageViewBase::MakeDescriptionBox() {
    m_pDescription = new QPlainTextEdit(this);
    m_pDescription->setObjectName(QStringLiteral("desc1153"));
    m_pDescription->setReadOnly(true);
    m_pDescription->setFrameShape(QFrame::StyledPanel);
    QPalette palette = m_pDescription->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    m_pDescription->setPalette(palette);
    return m_pDescription;
}

QIcon CPageViewBase::ApplyIcon() {
    QIcon themed = QIcon::fromTheme(QStringLiteral("dialog-ok-apply"));
    if (!themed.isNull()) return themed;
    // No theme: a green tick on a transparent square.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0x2e, 0x8b, 0x3a), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    QPainterPath tick;
    tick.moveTo(3, 8.5);
    tick.lineTo(6.5, 12);
    tick.lineTo(13, 4);
    painter.drawPath(tick);
    painter.end();
    return QIcon(pixmap);
}

} // namespace cva::gui

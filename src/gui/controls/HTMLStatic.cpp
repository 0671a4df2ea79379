#include "gui/controls/HTMLStatic.h"

#include "core/app/UserPrompts.h"
#include "core/markup/HTMLLink.h"
#include "gui/app/QtPrompts.h"
#include "gui/controls/QtTextMeasurer.h"
#include "platform/target/ShellExecute.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include <algorithm>
#include <optional>
#include <utility>

namespace cva::gui {

namespace {

const QColor kLinkColor(0, 0, 255);

QString ToQt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CHTMLStatic::CHTMLStatic(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void CHTMLStatic::SetText(const std::string& markup) {
    m_strText = markup;
    Relayout();
}

void CHTMLStatic::SetFrame(const markup::SHTMLFrame& frame, const QIcon& icon) {
    m_frame = frame;
    m_icon = icon;
    Relayout();
}

void CHTMLStatic::SetDefaultAlignment(int align) {
    m_nDefaultAlign = align;
    Relayout();
}

void CHTMLStatic::SetUnderlineOnHover(bool on) {
    m_bUnderlineOnHover = on;
    update();
}

markup::SHTMLLayout CHTMLStatic::LayOut(int width) const {
    CQtTextMeasurer measurer;
    markup::CHTMLDrawer drawer(measurer);
    drawer.SetMargin(m_frame.m_nMargin);
    drawer.SetDefaultAlignment(m_nDefaultAlign);
    return drawer.Layout(m_strText, width);
}

void CHTMLStatic::Relayout() {
    m_layout = LayOut(width());
    // The runs under the pointer may be gone; the next move finds the link again.
    SetHotLink({});
    updateGeometry();
    update();
}

int CHTMLStatic::heightForWidth(int width) const {
    int height = LayOut(width).m_nHeight;
    if (m_frame.m_icon && !m_icon.isNull()) height = std::max(height, m_frame.m_icon->m_nBottom);
    return height;
}

void CHTMLStatic::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
}

// Qt paints widgets through a back buffer already, so the text does not flicker while
// it is drawn run by run.
void CHTMLStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor face = palette().color(QPalette::Window);
    painter.fillRect(rect(), face);
    painter.setPen(face);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_frame.m_icon && !m_icon.isNull()) {
        const markup::SHTMLRect& r = *m_frame.m_icon;
        // Scaled to the frame's size even when the icon has no picture that large.
        const QRect target(r.m_nLeft, r.m_nTop, r.m_nRight - r.m_nLeft, r.m_nBottom - r.m_nTop);
        painter.drawPixmap(target, m_icon.pixmap(target.size()));
    }
    for (const markup::CHTMLAtom& atom : m_layout.m_atoms) {
        const bool hot = !m_strHotLink.empty() && atom.m_strLink == m_strHotLink;
        QFont font = CQtTextMeasurer::ToQFont(atom.m_font);
        if (hot && m_bUnderlineOnHover) font.setUnderline(true);
        painter.setFont(font);
        painter.setPen(hot ? kLinkColor : QColor(static_cast<QRgb>(atom.m_font.m_nColor)));
        const int baseline = atom.m_rect.m_nTop + QFontMetrics(font).ascent();
        painter.drawText(QPoint(atom.m_rect.m_nLeft, baseline), ToQt(atom.m_strText));
    }
}

void CHTMLStatic::SetHotLink(const std::string& target) {
    if (target == m_strHotLink) return;
    for (const markup::CHTMLAtom& atom : m_layout.m_atoms) {
        const bool changes = atom.m_strLink == target || atom.m_strLink == m_strHotLink;
        if (atom.m_strLink.empty() || !changes) continue;
        const markup::SHTMLRect& r = atom.m_rect;
        update(QRect(r.m_nLeft, r.m_nTop, r.m_nRight - r.m_nLeft, r.m_nBottom - r.m_nTop));
    }
    m_strHotLink = target;
    if (target.empty()) unsetCursor();
    else setCursor(Qt::PointingHandCursor);
}

void CHTMLStatic::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    SetHotLink(m_layout.LinkAt(pos.x(), pos.y()));
    QWidget::mouseMoveEvent(event);
}

void CHTMLStatic::leaveEvent(QEvent* event) {
    SetHotLink({});
    QWidget::leaveEvent(event);
}

void CHTMLStatic::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) m_strPressedLink = m_layout.LinkAt(pos.x(), pos.y());
    QWidget::mousePressEvent(event);
}

// A link is followed when the button goes up on the link it went down on.
void CHTMLStatic::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const std::string pressed = std::exchange(m_strPressedLink, {});
    if (event->button() == Qt::LeftButton && !pressed.empty() &&
        m_layout.LinkAt(pos.x(), pos.y()) == pressed) {
        // Following the link may replace this text, or more; nothing here is used after it.
        FollowLink(pressed);
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CHTMLStatic::FollowLink(const std::string& target) {
    if (std::optional<int> number = markup::InternalLinkNumber(target)) {
        emit LinkMessage(*number);
        return;
    }
    const int code = m_opener ? m_opener(target) : OpenOnDesktop(target);
    if (code > 32) return;
    const std::string message = markup::HyperlinkErrorMessage(code);
    const unsigned int style = app::MB_OK | app::MB_ICONEXCLAMATION;
    if (m_pPrompts) {
        m_pPrompts->MessageBox(message, app::kAppTitle, style);
    } else {
        CQtPrompts prompts(this);
        prompts.MessageBox(message, app::kAppTitle, style);
    }
}

int CHTMLStatic::OpenOnDesktop(const std::string& target) {
    const QUrl url(ToQt(target), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                     scheme == QLatin1String("ftp") || scheme == QLatin1String("mailto");
    if (!url.isValid() || !web) return target::SE_ERR_ACCESSDENIED;
    return QDesktopServices::openUrl(url) ? target::SE_SUCCESS : target::SE_ERR_NOASSOC;
}

} // namespace cva::gui

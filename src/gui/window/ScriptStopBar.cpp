#include "gui/window/ScriptStopBar.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace cva::gui {

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

CScriptStopBar::CScriptStopBar(std::function<void()> stop, QWidget* parent)
    : QFrame(parent), m_stop(std::move(stop)) {
    setObjectName(QStringLiteral("scriptStopBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    m_pText = new QLabel(QStringLiteral("The script of this page is still running."), this);
    m_pStop = new QPushButton(QStringLiteral("Stop script"), this);
    m_pStop->setObjectName(QStringLiteral("stopScript"));
    layout->addWidget(m_pText, 1);
    layout->addWidget(m_pStop);
    connect(m_pStop, &QPushButton::clicked, this, [this] {
        m_pText->setText(QStringLiteral("Stopping the script..."));
        m_pStop->setEnabled(false);
        if (m_stop) m_stop();
    });
    hide();
}

void CScriptStopBar::Beat(std::chrono::milliseconds running) {
    if (running >= kShowAfter && isHidden()) {
        m_pText->setText(QStringLiteral("The script of this page is still running."));
        m_pStop->setEnabled(true);
        show();
    }
    // Painting, timers and the bar's button go on; other input is held back only for
    // as long as events are taken in here.
    qApp->installEventFilter(this);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    qApp->removeEventFilter(this);
}

void CScriptStopBar::End() {
    hide();
}

bool CScriptStopBar::eventFilter(QObject* watched, QEvent* event) {
    // Input reaches a window first and is passed on to its widgets from there; it is
    // held back at the widget it is meant for.
    auto* widget = watched->isWidgetType() ? static_cast<QWidget*>(watched) : nullptr;
    if (!widget) return QFrame::eventFilter(watched, event);
    if (IsUserInput(event->type())) return widget != this && !isAncestorOf(widget);
    // The close box waits too: the window must outlive the routine it runs.
    if (event->type() == QEvent::Close && event->spontaneous()) return true;
    return QFrame::eventFilter(watched, event);
}

} // namespace cva::gui

#include "gui/pages/HtmlPageView.h"

#include "core/pages/PageOwner.h"
#include "core/pages/PropertyPageHtml.h"
#include "gui/controls/HTMLStatic.h"

#include <QGroupBox>
#include <QPalette>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QVBoxLayout>

namespace cva::gui {

CHtmlPageView::CHtmlPageView(pages::CPropertyPageHtml& page, QWidget* parent) : CPageViewBase(page, parent) {
    auto* root = new QVBoxLayout(this);
    QGroupBox* frame = MakeGroupFrame();
    auto* inFrame = new QVBoxLayout(frame);
    // A script may write more than the frame holds; the rest is a scroll away.
    auto* scroll = new QScrollArea(frame);
    scroll->setFrameShape(QFrame::StyledPanel);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The script's page reads as a document, as the description below it does.
    auto* paper = new QWidget(scroll);
    QPalette white = paper->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    paper->setPalette(white);
    paper->setAutoFillBackground(true);
    auto* onPaper = new QVBoxLayout(paper);
    onPaper->setContentsMargins(6, 4, 6, 4);
    m_pHtml = new CHTMLStatic(paper);
    m_pHtml->setObjectName(QStringLiteral("html1072"));
    if (page.Owner()) m_pHtml->SetPrompts(page.Owner()->Prompts());
    onPaper->addWidget(m_pHtml);
    scroll->setWidget(paper);
    inFrame->addWidget(scroll);
    root->addWidget(frame, 2);
    root->addWidget(MakeDescriptionBox(), 1);
    connect(m_pHtml, &CHTMLStatic::LinkMessage, this, [&page](int number) { page.LinkClicked(number); });
    Attach();
}

void CHtmlPageView::SyncAll(const pages::SPageSnapshot& snapshot) {
    CPageViewBase::SyncAll(snapshot);
    HtmlChanged(snapshot.m_html);
}

void CHtmlPageView::HtmlChanged(const std::string& text) { m_pHtml->SetText(text); }

} // namespace cva::gui

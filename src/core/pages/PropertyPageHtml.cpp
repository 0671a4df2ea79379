#include "core/pages/PropertyPageHtml.h"

#include "core/markup/HTMLLink.h"

namespace cva::pages {

const char* const CPropertyPageHtml::kIntroduction =
    "<b>Corvanta</b> is a tool to tweak settings that are hidden in Windows.<br>The "
    "\"tweaks\" in CVA can be used to customize Windows and other applications. "
    "<br><font color = \"black\">Select a folder from the tree on the left, to see the "
    "tweak-pages in it.</font>";

CPropertyPageHtml::CPropertyPageHtml() : m_strHtml(kIntroduction) {}

void CPropertyPageHtml::SetItemText(int, const std::string& text) {
    m_strHtml = text;
    if (m_pView) m_pView->HtmlChanged(m_strHtml);
}

std::string CPropertyPageHtml::GetItemText(int) { return m_strHtml; }

std::optional<int> CPropertyPageHtml::LinkNumber(const std::string& target) {
    return markup::InternalLinkNumber(target);
}

bool CPropertyPageHtml::FollowLink(const std::string& target) {
    std::optional<int> number = LinkNumber(target);
    if (!number) return false;
    LinkClicked(*number);
    return true;
}

// Links apply without the confirmation question: the plugin's author chose to put the
// action behind a link. A page that takes no input ignores them, as it does clicks.
void CPropertyPageHtml::LinkClicked(int number) {
    if (!AcceptsInput()) return;
    CallApply(0, number);
    RecordApplied();
}

SPageSnapshot CPropertyPageHtml::Snapshot() const {
    SPageSnapshot snapshot;
    FillSnapshotBase(snapshot, "html");
    snapshot.m_html = m_strHtml;
    return snapshot;
}

} // namespace cva::pages

#include "core/pages/PropertyPageHtml.h"

#include "platform/text/Unicode.h"

#include <cctype>
#include <climits>

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
    if (target.size() < 4 || !text::EqualsNoCaseUtf8(target.substr(0, 4), "cva:")) return std::nullopt;
    // Decimal digits after the prefix with an optional sign; none gives 0, and a number
    // too long for 32 bits stops at the nearer limit instead of wrapping around.
    size_t pos = 4;
    bool negative = false;
    if (pos < target.size() && (target[pos] == '-' || target[pos] == '+')) {
        negative = target[pos] == '-';
        ++pos;
    }
    long long value = 0;
    for (; pos < target.size() && std::isdigit(static_cast<unsigned char>(target[pos])); ++pos) {
        value = value * 10 + (target[pos] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

bool CPropertyPageHtml::FollowLink(const std::string& target) {
    std::optional<int> number = LinkNumber(target);
    if (!number) return false;
    if (AcceptsInput()) LinkClicked(*number);
    return true;
}

// Links apply without the confirmation question: the plugin's author chose to put the
// action behind a link.
void CPropertyPageHtml::LinkClicked(int number) {
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

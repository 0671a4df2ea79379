#include "gui/pages/PageViewLink.h"

#include "core/pages/PropertyPageBase.h"

#include <map>
#include <memory>

namespace cva::gui {

CPageViewLink& CPageViewLink::For(pages::CPropertyPageBase& page) {
    // A page made later at the address of a destroyed one takes over its link, which by
    // then has no target or the target of a view of that destroyed page, replaced below.
    static std::map<const pages::CPropertyPageBase*, std::unique_ptr<CPageViewLink>> links;
    std::unique_ptr<CPageViewLink>& link = links[&page];
    if (!link) link = std::make_unique<CPageViewLink>();
    return *link;
}

void CPageViewLink::ItemChanged(int index, pages::EItemChange change) {
    if (m_pTarget) m_pTarget->ItemChanged(index, change);
}
void CPageViewLink::RowsChanged() {
    if (m_pTarget) m_pTarget->RowsChanged();
}
void CPageViewLink::RowChanged(int row) {
    if (m_pTarget) m_pTarget->RowChanged(row);
}
void CPageViewLink::ColumnsChanged(int columnCount) {
    if (m_pTarget) m_pTarget->ColumnsChanged(columnCount);
}
void CPageViewLink::RowSelectionChanged(int row) {
    if (m_pTarget) m_pTarget->RowSelectionChanged(row);
}
void CPageViewLink::CheckBoxesChanged(bool on) {
    if (m_pTarget) m_pTarget->CheckBoxesChanged(on);
}
void CPageViewLink::ButtonChanged(int button) {
    if (m_pTarget) m_pTarget->ButtonChanged(button);
}
void CPageViewLink::ApplyEnabledChanged(bool enabled) {
    if (m_pTarget) m_pTarget->ApplyEnabledChanged(enabled);
}
void CPageViewLink::ControlsEnabledChanged(bool enabled) {
    if (m_pTarget) m_pTarget->ControlsEnabledChanged(enabled);
}
void CPageViewLink::PageEnabledChanged(bool enabled) {
    if (m_pTarget) m_pTarget->PageEnabledChanged(enabled);
}
void CPageViewLink::PageVisibleChanged(bool visible) {
    if (m_pTarget) m_pTarget->PageVisibleChanged(visible);
}
void CPageViewLink::DescriptionChanged(const std::string& text) {
    if (m_pTarget) m_pTarget->DescriptionChanged(text);
}
void CPageViewLink::HtmlChanged(const std::string& text) {
    if (m_pTarget) m_pTarget->HtmlChanged(text);
}
void CPageViewLink::HeaderChanged(const std::string& text) {
    if (m_pTarget) m_pTarget->HeaderChanged(text);
}
void CPageViewLink::StartTabChanged(int tab) {
    if (m_pTarget) m_pTarget->StartTabChanged(tab);
}

} // namespace cva::gui

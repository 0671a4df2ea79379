#include "core/pages/PropertyPageBase.h"

namespace cva::pages {

void CPropertyPageBase::SetItemText(int, const std::string&) {}
std::string CPropertyPageBase::GetItemText(int) { return {}; }
void CPropertyPageBase::CheckItem(int, int) {}
int CPropertyPageBase::IsItemChecked(int) { return 0; }
int CPropertyPageBase::GetItemCount() { return m_nItemCount; }
void CPropertyPageBase::EnableItem(int, int) {}
void CPropertyPageBase::SetItemTextEx(int, int, const std::string&) {}
// The description and the item labels stay readable on a disabled page; kinds whose
// views hold more than the state here extend this.
void CPropertyPageBase::EnableControls(bool enable) { m_bControlsEnabled = enable; }
void CPropertyPageBase::SetItemData(int, int) {}
int CPropertyPageBase::GetItemData(int) { return 0; }
void CPropertyPageBase::SetCurSel(int, int) {}
int CPropertyPageBase::GetCurSel(int) { return 0; }
std::string CPropertyPageBase::GetItemTextEx(int, int) { return {}; }

} // namespace cva::pages

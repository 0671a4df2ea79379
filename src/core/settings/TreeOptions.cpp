#include "core/settings/TreeOptions.h"

#include "core/settings/OptionsPages.h"
#include "platform/settings/SettingsStore.h"

namespace cva::options {

int CTreeOptions::StoredStyle(settings::CSettingsStore& settings) {
    return static_cast<int>(settings.GetProfileInt(kSettingsLower, "TreeStyle", kTreeStyleDefault));
}

void CTreeOptions::Open() {
    const int style = StoredStyle(m_settings);
    m_bSingleExpand = (style & kTreeSingleExpand) != 0;
    m_bSingleClick = (style & kTreeSingleClick) != 0;
}

int CTreeOptions::Style() const {
    return (m_bSingleExpand ? kTreeSingleExpand : 0) | (m_bSingleClick ? kTreeSingleClick : 0);
}

void CTreeOptions::Write() { m_settings.WriteProfileInt(kSettingsLower, "TreeStyle", Style()); }

} // namespace cva::options

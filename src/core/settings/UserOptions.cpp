#include "core/settings/UserOptions.h"

#include "core/settings/OptionsPages.h"
#include "platform/settings/SettingsStore.h"

namespace cva::options {

void CUserOptions::Open() { m_nUserMode = m_settings.GetProfileInt(kSettings, "USERMODE", 0) == 1 ? 1 : 0; }

void CUserOptions::Write() {
    if (m_nUserMode == 0 || m_nUserMode == 1) m_settings.WriteProfileInt(kSettings, "USERMODE", m_nUserMode);
}

} // namespace cva::options

#include "core/settings/MiscOptions.h"

#include "core/app/UserPrompts.h"
#include "core/settings/OptionsPages.h"
#include "platform/settings/SettingsStore.h"

namespace cva::options {

void CMiscOptions::Open() {
    const unsigned int option5 = m_settings.GetProfileInt(kSettingsLower, "Option5", kOption5Default);
    m_bWarnings = (option5 & kOption5Warnings) != 0;
    m_bConfirmApply = (option5 & kOption5Confirm) != 0;
    m_nRecycle = m_settings.GetProfileInt(kSettings, "DELTO", 1) == 1 ? 1 : 0;
}

bool CMiscOptions::SetConfirmation(int box, bool checked, app::IUserPrompts& prompts) {
    (box == 0 ? m_bWarnings : m_bConfirmApply) = checked;
    if (m_bWarnings && m_bConfirmApply) return true;
    if (m_settings.GetProfileInt(kSettings, "USERMODE", 0) == 1) return true;
    m_bWarnings = m_bConfirmApply = true;
    prompts.MessageBox("This can be changed by experts only.", app::kAppTitle, app::MB_OK | app::MB_ICONINFORMATION);
    return false;
}

int CMiscOptions::Option5() const {
    return (m_bWarnings ? kOption5Warnings : 0) | (m_bConfirmApply ? kOption5Confirm : 0);
}

void CMiscOptions::Write() {
    m_settings.WriteProfileInt(kSettingsLower, "Option5", Option5());
    if (m_nRecycle == 0 || m_nRecycle == 1) m_settings.WriteProfileInt(kSettings, "DELTO", m_nRecycle);
}

} // namespace cva::options

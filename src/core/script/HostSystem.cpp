#include "core/app/UserPrompts.h"
#include "core/pages/PropertyPageBase.h"
#include "core/script/HostProxy.h"
#include "platform/target/TargetSystem.h"

namespace cva::script {

namespace {

pages::CPropertyPageBase* PageOf(IHostOwner* owner) {
    return owner ? owner->CurrentPage() : nullptr;
}

// Values of GetWinVer, indexed by the target's version code. Scripts compare them with
// the prelude's constants, which number the versions differently from the codes.
constexpr int32_t kScriptVersions[] = {
    0, // 0: unknown
    0, // 1: never produced
    1, // 2: Windows 95
    3, // 3: Windows 98
    5, // 4: Windows ME
    2, // 5: NT 4
    4, // 6: Windows 2000
    6, // 7: XP
    7, // 8: Server 2003
    8, // 9: Vista and later
};

} // namespace

// --- Page items -----------------------------------------------------------------------

void CHost_Proxy::SetItemText(int16_t index, const std::string& strText) {
    if (auto* page = PageOf(m_pMainWindow)) page->SetItemText(index, strText);
}

std::string CHost_Proxy::GetItemText(int16_t index) {
    auto* page = PageOf(m_pMainWindow);
    return page ? page->GetItemText(index) : std::string();
}

void CHost_Proxy::CheckItem(int16_t index, bool bCheck) {
    if (auto* page = PageOf(m_pMainWindow)) page->CheckItem(index, bCheck ? 1 : 0);
}

bool CHost_Proxy::IsItemChecked(int16_t index) {
    auto* page = PageOf(m_pMainWindow);
    return page ? page->IsItemChecked(index) != 0 : true;
}

int16_t CHost_Proxy::GetItemCount() {
    auto* page = PageOf(m_pMainWindow);
    return page ? static_cast<int16_t>(page->GetItemCount()) : int16_t{0};
}

void CHost_Proxy::EnableItem(int16_t index, bool bEnable) {
    if (auto* page = PageOf(m_pMainWindow)) page->EnableItem(index, bEnable ? 1 : 0);
}

void CHost_Proxy::SetItemTextEx(int16_t index, int16_t subindex, const std::string& strText) {
    if (auto* page = PageOf(m_pMainWindow)) page->SetItemTextEx(index, subindex, strText);
}

std::string CHost_Proxy::GetItemTextEx(int16_t index, int16_t subindex) {
    auto* page = PageOf(m_pMainWindow);
    return page ? page->GetItemTextEx(index, subindex) : std::string();
}

void CHost_Proxy::SetItemData(int16_t index, int32_t data) {
    if (auto* page = PageOf(m_pMainWindow)) page->SetItemData(index, data);
}

int32_t CHost_Proxy::GetItemData(int16_t index) {
    auto* page = PageOf(m_pMainWindow);
    return page ? page->GetItemData(index) : 0;
}

void CHost_Proxy::SetCurSel(int16_t index, int16_t value) {
    if (auto* page = PageOf(m_pMainWindow)) page->SetCurSel(index, value);
}

int16_t CHost_Proxy::GetCurSel(int16_t index) {
    auto* page = PageOf(m_pMainWindow);
    return page ? static_cast<int16_t>(page->GetCurSel(index)) : int16_t{-1};
}

void CHost_Proxy::DisableWindow() {
    if (auto* page = PageOf(m_pMainWindow)) page->DisableWindow();
}

// --- Dialogs --------------------------------------------------------------------------

int16_t CHost_Proxy::Msg(const std::string& strMessage, int16_t type) {
    if (!m_pMainWindow) return 0;
    // The style travels as a 16-bit value; its bits are the message-box style.
    const unsigned int style = static_cast<uint16_t>(type);
    return static_cast<int16_t>(
        m_pMainWindow->Prompts().MessageBox(strMessage, app::kAppTitle, style));
}

std::string CHost_Proxy::InputBox1(const std::string& sCaption, const std::string& sDesc,
                                   const std::string& sLabel, const std::string& sDefault,
                                   int16_t /*nOpt*/) {
    if (!m_pMainWindow) return {};
    app::SInputBoxRequest request;
    request.m_caption = sCaption;
    request.m_description = sDesc;
    request.m_label1 = sLabel;
    request.m_text1 = sDefault;
    request.m_allowEmpty1 = false;
    std::optional<app::SInputBoxResult> answer = m_pMainWindow->Prompts().InputBox(request);
    return answer ? answer->m_text1 : std::string();
}

// --- Programs and objects -------------------------------------------------------------

int32_t CHost_Proxy::Exe(const std::string& /*strCommand*/, const std::string& strArg1,
                         const std::string& strArg2) {
    // Every verb opens: the target's shell knows no other, and scripts pass "open".
    m_target.ShellExecute(strArg1, strArg2);
    return 0;
}

vbs::ObjectRef CHost_Proxy::CreateActiveX(const std::string& /*szProgID*/) {
    // Only out-of-process servers may be created here, and no target has any.
    return {};
}

// --- Session --------------------------------------------------------------------------

void CHost_Proxy::QuitApp() {
    if (m_pMainWindow) m_pMainWindow->PostQuit();
}

void CHost_Proxy::Restart() {
    if (m_pMainWindow) m_pMainWindow->AddRestartRequest();
}

void CHost_Proxy::Logoff() {
    if (m_pMainWindow) m_pMainWindow->AddLogoffRequest();
}

void CHost_Proxy::NotifySettingChange(int32_t /*nOpt*/) {
    // No window of the target listens; what programs started later see is the
    // environment, which the script may just have changed in the registry.
    m_target.RefreshEnvironment();
}

int32_t CHost_Proxy::GetWinVer() {
    if (m_nWindowsVersion < 0 || m_nWindowsVersion >= static_cast<int>(std::size(kScriptVersions)))
        return 0;
    return kScriptVersions[m_nWindowsVersion];
}

bool CHost_Proxy::IsPlatformNT() {
    return m_bPlatformNT;
}

} // namespace cva::script

#include "core/script/HostProxy.h"

namespace cva::script {

vbs::ObjectRef CHost_Proxy::CreateActiveX(const std::string& /*szProgID*/) {
    return {};
}

void CHost_Proxy::QuitApp() {
}

int16_t CHost_Proxy::Msg(const std::string& /*strMessage*/, int16_t /*type*/) {
    return 0;
}

void CHost_Proxy::SetItemText(int16_t /*index*/, const std::string& /*strText*/) {
}

std::string CHost_Proxy::GetItemText(int16_t /*index*/) {
    return {};
}

void CHost_Proxy::CheckItem(int16_t /*index*/, bool /*bCheck*/) {
}

bool CHost_Proxy::IsItemChecked(int16_t /*index*/) {
    return false;
}

int16_t CHost_Proxy::GetItemCount() {
    return 0;
}

void CHost_Proxy::DisableWindow() {
}

int32_t CHost_Proxy::GetWinVer() {
    return 0;
}

void CHost_Proxy::NotifySettingChange(int32_t /*nOpt*/) {
}

void CHost_Proxy::Logoff() {
}

void CHost_Proxy::Restart() {
}

bool CHost_Proxy::IsPlatformNT() {
    return false;
}

void CHost_Proxy::EnableItem(int16_t /*index*/, bool /*bEnable*/) {
}

void CHost_Proxy::SetItemTextEx(int16_t /*index*/, int16_t /*subindex*/, const std::string& /*strText*/) {
}

void CHost_Proxy::SetItemData(int16_t /*index*/, int32_t /*data*/) {
}

int32_t CHost_Proxy::GetItemData(int16_t /*index*/) {
    return 0;
}

int32_t CHost_Proxy::Exe(const std::string& /*strCommand*/, const std::string& /*strArg1*/, const std::string& /*strArg2*/) {
    return 0;
}

int16_t CHost_Proxy::GetCurSel(int16_t /*index*/) {
    return 0;
}

void CHost_Proxy::SetCurSel(int16_t /*index*/, int16_t /*value*/) {
}

std::string CHost_Proxy::GetItemTextEx(int16_t /*index*/, int16_t /*subindex*/) {
    return {};
}

std::string CHost_Proxy::InputBox1(const std::string& /*sCaption*/, const std::string& /*sDesc*/, const std::string& /*sLabel*/, const std::string& /*sDefault*/, int16_t /*nOpt*/) {
    return {};
}

} // namespace cva::script

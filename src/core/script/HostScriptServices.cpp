// The services the engine's own objects (WScript.Shell, FileSystemObject, MsgBox) get
// from the host object: the target, with the owner's prompts and user hive.
#include "core/script/HostProxy.h"

namespace cva::script {

vbs::IScriptServices* CHost_Proxy::ScriptServices() {
    if (!m_scriptServices) {
        m_scriptServices = std::make_unique<CTargetScriptServices>(m_target);
        m_scriptServices->SetPromptsSource([this]() -> app::IUserPrompts* {
            return m_pMainWindow ? &m_pMainWindow->Prompts() : nullptr;
        });
        m_scriptServices->SetCurrentUserSource(
            [this]() -> reg::HKEY { return m_pMainWindow ? m_pMainWindow->UserHive() : nullptr; });
    }
    return m_scriptServices.get();
}

} // namespace cva::script

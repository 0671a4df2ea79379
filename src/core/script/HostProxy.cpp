#include "core/script/HostProxy.h"

#include "core/app/UserPrompts.h"
#include "platform/target/TargetSystem.h"

namespace cva::script {

CHost_Proxy::CHost_Proxy(target::CTargetSystem& target, bool recycleDeletes)
    : m_nWindowsVersion(target.WindowsVersionCode()),
      m_bRecycleDeletes(recycleDeletes),
      m_bPlatformNT(target.Version().m_platformId == 2),
      m_target(target) {}

CHost_Proxy::~CHost_Proxy() {
    ReleaseScriptHandles();
    CloseEngine();
    // Class_Terminate code runs while the engine closes and may open handles again.
    ReleaseScriptHandles();
    m_namedItems.clear();
}

void CHost_Proxy::ReleaseScriptHandles() {
    m_finds.clear();
    for (reg::HKEY key : m_keys) {
        if (key) m_target.Registry().RegCloseKey(key);
    }
    m_keys.clear();
    m_textFiles.clear();
}

void CHost_Proxy::ShowScriptError(const std::string& message) {
    m_strLastScriptError = message;
    if (!m_pMainWindow) return;
    m_pMainWindow->Prompts().MessageBox(message, app::kAppTitle, app::MB_OK | app::MB_SETFOREGROUND);
}

void CHost_Proxy::BeforeScriptCall() {
    // What a routine reports afterwards is its own doing, not a probe made before it.
    m_strSaveFailure.clear();
    m_target.Registry().TakeRefusedChanges();
    // A routine reads the registry as it is now, with what other programs wrote since.
    m_target.Refresh();
}

void CHost_Proxy::AfterScriptCall() {
    // Every routine's registry changes reach the disk before control returns to the
    // user, so nothing is lost if the program is killed later.
    if (m_target.SaveChanges(&m_strSaveFailure) || m_bSaveFailureShown || !m_pMainWindow) return;
    m_bSaveFailureShown = true;
    m_pMainWindow->Prompts().MessageBox("The changes to the registry could not be saved.\n" + m_strSaveFailure,
                                        app::kAppTitle, app::MB_OK | app::MB_ICONERROR);
}

} // namespace cva::script

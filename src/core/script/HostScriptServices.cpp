// The services the engine's own objects (WScript.Shell, FileSystemObject, MsgBox) get
// from the host object: the target, with the owner's prompts and user hive.
#include "core/script/HostProxy.h"

#include "core/journal/ChangeRecorder.h"

#include <filesystem>

namespace cva::script {

vbs::IScriptServices* CHost_Proxy::ScriptServices() {
    if (!m_scriptServices) {
        m_scriptServices = std::make_unique<CTargetScriptServices>(m_target);
        m_scriptServices->SetPromptsSource([this]() -> app::IUserPrompts* {
            return m_pMainWindow ? &m_pMainWindow->Prompts() : nullptr;
        });
        m_scriptServices->SetCurrentUserSource(
            [this]() -> reg::HKEY { return m_pMainWindow ? m_pMainWindow->UserHive() : nullptr; });
        m_scriptServices->SetFileChangeHandler([this](const std::string& path, const std::string& movedTo) {
            return FileSystemObjectChanging(path, movedTo);
        });
    }
    return m_scriptServices.get();
}

vbs::Status CHost_Proxy::FileSystemObjectChanging(const std::string& hostPath, const std::string& movedTo) {
    // A preview holds the host functions' writes aside; the FileSystemObject writes to the
    // disk itself, so there it may not write at all.
    if (m_pOverlay)
        return vbs::Status(vbs::kErrPermissionDenied,
                           u"Permission denied (a preview does not write files through the FileSystemObject)");
    if (!m_pChanges) return vbs::Status::Ok();
    std::error_code ec;
    if (!movedTo.empty())
        m_pChanges->FileMoving(hostPath, movedTo);
    else if (std::filesystem::is_directory(hostPath, ec) && !std::filesystem::is_empty(hostPath, ec))
        m_pChanges->TreeDeleting(hostPath);
    else
        m_pChanges->FileChanging(hostPath);
    return vbs::Status::Ok();
}

} // namespace cva::script

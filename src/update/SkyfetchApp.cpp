#include "update/SkyfetchApp.h"

#include "core/app/Maker.h"
#include "platform/settings/SettingsStore.h"
#include "update/HttpDownloadDlg.h"
#include "update/VersionFile.h"

#include <algorithm>
#include <cstring>

namespace cva::update {

CSkyfetchApp& CSkyfetchApp::Instance() {
    static CSkyfetchApp app;
    return app;
}

std::string CSkyfetchApp::UpdateServer() {
    // The store takes in what the program wrote a moment ago, so a second one here reads
    // the same settings without any state shared with the caller.
    settings::CSettingsStore store;
    std::string server = store.GetProfileString("Settings", "UpdateServer");
    return server.empty() ? kDefaultUpdateServer : server;
}

bool CSkyfetchApp::CheckForUpdate(QWidget* parent, std::string version, std::string product, std::string shortName) {
    m_strVersion = std::move(version);
    m_strProduct = std::move(product);
    m_strShortName = std::move(shortName);
    SUpdateRequest request;
    request.m_strVersion = m_strVersion;
    request.m_strProduct = m_strProduct;
    request.m_strShortName = m_strShortName;
    request.m_strVersionFileUrl = VersionFileUrl(UpdateServer(), m_strShortName);
    request.m_strWebsite = app::kMakerWebsite;
    // A new check starts from nothing; the path of an earlier download stays named until
    // this one has succeeded.
    const std::string previousPath = m_checker.m_strSetupPath;
    const std::string previousFolder = m_checker.m_strFolder;
    m_checker.m_strFolder.clear();
    CHttpDownloadDlg dialog(m_checker, request, parent);
    const bool ok = dialog.exec() == QDialog::Accepted;
    if (!ok) {
        m_checker.m_strSetupPath = previousPath;
        m_checker.m_strFolder = previousFolder;
    } else if (previousFolder != m_checker.m_strFolder) {
        // Only the newest download is run at exit; an older one would only be litter.
        RemoveFolder(previousFolder);
    }
    return ok;
}

int CSkyfetchApp::GetSetupFilePath(char* buffer, int length) const {
    if (!buffer || length <= 0) return 1;
    const std::string& path = m_checker.m_strSetupPath;
    const size_t count = std::min(path.size() + 1, static_cast<size_t>(length));
    std::memcpy(buffer, path.c_str(), count);
    return 1;
}

} // namespace cva::update

#include "core/settings/LoggingOptions.h"

#include "core/log/ActionLogger.h"
#include "core/settings/OptionsPages.h"
#include "platform/settings/SettingsStore.h"
#include "platform/target/ShellExecute.h"
#include "platform/text/Unicode.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace cva::options {

void CLoggingOptions::Open() {
    namespace fs = std::filesystem;
    m_strLogFolder = logging::LogFolderFor(StoredFolder(m_settings, "ProfileDir"));
    m_logs.clear();
    std::error_code ec;
    for (fs::directory_iterator it(m_strLogFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() < 4 || !text::EqualsNoCaseUtf8(name.substr(name.size() - 4), ".log")) continue;
        std::error_code typeError;
        if (it->is_directory(typeError)) continue;
        m_logs.push_back(name.substr(0, name.size() - 4));
    }
    std::sort(m_logs.begin(), m_logs.end());
    m_strStoredViewer = m_strViewer = m_settings.GetProfileString(kSettings, "LogViewer");
    m_nCreateLog = m_settings.GetProfileInt(kSettings, "CreateLog", 1) == 1 ? 1 : 0;
    m_bClearOldLogs = m_settings.GetProfileInt(kSettings, "ClearOldLogs", 7) != 0;
}

void CLoggingOptions::Write() {
    if (m_nCreateLog == 0 || m_nCreateLog == 1) m_settings.WriteProfileInt(kSettings, "CreateLog", m_nCreateLog);
    m_settings.WriteProfileInt(kSettings, "ClearOldLogs", m_bClearOldLogs ? 7 : 0);
    if (!m_strViewer.empty() && m_strViewer != m_strStoredViewer)
        m_settings.WriteProfileString(kSettings, "LogViewer", m_strViewer.c_str());
}

std::string CLoggingOptions::LogPath(int index) const {
    if (index < 0 || index >= static_cast<int>(m_logs.size())) return {};
    return m_strLogFolder + "/" + m_logs[static_cast<size_t>(index)] + ".log";
}

int CLoggingOptions::View(int index) const {
    const std::string path = LogPath(index);
    if (path.empty()) return 0;
    // The logs are the program's own files on the host, so the host's viewer opens them.
    return target::CShellExecute().Execute({m_strViewer.empty() ? m_strStoredViewer : m_strViewer,
                                            "\"" + path + "\"", {}});
}

bool CLoggingOptions::Delete(int index, logging::CActionLogger* logger) {
    const std::string path = LogPath(index);
    if (path.empty()) return false;
    if (logger) logger->Close();
    if (std::remove(path.c_str()) != 0) return false;
    m_logs.erase(m_logs.begin() + index);
    return true;
}

} // namespace cva::options

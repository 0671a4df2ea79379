#pragma once

#include <string>
#include <vector>

namespace cva::logging {
class CActionLogger;
}
namespace cva::settings {
class CSettingsStore;
}

namespace cva::options {

// The "Logging" page: log on or off, the log files of the profile folder with "View" and
// "Delete", the automatic clean-up and the viewer program.
class CLoggingOptions {
public:
    explicit CLoggingOptions(settings::CSettingsStore& settings) : m_settings(settings) {}

    void Open();
    // Writes "CreateLog" (when a choice is made), "ClearOldLogs", and "LogViewer" when the
    // field was edited to something not empty.
    void Write();

    // The "ProfileDir" logs folder, and the titles of its ".log" files (any case), sorted.
    const std::string& LogFolder() const { return m_strLogFolder; }
    const std::vector<std::string>& Logs() const { return m_logs; }
    std::string LogPath(int index) const;
    // "View": runs the viewer with the quoted log path. The ShellExecute result; 0 when
    // the index names no log.
    int View(int index) const;
    // "Delete": the action log lets go of its file first; the row goes only when the file
    // is gone.
    bool Delete(int index, logging::CActionLogger* logger);

    int m_nCreateLog = -1; // 0 "No log", 1 "Log actions", -1 neither chosen
    bool m_bClearOldLogs = true;
    std::string m_strViewer;

private:
    settings::CSettingsStore& m_settings;
    std::string m_strLogFolder;
    std::string m_strStoredViewer;
    std::vector<std::string> m_logs;
};

} // namespace cva::options

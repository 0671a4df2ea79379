#pragma once

#include <ctime>
#include <functional>
#include <string>

namespace cva::logging {
class CActionLogger;
}
namespace cva::settings {
class CSettingsStore;
}

namespace cva::app {

class IUserPrompts;
class CPluginCatalogue;

// The main window's steps around a page's Apply: the confirmation question, and the
// history of applied plugins ("applied.ini", newest first, one line per plugin file)
// with its entry in the action log.
class CApplyHistory {
public:
    using Clock = std::function<std::time_t()>;

    CApplyHistory(settings::CSettingsStore& settings, IUserPrompts& prompts,
                  logging::CActionLogger& logger);

    // True when the page may apply: at once while bit 1 of "Option5" is clear, otherwise
    // unless the user answers No.
    bool ConfirmApply();
    // Records the open plugin (its full path; empty when none is open) at the top of
    // the history and writes "Applied - <file>" to the log.
    void RecordApplied(const std::string& pluginPath);
    // The same for the catalogue entry that is open (m_nCurrentPlugin, -1 for none).
    void RecordApplied(const CPluginCatalogue& catalogue, int currentPlugin);

    void SetClock(Clock clock) { m_clock = std::move(clock); }

private:
    settings::CSettingsStore& m_settings;
    IUserPrompts& m_prompts;
    logging::CActionLogger& m_logger;
    Clock m_clock;
};

// The profile folder the history (and the journal beside it) lives in: the setting
// "ProfileDir" without trailing slashes.
std::string HistoryFolder(settings::CSettingsStore& settings);

// "07.Dec.2026.09:05 PM": day, month, year, 12-hour clock and the AM/PM mark.
std::string FormatAppliedTime(const std::tm& localTime);

// The status bar's request pane: "Restart" while restart requests are pending, else
// "LogOff" while log-off requests are, else empty (and then no icon).
std::string RequestPaneText(int restartRequests, int logoffRequests);

} // namespace cva::app

#include "core/app/ApplyHistory.h"

#include "core/app/PluginCatalogue.h"
#include "core/app/PluginKeys.h"
#include "core/app/UserPrompts.h"
#include "core/log/ActionLogger.h"
#include "core/registry/MRU.h"
#include "platform/settings/SettingsStore.h"
#include "platform/text/Unicode.h"

namespace cva::app {

namespace {

constexpr const char* kConfirmQuestion = "Are you sure you want to apply the tweaks in this page ? ";
constexpr unsigned int kConfirmOptionBit = 0x2;

} // namespace

std::string HistoryFolder(settings::CSettingsStore& settings) {
    std::string folder = settings.GetProfileString("Settings", "ProfileDir");
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}

CApplyHistory::CApplyHistory(settings::CSettingsStore& settings, IUserPrompts& prompts,
                             logging::CActionLogger& logger)
    : m_settings(settings), m_prompts(prompts), m_logger(logger) {}

bool CApplyHistory::ConfirmApply() {
    const unsigned int options = m_settings.GetProfileInt("Settings", "Option5", 3);
    if ((options & kConfirmOptionBit) == 0) return true;
    return m_prompts.MessageBox(kConfirmQuestion, kAppTitle, MB_YESNO | MB_ICONQUESTION) != IDNO;
}

void CApplyHistory::RecordApplied(const std::string& pluginPath) {
    if (pluginPath.empty()) return;
    const size_t slash = pluginPath.find_last_of("/\\");
    const std::string fileName = slash == std::string::npos ? pluginPath : pluginPath.substr(slash + 1);
    if (fileName.empty()) return;
    const std::time_t now = m_clock ? m_clock() : std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);

    registry::CMRU history(HistoryFolder(m_settings));
    history.Load("applied.ini", -1);
    for (int i = 0; i < history.GetCount(); ++i) {
        const std::string entry = history.GetAt(i);
        if (entry.empty()) continue;
        const size_t mark = entry.rfind('?');
        const std::string name = TrimBlanks(mark == std::string::npos ? entry : entry.substr(0, mark));
        if (text::EqualsNoCaseUtf8(name, fileName)) {
            history.RemoveAt(i);
            break;
        }
    }
    history.Add(fileName + "?" + FormatAppliedTime(local));
    history.Save();
    m_logger.Log(logging::AppliedEntry(pluginPath));
}

void CApplyHistory::RecordApplied(const CPluginCatalogue& catalogue, int currentPlugin) {
    if (!catalogue.IsValidIndex(currentPlugin)) return;
    RecordApplied(catalogue.m_plugins[static_cast<size_t>(currentPlugin)].path);
}

std::string FormatAppliedTime(const std::tm& localTime) {
    char buffer[64];
    const size_t n = std::strftime(buffer, sizeof buffer, "%d.%b.%Y.%I:%M %p", &localTime);
    return std::string(buffer, n);
}

std::string RequestPaneText(int restartRequests, int logoffRequests) {
    if (restartRequests > 0) return "Restart";
    if (logoffRequests > 0) return "LogOff";
    return {};
}

} // namespace cva::app

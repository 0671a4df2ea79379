// Presets in the window: Save Preset writes what was applied, for other systems; Apply
// Preset repeats a preset's plugins on the open target, page by page.
#include "core/app/ApplicationDlg.h"
#include "core/app/ApplyHistory.h"
#include "core/app/PluginKeys.h"
#include "core/app/Preset.h"
#include "core/app/PresetHistory.h"
#include "core/app/PresetPage.h"
#include "core/app/PresetPrompts.h"
#include "core/app/UserPrompts.h"
#include "core/journal/JournalStore.h"
#include "platform/files/AtomicFile.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Counted.h"

#include <filesystem>
#include <system_error>

namespace cva::app {

namespace {

constexpr const char* kPresetFilter = "Presets|*.preset|All Files|*||";

} // namespace

void CApplicationDlg::OnSavePreset() {
    SPreset preset = PresetFromHistory(HistoryFolder(m_settings));
    // The comments say which applied plugins were left out, and why.
    std::string leftOut;
    for (const std::string& comment : preset.m_comments) leftOut += "\n" + comment;
    if (preset.m_plugins.empty()) {
        m_prompts.MessageBox("No apply in the history of applied plugins can be repeated from a preset yet." + leftOut,
                             kAppTitle, MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::optional<std::string> chosen = m_prompts.PickSaveFile("Save Preset", kPresetFilter, "corvanta.preset");
    if (!chosen || chosen->empty()) return;
    std::error_code ec;
    if (std::filesystem::exists(*chosen, ec) &&
        m_prompts.MessageBox(*chosen + " already exists.\nReplace it?", kAppTitle, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    preset.m_comments.insert(preset.m_comments.begin(),
                             "Saved by Corvanta from the history of applied plugins, " + journal::JournalTimeNow());
    if (!files::WriteFileAtomically(*chosen, FormatPreset(preset))) {
        m_prompts.MessageBox("The preset was not saved: " + *chosen + " cannot be written.", kAppTitle,
                             MB_OK | MB_ICONERROR);
        return;
    }
    m_prompts.MessageBox("Saved " + text::Counted(preset.m_plugins.size(), "plugin") + " to " + *chosen +
                             ".\nOn other targets and computers: cva-cli preset apply \"" + *chosen + "\"" + leftOut,
                         kAppTitle, MB_OK | MB_ICONINFORMATION);
}

void CApplicationDlg::OnApplyPreset(const std::function<void()>& allViewShown) {
    std::optional<std::string> chosen = m_prompts.PickFile("Apply Preset", kPresetFilter, std::string());
    if (!chosen || chosen->empty()) return;
    std::string error = "it cannot be read";
    const std::optional<std::string> text = files::ReadWholeFile(*chosen);
    const std::optional<SPreset> preset = text ? ParsePreset(*text, error) : std::nullopt;
    if (!preset || preset->m_plugins.empty()) {
        m_prompts.MessageBox(*chosen + " cannot be applied: " + (preset ? "it names no plugins" : error) + ".",
                             kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::string names;
    for (const SPresetPlugin& plugin : preset->m_plugins) names += "\n    " + plugin.m_plugin;
    const std::string where =
        text::Counted(preset->m_plugins.size(), "plugin") + " of " + *chosen + " to the " + m_target.Describe();
    if (m_prompts.MessageBox("Apply the " + where + "?" + names, kAppTitle, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;

    // Every plugin the target can use is in the All view, where each page is opened as
    // the user would open it; the one question above stands for each page's own.
    ShowView(kViewAll);
    if (allViewShown) allViewShown();
    size_t applied = 0;
    std::string outcomes;
    for (const SPresetPlugin& plugin : preset->m_plugins) {
        bool done = false;
        CPresetPrompts answers(m_prompts, plugin.m_answers);
        m_pPresetPrompts = &answers;
        outcomes += "\n" + plugin.m_plugin + ": " + ApplyPresetPlugin(plugin, done);
        m_pPresetPrompts = nullptr;
        if (done && answers.UnusedAnswers() > 0)
            outcomes += " (" + text::Counted(answers.UnusedAnswers(), "answer") + " of the preset not used)";
        applied += done ? 1 : 0;
    }
    m_prompts.MessageBox("Applied " + std::to_string(applied) + " of the " + where + ".\n" + outcomes, kAppTitle,
                         MB_OK | (applied == preset->m_plugins.size() ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
}

std::string CApplicationDlg::ApplyPresetPlugin(const SPresetPlugin& plugin, bool& applied) {
    applied = false;
    const std::optional<std::string> path = ResolvePluginPath(plugin.m_plugin, m_catalogue.PluginFolder());
    if (!path) return "not found in the plugin folder";
    if (OpenFile(FileNameOf(*path)) < 0 || !CurrentPage())
        return "not shown for the " + m_target.Describe() + " (not in the plugin folder, or not for its Windows version)";
    pages::CPropertyPageBase* page = CurrentPage();
    const int errors = ScriptErrorCount();
    std::optional<SPresetAction> press;
    for (const SPresetAction& action : plugin.m_actions) {
        if (action.m_kind == SPresetAction::EKind::Button || action.m_kind == SPresetAction::EKind::Link) {
            press = action;
        } else if (!PerformPresetAction(page, action)) {
            return "its page did not take \"" + FormatPresetAction(action) + "\"; nothing was applied";
        }
    }
    const bool done = press ? PressPresetAction(page, *press) : page->ClickApply();
    if (ScriptErrorCount() > errors) return "its script reported an error";
    if (!WriteFailure().empty()) return "the changes were not written: " + WriteFailure();
    if (!done && !press && page->HasApplyButton() && !page->IsApplyEnabled())
        return "already as the preset has it";
    if (!done) return "not applied";
    applied = true;
    return "applied";
}

} // namespace cva::app

#include "cli/cli/CliPreset.h"

#include "cli/cli/CliCommands.h"
#include "cli/cli/CliOutput.h"
#include "cli/cli/CliPrompts.h"
#include "core/app/AppCore.h"
#include "core/app/ApplicationDlg.h"
#include "core/app/ApplyHistory.h"
#include "core/app/Preset.h"
#include "core/app/PresetHistory.h"
#include "core/journal/JournalStore.h"
#include "core/journal/JournalDiff.h"
#include "platform/files/AtomicFile.h"
#include "platform/settings/SettingsStore.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Counted.h"

#include <filesystem>
#include <sstream>
#include <system_error>

namespace cva::cli {

namespace {

namespace fs = std::filesystem;

struct SPluginResult {
    std::string plugin;
    int status = kExitOk;
    bool applied = false;
    size_t changes = 0;
    std::vector<journal::SDiffChange> diff; // what changed, or with --dry-run what would
    std::vector<std::string> messages; // what went wrong, or why nothing was applied
};

struct STargetResult {
    std::string target;
    std::string error; // the target could not be opened
    std::vector<SPluginResult> plugins;
    size_t Applied() const {
        size_t n = 0;
        for (const SPluginResult& p : plugins) n += p.applied ? 1 : 0;
        return n;
    }
    size_t Changes() const {
        size_t n = 0;
        for (const SPluginResult& p : plugins) n += p.changes;
        return n;
    }
    size_t Failures() const {
        size_t n = error.empty() ? 0 : 1;
        for (const SPluginResult& p : plugins) n += p.status != kExitOk ? 1 : 0;
        return n;
    }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) out.push_back(line);
    return out;
}

// The command line `apply` would be given for the plugin.
SOptions ApplyOptions(const SOptions& preset, const app::SPresetPlugin& plugin) {
    SOptions one = preset;
    one.command = "apply";
    one.plugin = plugin.m_plugin;
    one.answers = plugin.m_answers;
    one.confirm = preset.confirm.value_or(true);
    one.actions.clear();
    for (const app::SPresetAction& action : plugin.m_actions) {
        if (action.m_kind == app::SPresetAction::EKind::Button) one.button = action.m_index;
        else if (action.m_kind == app::SPresetAction::EKind::Link) one.link = action.m_index;
        else one.actions.push_back({action, app::FormatPresetAction(action)});
    }
    return one;
}

// What the journal entries made since `since` (an id; empty: all) changed on the target,
// oldest first.
std::vector<journal::SDiffChange> ChangesSince(const journal::CJournalStore& journalStore, const std::string& since,
                                               const std::string& target) {
    std::vector<journal::SDiffChange> out;
    const std::vector<journal::SJournalEntry> entries = journalStore.List();
    for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
        if (e->m_id <= since || e->m_target != target || e->m_kind != "apply") continue;
        for (journal::SDiffChange& change : journal::DiffOf(*e)) out.push_back(std::move(change));
    }
    return out;
}

std::string NewestId(const journal::CJournalStore& journalStore) {
    const std::vector<journal::SJournalEntry> entries = journalStore.List();
    return entries.empty() ? std::string() : entries.front().m_id;
}

SPluginResult ApplyPlugin(const SOptions& options, const app::SPresetPlugin& plugin, app::CAppCore& core,
                          settings::CSettingsStore& store, const std::string& here) {
    const SOptions one = ApplyOptions(options, plugin);
    SPluginResult result;
    result.plugin = plugin.m_plugin;
    journal::CJournalStore journalStore(app::HistoryFolder(store));
    const std::string since = NewestId(journalStore);
    CCliPrompts prompts(one.confirm, one.answers);
    std::string err;
    {
        app::CApplicationDlg dlg(*core.Target(), store, prompts, app::SSessionRequests::FromCore(core),
                                 core.ProfileFolder(), app::CApplicationDlg::DefaultPageFactory());
        dlg.SetView(&prompts);
        if (options.plugins) dlg.Catalogue().SetPluginFolder(AbsoluteFolder(*options.plugins));
        if (options.profile) result.status = SelectProfile(dlg, *options.profile, options.dryRun, err);
        if (result.status == kExitOk) {
            SPageReport report;
            result.status = ShowOrApply(one, dlg, prompts, report, err);
            result.applied = report.applied;
            if (options.dryRun) result.diff = std::move(report.changes);
            result.plugin = report.plugin.empty() ? plugin.m_plugin : report.plugin;
        }
        if (!dlg.JournalFailure().empty()) err += "warning: " + dlg.JournalFailure() + "\n";
    }
    for (const std::string& error : prompts.AnswerErrors()) err += error + "\n";
    if (!prompts.AnswerErrors().empty() && result.status == kExitOk) result.status = kExitUsage;
    for (const SMessage& message : prompts.Messages())
        if (message.type == "error") err += "the script showed an error: " + message.text + "\n";
    if (!options.dryRun) result.diff = ChangesSince(journalStore, since, here);
    result.changes = result.diff.size();
    result.messages = Lines(err);
    return result;
}

STargetResult ApplyOnTarget(const SOptions& options, const app::SPreset& preset, settings::CSettingsStore& store,
                            const std::string& spec) {
    STargetResult result;
    result.target = spec.empty() ? std::string("(the stored target)") : spec;
    app::CAppCore core(store, CoreOptionsFor(options, spec));
    std::string why;
    std::vector<std::string> warnings;
    const app::CAppCore::EStart start = core.Start([&warnings](const std::string& text) {
        warnings.push_back("warning: " + text);
        return true;
    }, &why);
    if (start != app::CAppCore::EStart::Run) {
        result.error = start == app::CAppCore::EStart::AlreadyRunning ? "another cva-cli is running on these settings"
                                                                      : "the target cannot be opened: " + why;
        return result;
    }
    result.target = target::FormatRegistrySpec(core.Target()->Spec());
    for (const app::SPresetPlugin& plugin : preset.m_plugins)
        result.plugins.push_back(ApplyPlugin(options, plugin, core, store, result.target));
    // Nobody is there to confirm a restart or log-off a script asked for: it is withdrawn.
    core.ConfirmPendingRequests([](const std::string&) { return false; });
    core.Exit();
    return result;
}

std::string SummaryText(const std::vector<STargetResult>& targets, bool dryRun) {
    std::string out = dryRun ? "Dry run: nothing was changed; what the preset would do:\n" : "";
    const char* applied = dryRun ? " would be applied, " : " applied, ";
    for (const STargetResult& t : targets) {
        out += t.target + ": " + text::Counted(t.Applied(), "plugin") + applied + text::Counted(t.Changes(), "change") +
               ", " + text::Counted(t.Failures(), "failure") + "\n";
        if (!t.error.empty()) out += "  failed: " + t.error + "\n";
        for (const SPluginResult& p : t.plugins) {
            std::string state = p.status != kExitOk ? "failed (status " + std::to_string(p.status) + ")"
                                : p.applied          ? std::string(applied + 1) + text::Counted(p.changes, "change")
                                                     : std::string("nothing to apply");
            out += "  " + p.plugin + ": " + state + "\n";
            for (const journal::SDiffChange& change : p.diff) out += "    " + journal::DiffLine(change) + "\n";
            for (const std::string& line : p.messages) out += "    " + line + "\n";
        }
    }
    return out;
}

std::string SummaryJson(const std::vector<STargetResult>& targets, bool dryRun) {
    size_t applied = 0, changes = 0, failures = 0;
    std::string out = std::string("{\"dryRun\":") + (dryRun ? "true" : "false") + ",\"targets\":[";
    for (size_t i = 0; i < targets.size(); ++i) {
        const STargetResult& t = targets[i];
        applied += t.Applied();
        changes += t.Changes();
        failures += t.Failures();
        out += std::string(i ? "," : "") + "{\"target\":" + JsonString(t.target) +
               ",\"error\":" + (t.error.empty() ? std::string("null") : JsonString(t.error)) + ",\"plugins\":[";
        for (size_t j = 0; j < t.plugins.size(); ++j) {
            const SPluginResult& p = t.plugins[j];
            out += std::string(j ? "," : "") + "{\"plugin\":" + JsonString(p.plugin) +
                   ",\"status\":" + std::to_string(p.status) + ",\"applied\":" + (p.applied ? "true" : "false") +
                   ",\"changes\":" + std::to_string(p.changes) + ",\"diff\":" + journal::DiffToJson(p.diff) +
                   ",\"messages\":[";
            for (size_t k = 0; k < p.messages.size(); ++k) out += (k ? "," : "") + JsonString(p.messages[k]);
            out += "]}";
        }
        out += "],\"applied\":" + std::to_string(t.Applied()) + ",\"changes\":" + std::to_string(t.Changes()) +
               ",\"failures\":" + std::to_string(t.Failures()) + "}";
    }
    return out + "],\"applied\":" + std::to_string(applied) + ",\"changes\":" + std::to_string(changes) +
           ",\"failures\":" + std::to_string(failures) + "}\n";
}

int SavePreset(const SOptions& options, settings::CSettingsStore& store, std::string& out, std::string& err) {
    std::error_code ec;
    if (fs::exists(options.presetFile, ec) && !options.force) {
        err += options.presetFile + " exists; --force replaces it\n";
        return kExitUsage;
    }
    app::SPreset preset = app::PresetFromHistory(app::HistoryFolder(store));
    if (preset.m_plugins.empty()) {
        for (const std::string& comment : preset.m_comments) err += comment + "\n";
        err += "the history holds no apply whose actions are known; nothing was saved\n";
        return kExitActionFailed;
    }
    preset.m_comments.insert(preset.m_comments.begin(),
                             "Saved by cva-cli from the history of applied plugins, " + journal::JournalTimeNow());
    if (!files::WriteFileAtomically(options.presetFile, app::FormatPreset(preset))) {
        err += "the preset cannot be written: " + options.presetFile + "\n";
        return kExitNotWritten;
    }
    out += "saved " + text::Counted(preset.m_plugins.size(), "plugin") + " to " + options.presetFile + "\n";
    for (size_t i = 1; i < preset.m_comments.size(); ++i) out += "  " + preset.m_comments[i] + "\n";
    return kExitOk;
}

int ApplyPreset(const SOptions& options, settings::CSettingsStore& store, std::string& out, std::string& err) {
    const std::optional<std::string> text = files::ReadWholeFile(options.presetFile);
    if (!text) {
        err += "the preset cannot be read: " + options.presetFile + "\n";
        return kExitUsage;
    }
    std::string why;
    const std::optional<app::SPreset> preset = app::ParsePreset(*text, why);
    if (!preset) {
        err += options.presetFile + ": " + why + "\n";
        return kExitUsage;
    }
    std::vector<STargetResult> results;
    const std::vector<std::string> targets = options.targets.empty() ? std::vector<std::string>{""} : options.targets;
    int status = kExitOk;
    for (const std::string& spec : targets) {
        results.push_back(ApplyOnTarget(options, *preset, store, spec));
        const STargetResult& r = results.back();
        if (status == kExitOk && !r.error.empty()) status = kExitNoTarget;
        for (const SPluginResult& p : r.plugins)
            if (status == kExitOk && p.status != kExitOk) status = p.status;
    }
    out += options.json ? SummaryJson(results, options.dryRun) : SummaryText(results, options.dryRun);
    if (status != kExitOk) err += "the preset did not go through everywhere (see the summary)\n";
    return status;
}

} // namespace

int RunPreset(const SOptions& options, settings::CSettingsStore& store, std::string& out, std::string& err) {
    return options.presetCommand == "save" ? SavePreset(options, store, out, err) : ApplyPreset(options, store, out, err);
}

} // namespace cva::cli

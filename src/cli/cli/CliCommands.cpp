#include "cli/cli/CliCommands.h"

#include "cli/cli/CliJournal.h"
#include "cli/cli/CliOutput.h"
#include "cli/cli/CliPreset.h"
#include "cli/cli/CliPrompts.h"
#include "core/app/AppCore.h"
#include "core/app/ApplicationDlg.h"
#include "core/app/PluginKeys.h"
#include "core/app/PresetPage.h"
#include "core/app/TweakExport.h"
#include "core/app/UserProfiles.h"
#include "core/pages/PageOwner.h"
#include "core/pages/PropertyPageBase.h"
#include "core/plugin/PluginFile.h"
#include "platform/process/SystemMessage.h"
#include "platform/settings/SettingsStore.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace cva::cli {

namespace {

namespace fs = std::filesystem;
using app::CApplicationDlg;

const char* KindName(int pluginKind) {
    switch (pluginKind) {
    case app::KIND_CHECK: return "check";
    case app::KIND_EDIT: return "edit";
    case app::KIND_RADIO: return "radio";
    case app::KIND_LIST: return "list";
    case app::KIND_CHECKLIST: return "checklist";
    case app::KIND_MULTI: return "multi";
    case app::KIND_HTML: return "html";
    default: return "none";
    }
}

// The apply confirmation answered with No since message `from`, or null.
const SMessage* ConfirmationDeclined(const std::vector<SMessage>& messages, size_t from) {
    for (size_t i = from; i < messages.size(); ++i)
        if (messages[i].text == pages::kConfirmApplyQuestion && messages[i].answer == "No")
            return &messages[i];
    return nullptr;
}

// The command line's plugin, or std::nullopt after saying why.
std::optional<std::string> FindPlugin(const SOptions& options, CApplicationDlg& dlg, std::string& err) {
    const std::optional<std::string> path = app::ResolvePluginPath(options.plugin, dlg.Catalogue().PluginFolder());
    if (!path)
        err += "plugin not found: " + options.plugin + " (plugin folder " + dlg.Catalogue().PluginFolder() + ")\n";
    return path;
}

int ExportPlugin(const SOptions& options, CApplicationDlg& dlg, std::string& out, std::string& err) {
    const std::optional<std::string> path = FindPlugin(options, dlg, err);
    if (!path) return kExitUsage;
    std::string why;
    std::optional<plugin::CPluginFile> file = plugin::CPluginFile::LoadPlugin(*path, why);
    if (!file) {
        err += "cannot open plugin " + *path + ": " + why + "\n";
        return kExitUsage;
    }
    const std::string name = plugin::PluginFileName(*path);
    if (!app::CTweakExport::HasEntries(*file)) {
        err += name + " names no registry keys or values to export (no Export section)\n";
        return kExitActionFailed;
    }
    size_t keys = 0, values = 0;
    if (!dlg.ExportPlugin(*path, options.exportFile, why, &keys, &values)) {
        err += "the export was not written: " + why + "\n";
        return kExitNotWritten;
    }
    if (options.json) {
        out += "{\"plugin\":" + JsonString(name) + ",\"file\":" + JsonString(options.exportFile) +
               ",\"keys\":" + std::to_string(keys) + ",\"values\":" + std::to_string(values) + "}\n";
    } else if (keys == 0) {
        out += "none of the keys of " + name + " exist on the target; " + options.exportFile +
               " was left as it was\n";
    } else {
        out += "exported " + std::to_string(keys) + " key(s) and " + std::to_string(values) + " value(s) of " +
               name + " to " + options.exportFile + "\n";
    }
    return kExitOk;
}

// A plugin the catalogue does not show for this target is not opened on it either: its
// script would read and write keys the target does not use.
bool IsShownForTarget(const std::string& path, CApplicationDlg& dlg, std::string& err) {
    const app::SPluginKeys keys = app::ReadPluginKeys(path);
    if (app::PassesVersionFilter(keys.osVersion, dlg.Catalogue().VersionTarget(), true)) return true;
    const std::string name = plugin::PluginFileName(path);
    const app::SVersionTarget asWine{dlg.Catalogue().VersionTarget().windowsVersionCode, true};
    if (!dlg.Catalogue().VersionTarget().wine && app::PassesVersionFilter(keys.osVersion, asWine, true))
        err += name + " is for Wine prefixes only (OSVERSION=" + keys.osVersion + ") and is not shown for the " +
               dlg.Target().Describe() + "\n";
    else
        err += name + " is not for the Windows version of the " + dlg.Target().Describe() + " (OSVERSION=" +
               keys.osVersion + ") and is not shown for it\n";
    return false;
}

} // namespace

std::string AbsoluteFolder(const std::string& folder) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(folder, ec);
    std::string path = (ec ? fs::path(folder) : absolute).lexically_normal().string();
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

int ShowOrApply(const SOptions& options, CApplicationDlg& dlg, CCliPrompts& prompts, SPageReport& report,
                std::string& err) {
    const std::optional<std::string> path = FindPlugin(options, dlg, err);
    if (!path) return kExitUsage;
    if (!IsShownForTarget(*path, dlg, err)) return kExitUsage;
    dlg.m_plugins.push_back({*path, 0, 0});
    std::string why;
    if (!dlg.LoadPlugin(static_cast<int>(dlg.m_plugins.size()) - 1, &why)) {
        err += "cannot open plugin " + *path + ": " + why + "\n";
        return kExitUsage;
    }

    report.plugin = plugin::PluginFileName(*path);
    int status = kExitOk;
    if (options.command == "apply") {
        pages::CPropertyPageBase* page = dlg.CurrentPage();
        bool done = true;
        // The actions run in the preview too: a page's events may write as well.
        report.dryRun = options.dryRun;
        if (options.dryRun) dlg.BeginPreview();
        for (const SAction& action : options.actions) {
            if (!app::PerformPresetAction(page, action.action)) {
                err += action.option + ": the " + std::string(KindName(dlg.m_nPluginKind)) +
                       " page has no such item or did not take it; nothing was applied\n";
                done = false;
                status = kExitActionFailed;
                break;
            }
        }
        if (done && !prompts.AnswerErrors().empty()) {
            // An answer went to a box it does not fit: what was meant is unclear.
            err += "an --answer did not fit its box; nothing was applied\n";
            done = false;
        }
        if (done) {
            const size_t before = prompts.Messages().size();
            if (options.button || options.link) {
                using EKind = app::SPresetAction::EKind;
                const app::SPresetAction press = options.button
                                                     ? app::SPresetAction{EKind::Button, *options.button, {}}
                                                     : app::SPresetAction{EKind::Link, *options.link, {}};
                report.action = app::FormatPresetAction(press);
                report.applied = app::PressPresetAction(page, press);
            } else {
                report.action = "Apply";
                // A dry run leaves the page as the user had it, Apply still ready.
                report.applied = page && (options.dryRun ? page->ClickPreview() : page->ClickApply());
            }
            const bool unchanged = page && page->HasApplyButton() && !page->IsApplyEnabled() &&
                                   page->IsWindowEnabled() && page->ControlsEnabled() && !options.button &&
                                   !options.link;
            if (report.applied && !dlg.WriteFailure().empty()) {
                report.applied = false;
                std::string why = dlg.WriteFailure();
                for (size_t nl; (nl = why.find('\n')) != std::string::npos;) why.replace(nl, 1, "; ");
                err += report.action + ": the changes were not written: " + why +
                       "; nothing was recorded as applied\n";
                status = kExitNotWritten;
            } else if (!report.applied && unchanged) {
                // The page already shows what was asked for: as on the window, there is
                // nothing to apply, and a script that sets a state twice must not fail.
                err += "nothing was changed on the page; Apply stays disabled and nothing was applied\n";
            } else if (const SMessage* declined = ConfirmationDeclined(prompts.Messages(), before);
                       !report.applied && declined) {
                if (declined->defaulted)
                    err += "the confirmation was not answered (--yes or --no); nothing was applied\n";
            } else if (!report.applied) {
                err += report.action + " is not available on this page (disabled, or nothing was changed)\n";
                status = kExitActionFailed;
            }
        }
        if (options.dryRun) report.changes = journal::DiffOf(dlg.EndPreview());
        for (const std::string& line : dlg.UndoWarnings()) err += "warning: cannot be undone: " + line + "\n";
    }
    report.kind = KindName(dlg.m_nPluginKind);
    report.header = dlg.HeaderText();
    report.level = dlg.Level();
    if (pages::CPropertyPageBase* page = dlg.CurrentPage()) report.page = page->Snapshot();
    report.scriptErrors = dlg.ScriptErrorCount();
    if (report.scriptErrors > 0) {
        err += "the plugin's script reported an error\n";
        return kExitScriptError;
    }
    return status;
}

// The hive of the user named on the command line, loaded for this run. Going on with the
// running user's settings instead would change what the user did not name.
int SelectProfile(CApplicationDlg& dlg, const std::string& name, bool dryRun, std::string& err) {
    // A dry run leaves the target's folder as it found it, load notes included.
    dlg.Target().Registry().SetNoteLoads(!dryRun);
    dlg.BuildProfileList();
    const int index = app::FindProfile(dlg.m_arrProfiles, name);
    if (index < 0) {
        std::string names;
        for (const std::string& entry : dlg.m_arrProfiles)
            names += (names.empty() ? "" : ", ") + app::ProfileName(entry);
        err += "--profile: the target has no profile " + name + " (it has " + names + ")\n";
        return kExitNoTarget;
    }
    dlg.m_nProfile = index;
    dlg.LoadSettings();
    if (dlg.m_nProfile != index) {
        err += "--profile: the hive of " + name + " (" +
               dlg.m_arrProfiles[static_cast<size_t>(index)] + "\\ntuser.dat) cannot be loaded: " +
               process::FormatSystemMessage(dlg.ProfileLoadError()) + "\n";
        return kExitNoTarget;
    }
    return kExitOk;
}

namespace {

app::ECatalogueView ViewFromName(const std::string& name) {
    if (name == "popular") return app::kViewPopular;
    if (name == "favorites") return app::kViewFavorites;
    if (name == "applied") return app::kViewApplied;
    return app::kViewAll;
}

} // namespace

app::CAppCore::COptions CoreOptionsFor(const SOptions& options, const std::string& spec) {
    app::CAppCore::COptions coreOptions;
    coreOptions.m_targetSpec = spec;
    coreOptions.m_allowHostDrives = options.allowHostDrives;
    coreOptions.m_noLog = options.dryRun;
    coreOptions.m_lockFolder = settings::CSettingsStore::DefaultFolder();
    coreOptions.m_lockName = "MERIDOT_CVA_CLI_MUTEX";
    std::error_code ec;
    fs::create_directories(coreOptions.m_lockFolder, ec);
    return coreOptions;
}

int RunCommand(const SOptions& options, std::string& out, std::string& err) {
    settings::CSettingsStore store;
    if (!store.IsUsable()) {
        err += "the settings cannot be read: " + store.LoadError() + "\n";
        return kExitNoTarget;
    }
    if (options.plugins) {
        std::error_code ec;
        if (!fs::is_directory(*options.plugins, ec)) {
            err += "--plugins: no such folder: " + *options.plugins + "\n";
            return kExitUsage;
        }
    }

    if (options.command == "history") return PrintHistory(options, store, out);
    if (options.command == "preset") return RunPreset(options, store, out, err);

    app::CAppCore core(store, CoreOptionsFor(options, options.target.value_or("")));
    std::string why;
    switch (core.Start([&err](const std::string& text) {
        err += "warning: " + text + "\n";
        return true;
    }, &why)) {
    case app::CAppCore::EStart::Run: break;
    case app::CAppCore::EStart::AlreadyRunning:
        err += "another cva-cli is running on these settings\n";
        return kExitNoTarget;
    case app::CAppCore::EStart::NoTarget:
        err += "the target cannot be opened: " + why + "\n";
        return kExitNoTarget;
    case app::CAppCore::EStart::Declined: return kExitNoTarget;
    }

    CCliPrompts prompts(options.confirm, options.answers);
    int status = kExitOk;
    std::optional<SPageReport> report;
    {
        CApplicationDlg dlg(*core.Target(), store, prompts, app::SSessionRequests::FromCore(core),
                            core.ProfileFolder(), CApplicationDlg::DefaultPageFactory());
        dlg.SetView(&prompts);
        prompts.SetScriptTimeout(options.timeout, [&dlg] { dlg.StopScript(); });
        dlg.m_bRecordRecent = !options.dryRun;
        // For this run only: the "PluginDir" setting stays as stored.
        if (options.plugins) dlg.Catalogue().SetPluginFolder(AbsoluteFolder(*options.plugins));
        const bool listing = options.command == "list" || options.command == "refresh";
        if (options.profile) status = SelectProfile(dlg, *options.profile, options.dryRun, err);
        if (status == kExitOk && listing) {
            if (options.command == "refresh") dlg.RefreshAll();
            else dlg.ShowView(ViewFromName(options.view));
            out += options.json ? CatalogueToJson(dlg.Catalogue(), options.view)
                                : CatalogueToText(dlg.Catalogue());
        } else if (status == kExitOk && options.command == "undo") {
            status = UndoEntry(options, store, *core.Target(), dlg, out, err);
        } else if (status == kExitOk && options.command == "export") {
            status = ExportPlugin(options, dlg, out, err);
        } else if (status == kExitOk) {
            report.emplace();
            status = ShowOrApply(options, dlg, prompts, *report, err);
            if (prompts.ScriptTimedOut()) {
                char why[96];
                std::snprintf(why, sizeof why, "the script ran longer than %g seconds (--timeout) and was stopped\n",
                              static_cast<double>(options.timeout.count()) / 1000);
                err += why;
            }
            if (!dlg.JournalFailure().empty()) err += "warning: " + dlg.JournalFailure() + "\n";
            if (status == kExitUsage) report.reset();
        }
    }

    // As at the window's close: a restart or log-off a script asked for is confirmed
    // (only with --answer ok or yes) or withdrawn, then carried out on the target.
    core.ConfirmPendingRequests([&prompts](const std::string& text) {
        return prompts.MessageBox(text, app::kAppTitle,
                                  app::MB_OKCANCEL | app::MB_ICONQUESTION | app::MB_DEFBUTTON2) == app::IDOK;
    });
    if (report) {
        report->messages = prompts.Messages();
        out += options.json ? ReportToJson(*report) : ReportToText(*report);
    }
    core.Exit();
    for (const std::string& error : prompts.AnswerErrors()) err += error + "\n";
    if (!prompts.AnswerErrors().empty()) status = kExitUsage;
    if (prompts.UnusedAnswers() > 0) err += "warning: " + std::to_string(prompts.UnusedAnswers()) + " --answer value(s) were not asked for\n";
    return status;
}

} // namespace cva::cli

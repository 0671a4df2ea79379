#include "cli/cli/CliJournal.h"

#include "cli/cli/CliCommands.h"
#include "core/app/ApplicationDlg.h"
#include "core/app/ApplyHistory.h"
#include "core/journal/ChangeRecorder.h"
#include "core/journal/JournalStore.h"
#include "core/journal/JournalUndo.h"
#include "core/pages/PageSnapshot.h"
#include "platform/target/TargetSystem.h"

namespace cva::cli {

using journal::SJournalEntry;

namespace {

std::string EntryJson(const SJournalEntry& e) {
    using pages::JsonString;
    return "{\"id\":" + JsonString(e.m_id) + ",\"time\":" + JsonString(e.m_time) +
           ",\"kind\":" + JsonString(e.m_kind) + ",\"plugin\":" + JsonString(e.m_plugin) +
           ",\"target\":" + JsonString(e.m_target) + ",\"profile\":" + JsonString(e.m_profile) +
           ",\"changes\":" + std::to_string(e.m_changes.size()) +
           ",\"undoes\":" + (e.m_undoes.empty() ? std::string("null") : JsonString(e.m_undoes)) + "}";
}

std::string EntryText(const SJournalEntry& e) {
    std::string line = e.m_id + "  " + e.m_time + "  " + e.m_kind + "  " + e.m_plugin + "  " + e.m_target +
                       "  " + e.m_profile + "  " + std::to_string(e.m_changes.size()) + " change" +
                       (e.m_changes.size() == 1 ? "" : "s");
    if (!e.m_undoes.empty()) line += "  (undoes " + e.m_undoes + ")";
    return line + "\n";
}

} // namespace

int PrintHistory(const SOptions& options, settings::CSettingsStore& store, std::string& out) {
    const std::vector<SJournalEntry> entries = journal::CJournalStore(app::HistoryFolder(store)).List();
    if (!options.json) {
        for (const SJournalEntry& e : entries) out += EntryText(e);
        return kExitOk;
    }
    out += "[";
    for (size_t i = 0; i < entries.size(); ++i) out += (i ? "," : "") + EntryJson(entries[i]);
    out += "]\n";
    return kExitOk;
}

int UndoEntry(const SOptions& options, settings::CSettingsStore& store, target::CTargetSystem& target,
              const app::CApplicationDlg& dlg, std::string& out, std::string& err) {
    journal::CJournalStore journalStore(app::HistoryFolder(store));
    const std::string here = target::FormatRegistrySpec(target.Spec());
    std::optional<SJournalEntry> entry;
    if (!options.entry.empty()) {
        entry = journalStore.Find(options.entry);
        if (!entry) {
            err += "no journal entry " + options.entry + " in " + journalStore.Folder() + "\n";
            return kExitUsage;
        }
        if (entry->m_target != here) {
            err += "entry " + entry->m_id + " was made on " + entry->m_target + ", not on " + here + "\n";
            return kExitUsage;
        }
    } else {
        entry = journalStore.LastStandingApply(here);
        if (!entry) {
            err += "nothing to undo on " + here + "\n";
            return kExitUsage;
        }
    }

    // Another user's settings are reached through their hive, loaded only with --profile.
    if (!entry->m_profile.empty() && entry->m_profile != dlg.ProfileEntryName()) {
        err += "entry " + entry->m_id + " changed the settings of " + entry->m_profile + "; give --profile " +
               entry->m_profile + "\n";
        return kExitUsage;
    }
    reg::CRegistry& registry = target.Registry();
    std::vector<std::string> differences = journal::UndoDifferences(registry, *entry);
    // What cannot be put back at all makes the undo partial: the user decides.
    for (const std::string& line : journal::UndoImpossible(*entry)) differences.push_back(line);
    if (!differences.empty() && !options.force) {
        err += "entry " + entry->m_id + " is not undone: the target changed since it was made:\n";
        for (const std::string& line : differences) err += "  " + line + "\n";
        err += "(--force undoes it anyway)\n";
        return kExitActionFailed;
    }

    if (!differences.empty()) {
        err += "warning: undoing " + entry->m_id + " over changes made since:\n";
        for (const std::string& line : differences) err += "  " + line + "\n";
    }
    journal::CChangeRecorder recorder;
    std::vector<std::string> failures;
    {
        journal::CRecordingScope scope(registry, recorder);
        journal::UndoChanges(registry, *entry, failures, &recorder);
    }
    std::string notSaved;
    if (!target.SaveChanges(&notSaved)) {
        err += "the undo could not be saved: " + notSaved + "\n";
        return kExitNotWritten;
    }
    SJournalEntry undo = recorder.Finish(registry);
    undo.m_kind = "undo";
    undo.m_undoes = entry->m_id;
    undo.m_plugin = entry->m_plugin;
    undo.m_target = here;
    undo.m_profile = dlg.ProfileEntryName();
    std::string why;
    if (!recorder.IsEmpty() && !journalStore.Add(undo, why)) err += "warning: " + why + "\n";
    const size_t count = entry->m_changes.size();
    out += "undone " + entry->m_id + " (" + std::to_string(count) + (count == 1 ? " change)" : " changes)");
    out += recorder.IsEmpty() ? std::string(", nothing needed changing\n") : " as " + undo.m_id + "\n";
    for (const std::string& failure : failures) err += failure + "\n";
    return failures.empty() ? kExitOk : kExitActionFailed;
}

} // namespace cva::cli

#include "cli/cli/CliJournal.h"

#include "cli/cli/CliCommands.h"
#include "core/app/ApplicationDlg.h"
#include "core/app/ApplyHistory.h"
#include "core/app/ApplyUndo.h"
#include "core/journal/JournalStore.h"
#include "core/pages/PageSnapshot.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Counted.h"

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
                       "  " + e.m_profile + "  " + text::Counted(e.m_changes.size(), "change");
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
    using EStatus = app::SUndoResult::EStatus;
    const app::SUndoResult r = app::UndoApply(target, app::HistoryFolder(store), dlg.ProfileEntryName(),
                                              {options.entry, {}, options.force});
    const SJournalEntry& entry = r.m_entry;
    switch (r.m_status) {
    case EStatus::NoSuchEntry:
        err += "no journal entry " + options.entry + " in " + r.m_why + "\n";
        return kExitUsage;
    case EStatus::NothingToUndo: err += "nothing to undo on " + r.m_target + "\n"; return kExitUsage;
    case EStatus::OtherTarget:
        err += "entry " + entry.m_id + " was made on " + entry.m_target + ", not on " + r.m_target + "\n";
        return kExitUsage;
    case EStatus::OtherProfile:
        err += "entry " + entry.m_id + " changed the settings of " + entry.m_profile + "; give --profile " +
               entry.m_profile + "\n";
        return kExitUsage;
    case EStatus::Refused:
        err += "entry " + entry.m_id + " is not undone: the target changed since it was made:\n";
        for (const std::string& line : r.m_differences) err += "  " + line + "\n";
        err += "(--force undoes it anyway)\n";
        return kExitActionFailed;
    case EStatus::NotSaved:
    case EStatus::Undone: break;
    }
    if (!r.m_differences.empty()) {
        err += "warning: undoing " + entry.m_id + " over changes made since:\n";
        for (const std::string& line : r.m_differences) err += "  " + line + "\n";
    }
    if (r.m_status == EStatus::NotSaved) {
        err += "the undo could not be saved: " + r.m_why + "\n";
        return kExitNotWritten;
    }
    if (!r.m_journalFailure.empty()) err += "warning: " + r.m_journalFailure + "\n";
    const size_t count = entry.m_changes.size();
    out += "undone " + entry.m_id + " (" + std::to_string(count) + (count == 1 ? " change)" : " changes)");
    out += r.m_changed ? " as " + r.m_undoId + "\n" : std::string(", nothing needed changing\n");
    for (const std::string& failure : r.m_failures) err += failure + "\n";
    return r.m_failures.empty() ? kExitOk : kExitActionFailed;
}

} // namespace cva::cli

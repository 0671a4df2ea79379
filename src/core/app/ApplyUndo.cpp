#include "core/app/ApplyUndo.h"

#include "core/journal/ChangeRecorder.h"
#include "core/journal/JournalStore.h"
#include "core/journal/JournalUndo.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"

namespace cva::app {

namespace {

using EStatus = SUndoResult::EStatus;

std::optional<journal::SJournalEntry> StandingApplyOf(const journal::CJournalStore& store, const std::string& target,
                                                      const std::string& plugin) {
    std::vector<journal::SJournalEntry> entries = store.List();
    const std::set<std::string> undone = journal::UndoneEntries(entries);
    for (journal::SJournalEntry& e : entries)
        if (e.m_kind == "apply" && e.m_target == target && !undone.count(e.m_id) &&
            text::EqualsNoCaseUtf8(e.m_plugin, plugin))
            return std::move(e);
    return std::nullopt;
}

} // namespace

SUndoResult UndoApply(target::CTargetSystem& target, const std::string& historyFolder, const std::string& profile,
                      const SUndoRequest& request) {
    SUndoResult result;
    journal::CJournalStore store(historyFolder);
    result.m_target = target::FormatRegistrySpec(target.Spec());
    std::optional<journal::SJournalEntry> entry;
    if (!request.m_entry.empty()) {
        entry = store.Find(request.m_entry);
        if (!entry) {
            result.m_status = EStatus::NoSuchEntry;
            result.m_why = store.Folder();
            return result;
        }
    } else if (!request.m_plugin.empty()) {
        entry = StandingApplyOf(store, result.m_target, request.m_plugin);
    } else {
        entry = store.LastStandingApply(result.m_target);
    }
    if (!entry) {
        result.m_status = EStatus::NothingToUndo;
        return result;
    }
    result.m_entry = *entry;
    if (entry->m_target != result.m_target) {
        result.m_status = EStatus::OtherTarget;
        return result;
    }
    // Another user's settings are reached through their hive, loaded only for them.
    if (!entry->m_profile.empty() && entry->m_profile != profile) {
        result.m_status = EStatus::OtherProfile;
        return result;
    }
    reg::CRegistry& registry = target.Registry();
    result.m_differences = journal::UndoDifferences(registry, *entry);
    // What cannot be put back at all makes the undo partial: the user decides.
    for (const std::string& line : journal::UndoImpossible(*entry)) result.m_differences.push_back(line);
    if (!result.m_differences.empty() && !request.m_force) {
        result.m_status = EStatus::Refused;
        return result;
    }

    journal::CChangeRecorder recorder;
    {
        journal::CRecordingScope scope(registry, recorder);
        journal::UndoChanges(registry, *entry, result.m_failures, &recorder);
    }
    if (!target.SaveChanges(&result.m_why)) {
        result.m_status = EStatus::NotSaved;
        return result;
    }
    result.m_status = EStatus::Undone;
    if (recorder.IsEmpty()) return result;
    result.m_changed = true;
    journal::SJournalEntry undo = recorder.Finish(registry);
    undo.m_kind = "undo";
    undo.m_undoes = entry->m_id;
    undo.m_plugin = entry->m_plugin;
    undo.m_target = result.m_target;
    undo.m_profile = profile;
    store.Add(undo, result.m_journalFailure);
    result.m_undoId = undo.m_id;
    return result;
}

} // namespace cva::app

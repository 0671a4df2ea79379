#pragma once

#include "core/journal/JournalEntry.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace cva::journal {

// The folder "journal" in the profile folder, beside the history: one file per entry,
// "<id>.txt", written atomically. Ids sort by time, so the newest entry is the last.
// Without a profile folder (an empty name) nothing is kept.
class CJournalStore {
public:
    explicit CJournalStore(std::string profileFolder);

    // Gives the entry a new id (and its time, when it has none) and writes it; false
    // with `error` when the file cannot be written.
    bool Add(SJournalEntry& entry, std::string& error);
    // Every readable entry, newest first.
    std::vector<SJournalEntry> List() const;
    std::optional<SJournalEntry> Find(const std::string& id) const;
    // The newest apply on `target` that stands: not taken back, or taken back by an undo
    // that was undone in turn. Repeated undos walk back through the applies.
    std::optional<SJournalEntry> LastStandingApply(const std::string& target) const;
    const std::string& Folder() const { return m_folder; }

private:
    std::string m_folder;
};

// The ids of the entries taken back by an undo that stands (not undone in turn).
std::set<std::string> UndoneEntries(const std::vector<SJournalEntry>& newestFirst);

// The current time as the journal writes it, and the id made of it.
std::string JournalTimeNow();

} // namespace cva::journal

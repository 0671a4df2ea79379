#pragma once

#include "core/journal/JournalEntry.h"

#include <string>
#include <vector>

namespace cva::target {
class CTargetSystem;
}

namespace cva::app {

// Which apply to take back: an entry by id; else the newest standing apply of a plugin
// (a file name) on the target; else the newest standing apply on the target.
struct SUndoRequest {
    std::string m_entry;
    std::string m_plugin;
    bool m_force = false; // undo even where the target changed since the apply
};

struct SUndoResult {
    enum class EStatus { Undone, NothingToUndo, NoSuchEntry, OtherTarget, OtherProfile, Refused, NotSaved };
    EStatus m_status = EStatus::NothingToUndo;
    std::string m_target;             // the target as the journal names it
    journal::SJournalEntry m_entry;   // the entry taken back (or refused)
    std::vector<std::string> m_differences; // where the target no longer holds what the entry left
    std::vector<std::string> m_failures;    // changes that could not be taken back
    std::string m_undoId;   // the undo's own journal entry; empty when nothing needed changing
    bool m_changed = false; // the undo changed something on the target
    std::string m_why;      // NotSaved: why the target refused the undo
    std::string m_journalFailure; // why the undo's own entry could not be written
};

// Takes an apply back on the target (the running user's settings or, for `profile`,
// the loaded user's, as the window's profile pane names them) and journals the undo, so
// that it can be undone in turn. Refused, with the differences, when the target changed
// since the apply, unless forced.
SUndoResult UndoApply(target::CTargetSystem& target, const std::string& historyFolder, const std::string& profile,
                      const SUndoRequest& request);

} // namespace cva::app

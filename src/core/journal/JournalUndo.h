#pragma once

#include "core/journal/JournalEntry.h"
#include "platform/registry/Registry.h"

#include <string>
#include <vector>

namespace cva::journal {

class CChangeRecorder;

// Where the target no longer holds what the entry's changes left, one line each:
// "HKEY_...\Key \"Name\": now REG_SZ \"x\", left REG_DWORD 0x00000001".
std::vector<std::string> UndoDifferences(reg::CRegistry& registry, const SJournalEntry& entry);

// The changes of the entry that cannot be put back at all (a file deleted for good that
// was too large to keep, one no longer in the Trash), one line each.
std::vector<std::string> UndoImpossible(const SJournalEntry& entry);

// Puts back the state before each change of the entry, newest change first. The
// registry's recorder (when set) sees the undo's own registry changes, `recorder` (when
// given) its INI and file changes. A file the undo takes away goes to the Trash, so an
// undo never loses what someone wrote. Each change that could not be taken back adds a line to
// `failures`.
void UndoChanges(reg::CRegistry& registry, const SJournalEntry& entry, std::vector<std::string>& failures,
                 CChangeRecorder* recorder = nullptr);

} // namespace cva::journal

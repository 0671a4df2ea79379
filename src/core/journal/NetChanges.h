#pragma once

#include "core/journal/JournalEntry.h"

#include <cstddef>

namespace cva::journal {

// How many values, keys and INI entries the entry's changes left otherwise than they
// found them: a value written with the data it already had, or set and set back, is no
// change.
size_t CountNetChanges(const SJournalEntry& entry);

} // namespace cva::journal

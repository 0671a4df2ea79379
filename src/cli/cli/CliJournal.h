#pragma once

#include "cli/cli/CliOptions.h"

#include <string>

namespace cva::app {
class CApplicationDlg;
}
namespace cva::settings {
class CSettingsStore;
}
namespace cva::target {
class CTargetSystem;
}

namespace cva::cli {

// history: the journal's entries, newest first, as text or JSON.
int PrintHistory(const SOptions& options, settings::CSettingsStore& store, std::string& out);
// undo [ENTRY]: takes back an entry (by default the newest one of this target) and
// journals the undo itself.
int UndoEntry(const SOptions& options, settings::CSettingsStore& store, target::CTargetSystem& target,
              const app::CApplicationDlg& dlg, std::string& out, std::string& err);

} // namespace cva::cli

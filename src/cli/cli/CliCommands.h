#pragma once

#include "cli/cli/CliOptions.h"
#include "core/app/AppCore.h"

#include <string>

namespace cva::app {
class CApplicationDlg;
}

namespace cva::cli {

class CCliPrompts;
struct SPageReport;

// Exit statuses (documented in --help).
constexpr int kExitOk = 0;
constexpr int kExitScriptError = 1;
constexpr int kExitUsage = 2;
constexpr int kExitActionFailed = 3;
constexpr int kExitNoTarget = 4;
constexpr int kExitNotWritten = 5;

// The core's options for a run on the target `spec` (empty: the stored target), with
// the lock that keeps one command line at a time per settings folder (the folder made
// when missing); the window keeps its own lock.
app::CAppCore::COptions CoreOptionsFor(const SOptions& options, const std::string& spec);

// Runs one parsed command line; output goes to `out`, complaints to `err`.
int RunCommand(const SOptions& options, std::string& out, std::string& err);

// show or apply: opens the plugin on the window logic and, for apply, performs the
// actions and presses Apply (or the button or link named); the page is reported.
int ShowOrApply(const SOptions& options, app::CApplicationDlg& dlg, CCliPrompts& prompts, SPageReport& report,
                std::string& err);
// The folder as an absolute path without a trailing slash, as the catalogue cache names it.
std::string AbsoluteFolder(const std::string& folder);
// Selects (and loads the hive of) the target's user named by --profile.
int SelectProfile(app::CApplicationDlg& dlg, const std::string& name, bool dryRun, std::string& err);

} // namespace cva::cli

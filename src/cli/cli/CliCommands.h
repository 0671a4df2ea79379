#pragma once

#include "cli/cli/CliOptions.h"

#include <string>

namespace cva::cli {

// Exit statuses (documented in --help).
constexpr int kExitOk = 0;
constexpr int kExitScriptError = 1;
constexpr int kExitUsage = 2;
constexpr int kExitActionFailed = 3;
constexpr int kExitNoTarget = 4;
constexpr int kExitNotWritten = 5;

// Runs one parsed command line; output goes to `out`, complaints to `err`.
int RunCommand(const SOptions& options, std::string& out, std::string& err);

} // namespace cva::cli

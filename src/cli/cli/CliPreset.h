#pragma once

#include "cli/cli/CliOptions.h"

#include <string>

namespace cva::settings {
class CSettingsStore;
}

namespace cva::cli {

// preset save FILE: a preset of the history of applied plugins. preset apply FILE: every
// plugin of the preset on each --target, with a summary per target.
int RunPreset(const SOptions& options, settings::CSettingsStore& store, std::string& out, std::string& err);

} // namespace cva::cli

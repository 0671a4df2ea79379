#pragma once

#include "core/app/Preset.h"

#include <optional>
#include <string>

namespace cva::pages {
class CPropertyPageBase;
}

namespace cva::app {

// The plugin file a preset or the command line names: a path as given, or a file name in
// the plugin folder (".cvp" may be left off). Absolute; std::nullopt when there is none.
std::optional<std::string> ResolvePluginPath(const std::string& name, const std::string& pluginFolder);

// Does one of a preset's page actions (not a button or link) on the page as the user
// would; false when the page has no such item or did not take it. A box already as
// wanted counts as done.
bool PerformPresetAction(pages::CPropertyPageBase* page, const SPresetAction& action);

// Presses the list button or follows the html link a button or link action names, in
// place of Apply; false when the page has no such button or link or did not take it.
bool PressPresetAction(pages::CPropertyPageBase* page, const SPresetAction& press);

} // namespace cva::app

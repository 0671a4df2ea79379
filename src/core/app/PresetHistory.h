#pragma once

#include "core/app/Preset.h"

#include <string>
#include <vector>

namespace cva::pages {
struct SPageSnapshot;
}

namespace cva::app {

// What a page's Apply was given, as actions that bring another copy of the page to the
// same state: every check box, radio choice, text and list row the user can reach (hidden
// and disabled items are left out, as no one could have set them), then the list button
// (`first`, 0 being Apply) or html link (`second`) that ran the apply routine.
std::vector<SPresetAction> ActionsFromPage(const pages::SPageSnapshot& page, int first, int second);

// A preset of the plugins in the history of applied plugins, oldest first, each with the
// actions of its newest apply in the journal. A plugin whose newest apply was undone, or
// whose actions are not known (applied before they were recorded), is left out with a
// comment saying so.
SPreset PresetFromHistory(const std::string& historyFolder);

} // namespace cva::app

#pragma once

#include "core/app/Preset.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace cva::cli {

// One thing the user does on a page before pressing Apply, in command-line order.
// Presets hold the same actions, so one piece of code performs both.
struct SAction {
    app::SPresetAction action; // never a button or link: those replace Apply
    std::string option;        // as given, for messages
};

struct SOptions {
    std::optional<std::string> target;
    std::vector<std::string> targets; // every --target in order (preset apply takes several)
    std::optional<std::string> plugins;
    std::optional<std::string> profile; // another user of the target, by profile folder name
    std::string command; // list, refresh, show, apply, export, history, undo, preset
    std::string presetCommand; // preset: save or apply
    std::string presetFile;
    std::string entry;   // undo: the journal entry's id; empty: the newest of the target
    bool force = false;  // undo even where the target changed since
    bool dryRun = false; // apply: show what would change, change nothing
    std::string plugin;
    std::string exportFile;
    std::string view = "all";
    bool json = false;
    bool allowHostDrives = false;
    bool help = false;
    std::vector<SAction> actions;
    std::optional<int> button; // list page button pressed instead of Apply
    std::optional<int> link;   // html page link followed instead of Apply
    std::optional<bool> confirm; // --yes / --no
    std::vector<std::string> answers;
    // A script routine still running after this long is stopped; zero: no limit.
    std::chrono::milliseconds timeout{60000};
};

// False with `error` set for a command line that cannot be run.
bool ParseOptions(const std::vector<std::string>& args, SOptions& options, std::string& error);

const char* UsageText();

} // namespace cva::cli

#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cva::app {

// One thing done on a plugin's page, as `cva-cli apply` takes it: a box checked, a text
// typed, a row chosen, or the button or link pressed instead of Apply.
struct SPresetAction {
    enum class EKind { Check, Text, Select, RowCheck, Combo, Button, Link };
    EKind m_kind = EKind::Check;
    int m_index = 0;
    std::string m_value; // Check and RowCheck: "0" or "1"; Text and Combo: the text
    bool operator==(const SPresetAction&) const = default;
};

// A plugin (a file name in the plugin folder, or a path) and what to do on its page; the
// answers go to the script's questions in order.
struct SPresetPlugin {
    std::string m_plugin;
    std::vector<SPresetAction> m_actions;
    std::vector<std::string> m_answers;
    bool operator==(const SPresetPlugin&) const = default;
};

// A preset file (docs/presets.md): plugins applied in the order listed.
struct SPreset {
    std::vector<std::string> m_comments; // written at the top, "# " in front of each
    std::vector<SPresetPlugin> m_plugins;
};

// "check 0 1", "text 2 \"400\"", "button 1": an action as a preset line (and a journal
// entry's "action" line) writes it, and back; nullopt for a line that is no action.
std::string FormatPresetAction(const SPresetAction& action);
std::optional<SPresetAction> ParsePresetAction(const std::string& text);

std::string FormatPreset(const SPreset& preset);
// nullopt with `error` ("line 4: ...") for a text that is no preset.
std::optional<SPreset> ParsePreset(const std::string& text, std::string& error);

} // namespace cva::app

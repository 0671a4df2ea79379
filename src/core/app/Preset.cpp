#include "core/app/Preset.h"

#include "core/journal/QuotedWords.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace cva::app {

namespace {

constexpr const char* kMagic = "corvanta-preset 1";

struct SWord {
    SPresetAction::EKind m_kind;
    const char* m_word;
    bool m_hasValue;
};
constexpr SWord kWords[] = {
    {SPresetAction::EKind::Check, "check", true},   {SPresetAction::EKind::Text, "text", true},
    {SPresetAction::EKind::Select, "select", false}, {SPresetAction::EKind::RowCheck, "row-check", true},
    {SPresetAction::EKind::Combo, "combo", true},   {SPresetAction::EKind::Button, "button", false},
    {SPresetAction::EKind::Link, "link", false},
};

bool ParseNumber(const std::string& text, int& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < 0 || parsed > 1000000) return false;
    value = static_cast<int>(parsed);
    return true;
}

std::optional<SPresetAction> ActionFromTokens(const std::vector<std::string>& t) {
    if (t.empty()) return std::nullopt;
    for (const SWord& word : kWords) {
        if (t[0] != word.m_word) continue;
        SPresetAction action;
        action.m_kind = word.m_kind;
        if (t.size() != (word.m_hasValue ? 3u : 2u) || !ParseNumber(t[1], action.m_index)) return std::nullopt;
        if (word.m_hasValue) action.m_value = t[2];
        const bool onOff = word.m_kind == SPresetAction::EKind::Check || word.m_kind == SPresetAction::EKind::RowCheck;
        if (onOff && action.m_value != "0" && action.m_value != "1") return std::nullopt;
        return action;
    }
    return std::nullopt;
}

} // namespace

std::string FormatPresetAction(const SPresetAction& action) {
    for (const SWord& word : kWords) {
        if (word.m_kind != action.m_kind) continue;
        std::string out = std::string(word.m_word) + " " + std::to_string(action.m_index);
        if (action.m_kind == SPresetAction::EKind::Check || action.m_kind == SPresetAction::EKind::RowCheck)
            out += " " + action.m_value;
        else if (word.m_hasValue)
            out += " " + journal::QuoteWord(action.m_value);
        return out;
    }
    return {};
}

std::optional<SPresetAction> ParsePresetAction(const std::string& text) {
    const auto tokens = journal::SplitWords(text);
    return tokens ? ActionFromTokens(*tokens) : std::nullopt;
}

std::string FormatPreset(const SPreset& preset) {
    std::string out = std::string(kMagic) + "\n";
    for (const std::string& comment : preset.m_comments) out += "# " + comment + "\n";
    for (const SPresetPlugin& plugin : preset.m_plugins) {
        out += "\nplugin " + journal::QuoteWord(plugin.m_plugin) + "\n";
        for (const SPresetAction& action : plugin.m_actions) out += "    " + FormatPresetAction(action) + "\n";
        for (const std::string& answer : plugin.m_answers) out += "    answer " + journal::QuoteWord(answer) + "\n";
    }
    return out;
}

std::optional<SPreset> ParsePreset(const std::string& text, std::string& error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(number) + ": " + why;
        return std::nullopt;
    };
    auto strip = [](std::string& s) {
        if (!s.empty() && s.back() == '\r') s.pop_back();
    };
    ++number;
    if (!std::getline(in, line)) return fail("the file is empty, not a preset");
    strip(line);
    if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    if (line != kMagic) {
        if (line.rfind("corvanta-preset ", 0) == 0) return fail("a preset of a later version (" + line + ")");
        return fail("not a preset (the first line is not \"" + std::string(kMagic) + "\")");
    }
    SPreset preset;
    while (std::getline(in, line)) {
        ++number;
        strip(line);
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        const auto tokens = journal::SplitWords(line);
        if (!tokens) return fail("an unclosed quote or a bad %XX escape");
        const std::vector<std::string>& t = *tokens;
        if (t[0] == "plugin") {
            if (t.size() != 2 || t[1].empty()) return fail("plugin takes one name");
            preset.m_plugins.push_back({t[1], {}, {}});
        } else if (preset.m_plugins.empty()) {
            return fail("\"" + t[0] + "\" before the first plugin line");
        } else if (t[0] == "answer") {
            if (t.size() != 2) return fail("answer takes one text");
            preset.m_plugins.back().m_answers.push_back(t[1]);
        } else if (auto action = ActionFromTokens(t)) {
            SPresetPlugin& plugin = preset.m_plugins.back();
            const bool presses = action->m_kind == SPresetAction::EKind::Button ||
                                 action->m_kind == SPresetAction::EKind::Link;
            for (const SPresetAction& earlier : plugin.m_actions)
                if (presses && (earlier.m_kind == SPresetAction::EKind::Button ||
                                earlier.m_kind == SPresetAction::EKind::Link))
                    return fail("a plugin presses one button or link at most");
            plugin.m_actions.push_back(*action);
        } else {
            return fail("not an action: " + line.substr(first));
        }
    }
    return preset;
}

} // namespace cva::app

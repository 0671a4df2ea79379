#include "core/app/PresetHistory.h"

#include "core/journal/JournalStore.h"
#include "core/pages/PageSnapshot.h"
#include "core/registry/MRU.h"
#include "platform/text/Unicode.h"

#include <set>

namespace cva::app {

namespace {

using EKind = SPresetAction::EKind;

bool Reachable(const pages::SItemSnapshot& item) { return item.m_visible && item.m_enabled; }

void AddItemActions(const pages::SPageSnapshot& page, std::vector<SPresetAction>& out) {
    for (const pages::SItemSnapshot& item : page.m_items) {
        if (!Reachable(item)) continue;
        const int i = item.m_index;
        if (item.m_kind == "check") {
            // A three-state box left between its states is not something to ask for.
            if (page.m_kind == "multi" && item.m_value != "0" && item.m_value != "1" && !item.m_value.empty())
                continue;
            if (item.m_checked == 0 || item.m_checked == 1)
                out.push_back({EKind::Check, i, std::to_string(item.m_checked)});
        } else if (item.m_kind == "radio") {
            // A radio button is cleared by choosing another one.
            if (item.m_checked == 1) out.push_back({EKind::Select, i, {}});
        } else if (item.m_kind == "edit" || item.m_kind == "spin" || item.m_kind == "slider") {
            out.push_back({EKind::Text, i, item.m_value});
        } else if (item.m_kind == "combo" || item.m_kind == "DROPLIST") {
            if (!item.m_value.empty()) out.push_back({EKind::Combo, i, item.m_value});
        }
    }
}

std::string NameOf(const std::string& historyLine) {
    const size_t mark = historyLine.find('?');
    std::string name = mark == std::string::npos ? historyLine : historyLine.substr(0, mark);
    const size_t first = name.find_first_not_of(" \t");
    const size_t last = name.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
}

} // namespace

std::vector<SPresetAction> ActionsFromPage(const pages::SPageSnapshot& page, int first, int second) {
    std::vector<SPresetAction> out;
    if (page.m_kind == "check" || page.m_kind == "radio" || page.m_kind == "edit" || page.m_kind == "multi") {
        AddItemActions(page, out);
    } else if (page.m_kind == "list") {
        if (page.m_checkBoxes)
            for (size_t r = 0; r < page.m_rows.size(); ++r)
                out.push_back({EKind::RowCheck, static_cast<int>(r), page.m_rows[r].m_checked ? "1" : "0"});
        if (page.m_selectedRow >= 0) out.push_back({EKind::Select, page.m_selectedRow, {}});
        if (first != 0) out.push_back({EKind::Button, first, {}});
    } else if (page.m_kind == "html") {
        out.push_back({EKind::Link, second, {}});
    }
    return out;
}

SPreset PresetFromHistory(const std::string& historyFolder) {
    SPreset preset;
    registry::CMRU history(historyFolder);
    history.Load("applied.ini", -1);
    const std::vector<journal::SJournalEntry> entries = journal::CJournalStore(historyFolder).List();
    const std::set<std::string> undone = journal::UndoneEntries(entries);
    std::set<std::string> seen;
    // The history is newest first; a preset repeats the applies in the order they were made.
    for (auto line = history.Items().rbegin(); line != history.Items().rend(); ++line) {
        const std::string name = NameOf(*line);
        if (name.empty() || !seen.insert(text::ToUpperUtf8(name)).second) continue;
        // The newest apply of the page that stands: undoing a later one put its state back.
        const journal::SJournalEntry* found = nullptr;
        bool anyApply = false;
        for (const journal::SJournalEntry& e : entries) {
            if (e.m_kind != "apply" || e.m_routine != "OnApply" || e.m_actions.empty() ||
                !text::EqualsNoCaseUtf8(e.m_plugin, name))
                continue;
            anyApply = true;
            if (!undone.count(e.m_id)) {
                found = &e;
                break;
            }
        }
        if (!found) {
            preset.m_comments.push_back(name + (anyApply ? " is left out: its applies were undone"
                                                         : " is left out: the journal does not tell what its "
                                                           "page was given"));
            continue;
        }
        SPresetPlugin plugin{name, {}, {}};
        for (const std::string& text : found->m_actions)
            if (auto action = ParsePresetAction(text)) plugin.m_actions.push_back(*action);
        preset.m_plugins.push_back(std::move(plugin));
    }
    return preset;
}

} // namespace cva::app

#include "cli/cli/CliOutput.h"

#include "core/app/ApplicationView.h"
#include "core/app/PluginCatalogue.h"
#include "core/app/UserPrompts.h"
#include "core/plugin/PluginFile.h"

#include <cstdio>

namespace cva::cli {

namespace {

std::string Int(int value) {
    return std::to_string(value);
}

const char* Bool(bool value) {
    return value ? "true" : "false";
}

std::string JsonStrings(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ",";
        out += JsonString(items[i]);
    }
    return out + "]";
}

std::string LeafFile(const app::CPluginCatalogue& catalogue, int data) {
    if (!catalogue.IsValidIndex(data)) return {};
    return plugin::PluginFileName(catalogue.m_plugins[static_cast<size_t>(data)].path);
}

void TreeText(const app::CPluginCatalogue& catalogue, const app::CCatalogueTree& tree,
              app::HTREEITEM parent, int depth, std::string& out) {
    for (app::HTREEITEM item : tree.Children(parent)) {
        out.append(static_cast<size_t>(depth) * 2, ' ');
        out += tree.GetItemText(item);
        const std::string file = LeafFile(catalogue, tree.GetItemData(item));
        if (!file.empty()) out += "  [" + file + "]";
        out += "\n";
        TreeText(catalogue, tree, item, depth + 1, out);
    }
}

std::string TreeJson(const app::CPluginCatalogue& catalogue, const app::CCatalogueTree& tree,
                     app::HTREEITEM parent) {
    std::string out = "[";
    bool first = true;
    for (app::HTREEITEM item : tree.Children(parent)) {
        if (!first) out += ",";
        first = false;
        const std::string file = LeafFile(catalogue, tree.GetItemData(item));
        out += "{\"text\":" + JsonString(tree.GetItemText(item)) +
               ",\"plugin\":" + (file.empty() ? std::string("null") : JsonString(file)) +
               ",\"children\":" + TreeJson(catalogue, tree, item) + "}";
    }
    return out + "]";
}

std::string ItemCaption(const pages::SItemSnapshot& item) {
    return item.m_caption.empty() ? item.m_label : item.m_caption;
}

bool IsCheckable(const pages::SItemSnapshot& item) {
    return item.m_kind == "check" || item.m_kind == "radio";
}

// The list page has no Apply button of its own: its button 0 applies.
bool ApplyEnabled(const pages::SPageSnapshot& page) {
    if (page.m_hasApply) return page.m_applyEnabled;
    for (const pages::SButtonSnapshot& button : page.m_buttons)
        if (button.m_number == 0) return button.m_visible && button.m_enabled && page.m_controlsEnabled;
    return false;
}

std::string MessageLine(const SMessage& message) {
    // The program's own name on its boxes tells nothing; other titles go before the text.
    std::string out = "[" + message.type + "] ";
    if (!message.title.empty() && message.title != app::kAppTitle)
        out += message.title + (message.text.empty() ? "" : ": ");
    out += message.text + "\n";
    if (message.type == "input") {
        if (message.defaulted) out += "  -> cancelled (defaulted: no --answer given)\n";
        else out += "  -> \"" + message.answer + "\"\n";
    } else if (message.defaulted) {
        out += "  -> " + message.answer + " (defaulted: no fitting answer given)\n";
    } else if (message.type == "confirm") {
        out += "  -> " + message.answer + "\n";
    }
    return out;
}

} // namespace


std::string CatalogueToText(const app::CPluginCatalogue& catalogue) {
    std::string out;
    for (int i = 0; i < catalogue.GetFolderCount(); ++i) {
        const app::SOutBarFolder& folder = catalogue.Folder(i);
        out += folder.name + "\n";
        TreeText(catalogue, folder.tree, app::kTreeRoot, 1, out);
    }
    if (out.empty()) out = "(the catalogue is empty)\n";
    return out;
}

std::string CatalogueToJson(const app::CPluginCatalogue& catalogue, const std::string& view) {
    std::string out = "{\"view\":" + JsonString(view) + ",\"pluginFolder\":" +
                      JsonString(catalogue.PluginFolder()) + ",\"folders\":[";
    for (int i = 0; i < catalogue.GetFolderCount(); ++i) {
        const app::SOutBarFolder& folder = catalogue.Folder(i);
        if (i) out += ",";
        out += "{\"name\":" + JsonString(folder.name) + ",\"tree\":" +
               TreeJson(catalogue, folder.tree, app::kTreeRoot) + "}";
    }
    return out + "]}\n";
}

std::string ReportToText(const SPageReport& r) {
    const pages::SPageSnapshot& p = r.page;
    std::string out;
    for (const SMessage& message : r.messages) out += MessageLine(message);
    if (!r.action.empty())
        out += std::string("pressed: ") + r.action +
               (!r.applied ? " (nothing was applied)" : r.dryRun ? " (dry run)" : "") + "\n";
    out += "plugin: " + r.plugin + "\n";
    out += "kind: " + r.kind + "\n";
    out += "header: " + r.header + "\n";
    out += "level: " + Int(r.level) + " (" + app::LevelName(r.level) + ")\n";
    if (!p.m_windowEnabled || !p.m_controlsEnabled) out += "page: disabled\n";
    out += "description: " + p.m_description + "\n";
    for (const pages::SItemSnapshot& item : p.m_items) {
        out += "item " + Int(item.m_index) + ": " + JsonString(ItemCaption(item));
        if (!item.m_kind.empty() && item.m_kind != "check" && item.m_kind != "radio" && item.m_kind != "edit")
            out += " (" + item.m_kind + ")";
        out += item.m_visible ? " shown" : " hidden";
        out += item.m_enabled ? " enabled" : " disabled";
        if (IsCheckable(item)) out += " checked=" + Int(item.m_checked);
        else out += " value=" + JsonString(item.m_value);
        if (!item.m_entries.empty())
            out += " entries=" + JsonStrings(item.m_entries) + " selected=" + Int(item.m_curSel);
        if (item.m_hasRange) out += " range=" + Int(item.m_min) + ".." + Int(item.m_max);
        out += "\n";
    }
    for (size_t i = 0; i < p.m_rows.size(); ++i) {
        const pages::SRowSnapshot& row = p.m_rows[i];
        out += "row " + std::to_string(i) + ":";
        if (p.m_checkBoxes) out += row.m_checked ? " [x]" : " [ ]";
        for (const std::string& column : row.m_columns) out += " | " + column;
        out += " | data=" + Int(row.m_data) + (row.m_selected ? " (selected)" : "") + "\n";
    }
    for (const pages::SButtonSnapshot& b : p.m_buttons) {
        out += "button " + Int(b.m_number) + ": " + JsonString(b.m_caption) +
               (b.m_visible ? " shown" : " hidden") + (b.m_enabled ? " enabled" : " disabled") + "\n";
    }
    if (p.m_kind == "html") out += "html: " + p.m_html + "\n";
    out += std::string("apply: ") + (ApplyEnabled(p) ? "enabled" : "disabled") + "\n";
    if (r.dryRun) {
        if (r.changes.empty()) {
            out += "dry run: No changes\n";
        } else {
            const size_t n = r.changes.size();
            out += "dry run: " + std::to_string(n) + (n == 1 ? " change" : " changes") + " (nothing was changed)\n";
            out += journal::DiffToText(r.changes);
        }
    }
    return out;
}

std::string ReportToJson(const SPageReport& r) {
    const pages::SPageSnapshot& p = r.page;
    std::string out = "{\"plugin\":" + JsonString(r.plugin) + ",\"kind\":" + JsonString(r.kind) +
                      ",\"header\":" + JsonString(r.header) + ",\"level\":" + Int(r.level) +
                      ",\"levelName\":" + JsonString(app::LevelName(r.level)) +
                      ",\"description\":" + JsonString(p.m_description) +
                      ",\"pageEnabled\":" + Bool(p.m_windowEnabled && p.m_controlsEnabled) +
                      ",\"applyEnabled\":" + Bool(ApplyEnabled(p)) + ",\"items\":[";
    for (size_t i = 0; i < p.m_items.size(); ++i) {
        const pages::SItemSnapshot& item = p.m_items[i];
        if (i) out += ",";
        out += "{\"index\":" + Int(item.m_index) + ",\"type\":" + JsonString(item.m_kind) +
               ",\"caption\":" + JsonString(ItemCaption(item)) + ",\"visible\":" + Bool(item.m_visible) +
               ",\"enabled\":" + Bool(item.m_enabled) + ",\"checked\":" + Int(item.m_checked) +
               ",\"value\":" + JsonString(item.m_value);
        if (!item.m_entries.empty() || item.m_kind == "combo" || item.m_kind == "DROPLIST")
            out += ",\"entries\":" + JsonStrings(item.m_entries) + ",\"selected\":" + Int(item.m_curSel);
        if (item.m_hasRange) out += ",\"min\":" + Int(item.m_min) + ",\"max\":" + Int(item.m_max);
        out += "}";
    }
    out += "],\"rows\":[";
    for (size_t i = 0; i < p.m_rows.size(); ++i) {
        const pages::SRowSnapshot& row = p.m_rows[i];
        if (i) out += ",";
        out += "{\"columns\":" + JsonStrings(row.m_columns) + ",\"checked\":" + Int(row.m_checked ? 1 : 0) +
               ",\"data\":" + Int(row.m_data) + ",\"selected\":" + Bool(row.m_selected) + "}";
    }
    out += "],\"buttons\":[";
    for (size_t i = 0; i < p.m_buttons.size(); ++i) {
        const pages::SButtonSnapshot& b = p.m_buttons[i];
        if (i) out += ",";
        out += "{\"number\":" + Int(b.m_number) + ",\"caption\":" + JsonString(b.m_caption) +
               ",\"visible\":" + Bool(b.m_visible) + ",\"enabled\":" + Bool(b.m_enabled) + "}";
    }
    out += "],\"html\":" + JsonString(p.m_kind == "html" ? p.m_html : std::string()) + ",\"messages\":[";
    for (size_t i = 0; i < r.messages.size(); ++i) {
        const SMessage& m = r.messages[i];
        if (i) out += ",";
        out += "{\"type\":" + JsonString(m.type) + ",\"title\":" + JsonString(m.title) +
               ",\"text\":" + JsonString(m.text) +
               ",\"answer\":" + JsonString(m.answer) + ",\"defaulted\":" + Bool(m.defaulted) + "}";
    }
    out += "]";
    if (!r.action.empty())
        out += ",\"pressed\":" + JsonString(r.action) + ",\"applied\":" + Bool(r.applied);
    out += ",\"scriptErrors\":" + Int(r.scriptErrors);
    if (r.dryRun) out += ",\"dryRun\":true,\"changes\":" + journal::DiffToJson(r.changes);
    return out + "}\n";
}

} // namespace cva::cli

#include "core/pages/PageSnapshot.h"

#include <cstdio>

namespace cva::pages {

namespace {

const char* Bool(bool value) { return value ? "true" : "false"; }

std::string Int(int value) { return std::to_string(value); }

std::string StringArray(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ",";
        out += JsonString(items[i]);
    }
    return out + "]";
}

std::string ItemJson(const SItemSnapshot& item) {
    std::string out = "{\"index\":" + Int(item.m_index) + ",\"kind\":" + JsonString(item.m_kind) +
                      ",\"label\":" + JsonString(item.m_label) + ",\"caption\":" + JsonString(item.m_caption) +
                      ",\"visible\":" + Bool(item.m_visible) + ",\"enabled\":" + Bool(item.m_enabled) +
                      ",\"checked\":" + Int(item.m_checked) + ",\"threeState\":" + Bool(item.m_threeState) +
                      ",\"value\":" + JsonString(item.m_value);
    if (!item.m_entries.empty() || item.m_curSel != -1) {
        out += ",\"entries\":" + StringArray(item.m_entries) + ",\"curSel\":" + Int(item.m_curSel);
    }
    if (item.m_hasRange) out += ",\"min\":" + Int(item.m_min) + ",\"max\":" + Int(item.m_max);
    if (item.m_digitsOnly) out += ",\"digitsOnly\":true";
    out += std::string(",\"browse\":{\"visible\":") + Bool(item.m_browseVisible) +
           ",\"enabled\":" + Bool(item.m_browseEnabled) + ",\"style\":" + Int(item.m_browseStyle) + "}}";
    return out;
}

} // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string SnapshotToJson(const SPageSnapshot& s) {
    std::string out = "{\"page\":" + Int(s.m_pageIndex) + ",\"kind\":" + JsonString(s.m_kind) +
                      ",\"pluginFile\":" + JsonString(s.m_pluginFile) + ",\"description\":" +
                      JsonString(s.m_description) + ",\"visible\":" + Bool(s.m_visible) +
                      ",\"windowEnabled\":" + Bool(s.m_windowEnabled) + ",\"controlsEnabled\":" +
                      Bool(s.m_controlsEnabled);
    if (s.m_hasApply) out += std::string(",\"applyEnabled\":") + Bool(s.m_applyEnabled);
    out += ",\"items\":[";
    for (size_t i = 0; i < s.m_items.size(); ++i) {
        if (i) out += ",";
        out += ItemJson(s.m_items[i]);
    }
    out += "]";
    if (s.m_kind == "list" || s.m_kind == "main") {
        out += ",\"columnCount\":" + Int(s.m_columnCount) + ",\"checkBoxes\":" + Bool(s.m_checkBoxes) +
               ",\"selectedRow\":" + Int(s.m_selectedRow) + ",\"rows\":[";
        for (size_t i = 0; i < s.m_rows.size(); ++i) {
            const SRowSnapshot& row = s.m_rows[i];
            if (i) out += ",";
            out += "{\"columns\":" + StringArray(row.m_columns) + ",\"checked\":" + Bool(row.m_checked) +
                   ",\"data\":" + Int(row.m_data) + ",\"selected\":" + Bool(row.m_selected) + "}";
        }
        out += "],\"buttons\":[";
        for (size_t i = 0; i < s.m_buttons.size(); ++i) {
            const SButtonSnapshot& b = s.m_buttons[i];
            if (i) out += ",";
            out += "{\"number\":" + Int(b.m_number) + ",\"caption\":" + JsonString(b.m_caption) +
                   ",\"visible\":" + Bool(b.m_visible) + ",\"enabled\":" + Bool(b.m_enabled) + "}";
        }
        out += "]";
    }
    if (s.m_kind == "html" || s.m_kind == "main") out += ",\"html\":" + JsonString(s.m_html);
    if (s.m_kind == "main") out += ",\"tab\":" + Int(s.m_tab);
    return out + "}";
}

std::string SnapshotToText(const SPageSnapshot& s) {
    std::string out = "page " + Int(s.m_pageIndex) + " (" + s.m_kind + ")";
    if (!s.m_windowEnabled || !s.m_controlsEnabled) out += " [disabled]";
    out += "\n";
    if (!s.m_description.empty()) out += "description: " + s.m_description + "\n";
    for (const SItemSnapshot& item : s.m_items) {
        if (!item.m_visible && item.m_value.empty() && item.m_checked == 0 && !item.m_browseVisible) continue;
        out += "item " + Int(item.m_index) + " " + (item.m_kind.empty() ? "-" : item.m_kind);
        if (!item.m_visible) out += " (hidden)";
        if (!item.m_enabled) out += " (disabled)";
        if (!item.m_label.empty()) out += " label=" + JsonString(item.m_label);
        if (!item.m_caption.empty()) out += " caption=" + JsonString(item.m_caption);
        if (item.m_kind == "check" || item.m_kind == "radio") out += " checked=" + Int(item.m_checked);
        else out += " value=" + JsonString(item.m_value);
        if (!item.m_entries.empty()) {
            out += " entries=" + StringArray(item.m_entries) + " sel=" + Int(item.m_curSel);
        }
        if (item.m_hasRange) out += " range=" + Int(item.m_min) + ".." + Int(item.m_max);
        if (item.m_browseVisible) out += " [Browse..]";
        out += "\n";
    }
    for (size_t i = 0; i < s.m_rows.size(); ++i) {
        const SRowSnapshot& row = s.m_rows[i];
        out += "row " + std::to_string(i);
        if (s.m_checkBoxes) out += row.m_checked ? " [x]" : " [ ]";
        if (row.m_selected) out += " *";
        for (const std::string& column : row.m_columns) out += " | " + column;
        out += " (data " + Int(row.m_data) + ")\n";
    }
    for (const SButtonSnapshot& b : s.m_buttons) {
        if (!b.m_visible) continue;
        out += "button " + Int(b.m_number) + " " + JsonString(b.m_caption) + (b.m_enabled ? "" : " (disabled)") + "\n";
    }
    if (!s.m_html.empty()) out += "html: " + s.m_html + "\n";
    if (s.m_hasApply) out += std::string("apply: ") + (s.m_applyEnabled ? "enabled" : "disabled") + "\n";
    return out;
}

} // namespace cva::pages

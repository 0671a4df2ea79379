#pragma once

#include <string>
#include <vector>

namespace cva::pages {

// One item of a page as a reader sees it. Fields a kind does not have keep their
// defaults (empty texts, -1 selections, no range).
struct SItemSnapshot {
    int m_index = 0;
    // "check", "radio", "edit", or for multi items the plugin's kind name ("spin", ...);
    // empty for an inactive multi item.
    std::string m_kind;
    std::string m_label;   // label beside the item (edit, multi)
    std::string m_caption; // caption of the item's own button (check, radio boxes)
    bool m_visible = false;
    bool m_enabled = true;
    int m_checked = 0;     // as IsItemChecked answers
    bool m_threeState = false;
    std::string m_value;   // as GetItemText answers (edit and multi)
    std::vector<std::string> m_entries; // combo entries
    int m_curSel = -1;
    bool m_hasRange = false;
    int m_min = 0;
    int m_max = 0;
    bool m_digitsOnly = false;
    bool m_browseVisible = false;
    bool m_browseEnabled = true;
    int m_browseStyle = 0; // 1 file, 2 folder, anything else does nothing
};

struct SRowSnapshot {
    std::vector<std::string> m_columns;
    bool m_checked = false;
    int m_data = 0;
    bool m_selected = false;
};

struct SButtonSnapshot {
    int m_number = 0;
    std::string m_caption;
    bool m_visible = false;
    bool m_enabled = true;
    bool m_icon = false;
};

// Everything a text view, a test or a window needs to show one page, read in one go.
struct SPageSnapshot {
    int m_pageIndex = 0;
    std::string m_kind; // "main", "check", "edit", "radio", "list", "multi", "html"
    std::string m_pluginFile;
    std::string m_description;
    bool m_visible = true;
    bool m_windowEnabled = true;
    bool m_controlsEnabled = true;
    bool m_hasApply = false;
    bool m_applyEnabled = false;
    std::vector<SItemSnapshot> m_items;
    // List page.
    int m_columnCount = 0;
    // Column headings the plugin names ("Column" + N keys); empty where it names none.
    std::vector<std::string> m_columnHeadings;
    bool m_checkBoxes = false;
    std::vector<SRowSnapshot> m_rows;
    int m_selectedRow = -1;
    std::vector<SButtonSnapshot> m_buttons;
    // Html page content, or the start page's header.
    std::string m_html;
    // Start page: the selected tab (0 Recent, 1 Favorites, 2 Used).
    int m_tab = 0;
};

// A JSON string literal (quotes and escapes) of UTF-8 text.
std::string JsonString(const std::string& text);

} // namespace cva::pages

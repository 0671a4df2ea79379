#pragma once

#include <string>

namespace cva::pages {

// What changed on an item; the view reads the new state from the page's snapshot.
enum class EItemChange {
    Label,        // label text (edit and multi pages; spin and slider range captions)
    Caption,      // caption of the item's own button (check, radio, multi check/radio)
    Visible,
    Enabled,
    Value,        // text, position or combo edit text
    Check,        // check state, three-state mode included
    Entries,      // combo entries
    Selection,    // combo selection
    Range,        // spin or slider range
    Browse,       // browse button shown, hidden, enabled or restyled
    Kind,         // multi item rebuilt for another kind
};

// A page tells its view about every change of its state; a view that shows only part
// of a page ignores the rest. User actions travel the other way, through the page's
// own methods. Pages never hold widgets.
class IPageView {
public:
    virtual ~IPageView() = default;

    virtual void ItemChanged(int index, EItemChange change) { (void)index; (void)change; }
    // List page: rows inserted, deleted or all rebuilt; one row's texts, check or data.
    virtual void RowsChanged() {}
    virtual void RowChanged(int row) { (void)row; }
    virtual void ColumnsChanged(int columnCount) { (void)columnCount; }
    virtual void RowSelectionChanged(int row) { (void)row; }
    virtual void CheckBoxesChanged(bool on) { (void)on; }
    // List page buttons 0 to 2.
    virtual void ButtonChanged(int button) { (void)button; }
    virtual void ApplyEnabledChanged(bool enabled) { (void)enabled; }
    virtual void ControlsEnabledChanged(bool enabled) { (void)enabled; }
    virtual void PageEnabledChanged(bool enabled) { (void)enabled; }
    virtual void PageVisibleChanged(bool visible) { (void)visible; }
    virtual void DescriptionChanged(const std::string& text) { (void)text; }
    // Html page content, start page header.
    virtual void HtmlChanged(const std::string& text) { (void)text; }
    virtual void HeaderChanged(const std::string& text) { (void)text; }
    // Start page: the tab and its rows.
    virtual void StartTabChanged(int tab) { (void)tab; }
};

} // namespace cva::pages

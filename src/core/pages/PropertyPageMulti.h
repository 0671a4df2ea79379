#pragma once

#include "core/pages/MultiCtrl.h"
#include "core/pages/PropertyPageBase.h"

#include <array>

namespace cva::pages {

// A "multi" plugin: up to five labelled items, each one of eight input kinds. Every
// user action is reported to the script at once through "OnEvent", so the script can
// react while the user edits; spin and slider items show their range in their label.
class CPropertyPageMulti : public CPropertyPageBase {
public:
    static constexpr int kItems = 5;
    // The text of the template's placeholders, which a multi-control takes as caption.
    static constexpr const char* kPlaceholderText = "Static";

    CPropertyPageMulti();

    int PageIndex() const override { return PAGE_MULTI; }
    void LoadItems(const std::string& pluginFile) override;
    void AfterInit() override;
    void SetItemText(int index, const std::string& text) override;
    std::string GetItemText(int index) override;
    void CheckItem(int index, int check) override;
    int IsItemChecked(int index) override;
    void EnableItem(int index, int enable) override;
    void SetItemTextEx(int index, int subindex, const std::string& text) override;
    std::string GetItemTextEx(int index, int subindex) override;
    void SetCurSel(int index, int value) override;
    int GetCurSel(int index) override;

    bool HasApplyButton() const override { return true; }
    // Reports the click through "OnEvent" first, then applies.
    bool ClickApply() override;

    // User actions; each reports through "OnEvent" as the page's controls would.
    bool ClickItem(int index);                        // check, radio, push button
    // Clicks a check or radio item until it shows `checked` (0 or 1), as a user does: a
    // three-state box passes its indeterminate state on the way, each click reported.
    // False when the item takes no clicks or never gets there (a radio is not cleared).
    bool ClickItemTo(int index, int checked);
    bool EditText(int index, const std::string& text); // edit, spin, combo typing
    bool SelectEntry(int index, int entry);           // combo, drop-down list
    bool SpinStep(int index, int delta);              // up-down arrows
    bool MoveSlider(int index, int position);         // dragging: label only, no report yet
    bool ReleaseSlider(int index);                    // mouse released: reported
    bool ClickBrowse(int index);

    // Which item's placeholder holds the keyboard focus (-1: none, or an input control
    // has it); the number "OnEvent" receives.
    void SetFocusItem(int index) { m_nFocusItem = index; }
    // Range captions are refreshed only while the program has the keyboard focus.
    void SetProgramHasFocus(bool focus) { m_bProgramHasFocus = focus; }

    // Out-of-range indexes read as an inactive item with an empty label.
    const CMultiCtrl& Control(int index) const;
    const std::string& Label(int index) const;

    SPageSnapshot Snapshot() const override;

protected:
    void EnableChildControls(bool enable) override;

private:
    struct SItem {
        std::string m_label;
        bool m_labelVisible = false;
        bool m_placeholderVisible = false;
        bool m_browseVisible = false;
        bool m_browseEnabled = true;
        int m_browseStyle = 0;
    };
    static bool InRange(int index) { return index >= 0 && index < kItems; }
    CMultiCtrl& Ctrl(int index) { return m_ctrls[static_cast<size_t>(index)]; }
    SItem& Item(int index) { return m_items[static_cast<size_t>(index)]; }
    bool AcceptsItemInput(int index) const;
    // Sets a value the way the page's controls would report it: an edit field reports
    // every text it is given.
    void SetValueOf(int index, const std::string& text);
    // The page's command hook: a command from any of its controls.
    void Command();
    void ReportEvent(int item);
    // Enables Apply and rewrites the range labels.
    void RefreshCaptions();
    void RefreshRangeLabels();
    void SetLabel(int index, const std::string& text);

    std::array<CMultiCtrl, kItems> m_ctrls;
    std::array<SItem, kItems> m_items;
    int m_nFocusItem = -1;
    bool m_bProgramHasFocus = true;
    bool m_bLoading = false;
    bool m_bInEvent = false;
};

} // namespace cva::pages

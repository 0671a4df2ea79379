#pragma once

#include "core/pages/PropertyPageBase.h"

#include <array>
#include <vector>

namespace cva::pages {

// "list" and "checklist" plugins: rows the script builds at run time, one to three
// buttons that hand the script the pressed button and the selected row. The rows carry
// check boxes only on checklist plugins; their state is kept either way.
class CPropertyPageList : public CPropertyPageBase {
public:
    static constexpr int kButtons = 3;

    int PageIndex() const override { return PAGE_LIST; }
    void LoadItems(const std::string& pluginFile) override;
    void AfterInit() override;
    void SetItemText(int index, const std::string& text) override;
    std::string GetItemText(int index) override;
    void CheckItem(int index, int check) override;
    int IsItemChecked(int index) override;
    int GetItemCount() override;
    void SetItemTextEx(int index, int subindex, const std::string& text) override;
    void SetItemData(int index, int data) override;
    int GetItemData(int index) override;

    // ShowPage switches the check boxes on for "checklist" plugins, off for "list".
    void SetCheckBoxes(bool on);
    bool HasCheckBoxes() const { return m_bCheckBoxes; }
    int ColumnCount() const { return m_nColumns; }
    const std::vector<std::string>& ColumnHeadings() const { return m_headings; }
    int SelectedRow() const { return m_nSelected; }

    // User actions. Button 0's enabled state is the page's Apply state.
    bool ClickButton(int button);
    bool ClickApply() override { return ClickButton(0); }
    bool SelectRow(int row); // -1 clears the selection
    bool ToggleRowCheck(int row);
    // The list's context menu; its commands are greyed (false) without check boxes.
    bool ContextMenuEnabled() const { return m_bCheckBoxes && AcceptsInput(); }
    bool CheckAll() { return SetAllChecks(0); }
    bool CheckNone() { return SetAllChecks(1); }
    bool CheckInvert() { return SetAllChecks(2); }

    SPageSnapshot Snapshot() const override;

protected:
    void EnableChildControls(bool enable) override;

private:
    struct SRow {
        std::vector<std::string> m_columns;
        bool m_checked = false;
        int m_data = 0;
    };
    struct SButton {
        std::string m_caption;
        bool m_visible = false;
        bool m_enabled = true;
        bool m_icon = false;
    };
    bool InRange(int index) const { return index >= 0 && index < static_cast<int>(m_rows.size()); }
    bool ButtonIsApply() const;
    // Any change of a row (text, check, data, selection) makes button 0 available.
    void RowChanged(int row);
    bool SetAllChecks(int mode);

    std::vector<SRow> m_rows;
    int m_nColumns = 1;
    std::vector<std::string> m_headings{""};
    int m_nSelected = -1;
    bool m_bCheckBoxes = false;
    std::array<SButton, kButtons> m_buttons;
};

} // namespace cva::pages

#include "core/pages/PropertyPageList.h"

#include "platform/ini/IniFile.h"
#include "platform/text/Unicode.h"

namespace cva::pages {

void CPropertyPageList::LoadItems(const std::string& pluginFile) {
    CPropertyPageBase::LoadItems(pluginFile);
    auto file = LoadPluginFile(pluginFile);
    const ini::CIniFile* ini = file ? &*file : nullptr;
    m_nItemCount = ini ? ini->GetInt("interface", "count", 0) : 0;
    m_rows.clear();
    m_nSelected = -1;
    m_nColumns = 1 + (m_nItemCount > 0 ? m_nItemCount : 0);
    // The list has no column header unless the plugin names a column: "Column0" for the
    // rows' own text, "Column1" and on for the extra columns.
    m_headings.assign(static_cast<size_t>(m_nColumns), std::string());
    for (int c = 0; c < m_nColumns; ++c) {
        std::string heading = ReadKey(ini, "Column", c, "none");
        if (!IsNone(heading)) m_headings[static_cast<size_t>(c)] = heading;
    }
    if (m_pView) {
        m_pView->RowsChanged();
        m_pView->ColumnsChanged(m_nColumns);
        m_pView->RowSelectionChanged(-1);
    }
    for (int n = 0; n < kButtons; ++n) {
        SButton& button = m_buttons[static_cast<size_t>(n)];
        std::string text = ReadKey(ini, "Text", n, "none");
        if (!IsNone(text)) {
            button.m_caption = text;
            button.m_visible = true;
        } else if (n == 0) {
            button.m_caption = "Apply";
            button.m_visible = true;
        } else {
            button.m_visible = false;
        }
    }
    m_buttons[0].m_icon = ButtonIsApply();
    for (int n = 0; n < kButtons; ++n) {
        if (m_pView) m_pView->ButtonChanged(n);
    }
}

bool CPropertyPageList::ButtonIsApply() const {
    return text::EqualsNoCaseUtf8(m_buttons[0].m_caption, "Apply");
}

// A button 0 with its own caption is a command, not an apply: it stays usable.
void CPropertyPageList::AfterInit() {
    if (ButtonIsApply()) {
        SetApplyEnabled(false);
        if (m_pView) m_pView->ButtonChanged(0);
    }
}

void CPropertyPageList::RowChanged(int row) {
    if (m_pView) {
        if (row >= 0) m_pView->RowChanged(row);
        else m_pView->RowsChanged();
    }
    if (!m_bApplyEnabled) {
        SetApplyEnabled(true);
        if (m_pView) m_pView->ButtonChanged(0);
    }
}

void CPropertyPageList::SetItemText(int index, const std::string& text) {
    if (InRange(index)) {
        if (text.empty()) {
            m_rows.erase(m_rows.begin() + index);
            if (m_nSelected == index) m_nSelected = -1;
            else if (m_nSelected > index) --m_nSelected;
            RowChanged(-1);
            return;
        }
        m_rows[static_cast<size_t>(index)].m_columns[0] = text;
        RowChanged(index);
        return;
    }
    // A negative position names no place in the list; such a call adds nothing.
    if (index < 0) return;
    SRow row;
    row.m_columns.assign(static_cast<size_t>(m_nColumns), std::string());
    row.m_columns[0] = text;
    m_rows.push_back(std::move(row));
    RowChanged(-1);
}

std::string CPropertyPageList::GetItemText(int index) {
    if (!InRange(index)) return {};
    return m_rows[static_cast<size_t>(index)].m_columns[0];
}

void CPropertyPageList::CheckItem(int index, int check) {
    if (!InRange(index)) return;
    m_rows[static_cast<size_t>(index)].m_checked = check != 0;
    RowChanged(index);
}

int CPropertyPageList::IsItemChecked(int index) {
    if (!InRange(index)) return -1;
    return m_rows[static_cast<size_t>(index)].m_checked ? 1 : 0;
}

int CPropertyPageList::GetItemCount() { return static_cast<int>(m_rows.size()); }

// Columns past the last one have nowhere to show; they are not stored either.
void CPropertyPageList::SetItemTextEx(int index, int subindex, const std::string& text) {
    if (!InRange(index) || subindex < 0 || subindex >= m_nColumns) return;
    m_rows[static_cast<size_t>(index)].m_columns[static_cast<size_t>(subindex)] = text;
    RowChanged(index);
}

void CPropertyPageList::SetItemData(int index, int data) {
    if (!InRange(index)) return;
    m_rows[static_cast<size_t>(index)].m_data = data;
    RowChanged(index);
}

int CPropertyPageList::GetItemData(int index) {
    if (!InRange(index)) return 0;
    return m_rows[static_cast<size_t>(index)].m_data;
}

void CPropertyPageList::SetCheckBoxes(bool on) {
    if (m_bCheckBoxes == on) return;
    m_bCheckBoxes = on;
    if (m_pView) m_pView->CheckBoxesChanged(on);
}

void CPropertyPageList::EnableChildControls(bool enable) {
    for (int n = 0; n < kButtons; ++n) {
        m_buttons[static_cast<size_t>(n)].m_enabled = enable;
        if (n == 0) SetApplyEnabled(enable);
        if (m_pView) m_pView->ButtonChanged(n);
    }
}

bool CPropertyPageList::ClickButton(int button) {
    if (button < 0 || button >= kButtons || !AcceptsInput()) return false;
    const SButton& pressed = m_buttons[static_cast<size_t>(button)];
    bool enabled = button == 0 ? m_bApplyEnabled : pressed.m_enabled;
    if (!pressed.m_visible || !enabled) return false;
    bool isApply = button == 0 && ButtonIsApply();
    if (isApply && !Confirm()) return false;
    CallApply(button, m_nSelected);
    if (isApply) {
        SetApplyEnabled(false);
        if (m_pView) m_pView->ButtonChanged(0);
    }
    RecordApplied();
    return true;
}

bool CPropertyPageList::SelectRow(int row) {
    if (!AcceptsInput() || (row != -1 && !InRange(row))) return false;
    if (m_nSelected == row) return true;
    m_nSelected = row;
    if (m_pView) m_pView->RowSelectionChanged(row);
    RowChanged(row);
    return true;
}

bool CPropertyPageList::ToggleRowCheck(int row) {
    if (!m_bCheckBoxes || !AcceptsInput() || !InRange(row)) return false;
    m_rows[static_cast<size_t>(row)].m_checked = !m_rows[static_cast<size_t>(row)].m_checked;
    RowChanged(row);
    return true;
}

bool CPropertyPageList::SetAllChecks(int mode) {
    if (!ContextMenuEnabled()) return false;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        SRow& row = m_rows[i];
        row.m_checked = mode == 0 ? true : mode == 1 ? false : !row.m_checked;
        RowChanged(static_cast<int>(i));
    }
    return true;
}

SPageSnapshot CPropertyPageList::Snapshot() const {
    SPageSnapshot snapshot;
    FillSnapshotBase(snapshot, "list");
    snapshot.m_columnCount = m_nColumns;
    snapshot.m_columnHeadings = m_headings;
    snapshot.m_checkBoxes = m_bCheckBoxes;
    snapshot.m_selectedRow = m_nSelected;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        SRowSnapshot row;
        row.m_columns = m_rows[i].m_columns;
        row.m_checked = m_rows[i].m_checked;
        row.m_data = m_rows[i].m_data;
        row.m_selected = static_cast<int>(i) == m_nSelected;
        snapshot.m_rows.push_back(std::move(row));
    }
    for (int n = 0; n < kButtons; ++n) {
        const SButton& button = m_buttons[static_cast<size_t>(n)];
        SButtonSnapshot out;
        out.m_number = n;
        out.m_caption = button.m_caption;
        out.m_visible = button.m_visible;
        out.m_enabled = n == 0 ? m_bApplyEnabled : button.m_enabled;
        out.m_icon = button.m_icon;
        snapshot.m_buttons.push_back(std::move(out));
    }
    return snapshot;
}

} // namespace cva::pages

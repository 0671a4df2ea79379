#include "core/pages/PropertyPageRadio.h"

#include "platform/ini/IniFile.h"

namespace cva::pages {

void CPropertyPageRadio::LoadItems(const std::string& pluginFile) {
    CPropertyPageBase::LoadItems(pluginFile);
    auto file = LoadPluginFile(pluginFile);
    for (int i = 0; i < kItems; ++i) {
        SButton& button = m_buttons[static_cast<size_t>(i)];
        button.m_checked = false;
        std::string text = ReadKey(file ? &*file : nullptr, "Text", i, "none");
        if (!IsNone(text)) button.m_caption = text;
        button.m_visible = !IsNone(text);
        NotifyItem(i, EItemChange::Check);
        NotifyItem(i, EItemChange::Caption);
        NotifyItem(i, EItemChange::Visible);
    }
}

void CPropertyPageRadio::AfterInit() { SetApplyEnabled(false); }

// Only the addressed button changes: a script moving the selection clears the old
// button itself, and until it does two buttons may read as checked.
void CPropertyPageRadio::CheckItem(int index, int check) {
    if (!InRange(index)) return;
    m_buttons[static_cast<size_t>(index)].m_checked = check != 0;
    NotifyItem(index, EItemChange::Check);
}

int CPropertyPageRadio::IsItemChecked(int index) {
    if (!InRange(index)) return -1;
    return m_buttons[static_cast<size_t>(index)].m_checked ? 1 : 0;
}

void CPropertyPageRadio::EnableItem(int index, int enable) {
    if (!InRange(index)) return;
    m_buttons[static_cast<size_t>(index)].m_enabled = enable != 0;
    NotifyItem(index, EItemChange::Enabled);
}

void CPropertyPageRadio::EnableChildControls(bool enable) {
    for (int i = 0; i < kItems; ++i) {
        if (m_buttons[static_cast<size_t>(i)].m_enabled == enable) continue;
        m_buttons[static_cast<size_t>(i)].m_enabled = enable;
        NotifyItem(i, EItemChange::Enabled);
    }
}

bool CPropertyPageRadio::ClickItem(int index) {
    if (!InRange(index) || !AcceptsInput()) return false;
    SButton& clicked = m_buttons[static_cast<size_t>(index)];
    if (!clicked.m_visible || !clicked.m_enabled) return false;
    for (int i = 0; i < kItems; ++i) {
        bool checked = i == index;
        if (m_buttons[static_cast<size_t>(i)].m_checked == checked) continue;
        m_buttons[static_cast<size_t>(i)].m_checked = checked;
        NotifyItem(i, EItemChange::Check);
    }
    SetApplyEnabled(true);
    return true;
}

bool CPropertyPageRadio::ClickApply() {
    return ApplyWithOneButton();
}

SPageSnapshot CPropertyPageRadio::Snapshot() const {
    SPageSnapshot snapshot;
    FillSnapshotBase(snapshot, "radio");
    for (int i = 0; i < kItems; ++i) {
        const SButton& button = m_buttons[static_cast<size_t>(i)];
        SItemSnapshot item;
        item.m_index = i;
        item.m_kind = "radio";
        item.m_caption = button.m_caption;
        item.m_visible = button.m_visible;
        item.m_enabled = button.m_enabled;
        item.m_checked = button.m_checked ? 1 : 0;
        snapshot.m_items.push_back(std::move(item));
    }
    return snapshot;
}

} // namespace cva::pages

#include "core/pages/PropertyPageEdit.h"

#include "platform/ini/IniFile.h"

namespace cva::pages {

void CPropertyPageEdit::LoadItems(const std::string& pluginFile) {
    CPropertyPageBase::LoadItems(pluginFile);
    auto file = LoadPluginFile(pluginFile);
    const ini::CIniFile* ini = file ? &*file : nullptr;
    for (int i = 0; i < kItems; ++i) {
        SField& field = m_fields[static_cast<size_t>(i)];
        SetFieldText(i, {});
        std::string text = ReadKey(ini, "Text", i, "none");
        int style = ReadKeyInt(ini, "Style", i, 0);
        if (style != 0 && style != 3) {
            field.m_browseStyle = style;
            field.m_browseVisible = true;
            field.m_digitsOnly = false;
        } else {
            field.m_browseVisible = false;
            field.m_digitsOnly = style == 3;
        }
        if (IsNone(text)) {
            field.m_visible = false;
            field.m_browseVisible = false;
        } else {
            field.m_label = text;
            field.m_visible = true;
        }
        NotifyItem(i, EItemChange::Label);
        NotifyItem(i, EItemChange::Visible);
        NotifyItem(i, EItemChange::Browse);
    }
}

void CPropertyPageEdit::AfterInit() { SetApplyEnabled(false); }

void CPropertyPageEdit::SetFieldText(int index, const std::string& text) {
    m_fields[static_cast<size_t>(index)].m_text = text;
    NotifyItem(index, EItemChange::Value);
    SetApplyEnabled(true);
}

// Hidden fields still hold text: a script may keep values in them.
void CPropertyPageEdit::SetItemText(int index, const std::string& text) {
    if (!InRange(index)) return;
    SetFieldText(index, text);
}

std::string CPropertyPageEdit::GetItemText(int index) {
    if (!InRange(index)) return {};
    return m_fields[static_cast<size_t>(index)].m_text;
}

void CPropertyPageEdit::EnableItem(int index, int enable) {
    if (!InRange(index)) return;
    m_fields[static_cast<size_t>(index)].m_enabled = enable != 0;
    NotifyItem(index, EItemChange::Enabled);
}

void CPropertyPageEdit::EnableChildControls(bool enable) {
    for (int i = 0; i < kItems; ++i) {
        if (m_fields[static_cast<size_t>(i)].m_enabled == enable) continue;
        m_fields[static_cast<size_t>(i)].m_enabled = enable;
        NotifyItem(i, EItemChange::Enabled);
    }
}

bool CPropertyPageEdit::EditText(int index, const std::string& text) {
    if (!InRange(index) || !AcceptsInput()) return false;
    const SField& field = m_fields[static_cast<size_t>(index)];
    if (!field.m_visible || !field.m_enabled) return false;
    if (field.m_digitsOnly && text.find_first_not_of("0123456789") != std::string::npos) return false;
    SetFieldText(index, text);
    return true;
}

bool CPropertyPageEdit::ClickBrowse(int index) {
    if (!InRange(index) || !AcceptsInput()) return false;
    const SField& field = m_fields[static_cast<size_t>(index)];
    if (!field.m_browseVisible || !field.m_enabled) return false;
    std::optional<std::string> picked = Browse(field.m_browseStyle, index);
    if (!picked || picked->empty()) return false;
    SetFieldText(index, *picked);
    return true;
}

bool CPropertyPageEdit::ClickApply() {
    return ApplyWithOneButton();
}

SPageSnapshot CPropertyPageEdit::Snapshot() const {
    SPageSnapshot snapshot;
    FillSnapshotBase(snapshot, "edit");
    for (int i = 0; i < kItems; ++i) {
        const SField& field = m_fields[static_cast<size_t>(i)];
        SItemSnapshot item;
        item.m_index = i;
        item.m_kind = "edit";
        item.m_label = field.m_label;
        item.m_visible = field.m_visible;
        item.m_enabled = field.m_enabled;
        item.m_value = field.m_text;
        item.m_digitsOnly = field.m_digitsOnly;
        item.m_browseVisible = field.m_browseVisible;
        item.m_browseEnabled = field.m_enabled;
        item.m_browseStyle = field.m_browseStyle;
        snapshot.m_items.push_back(std::move(item));
    }
    return snapshot;
}

} // namespace cva::pages

#include "core/pages/PropertyPageCheck.h"

#include "core/pages/PageView.h"
#include "platform/ini/IniFile.h"

namespace cva::pages {

void CPropertyPageCheck::LoadItems(const std::string& pluginFile) {
    CPropertyPageBase::LoadItems(pluginFile);
    auto file = LoadPluginFile(pluginFile);
    for (int i = 0; i < kItems; ++i) {
        SBox& box = m_boxes[static_cast<size_t>(i)];
        box.m_checked = false;
        std::string text = ReadKey(file ? &*file : nullptr, "Text", i, "none");
        // A hidden box keeps its old caption: only shown boxes are ever read by a user.
        if (!IsNone(text)) box.m_caption = text;
        box.m_visible = !IsNone(text);
        NotifyItem(i, EItemChange::Check);
        NotifyItem(i, EItemChange::Caption);
        NotifyItem(i, EItemChange::Visible);
    }
}

void CPropertyPageCheck::AfterInit() { SetApplyEnabled(false); }

void CPropertyPageCheck::CheckItem(int index, int check) {
    if (!InRange(index)) return;
    m_boxes[static_cast<size_t>(index)].m_checked = check != 0;
    NotifyItem(index, EItemChange::Check);
}

int CPropertyPageCheck::IsItemChecked(int index) {
    if (!InRange(index)) return -1;
    return m_boxes[static_cast<size_t>(index)].m_checked ? 1 : 0;
}

void CPropertyPageCheck::EnableItem(int index, int enable) {
    if (!InRange(index)) return;
    m_boxes[static_cast<size_t>(index)].m_enabled = enable != 0;
    NotifyItem(index, EItemChange::Enabled);
}

void CPropertyPageCheck::EnableChildControls(bool enable) {
    for (int i = 0; i < kItems; ++i) {
        if (m_boxes[static_cast<size_t>(i)].m_enabled == enable) continue;
        m_boxes[static_cast<size_t>(i)].m_enabled = enable;
        NotifyItem(i, EItemChange::Enabled);
    }
}

bool CPropertyPageCheck::ClickItem(int index) {
    if (!InRange(index) || !AcceptsInput()) return false;
    SBox& box = m_boxes[static_cast<size_t>(index)];
    if (!box.m_visible || !box.m_enabled) return false;
    box.m_checked = !box.m_checked;
    NotifyItem(index, EItemChange::Check);
    SetApplyEnabled(true);
    return true;
}

bool CPropertyPageCheck::ClickApply() {
    if (!m_bApplyEnabled || !AcceptsInput()) return false;
    if (!Confirm()) return false;
    // Scripts written for this page expect 124 as the first argument; every other
    // page passes 0.
    CallApply(124, 0);
    SetApplyEnabled(false);
    RecordApplied();
    return true;
}

SPageSnapshot CPropertyPageCheck::Snapshot() const {
    SPageSnapshot snapshot;
    FillSnapshotBase(snapshot, "check");
    for (int i = 0; i < kItems; ++i) {
        const SBox& box = m_boxes[static_cast<size_t>(i)];
        SItemSnapshot item;
        item.m_index = i;
        item.m_kind = "check";
        item.m_caption = box.m_caption;
        item.m_visible = box.m_visible;
        item.m_enabled = box.m_enabled;
        item.m_checked = box.m_checked ? 1 : 0;
        snapshot.m_items.push_back(std::move(item));
    }
    return snapshot;
}

} // namespace cva::pages

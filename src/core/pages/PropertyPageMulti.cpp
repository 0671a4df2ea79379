#include "core/pages/PropertyPageMulti.h"

#include "platform/ini/IniFile.h"

#include <cstdio>
#include <cstdlib>

namespace cva::pages {

namespace {

// "min,max" split at the first comma; without one the whole text is the minimum.
void ParseRange(const std::string& style, int& minimum, int& maximum) {
    size_t comma = style.find(',');
    minimum = std::atoi(style.substr(0, comma).c_str());
    maximum = comma == std::string::npos ? 0 : std::atoi(style.substr(comma + 1).c_str());
}

std::string BareLabel(const std::string& label) {
    std::string bare = label.substr(0, label.find('['));
    while (!bare.empty() && (bare.back() == ' ' || bare.back() == '\t')) bare.pop_back();
    return bare;
}

} // namespace

CPropertyPageMulti::CPropertyPageMulti() {
    for (CMultiCtrl& ctrl : m_ctrls) {
        ctrl.SetCaption(kPlaceholderText);
        ctrl.SetFlags(ctrl.Flags() | MCF_NOCAPTION);
    }
}

const CMultiCtrl& CPropertyPageMulti::Control(int index) const {
    static const CMultiCtrl kNone;
    return InRange(index) ? m_ctrls[static_cast<size_t>(index)] : kNone;
}

const std::string& CPropertyPageMulti::Label(int index) const {
    static const std::string kEmpty;
    return InRange(index) ? m_items[static_cast<size_t>(index)].m_label : kEmpty;
}

void CPropertyPageMulti::SetLabel(int index, const std::string& text) {
    if (Item(index).m_label == text) return;
    Item(index).m_label = text;
    NotifyItem(index, EItemChange::Label);
}

void CPropertyPageMulti::LoadItems(const std::string& pluginFile) {
    CPropertyPageBase::LoadItems(pluginFile);
    auto file = LoadPluginFile(pluginFile);
    const ini::CIniFile* ini = file ? &*file : nullptr;
    // Emptying the items must not report to a script: the one loaded is still the
    // previous plugin's.
    m_bLoading = true;
    int firstRadio = -1;
    for (int i = 0; i < kItems; ++i) {
        CMultiCtrl& ctrl = Ctrl(i);
        SItem& item = Item(i);
        ctrl.SetValue({});
        ctrl.SetActive(false);
        // A button item shows the placeholder's own text, never the caption a check
        // item of the previous plugin left behind.
        ctrl.SetCaption(kPlaceholderText);
        SetLabel(i, {});
        item.m_labelVisible = false;
        item.m_placeholderVisible = false;
        item.m_browseVisible = false;
        NotifyItem(i, EItemChange::Visible);
        NotifyItem(i, EItemChange::Browse);

        int kind = CMultiCtrl::KindFromName(ReadKey(ini, "Type", i, "none"));
        if (kind == MULTI_NONE) continue;
        ctrl.SetType(kind);
        ctrl.SetActive(true);
        NotifyItem(i, EItemChange::Kind);
        std::string text = ReadKey(ini, "Text", i, "none");
        if (kind == MULTI_EDIT || kind == MULTI_COMBO) {
            int style = ReadKeyInt(ini, "Style", i, 0);
            if (style != 0 && style != 3) {
                item.m_browseStyle = style;
                item.m_browseVisible = true;
            }
            NotifyItem(i, EItemChange::Browse);
        } else if (kind == MULTI_SPIN || kind == MULTI_SLIDER) {
            int minimum = 0;
            int maximum = 0;
            ParseRange(ReadKey(ini, "Style", i, "0,100"), minimum, maximum);
            ctrl.SetRange(minimum, maximum);
            NotifyItem(i, EItemChange::Range);
        }
        if (!IsNone(text)) {
            std::string label = text;
            if (kind == MULTI_CHECK || kind == MULTI_RADIO) {
                ctrl.SetCaption(text);
                NotifyItem(i, EItemChange::Caption);
                label.clear();
            }
            SetLabel(i, label);
            item.m_labelVisible = true;
            item.m_placeholderVisible = true;
            NotifyItem(i, EItemChange::Visible);
        }
        if (kind == MULTI_RADIO && firstRadio < 0) firstRadio = i;
    }
    if (firstRadio >= 0) {
        Ctrl(firstRadio).SetValue("1");
        NotifyItem(firstRadio, EItemChange::Check);
    }
    m_bLoading = false;
    RefreshCaptions();
}

void CPropertyPageMulti::AfterInit() { SetApplyEnabled(false); }

void CPropertyPageMulti::RefreshCaptions() {
    SetApplyEnabled(true);
    RefreshRangeLabels();
}

void CPropertyPageMulti::RefreshRangeLabels() {
    if (!m_bProgramHasFocus) return;
    char buffer[600];
    for (int i = 0; i < kItems; ++i) {
        const CMultiCtrl& ctrl = Control(i);
        if (!ctrl.HasRange()) continue;
        std::string bare = BareLabel(Item(i).m_label);
        if (ctrl.Type() == MULTI_SLIDER) {
            std::snprintf(buffer, sizeof buffer, "%s   [min:%d -> max:%d, now:%d]", bare.c_str(),
                          ctrl.Minimum(), ctrl.Maximum(), ctrl.Clamp(ctrl.Position()));
        } else if (ctrl.GetValue().empty()) {
            std::snprintf(buffer, sizeof buffer, "%s   [min:%d, max:%d, now:Empty]", bare.c_str(),
                          ctrl.Minimum(), ctrl.Maximum());
        } else {
            std::snprintf(buffer, sizeof buffer, "%s   [min:%d, max:%d, now:%s]", bare.c_str(),
                          ctrl.Minimum(), ctrl.Maximum(), ctrl.GetValue().c_str());
        }
        SetLabel(i, buffer);
    }
}

void CPropertyPageMulti::ReportEvent(int item) {
    // A script that changes an edit item from inside "OnEvent" would otherwise be
    // called again from its own change, without end; one report at a time.
    if (m_bLoading || m_bInEvent) {
        if (!m_bLoading) RefreshCaptions();
        return;
    }
    m_bInEvent = true;
    CallRoutine("OnEvent", item, 0);
    m_bInEvent = false;
    RefreshCaptions();
}

void CPropertyPageMulti::Command() {
    if (!m_bVisible) {
        RefreshCaptions();
        return;
    }
    ReportEvent(m_nFocusItem);
}

void CPropertyPageMulti::SetValueOf(int index, const std::string& text) {
    CMultiCtrl& ctrl = Ctrl(index);
    ctrl.SetValue(text);
    NotifyItem(index, ctrl.HasButton() ? EItemChange::Check
                      : ctrl.HasCombo() ? EItemChange::Selection
                                        : EItemChange::Value);
    if (ctrl.IsActive() && (ctrl.Type() == MULTI_EDIT || ctrl.Type() == MULTI_SPIN)) Command();
}

void CPropertyPageMulti::SetItemText(int index, const std::string& text) {
    if (!InRange(index)) return;
    SetValueOf(index, text);
    RefreshCaptions();
}

std::string CPropertyPageMulti::GetItemText(int index) {
    if (!InRange(index)) return {};
    return Ctrl(index).GetValue();
}

void CPropertyPageMulti::CheckItem(int index, int check) {
    if (!InRange(index)) return;
    if (check == 0) {
        SetValueOf(index, {});
        return;
    }
    SetValueOf(index, "1");
    if (Ctrl(index).Type() != MULTI_RADIO || !Ctrl(index).IsActive()) return;
    for (int i = 0; i < kItems; ++i) {
        if (i != index && Ctrl(i).Type() == MULTI_RADIO) SetValueOf(i, {});
    }
}

int CPropertyPageMulti::IsItemChecked(int index) {
    if (!InRange(index)) return -1;
    return Ctrl(index).GetValue() == "1" ? 1 : 0;
}

void CPropertyPageMulti::EnableItem(int index, int enable) {
    if (!InRange(index)) return;
    Ctrl(index).SetEnabled(enable != 0);
    Item(index).m_browseEnabled = enable != 0;
    NotifyItem(index, EItemChange::Enabled);
    NotifyItem(index, EItemChange::Browse);
}

void CPropertyPageMulti::EnableChildControls(bool enable) {
    for (int i = 0; i < kItems; ++i) {
        Ctrl(i).SetEnabled(enable);
        Item(i).m_browseEnabled = enable;
        NotifyItem(i, EItemChange::Enabled);
        NotifyItem(i, EItemChange::Browse);
    }
}

void CPropertyPageMulti::SetItemTextEx(int index, int subindex, const std::string& text) {
    if (!InRange(index) || !Ctrl(index).HasCombo()) return;
    Ctrl(index).SetEntry(subindex, text);
    NotifyItem(index, EItemChange::Entries);
}

std::string CPropertyPageMulti::GetItemTextEx(int index, int subindex) {
    if (!InRange(index)) return {};
    return Ctrl(index).EntryText(subindex);
}

void CPropertyPageMulti::SetCurSel(int index, int value) {
    if (!InRange(index) || !Ctrl(index).HasCombo()) return;
    Ctrl(index).SetCurSel(value);
    NotifyItem(index, EItemChange::Selection);
}

int CPropertyPageMulti::GetCurSel(int index) {
    if (!InRange(index) || !Ctrl(index).HasCombo()) return -1;
    return Ctrl(index).CurSel();
}

bool CPropertyPageMulti::AcceptsItemInput(int index) const {
    if (!InRange(index) || !AcceptsInput()) return false;
    const CMultiCtrl& ctrl = Control(index);
    return ctrl.IsActive() && ctrl.IsEnabled() && m_items[static_cast<size_t>(index)].m_placeholderVisible;
}

bool CPropertyPageMulti::ClickItem(int index) {
    if (!AcceptsItemInput(index)) return false;
    CMultiCtrl& ctrl = Ctrl(index);
    int kind = ctrl.Type();
    if (kind != MULTI_CHECK && kind != MULTI_RADIO && kind != MULTI_BUTTON) return false;
    ctrl.UserClick();
    if (kind == MULTI_RADIO) {
        for (int i = 0; i < kItems; ++i) {
            if (i == index || Ctrl(i).Type() != MULTI_RADIO || Ctrl(i).CheckState() == 0) continue;
            Ctrl(i).SetValue({});
            NotifyItem(i, EItemChange::Check);
        }
    }
    if (kind != MULTI_BUTTON) NotifyItem(index, EItemChange::Check);
    Command();
    return true;
}

bool CPropertyPageMulti::ClickItemTo(int index, int checked) {
    const int kind = Control(index).Type();
    if (kind != MULTI_CHECK && kind != MULTI_RADIO) return false;
    // Three clicks take a three-state box through all its states; the script's OnEvent
    // may also set the item, so the state is read again after each click.
    for (int clicks = 0;; ++clicks) {
        if (Control(index).CheckState() == checked) return true;
        if (clicks == 3 || !ClickItem(index)) return false;
    }
}

bool CPropertyPageMulti::EditText(int index, const std::string& text) {
    if (!AcceptsItemInput(index)) return false;
    CMultiCtrl& ctrl = Ctrl(index);
    int kind = ctrl.Type();
    if (kind != MULTI_EDIT && kind != MULTI_SPIN && kind != MULTI_COMBO) return false;
    ctrl.UserType(text);
    NotifyItem(index, EItemChange::Value);
    if (kind == MULTI_COMBO) {
        // The combo box tells the page twice: once through the refresh command it
        // sends first, then with its own notification passed on.
        Command();
        RefreshCaptions();
    }
    Command();
    return true;
}

bool CPropertyPageMulti::SelectEntry(int index, int entry) {
    if (!AcceptsItemInput(index) || !Ctrl(index).HasCombo()) return false;
    if (entry < 0 || entry >= static_cast<int>(Ctrl(index).Entries().size())) return false;
    Ctrl(index).UserSelect(entry);
    NotifyItem(index, EItemChange::Selection);
    Command();
    RefreshCaptions();
    Command();
    return true;
}

bool CPropertyPageMulti::SpinStep(int index, int delta) {
    if (!AcceptsItemInput(index) || Ctrl(index).Type() != MULTI_SPIN) return false;
    Ctrl(index).UserSpin(delta);
    NotifyItem(index, EItemChange::Value);
    Command();
    return true;
}

bool CPropertyPageMulti::MoveSlider(int index, int position) {
    if (!AcceptsItemInput(index) || Ctrl(index).Type() != MULTI_SLIDER) return false;
    Ctrl(index).UserSlide(position);
    NotifyItem(index, EItemChange::Value);
    // The label follows the thumb; the script hears of the move when it is released.
    RefreshRangeLabels();
    return true;
}

bool CPropertyPageMulti::ReleaseSlider(int index) {
    if (!AcceptsItemInput(index) || Ctrl(index).Type() != MULTI_SLIDER) return false;
    ReportEvent(-1);
    return true;
}

bool CPropertyPageMulti::ClickBrowse(int index) {
    if (!InRange(index) || !AcceptsInput()) return false;
    const SItem& item = Item(index);
    if (!item.m_browseVisible || !item.m_browseEnabled) return false;
    Command();
    std::optional<std::string> picked = Browse(item.m_browseStyle, index);
    if (!picked || picked->empty()) return false;
    SetValueOf(index, *picked);
    return true;
}

bool CPropertyPageMulti::ClickApply() {
    if (!m_bApplyEnabled || !AcceptsInput()) return false;
    // The click itself is an event the script hears before it applies.
    Command();
    return ApplyWithOneButton();
}

SPageSnapshot CPropertyPageMulti::Snapshot() const {
    SPageSnapshot snapshot;
    FillSnapshotBase(snapshot, "multi");
    for (int i = 0; i < kItems; ++i) {
        const CMultiCtrl& ctrl = Control(i);
        const SItem& source = m_items[static_cast<size_t>(i)];
        SItemSnapshot item;
        item.m_index = i;
        item.m_kind = ctrl.IsActive() ? CMultiCtrl::KindName(ctrl.Type()) : "";
        item.m_label = source.m_label;
        item.m_caption = ctrl.IsActive() ? ctrl.ButtonText() : std::string();
        item.m_visible = ctrl.IsActive() && source.m_placeholderVisible;
        item.m_enabled = ctrl.IsEnabled();
        item.m_value = ctrl.GetValue();
        item.m_checked = item.m_value == "1" ? 1 : 0;
        item.m_threeState = ctrl.IsThreeState();
        if (ctrl.HasCombo()) {
            item.m_entries = ctrl.Entries();
            item.m_curSel = ctrl.CurSel();
        }
        if (ctrl.HasRange()) {
            item.m_hasRange = true;
            item.m_min = ctrl.Minimum();
            item.m_max = ctrl.Maximum();
        }
        item.m_browseVisible = source.m_browseVisible;
        item.m_browseEnabled = source.m_browseEnabled;
        item.m_browseStyle = source.m_browseStyle;
        snapshot.m_items.push_back(std::move(item));
    }
    return snapshot;
}

} // namespace cva::pages

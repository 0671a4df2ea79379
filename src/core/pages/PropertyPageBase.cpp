#include "core/pages/PropertyPageBase.h"

#include "core/app/UserPrompts.h"
#include "core/pages/PageOwner.h"
#include "core/pages/PageView.h"
#include "platform/ini/IniFile.h"
#include "platform/text/Unicode.h"

#include <cstdio>

namespace cva::pages {

namespace {
// The pages read their keys into buffers of this many characters.
constexpr uint32_t kKeyBuffer = 260;
} // namespace

std::optional<SPageForType> PageForType(const std::string& type) {
    struct SKind {
        const char* m_name;
        int m_page;
        bool m_checkBoxes;
    };
    static constexpr SKind kKinds[] = {
        {"check", PAGE_CHECK, false}, {"edit", PAGE_EDIT, false},  {"radio", PAGE_RADIO, false},
        {"list", PAGE_LIST, false},   {"checklist", PAGE_LIST, true}, {"multi", PAGE_MULTI, false},
        {"html", PAGE_HTML, false},
    };
    std::optional<SPageForType> found;
    for (const SKind& kind : kKinds) {
        size_t length = std::char_traits<char>::length(kind.m_name);
        if (type.size() < length || !text::EqualsNoCaseUtf8(type.substr(0, length), kind.m_name)) continue;
        found = SPageForType{kind.m_page, kind.m_checkBoxes};
    }
    return found;
}

void CPropertyPageBase::SetItemText(int, const std::string&) {}
std::string CPropertyPageBase::GetItemText(int) { return {}; }
void CPropertyPageBase::CheckItem(int, int) {}
int CPropertyPageBase::IsItemChecked(int) { return 0; }
int CPropertyPageBase::GetItemCount() { return m_nItemCount; }
void CPropertyPageBase::EnableItem(int, int) {}
void CPropertyPageBase::SetItemTextEx(int, int, const std::string&) {}
// The description and the item labels stay readable on a disabled page; every other
// control follows the request, which also undoes the script's EnableItem calls of the
// previous plugin when ShowPage enables the page again.
void CPropertyPageBase::EnableControls(bool enable) {
    bool changed = m_bControlsEnabled != enable;
    m_bControlsEnabled = enable;
    EnableChildControls(enable);
    if (HasApplyButton()) SetApplyEnabled(enable);
    if (changed && m_pView) m_pView->ControlsEnabledChanged(enable);
}
void CPropertyPageBase::SetItemData(int, int) {}
int CPropertyPageBase::GetItemData(int) { return 0; }
void CPropertyPageBase::SetCurSel(int, int) {}
int CPropertyPageBase::GetCurSel(int) { return 0; }
std::string CPropertyPageBase::GetItemTextEx(int, int) { return {}; }

void CPropertyPageBase::SetDescription(const std::string& text) {
    m_strDescription = text;
    if (m_pView) m_pView->DescriptionChanged(text);
}

void CPropertyPageBase::SetWindowEnabled(bool enabled) {
    if (m_bWindowEnabled == enabled) return;
    m_bWindowEnabled = enabled;
    if (m_pView) m_pView->PageEnabledChanged(enabled);
}

void CPropertyPageBase::SetVisible(bool visible) {
    if (m_bVisible == visible) return;
    m_bVisible = visible;
    if (m_pView) m_pView->PageVisibleChanged(visible);
}

void CPropertyPageBase::SetApplyEnabled(bool enabled) {
    if (m_bApplyEnabled == enabled) return;
    m_bApplyEnabled = enabled;
    if (m_pView) m_pView->ApplyEnabledChanged(enabled);
}

bool CPropertyPageBase::Confirm() const { return m_pOwner == nullptr || m_pOwner->ConfirmApply(); }

bool CPropertyPageBase::ApplyWithOneButton() {
    if (!m_bApplyEnabled || !AcceptsInput()) return false;
    if (!Confirm()) return false;
    CallApply(0, 0);
    RecordApplied();
    SetApplyEnabled(false);
    return true;
}

bool CPropertyPageBase::ClickPreview() {
    if (!HasApplyButton()) return false;
    const bool enabled = m_bApplyEnabled;
    const bool ran = ClickApply();
    SetApplyEnabled(enabled);
    return ran;
}

void CPropertyPageBase::CallRoutine(const char* name, int first, int second) const {
    if (m_pOwner) m_pOwner->CallRoutine(name, {first, second});
}

void CPropertyPageBase::RecordApplied() const {
    if (m_pOwner) m_pOwner->RecordApplied();
}

std::optional<std::string> CPropertyPageBase::Browse(int style, int index) const {
    app::IUserPrompts* prompts = m_pOwner ? m_pOwner->Prompts() : nullptr;
    if (prompts == nullptr) return std::nullopt;
    if (style == 1) {
        auto file = LoadPluginFile(m_strPluginFile);
        std::string filter = ReadKey(file ? &*file : nullptr, "FILEFILTER", index, "*.*||");
        return prompts->PickFile({}, filter, {});
    }
    if (style == 2) return prompts->PickFolder({}, {});
    return std::nullopt;
}

std::string CPropertyPageBase::ReadKey(const ini::CIniFile* file, const char* name, int index,
                                       const char* defaultValue) {
    if (file == nullptr) return defaultValue;
    char key[64];
    std::snprintf(key, sizeof key, "%s%d", name, index);
    char buffer[kKeyBuffer];
    file->GetProfileString("interface", key, defaultValue, buffer, kKeyBuffer);
    std::string value = buffer;
    // The buffer counts bytes: a long value may be cut inside a character, and half a
    // character would later read as Windows-1252 garbage.
    for (int i = 0; i < 3 && !text::IsValidUtf8(value); ++i) value.pop_back();
    return value;
}

int CPropertyPageBase::ReadKeyInt(const ini::CIniFile* file, const char* name, int index,
                                  int defaultValue) {
    if (file == nullptr) return defaultValue;
    char key[64];
    std::snprintf(key, sizeof key, "%s%d", name, index);
    return file->GetInt("interface", key, defaultValue);
}

std::optional<ini::CIniFile> CPropertyPageBase::LoadPluginFile(const std::string& path) {
    if (path.empty()) return std::nullopt;
    return ini::CIniFile::Load(path);
}

bool CPropertyPageBase::IsNone(const std::string& text) { return text::EqualsNoCaseUtf8(text, "none"); }

SPageSnapshot CPropertyPageBase::Snapshot() const {
    SPageSnapshot snapshot;
    FillSnapshotBase(snapshot, "");
    return snapshot;
}

void CPropertyPageBase::FillSnapshotBase(SPageSnapshot& snapshot, const char* kind) const {
    snapshot.m_pageIndex = PageIndex();
    snapshot.m_kind = kind;
    snapshot.m_pluginFile = m_strPluginFile;
    snapshot.m_description = m_strDescription;
    snapshot.m_visible = m_bVisible;
    snapshot.m_windowEnabled = m_bWindowEnabled;
    snapshot.m_controlsEnabled = m_bControlsEnabled;
    snapshot.m_hasApply = HasApplyButton();
    snapshot.m_applyEnabled = m_bApplyEnabled;
}

} // namespace cva::pages

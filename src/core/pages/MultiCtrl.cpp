#include "core/pages/MultiCtrl.h"

#include "platform/text/Unicode.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace cva::pages {

namespace {

struct SKindName {
    const char* m_name;
    int m_kind;
};
constexpr SKindName kKindNames[] = {
    {"button", MULTI_BUTTON}, {"edit", MULTI_EDIT},   {"spin", MULTI_SPIN},
    {"DROPLIST", MULTI_DROPLIST}, {"combo", MULTI_COMBO}, {"check", MULTI_CHECK},
    {"radio", MULTI_RADIO},   {"slider", MULTI_SLIDER},
};

std::string TrimBlanks(const std::string& s) {
    const char* blanks = " \t\r\n\v\f";
    size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    size_t last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

} // namespace

int CMultiCtrl::KindFromName(const std::string& name) {
    for (const SKindName& entry : kKindNames) {
        if (text::EqualsNoCaseUtf8(name, entry.m_name)) return entry.m_kind;
    }
    return MULTI_NONE;
}

const char* CMultiCtrl::KindName(int kind) {
    for (const SKindName& entry : kKindNames) {
        if (entry.m_kind == kind) return entry.m_name;
    }
    return "";
}

void CMultiCtrl::SetType(int kind) {
    m_nKind = kind;
    m_strValue.clear();
    m_strField.clear();
    m_entries.clear();
    m_nSel = -1;
    m_nCheck = 0;
    m_bThreeState = false;
    m_nPos = 0;
    m_nMin = 0;
    m_nMax = 100;
}

void CMultiCtrl::SetFlags(unsigned int flags) {
    // Losing the inactive mark creates the input control afresh.
    bool rebuild = (m_nFlags & MCF_INACTIVE) != 0 && (flags & MCF_INACTIVE) == 0;
    m_nFlags = flags;
    if (rebuild) SetType(m_nKind);
}

void CMultiCtrl::SetActive(bool active) {
    SetFlags(active ? (m_nFlags & ~MCF_INACTIVE) : (m_nFlags | MCF_INACTIVE));
}

void CMultiCtrl::SetEnabled(bool enabled) {
    SetFlags(enabled ? (m_nFlags & ~MCF_DISABLED) : (m_nFlags | MCF_DISABLED));
}

std::string CMultiCtrl::ButtonText() const {
    if (m_nKind == MULTI_BUTTON) return m_strCaption + "...";
    if (m_nKind == MULTI_CHECK || m_nKind == MULTI_RADIO) return m_strCaption;
    return {};
}

int CMultiCtrl::ParseInt(const std::string& text) {
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str()) return 0;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

int CMultiCtrl::Clamp(int value) const {
    int low = std::min(m_nMin, m_nMax);
    int high = std::max(m_nMin, m_nMax);
    return std::clamp(value, low, high);
}

void CMultiCtrl::SetRange(int minimum, int maximum) {
    m_nMin = minimum;
    m_nMax = maximum;
    if (m_nKind == MULTI_SLIDER) m_nPos = Clamp(m_nPos);
}

int CMultiCtrl::ReadCheckState(const std::string& text) const {
    auto in = [&](const std::vector<std::string>& words) {
        return std::any_of(words.begin(), words.end(),
                           [&](const std::string& w) { return text::EqualsNoCaseUtf8(w, text); });
    };
    if (in(m_unchecked)) return 0;
    if (in(m_checked)) return 1;
    if (in(m_indeterminate)) return 2;
    return 0;
}

void CMultiCtrl::SetValue(const std::string& text) {
    if (!IsActive()) return;
    switch (m_nKind) {
    case MULTI_COMBO:
    case MULTI_DROPLIST:
        if (text.empty()) {
            SetCurSel(-1);
            break;
        }
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (text::EqualsNoCaseUtf8(m_entries[i], text)) {
                SetCurSel(static_cast<int>(i));
                return;
            }
        }
        m_nSel = -1;
        m_strField = m_nKind == MULTI_COMBO ? text : std::string();
        break;
    case MULTI_SPIN:
        if (TrimBlanks(text).empty()) {
            m_strField.clear();
        } else {
            m_strField = std::to_string(Clamp(ParseInt(text)));
        }
        break;
    case MULTI_EDIT:
        m_strField = TrimBlanks(text);
        break;
    case MULTI_CHECK: {
        int state = ReadCheckState(text);
        if (state == 2) m_bThreeState = true;
        m_nCheck = state;
        break;
    }
    case MULTI_RADIO:
        // A radio button has no third state: only "checked" selects it.
        m_nCheck = ReadCheckState(text) == 1 ? 1 : 0;
        break;
    case MULTI_SLIDER:
        m_nPos = Clamp(ParseInt(text));
        break;
    case MULTI_BUTTON:
        m_strValue = text;
        break;
    default:
        break;
    }
}

std::string CMultiCtrl::GetValue() const {
    if (!IsActive()) return {};
    switch (m_nKind) {
    case MULTI_COMBO:
    case MULTI_DROPLIST:
        if (m_nSel >= 0 && m_nSel < static_cast<int>(m_entries.size())) {
            return m_entries[static_cast<size_t>(m_nSel)];
        }
        return m_strField;
    case MULTI_SPIN:
        if (TrimBlanks(m_strField).empty()) return {};
        return std::to_string(Clamp(ParseInt(m_strField)));
    case MULTI_EDIT:
        return TrimBlanks(m_strField);
    case MULTI_CHECK:
        return m_nCheck == 1 ? "1" : m_nCheck == 2 ? "-1" : "";
    case MULTI_RADIO:
        return m_nCheck == 1 ? "1" : "";
    case MULTI_SLIDER:
        return std::to_string(Clamp(m_nPos));
    case MULTI_BUTTON:
        return m_strValue;
    default:
        return {};
    }
}

void CMultiCtrl::SetCurSel(int entry) {
    if (!HasCombo()) return;
    if (entry < 0 || entry >= static_cast<int>(m_entries.size())) {
        // Clearing the selection also clears what the box shows.
        m_nSel = -1;
        m_strField.clear();
        return;
    }
    m_nSel = entry;
    m_strField = m_entries[static_cast<size_t>(entry)];
}

std::string CMultiCtrl::EntryText(int entry) const {
    if (!HasCombo() || entry < 0 || entry >= static_cast<int>(m_entries.size())) return {};
    return m_entries[static_cast<size_t>(entry)];
}

void CMultiCtrl::SetEntry(int entry, const std::string& text) {
    if (!HasCombo()) return;
    if (entry < 0 || entry >= static_cast<int>(m_entries.size())) {
        m_entries.push_back(text);
        return;
    }
    m_entries.erase(m_entries.begin() + entry);
    if (m_nSel == entry) m_nSel = -1;
    else if (m_nSel > entry) --m_nSel;
    if (text.empty()) return;
    m_entries.insert(m_entries.begin() + entry, text);
    if (m_nSel >= entry) ++m_nSel;
}

void CMultiCtrl::UserClick() {
    if (!IsActive() || !IsEnabled()) return;
    if (m_nKind == MULTI_CHECK) {
        m_nCheck = m_bThreeState ? (m_nCheck + 1) % 3 : (m_nCheck == 1 ? 0 : 1);
    } else if (m_nKind == MULTI_RADIO) {
        m_nCheck = 1;
    }
}

void CMultiCtrl::UserType(const std::string& text) {
    if (!IsActive() || !IsEnabled()) return;
    if (m_nKind == MULTI_EDIT || m_nKind == MULTI_SPIN || m_nKind == MULTI_COMBO) {
        m_strField = text;
        if (m_nKind == MULTI_COMBO) m_nSel = -1;
    }
}

void CMultiCtrl::UserSelect(int entry) {
    if (!IsEnabled() || !HasCombo() || entry < 0 || entry >= static_cast<int>(m_entries.size())) return;
    SetCurSel(entry);
}

void CMultiCtrl::UserSpin(int delta) {
    if (!IsActive() || !IsEnabled() || m_nKind != MULTI_SPIN) return;
    int current = Clamp(ParseInt(m_strField));
    long long moved = static_cast<long long>(current) + delta;
    moved = std::clamp<long long>(moved, INT_MIN, INT_MAX);
    m_strField = std::to_string(Clamp(static_cast<int>(moved)));
}

void CMultiCtrl::UserSlide(int position) {
    if (!IsActive() || !IsEnabled() || m_nKind != MULTI_SLIDER) return;
    m_nPos = Clamp(position);
}

} // namespace cva::pages

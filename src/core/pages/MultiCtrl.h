#pragma once

#include <string>
#include <vector>

namespace cva::pages {

// Kind numbers of a multi item; 1 and 8 exist in the numbering but no plugin name
// selects them.
enum EMultiKind : int {
    MULTI_NONE = 0,
    MULTI_BUTTON = 2,
    MULTI_EDIT = 3,
    MULTI_SPIN = 4,
    MULTI_DROPLIST = 5,
    MULTI_COMBO = 6,
    MULTI_CHECK = 7,
    MULTI_RADIO = 9,
    MULTI_SLIDER = 10,
};

// Flag bits of a multi item.
constexpr unsigned int MCF_DISABLED = 2;
constexpr unsigned int MCF_INACTIVE = 4; // no input control exists
constexpr unsigned int MCF_NOCAPTION = 8;

// One item of the multi page: the input control of its kind (edit field, spin field,
// drop-down list, editable combo box, check box, radio button, slider or push button)
// held as state, and the conversion between that control and the item's value text.
class CMultiCtrl {
public:
    // The kind for a plugin's "Type" word (whole word, any case); MULTI_NONE otherwise.
    static int KindFromName(const std::string& name);
    // The plugin's name of a kind ("spin", "DROPLIST", ...); "" for MULTI_NONE.
    static const char* KindName(int kind);

    // A new kind rebuilds the input control: its text, entries, position, range and
    // check state start afresh.
    void SetType(int kind);
    int Type() const { return m_nKind; }
    void SetFlags(unsigned int flags);
    unsigned int Flags() const { return m_nFlags; }
    bool IsActive() const { return (m_nFlags & MCF_INACTIVE) == 0 && m_nKind != MULTI_NONE; }
    void SetActive(bool active);
    bool IsEnabled() const { return (m_nFlags & MCF_DISABLED) == 0; }
    void SetEnabled(bool enabled);

    void SetCaption(const std::string& caption) { m_strCaption = caption; }
    const std::string& Caption() const { return m_strCaption; }
    // What the item's own button shows: check and radio items their caption, a push
    // button the caption followed by "...".
    std::string ButtonText() const;

    void SetValue(const std::string& text);
    std::string GetValue() const;

    // Spin and slider range; the bounds may come in either order.
    void SetRange(int minimum, int maximum);
    int Minimum() const { return m_nMin; }
    int Maximum() const { return m_nMax; }
    bool HasRange() const { return IsActive() && (m_nKind == MULTI_SPIN || m_nKind == MULTI_SLIDER); }
    int Clamp(int value) const;
    // Spin: the field's text, as typed or written; slider: the thumb position.
    const std::string& FieldText() const { return m_strField; }
    int Position() const { return m_nPos; }

    bool HasCombo() const { return IsActive() && (m_nKind == MULTI_COMBO || m_nKind == MULTI_DROPLIST); }
    const std::vector<std::string>& Entries() const { return m_entries; }
    int CurSel() const { return m_nSel; }
    void SetCurSel(int entry);
    std::string EntryText(int entry) const;
    // An empty text deletes an existing entry, any other replaces it; a subindex that
    // addresses no entry appends the text.
    void SetEntry(int entry, const std::string& text);

    // 0 unchecked, 1 checked, 2 indeterminate.
    int CheckState() const { return m_nCheck; }
    bool IsThreeState() const { return m_bThreeState; }
    bool HasButton() const { return IsActive() && (m_nKind == MULTI_CHECK || m_nKind == MULTI_RADIO); }

    // User actions on the input control.
    void UserClick();                        // check box cycles, radio button selects
    void UserType(const std::string& text);  // edit and spin fields, combo edit part
    void UserSelect(int entry);              // combo and drop-down list
    void UserSpin(int delta);                // the up-down arrows
    void UserSlide(int position);            // the slider thumb

private:
    int ReadCheckState(const std::string& text) const;
    static int ParseInt(const std::string& text);

    int m_nKind = MULTI_NONE;
    unsigned int m_nFlags = MCF_INACTIVE;
    std::string m_strCaption;
    std::string m_strValue; // push buttons only store their value
    std::string m_strField; // edit or spin field, combo edit part
    int m_nPos = 0;
    int m_nMin = 0;
    int m_nMax = 100;
    std::vector<std::string> m_entries;
    int m_nSel = -1;
    int m_nCheck = 0;
    bool m_bThreeState = false;
    // The words that read a value as a check state, compared without regard to case.
    std::vector<std::string> m_unchecked{""};
    std::vector<std::string> m_checked{"1"};
    std::vector<std::string> m_indeterminate{"-1"};
};

} // namespace cva::pages

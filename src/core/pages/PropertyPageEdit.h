#pragma once

#include "core/pages/PropertyPageBase.h"

#include <array>

namespace cva::pages {

// An "edit" plugin: up to five labelled one-line fields; a field may take digits only
// or have a browse button that fills it with a chosen file or folder.
class CPropertyPageEdit : public CPropertyPageBase {
public:
    static constexpr int kItems = 5;

    int PageIndex() const override { return PAGE_EDIT; }
    void LoadItems(const std::string& pluginFile) override;
    void AfterInit() override;
    void SetItemText(int index, const std::string& text) override;
    std::string GetItemText(int index) override;
    void EnableItem(int index, int enable) override;

    bool HasApplyButton() const override { return true; }
    bool ClickApply() override;
    // The user typed: the field's whole new text. A digits-only field refuses text
    // with anything but digits (false, field unchanged).
    bool EditText(int index, const std::string& text);
    // The browse button of item index: true when a picked path went into the field.
    bool ClickBrowse(int index);

    SPageSnapshot Snapshot() const override;

protected:
    void EnableChildControls(bool enable) override;

private:
    struct SField {
        std::string m_label;
        std::string m_text;
        bool m_visible = false;       // label and field
        bool m_enabled = true;        // field and browse button together
        bool m_digitsOnly = false;
        bool m_browseVisible = false;
        int m_browseStyle = 0;
    };
    static bool InRange(int index) { return index >= 0 && index < kItems; }
    // Every change of a field's text counts as a change of the page, whoever made it.
    void SetFieldText(int index, const std::string& text);

    std::array<SField, kItems> m_fields;
};

} // namespace cva::pages

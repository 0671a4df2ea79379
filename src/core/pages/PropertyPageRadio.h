#pragma once

#include "core/pages/PropertyPageBase.h"

#include <array>

namespace cva::pages {

// A "radio" plugin: one choice among up to five radio buttons captioned from the
// plugin file; the script selects one in "OnInit" and reads the choice in "OnApply".
class CPropertyPageRadio : public CPropertyPageBase {
public:
    static constexpr int kItems = 5;

    int PageIndex() const override { return PAGE_RADIO; }
    void LoadItems(const std::string& pluginFile) override;
    void AfterInit() override;
    void CheckItem(int index, int check) override;
    int IsItemChecked(int index) override;
    void EnableItem(int index, int enable) override;

    bool HasApplyButton() const override { return true; }
    bool ClickApply() override;
    // The user clicked button index: it is selected, the others of the group cleared.
    bool ClickItem(int index);

    SPageSnapshot Snapshot() const override;

protected:
    void EnableChildControls(bool enable) override;

private:
    struct SButton {
        std::string m_caption;
        bool m_visible = false;
        bool m_enabled = true;
        bool m_checked = false;
    };
    static bool InRange(int index) { return index >= 0 && index < kItems; }

    std::array<SButton, kItems> m_buttons;
};

} // namespace cva::pages

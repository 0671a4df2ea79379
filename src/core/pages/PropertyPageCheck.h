#pragma once

#include "core/pages/PropertyPageBase.h"

#include <array>

namespace cva::pages {

// A "check" plugin: up to seven independent check boxes captioned from the plugin
// file; the script ticks them in "OnInit" and reads them in "OnApply".
class CPropertyPageCheck : public CPropertyPageBase {
public:
    static constexpr int kItems = 7;

    int PageIndex() const override { return PAGE_CHECK; }
    void LoadItems(const std::string& pluginFile) override;
    void AfterInit() override;
    void CheckItem(int index, int check) override;
    int IsItemChecked(int index) override;
    void EnableItem(int index, int enable) override;

    bool HasApplyButton() const override { return true; }
    bool ClickApply() override;
    // The user clicked box index: it toggles and Apply becomes available.
    bool ClickItem(int index);

    SPageSnapshot Snapshot() const override;

protected:
    void EnableChildControls(bool enable) override;

private:
    struct SBox {
        std::string m_caption;
        bool m_visible = false;
        bool m_enabled = true;
        bool m_checked = false;
    };
    static bool InRange(int index) { return index >= 0 && index < kItems; }

    std::array<SBox, kItems> m_boxes;
};

} // namespace cva::pages

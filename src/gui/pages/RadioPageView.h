#pragma once

#include "gui/pages/PageViewBase.h"

#include <array>

class QRadioButton;

namespace cva::pages {
class CPropertyPageRadio;
}

namespace cva::gui {

// The radio page: five radio buttons in a frame, Apply under them, the description below.
// The buttons are not exclusive among themselves: the page decides which are selected
// (a script may select several), and a click is only a request to the page.
class CRadioPageView : public CPageViewBase {
public:
    static constexpr int kItems = 5;
    // Control identifiers of the buttons in item order.
    static constexpr std::array<int, kItems> kItemIds = {1050, 1051, 1052, 1053, 1054};

    CRadioPageView(pages::CPropertyPageRadio& page, QWidget* parent);

    void ItemChanged(int index, pages::EItemChange change) override;

    QRadioButton* Button(int index) const;

protected:
    void SyncAll(const pages::SPageSnapshot& snapshot) override;

private:
    void SyncItem(int index, const pages::SPageSnapshot& snapshot);
    void OnClicked(int index);

    pages::CPropertyPageRadio& m_radio;
    std::array<QRadioButton*, kItems> m_buttons{};
};

} // namespace cva::gui

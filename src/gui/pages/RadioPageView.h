#pragma once

#include "gui/pages/ButtonItemsPageView.h"

#include <array>

class QRadioButton;

namespace cva::pages {
class CPropertyPageRadio;
}

namespace cva::gui {

// The radio page: five radio buttons in a frame, Apply under them, the description below.
// The buttons are not exclusive among themselves: the page decides which are selected
// (a script may select several), and a click is only a request to the page.
class CRadioPageView : public CButtonItemsPageView {
public:
    static constexpr int kItems = 5;
    // Control identifiers of the buttons in item order.
    static constexpr std::array<int, kItems> kItemIds = {1050, 1051, 1052, 1053, 1054};

    CRadioPageView(pages::CPropertyPageRadio& page, QWidget* parent);

    QRadioButton* Button(int index) const;
};

} // namespace cva::gui

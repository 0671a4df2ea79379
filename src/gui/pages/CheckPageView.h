#pragma once

#include "gui/pages/ButtonItemsPageView.h"

#include <array>

class QCheckBox;

namespace cva::pages {
class CPropertyPageCheck;
}

namespace cva::gui {

// The check page: seven check boxes in a frame, Apply under them, the description below.
class CCheckPageView : public CButtonItemsPageView {
public:
    static constexpr int kItems = 7;
    // Control identifiers of the boxes in item order; they are not consecutive.
    static constexpr std::array<int, kItems> kItemIds = {1040, 1041, 1047, 1048, 1049, 1058, 1059};

    CCheckPageView(pages::CPropertyPageCheck& page, QWidget* parent);

    QCheckBox* Box(int index) const;
};

} // namespace cva::gui

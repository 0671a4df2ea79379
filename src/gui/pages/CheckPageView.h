#pragma once

#include "gui/pages/PageViewBase.h"

#include <array>

class QCheckBox;

namespace cva::pages {
class CPropertyPageCheck;
}

namespace cva::gui {

// The check page: seven check boxes in a frame, Apply under them, the description below.
class CCheckPageView : public CPageViewBase {
public:
    static constexpr int kItems = 7;
    // Control identifiers of the boxes in item order; they are not consecutive.
    static constexpr std::array<int, kItems> kItemIds = {1040, 1041, 1047, 1048, 1049, 1058, 1059};

    CCheckPageView(pages::CPropertyPageCheck& page, QWidget* parent);

    void ItemChanged(int index, pages::EItemChange change) override;

    QCheckBox* Box(int index) const;

protected:
    void SyncAll(const pages::SPageSnapshot& snapshot) override;

private:
    void SyncItem(int index, const pages::SPageSnapshot& snapshot);
    void OnClicked(int index);

    pages::CPropertyPageCheck& m_check;
    std::array<QCheckBox*, kItems> m_boxes{};
};

} // namespace cva::gui

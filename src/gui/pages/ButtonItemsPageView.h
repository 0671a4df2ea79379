#pragma once

#include "gui/pages/PageViewBase.h"

#include <functional>
#include <span>
#include <vector>

class QAbstractButton;

namespace cva::gui {

// The check and radio pages: a frame of item buttons (check boxes or radio buttons) with
// captions from the plugin, Apply under them, the description below. The page decides
// every button's state; a click is only a request to the page, after which the button
// shows what the page holds.
class CButtonItemsPageView : public CPageViewBase {
public:
    void ItemChanged(int index, pages::EItemChange change) override;
    QAbstractButton* ItemButton(int index) const;

protected:
    using MakeButton = std::function<QAbstractButton*(QWidget* parent)>;
    using Click = std::function<void(int index)>;

    // ids: the control identifiers of the buttons in item order (object names "item<id>").
    CButtonItemsPageView(pages::CPropertyPageBase& page, QWidget* parent, std::span<const int> ids,
                         const MakeButton& makeButton, Click click);

    void SyncAll(const pages::SPageSnapshot& snapshot) override;

private:
    void SyncItem(int index, const pages::SPageSnapshot& snapshot);
    void OnClicked(int index);

    std::vector<QAbstractButton*> m_buttons;
    Click m_click;
};

} // namespace cva::gui

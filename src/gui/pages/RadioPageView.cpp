#include "gui/pages/RadioPageView.h"

#include "core/pages/PropertyPageRadio.h"

#include <QRadioButton>

namespace cva::gui {

CRadioPageView::CRadioPageView(pages::CPropertyPageRadio& page, QWidget* parent)
    : CButtonItemsPageView(page, parent, kItemIds,
                           [](QWidget* frame) {
                               auto* button = new QRadioButton(frame);
                               button->setAutoExclusive(false);
                               return button;
                           },
                           [&page](int index) { page.ClickItem(index); }) {}

QRadioButton* CRadioPageView::Button(int index) const {
    return static_cast<QRadioButton*>(ItemButton(index));
}

} // namespace cva::gui

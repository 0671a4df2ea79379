#include "gui/pages/CheckPageView.h"

#include "core/pages/PropertyPageCheck.h"

#include <QCheckBox>

namespace cva::gui {

CCheckPageView::CCheckPageView(pages::CPropertyPageCheck& page, QWidget* parent)
    : CButtonItemsPageView(page, parent, kItemIds,
                           [](QWidget* frame) { return new QCheckBox(frame); },
                           [&page](int index) { page.ClickItem(index); }) {}

QCheckBox* CCheckPageView::Box(int index) const { return static_cast<QCheckBox*>(ItemButton(index)); }

} // namespace cva::gui

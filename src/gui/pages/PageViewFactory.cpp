#include "gui/pages/PageViewFactory.h"

#include "core/pages/PropertyPageCheck.h"
#include "core/pages/PropertyPageEdit.h"
#include "core/pages/PropertyPageList.h"
#include "core/pages/PropertyPageMulti.h"
#include "core/pages/PropertyPageRadio.h"
#include "gui/pages/CheckPageView.h"
#include "gui/pages/EditPageView.h"
#include "gui/pages/ListPageView.h"
#include "gui/pages/MultiPageView.h"
#include "gui/pages/PlaceholderPageView.h"
#include "gui/pages/RadioPageView.h"

namespace cva::gui {

// The parent owns the view, as every widget of the window.
QWidget* CreatePageView(pages::CPropertyPageBase& page, QWidget* parent) {
    if (auto* check = dynamic_cast<pages::CPropertyPageCheck*>(&page))
        return new CCheckPageView(*check, parent);
    if (auto* radio = dynamic_cast<pages::CPropertyPageRadio*>(&page))
        return new CRadioPageView(*radio, parent);
    if (auto* edit = dynamic_cast<pages::CPropertyPageEdit*>(&page))
        return new CEditPageView(*edit, parent);
    if (auto* list = dynamic_cast<pages::CPropertyPageList*>(&page))
        return new CListPageView(*list, parent);
    if (auto* multi = dynamic_cast<pages::CPropertyPageMulti*>(&page))
        return new CMultiPageView(*multi, parent);
    return new CPlaceholderPageView(page, parent);
}

} // namespace cva::gui

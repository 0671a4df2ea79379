#include "gui/pages/PageViewFactory.h"

#include "core/pages/PropertyPageCheck.h"
#include "core/pages/PropertyPageEdit.h"
#include "core/pages/PropertyPageHtml.h"
#include "core/pages/PropertyPageList.h"
#include "core/pages/PropertyPageMain.h"
#include "core/pages/PropertyPageMulti.h"
#include "core/pages/PropertyPageRadio.h"
#include "gui/pages/CheckPageView.h"
#include "gui/pages/EditPageView.h"
#include "gui/pages/HtmlPageView.h"
#include "gui/pages/ListPageView.h"
#include "gui/pages/MultiPageView.h"
#include "gui/pages/PlaceholderPageView.h"
#include "gui/pages/RadioPageView.h"
#include "gui/pages/StartPageView.h"

namespace cva::gui {

// The parent owns the view, as every widget of the window.
QWidget* CreatePageView(pages::CPropertyPageBase& page, QWidget* parent) {
    if (auto* html = dynamic_cast<pages::CPropertyPageHtml*>(&page)) return new CHtmlPageView(*html, parent);
    if (auto* main = dynamic_cast<pages::CPropertyPageMain*>(&page)) return new CStartPageView(*main, parent);
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

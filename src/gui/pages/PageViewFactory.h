#pragma once

#include <QWidget>

namespace cva::app {
class IUserPrompts;
}
namespace cva::pages {
class CPropertyPageBase;
}

namespace cva::gui {

// The Qt view of a page object: it draws the page's state (through the page's snapshot
// and its IPageView notifications) and sends the user's actions back to the page. One
// view per page object, made once with the window and shown one at a time.
QWidget* CreatePageView(pages::CPropertyPageBase& page, QWidget* parent);

} // namespace cva::gui

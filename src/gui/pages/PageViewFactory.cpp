#include "gui/pages/PageViewFactory.h"

#include <QLabel>
#include <QVBoxLayout>

namespace cva::gui {

QWidget* CreatePageView(pages::CPropertyPageBase&, QWidget* parent) {
    auto* view = new QWidget(parent);
    auto* layout = new QVBoxLayout(view);
    layout->addWidget(new QLabel(QStringLiteral("This page is not shown in this version."), view));
    return view;
}

} // namespace cva::gui

#pragma once

#include "core/pages/PageDoubles.h"
#include "gui/pages/PageViewFactory.h"

#include <QCoreApplication>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

namespace cva::test {

// A page of type Page loaded from a plugin file the test writes, driven the way the
// window drives it (shown, items loaded, "OnInit" stood in for by the test, AfterInit),
// with its view made by the factory inside a shown top-level widget.
template <class Page, class View>
class CPageViewFixture {
public:
    CPageViewFixture() { m_page.SetOwner(&m_owner); }

    void Open(const std::string& interfaceLines, const std::function<void(Page&)>& onInit = {}) {
        m_page.SetVisible(true);
        m_page.EnableControls(true);
        m_page.SetWindowEnabled(true);
        m_page.LoadItems(WritePlugin(m_dir, "p.cvp", interfaceLines));
        if (onInit) onInit(m_page);
        m_page.AfterInit();
        m_page.SetDescription("What the plugin changes.");
        if (!m_window) {
            m_window = std::make_unique<QWidget>();
            m_window->resize(480, 400);
            m_view = dynamic_cast<View*>(gui::CreatePageView(m_page, m_window.get()));
            m_view->resize(480, 400);
            m_window->show();
        }
        QCoreApplication::processEvents();
    }

    CTempDir m_dir;
    COwnerDouble m_owner;
    Page m_page;
    std::unique_ptr<QWidget> m_window;
    View* m_view = nullptr;
};

} // namespace cva::test

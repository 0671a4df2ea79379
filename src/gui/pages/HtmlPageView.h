#pragma once

#include "gui/pages/PageViewBase.h"

namespace cva::pages {
class CPropertyPageHtml;
}

namespace cva::gui {

class CHTMLStatic;

// The html page: the script's markup in a frame, the description below. A "cva:N" link
// goes to the page, which runs the script's "OnApply" with 0 and N; the script usually
// answers with new markup.
class CHtmlPageView : public CPageViewBase {
public:
    CHtmlPageView(pages::CPropertyPageHtml& page, QWidget* parent);

    void HtmlChanged(const std::string& text) override;

    CHTMLStatic* Html() const { return m_pHtml; }

protected:
    void SyncAll(const pages::SPageSnapshot& snapshot) override;

private:
    CHTMLStatic* m_pHtml = nullptr;
};

} // namespace cva::gui

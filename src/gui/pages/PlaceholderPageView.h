#pragma once

#include "gui/pages/PageViewBase.h"

class QLabel;

namespace cva::gui {

// A page kind without a view of its own: the page's description as plain text, so the
// window still says what the open plugin is about.
class CPlaceholderPageView : public CPageViewBase {
public:
    CPlaceholderPageView(pages::CPropertyPageBase& page, QWidget* parent);

    void DescriptionChanged(const std::string& text) override;

    QLabel* Text() const { return m_pText; }

private:
    QLabel* m_pText = nullptr;
};

} // namespace cva::gui

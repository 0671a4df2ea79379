#pragma once

#include "core/pages/PageView.h"

#include <string>

namespace cva::pages {
class CPropertyPageBase;
}

namespace cva::gui {

// Pages die with the core object that owns them, views with their parent widget, in an
// order the window decides; Qt deletes child widgets only after the window's own members
// are gone. So neither side may point straight at the other: the page points at a link
// that stays until the program ends, and the link passes notifications on to the view
// while there is one.
class CPageViewLink : public pages::IPageView {
public:
    // The link of a page, made on first use and handed to the page as its view.
    static CPageViewLink& For(pages::CPropertyPageBase& page);

    void SetTarget(pages::IPageView* target) { m_pTarget = target; }
    pages::IPageView* Target() const { return m_pTarget; }

    void ItemChanged(int index, pages::EItemChange change) override;
    void RowsChanged() override;
    void RowChanged(int row) override;
    void ColumnsChanged(int columnCount) override;
    void RowSelectionChanged(int row) override;
    void CheckBoxesChanged(bool on) override;
    void ButtonChanged(int button) override;
    void ApplyEnabledChanged(bool enabled) override;
    void ControlsEnabledChanged(bool enabled) override;
    void PageEnabledChanged(bool enabled) override;
    void PageVisibleChanged(bool visible) override;
    void DescriptionChanged(const std::string& text) override;
    void HtmlChanged(const std::string& text) override;
    void HeaderChanged(const std::string& text) override;
    void StartTabChanged(int tab) override;

private:
    pages::IPageView* m_pTarget = nullptr;
};

} // namespace cva::gui

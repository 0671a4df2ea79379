#pragma once

#include "gui/pages/LabelledItemIds.h"
#include "gui/pages/PageViewBase.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace cva::pages {
class CPropertyPageMulti;
}

namespace cva::gui {

class CDialogLayout;

// The multi page: five labelled items, each drawn as the input control of its kind
// (push button, edit field, spin field, drop-down list, editable combo box, check box,
// radio button or slider) over its placeholder, with a browse button beside it; Apply
// under them, the description below. Every user action goes to the page, which reports
// it to the script; the controls then show what the page holds.
class CMultiPageView : public CPageViewBase, public SLabelledItemIds {
public:
    CMultiPageView(pages::CPropertyPageMulti& page, QWidget* parent);

    void ItemChanged(int index, pages::EItemChange change) override;

    QLabel* Label(int index) const;
    // The input control of the item's kind (object name "item<id>"); null while the
    // item is inactive.
    QWidget* Input(int index) const;
    QPushButton* BrowseButton(int index) const;

protected:
    void SyncAll(const pages::SPageSnapshot& snapshot) override;

private:
    struct SRow {
        QLabel* m_label = nullptr;
        QWidget* m_placeholder = nullptr;
        QWidget* m_input = nullptr;
        int m_kind = 0;
        QPushButton* m_browse = nullptr;
    };
    SRow& Row(int index) { return m_rows[static_cast<size_t>(index)]; }
    void Rebuild(int index, int kind);
    QWidget* MakeInput(int index, int kind);
    void SyncItem(int index, const pages::SPageSnapshot& snapshot);
    void SyncInput(int index);
    // After an action the control shows the page's state, which a refused action left.
    void Resync(int index);
    void TakeTyping(int index, QLineEdit* field);
    void OnSlider(int index, bool released);

    pages::CPropertyPageMulti& m_multi;
    CDialogLayout* m_pLayout = nullptr;
    std::array<SRow, kItems> m_rows{};
};

} // namespace cva::gui

#pragma once

#include "gui/pages/LabelledItemIds.h"
#include "gui/pages/PageViewBase.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QValidator;

namespace cva::pages {
class CPropertyPageEdit;
}

namespace cva::gui {

// The edit page: five labelled one-line fields, each with a browse button beside it,
// in a frame; Apply under them, the description below.
class CEditPageView : public CPageViewBase, public SLabelledItemIds {
public:
    CEditPageView(pages::CPropertyPageEdit& page, QWidget* parent);

    void ItemChanged(int index, pages::EItemChange change) override;

    QLabel* Label(int index) const;
    QLineEdit* Field(int index) const;
    QPushButton* BrowseButton(int index) const;

protected:
    void SyncAll(const pages::SPageSnapshot& snapshot) override;

private:
    struct SRow {
        QLabel* m_label = nullptr;
        QLineEdit* m_field = nullptr;
        QPushButton* m_browse = nullptr;
    };
    void SyncItem(int index, const pages::SPageSnapshot& snapshot);
    void OnEdited(int index, const QString& text);
    void OnBrowse(int index);

    pages::CPropertyPageEdit& m_edit;
    std::array<SRow, kItems> m_rows{};
    QValidator* m_pDigits = nullptr;
};

} // namespace cva::gui

#pragma once

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
class CEditPageView : public CPageViewBase {
public:
    static constexpr int kItems = 5;
    static constexpr std::array<int, kItems> kLabelIds = {1021, 1027, 1028, 1026, 1029};
    static constexpr std::array<int, kItems> kFieldIds = {1042, 1043, 1044, 1045, 1046};
    static constexpr std::array<int, kItems> kBrowseIds = {1052, 1053, 1054, 1055, 1056};

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

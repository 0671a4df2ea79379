#pragma once

#include "core/settings/OptionsSheet.h"

#include <QDialog>

#include <array>

class QLabel;
class QStackedWidget;
class QTreeWidget;

namespace cva::app {
class IUserPrompts;
}
namespace cva::logging {
class CActionLogger;
}

namespace cva::gui {

// The options sheet: a tree of page captions on the left, the page's caption above the
// page, OK and Cancel. Each page is made (and reads its values) when first shown; OK
// writes through the model and stays open when a page refuses.
class COptionsSheetDlg : public QDialog {
    Q_OBJECT
public:
    COptionsSheetDlg(options::COptionsSheet& model, app::IUserPrompts& prompts, logging::CActionLogger* logger,
                     int firstPage, QWidget* parent = nullptr);

    void ShowPage(int page);
    const options::SOptionsResult& Result() const { return m_result; }

    void accept() override;

private:
    QWidget* CreatePage(int page);

    options::COptionsSheet& m_model;
    app::IUserPrompts& m_prompts;
    logging::CActionLogger* m_logger;
    QTreeWidget* m_pTree = nullptr;
    QLabel* m_pCaption = nullptr;
    QStackedWidget* m_pPages = nullptr;
    std::array<QWidget*, options::OPTIONS_PAGE_COUNT> m_pageWidgets{};
    options::SOptionsResult m_result;
};

} // namespace cva::gui

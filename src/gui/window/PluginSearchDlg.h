#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace cva::app {
class CApplicationDlg;
}

namespace cva::settings {
class CSettingsStore;
}

namespace cva::gui {

// "Search For Page": finds catalogue entries by a word of their caption or category;
// a double click opens the found entry. Modeless, made once and kept.
class CPluginSearchDlg : public QDialog {
    Q_OBJECT
public:
    CPluginSearchDlg(app::CApplicationDlg& logic, settings::CSettingsStore& settings,
                     std::function<void(int)> open, QWidget* parent);

    void ShowDialog();
    void RunSearch();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    app::CApplicationDlg& m_logic;
    settings::CSettingsStore& m_settings;
    std::function<void(int)> m_open;
    QLineEdit* m_pEdit;
    QPushButton* m_pSearch;
    QTreeWidget* m_pList;
};

} // namespace cva::gui

#pragma once

#include <QDialog>

class QLabel;
class QStackedWidget;
class QTreeWidget;

namespace cva::gui {

// A property sheet whose pages are picked in a tree on the left, under a heading; the
// pages act on what they show at once, so the sheet only closes.
class CTreePropertySheet : public QDialog {
public:
    CTreePropertySheet(const QString& title, const QString& heading, QWidget* parent);

    // The sheet owns the page; the first page added is shown first.
    void AddPage(const QString& name, QWidget* page);

    QTreeWidget* Tree() const { return m_pTree; }

private:
    QTreeWidget* m_pTree;
    QStackedWidget* m_pPages;
};

} // namespace cva::gui

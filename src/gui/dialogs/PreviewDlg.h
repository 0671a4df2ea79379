#pragma once

#include "core/journal/JournalDiff.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QListWidget;

namespace cva::gui {

// What a page's Apply would change, shown before anything is changed: one line per
// value, key, INI entry or file, "No changes" when there is none, and the script's
// error when it failed.
class CPreviewDlg : public QDialog {
public:
    CPreviewDlg(const std::vector<journal::SDiffChange>& changes, const std::string& error, QWidget* parent);

    QListWidget* Changes() const { return m_pChanges; }
    QLabel* Error() const { return m_pError; }

private:
    QListWidget* m_pChanges = nullptr;
    QLabel* m_pError = nullptr;
};

} // namespace cva::gui

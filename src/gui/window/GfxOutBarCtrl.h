#pragma once

#include <QWidget>

#include <vector>

class QPushButton;
class QVBoxLayout;

namespace cva::app {
class CPluginCatalogue;
}

namespace cva::gui {

class CTreeCtrlEx;

// The outlook bar: a column of folder buttons; the selected folder's tree fills the
// space between the buttons above it and those below.
class CGfxOutBarCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CGfxOutBarCtrl(QWidget* parent = nullptr);

    // One button and tree per catalogue folder; the old ones go.
    void Rebuild(const app::CPluginCatalogue& catalogue);
    void SetSelectedFolder(int folder);
    // The "TreeStyle" bits the trees of the next Rebuild follow.
    void SetTreeStyle(int style) { m_nTreeStyle = style; }
    int SelectedFolder() const { return m_nSelected; }
    int FolderCount() const { return static_cast<int>(m_trees.size()); }
    CTreeCtrlEx* Tree(int folder) const;

signals:
    // The user picked another folder.
    void FolderChanged(int folder);

private:
    QVBoxLayout* m_pLayout;
    std::vector<QPushButton*> m_buttons;
    std::vector<CTreeCtrlEx*> m_trees;
    int m_nSelected = -1;
    int m_nTreeStyle = 0x600;
};

} // namespace cva::gui

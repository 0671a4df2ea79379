#pragma once

#include "core/app/CatalogueTree.h"

#include <string>

namespace cva::app {

class CPluginCatalogue;

// What opening the selected tree item comes to: the entry to load, or the start page
// for a category node or no selection, and the path shown in the status bar.
struct SOpenSelection {
    int pluginIndex = -1;     // -1: show the start page and clear the level indicator
    std::string statusText;   // empty: leave the message pane as it is
};

// Moving through the catalogue as the keyboard and the "View" menu do, on the model
// alone; the window mirrors the selection into its tree controls.
class CCatalogueNavigation {
public:
    explicit CCatalogueNavigation(CPluginCatalogue& catalogue) : m_catalogue(catalogue) {}

    // The tree of the current outlook-bar folder, or null when there are no folders.
    CCatalogueTree* CurrentTree();

    // Next Page and Previous Page in the current tree; return the selected item, which
    // stays where it was at either end of the tree.
    HTREEITEM NextPage();
    HTREEITEM PreviousPage();

    // Next and Previous Category wrap around; the new folder's first top-level item is
    // selected, as when the user picks a folder of the bar. Return the folder index.
    int NextCategory();
    int PreviousCategory();
    int SelectFolder(int folder);

    // The entry and status text for the current tree's selection. Before the window is
    // ready nothing opens.
    SOpenSelection OpenSelection(bool ready) const;

    // Selects an entry's folder and its leaf (the search and the favorites open pages
    // this way). False when the entry has no leaf.
    bool Locate(int pluginIndex);
    // The same for the first entry of that file name (a favorite, a recent page);
    // returns its index, or -1 when the catalogue shown does not hold it.
    int LocateFile(const std::string& fileName);

    // "Folder\Node\Plugin : " as the status bar shows a tree item.
    static std::string StatusPathText(const std::string& folderName, const CCatalogueTree& tree,
                                      HTREEITEM item);

private:
    CPluginCatalogue& m_catalogue;
};

// The first leaf at or below `item` in depth-first order, or kNoItem.
HTREEITEM FirstLeafFrom(const CCatalogueTree& tree, HTREEITEM item);

} // namespace cva::app

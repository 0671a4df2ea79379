#include "core/app/CatalogueNavigation.h"

#include "core/app/PluginCatalogue.h"

namespace cva::app {

HTREEITEM FirstLeafFrom(const CCatalogueTree& tree, HTREEITEM item) {
    if (!tree.IsFolderNode(item)) return item;
    for (HTREEITEM child : tree.Children(item)) {
        HTREEITEM leaf = FirstLeafFrom(tree, child);
        if (leaf != kNoItem) return leaf;
    }
    return kNoItem;
}

CCatalogueTree* CCatalogueNavigation::CurrentTree() {
    if (m_catalogue.GetFolderCount() == 0) return nullptr;
    return &m_catalogue.Folder(m_catalogue.GetCurrentFolder()).tree;
}

HTREEITEM CCatalogueNavigation::NextPage() {
    CCatalogueTree* tree = CurrentTree();
    if (!tree) return kNoItem;
    HTREEITEM selected = tree->GetSelectedItem();
    if (selected == kNoItem) {
        tree->SelectItem(tree->GetRootItem());
        return tree->GetSelectedItem();
    }
    if (tree->IsFolderNode(selected)) {
        for (HTREEITEM child : tree->Children(selected)) {
            HTREEITEM leaf = FirstLeafFrom(*tree, child);
            if (leaf != kNoItem) {
                tree->SelectItem(leaf);
                return leaf;
            }
        }
        return selected;
    }
    HTREEITEM next = tree->GetNextSiblingItem(selected);
    if (next != kNoItem) {
        tree->SelectItem(next);
        return next;
    }
    for (HTREEITEM up = tree->GetParentItem(selected); up != kNoItem; up = tree->GetParentItem(up)) {
        for (HTREEITEM after = tree->GetNextSiblingItem(up); after != kNoItem;
             after = tree->GetNextSiblingItem(after)) {
            HTREEITEM leaf = FirstLeafFrom(*tree, after);
            if (leaf != kNoItem) {
                tree->SelectItem(leaf);
                return leaf;
            }
        }
    }
    return selected;
}

HTREEITEM CCatalogueNavigation::PreviousPage() {
    CCatalogueTree* tree = CurrentTree();
    if (!tree) return kNoItem;
    HTREEITEM selected = tree->GetSelectedItem();
    HTREEITEM target;
    if (selected == kNoItem) {
        target = tree->GetLastChildItem(kTreeRoot);
    } else {
        target = tree->GetPrevSiblingItem(selected);
        if (target == kNoItem) target = tree->GetParentItem(selected);
        else {
            while (tree->IsFolderNode(target) && tree->GetLastChildItem(target) != kNoItem)
                target = tree->GetLastChildItem(target);
        }
    }
    if (target != kNoItem) tree->SelectItem(target);
    return tree->GetSelectedItem();
}

int CCatalogueNavigation::SelectFolder(int folder) {
    const int count = m_catalogue.GetFolderCount();
    if (count == 0) return -1;
    if (folder < 0 || folder >= count) folder = 0;
    m_catalogue.SetCurrentFolder(folder);
    CCatalogueTree& tree = m_catalogue.Folder(folder).tree;
    tree.SelectItem(tree.GetRootItem());
    return folder;
}

int CCatalogueNavigation::NextCategory() {
    const int count = m_catalogue.GetFolderCount();
    if (count == 0) return -1;
    return SelectFolder((m_catalogue.GetCurrentFolder() + 1) % count);
}

int CCatalogueNavigation::PreviousCategory() {
    const int count = m_catalogue.GetFolderCount();
    if (count == 0) return -1;
    return SelectFolder((m_catalogue.GetCurrentFolder() + count - 1) % count);
}

SOpenSelection CCatalogueNavigation::OpenSelection(bool ready) const {
    SOpenSelection result;
    if (m_catalogue.GetFolderCount() == 0) return result;
    const SOutBarFolder& folder = m_catalogue.Folder(m_catalogue.GetCurrentFolder());
    const HTREEITEM selected = folder.tree.GetSelectedItem();
    if (selected == kNoItem || !ready) return result;
    const int data = folder.tree.GetItemData(selected);
    if (m_catalogue.IsValidIndex(data)) result.pluginIndex = data;
    result.statusText = StatusPathText(folder.name, folder.tree, selected);
    return result;
}

bool CCatalogueNavigation::Locate(int pluginIndex) {
    if (!m_catalogue.IsValidIndex(pluginIndex)) return false;
    const int folder = m_catalogue.m_plugins[static_cast<size_t>(pluginIndex)].folder;
    if (folder < 0 || folder >= m_catalogue.GetFolderCount()) return false;
    CCatalogueTree& tree = m_catalogue.Folder(folder).tree;
    const HTREEITEM leaf = tree.FindItemByData(pluginIndex);
    if (leaf == kNoItem) return false;
    m_catalogue.SetCurrentFolder(folder);
    tree.SelectItem(leaf);
    return true;
}

int CCatalogueNavigation::LocateFile(const std::string& fileName) {
    const int index = m_catalogue.FindByFileName(fileName);
    return index >= 0 && Locate(index) ? index : -1;
}

std::string CCatalogueNavigation::StatusPathText(const std::string& folderName,
                                                 const CCatalogueTree& tree, HTREEITEM item) {
    std::string path;
    for (HTREEITEM at = item; at != kNoItem; at = tree.GetParentItem(at)) {
        path = tree.GetItemText(at) + (tree.IsFolderNode(at) ? "\\" : " : ") + path;
    }
    const size_t first = path.find_first_not_of('\\');
    if (first == std::string::npos) path.clear();
    else path = path.substr(first, path.find_last_not_of('\\') - first + 1);
    return folderName + "\\" + path;
}

} // namespace cva::app

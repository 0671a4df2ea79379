#pragma once

#include <string>
#include <vector>

namespace cva::app {

// Tree item handle: an index into the tree's item table. kTreeRoot stands for the
// invisible root above the top-level items (TVI_ROOT), kNoItem for "no item".
using HTREEITEM = int;
constexpr HTREEITEM kTreeRoot = -1;
constexpr HTREEITEM kNoItem = -2;

// Item data of category nodes; plugin leaves carry their catalogue index instead.
constexpr int kFolderNodeData = -1;

// Tree images of the catalogue's 16x16 image list.
constexpr int kImageFolder = 0;
constexpr int kImageFolderSelected = 4;
constexpr int kImagePlugin = 2;
constexpr int kImagePluginSelected = 1;
constexpr int kImageRiskyPlugin = 3;

// Where a new item goes among its siblings, as the tree control's insert positions.
enum class EInsertAt { First, Last, Sort };

struct STreeItem {
    std::string text;
    int data = kFolderNodeData;
    int image = 0;
    int selectedImage = 0;
    HTREEITEM parent = kTreeRoot;
    std::vector<HTREEITEM> children; // in display order
};

// The model of one category tree that a view draws: item texts, images, item data and
// the order of children, plus the selected item. Items are never removed one by one;
// the whole tree goes when the catalogue is rebuilt.
class CCatalogueTree {
public:
    HTREEITEM InsertItem(const std::string& text, int image, int selectedImage,
                         HTREEITEM parent, EInsertAt where);

    const STreeItem& Item(HTREEITEM item) const { return m_items[static_cast<size_t>(item)]; }
    bool IsValid(HTREEITEM item) const {
        return item >= 0 && static_cast<size_t>(item) < m_items.size();
    }
    void SetItemData(HTREEITEM item, int data);
    int GetItemData(HTREEITEM item) const { return IsValid(item) ? Item(item).data : kFolderNodeData; }
    const std::string& GetItemText(HTREEITEM item) const { return Item(item).text; }

    // Children of an item, or the top-level items for kTreeRoot.
    const std::vector<HTREEITEM>& Children(HTREEITEM parent) const;
    HTREEITEM GetParentItem(HTREEITEM item) const;
    HTREEITEM GetChildItem(HTREEITEM item) const;
    HTREEITEM GetLastChildItem(HTREEITEM item) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
    HTREEITEM GetPrevSiblingItem(HTREEITEM item) const;
    HTREEITEM GetRootItem() const { return GetChildItem(kTreeRoot); }

    // A category node is an item whose data is still -1; a leaf carries an index.
    bool IsFolderNode(HTREEITEM item) const { return GetItemData(item) == kFolderNodeData; }

    // First item in depth-first order below `from` (itself excluded) whose data is `data`.
    HTREEITEM FindItemByData(int data, HTREEITEM from = kTreeRoot) const;

    HTREEITEM GetSelectedItem() const { return m_selected; }
    void SelectItem(HTREEITEM item) { m_selected = IsValid(item) ? item : kNoItem; }

    size_t GetCount() const { return m_items.size(); }
    void DeleteAllItems();

private:
    std::vector<STreeItem> m_items;
    std::vector<HTREEITEM> m_rootChildren;
    HTREEITEM m_selected = kNoItem;
};

} // namespace cva::app

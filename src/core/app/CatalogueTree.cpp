#include "core/app/CatalogueTree.h"

#include "platform/text/Unicode.h"

#include <algorithm>

namespace cva::app {

HTREEITEM CCatalogueTree::InsertItem(const std::string& text, int image, int selectedImage,
                                     HTREEITEM parent, EInsertAt where) {
    if (parent != kTreeRoot && !IsValid(parent)) return kNoItem;
    const auto handle = static_cast<HTREEITEM>(m_items.size());
    STreeItem item;
    item.text = text;
    item.image = image;
    item.selectedImage = selectedImage;
    item.parent = parent;
    m_items.push_back(std::move(item));

    std::vector<HTREEITEM>& siblings =
        parent == kTreeRoot ? m_rootChildren : m_items[static_cast<size_t>(parent)].children;
    auto pos = siblings.end();
    if (where == EInsertAt::First) {
        pos = siblings.begin();
    } else if (where == EInsertAt::Sort) {
        // Like the tree control: before the first sibling that sorts after the new text,
        // so equal texts keep the order in which they came.
        pos = std::find_if(siblings.begin(), siblings.end(), [&](HTREEITEM sibling) {
            return text::CompareNoCaseUtf8(text, Item(sibling).text) < 0;
        });
    }
    siblings.insert(pos, handle);
    return handle;
}

void CCatalogueTree::SetItemData(HTREEITEM item, int data) {
    if (IsValid(item)) m_items[static_cast<size_t>(item)].data = data;
}

const std::vector<HTREEITEM>& CCatalogueTree::Children(HTREEITEM parent) const {
    static const std::vector<HTREEITEM> kNone;
    if (parent == kTreeRoot) return m_rootChildren;
    return IsValid(parent) ? Item(parent).children : kNone;
}

HTREEITEM CCatalogueTree::GetParentItem(HTREEITEM item) const {
    if (!IsValid(item)) return kNoItem;
    HTREEITEM parent = Item(item).parent;
    return parent == kTreeRoot ? kNoItem : parent;
}

HTREEITEM CCatalogueTree::GetChildItem(HTREEITEM item) const {
    const auto& children = Children(item);
    return children.empty() ? kNoItem : children.front();
}

HTREEITEM CCatalogueTree::GetLastChildItem(HTREEITEM item) const {
    const auto& children = Children(item);
    return children.empty() ? kNoItem : children.back();
}

HTREEITEM CCatalogueTree::GetNextSiblingItem(HTREEITEM item) const {
    if (!IsValid(item)) return kNoItem;
    const auto& siblings = Children(Item(item).parent);
    auto it = std::find(siblings.begin(), siblings.end(), item);
    if (it == siblings.end() || ++it == siblings.end()) return kNoItem;
    return *it;
}

HTREEITEM CCatalogueTree::GetPrevSiblingItem(HTREEITEM item) const {
    if (!IsValid(item)) return kNoItem;
    const auto& siblings = Children(Item(item).parent);
    auto it = std::find(siblings.begin(), siblings.end(), item);
    if (it == siblings.end() || it == siblings.begin()) return kNoItem;
    return *(it - 1);
}

HTREEITEM CCatalogueTree::FindItemByData(int data, HTREEITEM from) const {
    for (HTREEITEM child : Children(from)) {
        if (Item(child).data == data) return child;
        HTREEITEM found = FindItemByData(data, child);
        if (found != kNoItem) return found;
    }
    return kNoItem;
}

void CCatalogueTree::DeleteAllItems() {
    m_items.clear();
    m_rootChildren.clear();
    m_selected = kNoItem;
}

} // namespace cva::app

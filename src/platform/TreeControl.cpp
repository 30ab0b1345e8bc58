#include "platform/TreeControl.h"

namespace tessary {

TreeItem TreeControl::FindItemByText(TreeItem start, std::string_view text) const {
    // Display order without a stack: first child, else the next sibling of the nearest
    // ancestor below `start` that has one.
    TreeItem item = GetChildItem(start);
    while (item != 0) {
        if (ItemTextEquals(item, text)) {
            return item;
        }
        if (TreeItem child = GetChildItem(item); child != 0) {
            item = child;
            continue;
        }
        while (item != 0 && item != start) {
            if (TreeItem next = GetNextSiblingItem(item); next != 0) {
                item = next;
                break;
            }
            item = GetParentItem(item);
        }
        if (item == start) {
            return 0;
        }
    }
    return 0;
}

std::vector<TreeItem> TreeControl::FindItemsContaining(std::string_view needle) const {
    std::vector<TreeItem> found;
    TreeItem item = GetChildItem(0);
    while (item != 0) {
        if (ContainsIgnoringCase(GetItemText(item), needle)) {
            found.push_back(item);
        }
        if (TreeItem child = GetChildItem(item); child != 0) {
            item = child;
            continue;
        }
        while (item != 0) {
            if (TreeItem next = GetNextSiblingItem(item); next != 0) {
                item = next;
                break;
            }
            item = GetParentItem(item);
        }
    }
    return found;
}

}  // namespace tessary

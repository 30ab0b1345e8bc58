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

}  // namespace tessary

#include "headless/MemoryTreeControl.h"

#include <ostream>
#include <sstream>
#include <string>

namespace tessary {

TreeItem MemoryTreeControl::InsertItem(TreeItem parent, std::string_view text, int image) {
    return items_.Insert(parent, text, image);
}

void MemoryTreeControl::DeleteAllItems() {
    items_.Clear();
    selected_ = 0;
}

void MemoryTreeControl::DeleteItem(TreeItem item) {
    for (TreeItem gone : items_.Remove(item)) {
        if (selected_ == gone) {
            selected_ = 0;
        }
    }
}

std::string MemoryTreeControl::GetItemText(TreeItem item) const {
    const TreeItemTable::Node* node = items_.Find(item);
    return node != nullptr ? node->text : std::string();
}

bool MemoryTreeControl::ItemTextEquals(TreeItem item, std::string_view text) const {
    const TreeItemTable::Node* node = items_.Find(item);
    return node != nullptr && node->text == text;
}

void MemoryTreeControl::SetItemText(TreeItem item, std::string_view text) {
    items_.SetText(item, text);
}

int MemoryTreeControl::GetItemImage(TreeItem item) const {
    const TreeItemTable::Node* node = items_.Find(item);
    return node != nullptr ? node->image : kNoImage;
}

TreeItem MemoryTreeControl::GetParentItem(TreeItem item) const {
    const TreeItemTable::Node* node = items_.Find(item);
    return node != nullptr ? node->parent : 0;
}

TreeItem MemoryTreeControl::GetChildItem(TreeItem item) const {
    if (item == 0) {
        return items_.FirstTopLevel();
    }
    const TreeItemTable::Node* node = items_.Find(item);
    return node != nullptr ? node->firstChild : 0;
}

TreeItem MemoryTreeControl::GetNextSiblingItem(TreeItem item) const {
    const TreeItemTable::Node* node = items_.Find(item);
    return node != nullptr ? node->nextSibling : 0;
}

bool MemoryTreeControl::ItemHasChildren(TreeItem item) const {
    const TreeItemTable::Node* node = items_.Find(item);
    return node != nullptr && node->firstChild != 0;
}

TreeItem MemoryTreeControl::FindItemByText(TreeItem start, std::string_view text) const {
    // Below a given item the walk is short (an actor's folders); over the whole control it
    // would visit every item once per search, which a scene of many figures makes quadratic.
    if (start != 0) {
        return TreeControl::FindItemByText(start, text);
    }
    return items_.FindByText(text);
}

void MemoryTreeControl::SortTopLevel() {
    items_.SortTopLevel();
}

void MemoryTreeControl::SelectItem(TreeItem item) {
    selected_ = (item == 0 || items_.Find(item) != nullptr) ? item : 0;
}

TreeItem MemoryTreeControl::GetSelectedItem() const {
    return selected_;
}

void MemoryTreeControl::Expand(TreeItem item) {
    if (TreeItemTable::Node* node = items_.Find(item)) {
        node->expanded = true;
    }
}

TreeItem MemoryTreeControl::GetFirstVisibleItem() const {
    return items_.FirstTopLevel();
}

void MemoryTreeControl::InstallImageList() {
    imageListInstalled_ = true;
}

bool MemoryTreeControl::IsValid(TreeItem item) const {
    return items_.Find(item) != nullptr;
}

bool MemoryTreeControl::IsExpanded(TreeItem item) const {
    const TreeItemTable::Node* node = items_.Find(item);
    return node != nullptr && node->expanded;
}

namespace {

const char* KindOfImage(int image) {
    switch (image) {
        case kImageActor:
            return "actor";
        case kImageMorph:
            return "morph";
        case kImageProp:
            return "prop";
        case kImageFolder:
            return "folder";
        case kImageChannel:
            return "channel";
        default:
            return "line";
    }
}

}  // namespace

void WriteTreeListing(const TreeControl& control, std::ostream& out) {
    std::size_t depth = 0;
    TreeItem item = control.GetChildItem(0);
    while (item != 0) {
        for (std::size_t i = 0; i < depth; ++i) {
            out << "  ";
        }
        out << '[' << KindOfImage(control.GetItemImage(item)) << "] " << control.GetItemText(item)
            << '\n';
        // Next item in display order: first child, else the next sibling of the nearest
        // ancestor that has one.
        if (TreeItem child = control.GetChildItem(item); child != 0) {
            item = child;
            ++depth;
            continue;
        }
        while (item != 0) {
            if (TreeItem next = control.GetNextSiblingItem(item); next != 0) {
                item = next;
                break;
            }
            item = control.GetParentItem(item);
            if (item != 0) {
                --depth;
            }
        }
    }
}

std::string FormatTreeListing(const TreeControl& control) {
    std::ostringstream out;
    WriteTreeListing(control, out);
    return out.str();
}

}  // namespace tessary

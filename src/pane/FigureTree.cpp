#include "pane/FigureTree.h"

#include <cstddef>
#include <vector>

#include "model/Block.h"
#include "model/Names.h"
#include "pane/FigureFile.h"

namespace tessary {

namespace {

constexpr std::string_view kMorphsFolder = "MORPH TARGETS";
constexpr std::string_view kPropsFolder = "PROPS";

bool HasChildTagged(const Block& block, std::string_view tag) {
    return block.FindChildIndex(tag) != -1;
}

// Visits `top` and every Block below it in file order (parents before children). `visit` gets
// a Block and the parent item its caller passed, and returns the parent item for the Block's
// children. The walk keeps its own stack, so a file nested a million levels deep cannot
// exhaust the call stack. Visits only add tree items; no `children` array changes meanwhile,
// so the Block pointers on the stack stay valid.
template <typename Visit>
void WalkBlocks(Block& top, TreeItem parent, Visit visit) {
    struct Frame {
        Block* block;
        std::size_t next;
        TreeItem childParent;
    };
    std::vector<Frame> stack;
    stack.push_back({&top, 0, visit(top, parent)});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.block->children.size()) {
            stack.pop_back();
            continue;
        }
        Block& child = frame.block->children[frame.next++];
        const TreeItem childParent = frame.childParent;
        stack.push_back({&child, 0, visit(child, childParent)});
    }
}

TreeItem Insert(FigureTree& tree, TreeItem parent, std::string_view text, int image) {
    return tree.control.InsertItem(parent, text, image);
}

}  // namespace

FigureTree::FigureTree(TreeControl& control, FigureFile& file) : control(control), file(file) {
    file.tree = this;
}

void FigureTree::Refresh() {
    control.DeleteAllItems();
    Block& root = file.root;
    root.ClearTreeItems();
    switch (file.viewKind) {
        case kRawView:
            AddRawItems(root, *this, 0);
            file.loaded = 1;
            if (TreeItem first = control.GetFirstVisibleItem(); first != 0) {
                control.Expand(first);
            }
            break;
        case kPoseView:
            AddPoseItems(root, *this, 0);
            file.loaded = 1;
            break;
        default:
            AddActorItems(root, *this, 0);
            AddPropItems(root, *this, 0);
            AddMorphItems(root, *this, 0);
            RemoveEmptyFolders(0, kPropsFolder);
            RemoveEmptyFolders(0, kMorphsFolder);
            break;
    }
    control.SortTopLevel();
    control.InstallImageList();
}

TreeItem FigureTree::FindItemByText(TreeItem start, std::string_view text) const {
    // Display order without a stack: first child, else the next sibling of the nearest
    // ancestor below `start` that has one.
    TreeItem item = control.GetChildItem(start);
    while (item != 0) {
        if (control.ItemTextEquals(item, text)) {
            return item;
        }
        if (TreeItem child = control.GetChildItem(item); child != 0) {
            item = child;
            continue;
        }
        while (item != 0 && item != start) {
            if (TreeItem next = control.GetNextSiblingItem(item); next != 0) {
                item = next;
                break;
            }
            item = control.GetParentItem(item);
        }
        if (item == start) {
            return 0;
        }
    }
    return 0;
}

void FigureTree::RemoveEmptyFolders(TreeItem start, std::string_view text) {
    // The next sibling is taken before an item is handled, as the item may be deleted; the
    // siblings still to handle on the levels above wait on an explicit stack.
    std::vector<TreeItem> waiting;
    TreeItem item = control.GetChildItem(start);
    while (true) {
        if (item == 0) {
            if (waiting.empty()) {
                return;
            }
            item = waiting.back();
            waiting.pop_back();
            continue;
        }
        const TreeItem next = control.GetNextSiblingItem(item);
        if (control.ItemTextEquals(item, text) && !control.ItemHasChildren(item)) {
            control.DeleteItem(item);
            item = next;
        } else {
            waiting.push_back(next);
            item = control.GetChildItem(item);
        }
    }
}

void AddRawItems(Block& block, FigureTree& tree, TreeItem parent) {
    WalkBlocks(block, parent, [&tree](Block& b, TreeItem given) {
        if (b.tag.empty()) {
            return given;
        }
        b.treeItem = Insert(tree, given, b.LineKey(), kNoImage);
        return b.treeItem;
    });
}

void AddActorItems(Block& block, FigureTree& tree, TreeItem parent) {
    WalkBlocks(block, parent, [&tree](Block& b, TreeItem given) {
        if (b.hasBlock == 1 && b.tag == "actor" && HasChildTagged(b, "channels")) {
            b.treeItem = Insert(tree, given, BaseName(b.data), kImageActor);
            b.morphsItem = Insert(tree, b.treeItem, kMorphsFolder, kImageFolder);
            b.propsItem = Insert(tree, b.treeItem, kPropsFolder, kImageFolder);
        }
        return given;
    });
}

void AddPropItems(Block& block, FigureTree& tree, TreeItem parent) {
    WalkBlocks(block, parent, [&tree](Block& b, TreeItem given) {
        if (b.hasBlock != 1 || b.tag != "prop" || !HasChildTagged(b, "parent")) {
            return given;
        }
        const std::string parentName = b.GetParentName();
        if (parentName.empty()) {
            b.treeItem = Insert(tree, given, BaseName(b.data), kImageProp);
            return given;
        }
        TreeItem propParent = given;
        if (TreeItem owner = tree.FindItemByText(0, BaseName(parentName)); owner != 0) {
            if (TreeItem folder = tree.FindItemByText(owner, kPropsFolder); folder != 0) {
                propParent = folder;
            }
        }
        b.treeItem = Insert(tree, propParent, BaseName(b.data), kImageProp);
        b.morphsItem = Insert(tree, b.treeItem, kMorphsFolder, kImageFolder);
        return given;
    });
}

void AddMorphItems(Block& block, FigureTree& tree, TreeItem parent) {
    WalkBlocks(block, parent, [&tree](Block& b, TreeItem given) {
        TreeItem current = given;
        if (b.hasBlock != 1) {
            return current;
        }
        if (b.tag == "targetGeom") {
            b.treeItem = Insert(tree, current, BaseName(b.data), kImageMorph);
        } else if ((b.tag == "actor" || b.tag == "prop") && HasChildTagged(b, "channels")) {
            if (TreeItem owner = tree.FindItemByText(0, BaseName(b.data)); owner != 0) {
                if (TreeItem folder = tree.FindItemByText(owner, kMorphsFolder); folder != 0) {
                    current = folder;
                }
            }
        }
        return current;
    });
}

void AddPoseItems(Block& block, FigureTree& tree, TreeItem parent) {
    WalkBlocks(block, parent, [&tree](Block& b, TreeItem given) {
        if (b.hasBlock == 1) {
            if (b.tag == "channels") {
                for (Block& channel : b.children) {
                    const int image = channel.tag == "targetGeom" ? kImageMorph : kImageChannel;
                    channel.treeItem = Insert(tree, given, BaseName(channel.data), image);
                }
            } else if (b.tag == "actor") {
                b.treeItem = Insert(tree, given, BaseName(b.data), kImageActor);
            } else if (b.tag == "prop") {
                b.treeItem = Insert(tree, given, BaseName(b.data), kImageProp);
            }
        }
        return b.treeItem;
    });
}

}  // namespace tessary

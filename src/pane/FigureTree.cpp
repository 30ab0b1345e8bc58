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
        const TreeItem childParent = visit(child, frame.childParent);
        // Most Blocks of a figure file are leaves (delta lines); they need no frame.
        if (!child.children.empty()) {
            stack.push_back({&child, 0, childParent});
        }
    }
}

TreeItem Insert(FigureTree& tree, TreeItem parent, std::string_view text, int image) {
    return tree.control.InsertItem(parent, text, image);
}

// The figure view's three passes, one Block at a time. Each gets the parent item its caller
// passed; the morph step returns the parent for the Block's children.

void ActorStep(Block& b, FigureTree& tree, TreeItem given) {
    if (b.hasBlock == 1 && b.tag == "actor" && HasChildTagged(b, "channels")) {
        b.treeItem = Insert(tree, given, BaseName(b.data), kImageActor);
        FolderItems& folders = tree.folders[b.treeItem];
        folders.morphs = Insert(tree, b.treeItem, kMorphsFolder, kImageFolder);
        folders.props = Insert(tree, b.treeItem, kPropsFolder, kImageFolder);
    }
}

void PropStep(Block& b, FigureTree& tree, TreeItem given) {
    if (b.hasBlock != 1 || b.tag != "prop" || !HasChildTagged(b, "parent")) {
        return;
    }
    const std::string parentName = b.GetParentName();
    if (parentName.empty()) {
        b.treeItem = Insert(tree, given, BaseName(b.data), kImageProp);
        return;
    }
    TreeItem propParent = given;
    if (TreeItem owner = tree.FindItemByText(0, BaseName(parentName)); owner != 0) {
        if (TreeItem folder = tree.FindItemByText(owner, kPropsFolder); folder != 0) {
            propParent = folder;
        }
    }
    b.treeItem = Insert(tree, propParent, BaseName(b.data), kImageProp);
    tree.folders[b.treeItem] = {Insert(tree, b.treeItem, kMorphsFolder, kImageFolder), 0};
}

TreeItem MorphStep(Block& b, FigureTree& tree, TreeItem given) {
    if (b.hasBlock != 1) {
        return given;
    }
    if (b.tag == "targetGeom") {
        b.treeItem = Insert(tree, given, BaseName(b.data), kImageMorph);
    } else if ((b.tag == "actor" || b.tag == "prop") && HasChildTagged(b, "channels")) {
        if (TreeItem owner = tree.FindItemByText(0, BaseName(b.data)); owner != 0) {
            if (TreeItem folder = tree.FindItemByText(owner, kMorphsFolder); folder != 0) {
                return folder;
            }
        }
    }
    return given;
}

// A Block that one of the figure view's steps may act on, with the nearest such Block above
// it (-1: none), in file order.
struct FigureBlock {
    Block* block;
    std::ptrdiff_t above;
};

// One walk over the whole tree that clears every item handle and lists the Blocks the figure
// view's steps act on. The three passes then run over this short list instead of walking a
// tree of millions of delta lines three more times. The steps ignore every other Block, and a
// morph target's parent depends only on the listed Blocks above it, so the result is the same.
std::vector<FigureBlock> ListFigureBlocks(Block& root) {
    std::vector<FigureBlock> listed;
    constexpr std::ptrdiff_t kNone = -1;
    struct Frame {
        Block* block;
        std::size_t next;
        std::ptrdiff_t above;
    };
    auto listedIndex = [&listed](Block& b, std::ptrdiff_t above) {
        b.treeItem = 0;
        const bool acts =
            b.hasBlock == 1 && (b.tag == "actor" || b.tag == "prop" || b.tag == "targetGeom");
        if (!acts) {
            return above;
        }
        listed.push_back({&b, above});
        return static_cast<std::ptrdiff_t>(listed.size() - 1);
    };
    std::vector<Frame> stack{{&root, 0, listedIndex(root, kNone)}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.block->children.size()) {
            stack.pop_back();
            continue;
        }
        Block& child = frame.block->children[frame.next++];
        const std::ptrdiff_t above = listedIndex(child, frame.above);
        if (!child.children.empty()) {
            stack.push_back({&child, 0, above});
        }
    }
    return listed;
}

void FillFigureView(FigureTree& tree) {
    const std::vector<FigureBlock> listed = ListFigureBlocks(tree.file.root);
    for (const FigureBlock& entry : listed) {
        ActorStep(*entry.block, tree, 0);
    }
    for (const FigureBlock& entry : listed) {
        PropStep(*entry.block, tree, 0);
    }
    std::vector<TreeItem> childParent(listed.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const TreeItem given = listed[i].above < 0 ? 0 : childParent[listed[i].above];
        childParent[i] = MorphStep(*listed[i].block, tree, given);
    }
}

}  // namespace

FigureTree::FigureTree(TreeControl& control, FigureFile& file) : control(control), file(file) {
    file.tree = this;
}

void FigureTree::Refresh() {
    control.DeleteAllItems();
    folders.clear();
    Block& root = file.root;
    if (file.viewKind == kRawView || file.viewKind == kPoseView) {
        root.ClearTreeItems();  // the figure view clears them in its own walk
    }
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
            FillFigureView(*this);
            RemoveEmptyFolders(0, kPropsFolder);
            RemoveEmptyFolders(0, kMorphsFolder);
            break;
    }
    control.SortTopLevel();
    control.InstallImageList();
}

TreeItem FigureTree::FindItemByText(TreeItem start, std::string_view text) const {
    return control.FindItemByText(start, text);
}

FolderItems FigureTree::FoldersOf(TreeItem owner) const {
    const auto found = owner == 0 ? folders.end() : folders.find(owner);
    return found == folders.end() ? FolderItems() : found->second;
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
            if (auto owner = folders.find(control.GetParentItem(item)); owner != folders.end()) {
                for (TreeItem* folder : {&owner->second.morphs, &owner->second.props}) {
                    if (*folder == item) {
                        *folder = 0;
                    }
                }
            }
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
        ActorStep(b, tree, given);
        return given;
    });
}

void AddPropItems(Block& block, FigureTree& tree, TreeItem parent) {
    WalkBlocks(block, parent, [&tree](Block& b, TreeItem given) {
        PropStep(b, tree, given);
        return given;
    });
}

void AddMorphItems(Block& block, FigureTree& tree, TreeItem parent) {
    WalkBlocks(block, parent,
               [&tree](Block& b, TreeItem given) { return MorphStep(b, tree, given); });
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

// Deleting morph targets, channels and props from a pane's file.

#include <algorithm>
#include <string>

#include "edit/LineWalks.h"
#include "model/Block.h"
#include "pane/FigureFile.h"

namespace tessary {

namespace {

Block* ChannelsOf(Block* bodyPart) {
    return bodyPart == nullptr ? nullptr : bodyPart->FindNthChild("channels", 0, true);
}

// Removes the children of `channels` whose tag is (or is not) "targetGeom", last first.
bool RemoveChannels(Block& channels, bool morphTargets) {
    bool removed = false;
    for (std::size_t i = channels.children.size(); i-- > 0;) {
        if ((channels.children[i].tag == "targetGeom") == morphTargets) {
            channels.RemoveChild(i);
            removed = true;
        }
    }
    return removed;
}

}  // namespace

bool FigureFile::DeleteItem(TreeItem item) {
    // Item 0 would match the first Block that has no item at all.
    if (item == 0 || !root.RemoveByTreeItem(item)) {
        return false;
    }
    modified = 1;
    return true;
}

int FigureFile::DeleteProp(TreeItem item) {
    if (item == 0) {
        return 0;
    }
    const Block* prop = root.FindByTreeItem(item);
    return prop == nullptr ? 0 : RemoveProp(*prop);
}

int FigureFile::RemoveProp(const Block& prop) {
    // Both are taken first: `prop` goes with the first removal.
    const std::string tag = prop.tag;
    const std::string name = prop.data;

    // Exact matches only, an empty name included: the model's wildcard walks would take every
    // "prop" Block and every "parent" line with a prop that has no name.
    if (RemoveLinesExactly(root, tag, name) > 0) {
        modified = 1;
    }
    if (ReplaceDataExactly(root, "parent", name, "UNIVERSE") > 0) {
        modified = 1;
    }

    Block* figure = root.FindNthChild("figure", 0, true);
    if (figure == nullptr) {
        return 0;
    }
    const std::string key = "addChild " + name;
    for (std::size_t i = 0; i < figure->children.size(); ++i) {
        if (figure->children[i].LineKey() == key) {
            figure->RemoveChild(i);
            if (i < figure->children.size()) {
                figure->RemoveChild(i);  // the parent's name that followed the "addChild" line
            }
            modified = 1;
            break;
        }
    }
    return 1;
}

void FigureFile::DeleteAllMorphTargets(TreeItem item) {
    if (item != 0) {
        DeleteChannelsWhere(root.FindByTreeItem(item), true);
    }
}

void FigureFile::DeleteAllChannels(TreeItem item) {
    if (item != 0) {
        DeleteChannelsWhere(root.FindByTreeItem(item), false);
    }
}

void FigureFile::DeleteChannelsWhere(Block* bodyPart, bool morphTargets) {
    if (Block* channels = ChannelsOf(bodyPart)) {
        if (RemoveChannels(*channels, morphTargets)) {
            modified = 1;
        }
    }
}

void FigureFile::DeleteAllProps(TreeItem item) {
    if (item == 0) {
        return;
    }
    const Block* bodyPart = root.FindByTreeItem(item);
    if (bodyPart == nullptr) {
        return;
    }
    const std::string bodyPartName = bodyPart->data;  // the Block may move below
    // RemoveProp can take more than the visited Block (the prop's other "prop" Block, usually
    // earlier in the file), so the position is clamped to the shrunken list after each call.
    // Every call removes at least the visited Block, so the walk ends.
    std::size_t i = root.children.size();
    while (i > 0) {
        --i;
        const Block& block = root.children[i];
        if (block.tag == "prop") {
            const int parent = block.FindChildIndex("parent");
            if (parent >= 0 &&
                block.children[static_cast<std::size_t>(parent)].data == bodyPartName) {
                RemoveProp(block);
                i = std::min(i, root.children.size());
            }
        }
    }
}

}  // namespace tessary

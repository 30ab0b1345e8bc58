// Deleting morph targets, channels and props from a pane's file.

#include "edit/Delete.h"

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

bool DeleteItem(FigureFile& file, TreeItem item) {
    // Item 0 would match the first Block that has no item at all.
    if (item == 0 || !file.root.RemoveByTreeItem(item)) {
        return false;
    }
    file.modified = 1;
    return true;
}

int DeleteProp(FigureFile& file, TreeItem item) {
    if (item == 0) {
        return 0;
    }
    const Block* prop = file.root.FindByTreeItem(item);
    return prop == nullptr ? 0 : RemoveProp(file, *prop);
}

int RemoveProp(FigureFile& file, const Block& prop) {
    // Both are taken first: `prop` goes with the first removal.
    const std::string tag = prop.tag;
    const std::string name = prop.data;

    // Exact matches only, an empty name included: the model's wildcard walks would take every
    // "prop" Block and every "parent" line with a prop that has no name.
    if (RemoveLinesExactly(file.root, tag, name) > 0) {
        file.modified = 1;
    }
    if (ReplaceDataExactly(file.root, "parent", name, "UNIVERSE") > 0) {
        file.modified = 1;
    }

    Block* figure = file.root.FindNthChild("figure", 0, true);
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
            file.modified = 1;
            break;
        }
    }
    return 1;
}

void DeleteAllMorphTargets(FigureFile& file, TreeItem item) {
    if (item != 0) {
        DeleteChannelsWhere(file, file.root.FindByTreeItem(item), true);
    }
}

void DeleteAllChannels(FigureFile& file, TreeItem item) {
    if (item != 0) {
        DeleteChannelsWhere(file, file.root.FindByTreeItem(item), false);
    }
}

void DeleteChannelsWhere(FigureFile& file, Block* bodyPart, bool morphTargets) {
    if (Block* channels = ChannelsOf(bodyPart)) {
        if (RemoveChannels(*channels, morphTargets)) {
            file.modified = 1;
        }
    }
}

void DeleteAllProps(FigureFile& file, TreeItem item) {
    if (item == 0) {
        return;
    }
    const Block* bodyPart = file.root.FindByTreeItem(item);
    if (bodyPart == nullptr) {
        return;
    }
    const std::string bodyPartName = bodyPart->data;  // the Block may move below
    // RemoveProp can take more than the visited Block (the prop's other "prop" Block, usually
    // earlier in the file), so the position is clamped to the shrunken list after each call.
    // Every call removes at least the visited Block, so the walk ends.
    std::size_t i = file.root.children.size();
    while (i > 0) {
        --i;
        const Block& block = file.root.children[i];
        if (block.tag == "prop") {
            const int parent = block.FindChildIndex("parent");
            if (parent >= 0 &&
                block.children[static_cast<std::size_t>(parent)].data == bodyPartName) {
                RemoveProp(file, block);
                i = std::min(i, file.root.children.size());
            }
        }
    }
}

}  // namespace tessary

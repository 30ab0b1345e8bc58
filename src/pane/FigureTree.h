#pragma once

#include <string_view>
#include <unordered_map>

#include "platform/TreeControl.h"

namespace tessary {

class Block;
class FigureFile;

// The "MORPH TARGETS" and "PROPS" folder items the figure view put under a body part's or a
// prop's item; 0 where there is none.
struct FolderItems {
    TreeItem morphs = 0;
    TreeItem props = 0;
};

// Presents a FigureFile in a tree control in the raw, figure or pose view. The control is
// never edited item by item: Refresh clears it and fills it again from the block tree, and
// items lead back to their Blocks only through Block::treeItem. The folder items, which have no
// Block, are kept here by the item of the body part or prop they belong to: only a few hundred
// Blocks of a file have them.
class FigureTree {
  public:
    FigureTree(TreeControl& control, FigureFile& file);

    void Refresh();
    // Depth first in display order over the descendants of `start` (0: the whole control);
    // the first item whose text equals `text`, or 0.
    TreeItem FindItemByText(TreeItem start, std::string_view text) const;
    // Deletes every descendant of `start` with that text that has no child items.
    void RemoveEmptyFolders(TreeItem start, std::string_view text);
    // The folders the figure view made under `owner` (a Block's treeItem) and has not removed
    // as empty; none for any other item.
    FolderItems FoldersOf(TreeItem owner) const;

    TreeControl& control;
    FigureFile& file;
    // Filled by the figure view's passes, emptied by Refresh; whoever deletes an item from the
    // control takes its entry out.
    std::unordered_map<TreeItem, FolderItems> folders;
};

// The filling passes of the views; each walks the subtree of `block`.
void AddRawItems(Block& block, FigureTree& tree, TreeItem parent);
void AddActorItems(Block& block, FigureTree& tree, TreeItem parent);
void AddPropItems(Block& block, FigureTree& tree, TreeItem parent);
void AddMorphItems(Block& block, FigureTree& tree, TreeItem parent);
void AddPoseItems(Block& block, FigureTree& tree, TreeItem parent);

}  // namespace tessary

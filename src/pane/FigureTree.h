#pragma once

#include <string_view>

#include "platform/TreeControl.h"

namespace tessary {

class Block;
class FigureFile;

// Presents a FigureFile in a tree control in the raw, figure or pose view. The control is
// never edited item by item: Refresh clears it and fills it again from the block tree, and
// items lead back to their Blocks only through Block::treeItem.
class FigureTree {
  public:
    FigureTree(TreeControl& control, FigureFile& file);

    void Refresh();
    // Depth first in display order over the descendants of `start` (0: the whole control);
    // the first item whose text equals `text`, or 0.
    TreeItem FindItemByText(TreeItem start, std::string_view text) const;
    // Deletes every descendant of `start` with that text that has no child items.
    void RemoveEmptyFolders(TreeItem start, std::string_view text);

    TreeControl& control;
    FigureFile& file;
};

// The filling passes of the views; each walks the subtree of `block`.
void AddRawItems(Block& block, FigureTree& tree, TreeItem parent);
void AddActorItems(Block& block, FigureTree& tree, TreeItem parent);
void AddPropItems(Block& block, FigureTree& tree, TreeItem parent);
void AddMorphItems(Block& block, FigureTree& tree, TreeItem parent);
void AddPoseItems(Block& block, FigureTree& tree, TreeItem parent);

}  // namespace tessary

#pragma once

#include <string>
#include <vector>

#include "platform/TreeControl.h"

namespace tessary {

class Block;
class FigureFile;

// Deleting from `file`; items are its tree items, and `modified` is set when it changes.
// DeleteItem returns whether the item's Block went; DeleteProp and RemoveProp return 1 when
// the file has a "figure" Block to take the prop's "addChild" lines from, 0 otherwise.
bool DeleteItem(FigureFile& file, TreeItem item);
int DeleteProp(FigureFile& file, TreeItem item);
// Takes what it needs from `prop` before removing it, so `prop` may be one of the Blocks it
// removes.
int RemoveProp(FigureFile& file, const Block& prop);
void DeleteAllMorphTargets(FigureFile& file, TreeItem item);
void DeleteAllChannels(FigureFile& file, TreeItem item);
// The same on a body part's Block: its morph targets (or its other channels) go.
void DeleteChannelsWhere(FigureFile& file, Block* bodyPart, bool morphTargets);
// RemoveProp for props of these names, one after another, in one walk of the file.
void RemoveProps(FigureFile& file, const std::vector<std::string>& names);
void DeleteAllProps(FigureFile& file, TreeItem item);

}  // namespace tessary

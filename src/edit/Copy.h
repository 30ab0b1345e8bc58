#pragma once

#include <string>
#include <string_view>

#include "platform/TreeControl.h"

namespace tessary {

class Block;
class FigureFile;

// Copying from `file` into its otherPane. Items are tree items of `file`; the destination's
// `modified` is set when it changes. CopyItem and CopyProp return 1 when something was
// inserted, 0 otherwise; a failed copy leaves the destination as it was.
int CopyItem(FigureFile& file, TreeItem item);
int CopyProp(FigureFile& file, TreeItem item);
void CopyMorphTargetsOf(FigureFile& file, const Block* bodyPart);
void CopyChannelsOf(FigureFile& file, const Block* bodyPart);
void CopyAllMorphTargets(FigureFile& file, TreeItem item);
void CopyAllChannels(FigureFile& file, TreeItem item);
void CopyAllProps(FigureFile& file, TreeItem item);

// `name` with its figure-number suffix replaced by `suffix` ("box_1:1", "2" -> "box_1:2"), or
// given one when it has none ("box_1" -> "box_1:2").
std::string WithFigureSuffix(std::string_view name, std::string_view suffix);

}  // namespace tessary

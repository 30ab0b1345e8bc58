#pragma once

#include "platform/TreeControl.h"

namespace tessary {

class Block;
class FigureFile;

// Which channels of a body part zeroing takes.
enum class ChannelChoice { All = 0, MorphTargets = 1, OtherChannels = 2 };

// Zeroing the "k" lines of channels of `file`; sets `modified` when a value changes.
void ZeroChannel(FigureFile& file, Block* channel);
void ZeroItem(FigureFile& file, TreeItem item);
void ZeroActorChannels(FigureFile& file, Block* bodyPart, ChannelChoice which);
void ZeroActorItem(FigureFile& file, TreeItem item, ChannelChoice which);

}  // namespace tessary

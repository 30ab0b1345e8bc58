// Zeroing the animation values of channels: the value of each "k" line becomes 0.

#include "edit/Zero.h"

#include <string>

#include "model/Block.h"
#include "pane/FigureFile.h"

namespace tessary {

void ZeroChannel(FigureFile& file, Block* channel) {
    if (channel == nullptr) {
        return;
    }
    Block* keys = channel->FindNthChild("keys", 0, Match::Tag);
    if (keys == nullptr) {
        return;
    }
    // "k 30 -4.5" keeps its frame and becomes "k 30 0"; the value is replaced as text, so
    // nothing is parsed and no locale can change it.
    for (Block& key : keys->children) {
        if (key.tag != "k") {
            continue;
        }
        const std::size_t space = key.data.rfind(' ');
        const std::size_t valueAt = space == std::string::npos ? 0 : space + 1;
        if (key.data.compare(valueAt, std::string::npos, "0") == 0) {
            continue;  // already zero: the file does not change
        }
        key.data.replace(valueAt, std::string::npos, "0");
        file.modified = 1;
    }
}

void ZeroItem(FigureFile& file, TreeItem item) {
    if (item != 0) {
        ZeroChannel(file, file.root.FindByTreeItem(item));
    }
}

void ZeroActorChannels(FigureFile& file, Block* bodyPart, ChannelChoice which) {
    if (bodyPart == nullptr) {
        return;
    }
    Block* channels = bodyPart->FindNthChild("channels", 0, Match::Tag);
    if (channels == nullptr) {
        return;
    }
    for (Block& channel : channels->children) {
        const bool morphTarget = channel.tag == "targetGeom";
        if (which == ChannelChoice::All || (which == ChannelChoice::MorphTargets && morphTarget) ||
            (which == ChannelChoice::OtherChannels && !morphTarget)) {
            ZeroChannel(file, &channel);
        }
    }
}

void ZeroActorItem(FigureFile& file, TreeItem item, ChannelChoice which) {
    if (item != 0) {
        ZeroActorChannels(file, file.root.FindByTreeItem(item), which);
    }
}

}  // namespace tessary

// Zeroing the animation values of channels: the value of each "k" line becomes 0.

#include <string>

#include "model/Block.h"
#include "pane/FigureFile.h"

namespace tessary {

void FigureFile::ZeroChannel(Block* channel) {
    if (channel == nullptr) {
        return;
    }
    Block* keys = channel->FindNthChild("keys", 0, true);
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
        modified = 1;
    }
}

void FigureFile::ZeroItem(TreeItem item) {
    if (item != 0) {
        ZeroChannel(root.FindByTreeItem(item));
    }
}

void FigureFile::ZeroActorChannels(Block* bodyPart, int which) {
    if (bodyPart == nullptr) {
        return;
    }
    Block* channels = bodyPart->FindNthChild("channels", 0, true);
    if (channels == nullptr) {
        return;
    }
    for (Block& channel : channels->children) {
        const bool morphTarget = channel.tag == "targetGeom";
        if (which == 0 || (which == 1 && morphTarget) || (which == 2 && !morphTarget)) {
            ZeroChannel(&channel);
        }
    }
}

void FigureFile::ZeroActorItem(TreeItem item, int which) {
    if (item != 0) {
        ZeroActorChannels(root.FindByTreeItem(item), which);
    }
}

}  // namespace tessary

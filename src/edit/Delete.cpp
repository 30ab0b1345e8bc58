// Deleting morph targets, channels and props from a pane's file.

#include "edit/Delete.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "edit/LineWalks.h"
#include "model/Block.h"
#include "pane/EditHistory.h"
#include "pane/FigureFile.h"

namespace tessary {

namespace {

Block* ChannelsOf(Block* bodyPart) {
    return bodyPart == nullptr ? nullptr : bodyPart->FindNthChild("channels", 0, Match::Tag);
}

// Removes the children of `channels` whose tag is (or is not) "targetGeom", in one pass; into
// the step the file's history records, if any.
bool RemoveChannels(FigureFile& file, Block& channels, bool morphTargets) {
    return RemoveChildrenRecorded(file.history, file.root, channels,
                                  [morphTargets](const Block& channel) {
                                      return (channel.tag == "targetGeom") == morphTargets;
                                  }) != 0;
}

// The first "parent" line of a top-level Block names `bodyPartName`.
bool HangsFrom(const Block& block, std::string_view bodyPartName) {
    const int parent = block.FindChildIndex("parent");
    return parent >= 0 && block.children[static_cast<std::size_t>(parent)].data == bodyPartName;
}

// RemoveProp's steps on the figure Block for one name after another: its "prop" lines of that
// name go, then the first "addChild" line of the name and the line after it. Done in one pass
// before the rest of the file is walked, so that each step sees the lines it would have seen.
bool RemovePropsFromFigure(Block& figure, const std::vector<std::string>& names,
                           const std::unordered_set<std::string_view>& nameSet) {
    constexpr std::string_view kAddChild = "addChild ";
    ChildList& children = figure.children;
    // Where each name's "prop" and "addChild" lines are, in order.
    std::unordered_map<std::string_view, std::vector<std::size_t>> propLines;
    std::unordered_map<std::string, std::vector<std::size_t>> addChildLines;
    for (std::size_t i = 0; i < children.size(); ++i) {
        const Block& child = children[i];
        if (child.tag == "prop" && nameSet.count(child.data) != 0) {
            propLines[child.data].push_back(i);
        }
        std::string key = child.LineKey();
        if (key.compare(0, kAddChild.size(), kAddChild) == 0 &&
            nameSet.count(std::string_view(key).substr(kAddChild.size())) != 0) {
            addChildLines[key.substr(kAddChild.size())].push_back(i);
        }
    }
    std::vector<bool> doomed(children.size(), false);
    bool removed = false;
    for (const std::string& name : names) {
        if (const auto props = propLines.find(name); props != propLines.end()) {
            for (std::size_t at : props->second) {
                doomed[at] = true;
                removed = true;
            }
        }
        const auto pairs = addChildLines.find(name);
        if (pairs == addChildLines.end()) {
            continue;
        }
        for (std::size_t at : pairs->second) {
            if (doomed[at]) {
                continue;
            }
            doomed[at] = true;
            std::size_t next = at + 1;  // the parent's name, the next line still there
            while (next < children.size() && doomed[next]) {
                ++next;
            }
            if (next < children.size()) {
                doomed[next] = true;
            }
            removed = true;
            break;
        }
    }
    std::size_t position = 0;
    RemoveChildrenWhere(figure, [&](const Block&) { return doomed[position++]; });
    return removed;
}

}  // namespace

bool DeleteItem(FigureFile& file, TreeItem item) {
    // Item 0 would match the first Block that has no item at all.
    std::optional<BlockPosition> position;
    if (item != 0) {
        position = PositionOfItem(file.root, item);
    }
    if (!position) {
        return false;
    }
    const std::size_t index = position->back();
    position->pop_back();
    Block& parent = *BlockAt(file.root, *position);
    const Block* doomed = &parent.children[index];
    RemoveChildrenRecorded(file.history, file.root, parent,
                           [doomed](const Block& child) { return &child == doomed; });
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

    Block* figure = file.root.FindNthChild("figure", 0, Match::Tag);
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
        if (RemoveChannels(file, *channels, morphTargets)) {
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
    // The props that go, in the order the walk below meets them: their names are removed and
    // redirected in one walk of the file rather than two per prop. That gives the same file
    // unless a redirection could make another prop hang from the body part (it is named
    // "UNIVERSE") or stop one hanging from it (a prop bears its name); those take the walk.
    std::vector<std::string> names;
    std::unordered_set<std::string> nameSet;  // own copies: `names` moves its strings as it grows
    for (std::size_t i = file.root.children.size(); i-- > 0;) {
        const Block& block = file.root.children[i];
        if (block.tag == "prop" && HangsFrom(block, bodyPartName) &&
            nameSet.count(block.data) == 0) {
            names.push_back(block.data);
            nameSet.insert(block.data);
        }
    }
    if (names.empty()) {
        return;
    }
    if (bodyPartName != "UNIVERSE" && nameSet.count(bodyPartName) == 0) {
        RemoveProps(file, names);
        return;
    }
    // RemoveProp can take more than the visited Block (the prop's other "prop" Block, usually
    // earlier in the file), so the position is clamped to the shrunken list after each call.
    // Every call removes at least the visited Block, so the walk ends.
    std::size_t i = file.root.children.size();
    while (i > 0) {
        --i;
        const Block& block = file.root.children[i];
        if (block.tag == "prop" && HangsFrom(block, bodyPartName)) {
            RemoveProp(file, block);
            i = std::min(i, file.root.children.size());
        }
    }
}

void RemoveProps(FigureFile& file, const std::vector<std::string>& names) {
    // The strings of `names` stay put while the set refers to them.
    const std::unordered_set<std::string_view> nameSet(names.begin(), names.end());
    if (Block* figure = file.root.FindNthChild("figure", 0, Match::Tag)) {
        if (RemovePropsFromFigure(*figure, names, nameSet)) {
            file.modified = 1;
        }
    }
    if (RemoveAndRedirectLines(file.root, "prop", "parent", nameSet, "UNIVERSE")) {
        file.modified = 1;
    }
}

}  // namespace tessary

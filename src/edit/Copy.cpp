// Copying morph targets, channels and props from a pane's file into the other pane's file.

#include "edit/Copy.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/Block.h"
#include "model/Names.h"
#include "pane/FigureFile.h"

namespace tessary {

namespace {

// Whether a copy may go from `source` into `destination` at all.
bool CanCopyInto(const FigureFile& source, const FigureFile* destination) {
    return destination != nullptr && destination != &source && destination->loaded != 0;
}

// A copy still carries the tree-item handles of the source pane; the destination's items may
// use the same numbers, so they are dropped until the destination's tree is rebuilt. (The
// folder items stay with the source pane's FigureTree.)
void ForgetSourceItems(Block& copy) {
    copy.ClearTreeItems();
}

// The first level that CreateMissingLevels added (all later ones are inside it): where it
// stands, so that a copy that fails after all can take it back.
struct AddedLevel {
    Block* parent = nullptr;
    std::size_t index = 0;
};

// Creates the levels of `parentPath` that `root` lacks, matching each segment by its exact
// line key. A pose file's body part thus arrives under its base name.
AddedLevel CreateMissingLevels(Block& root, std::string_view parentPath) {
    AddedLevel added;
    if (parentPath.size() < 2) {
        return added;
    }
    std::string_view rest = parentPath.substr(2);  // past the root's " " and its "|"
    Block* current = &root;
    while (!rest.empty()) {
        const std::size_t bar = FindPathSeparator(rest);
        const std::string segment = PathSegmentText(rest.substr(0, bar));
        rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
        if (Block* found = current->FindNthChild(segment, 0, Match::LineKey)) {
            current = found;
            continue;
        }
        Block level;
        ParseLine(segment, level);
        level.hasBlock = 1;
        if (added.parent == nullptr) {
            added = {current, current->children.size()};
        }
        current = &current->AppendChild(std::move(level));
    }
    return added;
}

// What CopyBlockUnder does to `target` for each source in turn (its first child with the
// source's line goes, and a copy of the source becomes its first child), in one pass over its
// children. Of several sources with one line only the last one's copy stays, as each later
// copy removes the one before it; and each line takes away only the first child that had it.
void PutCopiesFirst(Block& target, const Block* const* first, const Block* const* last) {
    const std::size_t count = static_cast<std::size_t>(last - first);
    std::vector<std::string> keys(count);
    std::unordered_map<std::string_view, std::size_t> lastWithKey;
    for (std::size_t i = 0; i < count; ++i) {
        keys[i] = first[i]->LineKey();
        lastWithKey[keys[i]] = i;
    }
    ChildList children;
    children.reserve(lastWithKey.size() + target.children.size());
    for (std::size_t i = count; i-- > 0;) {
        if (lastWithKey[keys[i]] == i) {
            ForgetSourceItems(children.emplace_back(*first[i]));
        }
    }
    std::unordered_set<std::string_view> replaced;
    for (Block& child : target.children) {
        const auto found = lastWithKey.find(child.LineKey());
        if (found != lastWithKey.end() && replaced.insert(found->first).second) {
            Block gone(std::move(child));  // its subtree is freed here, iteratively
            continue;
        }
        children.push_back(std::move(child));
    }
    target.children = std::move(children);
}

// The "addChild" line of `figure` that names `propName`, and the line after it (its parent's
// name), or -1.
int AddChildIndex(const Block& figure, std::string_view propName) {
    const std::string key = "addChild " + std::string(propName);
    for (std::size_t i = 0; i < figure.children.size(); ++i) {
        if (figure.children[i].LineKey() == key) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

// Copies `source` into file.otherPane under the Block at `parentPathOfSource` (base names),
// replacing a child with the same line; false when the destination has no such Block.
static bool CopyBlockUnder(FigureFile& file, const Block& source,
                           std::string_view parentPathOfSource);
static void CopyBlocksUnder(FigureFile& file, const std::vector<const Block*>& sources,
                            std::string_view parentPath);
static bool CopyPropBlock(FigureFile& file, const Block& prop);
// Adds a copy of `copied` under `parentPath` to file.lastCopy.
static void RecordCopy(FigureFile& file, const std::string& parentPath, const Block& copied);

std::string WithFigureSuffix(std::string_view name, std::string_view suffix) {
    const std::size_t colon = name.rfind(':');
    std::string result(colon == std::string_view::npos ? name : name.substr(0, colon));
    result += ':';
    result += suffix;
    return result;
}

int CopyItem(FigureFile& file, TreeItem item) {
    if (!CanCopyInto(file, file.otherPane) || item == 0) {
        return 0;
    }
    const std::string path = file.root.PathOf(item, true);
    if (path.empty() || FindPathSeparator(path) == std::string::npos) {
        return 0;
    }
    const Block* source = file.root.FindByTreeItem(item);
    if (source == nullptr) {
        return 0;
    }
    return CopyBlockUnder(file, *source, PathParent(path)) ? 1 : 0;
}

static bool CopyBlockUnder(FigureFile& file, const Block& source,
                           std::string_view parentPathOfSource) {
    const std::string parentPath(parentPathOfSource);
    const std::string key = source.LineKey();
    Block& destination = file.otherPane->root;
    // The copy is made before the destination changes: running out of memory while copying
    // leaves the destination as it was.
    Block copy = source;
    ForgetSourceItems(copy);

    Block* target = destination.FindByPath(parentPath, true);
    if (target == nullptr && file.viewKind == kPoseView) {
        const AddedLevel added = CreateMissingLevels(destination, parentPath);
        target = destination.FindByPath(parentPath, true);
        if (target == nullptr && added.parent != nullptr) {
            // The new levels carry names that the base-name lookup does not find (an actor
            // "eye:l" has the base name "eye"): a failed copy leaves the destination as it was.
            added.parent->RemoveChild(added.index);
        }
    }
    if (target == nullptr) {
        return false;
    }
    destination.RemoveAtPath(parentPath, key);
    // RemoveAtPath may have moved the target's children, never the target itself.
    target->InsertChild(0, std::move(copy));
    file.otherPane->modified = 1;
    RecordCopy(file, parentPath, source);
    return true;
}

static void RecordCopy(FigureFile& file, const std::string& parentPath, const Block& copied) {
    ++(copied.tag == "targetGeom" ? file.lastCopy.morphTargets : file.lastCopy.channels);
    file.lastCopy.paths.push_back(parentPath + "|" + copied.LineKey());
    // The body part is the first level below the root: " |actor lHand|channels".
    const std::size_t first = parentPath.find('|');
    if (first != std::string::npos) {
        const std::size_t end = parentPath.find('|', first + 1);
        Block level;
        ParseLine(
            std::string_view(parentPath)
                .substr(first + 1, end == std::string::npos ? std::string::npos : end - first - 1),
            level);
        if (!file.lastCopy.bodyPart.empty() && file.lastCopy.bodyPart != level.data) {
            file.lastCopy.severalBodyParts = true;
        }
        file.lastCopy.bodyPart = level.data;
    }
}

int CopyProp(FigureFile& file, TreeItem item) {
    if (!CanCopyInto(file, file.otherPane) || item == 0) {
        return 0;
    }
    const Block* prop = file.root.FindByTreeItem(item);
    if (prop == nullptr) {
        return 0;
    }
    return CopyPropBlock(file, *prop) ? 1 : 0;
}

// All or nothing: every lookup that the copy needs, in this file and in the destination, is
// done before the first Block is inserted, so a failed copy leaves no half of a prop behind.
static bool CopyPropBlock(FigureFile& file, const Block& prop) {
    if (!CanCopyInto(file, file.otherPane)) {
        return false;
    }
    const std::string key = prop.LineKey();
    const std::string name = prop.data;
    const Block* geometry = file.root.FindNthChild(key, 0, Match::LineKey);
    const Block* settings = file.root.FindNthChild(key, 1, Match::LineKey);
    // FindNthChild hands back the last match when there are fewer; the settings Block must be
    // a second one.
    if (geometry == nullptr || settings == nullptr || settings == geometry) {
        return false;
    }
    Block& destination = file.otherPane->root;
    const int resFileIndex = destination.FindNthChildIndex("figureResFile", -1, Match::Tag);
    const int figureIndex = destination.FindChildIndex("figure");
    if (resFileIndex < 0 || figureIndex < 0) {
        return false;
    }

    const Block* sourceFigure = file.root.FindNthChild("figure", 0, Match::Tag);
    const Block* addChild = nullptr;
    const Block* parentLine = nullptr;
    if (sourceFigure != nullptr) {
        const int at = AddChildIndex(*sourceFigure, name);
        if (at >= 0) {
            addChild = &sourceFigure->children[static_cast<std::size_t>(at)];
            if (static_cast<std::size_t>(at) + 1 < sourceFigure->children.size()) {
                parentLine = &sourceFigure->children[static_cast<std::size_t>(at) + 1];
            }
        }
    }
    const int lastAddChild =
        destination.children[static_cast<std::size_t>(figureIndex)].FindNthChildIndex(
            "addChild", -1, Match::Tag);
    if (addChild != nullptr && lastAddChild < 0) {
        return false;
    }

    const std::string& suffix = file.otherPane->figureSuffix;

    Block geometryCopy = *geometry;
    ForgetSourceItems(geometryCopy);
    geometryCopy.data = WithFigureSuffix(geometryCopy.data, suffix);

    Block settingsCopy = *settings;
    ForgetSourceItems(settingsCopy);
    settingsCopy.data = WithFigureSuffix(settingsCopy.data, suffix);
    for (Block& child : settingsCopy.children) {
        if (child.tag == "parent") {
            child.data = WithFigureSuffix(child.data, suffix);
            break;
        }
    }

    // The geometry goes before the last "figureResFile" line, the settings before the
    // "figure" Block; inserting the geometry first moves the "figure" Block one place on
    // when it came after that line.
    destination.InsertChild(static_cast<std::size_t>(resFileIndex), std::move(geometryCopy));
    const int figureAt = figureIndex >= resFileIndex ? figureIndex + 1 : figureIndex;
    destination.InsertChild(static_cast<std::size_t>(figureAt), std::move(settingsCopy));
    file.otherPane->modified = 1;
    ++file.lastCopy.props;
    file.lastCopy.propNames.push_back(WithFigureSuffix(name, suffix));

    if (addChild == nullptr) {
        return true;
    }
    Block& figure = destination.children[static_cast<std::size_t>(figureAt) + 1];
    const std::size_t size = figure.children.size();
    const std::size_t addAt = std::min(static_cast<std::size_t>(lastAddChild) + 2, size);
    Block addChildCopy = *addChild;
    ForgetSourceItems(addChildCopy);
    addChildCopy.data = WithFigureSuffix(addChildCopy.data, suffix);
    figure.InsertChild(addAt, std::move(addChildCopy));
    if (parentLine != nullptr) {
        Block parentCopy = *parentLine;
        ForgetSourceItems(parentCopy);
        parentCopy.tag = WithFigureSuffix(parentCopy.tag, suffix);
        figure.InsertChild(std::min(addAt + 1, figure.children.size()), std::move(parentCopy));
    }
    return true;
}

// CopyItem for every channel of a body part that is (or is not) a morph target.
static void CopyChannelsWhere(FigureFile& file, const Block* bodyPart, bool morphTargets) {
    if (bodyPart == nullptr) {
        return;
    }
    const Block* channels = bodyPart->FindNthChild("channels", 0, Match::Tag);
    if (channels == nullptr) {
        return;
    }
    // Copying only reads this file, so the walk over its channels stays valid. The channels
    // share one parent path: it is worked out once, from the first channel copied, rather
    // than by a search of the whole file for every channel as CopyItem would. As there, a
    // channel without an item, or without a brace block (no path leads to it), is skipped.
    std::optional<std::string> parentPath;
    std::vector<const Block*> sources;
    for (const Block& channel : channels->children) {
        if ((channel.tag == "targetGeom") != morphTargets || channel.treeItem == 0 ||
            channel.hasBlock == 0) {
            continue;
        }
        if (!parentPath) {
            if (!CanCopyInto(file, file.otherPane)) {
                return;
            }
            const std::string path = file.root.PathOf(channel.treeItem, true);
            if (path.empty() || FindPathSeparator(path) == std::string::npos) {
                return;
            }
            parentPath = std::string(PathParent(path));
        }
        sources.push_back(&channel);
    }
    if (parentPath) {
        CopyBlocksUnder(file, sources, *parentPath);
    }
}

// CopyBlockUnder for each source in turn, all with the same parent path.
static void CopyBlocksUnder(FigureFile& file, const std::vector<const Block*>& sources,
                            std::string_view parentPath) {
    // A copy that fails leaves the destination as it was, so the others would fail alike.
    if (sources.empty() || !CopyBlockUnder(file, *sources.front(), parentPath)) {
        return;
    }
    if (Block* target = file.otherPane->root.FindByPath(parentPath, true)) {
        PutCopiesFirst(*target, sources.data() + 1, sources.data() + sources.size());
        const std::string path(parentPath);
        for (std::size_t i = 1; i < sources.size(); ++i) {
            RecordCopy(file, path, *sources[i]);
        }
    }
}

void CopyMorphTargetsOf(FigureFile& file, const Block* bodyPart) {
    CopyChannelsWhere(file, bodyPart, true);
}

void CopyChannelsOf(FigureFile& file, const Block* bodyPart) {
    CopyChannelsWhere(file, bodyPart, false);
}

void CopyAllMorphTargets(FigureFile& file, TreeItem item) {
    if (item != 0) {
        CopyMorphTargetsOf(file, file.root.FindByTreeItem(item));
    }
}

void CopyAllChannels(FigureFile& file, TreeItem item) {
    if (item != 0) {
        CopyChannelsOf(file, file.root.FindByTreeItem(item));
    }
}

void CopyAllProps(FigureFile& file, TreeItem item) {
    if (item == 0) {
        return;
    }
    const Block* bodyPart = file.root.FindByTreeItem(item);
    if (bodyPart == nullptr) {
        return;
    }
    const std::string bodyPartName = bodyPart->data;
    for (std::size_t i = file.root.children.size(); i-- > 0;) {
        const Block& block = file.root.children[i];
        if (block.tag != "prop") {
            continue;
        }
        const int parent = block.FindChildIndex("parent");
        if (parent >= 0 && block.children[static_cast<std::size_t>(parent)].data == bodyPartName) {
            // The prop is taken as a Block, not through its tree item: the prop's first Block
            // (its geometry) has no item of its own.
            CopyPropBlock(file, block);
        }
    }
}

}  // namespace tessary

#include <utility>

#include "model/Block.h"
#include "model/Names.h"

namespace tessary {

namespace {

// True when `key` reads "tag data" for the given tag and data, without building the key.
bool KeyEquals(std::string_view key, std::string_view tag, std::string_view data) {
    return key.size() == tag.size() + 1 + data.size() && key.substr(0, tag.size()) == tag &&
           key[tag.size()] == ' ' && key.substr(tag.size() + 1) == data;
}

std::string_view SegmentData(const Block& block, bool baseNames) {
    return baseNames ? BaseName(block.data) : std::string_view(block.data);
}

bool SegmentEquals(std::string_view segment, const Block& block, bool baseNames) {
    return PathSegmentIs(segment, block.tag, SegmentData(block, baseNames));
}

bool ChildMatches(const Block& child, std::string_view key, bool byTag) {
    return byTag ? child.tag == key : KeyEquals(key, child.tag, child.data);
}

// Visits this Block and every descendant depth first in child order, the parent before its
// children. `visit` may change tag and data but not the children arrays.
template <typename Visit>
void ForEachInSubtree(Block& top, Visit visit) {
    std::vector<std::pair<Block*, std::size_t>> stack;
    visit(top);
    stack.emplace_back(&top, 0);
    while (!stack.empty()) {
        auto& [block, next] = stack.back();
        if (next == block->children.size()) {
            stack.pop_back();
            continue;
        }
        Block& child = block->children[next++];
        visit(child);
        if (!child.children.empty()) {
            stack.emplace_back(&child, 0);
        }
    }
}

}  // namespace

int Block::FindChildIndex(std::string_view tagToFind) const {
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (children[i].tag == tagToFind) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int Block::FindChildIndex(std::string_view tagToFind, std::string_view dataToFind,
                          bool baseNames) const {
    for (std::size_t i = 0; i < children.size(); ++i) {
        const Block& child = children[i];
        if (child.tag == tagToFind && SegmentData(child, baseNames) == dataToFind) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

Block* Block::FindChild(std::string_view tagToFind, std::string_view dataToFind, bool baseNames) {
    const int index = FindChildIndex(tagToFind, dataToFind, baseNames);
    return index < 0 ? nullptr : &children[static_cast<std::size_t>(index)];
}

const Block* Block::FindChild(std::string_view tagToFind, std::string_view dataToFind,
                              bool baseNames) const {
    const int index = FindChildIndex(tagToFind, dataToFind, baseNames);
    return index < 0 ? nullptr : &children[static_cast<std::size_t>(index)];
}

Block* Block::FindNthChild(std::string_view key, int n, Match match) {
    return const_cast<Block*>(std::as_const(*this).FindNthChild(key, n, match));
}

const Block* Block::FindNthChild(std::string_view key, int n, Match match) const {
    int seen = 0;
    for (const Block& child : children) {
        if (ChildMatches(child, key, match == Match::Tag)) {
            if (seen == n) {
                return &child;
            }
            ++seen;
        }
    }
    return nullptr;
}

int Block::FindNthChildIndex(std::string_view key, int n, Match match) const {
    int seen = 0;
    int last = -1;
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (ChildMatches(children[i], key, match == Match::Tag)) {
            last = static_cast<int>(i);
            if (n != -1 && seen == n) {
                return last;
            }
            ++seen;
        }
    }
    return last;
}

std::string Block::GetParentName() const {
    const int index = FindChildIndex("parent");
    return index < 0 ? std::string() : children[static_cast<std::size_t>(index)].data;
}

void Block::ClearTreeItems() {
    ForEachInSubtree(*this, [](Block& block) { block.treeItem = 0; });
}

Block* Block::FindByTreeItem(TreeItem item) {
    return const_cast<Block*>(std::as_const(*this).FindByTreeItem(item));
}

const Block* Block::FindByTreeItem(TreeItem item) const {
    if (treeItem == item) {
        return this;
    }
    std::vector<std::size_t> path;
    return FindDescendantByTreeItem(item, path);
}

const Block* Block::FindDescendantByTreeItem(TreeItem item, std::vector<std::size_t>& path) const {
    std::vector<std::pair<const Block*, std::size_t>> stack{{this, 0}};
    while (!stack.empty()) {
        auto& [block, next] = stack.back();
        if (next == block->children.size()) {
            stack.pop_back();
            continue;
        }
        const Block& child = block->children[next++];
        if (child.treeItem == item) {
            path.clear();
            for (const auto& level : stack) {
                path.push_back(level.second - 1);
            }
            return &child;
        }
        if (!child.children.empty()) {
            stack.emplace_back(&child, 0);
        }
    }
    return nullptr;
}

bool Block::RemoveByTreeItem(TreeItem item) {
    std::vector<std::pair<Block*, std::size_t>> stack{{this, 0}};
    while (!stack.empty()) {
        auto& [block, next] = stack.back();
        if (next == block->children.size()) {
            stack.pop_back();
            continue;
        }
        const std::size_t index = next++;
        Block& child = block->children[index];
        if (child.treeItem == item) {
            block->RemoveChild(index);
            return true;
        }
        if (!child.children.empty()) {
            stack.emplace_back(&child, 0);
        }
    }
    return false;
}

bool Block::BuildPath(std::string& path, TreeItem item, bool baseNames) const {
    if (hasBlock == 0) {
        return false;
    }
    auto appendSegment = [&path, baseNames](const Block& block) {
        AppendPathSegment(path, block.tag, SegmentData(block, baseNames));
    };
    appendSegment(*this);
    if (treeItem == item) {
        return true;
    }
    // Each frame remembers the path length before its Block's segment, to restore it when the
    // Block's subtree holds no match. This Block's own segment stays, as a failed search leaves
    // it in the path.
    struct Frame {
        const Block* block;
        std::size_t next;
        std::size_t pathBefore;
    };
    std::vector<Frame> stack{{this, 0, path.size()}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.block->children.size()) {
            if (stack.size() > 1) {
                path.resize(frame.pathBefore);
            }
            stack.pop_back();
            continue;
        }
        const Block& child = frame.block->children[frame.next++];
        if (child.hasBlock == 0) {
            continue;
        }
        const std::size_t before = path.size();
        appendSegment(child);
        if (child.treeItem == item) {
            return true;
        }
        stack.push_back({&child, 0, before});
    }
    return false;
}

std::string Block::PathOf(TreeItem item, bool baseNames) const {
    std::string path;
    BuildPath(path, item, baseNames);
    return path;
}

Block* Block::FindByPath(std::string_view path, bool baseNames) {
    // Matches `block` against the path from `offset`: 0 no match, 1 the whole rest matched,
    // 2 its first segment matched and the search goes on below with `next`.
    auto match = [path, baseNames](const Block& block, std::size_t offset, std::size_t& next) {
        const std::string_view rest = path.substr(offset);
        const std::size_t bar = FindPathSeparator(rest);
        if (bar == std::string_view::npos) {
            return SegmentEquals(rest, block, baseNames) ? 1 : 0;
        }
        if (!SegmentEquals(rest.substr(0, bar), block, baseNames)) {
            return 0;
        }
        next = offset + bar + 1;
        return 2;
    };
    std::size_t next = 0;
    const int top = match(*this, 0, next);
    if (top != 2) {
        return top == 1 ? this : nullptr;
    }
    struct Frame {
        Block* block;
        std::size_t child;
        std::size_t offset;
    };
    std::vector<Frame> stack{{this, 0, next}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.child == frame.block->children.size()) {
            stack.pop_back();
            continue;
        }
        Block& child = frame.block->children[frame.child++];
        const int result = match(child, frame.offset, next);
        if (result == 1) {
            return &child;
        }
        if (result == 2) {
            stack.push_back({&child, 0, next});
        }
    }
    return nullptr;
}

bool Block::InsertCopyAtPath(std::string_view path, const Block* source, bool baseNames) {
    if (source == nullptr) {
        return false;
    }
    Block* target = FindByPath(path, baseNames);
    if (target == nullptr) {
        return false;
    }
    // The source may be the target or one of its ancestors: copy before inserting.
    Block copy(*source);
    target->InsertChild(0, std::move(copy));
    return true;
}

bool Block::RemoveAtPath(std::string_view path, std::string_view lineKey) {
    Block* target = FindByPath(path, true);
    if (target == nullptr) {
        return false;
    }
    for (std::size_t i = 0; i < target->children.size(); ++i) {
        const Block& child = target->children[i];
        if (KeyEquals(lineKey, child.tag, child.data)) {
            target->RemoveChild(i);
            break;
        }
    }
    return true;
}

void Block::RemoveMatching(std::string_view tagToRemove, std::string_view dataToRemove) {
    std::vector<std::pair<Block*, std::size_t>> stack{{this, 0}};
    while (!stack.empty()) {
        auto& [block, next] = stack.back();
        if (next == block->children.size()) {
            stack.pop_back();
            continue;
        }
        Block& child = block->children[next];
        if ((tagToRemove.empty() || child.tag == tagToRemove) &&
            (dataToRemove.empty() || child.data == dataToRemove)) {
            // The next sibling moves into this position and is examined next.
            block->RemoveChild(next);
            continue;
        }
        ++next;
        if (!child.children.empty()) {
            stack.emplace_back(&child, 0);
        }
    }
}

void Block::ReplaceData(std::string_view tagToFind, std::string_view dataToFind,
                        std::string_view newData) {
    // The arguments may point into Blocks that this edit changes.
    const std::string tagCopy(tagToFind);
    const std::string dataCopy(dataToFind);
    const std::string newCopy(newData);
    ForEachInSubtree(*this, [&](Block& block) {
        if (block.tag == tagCopy && (dataCopy.empty() || block.data == dataCopy)) {
            block.data = newCopy;
        }
    });
}

void Block::RenameData(std::string_view oldData, std::string_view newName) {
    const std::string renamed = RenamedName(newName, oldData);
    const std::string old(oldData);  // oldData may point into a Block that gets renamed
    ForEachInSubtree(*this, [&](Block& block) {
        if (block.data == old) {
            block.data = renamed;
        }
    });
}

void Block::RenameTag(std::string_view oldTag, std::string_view newName) {
    const std::string renamed = RenamedName(newName, oldTag);
    const std::string old(oldTag);
    ForEachInSubtree(*this, [&](Block& block) {
        if (block.tag == old) {
            block.tag = renamed;
        }
    });
}

bool Block::SetDataWhereTag(std::string_view tagToFind, std::string_view newName) {
    return SetDataWhereTag({tagToFind}, newName);
}

bool Block::SetDataWhereTag(std::initializer_list<std::string_view> tags,
                            std::string_view newName) {
    // Copies: the arguments may point into the tree itself.
    const std::vector<std::string> tagCopies(tags.begin(), tags.end());
    const std::string name(newName);
    bool changed = false;
    ForEachInSubtree(*this, [&](Block& block) {
        for (const std::string& tagCopy : tagCopies) {
            if (block.tag != tagCopy) {
                continue;
            }
            // As in a rename, data ending in a bare ":" ("0.1 0 0:") has no suffix to keep.
            std::string renamed = RenamedName(name, block.data);
            if (block.data != renamed) {
                block.data = std::move(renamed);
                changed = true;
            }
            return;
        }
    });
    return changed;
}

}  // namespace tessary

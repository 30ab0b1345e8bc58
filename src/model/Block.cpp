#include "model/Block.h"

#include <algorithm>
#include <new>
#include <utility>

namespace tessary {

namespace {

// Growth of a full children array: an eighth of the current count, at least 4 and at most
// 1024 elements, or the required size when that is larger.
std::size_t GrownCapacity(std::size_t size, std::size_t required) {
    const std::size_t step = std::clamp<std::size_t>(size / 8, 4, 1024);
    return std::max(size + step, required);
}

void ReserveForOneMore(std::vector<Block>& children) {
    if (children.size() == children.capacity()) {
        children.reserve(GrownCapacity(children.size(), children.size() + 1));
    }
}

// Frees a subtree without recursing: the children arrays of every level are moved onto an
// explicit stack before their owners die, so each Block is destroyed with no children left.
// It runs in destructors, so it must not throw: when there is no memory left for the stack,
// the arrays still held free themselves the ordinary way, recursing as deep as the tree nests
// (which loading limits).
void DestroyChildren(std::vector<Block>& children) noexcept {
    if (children.empty()) {
        std::vector<Block>().swap(children);
        return;
    }
    try {
        std::vector<std::vector<Block>> pending;
        pending.push_back(std::move(children));
        children = std::vector<Block>();
        while (!pending.empty()) {
            std::vector<Block> level = std::move(pending.back());
            pending.pop_back();
            for (Block& child : level) {
                if (!child.children.empty()) {
                    pending.push_back(std::move(child.children));
                }
            }
        }
    } catch (const std::bad_alloc&) {
        std::vector<Block>().swap(children);
    }
}

// Copies the children of `source` into `target` (whose children are empty) level by level.
void CopyChildren(const Block& source, Block& target) {
    std::vector<std::pair<const Block*, Block*>> pending;
    pending.emplace_back(&source, &target);
    while (!pending.empty()) {
        auto [from, to] = pending.back();
        pending.pop_back();
        // Exact reservation: the pointers pushed below stay valid while `to` fills.
        to->children.reserve(from->children.size());
        for (const Block& child : from->children) {
            Block& copy = to->children.emplace_back();
            copy.tag = child.tag;
            copy.data = child.data;
            copy.hasBlock = child.hasBlock;
            copy.treeItem = child.treeItem;
            if (!child.children.empty()) {
                pending.emplace_back(&child, &copy);
            }
        }
    }
}

}  // namespace

Block::Block(const Block& other)
    : tag(other.tag), data(other.data), hasBlock(other.hasBlock), treeItem(other.treeItem) {
    CopyChildren(other, *this);
}

Block::Block(Block&& other) noexcept
    : tag(std::move(other.tag)),
      data(std::move(other.data)),
      children(std::move(other.children)),
      hasBlock(other.hasBlock),
      treeItem(other.treeItem),
      morphsItem(other.morphsItem),
      propsItem(other.propsItem) {
    other.children.clear();
}

Block& Block::operator=(const Block& other) {
    if (this == &other) {
        return *this;
    }
    // Copy first: `other` may live inside this subtree.
    Block copy(other);
    tag.swap(copy.tag);
    data.swap(copy.data);
    children.swap(copy.children);
    hasBlock = copy.hasBlock;
    treeItem = copy.treeItem;
    return *this;
}

Block& Block::operator=(Block&& other) noexcept {
    if (this == &other) {
        return *this;
    }
    // Take `other` out first: it may live inside this subtree. The old contents die with
    // `taken`.
    Block taken(std::move(other));
    tag.swap(taken.tag);
    data.swap(taken.data);
    children.swap(taken.children);
    hasBlock = taken.hasBlock;
    treeItem = taken.treeItem;
    morphsItem = taken.morphsItem;
    propsItem = taken.propsItem;
    return *this;
}

Block::~Block() {
    if (!children.empty()) {
        DestroyChildren(children);
    }
}

void Block::Reset() {
    tag.clear();
    data.clear();
    DestroyChildren(children);
    hasBlock = 0;
    treeItem = 0;
}

void Block::SetLine(std::string_view line) {
    ParseLine(line, *this);
}

long long Block::CountNodes() const {
    long long count = 0;
    std::vector<const Block*> pending{this};
    while (!pending.empty()) {
        const Block* block = pending.back();
        pending.pop_back();
        ++count;
        for (const Block& child : block->children) {
            if (child.children.empty()) {
                ++count;
            } else {
                pending.push_back(&child);
            }
        }
    }
    return count;
}

long long Block::TextSize() const {
    long long size = 0;
    std::vector<const Block*> pending{this};
    while (!pending.empty()) {
        const Block* block = pending.back();
        pending.pop_back();
        size += static_cast<long long>(block->tag.size() + block->data.size());
        for (const Block& child : block->children) {
            pending.push_back(&child);
        }
    }
    return size;
}

std::string Block::LineKey() const {
    std::string key;
    key.reserve(tag.size() + 1 + data.size());
    key.append(tag).append(1, ' ').append(data);
    return key;
}

Block& Block::AppendChild() {
    ReserveForOneMore(children);
    return children.emplace_back();
}

Block& Block::AppendChild(Block child) {
    ReserveForOneMore(children);
    return children.emplace_back(std::move(child));
}

Block& Block::InsertChild(std::size_t index, Block child) {
    index = std::min(index, children.size());
    ReserveForOneMore(children);
    return *children.insert(children.begin() + static_cast<std::ptrdiff_t>(index),
                            std::move(child));
}

void Block::RemoveChild(std::size_t index) {
    if (index >= children.size()) {
        return;
    }
    // Move the doomed child out before erasing, so that its subtree is freed by ~Block
    // (iteratively) rather than by a move assignment in the middle of the shift.
    Block doomed(std::move(children[index]));
    children.erase(children.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace tessary

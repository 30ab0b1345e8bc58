#include "model/Block.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

namespace tessary {

namespace {

// Growth of a full children array: an eighth of the current count, at least 4 and at most
// 1024 elements, or the required size when that is larger.
std::size_t GrownCapacity(std::size_t size, std::size_t required) {
    const std::size_t step = std::clamp<std::size_t>(size / 8, 4, 1024);
    return std::max(size + step, required);
}

void ReserveForOneMore(ChildList& children) {
    if (children.size() == children.capacity()) {
        children.reserve(GrownCapacity(children.size(), children.size() + 1));
    }
}

// Frees a subtree without recursing: the children arrays of every level are moved onto an
// explicit stack before their owners die, so each Block is destroyed with no children left.
// It runs in destructors, so it must not throw: when there is no memory left for the stack,
// the arrays still held free themselves the ordinary way, recursing as deep as the tree nests
// (which loading limits).
void DestroyChildren(ChildList& children) noexcept {
    if (children.empty()) {
        ChildList().swap(children);
        return;
    }
    try {
        std::vector<ChildList> pending;
        pending.push_back(std::move(children));
        children = ChildList();
        while (!pending.empty()) {
            ChildList level = std::move(pending.back());
            pending.pop_back();
            for (Block& child : level) {
                if (!child.children.empty()) {
                    pending.push_back(std::move(child.children));
                }
            }
        }
    } catch (const std::bad_alloc&) {
        ChildList().swap(children);
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
    : treeItem(other.treeItem), tag(other.tag), hasBlock(other.hasBlock), data(other.data) {
    CopyChildren(other, *this);
}

Block::Block(Block&& other) noexcept
    : children(std::move(other.children)),
      treeItem(other.treeItem),
      tag(other.tag),
      hasBlock(other.hasBlock),
      data(std::move(other.data)) {}

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

// --- ChildList ---

ChildList::ChildList(const ChildList& other) {
    reserve(other.size());
    for (const Block& block : other) {
        emplace_back(block);
    }
}

ChildList& ChildList::operator=(const ChildList& other) {
    if (this != &other) {
        ChildList copy(other);
        swap(copy);
    }
    return *this;
}

ChildList& ChildList::operator=(ChildList&& other) noexcept {
    if (this != &other) {
        // The old elements die after the new ones are in: `other` may live among them.
        ChildList old(std::move(*this));
        head_ = std::exchange(other.head_, nullptr);
    }
    return *this;
}

ChildList::~ChildList() {
    Free();
}

void ChildList::Free() noexcept {
    if (head_ == nullptr) {
        return;
    }
    Block* elements = Elements(head_);
    for (std::size_t i = head_->size; i > 0; --i) {
        elements[i - 1].~Block();
    }
    ::operator delete(head_);
    head_ = nullptr;
}

Block& ChildList::at(std::size_t i) {
    if (i >= size()) {
        throw std::out_of_range("ChildList::at");
    }
    return data()[i];
}

const Block& ChildList::at(std::size_t i) const {
    if (i >= size()) {
        throw std::out_of_range("ChildList::at");
    }
    return data()[i];
}

ChildList::Header* ChildList::Allocate(std::size_t count) {
    if (count > UINT32_MAX) {
        throw std::bad_alloc();
    }
    auto* grown = static_cast<Header*>(::operator new(sizeof(Header) + count * sizeof(Block)));
    grown->size = 0;
    grown->capacity = static_cast<std::uint32_t>(count);
    return grown;
}

void ChildList::Adopt(Header* grown) noexcept {
    const std::size_t used = size();
    Block* from = data();
    Block* to = Elements(grown);
    for (std::size_t i = 0; i < used; ++i) {
        new (to + i) Block(std::move(from[i]));
        from[i].~Block();
    }
    grown->size = static_cast<std::uint32_t>(used);
    if (head_ != nullptr) {
        ::operator delete(head_);
    }
    head_ = grown;
}

void ChildList::Reallocate(std::size_t count) {
    if (count == 0) {
        Free();
        return;
    }
    Adopt(Allocate(count));
}

void ChildList::reserve(std::size_t count) {
    if (count > capacity()) {
        Reallocate(count);
    }
}

void ChildList::Grow(std::size_t count) {
    if (count > capacity()) {
        Reallocate(std::max(count, 2 * capacity()));
    }
}

void ChildList::shrink_to_fit() {
    if (capacity() > size()) {
        Reallocate(size());
    }
}

void ChildList::clear() noexcept {
    // As std::vector's: the elements go, the array stays.
    while (!empty()) {
        pop_back();
    }
}

void ChildList::push_back(const Block& block) {
    emplace_back(block);
}

void ChildList::push_back(Block&& block) {
    emplace_back(std::move(block));
}

void ChildList::pop_back() noexcept {
    data()[--head_->size].~Block();
}

void ChildList::resize(std::size_t count) {
    while (size() > count) {
        pop_back();
    }
    reserve(count);
    while (size() < count) {
        emplace_back();
    }
}

Block* ChildList::insert(const Block* position, Block&& block) {
    const std::size_t index = static_cast<std::size_t>(position - data());
    // Grow first, so that running out of memory leaves `block` where it was; unless `block` is
    // one of this list's elements, which growing would move.
    const bool inside = &block >= data() && &block < data() + size();
    Block made;
    if (inside) {
        made = std::move(block);
        Grow(size() + 1);
    } else {
        Grow(size() + 1);
        made = std::move(block);
    }
    Block* elements = Elements(head_);
    for (std::size_t i = head_->size; i > index; --i) {
        new (elements + i) Block(std::move(elements[i - 1]));
        elements[i - 1].~Block();
    }
    new (elements + index) Block(std::move(made));
    ++head_->size;
    return elements + index;
}

Block* ChildList::insert(const Block* position, const Block& block) {
    return insert(position, Block(block));
}

Block* ChildList::erase(const Block* position) {
    return erase(position, position + 1);
}

Block* ChildList::erase(const Block* first, const Block* last) {
    Block* elements = data();
    const std::size_t from = static_cast<std::size_t>(first - elements);
    const std::size_t to = static_cast<std::size_t>(last - elements);
    if (from == to) {
        return elements + from;
    }
    const std::size_t used = size();
    for (std::size_t i = from; i < to; ++i) {
        elements[i].~Block();
    }
    for (std::size_t i = to; i < used; ++i) {
        new (elements + from + (i - to)) Block(std::move(elements[i]));
        elements[i].~Block();
    }
    head_->size = static_cast<std::uint32_t>(used - (to - from));
    return elements + from;
}

}  // namespace tessary

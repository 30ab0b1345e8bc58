#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/Text.h"
#include "platform/TreeControl.h"

namespace tessary {

class LineSource;
class TextWriter;
struct Progress;

class Block;

// The children of a Block: an array that takes one pointer in its owner (size and capacity
// are kept in front of the elements), with the part of std::vector's interface the code uses.
// Iterators and references stay valid as std::vector's do.
class ChildList {
  public:
    using value_type = Block;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using reference = Block&;
    using const_reference = const Block&;
    using iterator = Block*;
    using const_iterator = const Block*;
    using reverse_iterator = std::reverse_iterator<Block*>;
    using const_reverse_iterator = std::reverse_iterator<const Block*>;

    ChildList() noexcept = default;
    ChildList(const ChildList& other);
    ChildList(ChildList&& other) noexcept : head_(std::exchange(other.head_, nullptr)) {}
    ChildList& operator=(const ChildList& other);
    ChildList& operator=(ChildList&& other) noexcept;
    ~ChildList();

    std::size_t size() const { return head_ == nullptr ? 0 : head_->size; }
    std::size_t capacity() const { return head_ == nullptr ? 0 : head_->capacity; }
    bool empty() const { return size() == 0; }
    Block* data() { return head_ == nullptr ? nullptr : Elements(head_); }
    const Block* data() const { return head_ == nullptr ? nullptr : Elements(head_); }
    Block* begin() { return data(); }
    Block* end();
    const Block* begin() const { return data(); }
    const Block* end() const;
    reverse_iterator rbegin() { return reverse_iterator(end()); }
    reverse_iterator rend() { return reverse_iterator(begin()); }
    const_reverse_iterator rbegin() const { return const_reverse_iterator(end()); }
    const_reverse_iterator rend() const { return const_reverse_iterator(begin()); }
    Block& operator[](std::size_t i);
    const Block& operator[](std::size_t i) const;
    Block& at(std::size_t i);
    const Block& at(std::size_t i) const;
    Block& front() { return (*this)[0]; }
    const Block& front() const { return (*this)[0]; }
    Block& back() { return (*this)[size() - 1]; }
    const Block& back() const { return (*this)[size() - 1]; }

    void reserve(std::size_t count);
    void shrink_to_fit();
    void clear() noexcept;
    void swap(ChildList& other) noexcept { std::swap(head_, other.head_); }
    friend void swap(ChildList& a, ChildList& b) noexcept { a.swap(b); }

    template <typename... Args>
    Block& emplace_back(Args&&... args);
    void push_back(const Block& block);
    void push_back(Block&& block);
    void pop_back() noexcept;
    void resize(std::size_t count);
    Block* insert(const Block* position, Block&& block);
    Block* insert(const Block* position, const Block& block);
    template <typename Iterator>
    Block* insert(const Block* position, Iterator first, Iterator last);
    Block* erase(const Block* position);
    Block* erase(const Block* first, const Block* last);

  private:
    struct Header {
        std::uint32_t size;
        std::uint32_t capacity;
        std::uint64_t align;  // keeps the elements 8-byte aligned
    };
    static Block* Elements(Header* head) { return reinterpret_cast<Block*>(head + 1); }
    static const Block* Elements(const Header* head) {
        return reinterpret_cast<const Block*>(head + 1);
    }
    // Grows to at least `count`, by doubling (vector's rule), when needed.
    void Grow(std::size_t count);
    // An empty array for `count` elements, and taking one over: the elements move into it and
    // the old array is freed.
    static Header* Allocate(std::size_t count);
    void Adopt(Header* grown) noexcept;
    // Makes the capacity exactly `count` (>= size()).
    void Reallocate(std::size_t count);
    void Free() noexcept;

    Header* head_ = nullptr;
};

// What a lookup among children compares its key with: the tag alone, or the line key
// "tag data".
enum class Match { Tag, LineKey };

// One line of a figure or pose file together with its brace block.
//
// A Block owns its children by value; copies are deep and carry the tree-item handle of the
// source. (The "MORPH TARGETS" and "PROPS" folder items of the figure view belong to the view:
// FigureTree keeps them by their owner's tree item.) Nothing holds a pointer to its parent: code
// that needs the parent walks down from the root. Every walk over the tree is iterative, so a
// hostile file nested a million levels deep is read, copied, written and destroyed without
// exhausting the stack.
//
// The node is 24 bytes: the tag is a handle into the table of tag texts, the data a Text (up to
// eight bytes inline, else shared with the TextPiece a load filled, or a text of its own after
// an edit), the children a ChildList. Texts count their references, so a Block copied or moved
// into another tree, an undo step or a local variable never points into freed memory, whatever
// happens to the file it came from.
class Block {
  public:
    ChildList children;
    TreeItem treeItem = 0;
    Tag tag;
    std::uint8_t hasBlock = 0;
    Text data;

    Block() = default;
    Block(const Block& other);
    Block(Block&& other) noexcept;
    Block& operator=(const Block& other);
    Block& operator=(Block&& other) noexcept;
    ~Block();

    // Empties tag and data, destroys the children, clears hasBlock and treeItem.
    void Reset();

    // Fills tag and data from one line of text (ParseLine on this Block).
    void SetLine(std::string_view line);

    // Appends the lines read from `source` until the "}" that closes this Block's brace block
    // or the end of the text.
    void ParseBlock(LineSource& source);

    // Writes this Block's line, and its brace block if hasBlock is 1, at the given depth (-1
    // for the root). Errors are the writer's (see TextWriter::Ok).
    void Write(TextWriter& out, int depth, Progress* progress = nullptr) const;

    // Number of Blocks in this subtree, this one included.
    long long CountNodes() const;

    // Appends a child, growing the array by an eighth of its size (at least 4, at most 1024
    // elements) when it is full. Returns the new child.
    Block& AppendChild();
    Block& AppendChild(Block child);
    // Inserts a child at `index` (0 = first) with the same growth rule.
    Block& InsertChild(std::size_t index, Block child);
    void RemoveChild(std::size_t index);

    // --- Lookups among direct children (nothing deeper is searched) ---
    int FindChildIndex(std::string_view tag) const;
    int FindChildIndex(std::string_view tag, std::string_view data, bool baseNames) const;
    Block* FindChild(std::string_view tag, std::string_view data, bool baseNames);
    const Block* FindChild(std::string_view tag, std::string_view data, bool baseNames) const;
    // The n-th child (from 0) whose tag, or whose whole line key "tag data", is `key`.
    Block* FindNthChild(std::string_view key, int n, Match match);
    const Block* FindNthChild(std::string_view key, int n, Match match) const;
    int FindNthChildIndex(std::string_view key, int n, Match match) const;
    std::string GetParentName() const;

    // --- Links between tree items and Blocks ---
    void ClearTreeItems();
    Block* FindByTreeItem(TreeItem item);
    const Block* FindByTreeItem(TreeItem item) const;
    // The same search for a descendant (this Block itself is not looked at); `path` receives the
    // child indexes that lead from this Block to the one found.
    const Block* FindDescendantByTreeItem(TreeItem item, std::vector<std::size_t>& path) const;
    bool RemoveByTreeItem(TreeItem item);

    // --- Paths: segments "tag data" joined by "|", the root's segment a single space ---
    bool BuildPath(std::string& path, TreeItem item, bool baseNames) const;
    std::string PathOf(TreeItem item, bool baseNames) const;
    Block* FindByPath(std::string_view path, bool baseNames);
    bool InsertCopyAtPath(std::string_view path, const Block* source, bool baseNames);
    bool RemoveAtPath(std::string_view path, std::string_view lineKey);

    // --- Recursive edits over this Block and its descendants ---
    void RemoveMatching(std::string_view tag, std::string_view data);
    void ReplaceData(std::string_view tag, std::string_view data, std::string_view newData);
    void RenameData(std::string_view oldData, std::string_view newName);
    void RenameTag(std::string_view oldTag, std::string_view newName);
    // Both return whether any line's data changed.
    bool SetDataWhereTag(std::string_view tag, std::string_view newName);
    // SetDataWhereTag for each of `tags` in turn, in one walk: a Block's tag matches at most one
    // of them and the change leaves tags alone, so the result is the same.
    bool SetDataWhereTag(std::initializer_list<std::string_view> tags, std::string_view newName);

    // Sum of the lengths of tag and data over this subtree.
    long long TextSize() const;

    // "tag data": the key a child is looked up by; ends in a space when data is empty.
    std::string LineKey() const;
};

static_assert(sizeof(void*) != 8 || sizeof(Block) == 24);

// --- ChildList members that need the whole Block ---

inline Block* ChildList::end() {
    return data() + size();
}
inline const Block* ChildList::end() const {
    return data() + size();
}
inline Block& ChildList::operator[](std::size_t i) {
    return data()[i];
}
inline const Block& ChildList::operator[](std::size_t i) const {
    return data()[i];
}

template <typename... Args>
Block& ChildList::emplace_back(Args&&... args) {
    if (size() == capacity()) {
        // As std::vector does: the new array first, then the new element in it (an argument
        // may be an element of this list), then the old elements. Running out of memory
        // changes nothing.
        Header* grown = Allocate(std::max(size() + 1, 2 * capacity()));
        Block* slot = Elements(grown) + size();
        try {
            new (slot) Block(std::forward<Args>(args)...);
        } catch (...) {
            ::operator delete(grown);
            throw;
        }
        Adopt(grown);
        ++head_->size;
        return *slot;
    }
    Block* slot = new (Elements(head_) + head_->size) Block(std::forward<Args>(args)...);
    ++head_->size;
    return *slot;
}

template <typename Iterator>
Block* ChildList::insert(const Block* position, Iterator first, Iterator last) {
    const std::size_t index = static_cast<std::size_t>(position - data());
    const auto count = static_cast<std::size_t>(std::distance(first, last));
    if (count == 0) {
        return data() + index;
    }
    // The only allocation comes before anything moves.
    Grow(size() + count);
    Block* elements = Elements(head_);
    const std::size_t used = head_->size;
    for (std::size_t i = used; i > index; --i) {
        new (elements + i - 1 + count) Block(std::move(elements[i - 1]));
        elements[i - 1].~Block();
    }
    std::size_t at = index;
    for (; first != last; ++first, ++at) {
        new (elements + at) Block(*first);
    }
    head_->size = static_cast<std::uint32_t>(used + count);
    return elements + index;
}

// Splits one line into tag and data (after Reset of the Block).
void ParseLine(std::string_view line, Block& block);

// Appends one output line ("indent tag data\n", or nothing when tag is empty) to `out`.
void FormatLine(std::string_view tag, std::string_view data, std::string_view indent,
                std::string& out);

}  // namespace tessary

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/TreeControl.h"

namespace tessary {

// The items of a tree control as a table: each item's text, image and links to its parent,
// children and siblings, and an index of the texts. Both tree controls keep their items here,
// so both answer the core's walks and searches alike and in constant time per step; the
// window's control adds its widget items beside it.
//
// Handles count up from 1 and are never reused within a run: a handle kept from before Clear
// (a refresh) or from a deleted item is unknown, and Find answers none for it. Only the items
// created since the last Clear are kept, so refreshing a big file again and again does not
// grow the memory.
class TreeItemTable {
  public:
    struct Node {
        std::string text;
        int image = kNoImage;
        TreeItem parent = 0;
        TreeItem firstChild = 0;
        TreeItem lastChild = 0;
        TreeItem prevSibling = 0;
        TreeItem nextSibling = 0;
        // Orders siblings: a later sibling has a larger number.
        std::uint64_t order = 0;
        bool alive = false;
        bool expanded = false;
    };

    // Appends an item as the last child of `parent` (0: top level); returns its handle, or 0
    // when the parent is unknown or the handles are used up.
    TreeItem Insert(TreeItem parent, std::string_view text, int image);
    // Forgets every item.
    void Clear();
    // Forgets the item and its whole subtree; returns the handles forgotten, the item first.
    std::vector<TreeItem> Remove(TreeItem item);
    // Changes an item's text, keeping the index in step.
    void SetText(TreeItem item, std::string_view text);
    // Orders the top-level items by TreeTextLess (a stable sort); returns them in that order.
    std::vector<TreeItem> SortTopLevel();

    Node* Find(TreeItem item);
    const Node* Find(TreeItem item) const;
    // The position of a live item among the items kept, for tables that run beside this one;
    // the next Insert gets position Size().
    std::size_t Position(TreeItem item) const { return item - base_; }
    std::size_t Size() const { return nodes_.size(); }
    std::size_t LiveCount() const { return liveCount_; }
    TreeItem FirstTopLevel() const { return topFirst_; }

    // The first item of the whole table in display order whose text equals `text`, or 0.
    // Answered from an index of the texts, built on the first search after items were added
    // (a table that is never searched pays nothing for it).
    TreeItem FindByText(std::string_view text) const;

  private:
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    using TextIndex =
        std::unordered_map<std::string, std::vector<TreeItem>, TextHash, std::equal_to<>>;

    TreeItem& FirstChildOf(TreeItem parent);
    TreeItem& LastChildOf(TreeItem parent);
    void Unlink(TreeItem item);
    // Whether `a` comes before `b` in display order.
    bool DisplayedBefore(TreeItem a, TreeItem b) const;
    void IndexNewItems() const;

    std::vector<Node> nodes_;  // nodes_[i] has the handle base_ + i
    std::uint64_t base_ = 1;
    TreeItem topFirst_ = 0;
    TreeItem topLast_ = 0;
    std::size_t liveCount_ = 0;
    std::uint64_t nextOrder_ = 1;
    // Entries of deleted or renamed items are dropped as searches meet them.
    mutable TextIndex index_;
    mutable std::size_t indexed_ = 0;  // nodes_[0, indexed_) are in index_
};

}  // namespace tessary

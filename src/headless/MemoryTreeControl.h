#pragma once

#include <iosfwd>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/TreeControl.h"

namespace tessary {

// A tree control that lives in memory: what tessary-cli and the tests fill instead of a widget.
//
// Handles count up from 1 and are never reused within a run, so a handle kept from before a
// DeleteAllItems (a refresh) is simply unknown afterwards: every query on it answers none, 0,
// false or empty text, and edits on it do nothing. Deleting an item deletes its whole subtree.
// Only the nodes created since the last DeleteAllItems are kept, so refreshing a big file over
// and over does not grow the memory.
class MemoryTreeControl : public TreeControl {
  public:
    MemoryTreeControl() = default;

    TreeItem InsertItem(TreeItem parent, std::string_view text, int image) override;
    void DeleteAllItems() override;
    void DeleteItem(TreeItem item) override;
    std::string GetItemText(TreeItem item) const override;
    bool ItemTextEquals(TreeItem item, std::string_view text) const override;
    void SetItemText(TreeItem item, std::string_view text) override;
    int GetItemImage(TreeItem item) const override;
    TreeItem GetParentItem(TreeItem item) const override;
    TreeItem GetChildItem(TreeItem item) const override;
    TreeItem GetNextSiblingItem(TreeItem item) const override;
    bool ItemHasChildren(TreeItem item) const override;
    TreeItem FindItemByText(TreeItem start, std::string_view text) const override;
    void SortTopLevel() override;
    void SelectItem(TreeItem item) override;
    TreeItem GetSelectedItem() const override;
    void Expand(TreeItem item) override;
    TreeItem GetFirstVisibleItem() const override;
    void InstallImageList() override;

    // For tests and tools: whether the handle names a live item, whether it was expanded,
    // whether the image list is installed, and how many items the control holds.
    bool IsValid(TreeItem item) const;
    bool IsExpanded(TreeItem item) const;
    bool ImageListInstalled() const { return imageListInstalled_; }
    std::size_t ItemCount() const { return liveCount_; }

  private:
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

    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    using TextIndex =
        std::unordered_map<std::string, std::vector<TreeItem>, TextHash, std::equal_to<>>;

    Node* Find(TreeItem item);
    const Node* Find(TreeItem item) const;
    // The first/last child links of `parent`, the control's own list for the top level.
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
    TreeItem selected_ = 0;
    std::size_t liveCount_ = 0;
    std::uint64_t nextOrder_ = 1;
    // Items by text, for searches of the whole control. Built on the first search after items
    // were added (a raw view that is never searched costs nothing); entries of deleted or
    // renamed items are dropped as searches meet them.
    mutable TextIndex index_;
    mutable std::size_t indexed_ = 0;  // nodes_[0, indexed_) are in index_
    bool imageListInstalled_ = false;
};

// The control's items as indented text, one line per item in display order: two spaces per
// level, the item's kind in brackets (actor, morph, prop, folder, channel; line for items
// without an image of their own), one space and the label.
std::string FormatTreeListing(const TreeControl& control);
// The same listing written straight to a stream, for trees too large to hold twice.
void WriteTreeListing(const TreeControl& control, std::ostream& out);

}  // namespace tessary

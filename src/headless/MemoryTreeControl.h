#pragma once

#include <iosfwd>

#include <string>
#include <string_view>

#include "platform/TreeControl.h"
#include "platform/TreeItemTable.h"

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
    std::size_t ItemCount() const { return items_.LiveCount(); }

  private:
    TreeItemTable items_;
    TreeItem selected_ = 0;
    bool imageListInstalled_ = false;
};

// The control's items as indented text, one line per item in display order: two spaces per
// level, the item's kind in brackets (actor, morph, prop, folder, channel; line for items
// without an image of their own), one space and the label.
std::string FormatTreeListing(const TreeControl& control);
// The same listing written straight to a stream, for trees too large to hold twice.
void WriteTreeListing(const TreeControl& control, std::ostream& out);

}  // namespace tessary

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessary {

// Handle of an item in a tree control; 0 is "none" and, as a parent, the top level. Handles are
// never reused within a run, so a handle kept from before a refresh finds nothing afterwards.
using TreeItem = std::uint32_t;

// Images of the tree's image list.
enum TreeImage : int {
    kNoImage = -1,  // raw view: the control shows its default image
    kImageActor = 0,
    kImageMorph = 1,
    kImageProp = 2,
    kImageFolder = 3,
    kImageChannel = 4,
};

// The order of SortTopLevel: alphabetical as a reader expects it, so letter case does not
// count ("BODY" sorts between "abdomen" and "chest"); texts that differ only in case fall back
// to their bytes, so the order never depends on the locale or on the previous order.
inline bool TreeTextLess(std::string_view a, std::string_view b) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = lower(static_cast<unsigned char>(a[i]));
        const int cb = lower(static_cast<unsigned char>(b[i]));
        if (ca != cb) {
            return ca < cb;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;
}

// Whether `text` contains `needle`, ASCII letters compared ignoring case (as the find field
// matches labels); an empty needle is contained in every text.
inline bool ContainsIgnoringCase(std::string_view text, std::string_view needle) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    if (needle.size() > text.size()) {
        return false;
    }
    for (std::size_t at = 0; at + needle.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < needle.size() && lower(static_cast<unsigned char>(text[at + i])) ==
                                        lower(static_cast<unsigned char>(needle[i]))) {
            ++i;
        }
        if (i == needle.size()) {
            return true;
        }
    }
    return false;
}

// The tree control of a pane (or of the Block Info dialog), as the core sees it.
class TreeControl {
  public:
    virtual ~TreeControl() = default;

    // Appends an item as the last child of `parent` (0: top level); returns its handle.
    virtual TreeItem InsertItem(TreeItem parent, std::string_view text, int image) = 0;
    virtual void DeleteAllItems() = 0;
    // Deletes the item with all its sub-items.
    virtual void DeleteItem(TreeItem item) = 0;
    virtual std::string GetItemText(TreeItem item) const = 0;
    virtual bool ItemTextEquals(TreeItem item, std::string_view text) const {
        return GetItemText(item) == text;
    }
    virtual void SetItemText(TreeItem item, std::string_view text) = 0;
    virtual int GetItemImage(TreeItem item) const = 0;
    virtual TreeItem GetParentItem(TreeItem item) const = 0;
    // First child of `item`; with 0, the first top-level item.
    virtual TreeItem GetChildItem(TreeItem item) const = 0;
    virtual TreeItem GetNextSiblingItem(TreeItem item) const = 0;
    virtual bool ItemHasChildren(TreeItem item) const = 0;
    // The first item below `start` (0: the whole control), depth first in display order, whose
    // text equals `text` exactly; `start` itself is not tested; 0 when none. This walks the
    // items; a control that can answer faster overrides it.
    virtual TreeItem FindItemByText(TreeItem start, std::string_view text) const;
    // Every item, in display order, whose text contains `needle` (ContainsIgnoringCase). This
    // walks the items; a control that can answer faster overrides it.
    virtual std::vector<TreeItem> FindItemsContaining(std::string_view needle) const;
    // Sorts the top-level items by their text (one level only).
    virtual void SortTopLevel() = 0;
    virtual void SelectItem(TreeItem item) = 0;
    virtual TreeItem GetSelectedItem() const = 0;
    // Expands the item one level.
    virtual void Expand(TreeItem item) = 0;
    virtual TreeItem GetFirstVisibleItem() const = 0;
    // Installs the five-image list (actor, morph, prop, folder, channel).
    virtual void InstallImageList() = 0;
};

}  // namespace tessary

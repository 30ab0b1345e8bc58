#include "headless/MemoryTreeControl.h"

#include <gtest/gtest.h>

#include "headless/MemoryProfileStore.h"

namespace tessary {
namespace {

TEST(MemoryTreeControl, HandlesAreNeverReusedAndStaleOnesFindNothing) {
    MemoryTreeControl control;
    const TreeItem a = control.InsertItem(0, "a", kImageActor);
    const TreeItem child = control.InsertItem(a, "child", kImageFolder);
    control.SelectItem(child);
    control.DeleteAllItems();
    const TreeItem b = control.InsertItem(0, "b", kImageActor);
    EXPECT_GT(b, child);
    EXPECT_FALSE(control.IsValid(a));
    EXPECT_EQ(control.GetItemText(a), "");
    EXPECT_EQ(control.GetItemImage(a), kNoImage);
    EXPECT_EQ(control.GetChildItem(a), 0u);
    EXPECT_EQ(control.GetSelectedItem(), 0u);
    EXPECT_EQ(control.InsertItem(a, "orphan", kImageProp), 0u);  // stale parent: refused
    EXPECT_EQ(control.ItemCount(), 1u);
}

TEST(MemoryTreeControl, DeletingAnItemDeletesItsSubtreeAndRelinksSiblings) {
    MemoryTreeControl control;
    const TreeItem first = control.InsertItem(0, "first", kImageActor);
    const TreeItem middle = control.InsertItem(0, "middle", kImageActor);
    const TreeItem last = control.InsertItem(0, "last", kImageActor);
    const TreeItem inner = control.InsertItem(middle, "inner", kImageFolder);
    const TreeItem leaf = control.InsertItem(inner, "leaf", kImageMorph);
    control.SelectItem(leaf);
    control.DeleteItem(middle);
    EXPECT_FALSE(control.IsValid(inner));
    EXPECT_FALSE(control.IsValid(leaf));
    EXPECT_EQ(control.GetSelectedItem(), 0u);
    EXPECT_EQ(control.GetNextSiblingItem(first), last);
    EXPECT_EQ(control.ItemCount(), 2u);
    control.DeleteItem(last);
    const TreeItem appended = control.InsertItem(0, "appended", kImageProp);
    EXPECT_EQ(control.GetNextSiblingItem(first), appended);
    EXPECT_EQ(FormatTreeListing(control), "[actor] first\n[prop] appended\n");
}

TEST(MemoryTreeControl, SortsTheTopLevelOnlyStablyIgnoringCase) {
    MemoryTreeControl control;
    const TreeItem z = control.InsertItem(0, "zeta", kImageActor);
    control.InsertItem(z, "b", kImageMorph);
    control.InsertItem(z, "a", kImageMorph);
    const TreeItem first = control.InsertItem(0, "Same", kImageActor);
    const TreeItem alpha = control.InsertItem(0, "alpha", kImageActor);
    const TreeItem second = control.InsertItem(0, "Same", kImageProp);
    control.InsertItem(0, "\xC3\xA9t\xC3\xA9", kImageActor);
    control.InsertItem(0, "Zulu", kImageActor);
    control.SortTopLevel();
    EXPECT_EQ(FormatTreeListing(control),
              "[actor] alpha\n[actor] Same\n[prop] Same\n[actor] zeta\n"
              "  [morph] b\n  [morph] a\n[actor] Zulu\n[actor] \xC3\xA9t\xC3\xA9\n");
    EXPECT_EQ(control.GetNextSiblingItem(first), second);
    EXPECT_EQ(control.GetFirstVisibleItem(), alpha);
    // Appending after a sort goes after the last sorted item.
    const TreeItem added = control.InsertItem(0, "added", kImageActor);
    EXPECT_EQ(control.GetParentItem(added), 0u);
    EXPECT_EQ(control.GetNextSiblingItem(control.GetChildItem(0)), first);
}

TEST(MemoryTreeControl, ListingMarksItemsWithoutAnImageAsLines) {
    MemoryTreeControl control;
    const TreeItem top = control.InsertItem(0, "version ", kNoImage);
    const TreeItem mid = control.InsertItem(top, "x 1", kNoImage);
    control.InsertItem(mid, "deep", kImageChannel);
    control.InsertItem(0, "next", kImageFolder);
    EXPECT_EQ(FormatTreeListing(control),
              "[line] version \n  [line] x 1\n    [channel] deep\n[folder] next\n");
}

TEST(MemoryProfileStore, ReadsDefaultsUntilWritten) {
    MemoryProfileStore store;
    EXPECT_EQ(store.ReadNumber("Preferences", "AutoName", 7), 7);
    EXPECT_FALSE(store.Contains("Preferences", "AutoName"));
    store.WriteNumber("Preferences", "AutoName", -1);
    EXPECT_EQ(store.ReadNumber("Preferences", "AutoName", 7), -1);
    EXPECT_EQ(store.ReadNumber("Other", "AutoName", 3), 3);
    EXPECT_EQ(store.Size(), 1u);
}

}  // namespace
}  // namespace tessary

#include "headless/MemoryTreeControl.h"

#include <random>
#include <vector>

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

// The control answers searches of the whole control from a text index; whatever was inserted,
// deleted, renamed or sorted, the answer must be the one a walk in display order gives.
TEST(MemoryTreeControl, IndexedSearchAgreesWithTheWalk) {
    const char* texts[] = {"hip", "PROPS", "MORPH TARGETS", "chest", "Blink"};
    std::mt19937 random(7);
    auto pick = [&random](std::size_t n) {
        return static_cast<std::size_t>(
            std::uniform_int_distribution<std::size_t>(0, n - 1)(random));
    };
    MemoryTreeControl control;
    std::vector<TreeItem> items{0};
    for (int step = 0; step < 4000; ++step) {
        const std::size_t action = pick(20);
        if (action < 12 || items.size() < 3) {
            items.push_back(control.InsertItem(items[pick(items.size())], texts[pick(5)], 0));
        } else if (action < 15) {
            control.DeleteItem(items[1 + pick(items.size() - 1)]);
        } else if (action < 18) {
            control.SetItemText(items[1 + pick(items.size() - 1)], texts[pick(5)]);
        } else if (action < 19) {
            control.SortTopLevel();
        } else if (step % 7 == 0) {
            control.DeleteAllItems();
            items.assign(1, 0);
        }
        if (step % 5 == 0) {
            for (const char* text : texts) {
                ASSERT_EQ(control.FindItemByText(0, text),
                          control.TreeControl::FindItemByText(0, text))
                    << "step " << step << " text " << text;
            }
        }
    }
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

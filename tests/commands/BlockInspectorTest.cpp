#include <gtest/gtest.h>

#include <sstream>

#include "commands/BlockInspector.h"
#include "commands/CommandIds.h"
#include "commands/PaneCommands.h"
#include "edit/EditFixture.h"
#include "headless/MemoryTreeControl.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"

namespace tessary {
namespace {

using testing::Dump;
using testing::TwoPanes;

constexpr const char* kFigure = R"({
actor hip:1
{
channels
{
targetGeom Smile
{
name Smile
keys
{
k 0 0.5
}
deltas
{
d 0 0.1 0 0
d 2 0 0.2 0
}
}
}
}
})";

std::string Listing(const TreeControl& control) {
    std::ostringstream out;
    WriteTreeListing(control, out);
    return out.str();
}

// A figure pane and the inspector opened on its morph target.
struct Inspected {
    TwoPanes panes;
    CommandContext context;
    MemoryTreeControl control;
    Block* smile = nullptr;
    std::string original;

    Inspected() {
        TwoPanes::Fill(panes.left, kFigure, kFigureView);
        smile = &panes.left.root.children[0].children[0].children[0];
        original = Dump(panes.left.root);
    }

    // Runs a menu entry of the dialog's tree on the item labelled `label`.
    static void Choose(BlockInspector& inspector, const std::string& label, int commandId) {
        PaneCommands& commands = inspector.Commands();
        const TreeItem item = inspector.Tree().FindItemByText(0, label);
        ASSERT_NE(item, 0u) << label;
        ASSERT_TRUE(commands.OpenContextMenu(item));
        commands.Dispatch(commandId);
    }
    static void Type(BlockInspector& inspector, const std::string& text) {
        inspector.Commands().runChangeDialog = [text](const std::string&, const std::string&) {
            return std::optional<std::string>(text);
        };
    }
};

TEST(BlockInspectorTest, KilobytesTextIsTenWideWithTwoDecimals) {
    const struct {
        long long characters;
        const char* text;
    } cases[] = {
        {0, "      0.00 Kilobytes"},
        {12345, "     12.35 Kilobytes"},
        {999, "      1.00 Kilobytes"},
        {5, "      0.01 Kilobytes"},
        // Wider than the field: nothing is cut off.
        {123456789012LL, "123456800.00 Kilobytes"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KilobytesText(c.characters), c.text) << c.characters;
    }
}

TEST(BlockInspectorTest, OpensOnACopyShownAsOneExpandedRawItem) {
    Inspected t;
    BlockInspector inspector(*t.smile, t.control, t.panes.ui, t.panes.store, t.context);
    EXPECT_EQ(inspector.TitleText(), "targetGeom Smile");
    EXPECT_EQ(inspector.SizeText(), KilobytesText(t.smile->TextSize()));
    EXPECT_EQ(inspector.Copy().viewKind, kRawView);
    EXPECT_EQ(inspector.Copy().otherPane, nullptr);
    EXPECT_EQ(Listing(t.control),
              "[line] targetGeom Smile\n"
              "  [line] name Smile\n"
              "  [line] keys \n"
              "    [line] k 0 0.5\n"
              "  [line] deltas \n"
              "    [line] d 0 0.1 0 0\n"
              "    [line] d 2 0 0.2 0\n");
    const TreeItem top = t.control.GetChildItem(0);
    EXPECT_EQ(t.control.GetNextSiblingItem(top), 0u);
    EXPECT_TRUE(t.control.IsExpanded(top));
}

TEST(BlockInspectorTest, CancelKeepsTheBlockWhateverTheCopyWentThrough) {
    Inspected t;
    {
        BlockInspector inspector(*t.smile, t.control, t.panes.ui, t.panes.store, t.context);
        Inspected::Type(inspector, "Grin");
        Inspected::Choose(inspector, "targetGeom Smile", kCmdChangeData);
        Inspected::Type(inspector, "");
        Inspected::Choose(inspector, "name Smile", kCmdChangeTag);
        Inspected::Choose(inspector, "d 0 0.1 0 0", kCmdDelete);
        EXPECT_NE(Dump(inspector.Copy().root), Dump(*t.smile));
        EXPECT_EQ(t.smile->data, "Smile");
    }
    EXPECT_EQ(Dump(t.panes.left.root), t.original);
    EXPECT_EQ(t.panes.left.modified, 0);
}

TEST(BlockInspectorTest, AcceptWritesTheCopyBackAndKeepsThePaneItem) {
    Inspected t;
    t.smile->treeItem = 77;
    BlockInspector inspector(*t.smile, t.control, t.panes.ui, t.panes.store, t.context);
    Inspected::Type(inspector, " Big Grin ");
    Inspected::Choose(inspector, "targetGeom Smile", kCmdChangeData);
    Inspected::Choose(inspector, "d 2 0 0.2 0", kCmdDelete);
    inspector.Accept();
    EXPECT_EQ(t.smile->data, " Big Grin ");
    EXPECT_EQ(t.smile->treeItem, 77u);
    EXPECT_EQ(Dump(*t.smile), "name Smile\nkeys\n    k 0 0.5\ndeltas\n    d 0 0.1 0 0\n");
}

TEST(BlockInspectorTest, EmptiedTagKeepsTheLineButDropsItsItem) {
    Inspected t;
    BlockInspector inspector(*t.smile, t.control, t.panes.ui, t.panes.store, t.context);
    Inspected::Type(inspector, "");
    Inspected::Choose(inspector, "keys ", kCmdChangeTag);
    EXPECT_EQ(inspector.Copy().root.children.size(), 3u);
    EXPECT_EQ(inspector.Copy().root.children[1].tag, "");
    // The line's own item is gone; its nested line hangs from the next item up.
    EXPECT_EQ(inspector.Tree().FindItemByText(0, "keys "), 0u);
    EXPECT_EQ(t.control.GetParentItem(inspector.Tree().FindItemByText(0, "k 0 0.5")),
              t.control.GetChildItem(0));
    EXPECT_EQ(t.smile->children[1].tag, "keys");
}

TEST(BlockInspectorTest, DeleteAsksUnderTheConfirmDeleteOfItsOpening) {
    Inspected t;
    t.panes.store.values["ConfirmDelete"] = 1;
    BlockInspector inspector(*t.smile, t.control, t.panes.ui, t.panes.store, t.context);
    t.panes.ui.answers.push_back(MessageAnswer::No);
    Inspected::Choose(inspector, "deltas ", kCmdDelete);
    ASSERT_EQ(t.panes.ui.log.size(), 1u);
    EXPECT_EQ(t.panes.ui.log[0], "[Delete?] Are you sure you wish to delete deltas ?");
    EXPECT_NE(inspector.Tree().FindItemByText(0, "deltas "), 0u);
    Inspected::Choose(inspector, "deltas ", kCmdDelete);
    EXPECT_EQ(inspector.Tree().FindItemByText(0, "deltas "), 0u);
    EXPECT_EQ(t.smile->children.size(), 3u);
}

}  // namespace
}  // namespace tessary

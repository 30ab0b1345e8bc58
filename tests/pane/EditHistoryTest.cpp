// The history of a pane's changes: steps that swap Blocks with the tree, removals that move
// their Blocks into a step, the saved state the modified flag follows, and the bound.

#include <gtest/gtest.h>

#include <string>

#include "edit/EditFixture.h"
#include "pane/EditHistory.h"

namespace tessary {
namespace {

using testing::Dump;
using testing::ParseTree;

constexpr const char* kTree =
    "{\nactor a\n{\nchannels\n{\nm 1\no 2\nm 3\nm 4\no 5\nm 6\n}\n}\nactor b\n{\nx 1\n}\n}\n";

Block& Channels(Block& root) {
    return root.children[0].children[0];
}

// A step that removes the "m" lines of a's channels, recorded as a command records it.
EditStep RemoveMorphs(EditHistory& history, Block& root) {
    EditStep step("Delete");
    history.recording = &step;
    const std::size_t removed = RemoveChildrenRecorded(
        history, root, Channels(root), [](const Block& line) { return line.tag == "m"; });
    history.recording = nullptr;
    EXPECT_EQ(removed, 4u);
    return step;
}

TEST(EditHistoryTest, RemovalsMoveIntoTheStepAndGoBackWhereTheyStood) {
    Block root = ParseTree(kTree);
    const std::string before = Dump(root);
    EditHistory history;
    EditStep step = RemoveMorphs(history, root);
    EXPECT_EQ(Dump(Channels(root)), "o 2\no 5\n");
    const std::string after = Dump(root);
    ASSERT_TRUE(step.Undo(root));
    EXPECT_EQ(Dump(root), before);
    ASSERT_TRUE(step.Redo(root));
    EXPECT_EQ(Dump(root), after);
    ASSERT_TRUE(step.Undo(root));
    EXPECT_EQ(Dump(root), before);

    // Without a step being recorded the same removal frees its Blocks.
    EXPECT_EQ(RemoveChildrenRecorded(history, root, Channels(root),
                                     [](const Block& line) { return line.tag == "o"; }),
              2u);
    EXPECT_EQ(Dump(Channels(root)), "m 1\nm 3\nm 4\nm 6\n");
}

TEST(EditHistoryTest, SplicesSwapReplacedInsertedAndRemovedBlocks) {
    Block root = ParseTree(kTree);
    const std::string before = Dump(root);
    EditStep step("Change");
    // b's line changed in place, and a line was appended at the top level.
    Block oldB = root.children[1];
    root.children[1].data = "B";
    root.AppendChild(ParseTree("{\nnew 1\n}\n").children[0]);
    std::vector<Block> was;
    was.push_back(std::move(oldB));
    step.AddSplice({}, 1, 1, std::move(was), 2);  // before the append
    step.AddSplice({}, 2, 1, {}, 3);
    const std::string after = Dump(root);
    ASSERT_TRUE(step.Undo(root));
    EXPECT_EQ(Dump(root), before);
    ASSERT_TRUE(step.Redo(root));
    EXPECT_EQ(Dump(root), after);
}

TEST(EditHistoryTest, AStepThatNoLongerFitsLeavesTheTreeAndForgetsTheHistory) {
    Block root = ParseTree(kTree);
    EditHistory history;
    history.Push(RemoveMorphs(history, root));
    Channels(root).RemoveChild(0);  // a change outside the history
    const std::string changed = Dump(root);
    EXPECT_FALSE(history.Undo(root));
    EXPECT_EQ(Dump(root), changed);
    EXPECT_EQ(history.NextUndo(), nullptr);
    EXPECT_FALSE(history.AtSavedState());
}

TEST(EditHistoryTest, TheSavedStateIsFoundAgainUntilANewChangeDropsIt) {
    Block root = ParseTree(kTree);
    EditHistory history;
    EXPECT_TRUE(history.AtSavedState());
    history.Push(EditStep("one"));
    history.Push(EditStep("two"));
    EXPECT_FALSE(history.AtSavedState());
    history.MarkSaved();
    EXPECT_TRUE(history.Undo(root));
    EXPECT_EQ(history.NextRedo()->Label(), "two");
    EXPECT_FALSE(history.AtSavedState());
    EXPECT_TRUE(history.Redo(root));
    EXPECT_TRUE(history.AtSavedState());
    EXPECT_FALSE(history.Redo(root));

    // A change after an undo drops the redo steps, and with them the saved state.
    EXPECT_TRUE(history.Undo(root));
    history.Push(EditStep("three"));
    EXPECT_EQ(history.NextRedo(), nullptr);
    EXPECT_EQ(history.NextUndo()->Label(), "three");
    EXPECT_TRUE(history.Undo(root));
    EXPECT_FALSE(history.AtSavedState());

    history.Clear();
    EXPECT_EQ(history.NextUndo(), nullptr);
    EXPECT_TRUE(history.AtSavedState());
}

TEST(EditHistoryTest, KeepsTheNewestStepsUpToItsBound) {
    Block root;
    EditHistory history;
    for (std::size_t i = 0; i < EditHistory::kMaxSteps + 5; ++i) {
        history.Push(EditStep(std::to_string(i)));
    }
    EXPECT_EQ(history.UndoCount(), EditHistory::kMaxSteps);
    EXPECT_EQ(history.NextUndo()->Label(), std::to_string(EditHistory::kMaxSteps + 4));
    while (history.Undo(root)) {
    }
    EXPECT_EQ(history.NextRedo()->Label(), "5");
    EXPECT_FALSE(history.AtSavedState());  // the loaded state was among the dropped steps
}

TEST(EditHistoryTest, PositionsLeadToTheBlocksTheyWereTakenFrom) {
    Block root = ParseTree(kTree);
    Block& deep = Channels(root).children[4];
    deep.treeItem = 7;
    const std::optional<BlockPosition> byAddress = PositionOf(root, &deep);
    ASSERT_TRUE(byAddress);
    EXPECT_EQ(*byAddress, (BlockPosition{0, 0, 4}));
    EXPECT_EQ(PositionOfItem(root, 7), byAddress);
    EXPECT_EQ(BlockAt(root, *byAddress), &deep);
    EXPECT_EQ(BlockAt(root, {0, 9}), nullptr);
    Block stranger;
    EXPECT_FALSE(PositionOf(root, &stranger));
    EXPECT_FALSE(PositionOfItem(root, 8));
}

}  // namespace
}  // namespace tessary

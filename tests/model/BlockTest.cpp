#include <gtest/gtest.h>

#include "ModelTestUtil.h"

namespace tessary {
namespace {

using testing::Dump;
using testing::Parse;
using testing::RunOnSmallStack;

Block Sample() {
    Block root =
        Parse("{\nactor BODY:1\n{\nname BODY\nchannels\n{\ntargetGeom Blink\n{\n}\n}\n}\n}\n");
    root.treeItem = 1;
    root.children[0].treeItem = 2;
    return root;
}

TEST(BlockTest, CopyIsDeepAndCarriesTheTreeItem) {
    const Block source = Sample();
    Block copy(source);
    EXPECT_EQ(Dump(copy), Dump(source));
    EXPECT_EQ(copy.children[0].treeItem, 2u);
    EXPECT_EQ(copy.children[0].children[1].children[0].hasBlock, 1);
    copy.children[0].children[0].data = "changed";
    EXPECT_EQ(source.children[0].children[0].data, "BODY");

    Block assigned;
    assigned = source.children[0];
    EXPECT_EQ(assigned.tag, "actor");
    EXPECT_EQ(assigned.treeItem, 2u);
}

TEST(BlockTest, AssignmentFromOwnSubtreeIsSafe) {
    Block root = Sample();
    const std::string actor = Dump(Block(root.children[0]));
    root = root.children[0];
    EXPECT_EQ(Dump(root), actor);

    Block moved = Sample();
    Block channels = moved.children[0].children[1];
    moved = std::move(moved.children[0].children[1]);
    EXPECT_EQ(Dump(moved), Dump(channels));

    Block self = Sample();
    const std::string before = Dump(self);
    Block& alias = self;
    self = alias;
    EXPECT_EQ(Dump(self), before);
}

TEST(BlockTest, MoveKeepsEveryField) {
    Block source = Sample();
    Block moved(std::move(source.children[0]));
    EXPECT_EQ(moved.treeItem, 2u);
    EXPECT_EQ(moved.children.size(), 2u);
}

TEST(BlockTest, ResetEmptiesEveryField) {
    Block block = Sample().children[0];
    block.Reset();
    EXPECT_EQ(block.tag, "");
    EXPECT_EQ(block.data, "");
    EXPECT_TRUE(block.children.empty());
    EXPECT_EQ(block.hasBlock, 0);
    EXPECT_EQ(block.treeItem, 0u);
}

TEST(BlockTest, ChildrenGrowByAnEighthBetweenFourAnd1024) {
    Block block;
    std::vector<std::size_t> capacities;
    for (int i = 0; i < 20000; ++i) {
        const std::size_t before = block.children.capacity();
        block.AppendChild();
        if (block.children.capacity() != before) {
            capacities.push_back(block.children.capacity());
        }
    }
    ASSERT_GE(capacities.size(), 6u);
    EXPECT_EQ(capacities[0], 4u);
    EXPECT_EQ(capacities[1], 8u);
    EXPECT_EQ(capacities[2], 12u);
    for (std::size_t i = 1; i < capacities.size(); ++i) {
        const std::size_t size = capacities[i - 1];
        const std::size_t step = std::min<std::size_t>(std::max<std::size_t>(size / 8, 4), 1024);
        EXPECT_EQ(capacities[i], size + step) << "after " << size;
    }
    EXPECT_EQ(capacities.back() - capacities[capacities.size() - 2], 1024u);
}

TEST(BlockTest, InsertAndRemoveChildren) {
    Block block;
    block.AppendChild().tag = "b";
    block.InsertChild(0, Block()).tag = "a";
    block.InsertChild(99, Block()).tag = "c";  // past the end: appended
    ASSERT_EQ(block.children.size(), 3u);
    EXPECT_EQ(block.children[0].tag, "a");
    EXPECT_EQ(block.children[2].tag, "c");
    block.RemoveChild(1);
    block.RemoveChild(7);  // out of range: nothing
    ASSERT_EQ(block.children.size(), 2u);
    EXPECT_EQ(block.children[1].tag, "c");
    // Appending a copy of an own child is safe even when the array grows.
    block.AppendChild(block.children[0]);
    EXPECT_EQ(block.children.back().tag, "a");
}

TEST(BlockTest, MeasuresCountEveryBlock) {
    Block root;
    EXPECT_EQ(root.CountNodes(), 1);
    EXPECT_EQ(root.TextSize(), 0);
    root = Sample();
    // root, actor, name, channels, targetGeom
    EXPECT_EQ(root.CountNodes(), 5);
    EXPECT_EQ(root.TextSize(), 5 + 6 + 4 + 4 + 8 + 10 + 5);
}

// --- A hostile file nested a million levels deep ---

TEST(DeepNestingTest, MillionLevelsLoadCopyQueryAndDie) {
    constexpr int kDepth = 1000000;
    std::string text;
    text.reserve(2 * kDepth + 16);
    for (int i = 0; i < kDepth; ++i) {
        text += "{\n";
    }
    text += "leaf here\n";
    RunOnSmallStack([&] {
        Block root;
        ParseFileText(text, root);
        EXPECT_EQ(root.CountNodes(), kDepth + 1);  // the first "{" is the root's own block
        Block* deepest = &root;
        while (!deepest->children.empty()) {
            deepest = &deepest->children.back();
        }
        EXPECT_EQ(deepest->tag, "leaf");
        deepest->treeItem = 42;
        EXPECT_EQ(root.TextSize(), 8);

        Block copy(root);
        EXPECT_EQ(copy.CountNodes(), kDepth + 1);
        const Block* found = copy.FindByTreeItem(42);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->data, "here");

        // The deepest Block with a brace block; its path has a million " " segments.
        Block* lastBlock = &root;
        while (!lastBlock->children.empty() && lastBlock->children.back().hasBlock) {
            lastBlock = &lastBlock->children.back();
        }
        lastBlock->treeItem = 43;
        const std::string path = root.PathOf(43, true);
        EXPECT_EQ(path.size(), 2u * kDepth - 1);
        EXPECT_EQ(root.FindByPath(path, true), lastBlock);

        copy.ClearTreeItems();
        EXPECT_EQ(copy.FindByTreeItem(42), nullptr);
        copy.RenameData("here", "there");
        copy.RemoveMatching("leaf", "");
        EXPECT_EQ(copy.CountNodes(), kDepth);
        EXPECT_TRUE(root.RemoveByTreeItem(42));
        Block assigned;
        assigned = root;
        root.Reset();
        EXPECT_EQ(assigned.CountNodes(), kDepth);
    });
}

TEST(DeepNestingTest, DeepTreeIsWrittenWithoutRecursion) {
    // Each level indents by four more spaces, so the output grows with the square of the
    // depth; ten thousand levels (0.6 GB of indentation) is far beyond what a recursive
    // writer survives on this small stack.
    constexpr int kDepth = 10000;
    std::string text;
    for (int i = 0; i < kDepth; ++i) {
        text += "{\nx\n";
    }
    RunOnSmallStack([&] {
        Block root;
        ParseFileText(text, root);
        std::FILE* sink = std::fopen("/dev/null", "wb");
        TextWriter writer(sink, TextWriter::LineEnds::CrLf);
        Progress progress;
        int last = -1;
        progress.hook = [&](int percent) { last = percent; };
        progress.total = static_cast<double>(root.CountNodes());
        WriteTree(root, writer, &progress);
        EXPECT_TRUE(writer.Flush());
        std::fclose(sink);
        EXPECT_EQ(progress.count, kDepth);
        EXPECT_EQ(last, 99);
    });
}

}  // namespace
}  // namespace tessary

#include <gtest/gtest.h>

#include "edit/EditFixture.h"
#include "edit/LineWalks.h"

namespace tessary {
namespace {

using testing::Dump;
using testing::ParseTree;
using testing::TwoPanes;

// A chain of `depth` nested Blocks "a", with the line "parent box" and a "prop box" at the
// bottom.
Block DeepChain(int depth) {
    Block root;
    root.hasBlock = 1;
    Block* last = &root;
    for (int i = 0; i < depth; ++i) {
        last = &last->AppendChild();
        last->tag = "a";
        last->hasBlock = 1;
    }
    last->AppendChild().SetLine("parent box");
    last->AppendChild().SetLine("prop box");
    return root;
}

TEST(LineWalksTest, SurviveNestingAHostileFileCanHave) {
    constexpr int kDepth = 100000;
    TwoPanes panes;
    panes.left.root = DeepChain(kDepth);
    panes.left.root.children.push_back(Block());
    panes.left.root.children.back().SetLine("prop box");
    panes.left.root.children.back().treeItem = 5;

    EXPECT_EQ(DeleteProp(panes.left, 5), 0);  // no "figure" Block

    const Block* last = &panes.left.root;
    int depth = 0;
    while (!last->children.empty() && last->children.front().tag == "a") {
        last = &last->children.front();
        ++depth;
    }
    EXPECT_EQ(depth, kDepth);
    ASSERT_EQ(last->children.size(), 1u);
    EXPECT_EQ(last->children[0].data, "UNIVERSE");

    const Block copy = DeepChain(kDepth);
    EXPECT_TRUE(SameLines(copy, DeepChain(kDepth)));
    EXPECT_FALSE(SameLines(copy, DeepChain(kDepth - 1)));
}

TEST(LineWalksTest, EmptyTextIsMatchedExactly) {
    Block root = ParseTree("{\nprop\n{\nparent\n}\nprop box\n{\nparent\n}\nprop\n}");
    EXPECT_EQ(RemoveLinesExactly(root, "prop", ""), 2);
    EXPECT_EQ(Dump(root), "prop box\n    parent\n");
    EXPECT_EQ(ReplaceDataExactly(root, "parent", "", "UNIVERSE"), 1);
    EXPECT_EQ(Dump(root), "prop box\n    parent UNIVERSE\n");
}

}  // namespace
}  // namespace tessary

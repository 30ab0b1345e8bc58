#include <gtest/gtest.h>

#include "ModelTestUtil.h"
#include "model/Names.h"

namespace tessary {
namespace {

using testing::Dump;
using testing::Parse;

// Gives every Block a distinct tree item: 1 for the root, then in file order.
void NumberItems(Block& root) {
    TreeItem next = 1;
    std::vector<Block*> stack{&root};
    while (!stack.empty()) {
        Block* block = stack.back();
        stack.pop_back();
        block->treeItem = next++;
        for (auto it = block->children.rbegin(); it != block->children.rend(); ++it) {
            stack.push_back(&*it);
        }
    }
}

const char* const kFigure =
    "{\n"
    "actor BODY:1\n{\nname BODY\nchannels\n{\ntargetGeom Blink\n{\nname Blink\n}\n}\n}\n"
    "actor hip:1\n{\nparent BODY:1\nparent other\nchannels\n{\nrotateX xrot\n}\n}\n"
    "figure\n{\naddChild hip:1 BODY:1\n}\n"
    "}\n";

TEST(ChildLookupTest, FindChildIndexMatchesTagAndBaseNames) {
    const Block root = Parse("{\nactor BODY:1\nactor BODY\nactor BODY:2\nprop ball\n}\n");
    EXPECT_EQ(root.FindChildIndex("prop"), 3);
    EXPECT_EQ(root.FindChildIndex("Prop"), -1);
    EXPECT_EQ(root.FindChildIndex("actor", "BODY", false), 1);
    EXPECT_EQ(root.FindChildIndex("actor", "BODY", true), 0);
    EXPECT_EQ(root.FindChildIndex("actor", "BODY:2", false), 2);
    EXPECT_EQ(root.FindChildIndex("actor", "BODY:2", true), -1);  // only the child is reduced
    EXPECT_EQ(root.FindChild("prop", "ball", false), &root.children[3]);
    EXPECT_EQ(root.FindChild("prop", "bal", false), nullptr);
}

TEST(ChildLookupTest, FindNthChildCountsMatches) {
    Block root = Parse("{\nk 1\nx\nk 2\nk\nk 2\n}\n");
    struct Case {
        const char* key;
        int n;
        bool byTag;
        int index;
    };
    const Case cases[] = {
        {"k", 0, true, 0},    {"k", 2, true, 3},    {"k", 3, true, 4},
        {"k", 4, true, 4},  // n equal to the number of matches: the last match
        {"k", 9, true, 4},    {"k", -1, true, 4},   {"z", 0, true, -1},
        {"k 2", 0, false, 2}, {"k 2", 1, false, 4}, {"k 2", -1, false, 4},
        {"k ", 0, false, 3},  // a child without data has a key ending in a space
        {"k", 0, false, -1},  // so the tag alone does not match it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(root.FindNthChildIndex(c.key, c.n, c.byTag ? Match::Tag : Match::LineKey),
                  c.index)
            << c.key << " n=" << c.n << " byTag=" << c.byTag;
    }
    EXPECT_EQ(root.FindNthChild("k", 1, Match::Tag), &root.children[2]);
    EXPECT_EQ(root.FindNthChild("k", 4, Match::Tag), nullptr);  // beyond the matches: none
    EXPECT_EQ(root.FindNthChild("k", -1, Match::Tag), nullptr);
    EXPECT_EQ(root.FindNthChild("k ", 0, Match::LineKey), &root.children[3]);
}

TEST(ChildLookupTest, LineKeyAndParentName) {
    const Block root = Parse(kFigure);
    EXPECT_EQ(root.children[0].LineKey(), "actor BODY:1");
    EXPECT_EQ(root.children[0].children[1].LineKey(), "channels ");
    EXPECT_EQ(root.children[1].GetParentName(), "BODY:1");
    EXPECT_EQ(root.children[0].GetParentName(), "");
}

TEST(TreeItemTest, FindRemoveAndClear) {
    Block root = Parse(kFigure);
    NumberItems(root);
    EXPECT_EQ(root.FindByTreeItem(1), &root);
    const Block* blink = root.FindByTreeItem(5);
    ASSERT_NE(blink, nullptr);
    EXPECT_EQ(blink->LineKey(), "targetGeom Blink");
    EXPECT_EQ(root.FindByTreeItem(999), nullptr);

    EXPECT_FALSE(root.RemoveByTreeItem(1));  // the Block itself is not a candidate
    EXPECT_TRUE(root.RemoveByTreeItem(4));   // channels of BODY, with its morph target
    EXPECT_EQ(root.FindByTreeItem(5), nullptr);
    EXPECT_EQ(root.children[0].children.size(), 1u);
    EXPECT_FALSE(root.RemoveByTreeItem(4));

    root.ClearTreeItems();
    EXPECT_EQ(root.FindByTreeItem(0), &root);
    EXPECT_EQ(root.FindByTreeItem(2), nullptr);
}

TEST(PathTest, PathsNameBlocksWithBaseNames) {
    Block root = Parse(kFigure);
    NumberItems(root);
    EXPECT_EQ(root.PathOf(2, true), " |actor BODY");
    EXPECT_EQ(root.PathOf(5, true), " |actor BODY|channels |targetGeom Blink");
    EXPECT_EQ(root.PathOf(5, false), " |actor BODY:1|channels |targetGeom Blink");
    EXPECT_EQ(root.PathOf(1, true), " ");
    // "name BODY" has no brace block: not found, the root's segment is left.
    EXPECT_EQ(root.PathOf(3, true), " ");
    EXPECT_EQ(root.FindByTreeItem(0), nullptr);
    Block noBlock;
    EXPECT_EQ(noBlock.PathOf(0, true), "");

    std::string path = "prefix";
    EXPECT_TRUE(root.children[0].BuildPath(path, 5, true));
    EXPECT_EQ(path, "prefix|actor BODY|channels |targetGeom Blink");
}

TEST(PathTest, FindByPathAcrossFigureNumbers) {
    Block left = Parse(kFigure);
    NumberItems(left);
    Block right = Parse(
        "{\nactor BODY:2\n{\nchannels\n{\n}\n}\nactor BODY:3\n{\nchannels\n{\ntargetGeom "
        "Blink\n{\n}\n}\n}\n}\n");
    const std::string path = left.PathOf(5, true);
    // The first BODY has no Blink: the search goes on into the second.
    EXPECT_EQ(right.FindByPath(path, true), &right.children[1].children[0].children[0]);
    EXPECT_EQ(right.FindByPath(path, false), nullptr);
    EXPECT_EQ(right.FindByPath(PathParent(path), true), &right.children[0].children[0]);
    EXPECT_EQ(right.FindByPath(" ", true), &right);
    EXPECT_EQ(right.FindByPath("actor BODY", true), nullptr);  // must start at the root
    EXPECT_EQ(right.FindByPath("", true), nullptr);
    EXPECT_EQ(right.FindByPath(" |actor BODY|", true), nullptr);
    EXPECT_EQ(right.FindByPath(" |actor  BODY", true), nullptr);
}

// A "|" or "\" inside a name is escaped in its segment, so the name stays one segment.
TEST(PathTest, NamesHoldingTheSeparatorStayOneSegment) {
    Block root = Parse(
        "{\nactor a|b:1\n{\nchannels\n{\ntargetGeom x|y\n{\n}\ntargetGeom x\n{\n}\n"
        "targetGeom x\\\n{\n}\n}\n}\nactor a\n{\nchannels\n{\ntargetGeom "
        "x\n{\ny|z\n{\n}\n}\n}\n}\n}\n");
    NumberItems(root);
    const std::string path = root.PathOf(4, true);
    EXPECT_EQ(path, " |actor a\\|b|channels |targetGeom x\\|y");
    EXPECT_EQ(PathParent(path), " |actor a\\|b|channels ");
    EXPECT_EQ(root.FindByPath(path, true), root.FindByTreeItem(4));
    EXPECT_EQ(root.FindByPath(root.PathOf(6, true), true), root.FindByTreeItem(6));
    EXPECT_EQ(root.PathOf(6, true), " |actor a\\|b|channels |targetGeom x\\\\");
    // The plain reading of "a|b" and "x|y" would name the Block "y|z" of the second actor.
    EXPECT_EQ(root.FindByPath(" |actor a|channels |targetGeom x|y|z ", true), nullptr);
    EXPECT_NE(root.FindByPath(" |actor a|channels |targetGeom x|y\\|z ", true), nullptr);
}

TEST(PathTest, InsertCopyAtPathPutsTheCopyFirst) {
    Block left = Parse(kFigure);
    NumberItems(left);
    Block right = Parse("{\nactor BODY:2\n{\nchannels\n{\nkept\n}\n}\n}\n");
    const Block* blink = left.FindByTreeItem(5);
    const std::string channels(PathParent(left.PathOf(5, true)));
    ASSERT_TRUE(right.InsertCopyAtPath(channels, blink, true));
    const Block& target = right.children[0].children[0];
    ASSERT_EQ(target.children.size(), 2u);
    EXPECT_EQ(target.children[0].LineKey(), "targetGeom Blink");
    EXPECT_EQ(target.children[0].treeItem, 5u);  // copies carry their tree items
    EXPECT_EQ(target.children[0].children[0].LineKey(), "name Blink");
    EXPECT_EQ(target.children[1].tag, "kept");

    EXPECT_FALSE(right.InsertCopyAtPath(channels, nullptr, true));
    EXPECT_FALSE(right.InsertCopyAtPath(" |actor nobody", blink, true));

    // Copying a Block into itself.
    Block self = Parse("{\na\n{\nb\n}\n}\n");
    ASSERT_TRUE(self.InsertCopyAtPath(" |a ", &self.children[0], true));
    EXPECT_EQ(Dump(self), "{\na\n    {\n    a\n        {\n        b\n        }\n    b\n    }\n}\n");
}

TEST(PathTest, RemoveAtPathRemovesTheFirstChildWithTheKey) {
    Block root = Parse("{\nactor BODY:4\n{\nchannels\n{\nk 1\nk 2\nk 1\n}\n}\n}\n");
    const std::string path = " |actor BODY|channels ";
    EXPECT_TRUE(root.RemoveAtPath(path, "k 9"));  // found, nothing to remove
    EXPECT_EQ(root.CountNodes(), 6);
    EXPECT_TRUE(root.RemoveAtPath(path, "k 1"));
    const Block& channels = root.children[0].children[0];
    ASSERT_EQ(channels.children.size(), 2u);
    EXPECT_EQ(channels.children[0].data, "2");
    EXPECT_EQ(channels.children[1].data, "1");
    EXPECT_FALSE(root.RemoveAtPath(" |actor hip|channels ", "k 2"));
}

TEST(EditTest, RemoveMatchingReachesEveryDepth) {
    Block root = Parse("{\nm a\nm b\nx\n{\nm c\n{\nm inner\n}\ny\n{\nm d\nm e\n}\n}\nm\n}\n");
    root.RemoveMatching("m", "");
    EXPECT_EQ(Dump(root), "{\nx\n    {\n    y\n        {\n        }\n    }\n}\n");

    Block data = Parse("{\na 1\nb 1\nb 2\n{\nc 1\n}\n}\n");
    data.RemoveMatching("", "1");
    EXPECT_EQ(Dump(data), "{\nb 2\n    {\n    }\n}\n");

    Block all = Parse(kFigure);
    all.RemoveMatching("", "");
    EXPECT_EQ(all.CountNodes(), 1);
}

TEST(EditTest, RenamesKeepTheFigureSuffix) {
    Block root = Parse(
        "{\nactor hip:1\n{\nparent hip:1\nother hip:1\nname hip:1x\n}\nactor hip\n"
        "addChild hip:1\n}\n");
    root.RenameData("hip:1", "pelvis");
    EXPECT_EQ(Dump(root),
              "{\nactor pelvis:1\n    {\n    parent pelvis:1\n    other pelvis:1\n    name "
              "hip:1x\n    }\nactor hip\naddChild pelvis:1\n}\n");

    Block plain = Parse("{\nn hip\nn hips\n}\n");
    plain.RenameData("hip", "pelvis:");  // no suffix in the old name: the new name alone
    EXPECT_EQ(Dump(plain), "{\nn pelvis:\nn hips\n}\n");

    Block tags = Parse("{\nhip:3 a\nhip b\nhip:3 c\n}\n");
    tags.RenameTag("hip:3", "thigh");
    EXPECT_EQ(Dump(tags), "{\nthigh:3 a\nhip b\nthigh:3 c\n}\n");

    Block names = Parse("{\nname a:2\nname plain\nnam a:2\nname x:y:5\n}\n");
    names.SetDataWhereTag("name", "new");
    EXPECT_EQ(Dump(names), "{\nname new:2\nname new\nnam a:2\nname new:5\n}\n");
}

TEST(EditTest, ChangedBlocksAreNotRevisited) {
    // The new name contains the old one: a second visit would grow it again.
    Block root = Parse("{\nn a:1\n{\nn a:1\n}\n}\n");
    root.RenameData("a:1", "a:1");
    EXPECT_EQ(Dump(root), "{\nn a:1:1\n    {\n    n a:1:1\n    }\n}\n");
    // Arguments that point into the tree itself.
    Block alias = Parse("{\nn a\nn a\n}\n");
    alias.RenameData(alias.children[0].data, "b");
    EXPECT_EQ(Dump(alias), "{\nn b\nn b\n}\n");
}

TEST(EditTest, ReplaceDataMatchesTagAndOptionalData) {
    Block root = Parse("{\nk 1\nk 2\n{\nk 1\nj 1\n}\n}\n");
    Block copy = root;
    root.ReplaceData("k", "1", "0");
    EXPECT_EQ(Dump(root), "{\nk 0\nk 2\n    {\n    k 0\n    j 1\n    }\n}\n");
    copy.ReplaceData("k", "", "0");
    EXPECT_EQ(Dump(copy), "{\nk 0\nk 0\n    {\n    k 0\n    j 1\n    }\n}\n");
    Block alias = Parse("{\nk 1\nk 1\n}\n");
    alias.ReplaceData(alias.children[0].tag, alias.children[0].data, "x");
    EXPECT_EQ(Dump(alias), "{\nk x\nk x\n}\n");
}

}  // namespace
}  // namespace tessary

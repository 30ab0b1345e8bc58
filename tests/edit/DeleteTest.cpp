#include <gtest/gtest.h>

#include "edit/EditFixture.h"

namespace tessary {
namespace {

using testing::At;
using testing::Dump;
using testing::Mark;
using testing::TwoPanes;

constexpr const char* kScene = R"({
prop box_1:1
{
storageOffset 0 0 0
}
prop ball:1
{
}
actor hip:1
{
channels
{
targetGeom Smile
{
}
rotateX xrot
{
}
targetGeom Frown
{
}
rotateY yrot
{
}
}
}
actor lHand:1
{
channels
{
}
}
prop box_1:1
{
parent hip:1
}
prop ball:1
{
parent box_1:1
}
prop cap:2
{
}
prop cap:2
{
parent hip:2
}
figure
{
addChild hip:1
BODY:1
addChild box_1:1
hip:1
addChild ball:1
box_1:1
}
})";

TEST(DeleteTest, DeleteItemRemovesOnlyThatBlock) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left, kScene, kFigureView);
    const TreeItem smile =
        Mark(panes.left.root, {"actor hip:1", "channels ", "targetGeom Smile"}, 5);

    EXPECT_TRUE(DeleteItem(panes.left, smile));
    EXPECT_EQ(At(panes.left.root, {"actor hip:1", "channels ", "targetGeom Smile"}), nullptr);
    EXPECT_NE(At(panes.left.root, {"actor hip:1", "channels ", "targetGeom Frown"}), nullptr);
    EXPECT_EQ(panes.left.modified, 1);

    // Item 0 would match the first Block without an item; nothing may go.
    const std::string before = Dump(panes.left.root);
    EXPECT_FALSE(DeleteItem(panes.left, 0));
    EXPECT_FALSE(DeleteItem(panes.left, 99));
    EXPECT_EQ(Dump(panes.left.root), before);
}

TEST(DeleteTest, DeletingAPropRedirectsWhatHangsFromIt) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left, kScene, kFigureView);
    panes.left.root.children[4].treeItem = 8;  // the second "prop box_1:1"

    EXPECT_EQ(DeleteProp(panes.left, 8), 1);

    EXPECT_EQ(At(panes.left.root, {"prop box_1:1"}), nullptr);  // both of its Blocks
    // ball hangs from the universe now; its own hierarchy pair stays as it was.
    EXPECT_EQ(panes.left.root.FindNthChild("prop ball:1", 1, Match::LineKey)->GetParentName(),
              "UNIVERSE");
    EXPECT_EQ(Dump(*At(panes.left.root, {"figure "})),
              "addChild hip:1\nBODY:1\naddChild ball:1\nbox_1:1\n");
    EXPECT_EQ(panes.left.modified, 1);
}

TEST(DeleteTest, PropOfAFileWithoutFigureBlockGoesButReportsZero) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left,
                   "{\nprop box\n{\n}\nprop box\n{\nparent hip\n}\nprop ball\n{\nparent box\n}\n}",
                   kFigureView);
    panes.left.root.children[1].treeItem = 3;

    EXPECT_EQ(DeleteProp(panes.left, 3), 0);
    EXPECT_EQ(Dump(panes.left.root), "prop ball\n    parent UNIVERSE\n");
    EXPECT_EQ(panes.left.modified, 1);
}

TEST(DeleteTest, AddChildAsLastLineOfFigureIsRemovedAlone) {
    TwoPanes panes;
    TwoPanes::Fill(
        panes.left,
        "{\nprop box\n{\nparent hip\n}\nfigure\n{\naddChild hip\nBODY\naddChild box\n}\n}",
        kFigureView);
    panes.left.root.children[0].treeItem = 3;
    EXPECT_EQ(DeleteProp(panes.left, 3), 1);
    EXPECT_EQ(Dump(panes.left.root), "figure\n    addChild hip\n    BODY\n");
}

TEST(DeleteTest, PropWithEmptyNameMatchesOnlyTheEmptyName) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left,
                   "{\nprop\n{\n}\nprop\n{\nparent hip\n}\nprop box\n{\nparent hip\n}\n"
                   "prop cap\n{\nparent\n}\nfigure\n{\naddChild box\nhip\n}\n}",
                   kFigureView);
    panes.left.root.children[1].treeItem = 3;

    EXPECT_EQ(DeleteProp(panes.left, 3), 1);
    EXPECT_EQ(Dump(panes.left.root),
              "prop box\n    parent hip\nprop cap\n    parent UNIVERSE\n"
              "figure\n    addChild box\n    hip\n");
}

TEST(DeleteTest, DeleteAllPropsTakesBothBlocksOfEveryPropOfThatBodyPart) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left, kScene, kFigureView);
    const TreeItem hip = Mark(panes.left.root, {"actor hip:1"}, 2);

    DeleteAllProps(panes.left, hip);

    EXPECT_EQ(At(panes.left.root, {"prop box_1:1"}), nullptr);
    // ball hung from box_1, cap from another figure's hip: both stay, both Blocks each.
    EXPECT_EQ(panes.left.root.FindNthChildIndex("prop ball:1", 1, Match::LineKey), 3);
    EXPECT_NE(At(panes.left.root, {"prop ball:1"}), nullptr);
    EXPECT_EQ(panes.left.root.FindNthChild("prop cap:2", 1, Match::LineKey)->GetParentName(),
              "hip:2");
    EXPECT_EQ(Dump(*At(panes.left.root, {"figure "})),
              "addChild hip:1\nBODY:1\naddChild ball:1\nbox_1:1\n");
}

TEST(DeleteTest, DeleteAllPropsSurvivesRemovalsBehindTheWalk) {
    // Three props of hip, their second Blocks last, so each removal shortens the list below
    // the position the walk would visit next.
    TwoPanes panes;
    TwoPanes::Fill(
        panes.left,
        "{\nactor hip\n{\n}\nprop a\n{\n}\nprop b\n{\n}\nprop c\n{\n}\n"
        "prop a\n{\nparent hip\n}\nprop b\n{\nparent hip\n}\nprop c\n{\nparent hip\n}\n}",
        kFigureView);
    const TreeItem hip = Mark(panes.left.root, {"actor hip"}, 2);
    DeleteAllProps(panes.left, hip);
    EXPECT_EQ(Dump(panes.left.root), "actor hip\n");
}

TEST(DeleteTest, DeleteAllPropsActsAsRemovingEachPropInTurn) {
    // a goes before b (the walk meets it first), so its pair takes the "prop b" line that
    // follows it in the figure Block, not the "hip" after it. "prop a" nested in b, a "prop b"
    // in an actor, and c hanging from a go or change as each removal in turn would do.
    const std::string scene =
        "{\nactor hip\n{\nprop b\n{\nparent a\n}\n}\nactor UNIVERSE\n{\n}\n"
        "prop b\n{\nparent hip\nprop a\n{\n}\n}\nprop a\n{\nparent hip\n}\n"
        "prop c\n{\nparent a\n}\nprop e\n{\nparent d\n}\nprop d\n{\nparent UNIVERSE\n}\n"
        "figure\n{\naddChild a\nprop b\nhip\naddChild b\nhip\n}\n}";
    TwoPanes panes;
    TwoPanes::Fill(panes.left, scene, kFigureView);
    DeleteAllProps(panes.left, Mark(panes.left.root, {"actor hip"}, 2));
    EXPECT_EQ(Dump(panes.left.root),
              "actor hip\nactor UNIVERSE\nprop c\n    parent UNIVERSE\nprop e\n    parent d\n"
              "prop d\n    parent UNIVERSE\nfigure\n    hip\n");
    EXPECT_EQ(panes.left.modified, 1);

    // Props of "UNIVERSE": removing d makes e hang from the universe too, and e goes as well.
    TwoPanes::Fill(panes.right, scene, kFigureView);
    DeleteAllProps(panes.right, Mark(panes.right.root, {"actor UNIVERSE"}, 2));
    EXPECT_EQ(At(panes.right.root, {"prop e"}), nullptr);
    EXPECT_EQ(At(panes.right.root, {"prop d"}), nullptr);
    EXPECT_NE(At(panes.right.root, {"prop c"}), nullptr);
}

TEST(DeleteTest, BulkChannelDeletionsKeepTheOtherKindInOrder) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left, kScene, kPoseView);
    const TreeItem hip = Mark(panes.left.root, {"actor hip:1"}, 2);

    DeleteAllMorphTargets(panes.left, hip);
    EXPECT_EQ(Dump(*At(panes.left.root, {"actor hip:1", "channels "})),
              "rotateX xrot\nrotateY yrot\n");

    TwoPanes again;
    TwoPanes::Fill(again.left, kScene, kPoseView);
    Mark(again.left.root, {"actor hip:1"}, 2);
    DeleteAllChannels(again.left, 2);
    EXPECT_EQ(Dump(*At(again.left.root, {"actor hip:1", "channels "})),
              "targetGeom Smile\ntargetGeom Frown\n");
    EXPECT_EQ(again.left.modified, 1);

    // A body part without channels is left alone and the file is not marked.
    TwoPanes none;
    TwoPanes::Fill(none.left, "{\nactor hip\n{\n}\n}", kPoseView);
    Mark(none.left.root, {"actor hip"}, 2);
    DeleteAllChannels(none.left, 2);
    EXPECT_EQ(none.left.modified, 0);
}

}  // namespace
}  // namespace tessary

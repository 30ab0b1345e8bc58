#include <gtest/gtest.h>

#include "edit/EditFixture.h"

namespace tessary {
namespace {

using testing::At;
using testing::Dump;
using testing::Mark;
using testing::TwoPanes;

TEST(RenameTest, MorphTargetKeepsItsSuffixOnly) {
    struct Case {
        const char* data;
        const char* newName;
        const char* expected;
    } cases[] = {
        {"Smile", "Grin", "Grin"},
        {"abc:2", "xyz", "xyz:2"},
        {"a:b:2", "xyz", "xyz:2"},
        {"Smile", "Big Grin", "Big Grin"},
    };
    for (const Case& c : cases) {
        TwoPanes panes;
        TwoPanes::Fill(panes.left,
                       std::string("{\nactor hip\n{\nchannels\n{\ntargetGeom ") + c.data +
                           "\n{\n}\n}\n}\ntargetGeom " + c.data + "\n}",
                       kFigureView);
        Mark(panes.left.root, {"actor hip", "channels ", std::string("targetGeom ") + c.data}, 4);

        RenameItem(panes.left, 4, c.newName);

        EXPECT_EQ(At(panes.left.root, {"actor hip", "channels "})->children[0].data, c.expected)
            << c.data;
        // Only the renamed Block changes, not other lines that carry the same name.
        EXPECT_EQ(panes.left.root.children[1].data, c.data);
        EXPECT_EQ(panes.left.modified, 1);
    }
}

TEST(RenameTest, PropIsRenamedEverywhereItIsNamed) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left, R"({
prop box_1:1
{
}
prop box_1:1
{
name box_1
parent hip:1
}
prop ball:1
{
parent box_1:1
}
prop xbox_1:1
{
parent box_1:10
}
figure
{
addChild box_1:1
hip:1
addChild ball:1
box_1:1
}
})",
                   kFigureView);
    panes.left.root.children[1].treeItem = 6;

    RenameItem(panes.left, 6, "Crate");

    EXPECT_EQ(Dump(panes.left.root),
              "prop Crate:1\n"
              "prop Crate:1\n    name Crate\n    parent hip:1\n"
              "prop ball:1\n    parent Crate:1\n"
              "prop xbox_1:1\n    parent box_1:10\n"
              "figure\n    addChild Crate:1\n    hip:1\n    addChild ball:1\n    Crate:1\n");
}

TEST(RenameTest, PropWithoutNameRenamesItsBlocksAndTheLinesThatReferToIt) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left,
                   "{\nprop\n{\n}\nprop\n{\nname\nparent hip\n}\nprop ball\n{\nparent\n}\n"
                   "channels\n{\nname\n}\nfigure\n{\naddChild\nhip\naddChild ball\n}\n}",
                   kFigureView);
    panes.left.root.children[1].treeItem = 6;

    RenameItem(panes.left, 6, "Crate");

    // Its "parent" and "addChild" references follow; other lines with empty data do not.
    EXPECT_EQ(Dump(panes.left.root),
              "prop Crate\nprop Crate\n    name Crate\n    parent hip\nprop ball\n"
              "    parent Crate\nchannels\n    name\nfigure\n    addChild Crate\n    hip\n"
              "    addChild ball\n");
}

TEST(RenameTest, ANameEndingInAColonHasNoSuffixToKeep) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left,
                   "{\nprop box:\n{\n}\nprop box:\n{\nparent hip:\n}\nfigure\n{\n"
                   "addChild box:\nhip:\n}\n}",
                   kFigureView);
    panes.left.root.children[1].treeItem = 6;

    RenameItem(panes.left, 6, "Crate");

    EXPECT_EQ(Dump(panes.left.root),
              "prop Crate\nprop Crate\n    parent hip:\nfigure\n    addChild Crate\n    hip:\n");
}

// Only a change to the tree marks the file: renaming to the same text, or zeroing what is
// already zero, leaves it unmodified.
TEST(RenameTest, NoOpRenamesAndZeroesLeaveTheFileUnmodified) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left,
                   "{\nactor hip\n{\nchannels\n{\ntargetGeom Smile:2\n{\nkeys\n{\nk 0 0\nk 5 0\n"
                   "}\n}\n}\n}\nprop box_1:1\n{\n}\nprop box_1:1\n{\nname box_1\n}\n}",
                   kFigureView);
    const TreeItem smile =
        Mark(panes.left.root, {"actor hip", "channels ", "targetGeom Smile:2"}, 3);
    panes.left.root.children[2].treeItem = 6;
    const TreeItem hip = Mark(panes.left.root, {"actor hip"}, 2);

    RenameItem(panes.left, smile, "Smile");
    RenameItem(panes.left, 6, "box_1");
    ZeroItem(panes.left, smile);
    ZeroActorItem(panes.left, hip, ChannelChoice::All);
    EXPECT_EQ(panes.left.modified, 0);

    RenameItem(panes.left, 6, "Box");  // the name line alone would already change the file
    EXPECT_EQ(panes.left.modified, 1);
}

constexpr const char* kBody = R"({
actor hip
{
channels
{
targetGeom Smile
{
initValue 0.5
keys
{
static 0
k 0 0.75
}
}
rotateX xrot
{
keys
{
k 0 15
k 30 -4.5
k 7
}
}
}
}
})";

TEST(ZeroTest, ChannelKeepsFramesAndEverythingButTheValues) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left, kBody, kPoseView);
    const TreeItem xrot = Mark(panes.left.root, {"actor hip", "channels ", "rotateX xrot"}, 3);

    ZeroItem(panes.left, xrot);

    EXPECT_EQ(Dump(*At(panes.left.root, {"actor hip", "channels ", "rotateX xrot"})),
              "keys\n    k 0 0\n    k 30 0\n    k 0\n");
    EXPECT_EQ(panes.left.modified, 1);
}

TEST(ZeroTest, ActorModesPickMorphTargetsOrTheOtherChannels) {
    struct Case {
        int which;
        const char* smileKey;
        const char* xrotFirstKey;
    } cases[] = {
        {0, "0 0", "0 0"},
        {1, "0 0", "0 15"},
        {2, "0 0.75", "0 0"},
        {3, "0 0.75", "0 15"},  // not a mode: nothing
    };
    for (const Case& c : cases) {
        TwoPanes panes;
        TwoPanes::Fill(panes.left, kBody, kPoseView);
        const TreeItem hip = Mark(panes.left.root, {"actor hip"}, 2);

        ZeroActorItem(panes.left, hip, static_cast<ChannelChoice>(c.which));

        Block* channels = At(panes.left.root, {"actor hip", "channels "});
        EXPECT_EQ(channels->children[0].children[1].children[1].data, c.smileKey) << c.which;
        EXPECT_EQ(channels->children[0].children[0].data, "0.5") << c.which;
        EXPECT_EQ(channels->children[1].children[0].children[0].data, c.xrotFirstKey) << c.which;
        EXPECT_EQ(panes.left.modified, c.which == 3 ? 0 : 1) << c.which;
    }
}

}  // namespace
}  // namespace tessary

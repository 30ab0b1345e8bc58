#include <gtest/gtest.h>

#include "edit/EditFixture.h"

namespace tessary {
namespace {

using testing::At;
using testing::Dump;
using testing::Mark;
using testing::TwoPanes;

TEST(WithFigureSuffixTest, ReplacesOrAddsTheSuffix) {
    struct Case {
        const char* name;
        const char* suffix;
        const char* expected;
    } cases[] = {
        {"box_1", "2", "box_1:2"},
        {"box_1:1", "2", "box_1:2"},
        {"box_1", "", "box_1:"},
        {"box_1:1", "", "box_1:"},
        {"UNIVERSE", "1", "UNIVERSE:1"},
        {"a:b:7", "9", "a:b:9"},  // only the last ":" counts
        {"", "3", ":3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WithFigureSuffix(c.name, c.suffix), c.expected) << c.name << " / " << c.suffix;
    }
}

constexpr const char* kHandOne = R"({
actor lHand:1
{
channels
{
targetGeom A
{
k 0 1
}
targetGeom B
{
}
targetGeom C
{
}
rotateX xrot
{
}
twist noBlock
}
}
})";

constexpr const char* kHandTwo = R"({
actor lHand:2
{
channels
{
rotateY yrot
{
}
targetGeom A
{
k 0 9
}
}
}
})";

TEST(CopyItemTest, ReplacesTheSameMorphInABodyPartOfAnotherNumber) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left, kHandOne, kFigureView, "1");
    TwoPanes::Fill(panes.right, kHandTwo, kFigureView, "2");
    const TreeItem item = Mark(panes.left.root, {"actor lHand:1", "channels ", "targetGeom A"}, 7);

    EXPECT_EQ(CopyItem(panes.left, item), 1);

    EXPECT_EQ(Dump(panes.right.root),
              "actor lHand:2\n"
              "    channels\n"
              "        targetGeom A\n"
              "            k 0 1\n"
              "        rotateY yrot\n");
    EXPECT_EQ(panes.right.modified, 1);
    EXPECT_EQ(panes.left.modified, 0);
    // The copy does not carry the source pane's item into the destination's tree.
    EXPECT_EQ(At(panes.right.root, {"actor lHand:2", "channels ", "targetGeom A"})->treeItem, 0u);
}

TEST(CopyItemTest, RefusesWithoutACopyableSourceOrDestination) {
    struct Case {
        const char* fault;
        const char* destination;
        bool destinationLoaded;
        std::initializer_list<std::string_view> source;
    } cases[] = {
        {"figure file into a file without the body part",
         "{\nactor rHand:1\n{\nchannels\n{\n}\n}\n}",
         true,
         {"actor lHand:1", "channels ", "targetGeom A"}},
        {"figure file into a body part without channels",
         "{\nactor lHand:1\n{\n}\n}",
         true,
         {"actor lHand:1", "channels ", "targetGeom A"}},
        {"empty destination pane",
         "{\nactor lHand:1\n{\nchannels\n{\n}\n}\n}",
         false,
         {"actor lHand:1", "channels ", "targetGeom A"}},
        {"channel without a brace block has no path",
         "{\nactor lHand:1\n{\nchannels\n{\n}\n}\n}",
         true,
         {"actor lHand:1", "channels ", "twist noBlock"}},
    };
    for (const Case& c : cases) {
        TwoPanes panes;
        TwoPanes::Fill(panes.left, kHandOne, kFigureView);
        TwoPanes::Fill(panes.right, c.destination, kFigureView);
        panes.right.loaded = c.destinationLoaded ? 1 : 0;
        const std::string before = Dump(panes.right.root);
        const TreeItem item = Mark(panes.left.root, c.source, 7);
        ASSERT_NE(item, 0u) << c.fault;

        EXPECT_EQ(CopyItem(panes.left, item), 0) << c.fault;
        EXPECT_EQ(Dump(panes.right.root), before) << c.fault;
        EXPECT_EQ(panes.right.modified, 0) << c.fault;
    }
}

// "|" separates the levels of a path; a morph target named "x|y" is still one name and must
// not land inside the destination's "x".
TEST(CopyItemTest, ANameHoldingTheSeparatorIsCopiedAsOneName) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left,
                   "{\nactor lHand:1\n{\nchannels\n{\ntargetGeom x|y\n{\nk 0 1\n}\n}\n}\n}",
                   kFigureView);
    TwoPanes::Fill(panes.right,
                   "{\nactor lHand:2\n{\nchannels\n{\ntargetGeom x\n{\nk 0 2\n}\n}\n}\n}",
                   kFigureView);
    const TreeItem item =
        Mark(panes.left.root, {"actor lHand:1", "channels ", "targetGeom x|y"}, 7);

    EXPECT_EQ(CopyItem(panes.left, item), 1);
    EXPECT_EQ(CopyItem(panes.left, item), 1);  // the second copy replaces the first

    EXPECT_EQ(Dump(panes.right.root),
              "actor lHand:2\n    channels\n        targetGeom x|y\n            k 0 1\n"
              "        targetGeom x\n            k 0 2\n");
}

// From a pose file the missing levels are made first; when the copy still finds no place (a
// new "actor eye:l" has the base name "eye"), they are taken back.
TEST(CopyItemTest, AFailedPoseCopyLeavesTheDestinationAsItWas) {
    const char* destinations[] = {
        "{\nactor hip\n{\n}\n}",           // the actor and its "channels" would be new
        "{\nactor eye:l\n{\nother\n}\n}",  // only "channels" would be new, inside it
    };
    for (const char* destination : destinations) {
        TwoPanes panes;
        TwoPanes::Fill(panes.left, "{\nactor eye:l:1\n{\nchannels\n{\nrotateX xrot\n{\n}\n}\n}\n}",
                       kPoseView);
        TwoPanes::Fill(panes.right, destination, kPoseView);
        const std::string before = Dump(panes.right.root);
        const TreeItem item =
            Mark(panes.left.root, {"actor eye:l:1", "channels ", "rotateX xrot"}, 7);

        EXPECT_EQ(CopyItem(panes.left, item), 0) << destination;
        EXPECT_EQ(Dump(panes.right.root), before) << destination;
        EXPECT_EQ(panes.right.modified, 0) << destination;
    }
}

TEST(CopyItemTest, ItemZeroCopiesNothing) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left, kHandOne, kFigureView);
    TwoPanes::Fill(panes.right, kHandTwo, kFigureView);
    EXPECT_EQ(CopyItem(panes.left, 0), 0);
    EXPECT_EQ(CopyProp(panes.left, 0), 0);
    EXPECT_EQ(panes.right.modified, 0);
}

TEST(CopyItemTest, PoseFileCreatesTheMissingLevels) {
    const char* pose = "{\nactor lHand:1\n{\nchannels\n{\nrotateX xrot\n{\nk 0 5\n}\n}\n}\n}";
    struct Case {
        const char* situation;
        const char* destination;
        const char* expected;
    } cases[] = {
        {"body part missing: appended under its base name",
         "{\nactor rHand:1\n{\nchannels\n{\n}\n}\n}",
         "actor rHand:1\n    channels\nactor lHand\n    channels\n        rotateX xrot\n"
         "            k 0 5\n"},
        {"same line without channels: channels created inside it",
         "{\nactor lHand\n{\nname lHand\n}\n}",
         "actor lHand\n    name lHand\n    channels\n        rotateX xrot\n            k 0 5\n"},
        {"numbered body part without channels: a second one with the base name",
         "{\nactor lHand:3\n{\n}\n}",
         "actor lHand:3\nactor lHand\n    channels\n        rotateX xrot\n            k 0 5\n"},
    };
    for (const Case& c : cases) {
        TwoPanes panes;
        TwoPanes::Fill(panes.left, pose, kPoseView);
        TwoPanes::Fill(panes.right, c.destination, kPoseView);
        const TreeItem item =
            Mark(panes.left.root, {"actor lHand:1", "channels ", "rotateX xrot"}, 3);

        EXPECT_EQ(CopyItem(panes.left, item), 1) << c.situation;
        EXPECT_EQ(Dump(panes.right.root), c.expected) << c.situation;
        EXPECT_EQ(panes.right.modified, 1) << c.situation;
    }
}

TEST(CopyBulkTest, MorphTargetsAndChannelsArriveReversedBeforeTheOldOnes) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left, kHandOne, kPoseView);
    TwoPanes::Fill(panes.right, "{\nactor lHand:2\n{\nchannels\n{\nold line\n{\n}\n}\n}\n}",
                   kPoseView);
    const TreeItem actor = Mark(panes.left.root, {"actor lHand:1"}, 1);
    TreeItem next = 2;
    for (Block& channel : At(panes.left.root, {"actor lHand:1", "channels "})->children) {
        channel.treeItem = next++;
    }

    CopyAllMorphTargets(panes.left, actor);
    EXPECT_EQ(Dump(panes.right.root),
              "actor lHand:2\n    channels\n        targetGeom C\n        targetGeom B\n"
              "        targetGeom A\n            k 0 1\n        old line\n");

    // "Copy All": the other channels follow, reversed as well; "twist" has no brace block and
    // is skipped.
    CopyAllChannels(panes.left, actor);
    EXPECT_EQ(Dump(panes.right.root),
              "actor lHand:2\n    channels\n        rotateX xrot\n        targetGeom C\n"
              "        targetGeom B\n        targetGeom A\n            k 0 1\n        old line\n");
}

TEST(CopyBulkTest, RepeatedLinesEndAsCopyingOneAfterAnotherLeavesThem) {
    // Each copy removes the first child with its line: the destination's first A and its B,
    // and then the first A's own copy, so the second A (k 0 2) and the old second A stay.
    TwoPanes panes;
    TwoPanes::Fill(panes.left,
                   "{\nactor head\n{\nchannels\n{\ntargetGeom A\n{\nk 0 1\n}\n"
                   "targetGeom B\n{\n}\ntargetGeom A\n{\nk 0 2\n}\n}\n}\n}",
                   kFigureView);
    TwoPanes::Fill(panes.right,
                   "{\nactor head\n{\nchannels\n{\ntargetGeom A\n{\nold 1\n}\n"
                   "targetGeom A\n{\nold 2\n}\ntargetGeom B\n{\n}\nrotateX x\n{\n}\n}\n}\n}",
                   kFigureView);
    const TreeItem actor = Mark(panes.left.root, {"actor head"}, 1);
    TreeItem next = 2;
    for (Block& channel : At(panes.left.root, {"actor head", "channels "})->children) {
        channel.treeItem = next++;
    }

    CopyAllMorphTargets(panes.left, actor);
    EXPECT_EQ(Dump(panes.right.root),
              "actor head\n    channels\n        targetGeom A\n            k 0 2\n"
              "        targetGeom B\n        targetGeom A\n            old 2\n        rotateX x\n");
}

constexpr const char* kPropSource = R"({
actor BODY:1
{
channels
{
}
}
prop box_1
{
storageOffset 0 0 0
}
actor hip:1
{
channels
{
}
}
prop box_1
{
name box_1
parent hip:1
}
prop ball
{
}
prop ball
{
parent hip:2
}
figureResFile :Runtime:a.obj
figure
{
addChild hip:1
BODY:1
addChild box_1
hip:1
}
})";

constexpr const char* kPropDestination = R"({
actor BODY:3
{
channels
{
}
}
figureResFile :Runtime:b.obj
figure
{
addChild hip:3
BODY:3
weld hip:3
BODY:3
}
})";

TEST(CopyPropTest, RenumbersThePropForTheDestinationFigure) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left, kPropSource, kFigureView, "1");
    TwoPanes::Fill(panes.right, kPropDestination, kFigureView, "3");
    // The item shows the second "prop" Block (the one with "parent").
    panes.left.root.children[3].treeItem = 9;

    EXPECT_EQ(CopyProp(panes.left, 9), 1);

    EXPECT_EQ(Dump(panes.right.root),
              "actor BODY:3\n    channels\n"
              "prop box_1:3\n    storageOffset 0 0 0\n"
              "figureResFile :Runtime:b.obj\n"
              "prop box_1:3\n    name box_1\n    parent hip:3\n"
              "figure\n    addChild hip:3\n    BODY:3\n    addChild box_1:3\n    hip:3\n"
              "    weld hip:3\n    BODY:3\n");
    EXPECT_EQ(panes.right.modified, 1);
}

TEST(CopyPropTest, EmptyDestinationSuffixLeavesATrailingColon) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left, kPropSource, kFigureView, "1");
    TwoPanes::Fill(panes.right, kPropDestination, kFigureView, "");
    panes.left.root.children[3].treeItem = 9;
    EXPECT_EQ(CopyProp(panes.left, 9), 1);
    EXPECT_NE(At(panes.right.root, {"prop box_1:"}), nullptr);
    EXPECT_NE(At(panes.right.root, {"figure ", "addChild box_1:"}), nullptr);
}

TEST(CopyPropTest, IsAllOrNothing) {
    struct Case {
        const char* fault;
        const char* source;
        const char* destination;
    } cases[] = {
        {"destination without figureResFile", kPropSource,
         "{\nfigure\n{\naddChild hip:3\nBODY:3\n}\n}"},
        {"destination without figure Block", kPropSource, "{\nfigureResFile x\n}"},
        {"destination figure without addChild", kPropSource,
         "{\nfigureResFile x\nfigure\n{\nweld a\nb\n}\n}"},
        {"source with one prop Block only",
         "{\nprop box_1\n{\nparent hip:1\n}\nfigure\n{\naddChild box_1\nhip:1\n}\n}",
         kPropDestination},
    };
    for (const Case& c : cases) {
        TwoPanes panes;
        TwoPanes::Fill(panes.left, c.source, kFigureView, "1");
        TwoPanes::Fill(panes.right, c.destination, kFigureView, "3");
        const std::string before = Dump(panes.right.root);
        At(panes.left.root, {"prop box_1"})->treeItem = 9;

        EXPECT_EQ(CopyProp(panes.left, 9), 0) << c.fault;
        EXPECT_EQ(Dump(panes.right.root), before) << c.fault;
        EXPECT_EQ(panes.right.modified, 0) << c.fault;
    }
}

TEST(CopyPropTest, SourceWithoutFigureBlockCopiesWithoutHierarchyLines) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left, "{\nprop box_1\n{\n}\nprop box_1\n{\nparent UNIVERSE\n}\n}",
                   kFigureView);
    TwoPanes::Fill(panes.right, kPropDestination, kFigureView, "3");
    panes.left.root.children[1].treeItem = 9;

    EXPECT_EQ(CopyProp(panes.left, 9), 1);
    EXPECT_EQ(Dump(panes.right.root),
              "actor BODY:3\n    channels\nprop box_1:3\nfigureResFile :Runtime:b.obj\n"
              "prop box_1:3\n    parent UNIVERSE:3\n"
              "figure\n    addChild hip:3\n    BODY:3\n    weld hip:3\n    BODY:3\n");
}

TEST(CopyPropTest, CopyAllPropsTakesOnlyPropsOfThatExactBodyPart) {
    TwoPanes panes;
    TwoPanes::Fill(panes.left, kPropSource, kFigureView, "1");
    TwoPanes::Fill(panes.right, kPropDestination, kFigureView, "3");
    const TreeItem hip = Mark(panes.left.root, {"actor hip:1"}, 4);

    CopyAllProps(panes.left, hip);

    const std::string dump = Dump(panes.right.root);
    EXPECT_NE(dump.find("prop box_1:3"), std::string::npos);
    EXPECT_EQ(dump.find("ball"), std::string::npos);  // hangs from hip:2
}

}  // namespace
}  // namespace tessary

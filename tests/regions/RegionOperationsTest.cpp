// The region operations on two linked panes with their trees: which actors a region reaches,
// what the check boxes leave alone, and what the whole-file clean-ups change.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "commands/CommandIds.h"
#include "commands/PaneCommands.h"
#include "commands/RegionMenu.h"
#include "edit/EditFixture.h"
#include "headless/MemoryTreeControl.h"
#include "pane/FigureTree.h"
#include "regions/RegionOperations.h"

namespace tessary {
namespace {

using testing::Dump;
using testing::ParseTree;

// A Ui whose region dialog answers with `regionAnswer` (nothing: Cancel).
class RegionUi : public testing::FakeUi {
  public:
    std::optional<RegionOptions> regionAnswer;
    int regionDialogs = 0;
    std::optional<RegionOptions> RunRegionDialog() override {
        ++regionDialogs;
        return regionAnswer;
    }
};

struct Panes {
    RegionUi ui;
    testing::FakeStore store;
    FigureFile left{ui, store};
    FigureFile right{ui, store};
    MemoryTreeControl leftControl;
    MemoryTreeControl rightControl;
    FigureTree leftTree{leftControl, left};
    FigureTree rightTree{rightControl, right};
    CommandContext context;
    PaneCommands leftCommands{leftTree, context};

    Panes() {
        left.otherPane = &right;
        right.otherPane = &left;
    }

    static void Show(FigureFile& file, const std::string& text) {
        file.root = ParseTree(text);
        file.viewKind = kPoseView;
        file.loaded = 1;
        file.modified = 0;
        file.tree->Refresh();
    }
};

// An actor with a morph target "Smile" at 1 and a channel "xrot" at `xrot`.
std::string Actor(const std::string& name, const std::string& xrot = "5") {
    return "actor " + name +
           "\n{\nchannels\n{\ntargetGeom Smile\n{\nkeys\n{\nk 0 1\n}\n}\nrotateX xrot\n{\n"
           "keys\n{\nk 0 " +
           xrot + "\n}\n}\n}\n}\n";
}

// Every actor the regions name, with the figure number 1.
std::string WholeBody() {
    const std::vector<BodyPartList> lists = {
        headParts,     chestParts,     hipParts,      leftHandParts, leftArmParts,   leftLegParts,
        leftFootParts, rightHandParts, rightArmParts, rightLegParts, rightFootParts, genitalParts};
    std::string text = "{\nversion\n{\nnumber 4\n}\n";
    for (BodyPartList list : lists) {
        for (std::string_view name : list) {
            text += Actor(std::string(name) + ":1");
        }
    }
    return text + "}\n";
}

const std::string kEmptyPose = "{\nversion\n{\nnumber 4\n}\n}\n";

// "name:mx" for each top-level actor, in file order, with "m" when its morph target "Smile"
// passes `test` and "x" when its channel "xrot" does; actors with neither are left out.
template <typename Test>
std::string Actors(const Block& root, Test test) {
    std::string out;
    for (const Block& actor : root.children) {
        if (actor.tag != "actor") {
            continue;
        }
        const Block* channels = actor.FindNthChild("channels", 0, Match::Tag);
        std::string marks;
        for (const char* key : {"targetGeom Smile", "rotateX xrot"}) {
            const Block* channel =
                channels ? channels->FindNthChild(key, 0, Match::LineKey) : nullptr;
            if (channel != nullptr && test(*channel)) {
                marks += key[0] == 't' ? "m" : "x";
            }
        }
        if (!marks.empty()) {
            out += (out.empty() ? "" : " ") + actor.data + ":" + marks;
        }
    }
    return out;
}

bool Zeroed(const Block& channel) {
    const Block* keys = channel.FindNthChild("keys", 0, Match::Tag);
    return keys != nullptr && keys->FindNthChild("k 0 0", 0, Match::LineKey) != nullptr;
}

std::string ZeroedActors(const Block& root) {
    return Actors(root, Zeroed);
}
std::string PresentActors(const Block& root) {
    return Actors(root, [](const Block&) { return true; });
}

std::set<std::string> Names(const std::string& actors) {
    std::set<std::string> names;
    std::size_t start = 0;
    while (start < actors.size()) {
        const std::size_t end = actors.find(' ', start);
        const std::string word = actors.substr(start, end - start);
        names.insert(word.substr(0, word.find(':')));
        start = end == std::string::npos ? actors.size() : end + 1;
    }
    return names;
}

RegionOptions Options(const char* entry, bool copy, int flags = 0) {
    RegionOptions options;
    for (int i = 0; i < static_cast<int>(BodyRegions().size()); ++i) {
        if (BodyRegions()[static_cast<std::size_t>(i)].entry == entry) {
            options.region = i;
        }
    }
    options.copy = copy;
    options.flags = flags;
    return options;
}

TEST(RegionOperationsTest, RegionsReachTheirOwnActorsOnly) {
    Panes panes;
    Panes::Show(panes.left, WholeBody());
    Panes::Show(panes.right, kEmptyPose);

    // Left Arm with Leave Hands Alone copies the arm and none of the hand or fingers.
    ApplyRegion(panes.left, Options("Left Arm", true, RegionOptions::kLeaveHands));
    EXPECT_EQ(PresentActors(panes.right.root), "lCollar:mx lShldr:mx lForeArm:mx");
    EXPECT_EQ(panes.right.modified, 1);
    EXPECT_EQ(panes.left.modified, 0);
    EXPECT_NE(panes.rightTree.FindItemByText(0, "lForeArm"), 0u);  // the other tree shows them

    // Upper Body: chest, abdomen, both arms and hands; never the head, the hip or the legs.
    ApplyRegion(panes.left, Options("Upper Body", false));
    const std::set<std::string> upper = Names(ZeroedActors(panes.left.root));
    EXPECT_EQ(upper.size(), 2u + 2 * (3 + 16));
    for (const char* name : {"chest", "abdomen", "rCollar", "rPinky3", "lForeArm", "lThumb1"}) {
        EXPECT_TRUE(upper.count(name)) << name;
    }
    for (const char* name : {"head", "neck", "leftEye", "rightEye", "hip", "lThigh", "rShin",
                             "lFoot", "rToe", "genitals"}) {
        EXPECT_FALSE(upper.count(name)) << name;
    }
    EXPECT_EQ(panes.left.modified, 1);

    // Lower Body: the hip and the legs with their feet; not the chest or abdomen.
    Panes::Show(panes.left, WholeBody());
    ApplyRegion(panes.left, Options("Lower Body", false));
    EXPECT_EQ(ZeroedActors(panes.left.root),
              "hip:1:mx lThigh:1:mx lShin:1:mx lFoot:1:mx lToe:1:mx rThigh:1:mx rShin:1:mx "
              "rFoot:1:mx rToe:1:mx");

    // Right Side with Leave Feet Alone and Leave Morph Targets zeroes only other channels of
    // the arm, hand, fingers, thigh and shin.
    Panes::Show(panes.left, WholeBody());
    ApplyRegion(panes.left, Options("Right Side", false,
                                    RegionOptions::kLeaveFeet | RegionOptions::kLeaveMorphTargets));
    const std::string right = ZeroedActors(panes.left.root);
    EXPECT_EQ(right.find(":m"), std::string::npos) << right;
    const std::set<std::string> rightNames = Names(right);
    EXPECT_EQ(rightNames.size(), 3u + 16 + 2);
    for (const char* name : {"rCollar", "rForeArm", "rHand", "rPinky3", "rThigh", "rShin"}) {
        EXPECT_TRUE(rightNames.count(name)) << name;
    }
    for (const char* name : {"rFoot", "rToe", "lHand", "chest", "hip"}) {
        EXPECT_FALSE(rightNames.count(name)) << name;
    }

    // Genitals is one actor; the empty entry applies nothing.
    Panes::Show(panes.left, WholeBody());
    ApplyRegion(panes.left, Options("Genitals", false));
    EXPECT_EQ(ZeroedActors(panes.left.root), "genitals:1:mx");
    Panes::Show(panes.left, WholeBody());
    ApplyRegion(panes.left, Options("", false));
    EXPECT_EQ(ZeroedActors(panes.left.root), "");
    EXPECT_EQ(panes.left.modified, 0);
}

TEST(RegionOperationsTest, OnlyTheFirstActorOfABaseNameIsUsed) {
    Panes panes;
    Panes::Show(panes.left, "{\n" + Actor("lHand:1", "5") + Actor("lHand:2", "7") + "}\n");
    Panes::Show(panes.right, "{\n" + Actor("lHand:3", "9") + "}\n");

    ApplyRegion(panes.left, Options("Left Hand", false));
    EXPECT_EQ(ZeroedActors(panes.left.root), "lHand:1:mx");

    Panes::Show(panes.left, "{\n" + Actor("lHand:1", "5") + Actor("lHand:2", "7") + "}\n");
    ApplyRegion(panes.left, Options("Left Hand", true, RegionOptions::kLeaveMorphTargets));
    // The other file's lHand:3 gets lHand:1's channel; its morph target stays its own.
    const Block& hand = panes.right.root.children.front();
    EXPECT_EQ(Dump(hand),
              "channels\n"
              "    rotateX xrot\n        keys\n            k 0 5\n"
              "    targetGeom Smile\n        keys\n            k 0 1\n");
    EXPECT_EQ(panes.right.root.children.size(), 1u);
}

TEST(RegionOperationsTest, RegionDialogAppliesOnlyAChosenEntry) {
    Panes panes;
    const std::string other = "{\nactor BODY:1\n{\nchannels\n{\n}\n}\n}\n";
    Panes::Show(panes.left, WholeBody());
    Panes::Show(panes.right, other);
    const std::string before = Dump(panes.left.root);
    const TreeItem rightTop = panes.rightControl.GetChildItem(0);

    // Cancel, and OK with no entry chosen: nothing at all, not even a refresh.
    panes.ui.regionAnswer.reset();
    panes.leftCommands.Dispatch(kCmdRegions);
    panes.ui.regionAnswer = RegionOptions{};
    panes.leftCommands.Dispatch(kCmdRegions);
    EXPECT_EQ(panes.ui.regionDialogs, 2);
    EXPECT_EQ(Dump(panes.left.root), before);
    EXPECT_EQ(panes.rightControl.GetChildItem(0), rightTop);

    // The empty entry with Copy Settings changes nothing and only refreshes the other tree.
    panes.ui.regionAnswer = Options("", true);
    panes.leftCommands.Dispatch(kCmdRegions);
    EXPECT_EQ(Dump(panes.left.root), before);
    EXPECT_EQ(Dump(panes.right.root), Dump(ParseTree(other)));
    EXPECT_EQ(panes.right.modified, 0);
    EXPECT_NE(panes.rightControl.GetChildItem(0), rightTop);
}

TEST(RegionOperationsTest, WholeFileCleanUps) {
    Panes panes;
    const std::string pose =
        "{\n" + Actor("head:1") + Actor("hip:1") + "prop box_1\n{\nparent hip:1\n}\n}\n";
    Panes::Show(panes.left, pose);
    const TreeItem hip = panes.leftTree.FindItemByText(0, "hip");

    // Zeroing morph targets changes only the "k" lines of "targetGeom" channels and leaves
    // the tree as it is.
    panes.leftCommands.Dispatch(kCmdZeroMorphsInFile);
    std::string expected = Dump(ParseTree(pose));
    for (std::size_t at = 0; (at = expected.find("k 0 1\n", at)) != std::string::npos;) {
        expected.replace(at, 6, "k 0 0\n");
    }
    EXPECT_EQ(Dump(panes.left.root), expected);
    EXPECT_EQ(panes.leftTree.FindItemByText(0, "hip"), hip);
    EXPECT_EQ(panes.left.modified, 1);

    // Deleting the other channels keeps the morph targets and rebuilds the tree.
    panes.leftCommands.Dispatch(kCmdDeleteChannelsFromFile);
    EXPECT_EQ(PresentActors(panes.left.root), "head:1:m hip:1:m");
    EXPECT_NE(panes.leftTree.FindItemByText(0, "hip"), hip);
}

TEST(RegionOperationsTest, DeletePropsInFileTakesNestedPropsAsWell) {
    Panes panes;
    Panes::Show(panes.left,
                "{\nprop box_1\n{\nparent hip:1\n}\nactor hip:1\n{\nprop inner\n{\nprop "
                "innermost\n{\n}\n}\nchannels\n{\n}\n}\nfigure\n{\nprop line\n}\n}\n");
    panes.leftCommands.Dispatch(kCmdDeletePropsFromFile);
    EXPECT_EQ(Dump(panes.left.root), "actor hip:1\n    channels\nfigure\n");
    EXPECT_EQ(panes.left.modified, 1);
    EXPECT_EQ(panes.leftTree.FindItemByText(0, "box_1"), 0u);

    // A file without props stays unmodified.
    Panes::Show(panes.left, kEmptyPose);
    DeletePropsInFile(panes.left);
    EXPECT_EQ(panes.left.modified, 0);
}

TEST(RegionOperationsTest, RegionMenuGraysTheDialogOnlyWithoutAnOtherPane) {
    Panes panes;
    Menu menu = ShowRegionMenu(panes.leftCommands);
    EXPECT_EQ(menu.resourceId, kMenuRegions);
    EXPECT_FALSE(menu.IsGrayed(kCmdRegions));
    EXPECT_TRUE(panes.context.currentPopup.has_value());
    panes.left.otherPane = nullptr;
    menu = ShowRegionMenu(panes.leftCommands);
    EXPECT_TRUE(menu.IsGrayed(kCmdRegions));
    for (int id : {kCmdZeroMorphsInFile, kCmdZeroChannelsInFile, kCmdDeleteMorphsFromFile,
                   kCmdDeleteChannelsFromFile, kCmdDeletePropsFromFile}) {
        EXPECT_FALSE(menu.IsGrayed(id)) << id;
    }
}

}  // namespace
}  // namespace tessary

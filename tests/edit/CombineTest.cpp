// Combining morph targets: the sums, the new Block and what the command does to the file.
#include "edit/Combine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EditFixture.h"
#include "cli/ScriptRunner.h"
#include "edit/CombineDialogState.h"

namespace tessary {
namespace {

using testing::At;
using testing::Dump;
using testing::FakeStore;
using testing::FakeUi;
using testing::ParseTree;

// A morph target: its value, "indexes", "numbDeltas" and delta lines.
std::string Target(const std::string& name, const std::string& value, int numbDeltas,
                   const std::vector<std::string>& deltas) {
    std::string text = "targetGeom " + name + "\n{\nname " + name + "\nkeys\n{\nstatic 0\nk 0 " +
                       value + "\n}\nindexes " + std::to_string(deltas.size()) + "\nnumbDeltas " +
                       std::to_string(numbDeltas) + "\ndeltas\n{\n";
    for (const std::string& delta : deltas) {
        text += "d " + delta + "\n";
    }
    return text + "}\n}\n";
}

std::string Figure(const std::string& channels) {
    return "{\nactor hip:1\n{\nname hip\nchannels\n{\n" + channels +
           "rotateX xrot\n{\nkeys\n{\nk 0 30\n}\n}\n}\n}\n}\n";
}

CombineChoice Choose(std::vector<std::size_t> selected, bool add = true) {
    CombineChoice choice;
    choice.newName = "Sum";
    choice.selected = std::move(selected);
    choice.addMode = add;
    return choice;
}

// The "d" lines of a built morph target, "indexes" and "numbDeltas" first.
std::string Summary(const Block& combined) {
    std::string text = combined.FindNthChild("indexes", 0, Match::Tag)->data + "/" +
                       combined.FindNthChild("numbDeltas", 0, Match::Tag)->data + "\n";
    for (const Block& line : combined.FindNthChild("deltas", 0, Match::Tag)->children) {
        text += line.data + "\n";
    }
    return text;
}

Block Channels(const std::string& targets) {
    Block root = ParseTree(Figure(targets));
    return *At(root, {"actor hip:1", "channels "});
}

TEST(BuildCombinedMorphTarget, WeighsEachTargetByItsValue) {
    const Block channels =
        Channels(Target("A", "1", 10, {"7 0.001 0 -2", "2 1 1 1"}) +
                 Target("B", "0.5", 10, {"7 0.002 1 0"}) + Target("Off", "0", 10, {"3 5 5 5"}));
    const Block added = BuildCombinedMorphTarget(channels, Choose({0, 1, 2}));
    EXPECT_EQ(Summary(added),
              "2/10\n"
              "2 1.000000e+000 1.000000e+000 1.000000e+000\n"
              "7 2.000000e-003 5.000000e-001 -2.000000e+000\n");
    // Subtract negates every chosen target, the first included.
    EXPECT_EQ(Summary(BuildCombinedMorphTarget(channels, Choose({0, 1, 2}, false))),
              "2/10\n"
              "2 -1.000000e+000 -1.000000e+000 -1.000000e+000\n"
              "7 -2.000000e-003 -5.000000e-001 2.000000e+000\n");
}

TEST(BuildCombinedMorphTarget, ExactCancellationLeavesTheVertexOut) {
    const Block channels = Channels(Target("A", "1", 10, {"4 0.25 -1 0", "5 1 0 0"}) +
                                    Target("B", "-0.5", 10, {"4 0.5 -2 0"}));
    EXPECT_EQ(Summary(BuildCombinedMorphTarget(channels, Choose({0, 1}))),
              "1/10\n5 1.000000e+000 0.000000e+000 0.000000e+000\n");
}

TEST(BuildCombinedMorphTarget, TheFirstChosenTargetSizesTheSum) {
    const Block channels = Channels(Target("Small", "1", 3, {"1 1 0 0"}) +
                                    Target("Big", "1", 100, {"1 1 0 0", "50 1 1 1", "-1 1 1 1"}) +
                                    Target("Broken", "1", 100, {}));
    // Vertices the first target does not have, and negative ones, are ignored.
    EXPECT_EQ(Summary(BuildCombinedMorphTarget(channels, Choose({0, 1}))),
              "1/3\n1 2.000000e+000 0.000000e+000 0.000000e+000\n");
    // "Big" first: 100 vertices, whatever the list order of the others.
    EXPECT_EQ(Summary(BuildCombinedMorphTarget(channels, Choose({1, 0}))).substr(0, 6), "2/100\n");

    // A first target without "keys" cannot be read: no vertices at all, whatever follows.
    Block unreadable = Channels(
        "targetGeom Bare\n{\nnumbDeltas 100\nindexes 1\ndeltas\n{\nd 1 1 "
        "1 1\n}\n}\n" +
        Target("Big", "1", 100, {"1 1 0 0"}));
    EXPECT_EQ(Summary(BuildCombinedMorphTarget(unreadable, Choose({0, 1}))), "0/0\n");
    // An index past the morph targets ends the summing there.
    EXPECT_EQ(Summary(BuildCombinedMorphTarget(channels, Choose({0, 7, 1}))),
              "1/3\n1 1.000000e+000 0.000000e+000 0.000000e+000\n");
}

TEST(BuildCombinedMorphTarget, CombinesEverySelectedEntryPast256) {
    std::string targets;
    std::vector<std::size_t> all;
    for (int i = 0; i < 300; ++i) {
        targets += Target("T" + std::to_string(i), "1", 300, {std::to_string(i) + " 1 0 0"});
        all.push_back(static_cast<std::size_t>(i));
    }
    const Block combined = BuildCombinedMorphTarget(Channels(targets), Choose(all));
    EXPECT_EQ(combined.FindNthChild("indexes", 0, Match::Tag)->data, "300");
    EXPECT_EQ(combined.FindNthChild("deltas", 0, Match::Tag)->children.back().data,
              "299 1.000000e+000 0.000000e+000 0.000000e+000");
}

// A Ui whose Combine dialog answers with a prepared choice, and records what it was shown.
class CombineUi : public FakeUi {
  public:
    std::optional<CombineChoice> answer;
    CombineRequest shown;
    std::vector<std::string> progress;

    std::optional<CombineChoice> RunCombineDialog(const CombineRequest& request) override {
        shown = request;
        return answer;
    }
    void OpenProgress(const std::string& text, bool owned) override {
        progress.push_back(text + (owned ? " (owned)" : ""));
    }
    void SetProgressPosition(int percent) override { progress.push_back(std::to_string(percent)); }
    void CloseProgress() override { progress.push_back("close"); }
};

struct CombineFile {
    CombineUi ui;
    FakeStore store;
    FigureFile file{ui, store};

    explicit CombineFile(const std::string& text) {
        file.root = ParseTree(text);
        file.loaded = 1;
        file.viewKind = kFigureView;
    }
};

TEST(CombineMorphTargets, AddsTheSumAsFirstChannelWithTheseExactLines) {
    CombineFile pane(Figure(Target("Smile", "1", 3000, {"117 0.00125 0 -0.0003"}) +
                            Target("Wink", "0.5", 3000, {"204 0.001 0.002 0"})));
    pane.ui.answer = Choose({0, 1});
    pane.ui.answer->newName = "Smile2";
    const std::string before = SavedText(pane.file.root);

    EXPECT_EQ(CombineMorphTargets(pane.file, *At(pane.file.root, {"actor hip:1"}), "hip"), 1);
    EXPECT_EQ(pane.ui.shown.names, (std::vector<std::string>{"Smile", "Wink"}));
    EXPECT_EQ(pane.ui.shown.label, "hip");
    EXPECT_EQ(pane.file.modified, 1);
    // The progress window: its caption, 0, each target's share of the summing, then the
    // output pass from 0 again.
    const std::vector<std::string> opening = {"Combining Morph Targets...\nPlease Wait. (owned)",
                                              "0", "0", "50", "0"};
    ASSERT_GT(pane.ui.progress.size(), opening.size());
    EXPECT_TRUE(std::equal(opening.begin(), opening.end(), pane.ui.progress.begin()));
    EXPECT_EQ(pane.ui.progress.back(), "close");
    const std::string channelsLine = "    channels\r\n        {\r\n";
    const std::string added =
        "        targetGeom Smile2\r\n"
        "            {\r\n"
        "            name Smile2\r\n"
        "            initValue 1\r\n"
        "            hidden 0\r\n"
        "            forceLimits 4\r\n"
        "            min -100000\r\n"
        "            max 100000\r\n"
        "            trackingScale 0.01\r\n"
        "            keys\r\n"
        "                {\r\n"
        "                static 0\r\n"
        "                k 0  0\r\n"
        "                }\r\n"
        "            interpStyleLocked 0\r\n"
        "            indexes 2\r\n"
        "            numbDeltas 3000\r\n"
        "            deltas\r\n"
        "                {\r\n"
        "                d 117 1.250000e-003 0.000000e+000 -3.000000e-004\r\n"
        "                d 204 5.000000e-004 1.000000e-003 0.000000e+000\r\n"
        "                }\r\n"
        "            }\r\n";
    std::string expected = before;
    expected.insert(expected.find(channelsLine) + channelsLine.size(), added);
    EXPECT_EQ(SavedText(pane.file.root), expected);
}

TEST(CombineMorphTargets, CancelOneEntryOrNoChannelsChangeNothing) {
    const std::string text = Figure(Target("A", "1", 3, {"1 1 0 0"}) + Target("B", "1", 3, {}));
    for (const std::optional<CombineChoice>& answer :
         {std::optional<CombineChoice>(), std::optional<CombineChoice>(Choose({1})),
          std::optional<CombineChoice>(Choose({}))}) {
        CombineFile pane(text);
        pane.ui.answer = answer;
        EXPECT_EQ(CombineMorphTargets(pane.file, *At(pane.file.root, {"actor hip:1"}), "hip"), 0);
        EXPECT_EQ(Dump(pane.file.root), Dump(ParseTree(text)));
        EXPECT_EQ(pane.file.modified, 0);
        EXPECT_TRUE(pane.ui.progress.empty());
    }
    CombineFile bare("{\nactor hip:1\n{\nname hip\n}\n}\n");
    bare.ui.answer = Choose({0, 1});
    EXPECT_EQ(CombineMorphTargets(bare.file, *At(bare.file.root, {"actor hip:1"}), "hip"), 0);
    EXPECT_EQ(bare.ui.shown.label, "");  // no dialog without "channels"
}

TEST(CombineMorphTargets, WorksOnAPropsMorphTargets) {
    CombineFile pane("{\nprop box_1\n{\nname box\nchannels\n{\n" +
                     Target("Squash", "1", 8, {"3 1 0 0"}) + Target("Bend", "2", 8, {"3 1 0 0"}) +
                     "}\n}\n}\n");
    pane.ui.answer = Choose({0, 1});
    EXPECT_EQ(CombineMorphTargets(pane.file, *At(pane.file.root, {"prop box_1"}), "box_1"), 1);
    const Block* first = &At(pane.file.root, {"prop box_1", "channels "})->children.front();
    EXPECT_EQ(first->LineKey(), "targetGeom Sum");
    EXPECT_EQ(Summary(*first), "1/8\n3 3.000000e+000 0.000000e+000 0.000000e+000\n");
}

TEST(CombineDialogState, TogglesSelectsAndHandsOverInListOrder) {
    CombineDialogState dialog({{"A", "B", "#1", "B"}, "hip"});
    EXPECT_EQ(dialog.newName, "New Morph Target");
    EXPECT_TRUE(dialog.AddOn());
    dialog.Toggle(3);
    dialog.Toggle(0);
    dialog.Toggle(3);
    dialog.Toggle(1);
    dialog.OnSubtract();
    CombineChoice choice = dialog.Combine();
    EXPECT_EQ(choice.selected, (std::vector<std::size_t>{0, 1}));
    EXPECT_FALSE(choice.addMode);
    dialog.SelectAll();
    EXPECT_EQ(dialog.Combine().selected.size(), 4u);
    dialog.SelectNone();
    EXPECT_TRUE(dialog.Combine().selected.empty());
    // Script words: the first entry with that text, or "#N" counted from 0.
    EXPECT_EQ(dialog.FindEntry("B"), 1u);
    EXPECT_EQ(dialog.FindEntry("#2"), 2u);
    EXPECT_EQ(dialog.FindEntry("#4"), std::nullopt);
    EXPECT_EQ(dialog.FindEntry("C"), std::nullopt);
}

}  // namespace
}  // namespace tessary

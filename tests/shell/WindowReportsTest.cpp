// The title, the status line and the command line of the window, as the shell decides them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "commands/CommandIds.h"
#include "commands/ItemFinder.h"
#include "commands/StatusText.h"
#include "headless/MemoryProfileStore.h"
#include "headless/MemoryTreeControl.h"
#include "headless/ScriptedUi.h"
#include "shell/MainWindow.h"
#include "support/ScratchDir.h"

namespace tessary {
namespace {

const std::string kExamples = TESSARY_TEST_DATA_DIR "/../../examples";

class WindowReportsTest : public testing::Test {
  protected:
    TreeItem Item(Side side, std::initializer_list<const char*> labels) {
        TreeControl& control = window.Tree(side).control;
        TreeItem item = 0;
        for (const char* label : labels) {
            item = control.FindItemByText(item, label);
        }
        return item;
    }

    void Run(Side side, TreeItem item, int command) {
        window.File(side).commandItem = item;
        window.Commands(side).Dispatch(command);
    }

    std::ostringstream log;
    ScriptedUi ui{log};
    MemoryProfileStore store;
    MemoryTreeControl left;
    MemoryTreeControl right;
    MainWindow window{ui, store, left, right};
    test::ScratchDir scratch;
};

TEST_F(WindowReportsTest, TitleAndStatusFollowLoadCopyDeleteAndSave) {
    int renders = 0;
    window.buttonsChanged = [&renders] { ++renders; };
    EXPECT_EQ(window.Title(), "tessary");
    window.Start(std::vector<std::string>{kExamples + "/figure.cr2", kExamples + "/figure.cr2"});
    EXPECT_EQ(window.StatusText(), "Loaded figure.cr2");
    EXPECT_EQ(window.Title(), "figure.cr2 | figure.cr2 - tessary");

    Run(Side::Left, Item(Side::Left, {"head", "MORPH TARGETS"}), kCmdCopyAllMorphTargets);
    EXPECT_EQ(window.StatusText(), "Copied 2 morph targets to head");
    EXPECT_EQ(window.Title(), "figure.cr2 | figure.cr2* - tessary");
    // The copies are shown in the other pane: the one now first there is selected.
    EXPECT_EQ(right.GetSelectedItem(), Item(Side::Right, {"head", "MORPH TARGETS", "Smile"}));

    Run(Side::Left, Item(Side::Left, {"lHand", "PROPS", "box_1"}), kCmdCopy);
    EXPECT_EQ(window.StatusText(), "Copied prop box_1");
    Run(Side::Left, Item(Side::Left, {"lHand", "PROPS", "box_1"}), kCmdDelete);
    EXPECT_EQ(window.StatusText(), "Deleted prop box_1");

    ui.SetCombineScript({false, "Wink", true, {"Blink", "Smile"}});
    Run(Side::Left, Item(Side::Left, {"head", "MORPH TARGETS"}), kCmdCombineMorphTargets);
    EXPECT_EQ(window.StatusText(), "Combined morph targets into Wink on head");

    ui.SetReplies({kExamples + "/sample.obj"});
    window.OnObjButton(Side::Left);
    EXPECT_EQ(window.StatusText(), "Attached sample.obj: 6 groups, 1 material");

    ui.SetReplies({(scratch.Path() / "copy.cr2").string()});
    window.OnSaveButton(Side::Right);
    EXPECT_EQ(window.StatusText(), "Saved copy.cr2");
    EXPECT_EQ(window.Title(), "figure.cr2* | copy.cr2 - tessary");
    EXPECT_GE(renders, 4);
}

TEST_F(WindowReportsTest, LoadsThatStopShortOfTheirFileAreReported) {
    struct Case {
        const char* fault;
        std::string text;
        const char* status;
    };
    constexpr char kCutByNul[] = "{\nactor a\n\t{\n\t}\n\0junk\n}\n";
    const Case cases[] = {
        {"complete, blank lines after", "{\nactor a\n\t{\n\t}\n}\n\n\n", "Loaded file.cr2"},
        {"text after the outermost block", "{\nactor a\n\t{\n\t}\n}\nactor b\n{\n}\n",
         "Read 5 of 8 lines; the rest is not part of the file's tree"},
        {"stray brace closing the file early", "{\r\nactor a\r\n}\r\n}\r\nactor b\r\n",
         "Read 3 of 5 lines; the rest is not part of the file's tree"},
        {"NUL byte", std::string(kCutByNul, sizeof kCutByNul - 1),
         "Read 4 of 6 lines; the rest is not part of the file's tree"},
        {"blocks never closed", "{\nactor a\n\t{\n\tk 0\n",
         "Loaded file.cr2; 2 blocks were not closed at the end of the file"},
    };
    for (const Case& c : cases) {
        test::WriteBytes(scratch.File("file.cr2"), c.text);
        window.Start(scratch.File("file.cr2"));
        EXPECT_EQ(window.StatusText(), c.status) << c.fault;
    }
}

TEST_F(WindowReportsTest, CommandLineTakesOnePathOrOneFilePerPane) {
    const auto blanks = scratch.Path() / "my figure.cr2";
    std::ofstream(blanks) << "{\n}\n";
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::string> files;
        bool help, version;
    };
    const std::string a = (scratch.Path() / "my").string();
    const Case cases[] = {
        {{}, {}, false, false},
        {{"--help"}, {}, true, false},
        {{"--version"}, {}, false, true},
        {{"a b.cr2"}, {"a b.cr2"}, false, false},
        {{"left.cr2", "right.pz2"}, {"left.cr2", "right.pz2"}, false, false},
        // A path with a blank that the shell split still names its file.
        {{a, "figure.cr2"}, {blanks.string()}, false, false},
        {{"x", "--help"}, {"x", "--help"}, false, false},
    };
    for (const Case& c : cases) {
        const WindowArguments parsed = MainWindow::ParseArguments(c.arguments);
        EXPECT_EQ(parsed.files, c.files);
        EXPECT_EQ(parsed.help, c.help);
        EXPECT_EQ(parsed.version, c.version);
    }
    EXPECT_NE(WindowUsageText().find("tessary [FILE [FILE]]"), std::string::npos);
}

TEST_F(WindowReportsTest, PlacementIsKeptBesideThePreferences) {
    EXPECT_FALSE(window.ReadPlacement());
    window.WritePlacement({10, 20, 900, 700, true});
    const std::optional<WindowPlacement> kept = window.ReadPlacement();
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->width, 900);
    EXPECT_EQ(kept->height, 700);
    EXPECT_EQ(kept->x, 10);
    EXPECT_TRUE(kept->maximized);
    EXPECT_EQ(store.ReadNumber("Preferences", "Width", -1), -1);
}

TEST_F(WindowReportsTest, FinderStepsThroughLabelsIgnoringCase) {
    window.Start(kExamples + "/figure.cr2");
    ItemFinder finder(left);
    EXPECT_EQ(finder.Find("MORPH"), Item(Side::Left, {"chest", "MORPH TARGETS"}));
    EXPECT_EQ(finder.Summary(), "1 of 2");
    EXPECT_EQ(finder.Next(), Item(Side::Left, {"head", "MORPH TARGETS"}));
    EXPECT_EQ(finder.Next(), Item(Side::Left, {"chest", "MORPH TARGETS"}));
    EXPECT_EQ(finder.Find("bLiNk"), Item(Side::Left, {"head", "MORPH TARGETS", "Blink"}));
    EXPECT_EQ(left.GetSelectedItem(), finder.Previous());
    EXPECT_EQ(finder.Find("nothing"), 0u);
    EXPECT_EQ(finder.Summary(), "No match");
    EXPECT_EQ(GroupedNumber(1234567), "1,234,567");
    EXPECT_EQ(GroupedNumber(999), "999");
}

}  // namespace
}  // namespace tessary

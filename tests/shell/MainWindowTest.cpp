#include "shell/MainWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "headless/MemoryProfileStore.h"
#include "headless/MemoryTreeControl.h"
#include "headless/ScriptedUi.h"

namespace tessary {
namespace {

const std::string kData = TESSARY_TEST_DATA_DIR;

// Counts writes so a test can tell "nothing written" from "the same values written".
class CountingStore : public MemoryProfileStore {
  public:
    void WriteNumber(const std::string& section, const std::string& key,
                     std::int32_t value) override {
        ++writes;
        MemoryProfileStore::WriteNumber(section, key, value);
    }
    int writes = 0;
};

class MainWindowTest : public testing::Test {
  protected:
    std::ostringstream log;
    ScriptedUi ui{log};
    CountingStore store;
    MemoryTreeControl left;
    MemoryTreeControl right;
    MainWindow window{ui, store, left, right};
};

TEST_F(MainWindowTest, StartsWithOnlyLoadButtonsUsableAndBothPanesInFigureView) {
    for (Side side : {Side::Left, Side::Right}) {
        const PaneButtons& b = window.Buttons(side);
        EXPECT_TRUE(b.load.enabled);
        EXPECT_EQ(b.load.text, "Load File");
        EXPECT_FALSE(b.save.enabled);
        EXPECT_FALSE(b.obj.shown);
        EXPECT_FALSE(b.obj.enabled);
        EXPECT_FALSE(b.options.shown);
        EXPECT_EQ(window.File(side).viewKind, kFigureView);
    }
    EXPECT_EQ(window.File(Side::Left).otherPane, &window.File(Side::Right));
    EXPECT_EQ(window.File(Side::Right).otherPane, &window.File(Side::Left));
}

TEST_F(MainWindowTest, FigureFileShowsObjButtonAndPoseFileShowsOptions) {
    ui.SetReplies({kData + "/two-actors.cr2"});
    window.OnLoadButton(Side::Left);
    const PaneButtons& figure = window.Buttons(Side::Left);
    EXPECT_TRUE(figure.save.enabled);
    EXPECT_EQ(figure.load.text, "two-actors.cr2");
    EXPECT_TRUE(figure.obj.shown);
    EXPECT_TRUE(figure.obj.enabled);
    EXPECT_EQ(figure.obj.text, "OBJ Geometry File");
    EXPECT_FALSE(figure.options.shown);

    window.File(Side::Right).path = kData + "/hand.hd2";
    window.File(Side::Right).fileName = "hand.hd2";
    window.File(Side::Right).Load();
    const PaneButtons& pose = window.Buttons(Side::Right);
    EXPECT_FALSE(pose.obj.shown);
    EXPECT_TRUE(pose.obj.enabled);
    EXPECT_TRUE(pose.options.shown);
    // The left pane is untouched by the right pane's load.
    EXPECT_EQ(window.Buttons(Side::Left).load.text, "two-actors.cr2");
}

TEST_F(MainWindowTest, CancelledLoadDialogChangesNothingAndFailedLoadStillNamesTheFile) {
    ui.SetReplies({"cancel"});
    window.OnLoadButton(Side::Left);
    EXPECT_EQ(window.Buttons(Side::Left).load.text, "Load File");

    ui.SetReplies({kData + "/no-such-file.cr2"});
    window.OnLoadButton(Side::Left);
    EXPECT_EQ(window.Buttons(Side::Left).load.text, "no-such-file.cr2");
    EXPECT_FALSE(window.Buttons(Side::Left).save.enabled);
    EXPECT_TRUE(ui.ErrorShown());
    EXPECT_NE(log.str().find("[FileOpenError] Error opening file.\n"), std::string::npos);
}

TEST_F(MainWindowTest, StartWithoutCommandLineLeavesPanesEmptyAndWithOneLoadsLeft) {
    window.Start("");
    EXPECT_FALSE(window.File(Side::Left).loaded);
    window.Start(kData + "/two-actors.cr2");
    EXPECT_TRUE(window.File(Side::Left).loaded);
    EXPECT_EQ(window.File(Side::Left).fileName, "two-actors.cr2");
    EXPECT_FALSE(window.File(Side::Right).loaded);
}

TEST_F(MainWindowTest, QuotedCommandLineIsTakenWithItsQuotes) {
    window.Start("\"" + kData + "/two-actors.cr2\"");
    EXPECT_FALSE(window.File(Side::Left).loaded);
    EXPECT_TRUE(ui.ErrorShown());
}

TEST_F(MainWindowTest, QuitAsksOnlyWhenAFileIsModified) {
    EXPECT_TRUE(window.OnQuit());
    EXPECT_EQ(log.str(), "");

    window.File(Side::Right).modified = 1;
    ui.SetReplies({"no"});
    EXPECT_FALSE(window.OnQuit());
    ui.SetReplies({"yes"});
    EXPECT_TRUE(window.OnQuit());
    EXPECT_EQ(log.str(),
              "[WARNING!] You have made changes. Are you sure you wish to quit? -> no\n"
              "[WARNING!] You have made changes. Are you sure you wish to quit? -> yes\n");
}

TEST_F(MainWindowTest, PreferencesOkWritesAllSixAndReloadsBothPanes) {
    ui.SetPreferencesEdit([](Preferences& p) { p.confirmDelete = 0; });
    window.OnPreferencesButton();
    EXPECT_EQ(store.writes, 6);
    EXPECT_EQ(window.File(Side::Left).confirmDelete, 0);
    EXPECT_EQ(window.File(Side::Right).confirmDelete, 0);
    EXPECT_EQ(window.File(Side::Right).confirmMove, 1);

    ui.SetReplies({"no"});
    window.OnPreferencesButton();
    EXPECT_EQ(store.writes, 6);
}

}  // namespace
}  // namespace tessary

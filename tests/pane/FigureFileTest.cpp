#include "pane/FigureFile.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PaneTestSupport.h"
#include "support/RecordingUi.h"
#include "headless/MemoryProfileStore.h"
#include "headless/MemoryTreeControl.h"
#include "model/Names.h"
#include "pane/FigureTree.h"
#include "platform/MainWindowLink.h"
#include "support/FailingSink.h"
#include "support/Gzip.h"

namespace tessary::test {
namespace {

class CountingWindow : public MainWindowLink {
  public:
    void OnFileLoaded(FigureFile& file) override {
        ++calls;
        geometryNameSeen = file.geometryName;
    }
    int calls = 0;
    std::string geometryNameSeen;
};

constexpr const char* kCharacter =
    "junk before the first brace\n{\n\tactor   BODY:1\n\t{\n\tname\tBODY  \n\tchannels\n\t{\n"
    "\ttargetGeom Blink\n\t{\n\t}\n\t}\n\t}\n}\ntext after the end\n";
constexpr const char* kCharacterNormalised =
    "{\nactor BODY:1\n    {\n    name BODY\n    channels\n        {\n        targetGeom Blink\n"
    "            {\n            }\n        }\n    }\n}\n";

class FigureFileTest : public ::testing::Test {
  protected:
    RecordingUi ui;
    MemoryProfileStore store;
    MemoryTreeControl control;
    CountingWindow window;
    FigureFile file{ui, store};
    FigureTree tree{control, file};
    ScratchDir dir;

    void SetUp() override { file.mainWindow = &window; }

    // Writes `text` to a file of that name and loads it as the command line would.
    int LoadText(const std::string& name, const std::string& text) {
        WriteBytes(dir.File(name), text);
        file.path = dir.File(name);
        file.fileName = name;
        return file.Load();
    }

    std::string Written() {
        std::string bytes;
        TextWriter::LineEnds ends = TextWriter::LineEnds::Lf;
        const std::string target = dir.File("written.txt");
        EXPECT_TRUE(WriteFileAtomically(target, ends,
                                        [this](TextWriter& out) { WriteTree(file.root, out); }));
        return ReadBytes(target);
    }
};

TEST_F(FigureFileTest, ViewKindFollowsTheExtensionIgnoringCase) {
    const struct {
        const char* name;
        int viewKind;
    } cases[] = {
        {"a.cr2", kFigureView}, {"a.CR2", kFigureView},   {"a.Pz3", kFigureView},
        {"a.pz2", kPoseView},   {"a.hd2", kPoseView},     {"a.fc2", kPoseView},
        {"noext", kPoseView},   {"a.b.cr2", kFigureView}, {"a.cr2.pz2", kPoseView},
        {"a.cr2x", kPoseView},  {"a.", kPoseView},        {"a.crz", kFigureView},
        {"a.PZZ", kFigureView}, {"a.p2z", kPoseView},     {"a.hdz", kPoseView},
        {"a.fcz", kPoseView},   {"a.ppz", kPoseView},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(LoadText(c.name, kCharacter), 1) << c.name;
        EXPECT_EQ(file.viewKind, c.viewKind) << c.name;
    }
    EXPECT_EQ(window.calls, static_cast<int>(std::size(cases)));
}

TEST_F(FigureFileTest, LoadBuildsTheTreeAndTheView) {
    file.modified = 1;
    ASSERT_EQ(LoadText("body.cr2", kCharacter), 1);
    EXPECT_EQ(file.loaded, 1);
    EXPECT_EQ(file.modified, 0);  // a successful load clears it
    EXPECT_EQ(file.root.hasBlock, 1);
    EXPECT_EQ(Written(), kCharacterNormalised);
    EXPECT_EQ(FormatTreeListing(control),
              "[actor] BODY\n  [folder] MORPH TARGETS\n    [morph] Blink\n");
    const std::vector<std::string> expected = {"wait cursor",
                                               "progress Loading...\nPlease Wait. (owned)",
                                               "close progress", "arrow cursor"};
    EXPECT_EQ(ui.log, expected);
}

TEST_F(FigureFileTest, EmptyFileLoadsAsAnEmptyTree) {
    file.figureSuffix = "7";
    file.geometryName = "old.obj";
    ASSERT_EQ(LoadText("empty.cr2", ""), 1);
    EXPECT_TRUE(file.root.children.empty());
    EXPECT_EQ(file.root.hasBlock, 1);
    EXPECT_EQ(file.figureSuffix, "");
    EXPECT_EQ(file.geometryName, "");
    EXPECT_EQ(file.loaded, 1);
    EXPECT_EQ(window.calls, 1);
    EXPECT_EQ(control.ItemCount(), 0u);
}

TEST_F(FigureFileTest, FigureSuffixAndGeometryName) {
    const struct {
        const char* text;
        const char* suffix;
        const char* geometry;
    } cases[] = {
        {"{\nactor BODY:3\n{\n}\n}\n", "3", ""},
        {"{\nactor BODY\n{\n}\n}\n", "", ""},
        {"{\nactor hip:1\n{\n}\nactor BODY:2\n{\n}\nactor BODY:5\n{\n}\n}\n", "2", ""},
        {"{\nfigure\n{\nactor BODY:4\n}\n}\n", "", ""},
        {"{\nactor BODY:a:9\n}\n", "", ""},
        {"{\nfigureResFile :Runtime:Geometries:My Figure:body.obj\n}\n", "", "body.obj"},
        {"{\nfigureResFile body.obj\nfigureResFile :x:second.obj\n}\n", "", "body.obj"},
        {"{\nfigureResFile :Runtime:Geometries:\n}\n", "", ""},
        {"{\nfigureResFile\n}\n", "", ""},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(LoadText("f.cr2", c.text), 1) << c.text;
        EXPECT_EQ(file.figureSuffix, c.suffix) << c.text;
        EXPECT_EQ(file.geometryName, c.geometry) << c.text;
    }
}

TEST_F(FigureFileTest, TheWindowHearsOfTheLoadWithTheNewGeometryName) {
    file.geometryName = "attached.obj";
    ASSERT_EQ(LoadText("f.cr2", "{\nfigureResFile :a:new.obj\n}\n"), 1);
    EXPECT_EQ(window.geometryNameSeen, "new.obj");
}

TEST_F(FigureFileTest, FailedLoadKeepsTheTreeAndReports) {
    ASSERT_EQ(LoadText("body.pz2", kCharacter), 1);
    const std::string listing = FormatTreeListing(control);
    const TreeItem item = control.GetChildItem(0);
    ui.log.clear();
    file.path = dir.File("missing.cr2");
    file.fileName = "missing.cr2";
    file.modified = 1;
    EXPECT_EQ(file.Load(), 0);
    EXPECT_EQ(file.viewKind, kFigureView);  // set before the file is opened
    EXPECT_EQ(file.loaded, 1);
    EXPECT_EQ(file.modified, 1);
    EXPECT_EQ(window.calls, 1);
    EXPECT_EQ(Written(), kCharacterNormalised);
    EXPECT_EQ(FormatTreeListing(control), listing);
    EXPECT_NE(file.BlockOfItem(item), nullptr);
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{"message [FileOpenError] Error opening file. (!)"});
}

TEST_F(FigureFileTest, FailedLoadOfANeverLoadedPaneLeavesItEmpty) {
    // A line longer than any text file has is not read on until memory runs out.
    WriteBytes(dir.File("endless.pz2"), "{\n" + std::string(kMaxLineLength + 1, 'x'));
    for (const std::string& path :
         {dir.File("nothing-here.pz2"), dir.Path().string(), dir.File("endless.pz2")}) {
        file.path = path;
        file.fileName = FileNameOfPath(path);
        EXPECT_EQ(file.Load(), 0) << path;
    }
    EXPECT_EQ(ui.Messages().size(), 3u);
    EXPECT_EQ(file.loaded, 0);
    EXPECT_EQ(window.calls, 0);
    EXPECT_TRUE(file.root.children.empty());
}

TEST_F(FigureFileTest, LongPathsAreKeptWhole) {
    std::filesystem::path folder = dir.Path();
    for (int i = 0; i < 6; ++i) {
        folder /= std::string(100, static_cast<char>('a' + i));
    }
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "figure.cr2").string();
    ASSERT_GT(path.size(), 600u);
    WriteBytes(path, kCharacter);
    ui.fileAnswers = {path, path + ".saved"};
    ASSERT_EQ(file.ChooseFile(), 1);
    EXPECT_EQ(file.path, path);
    ASSERT_EQ(file.Load(), 1);
    EXPECT_EQ(file.Save(), 1);
    EXPECT_EQ(file.path, path + ".saved");
    EXPECT_EQ(file.fileName, "figure.cr2.saved");
    EXPECT_EQ(ReadBytes(file.path), WithCrLf(kCharacterNormalised));
}

TEST_F(FigureFileTest, SavingAFileWithoutExtensionOffersNoFilter) {
    ASSERT_EQ(LoadText("noext", kCharacter), 1);
    ui.fileAnswers = {std::nullopt};
    EXPECT_EQ(file.Save(), 0);
    EXPECT_EQ(ui.dialogs.back().filter, "");
    EXPECT_EQ(ui.dialogs.back().defaultExtension, "");
}

TEST_F(FigureFileTest, ChooseFileAsksWithTheFilterAndNoProposal) {
    ui.fileAnswers = {std::nullopt, std::string("/some/where/Vic.CR2")};
    file.path = "old/path.cr2";
    file.fileName = "path.cr2";
    EXPECT_EQ(file.ChooseFile(), 0);
    EXPECT_EQ(file.path, "old/path.cr2");
    EXPECT_EQ(file.fileName, "path.cr2");
    EXPECT_EQ(file.ChooseFile(), 1);
    EXPECT_EQ(file.path, "/some/where/Vic.CR2");
    EXPECT_EQ(file.fileName, "Vic.CR2");
    const FileDialogRequest& request = ui.dialogs.back();
    EXPECT_EQ(request.filter,
              "Character Files (*.cr2;*.crz)|*.cr2;*.crz|Poser Scene Files (*.pz3;*.pzz)|*.pz3;"
              "*.pzz|Pose Files (*.pz2;*.p2z)|*.pz2;*.p2z|Hand Files (*.hd2;*.hdz)|*.hd2;*.hdz|"
              "Face Files (*.fc2;*.fcz)|*.fc2;*.fcz|Prop Files (*.pp2;*.ppz)|*.pp2;*.ppz||");
    EXPECT_EQ(request.proposedName, "");
    EXPECT_EQ(request.defaultExtension, "");
    EXPECT_FALSE(request.hideReadOnly || request.overwritePrompt);
}

TEST_F(FigureFileTest, SaveWithoutEditsWritesTheNormalisedTextAndClearsModified) {
    ASSERT_EQ(LoadText("body.cr2", kCharacter), 1);
    file.modified = 1;
    const std::string target = dir.File("saved.Cr2");
    ui.fileAnswers = {target};
    ui.log.clear();
    EXPECT_EQ(file.Save(), 1);
    EXPECT_EQ(ReadBytes(target), WithCrLf(kCharacterNormalised));
    EXPECT_EQ(file.modified, 0);
    EXPECT_EQ(file.path, target);
    EXPECT_EQ(file.fileName, "saved.Cr2");
    const FileDialogRequest& request = ui.dialogs.back();
    EXPECT_EQ(request.filter, "Files (*.cr2)|*.cr2|Compressed Files (*.crz)|*.crz||");
    EXPECT_EQ(request.defaultExtension, "cr2");
    EXPECT_EQ(request.proposedName, dir.File("body.cr2"));
    EXPECT_TRUE(request.hideReadOnly);
    EXPECT_TRUE(request.overwritePrompt);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_NE(
        std::find(ui.log.begin(), ui.log.end(), "progress Saving...\nPlease Wait. (no owner)"),
        ui.log.end());
    EXPECT_EQ(ui.log.back(), "close progress");
    // The next save proposes the file just written.
    ui.fileAnswers = {std::nullopt};
    EXPECT_EQ(file.Save(), 0);
    EXPECT_EQ(ui.dialogs.back().proposedName, target);
    EXPECT_EQ(ui.dialogs.back().filter, "Files (*.Cr2)|*.Cr2|Compressed Files (*.crz)|*.crz||");
}

TEST_F(FigureFileTest, CancelledSaveChangesNothing) {
    ASSERT_EQ(LoadText("body.cr2", kCharacter), 1);
    file.modified = 1;
    ui.fileAnswers = {std::nullopt};
    EXPECT_EQ(file.Save(), 0);
    EXPECT_EQ(file.path, dir.File("body.cr2"));
    EXPECT_EQ(file.fileName, "body.cr2");
    EXPECT_EQ(file.modified, 1);
    EXPECT_EQ(ReadBytes(dir.File("body.cr2")), kCharacter);
}

TEST_F(FigureFileTest, SaveToAFolderThatDoesNotExistReportsAndKeepsModified) {
    ASSERT_EQ(LoadText("body.cr2", kCharacter), 1);
    file.modified = 1;
    const std::string target = dir.File("no-such-folder/out.cr2");
    ui.fileAnswers = {target};
    EXPECT_EQ(file.Save(), 0);
    EXPECT_EQ(file.modified, 1);
    EXPECT_EQ(file.path, target);
    EXPECT_EQ(file.fileName, "out.cr2");
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{"message [FileOpenError] Error opening file. (!)"});
    EXPECT_EQ(ui.log.back(), "message [FileOpenError] Error opening file. (!)");
}

TEST_F(FigureFileTest, SaveThatFailsWhileWritingLeavesTheOldFileAndKeepsTheRepairs) {
    std::string big = "{\nactor BODY:1\n{\nchannels\n{\n}\n";
    for (int i = 0; i < 20000; ++i) {
        big += "d " + std::to_string(i) + " 0.000100 0.000200 0.000300\n";
    }
    big += "}\n}\n";
    ASSERT_EQ(LoadText("body.cr2", big), 1);
    const std::string target = dir.File("keep.cr2");
    WriteBytes(target, "old contents\n");
    file.modified = 1;
    int repairsRun = 0;
    file.autoFixStorageOffset = 1;
    file.saveRepairs.push_back({&FigureFile::autoFixStorageOffset, [&repairsRun](FigureFile& f) {
                                    ++repairsRun;
                                    f.root.children.front().data = "REPAIRED";
                                    return true;
                                }});
    ui.fileAnswers = {target};
    file.sinkFilter = FailAfter(64 * 1024);  // the disk fills up part-way
    EXPECT_EQ(file.Save(), 0);
    EXPECT_EQ(repairsRun, 1);
    EXPECT_EQ(ReadBytes(target), "old contents\n");
    EXPECT_EQ(file.root.children.front().data, "REPAIRED");  // the tree keeps the repair
    EXPECT_EQ(file.modified, 1);
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{"message [FileOpenError] Error opening file. (!)"});
    EXPECT_EQ(FormatTreeListing(control), "[actor] BODY\n");
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path(), ignored)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "body.cr2" || name == "keep.cr2" || name == "written.txt") << name;
    }
}

TEST_F(FigureFileTest, SaveRunsOnlyTheEnabledRepairsInOrder) {
    ASSERT_EQ(LoadText("body.cr2", kCharacter), 1);
    std::vector<std::string> ran;
    auto record = [&ran](const char* name) {
        return [&ran, name](FigureFile&) {
            ran.push_back(name);
            return false;
        };
    };
    file.saveRepairs = {{&FigureFile::autoFixStorageOffset, record("offsets")},
                        {&FigureFile::autoRemoveMaterials, record("remove")},
                        {&FigureFile::autoAddMaterials, record("add")}};
    file.autoFixStorageOffset = 1;
    file.autoRemoveMaterials = 0;
    file.autoAddMaterials = 1;
    ui.fileAnswers = {dir.File("out.cr2")};
    EXPECT_EQ(file.Save(), 1);
    EXPECT_EQ(ran, (std::vector<std::string>{"offsets", "add"}));
    ui.fileAnswers = {std::nullopt, dir.File("missing/out.cr2")};
    EXPECT_EQ(file.Save(), 0);  // a cancelled dialog runs none
    EXPECT_EQ(file.Save(), 0);  // nor does a target that cannot be created
    EXPECT_EQ(ran.size(), 2u);
}

TEST_F(FigureFileTest, WriteToWritesWhatSaveWritesAndReportsFailure) {
    ASSERT_EQ(LoadText("body.pz2", kCharacter), 1);
    file.modified = 1;
    const std::string target = dir.File("normal.pz2");
    EXPECT_TRUE(file.WriteTo(target));
    EXPECT_EQ(ReadBytes(target), WithCrLf(kCharacterNormalised));
    EXPECT_EQ(file.modified, 1);
    EXPECT_EQ(file.path, dir.File("body.pz2"));
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_FALSE(file.WriteTo(dir.File("missing/normal.pz2")));
    EXPECT_EQ(ui.Messages().size(), 1u);
}

TEST_F(FigureFileTest, PreferencesComeFromTheStore) {
    EXPECT_EQ(file.confirmDelete, 1);
    EXPECT_EQ(file.confirmMove, 1);
    EXPECT_EQ(file.autoName, 0);
    EXPECT_EQ(file.autoAddMaterials, 0);
    Preferences changed;
    changed.confirmDelete = 0;
    changed.autoAddMaterials = 1;
    changed.Write(store);
    FigureFile later(ui, store);
    EXPECT_EQ(later.confirmDelete, 0);
    EXPECT_EQ(later.autoAddMaterials, 1);
    EXPECT_EQ(file.confirmDelete, 1);  // copies change only when asked to
    file.LoadPreferences();
    EXPECT_EQ(file.confirmDelete, 0);
    const Preferences current = file.CurrentPreferences();
    for (std::size_t i = 0; i < Preferences::kKeys.size(); ++i) {
        EXPECT_EQ(current[i], changed[i]) << Preferences::kKeys[i];
    }
}

TEST(FigureFileNames, ExtensionFileNameAndCase) {
    RecordingUi ui;
    MemoryProfileStore store;
    FigureFile file(ui, store);
    const struct {
        const char* fileName;
        const char* extension;
    } extensions[] = {{"a.cr2", "cr2"}, {"a.b.PZ3", "PZ3"}, {"noext", ""}, {"end.", ""}, {"", ""}};
    for (const auto& c : extensions) {
        file.fileName = c.fileName;
        EXPECT_EQ(file.Extension(), c.extension) << c.fileName;
    }
    EXPECT_EQ(FileNameOfPath("/a/b/c.cr2"), "c.cr2");
#ifdef _WIN32
    EXPECT_EQ(FileNameOfPath("C:\\Runtime\\x.pz2"), "x.pz2");
    EXPECT_EQ(FileNameOfPath("mixed/dir\\name.hd2"), "name.hd2");
#else
    EXPECT_EQ(FileNameOfPath("mixed/dir\\name.hd2"), "dir\\name.hd2");
#endif
    EXPECT_EQ(FileNameOfPath("plain.fc2"), "plain.fc2");
    EXPECT_EQ(FileNameOfPath("dir/"), "");
    EXPECT_TRUE(EqualsIgnoringCase("CR2", "cr2"));
    EXPECT_TRUE(EqualsIgnoringCase("", ""));
    EXPECT_FALSE(EqualsIgnoringCase("cr2", "cr"));
    EXPECT_FALSE(EqualsIgnoringCase("[", "{"));  // only letters fold
    EXPECT_FALSE(EqualsIgnoringCase("\xC9", "\xE9"));
}

TEST_F(FigureFileTest, CorpusFilesRoundTripAndNameTheirFigure) {
    const struct {
        const char* name;
        const char* suffix;
        const char* geometry;
    } cases[] = {{"vreng_SL_Female.cr2", "2", "SL_Female.obj"},
                 {"vreng_SL_Male.cr2", "3", "SL_Male.obj"},
                 {"pypos3dtu_ERRFlat_Grid3.pz3", "", ""}};
    for (const auto& c : cases) {
        const std::string source = std::string(TESSARY_CORPUS_DIR) + "/" + c.name;
        if (!std::filesystem::exists(source)) {
            GTEST_SKIP() << "corpus not present";
        }
        file.path = source;
        file.fileName = c.name;
        ASSERT_EQ(file.Load(), 1) << c.name;
        EXPECT_EQ(file.figureSuffix, c.suffix) << c.name;
        EXPECT_EQ(file.geometryName, c.geometry) << c.name;
        const std::string once = dir.File(std::string("once-") + c.name);
        ASSERT_TRUE(file.WriteTo(once));
        file.path = once;
        ASSERT_EQ(file.Load(), 1);
        const std::string twice = dir.File(std::string("twice-") + c.name);
        ASSERT_TRUE(file.WriteTo(twice));
        EXPECT_EQ(ReadBytes(once), ReadBytes(twice)) << c.name;
    }
}

TEST_F(FigureFileTest, CompressedCorpusCharacterLoadsAndSavesBackCompressed) {
    const std::string corpus = TESSARY_CORPUS_DIR;
    const std::string packed = corpus + "/derived_gzip_vreng_SL_Female.crz";
    if (!std::filesystem::exists(packed)) {
        GTEST_SKIP() << "corpus not present";
    }
    file.path = corpus + "/vreng_SL_Female.cr2";
    file.fileName = "vreng_SL_Female.cr2";
    ASSERT_EQ(file.Load(), 1);
    const std::string plain = Written();
    const std::string plainSaved = dir.File("plain.cr2");
    ASSERT_TRUE(file.WriteTo(plainSaved));
    EXPECT_EQ(Inflated(plainSaved), ReadBytes(plainSaved));  // a plain file reads as it is

    file.path = packed;
    file.fileName = "derived_gzip_vreng_SL_Female.crz";
    file.viewKind = kRawView;
    ASSERT_EQ(file.Load(), 1);
    EXPECT_EQ(Written(), plain);
    EXPECT_EQ(file.viewKind, kFigureView);
    EXPECT_EQ(file.figureSuffix, "2");
    EXPECT_EQ(file.geometryName, "SL_Female.obj");

    // Save proposes the compressed file's own name and kind; its text is the plain file's.
    const std::string once = dir.File("once.crz");
    ui.fileAnswers = {once};
    ASSERT_EQ(file.Save(), 1);
    EXPECT_EQ(ui.dialogs.back().proposedName, packed);
    EXPECT_EQ(ui.dialogs.back().defaultExtension, "crz");
    EXPECT_EQ(ui.dialogs.back().filter, "Compressed Files (*.crz)|*.crz|Files (*.cr2)|*.cr2||");
    const std::string onceBytes = ReadBytes(once);
    ASSERT_GE(onceBytes.size(), 2u);
    EXPECT_EQ(onceBytes.substr(0, 2), "\x1F\x8B");
    EXPECT_EQ(Inflated(once), ReadBytes(plainSaved));

    // .crz -> .cr2 -> .crz: the same text all the way, and the same tree from either name.
    file.path = once;
    ASSERT_EQ(file.Load(), 1);
    const std::string back = dir.File("back.cr2");
    ASSERT_TRUE(file.WriteTo(back));
    EXPECT_EQ(ReadBytes(back), ReadBytes(plainSaved));
    file.path = back;
    file.fileName = "back.cr2";
    ASSERT_EQ(file.Load(), 1);
    const std::string twice = dir.File("twice.CRZ");
    ASSERT_TRUE(file.WriteTo(twice));
    EXPECT_EQ(Inflated(twice), Inflated(once));
    EXPECT_EQ(ReadBytes(twice), onceBytes);

    // Content decides, not the name: gzip under a plain name loads the same tree.
    const std::string disguised = dir.File("disguised.pz2");
    WriteBytes(disguised, onceBytes);
    file.path = disguised;
    ASSERT_EQ(file.Load(), 1);
    EXPECT_EQ(Written(), plain);
}

TEST_F(FigureFileTest, ProgressMovesThroughACompressedFile) {
    // Numbers that do not repeat: the file is larger than several of the reader's pieces.
    std::string text = "{\nactor BODY:1\n{\n";
    unsigned state = 12345;
    for (int i = 0; i < 150000; ++i) {
        state = state * 1103515245u + 12345u;
        text += "d " + std::to_string(i) + " " + std::to_string(state) + "\n";
    }
    text += "}\n}\n";
    const std::string packed = Gzip(text);
    ASSERT_GT(packed.size(), 3u * 256 * 1024);
    ASSERT_EQ(LoadText("big.crz", packed), 1);
    ASSERT_EQ(file.root.children.size(), 1u);
    EXPECT_EQ(file.root.children[0].children.size(), 150000u);
    ASSERT_FALSE(ui.positions.empty());
    EXPECT_TRUE(std::is_sorted(ui.positions.begin(), ui.positions.end()));
    EXPECT_LT(ui.positions.front(), 50);
    EXPECT_EQ(ui.positions.back(), 100);
}

TEST_F(FigureFileTest, BrokenCompressedFilesAreRefusedAndKeepThePane) {
    ASSERT_EQ(LoadText("body.cr2", kCharacter), 1);
    const std::string listing = FormatTreeListing(control);
    const std::string packed = Gzip(kCharacter);
    ASSERT_GT(packed.size(), 20u);
    std::string badChecksum = packed;
    badChecksum[badChecksum.size() - 8] ^= 0x55;
    std::string badData = packed;
    badData[12] ^= 0x7F;
    // Many members of line feeds only: tiny on disk, hundreds of megabytes inflated.
    std::string bomb = Gzip("{\nactor BODY:9\n");
    const std::string feeds = Gzip(std::string(16 << 20, '\n'));
    for (int i = 0; i < 17; ++i) {
        bomb += feeds;
    }
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"truncated member", packed.substr(0, packed.size() - 5)},
        {"truncated data", packed.substr(0, packed.size() / 2)},
        {"header only", packed.substr(0, 10)},
        {"bad checksum", badChecksum},
        {"bad data", badData},
        {"trailing garbage", packed + "junk"},
        {"one trailing byte", packed + std::string(1, '\0')},
        {"half a second member", packed + "\x1F"},
        {"gzip bomb", bomb},
    };
    for (const auto& c : cases) {
        ui.log.clear();
        WriteBytes(dir.File("bad.crz"), c.bytes);
        file.path = dir.File("bad.crz");
        file.fileName = "bad.crz";
        EXPECT_EQ(file.Load(), 0) << c.what;
        EXPECT_EQ(ui.Messages(),
                  std::vector<std::string>{"message [FileOpenError] Error opening file. (!)"})
            << c.what;
        EXPECT_EQ(Written(), kCharacterNormalised) << c.what;
        EXPECT_EQ(FormatTreeListing(control), listing) << c.what;
    }
    EXPECT_EQ(window.calls, 1);

    // Members one after another read as one text, as gzip itself reads them.
    const std::string text = kCharacter;
    WriteBytes(dir.File("members.crz"),
               Gzip(text.substr(0, 20)) + Gzip("") + Gzip(text.substr(20)));
    file.path = dir.File("members.crz");
    ASSERT_EQ(file.Load(), 1);
    EXPECT_EQ(Written(), kCharacterNormalised);
}

}  // namespace
}  // namespace tessary::test

// What batch work with tessary-cli leans on: error boxes that say which file and why, check,
// values filled into scripts, and the help.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/RunTool.h"
#include "support/ScratchDir.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;
using test::WriteBytes;

using test::CliResult;
using test::RunTool;

TEST(Batch, ErrorBoxesAreFollowedByTheFileAndTheReasonOnStandardError) {
    ScratchDir dir;
    CliResult shown = RunTool({"show", dir.File("figure.cr2")});
    EXPECT_EQ(shown.status, 1);
    EXPECT_EQ(shown.out, "[FileOpenError] Error opening file.\n");
    EXPECT_EQ(shown.err,
              "tessary-cli: " + dir.File("figure.cr2") + ": No such file or directory\n");

    CliResult folder = RunTool({"show", dir.Path().string()});
    EXPECT_EQ(folder.err, "tessary-cli: " + dir.Path().string() + ": Is a directory\n");

    const std::string input = fs::path(TESSARY_TEST_DATA_DIR) / "two-actors.cr2";
    CliResult written = RunTool({"normalize", input, "-o", dir.File("none/out.cr2")});
    EXPECT_EQ(written.status, 1);
    EXPECT_EQ(written.out, "[FileOpenError] Error opening file.\n");
    EXPECT_EQ(written.err,
              "tessary-cli: " + dir.File("none/out.cr2") + ": No such file or directory\n");
}

TEST(Batch, RunFillsInTheValuesGivenWithSet) {
    ScratchDir dir;
    const std::string input = fs::path(TESSARY_TEST_DATA_DIR) / "two-actors.cr2";
    const std::string spaced = dir.File("my figure.cr2");
    fs::copy_file(input, spaced);
    const std::string script = "load left ${FILE}\nsave left \"${OUT}.cr2\"\n";
    CliResult run = RunTool({"run", "-", "--set", "FILE=" + spaced, "--set", "OUT=" + spaced + "2",
                             "--set", "UNUSED=x"},
                            script);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "[open]  -> " + spaced + "\n[save] " + spaced + " -> " + spaced + "2.cr2\n");
    EXPECT_TRUE(fs::exists(spaced + "2.cr2"));

    // A value given twice: the last one counts; "$" text that names nothing stays.
    CliResult twice =
        RunTool({"run", "--set", "P=left", "-", "--set", "P=right"}, "load ${P} $HOME${}/${P\n");
    EXPECT_EQ(twice.out, "[open]  -> $HOME${}/${P\n[FileOpenError] Error opening file.\n");

    CliResult missing = RunTool({"run", "-"}, "state left\nload left ${FILE}\n");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");  // nothing ran
    EXPECT_EQ(missing.err,
              "tessary-cli: -:2: no value for ${FILE} (give one with --set FILE=VALUE)\n");
    for (const char* bad : {"FILE", "=x", "A-B=1"}) {
        EXPECT_EQ(RunTool({"run", "-", "--set", bad}).status, 2) << bad;
    }
    EXPECT_EQ(RunTool({"run", "-", "--set"}).status, 2);
}

TEST(Batch, CheckExitsWithWhatItFound) {
    ScratchDir dir;
    WriteBytes(dir.File("clean.cr2"), "{\nactor BODY:1\n{\nstorageOffset 0 0 0\n}\n}\n");
    WriteBytes(dir.File("broken.cr2"),
               "{\nactor BODY:1\n{\nstorageOffset 0 1 0\n}\nactor a\"b\":1 {\n}\n");
    WriteBytes(dir.File("mesh.obj"), "v 0 0 0\ng BODY\nusemtl skin\nf 1 1 1\n");

    CliResult clean = RunTool({"check", dir.File("clean.cr2")});
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "");

    const std::string broken = dir.File("broken.cr2");
    CliResult found = RunTool({"check", dir.File("clean.cr2"), broken});
    EXPECT_EQ(found.status, 1);
    EXPECT_EQ(found.out,
              broken + ":1: the file's outermost block is never closed\n" + broken +
                  ":4: storageOffset 0 1 0 is not 0 0 0 (AutoFixStorageOffset resets it "
                  "when saving)\n" +
                  broken +
                  ":6: \"actor a\"b\":1 {\" holds a brace, so it is read as a brace line and the "
                  "line is dropped\n");

    CliResult json = RunTool({"check", "--format", "json", broken});
    std::istringstream lines(json.out);
    std::string first;
    std::getline(lines, first);
    EXPECT_EQ(first, "{\"file\":\"" + broken +
                         "\",\"line\":1,\"kind\":\"unclosed-block\",\"message\":\"the file's "
                         "outermost block is never closed\"}");
    std::string third;
    std::getline(lines, third);
    std::getline(lines, third);
    EXPECT_NE(third.find("\"message\":\"\\\"actor a\\\"b\\\":1 {\\\" holds"), std::string::npos)
        << third;

    // The OBJ file brings the material check: the figure block is missing here, so nothing.
    CliResult withObj = RunTool({"check", dir.File("clean.cr2"), "--obj", dir.File("mesh.obj")});
    EXPECT_EQ(withObj.status, 0) << withObj.out;

    // A file that cannot be read: 2, on standard error, and the others are still checked.
    CliResult unreadable = RunTool({"check", dir.File("none.cr2"), broken});
    EXPECT_EQ(unreadable.status, 2);
    EXPECT_EQ(unreadable.err,
              "tessary-cli: " + dir.File("none.cr2") + ": No such file or directory\n");
    EXPECT_NE(unreadable.out.find(broken + ":1:"), std::string::npos);
    EXPECT_EQ(RunTool({"check", broken, "--obj", dir.File("none.obj")}).status, 2);
    for (auto args : std::vector<std::vector<std::string>>{
             {"check"}, {"check", "--obj"}, {"check", broken, "--format", "xml"}}) {
        EXPECT_EQ(RunTool(args).status, 2);
    }
}

// The files of the shared corpus report only what is really wrong with them.
TEST(Batch, CorpusFilesCheckForWhatIsReallyThere) {
    const fs::path corpus = TESSARY_CORPUS_DIR;
    if (!fs::is_directory(corpus)) {
        GTEST_SKIP() << "no corpus at " << corpus;
    }
    auto check = [&](const char* file, const char* obj = nullptr) {
        std::vector<std::string> args{"check", "--format", "json", (corpus / file).string()};
        if (obj != nullptr) {
            args.push_back("--obj");
            args.push_back((corpus / obj).string());
        }
        return RunTool(args);
    };
    for (const auto& [file, obj] : std::vector<std::pair<const char*, const char*>>{
             {"vreng_SL_Female.cr2", "vreng_SL_Female.obj"},
             {"vreng_SL_Male.cr2", "vreng_SL_Male.obj"},
             {"vreng_SL_skirt.pp2", "vreng_SL_Skirt_mesh_OBJ.obj"}}) {
        EXPECT_EQ(check(file).out, "") << file;
        CliResult withObj = check(file, obj);
        EXPECT_EQ(withObj.status, 0) << file;
        EXPECT_EQ(withObj.out, "") << file;
    }
    // The materials of the male figure differ in case from those of the female geometry.
    CliResult crossed = check("vreng_SL_Male.cr2", "vreng_SL_Female.obj");
    EXPECT_EQ(crossed.status, 1);
    EXPECT_NE(crossed.out.find("\"kind\":\"material\""), std::string::npos);

    // The broken scenes: truncated inside open blocks, or closed early by an unbalanced brace.
    CliResult grid1 = check("pypos3dtu_ERRFlat_Grid1.pz3");
    EXPECT_EQ(grid1.status, 1);
    EXPECT_NE(grid1.out.find("\"line\":1,\"kind\":\"unclosed-block\""), std::string::npos);
    EXPECT_NE(grid1.out.find("\"line\":70,\"kind\":\"unclosed-block\""), std::string::npos);
    CliResult grid3 = RunTool({"check", (corpus / "pypos3dtu_ERRFlat_Grid3.pz3").string()});
    EXPECT_EQ(grid3.out, (corpus / "pypos3dtu_ERRFlat_Grid3.pz3").string() +
                             ":10: 70 lines after the \"}\" that closes the file's outermost "
                             "block are not read\n");
}

TEST(Batch, HelpListsEveryActionOnOneLineAndExplainsEach) {
    CliResult help = RunTool({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* name :
         {"show",  "normalize", "check",   "run",         "prefs",   "load",   "drop", "obj",
          "save",  "menu",      "options", "region",      "combine", "rename", "key",  "properties",
          "print", "state",     "quit",    "change-data", "size",    "undo",   "redo"}) {
        EXPECT_NE(help.out.find(std::string("\n  ") + name + " "), std::string::npos) << name;
        CliResult details = RunTool({"help", name});
        EXPECT_EQ(details.status, 0) << name;
        EXPECT_EQ(details.out.rfind(name, 0), 0u) << details.out;
    }
    EXPECT_EQ(RunTool({"help", "fly"}).status, 2);
    EXPECT_EQ(RunTool({"help"}).status, 2);
}

}  // namespace
}  // namespace tessary

#include <gtest/gtest.h>


#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/RunTool.h"
#include "support/Gzip.h"
#include "support/ScratchDir.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

using test::CliResult;
using test::RunTool;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Cli, UsageErrorsExitWithTwo) {
    for (auto args : std::vector<std::vector<std::string>>{{},
                                                           {"frobnicate"},
                                                           {"show"},
                                                           {"normalize", "a.cr2"},
                                                           {"run"},
                                                           {"show", "a", "--view", "odd"}}) {
        CliResult result = RunTool(args);
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find("tessary-cli: "), std::string::npos);
    }
    EXPECT_EQ(RunTool({"--help"}).status, 0);
    EXPECT_NE(RunTool({"--version"}).out.find("tessary-cli "), std::string::npos);
}

TEST(Cli, MissingFileIsReportedAsTheMessageBoxAndStatusOne) {
    CliResult shown = RunTool({"show", "/nonexistent/dir/none.cr2"});
    EXPECT_EQ(shown.status, 1);
    EXPECT_EQ(shown.out, "[FileOpenError] Error opening file.\n");

    CliResult normalized = RunTool({"normalize", "/nonexistent/none.pz2", "-o", "x.pz2"});
    EXPECT_EQ(normalized.status, 1);
    EXPECT_EQ(normalized.out, "[FileOpenError] Error opening file.\n");
}

TEST(Cli, NormalizeIntoAnUnwritablePlaceFailsAndKeepsNothingHalfWritten) {
    const fs::path input = fs::path(TESSARY_TEST_DATA_DIR) / "two-actors.cr2";
    CliResult result = RunTool({"normalize", input.string(), "-o", "/nonexistent/out.cr2"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "[FileOpenError] Error opening file.\n");
}

TEST(Cli, ScriptErrorsNameTheScriptAndLine) {
    CliResult result = RunTool({"run", "-"}, "state left\nfly left\nstate right\n");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "tessary-cli: -:2: unknown action 'fly'\n");

    const struct {
        const char* script;
        int line;
    } faults[] = {
        {"save left out.cr2\n", 1},      // Save File is disabled before a load
        {"show middle\n", 1},            // no such pane
        {"state left extra\n", 1},       // bad arguments
        {"prefs ConfirmDelete=2\n", 1},  // not a 0/1 setting
        {"prefs NoSuchKey=1\n", 1},
        {"\n# c\nquit yes\n", 3},  // a reply nobody took
        {"load left\n", 1},
    };
    for (const auto& fault : faults) {
        CliResult run = RunTool({"run", "-"}, fault.script);
        EXPECT_EQ(run.status, 2) << fault.script;
        EXPECT_EQ(run.err.rfind("tessary-cli: -:" + std::to_string(fault.line) + ": ", 0), 0u)
            << fault.script << run.err;
    }
}

// A script runs line by line: a malformed line stops the run there, after the lines before it
// have run. A folder or an unreadable file is no script at all.
TEST(Cli, AMalformedLineStopsTheRunAfterTheLinesBeforeIt) {
    const struct {
        std::string script;
        const char* error;
    } faults[] = {
        {"state left\nstate \"left\n", "tessary-cli: -:2: unterminated quoted word\n"},
        {std::string("state left\nstate left\0\n", 23),
         "tessary-cli: -:2: a NUL byte in the script\n"},
    };
    for (const auto& fault : faults) {
        CliResult run = RunTool({"run", "-"}, fault.script);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out.rfind("loaded: 0\n", 0), 0u) << run.out;  // line 1 ran
        EXPECT_EQ(run.err, fault.error);
    }
    const test::ScratchDir scratch;
    const fs::path dir = scratch.Path();
    for (const fs::path& script : {dir, dir / "missing.tsy"}) {
        CliResult run = RunTool({"run", script.string()});
        EXPECT_EQ(run.status, 2) << script;
        EXPECT_EQ(run.err, "tessary-cli: cannot read the script '" + script.string() + "'\n");
    }
}

TEST(Cli, ShowPicksTheViewByExtensionUnlessToldOtherwise) {
    const fs::path input = fs::path(TESSARY_TEST_DATA_DIR) / "two-actors.cr2";
    CliResult figure = RunTool({"show", input.string()});
    ASSERT_EQ(figure.status, 0) << figure.err;
    EXPECT_EQ(figure.out,
              "[actor] BODY\n"
              "[actor] chest\n"
              "  [folder] MORPH TARGETS\n"
              "    [morph] Breathe\n");
    CliResult raw = RunTool({"show", input.string(), "--view", "raw"});
    EXPECT_EQ(raw.out.substr(0, 20), "[line] actor BODY:1\n");
}

TEST(Cli, NormalizeTwiceGivesTheSameBytes) {
    const test::ScratchDir scratch;
    const fs::path dir = scratch.Path();
    const fs::path input = fs::path(TESSARY_TEST_DATA_DIR) / "two-actors.cr2";
    ASSERT_EQ(RunTool({"normalize", input.string(), "-o", (dir / "a.cr2").string()}).status, 0);
    ASSERT_EQ(
        RunTool({"normalize", (dir / "a.cr2").string(), "-o", (dir / "b.cr2").string()}).status, 0);
    EXPECT_EQ(ReadFile(dir / "a.cr2"), ReadFile(dir / "b.cr2"));
    EXPECT_NE(ReadFile(dir / "a.cr2").find("\r\n"), std::string::npos);
}

// Every uncompressed file of the shared corpus loads, shows and normalises to a fixed point.
TEST(Cli, CorpusFilesNormaliseToAFixedPoint) {
    const fs::path corpus = TESSARY_CORPUS_DIR;
    if (!fs::is_directory(corpus)) {
        GTEST_SKIP() << "no corpus at " << corpus;
    }
    const test::ScratchDir scratch;
    const fs::path dir = scratch.Path();
    int seen = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".cr2" && ext != ".pz3" && ext != ".pp2" && ext != ".pz2" && ext != ".hd2" &&
            ext != ".fc2") {
            continue;
        }
        ++seen;
        const std::string name = entry.path().filename().string();
        CliResult shown = RunTool({"show", entry.path().string()});
        EXPECT_EQ(shown.status, 0) << name << shown.out;
        const fs::path once = dir / ("once-" + name);
        const fs::path twice = dir / ("twice-" + name);
        ASSERT_EQ(RunTool({"normalize", entry.path().string(), "-o", once.string()}).status, 0)
            << name;
        ASSERT_EQ(RunTool({"normalize", once.string(), "-o", twice.string()}).status, 0) << name;
        EXPECT_EQ(ReadFile(once), ReadFile(twice)) << name;
    }
    EXPECT_GT(seen, 0);
}

// A compressed file shows as its plain self; normalize writes plain or compressed by the name
// of OUT, whatever it read.
TEST(Cli, NormalizeDecompressesAndCompressesByTheOutputName) {
    const fs::path corpus = TESSARY_CORPUS_DIR;
    const fs::path packed = corpus / "derived_gzip_vreng_SL_Female.crz";
    if (!fs::exists(packed)) {
        GTEST_SKIP() << "no corpus at " << corpus;
    }
    const test::ScratchDir scratch;
    const fs::path dir = scratch.Path();
    const CliResult plainShown = RunTool({"show", (corpus / "vreng_SL_Female.cr2").string()});
    const CliResult packedShown = RunTool({"show", packed.string()});
    EXPECT_EQ(packedShown.status, 0);
    EXPECT_EQ(packedShown.out, plainShown.out);
    ASSERT_EQ(RunTool({"normalize", (corpus / "vreng_SL_Female.cr2").string(), "-o",
                       (dir / "reference.cr2").string()})
                  .status,
              0);
    ASSERT_EQ(RunTool({"normalize", packed.string(), "-o", (dir / "out.cr2").string()}).status, 0);
    EXPECT_EQ(ReadFile(dir / "out.cr2"), ReadFile(dir / "reference.cr2"));
    ASSERT_EQ(
        RunTool({"normalize", (dir / "out.cr2").string(), "-o", (dir / "out.crz").string()}).status,
        0);
    EXPECT_EQ(ReadFile(dir / "out.crz").substr(0, 2), "\x1F\x8B");
    EXPECT_EQ(test::Inflated((dir / "out.crz").string()), ReadFile(dir / "reference.cr2"));

    std::string broken = ReadFile(dir / "out.crz");
    broken.resize(broken.size() - 1);
    std::ofstream(dir / "broken.crz", std::ios::binary) << broken;
    const CliResult refused =
        RunTool({"normalize", (dir / "broken.crz").string(), "-o", (dir / "x.cr2").string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "[FileOpenError] Error opening file.\n");
    EXPECT_NE(refused.err.find("the compressed data ends early"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "x.cr2"));

    // check reads a compressed file as its text, and names what is wrong with a broken one.
    const CliResult plainChecked = RunTool({"check", (dir / "out.cr2").string()});
    const CliResult packedChecked = RunTool({"check", (dir / "out.crz").string()});
    EXPECT_EQ(packedChecked.status, plainChecked.status);
    std::string renamed = packedChecked.out;
    for (std::size_t at; (at = renamed.find("out.crz")) != std::string::npos;) {
        renamed.replace(at, 7, "out.cr2");
    }
    EXPECT_EQ(renamed, plainChecked.out);
    const CliResult brokenChecked = RunTool({"check", (dir / "broken.crz").string()});
    EXPECT_EQ(brokenChecked.status, 2);
    EXPECT_EQ(brokenChecked.err, "tessary-cli: " + (dir / "broken.crz").string() +
                                     ": the compressed data ends early\n");
}

}  // namespace
}  // namespace tessary

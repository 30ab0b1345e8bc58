// Runs every folder of tests/scenarios as a session of tessary-cli and compares what it printed,
// its exit status and the files it wrote with the folder's expectations:
//   script.tsy            the session script, run in a scratch copy of the folder
//   expected/stdout       standard output, byte for byte
//   expected/status       the exit status (0 when absent)
//   expected/stderr       standard error (not compared when absent)
//   expected/files/NAME   files the run must have written, byte for byte
//   env                   optional KEY=VALUE lines set for the run
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::vector<std::string> ScenarioNames() {
    std::vector<std::string> names;
    fs::path root = TESSARY_SCENARIO_DIR;
    if (fs::is_directory(root)) {
        for (const auto& entry : fs::directory_iterator(root)) {
            if (fs::exists(entry.path() / "script.tsy")) {
                names.push_back(entry.path().filename().string());
            }
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Scenario : public testing::TestWithParam<std::string> {};

TEST_P(Scenario, MatchesExpectedOutputAndFiles) {
    const fs::path source = fs::path(TESSARY_SCENARIO_DIR) / GetParam();
    const fs::path work = fs::temp_directory_path() /
                          ("tessary-scenario-" + GetParam() + "-" + std::to_string(::getpid()));
    fs::remove_all(work);
    fs::create_directories(work);
    for (const auto& entry : fs::directory_iterator(source)) {
        if (entry.path().filename() != "expected") {
            fs::copy(entry.path(), work / entry.path().filename(), fs::copy_options::recursive);
        }
    }

    std::string environment;
    std::istringstream envLines(ReadFile(source / "env"));
    for (std::string line; std::getline(envLines, line);) {
        if (!line.empty() && line[0] != '#') {
            environment += Quote(line) + " ";
        }
    }
    const std::string command = "cd " + Quote(work.string()) + " && env " + environment +
                                Quote(TESSARY_CLI_PATH) + " run script.tsy > .stdout 2> .stderr";
    int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << command;
    const int status = WEXITSTATUS(raw);

    const fs::path expected = source / "expected";
    EXPECT_EQ(ReadFile(work / ".stdout"), ReadFile(expected / "stdout"));
    const int wantedStatus =
        fs::exists(expected / "status") ? std::stoi(ReadFile(expected / "status")) : 0;
    EXPECT_EQ(status, wantedStatus) << "stderr: " << ReadFile(work / ".stderr");
    if (fs::exists(expected / "stderr")) {
        EXPECT_EQ(ReadFile(work / ".stderr"), ReadFile(expected / "stderr"));
    }
    if (fs::is_directory(expected / "files")) {
        for (const auto& entry : fs::recursive_directory_iterator(expected / "files")) {
            if (!entry.is_regular_file()) {
                continue;
            }
            const fs::path relative = fs::relative(entry.path(), expected / "files");
            ASSERT_TRUE(fs::exists(work / relative)) << relative << " was not written";
            EXPECT_EQ(ReadFile(work / relative), ReadFile(entry.path())) << relative;
        }
    }
    if (!HasFailure()) {
        fs::remove_all(work);
    }
}

INSTANTIATE_TEST_SUITE_P(Scripts, Scenario, testing::ValuesIn(ScenarioNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Scenario);

}  // namespace

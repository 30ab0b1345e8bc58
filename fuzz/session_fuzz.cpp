// libFuzzer target for whole sessions: a session script run through the dispatcher, exactly as
// `tessary-cli run` does, over fuzzed input files. Build with -DTESSARY_BUILD_FUZZ=ON and clang
// (see fuzz/CMakeLists.txt).
//
// An input is the script, then up to three files, separated by lines "%%": the files are
// written as a.cr2, b.pz2 and c.obj into a scratch folder that is the current directory, so
// the script loads, edits, exports and saves them there. Inputs whose script names anything
// outside that folder (an absolute path, "..", "~") are skipped, so a run never touches
// another file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/ScriptParser.h"
#include "cli/ScriptRunner.h"
#include "cli/Session.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kFileNames[] = {"a.cr2", "b.pz2", "c.obj"};

fs::path gScratch;

bool Confined(const std::vector<tessary::ScriptLine>& lines) {
    for (const tessary::ScriptLine& line : lines) {
        for (const std::string& word : line.words) {
            if (!word.empty() && (word.front() == '/' || word.front() == '~')) {
                return false;
            }
            if (word.find("..") != std::string::npos) {
                return false;
            }
        }
    }
    return true;
}

void ClearScratch() {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(gScratch, ignored)) {
        fs::remove_all(entry.path(), ignored);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string folder = (fs::temp_directory_path() / "tessary-session-fuzz-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr || ::chdir(folder.c_str()) != 0) {
        std::abort();
    }
    gScratch = folder;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t cut = input.find("\n%%\n");
        if (cut == std::string_view::npos || parts.size() == 3) {
            parts.push_back(input);
            break;
        }
        parts.push_back(input.substr(0, cut));
        input.remove_prefix(cut + 4);
    }

    std::istringstream scriptText{std::string(parts.front())};
    std::vector<tessary::ScriptLine> lines;
    std::string error;
    int errorLine = 0;
    if (!tessary::ParseScript(scriptText, lines, error, errorLine) || !Confined(lines)) {
        return -1;  // not added to the corpus
    }
    ClearScratch();
    for (std::size_t i = 1; i < parts.size(); ++i) {
        std::ofstream(kFileNames[i - 1], std::ios::binary)
            .write(parts[i].data(), static_cast<std::streamsize>(parts[i].size()));
    }
    std::ostringstream out;
    std::ostringstream err;
    {
        tessary::Session session(out);
        tessary::ScriptRunner runner(session, "fuzz");
        runner.Run(lines, err);
    }
    ClearScratch();
    return 0;
}

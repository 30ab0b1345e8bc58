// libFuzzer target for the session-script reader: word splitting, quoting and item paths.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "cli/ScriptParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream in(text);
    std::vector<tessary::ScriptLine> lines;
    std::string error;
    int errorLine = 0;
    if (tessary::ParseScript(in, lines, error, errorLine)) {
        for (const tessary::ScriptLine& line : lines) {
            for (const std::string& word : line.words) {
                tessary::SplitItemPath(word);
            }
        }
    }
    return 0;
}

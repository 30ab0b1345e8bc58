#pragma once

// tessary-cli run in-process: its exit status and what it wrote on each stream.

#include <sstream>
#include <string>
#include <vector>

#include "cli/CliMain.h"

namespace tessary::test {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

inline CliResult RunTool(std::vector<std::string> args, const std::string& input = "") {
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in(input);
    const int status = RunCli(args, out, err, in);
    return {status, out.str(), err.str()};
}

}  // namespace tessary::test

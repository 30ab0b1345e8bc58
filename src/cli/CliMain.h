#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace tessary {

// The whole of tessary-cli, given its arguments (without the program name); returns the exit
// status. Kept apart from main() so tests can run it in-process.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           std::istream& in);

}  // namespace tessary

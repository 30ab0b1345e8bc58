#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tessary {

// tessary-cli check FILE... [--obj OBJFILE] [--format text|json]: lists what is likely wrong
// with each file, one finding a line ("FILE:LINE: message", or a JSON object per line).
// Returns 0 when nothing was found, 1 when something was, 2 when a file could not be read or
// the arguments are wrong.
int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tessary

#pragma once

#include <ostream>
#include <string>

namespace tessary {

// Reports a usage error of the command line as "tessary-cli: message" followed by the usage
// lines; returns 2, the status of such an error.
int UsageError(std::ostream& err, const std::string& message);

// --help: every command and every session-script action, one line each.
void WriteHelp(std::ostream& out);

// help NAME: the details of one command or action; false when there is no such name.
bool WriteHelpOf(const std::string& name, std::ostream& out);

}  // namespace tessary

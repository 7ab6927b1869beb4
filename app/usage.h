// Command-line parsing shared by the commands: a parse error is one line naming the fault and
// where help is, and exit status 64.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace vorlintex::app {

// Parses `args` (without the program name) with `app`. Returns -1 when the program should go
// on; otherwise the exit status, after printing help or version to `out` or the fault to `err`.
int ParseCommandLine(CLI::App& app, const std::vector<std::string>& args,
                     const std::string& help_command, std::ostream& out, std::ostream& err);

// Prints the one-line usage fault and gives its exit status.
int UsageError(const std::string& message, const std::string& help_command, std::ostream& err);

}  // namespace vorlintex::app

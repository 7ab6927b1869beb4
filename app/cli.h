// The vorlintex command line: `serve` and `convert`, with --help and --version.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "contract/env.h"

namespace vorlintex::app {

using EnvFactory = std::function<std::unique_ptr<Env>()>;

// Runs the command in `args` (without the program name); returns the exit status. `new_env`
// makes the platform when a command needs it.
int RunCli(const std::vector<std::string>& args, const EnvFactory& new_env, std::ostream& out,
           std::ostream& err);

}  // namespace vorlintex::app

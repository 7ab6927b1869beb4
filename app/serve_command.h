// `vorlintex serve`: the wizard on HTTP until SIGINT or SIGTERM.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "app/rule_options.h"
#include <vector>

#include "contract/env.h"

namespace CLI {
class App;
}

namespace vorlintex::app {

struct ServeOptions {
  std::string listen = "127.0.0.1:8080";
  bool quiet = false;
  size_t threads = 16;
  // Host header names served besides the listening address's own.
  std::vector<std::string> allow_hosts;
  // Serve anyone who reaches the address, without the token.
  bool no_token = false;
  RuleOptions rules;
};

void AddServeOptions(CLI::App* command, ServeOptions* options);

// Serves until stopped by a signal: 0 after a clean stop, 1 when the address cannot be
// listened on, 64 for a malformed --listen.
int Serve(const ServeOptions& options, Env& env, std::ostream& out, std::ostream& err);

}  // namespace vorlintex::app

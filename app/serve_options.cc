// The options of `vorlintex serve`, the same on every platform, so that a command line is
// judged the same everywhere before Windows refuses to serve.
#include <CLI/CLI.hpp>

#include "app/serve_command.h"

namespace vorlintex::app {

void AddServeOptions(CLI::App* command, ServeOptions* options) {
  command->add_option("--listen", options->listen, "Address and port to listen on")
      ->type_name("HOST:PORT")
      ->capture_default_str();
  command->add_flag("--quiet", options->quiet, "No access-log line per request");
  command
      ->add_option("--threads", options->threads,
                   "Worker threads: how many requests are answered at once")
      ->check(CLI::Range(1, 4096))
      ->capture_default_str();
  command
      ->add_option("--allow-host", options->allow_hosts,
                   "A further name the wizard may be addressed by (repeatable)")
      ->type_name("NAME");
  command->add_flag("--no-token", options->no_token,
                    "Serve anyone who reaches the address, without the printed token");
  AddRuleOptions(command, &options->rules);
}

}  // namespace vorlintex::app

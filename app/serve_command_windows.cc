// `vorlintex serve` on Windows: the wizard is served there by the web server through the
// component DLL, not by this program.
#include <CLI/CLI.hpp>

#include "app/exit_status.h"
#include "app/serve_command.h"

namespace vorlintex::app {

// The same options as on Linux, so that a command line is judged the same before it is
// refused.
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
}

int Serve(const ServeOptions& /*options*/, Env& /*env*/, std::ostream& /*out*/, std::ostream& err) {
  err << "vorlintex: serve runs on Linux only. On Windows the wizard runs in IIS: register "
         "vorlintex.dll (regsvr32 vorlintex.dll) and open morvane.asp; see the README.\n";
  return kExitFailed;
}

}  // namespace vorlintex::app

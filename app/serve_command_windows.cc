// `vorlintex serve` on Windows: the wizard is served there by the web server through the
// component DLL, not by this program.
#include "app/exit_status.h"
#include "app/serve_command.h"

namespace vorlintex::app {

int Serve(const ServeOptions& /*options*/, Env& /*env*/, std::ostream& /*out*/, std::ostream& err) {
  err << "vorlintex: serve runs on Linux only. On Windows the wizard runs in IIS: register "
         "vorlintex.dll (regsvr32 vorlintex.dll) and open morvane.asp; see the README.\n";
  return kExitFailed;
}

}  // namespace vorlintex::app

#include "app/usage.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "app/exit_status.h"

namespace vorlintex::app {

int ParseCommandLine(CLI::App& app, const std::vector<std::string>& args,
                     const std::string& help_command, std::ostream& out, std::ostream& err) {
  std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them backwards
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e, out, err);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e, out, err);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e, out, err);
  } catch (const CLI::ParseError& e) {
    return UsageError(e.what(), help_command, err);
  }
  return -1;
}

int UsageError(const std::string& message, const std::string& help_command, std::ostream& err) {
  err << "vorlintex: " << message << " (see '" << help_command << " --help')\n";
  return kExitUsage;
}

}  // namespace vorlintex::app

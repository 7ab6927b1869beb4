#include "app/cli.h"

#include <CLI/CLI.hpp>
#include <utility>

#include "app/check_command.h"
#include "app/convert_command.h"
#include "app/exit_status.h"
#include "app/serve_command.h"
#include "app/usage.h"

#ifndef VORLINTEX_VERSION
#error "VORLINTEX_VERSION must be defined by the build"
#endif

namespace vorlintex::app {

int RunCli(const std::vector<std::string>& args, const EnvFactory& new_env, std::ostream& out,
           std::ostream& err) {
  CLI::App app(
      "Converts classic ASP pages into the source of a Visual Basic 6 ActiveX DLL project, "
      "through a web wizard (serve) or from the command line (convert, check).",
      "vorlintex");
  app.set_version_flag("--version", "vorlintex " VORLINTEX_VERSION);
  app.require_subcommand(1);

  ServeOptions serve_options;
  CLI::App* serve = app.add_subcommand("serve", "Serve the wizard on HTTP until interrupted");
  AddServeOptions(serve, &serve_options);
  ConvertOptions convert_options;
  CLI::App* convert =
      app.add_subcommand("convert", "Convert pages without the wizard and print a summary");
  AddConvertOptions(convert, &convert_options);
  CheckOptions check_options;
  CLI::App* check = app.add_subcommand(
      "check", "Report, line by line, what a conversion would lose, without writing anything");
  AddCheckOptions(check, &check_options);

  std::string help_command = "vorlintex";
  if (!args.empty() &&
      (args.front() == "serve" || args.front() == "convert" || args.front() == "check")) {
    help_command += " " + args.front();
  } else if (!args.empty() && !args.front().starts_with("-")) {
    // The parser would only say that a subcommand is required.
    return UsageError(
        "unknown subcommand '" + args.front() + "' (the subcommands are serve and convert)",
        help_command, err);
  }
  int parsed = ParseCommandLine(app, args, help_command, out, err);
  if (parsed >= 0) return parsed;

  std::unique_ptr<Env> env = new_env();
  if (serve->parsed()) return Serve(serve_options, *env, out, err);
  if (check->parsed()) return Check(std::move(check_options), *env, out, err);
  return Convert(convert_options, *env, out, err);
}

}  // namespace vorlintex::app

#include "app/convert_command.h"

#include <CLI/CLI.hpp>
#include <utility>

#include "app/console_run.h"
#include "app/exit_status.h"
#include "app/usage.h"

namespace vorlintex::app {
namespace {

constexpr char kHelpCommand[] = "vorlintex convert";

void PrintSummary(const generator::RunSummary& summary, const std::string& target_dir,
                  std::ostream& out) {
  out << "Pages converted into " << target_dir << ": " << summary.pages_converted << "\n";
  out << "Files written: " << summary.files_written << "\n";
  if (summary.build_script_written) {
    out << "Build script to run: " << summary.build_script << "\n";
  }
  if (!summary.failures.empty()) {
    out << "Failures: " << summary.failures.size() << "\n";
    for (const Failure& failure : summary.failures) {
      out << "  cannot " << (failure.access == Access::kRead ? "read " : "write ") << failure.path
          << ": " << failure.reason << "\n";
    }
  }
}

void PrintFailures(const generator::RunSummary& summary, std::ostream& err) {
  for (const Failure& failure : summary.failures) {
    err << "vorlintex: cannot " << (failure.access == Access::kRead ? "read " : "write ")
        << failure.path << ": " << failure.reason << "\n";
  }
}

}  // namespace

void AddConvertOptions(CLI::App* command, ConvertOptions* options) {
  command->add_option("--source", options->source_dir, "Folder holding the ASP pages")
      ->required()
      ->type_name("DIR");
  command->add_option("--target", options->target_dir, "Folder that receives the generated files")
      ->required()
      ->type_name("DIR");
  command->add_option("--dll", options->dll_name, "Name of the DLL to generate")
      ->required()
      ->type_name("NAME");
  CLI::Option* all = command->add_flag(
      "--all", options->all, "Convert every page the wizard would list for the source folder");
  CLI::Option* pages = command->add_option("PAGE", options->pages,
                                           "Pages of the source folder to convert, in order");
  all->excludes(pages);
  pages->excludes(all);
  command->add_flag("--html", options->html,
                    "Print the run's page as the wizard shows it instead of a summary");
}

int Convert(const ConvertOptions& options, Env& env, std::ostream& out, std::ostream& err) {
  if (!options.all && options.pages.empty()) {
    return UsageError("name the pages to convert, or give --all", kHelpCommand, err);
  }
  ConsoleRunInputs inputs{options.source_dir, options.target_dir, options.dll_name, options.pages};
  if (options.all) {
    inputs.pages = SelectablePages(env, options.source_dir);
    if (inputs.pages.empty()) {
      err << "vorlintex: no ASP pages found in " << options.source_dir << "\n";
    }
  }

  ConsoleRunResult result = RunConsoleGeneration(std::move(inputs), env);
  if (options.html) {
    out << result.page;
  } else if (result.summary) {
    PrintSummary(*result.summary, options.target_dir, out);
  }
  if (options.html && result.summary) PrintFailures(*result.summary, err);

  if (!result.summary) {
    err << "vorlintex: the run could not start: " << result.page_status.ToString() << "\n";
    return kExitFailed;
  }
  const generator::RunSummary& summary = *result.summary;
  if (summary.missing_include) {
    err << "vorlintex: the include file " << *summary.missing_include
        << " was not found; the run stopped there (all include files must be in the same "
           "directory as the ASP pages)\n";
    return kExitMissingInclude;
  }
  if (summary.refused_same_folder) {
    err << "vorlintex: the target directory is the source directory; nothing was written\n";
    return kExitFailed;
  }
  if (!result.page_status.ok()) {
    err << "vorlintex: the run stopped: " << result.page_status.ToString() << "\n";
    return kExitFailed;
  }
  return summary.failures.empty() ? kExitOk : kExitFailed;
}

int RunConvert(const std::vector<std::string>& args, Env& env, std::ostream& out,
               std::ostream& err) {
  CLI::App command("Convert ASP pages into a Visual Basic 6 ActiveX DLL project", kHelpCommand);
  ConvertOptions options;
  AddConvertOptions(&command, &options);
  int parsed = ParseCommandLine(command, args, kHelpCommand, out, err);
  if (parsed >= 0) return parsed;
  return Convert(options, env, out, err);
}

}  // namespace vorlintex::app

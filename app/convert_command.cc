#include "app/convert_command.h"

#include <CLI/CLI.hpp>
#include <utility>

#include "app/exit_status.h"
#include "app/usage.h"
#include "contract/memory_host.h"
#include "generator/generation_run.h"
#include "generator/selectable_pages.h"
#include "generator/target_turns.h"

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

int Convert(ConvertOptions options, Env& env, std::ostream& out, std::ostream& err) {
  if (!options.all && options.pages.empty()) {
    return UsageError("name the pages to convert, or give --all", kHelpCommand, err);
  }
  generator::RunInput input{options.source_dir, options.target_dir, options.dll_name,
                            std::move(options.pages)};
  if (options.all) {
    if (Status listed = generator::SelectablePages(env, options.source_dir, &input.pages);
        !listed.ok()) {
      err << "vorlintex: cannot list the source folder " << listed.ToString() << "\n";
      return kExitFailed;
    }
    if (input.pages.empty()) {
      err << "vorlintex: no ASP pages found in " << options.source_dir << "\n";
    }
  }

  // No user session: the run's page goes to a buffer, printed with --html.
  host::MemoryResponse page;
  generator::TargetTurns turns;
  const generator::RunSummary summary =
      generator::RunGeneration(input, page, Services{&env, &turns, nullptr});
  if (options.html) {
    out << page.body();
    PrintFailures(summary, err);
  } else {
    PrintSummary(summary, options.target_dir, out);
  }

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
  if (!summary.host_failure.ok()) {
    err << "vorlintex: the run stopped: " << summary.host_failure.ToString() << "\n";
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

#include "app/convert_command.h"

#include <CLI/CLI.hpp>
#include <string>
#include <utility>

#include "app/check_html_report.h"
#include "app/check_text_report.h"
#include "app/exit_status.h"
#include "app/stream_response.h"
#include "app/usage.h"
#include "generator/generation_run.h"
#include "generator/page_check.h"
#include "generator/run_names.h"
#include "generator/selectable_pages.h"
#include "generator/target_turns.h"
#include "html/input_checks.h"
#include "wizard/run_report.h"

namespace vorlintex::app {
namespace {

constexpr char kHelpCommand[] = "vorlintex convert";

const char* FailedAccessText(Access access) {
  switch (access) {
    case Access::kRead:
      return "cannot read ";
    case Access::kWrite:
      return "cannot write ";
    case Access::kCreateFolder:
      return "cannot create ";
  }
  return "";
}

// The usage fault of the options, as the wizard's checks find it; empty when there is none.
std::string UsageFault(const ConvertOptions& options) {
  const std::pair<const char*, const std::string*> fields[] = {
      {"--source", &options.source_dir},
      {"--target", &options.target_dir},
      {"--dll", &options.dll_name},
  };
  for (const auto& [option, value] : fields) {
    if (value->empty()) return std::string(option) + " cannot be blank";
  }
  const std::string dll_name = generator::DllName(options.dll_name);
  if (dll_name.empty()) return "--dll cannot be blank once cut before \".dll\"";
  if (!generator::IsPlainFileName(dll_name)) return html::kNameHasFolder;
  for (const std::string& page : options.pages) {
    if (!generator::IsPlainFileName(page)) {
      return "'" + page +
             "' is not a page of the source folder: pages are named as the selection page lists "
             "them, plain file names of the source folder";
    }
  }
  if (!options.all && options.pages.empty()) return "name the pages to convert, or give --all";
  return std::string();
}

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
      out << "  " << FailedAccessText(failure.access) << failure.path << ": " << failure.reason
          << "\n";
    }
  }
}

void PrintFailures(const generator::RunSummary& summary, std::ostream& err) {
  for (const Failure& failure : summary.failures) {
    err << "vorlintex: " << FailedAccessText(failure.access) << failure.path << ": "
        << failure.reason << "\n";
  }
}

// The check of the run's pages: its summary, and its HTML report in the target folder.
void ReportCheck(const generator::RunInput& input, const generator::RunSummary& summary, Env& env,
                 std::ostream& out) {
  const std::string path = generator::PathIn(input.target_dir, summary.dll_name + ".check.html");
  TextReport printed(out, false);
  HtmlReport html(env, path);
  generator::CheckPages(input, env, {&printed, &html});
  if (Status written = html.Finish(); !written.ok()) {
    out << "Check report not written: " << written.path() << ": " << written.reason() << "\n";
  } else {
    out << "Check report: " << path << "\n";
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
  command->add_flag("--check", options->check,
                    "Also report what the conversion loses, as `vorlintex check` does, in "
                    "NAME.check.html in the target folder");
}

int Convert(ConvertOptions options, Env& env, std::ostream& out, std::ostream& err) {
  if (std::string fault = UsageFault(options); !fault.empty()) {
    return UsageError(fault, kHelpCommand, err);
  }
  generator::RunInput input{options.source_dir, options.target_dir, options.dll_name,
                            std::move(options.pages)};
  if (options.all) {
    if (Status listed = generator::SelectablePages(env, options.source_dir, &input.pages);
        !listed.ok()) {
      err << "vorlintex: cannot list the source folder " << listed.Message() << "\n";
      return kExitFailed;
    }
    if (input.pages.empty()) {
      err << "vorlintex: no ASP pages found in " << options.source_dir << "\n";
    }
  }

  generator::TargetTurns turns;
  const generator::RunSummary summary = generator::RunGeneration(input, Services{&env, &turns});
  if (options.html) {
    // The page the wizard would show for this run, rendered by the wizard's own code.
    StreamResponse page(out);
    if (Status printed = wizard::WriteRunPage(page, input, summary);
        !printed.ok() && summary.end != generator::RunEnd::kNoFileService) {
      err << "vorlintex: " << printed.path() << ": " << printed.reason() << "\n";
    }
    PrintFailures(summary, err);
  } else {
    PrintSummary(summary, options.target_dir, out);
  }
  const bool run_made =
      summary.end == generator::RunEnd::kDone || summary.end == generator::RunEnd::kMissingInclude;
  if (options.check && run_made) ReportCheck(input, summary, env, options.html ? err : out);

  switch (summary.end) {
    case generator::RunEnd::kDone:
      return summary.failures.empty() ? kExitOk : kExitFailed;
    case generator::RunEnd::kMissingInclude:
      err << "vorlintex: the include file " << summary.missing_include
          << " was not found; the run stopped there (all include files must be in the same "
             "directory as the ASP pages)\n";
      return kExitMissingInclude;
    case generator::RunEnd::kRefused:
      if (summary.refused == generator::RefusedField::kSameFolder) {
        err << "vorlintex: the target directory is the source directory; nothing was written\n";
      } else {
        err << "vorlintex: " << wizard::RefusalMessage(summary.refused) << "\n";
      }
      return kExitFailed;
    case generator::RunEnd::kNoFileService:
      break;
  }
  err << "vorlintex: the run stopped: " << summary.file_service_failure.Message() << "\n";
  return kExitFailed;
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

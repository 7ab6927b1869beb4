#include "app/check_command.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <utility>

#include "app/check_html_report.h"
#include "app/check_json_report.h"
#include "app/check_text_report.h"
#include "app/convert_command.h"
#include "app/display_path.h"
#include "app/exit_status.h"
#include "app/usage.h"
#include "generator/page_check.h"
#include "generator/selectable_pages.h"

namespace vorlintex::app {
namespace {

constexpr char kHelpCommand[] = "vorlintex check";

}  // namespace

void AddCheckOptions(CLI::App* command, CheckOptions* options) {
  command->add_option("--source", options->source_dir, "Folder holding the ASP pages")
      ->required()
      ->type_name("DIR");
  command->add_option("--target", options->target_dir,
                      "Target folder, to check the build script's names");
  command->add_option("--dll", options->dll_name,
                      "DLL name, to check it, the build script and the ProgIDs");
  CLI::Option* all =
      command->add_flag("--all", options->all, "Check every page the wizard would list");
  CLI::Option* pages =
      command->add_option("PAGE", options->pages, "Pages of the source folder to check");
  all->excludes(pages);
  pages->excludes(all);
  command
      ->add_flag("--recursive", options->recursive,
                 "Check every page of the source folder and of its subfolders")
      ->excludes(pages);
  command
      ->add_flag("--include-files-too", options->include_files_too,
                 "With --all or --recursive, also check the files other pages include as "
                 "pages, which are otherwise left out")
      ->excludes(pages);
  command->add_option("--format", options->format, "Output: text (compiler-style lines) or json")
      ->check(CLI::IsMember({"text", "json"}))
      ->capture_default_str();
  command->add_option("--html", options->html_file, "Also write an HTML report to FILE")
      ->type_name("FILE");
  command->add_flag("--keep-going", options->keep_going,
                    "Count a page whose include file is missing as left out, as convert "
                    "--keep-going leaves it out, not as the page that stops the run");
  AddRuleOptions(command, &options->rules);
}

int Check(CheckOptions options, Env& env, std::ostream& out, std::ostream& err) {
  if (!options.all && !options.recursive && options.pages.empty()) {
    return UsageError("name the pages to check, or give --all", kHelpCommand, err);
  }
  generator::RunInput input{options.source_dir, options.target_dir, options.dll_name,
                            std::move(options.pages)};
  input.subfolders = options.recursive;
  input.keep_going = options.keep_going;
  if (options.all || options.recursive) {
    size_t folders = 0;
    if (Status listed =
            ListPages(env, options.source_dir, options.recursive, &input.pages, &folders);
        !listed.ok()) {
      err << "vorlintex: cannot list the source folder " << DisplayMessage(env, listed) << "\n";
      return kExitFailed;
    }
    // Told on stderr when the report is JSON, which stdout carries alone.
    if (!options.include_files_too) {
      LeaveOutIncludeFiles(env, options.source_dir, &input.pages, "checks",
                           options.format == "json" ? err : out);
    }
  }
  // Names that were not given are not checked.
  const bool dll_named = !options.dll_name.empty();
  if (!dll_named) input.dll_name = "Checked";
  if (options.target_dir.empty()) input.target_dir = "C:\\Checked";

  // The findings go out as they are found; the HTML report beside the printed one.
  std::unique_ptr<generator::CheckReporter> printed;
  if (options.format == "json") {
    printed = std::make_unique<JsonReport>(out);
  } else {
    printed = std::make_unique<TextReport>(out, true);
  }
  std::vector<generator::CheckReporter*> reporters = {printed.get()};
  std::unique_ptr<HtmlReport> html;
  if (!options.html_file.empty()) {
    html = std::make_unique<HtmlReport>(env, options.html_file);
    reporters.push_back(html.get());
  }
  Services services;
  ApplyRuleOptions(options.rules, &services);
  const generator::CheckTotals totals =
      generator::CheckPages(input, env, reporters, {services.rules, services.site_root, dll_named});
  if (html != nullptr) {
    if (Status written = html->Finish(); !written.ok()) {
      err << "vorlintex: cannot write " << DisplayMessage(env, written) << "\n";
      return kExitFailed;
    }
  }
  if (totals.missing_include) return kExitMissingInclude;
  return totals.findings == 0 ? kExitOk : kExitFailed;
}

}  // namespace vorlintex::app

#include "app/convert_command.h"

#include <CLI/CLI.hpp>
#include <set>
#include <string>
#include <utility>

#include "app/check_html_report.h"
#include "app/check_text_report.h"
#include "app/display_path.h"
#include "app/exit_status.h"
#include "app/stream_response.h"
#include "app/usage.h"
#include "generator/generation_run.h"
#include "generator/include_files.h"
#include "generator/page_check.h"
#include "generator/run_names.h"
#include "generator/selectable_pages.h"
#include "generator/target_turns.h"
#include "html/input_checks.h"
#include "platform/large_blocks.h"
#include "wizard/run_report.h"

namespace vorlintex::app {
namespace {

constexpr char kHelpCommand[] = "vorlintex convert";

constexpr char kConvertExitStatus[] =
    "Exit status:\n"
    "  0   every file was written\n"
    "  1   a file operation failed, the source folder could not be listed for --all, or the\n"
    "      target folder is the source folder\n"
    "  2   a missing include file ended the run (with --keep-going: left a page out)\n"
    "  64  a usage error\n"
    "  75  another run was writing into the target folder and --no-wait was given; nothing\n"
    "      was written";

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
  if (!options.all && !options.recursive && options.pages.empty()) {
    return "name the pages to convert, or give --all";
  }
  if (options.build_path && options.build_path->empty()) return "--build-path cannot be blank";
  if (options.compiler && options.compiler->empty()) return "--compiler cannot be blank";
  return std::string();
}

// An argument as a shell takes it back.
std::string ShellWord(const std::string& word) {
  return word.find_first_of(" &|<>^\"'") == std::string::npos ? word : "\"" + word + "\"";
}

// The check command that gives the reasons for the class modules of this run.
std::string CheckCommandFor(const ConvertOptions& options, const std::vector<std::string>& pages,
                            const Env& env) {
  std::string command =
      "vorlintex check --source " + ShellWord(env.DisplayPath(options.source_dir));
  if (options.recursive) {
    command += " --recursive";
  } else if (options.all) {
    command += " --all";
  }
  // The DLL name makes the ProgIDs the check measures; a run that keeps going leaves pages
  // out, which the check then names so.
  command += " --dll " + ShellWord(options.dll_name);
  if (options.keep_going) command += " --keep-going";
  if (options.rules.rules != "classic") command += " --rules " + options.rules.rules;
  if (!options.rules.site_root.empty()) {
    command += " --site-root " + ShellWord(env.DisplayPath(options.rules.site_root));
  }
  if (!options.all && !options.recursive) {
    for (const std::string& page : pages) command += " " + ShellWord(page);
  }
  return command;
}

// Paths are printed as the system spells them (Env::DisplayPath), so a shell can use them.
void PrintSummary(const generator::RunSummary& summary, const ConvertOptions& options,
                  const std::vector<std::string>& pages, const Env& env, std::ostream& out) {
  const std::string& target_dir = options.target_dir;
  out << "Pages converted into " << env.DisplayPath(target_dir) << ": " << summary.pages_converted
      << "\n";
  out << "Files written: " << summary.files_written << "\n";
  if (!summary.files_left.empty()) {
    out << "Files left as they were: " << summary.files_left.size() << "\n";
    for (const std::string& path : summary.files_left) {
      out << "  " << env.DisplayPath(path) << "\n";
    }
  }
  if (summary.pages_left_out > 0) {
    out << "Pages left out for a missing include file: " << summary.pages_left_out << "\n";
    for (const generator::RunSummary::PageLeftOut& page : summary.first_pages_left_out) {
      out << "  " << page.page << ": " << env.DisplayPath(page.missing_include) << "\n";
    }
  }
  if (summary.build_script_written) {
    out << "Build script to run: " << env.DisplayPath(summary.build_script) << "\n";
  }
  if (summary.modules_not_compiling > 0) {
    out << "Class modules that will not compile: " << summary.modules_not_compiling << "\n";
    for (const generator::RunSummary::ModuleFault& fault : summary.first_module_faults) {
      out << "  " << env.DisplayPath(fault.path) << ": " << fault.reason << "\n";
    }
  }
  if (!summary.failures.empty()) {
    out << "Failures: " << summary.failures.size() << "\n";
    for (const Failure& failure : summary.failures) {
      out << "  " << FailedAccessText(failure.access) << env.DisplayPath(failure.path) << ": "
          << failure.reason << "\n";
    }
  }
  // Last, where a reader looks first: what to run next.
  if (summary.modules_not_compiling > 0) {
    out << summary.modules_not_compiling << " of " << summary.modules_checked
        << " class modules will not compile, as far as the module checker can tell: run "
        << CheckCommandFor(options, pages, env) << " for the reasons\n";
  }
}

void PrintFailures(const generator::RunSummary& summary, const Env& env, std::ostream& err) {
  for (const Failure& failure : summary.failures) {
    err << "vorlintex: " << FailedAccessText(failure.access) << env.DisplayPath(failure.path)
        << ": " << failure.reason << "\n";
  }
}

// The check of the run's pages: its summary, and its HTML report in the target folder.
void ReportCheck(const generator::RunInput& input, const generator::RunSummary& summary,
                 const Services& services, Env& env, std::ostream& out) {
  const std::string path = generator::PathIn(input.target_dir, summary.dll_name + ".check.html");
  TextReport printed(out, false);
  HtmlReport html(env, path);
  generator::CheckPages(input, env, {&printed, &html}, {services.rules, services.site_root});
  if (Status written = html.Finish(); !written.ok()) {
    out << "Check report not written: " << DisplayMessage(env, written) << "\n";
  } else {
    out << "Check report: " << env.DisplayPath(path) << "\n";
  }
}

}  // namespace

Status ListPages(Env& env, const std::string& source_dir, bool recursive,
                 std::vector<std::string>* pages, size_t* folders) {
  if (recursive) return generator::SitePages(env, source_dir, pages, folders);
  *folders = 1;
  return generator::SelectablePages(env, source_dir, pages);
}

void LeaveOutIncludeFiles(Env& env, const std::string& source_dir, std::vector<std::string>* pages,
                          std::string_view verb, std::ostream& out) {
  const std::vector<std::string> included = generator::IncludedPages(env, source_dir, *pages);
  if (included.empty()) return;
  const std::set<std::string> left_out(included.begin(), included.end());
  std::erase_if(*pages, [&left_out](const std::string& page) { return left_out.count(page) != 0; });
  out << "Include files left out of the pages (--include-files-too " << verb
      << " them): " << included.size() << "\n";
  constexpr size_t kListed = 20;
  for (size_t i = 0; i < included.size() && i < kListed; ++i) out << "  " << included[i] << "\n";
  if (included.size() > kListed) out << "  and " << included.size() - kListed << " more\n";
}

int NoPages(Env& env, const std::string& source_dir, std::ostream& err) {
  err << "vorlintex: no ASP pages found in " << env.DisplayPath(source_dir);
  std::vector<std::string> below;
  size_t folders = 0;
  if (generator::SitePages(env, source_dir, &below, &folders).ok() && !below.empty()) {
    err << "; its subfolders hold " << below.size() << ", which --recursive converts";
  }
  err << "; nothing was written\n";
  return kExitFailed;
}

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
  CLI::Option* recursive = command->add_flag(
      "--recursive", options->recursive,
      "Convert every page of the source folder and of its subfolders into one project, each "
      "replacement page at its own path under the target");
  recursive->excludes(pages);
  command
      ->add_flag("--include-files-too", options->include_files_too,
                 "With --all or --recursive, also convert the files other pages include "
                 "(header.inc, menu.asp), which are otherwise left out")
      ->excludes(pages);
  command->add_flag("--html", options->html,
                    "Print the run's page as the wizard shows it instead of a summary");
  command->add_flag("--check", options->check,
                    "Also report what the conversion loses, as `vorlintex check` does, in "
                    "NAME.check.html in the target folder");
  command->add_flag("--keep-going", options->keep_going,
                    "Leave out a page whose include file is missing and go on with the next "
                    "(the exit status is still 2)");
  command
      ->add_option("--build-path", options->build_path,
                   "The target folder as the Windows machine that compiles the project sees it "
                   "(C:\\build\\site): the build script names the project file there")
      ->type_name("WINDOWS_FOLDER");
  command
      ->add_option("--compiler", options->compiler,
                   "The Visual Basic 6 compiler the build script runs, as that machine names it, "
                   "instead of the one this machine's registry names")
      ->type_name("PATH");
  AddRuleOptions(command, &options->rules);
  command->add_flag("--no-wait", options->no_wait,
                    "Exit at once with status 75, writing nothing, while another run writes into "
                    "the target folder (by default the run waits for it)");
  command->footer(kConvertExitStatus);
}

int Convert(ConvertOptions options, Env& env, std::ostream& out, std::ostream& err) {
  if (std::string fault = UsageFault(options); !fault.empty()) {
    return UsageError(fault, kHelpCommand, err);
  }
  // The run's finisher thread allocates from a heap of its own, where large blocks freed
  // (the target folder's names, grown as the run writes) would stay with the process.
  ReturnLargeBlocksToTheSystem();
  generator::RunInput input{options.source_dir, options.target_dir, options.dll_name,
                            std::move(options.pages)};
  input.wait = !options.no_wait;
  input.keep_going = options.keep_going;
  input.subfolders = options.recursive;
  if (options.all || options.recursive) {
    size_t folders = 0;
    if (Status listed =
            ListPages(env, options.source_dir, options.recursive, &input.pages, &folders);
        !listed.ok()) {
      err << "vorlintex: cannot list the source folder " << DisplayMessage(env, listed) << "\n";
      return kExitFailed;
    }
    if (options.recursive) {
      out << "Pages found: " << input.pages.size() << " in " << folders << " folder(s)\n";
    }
    if (input.pages.empty()) return NoPages(env, options.source_dir, err);
    if (!options.include_files_too) {
      LeaveOutIncludeFiles(env, options.source_dir, &input.pages, "converts", out);
      if (input.pages.empty()) {
        err << "vorlintex: every page found is included by another; nothing was written "
               "(--include-files-too converts them)\n";
        return kExitFailed;
      }
    }
  }

  generator::TargetTurns turns;
  Services services{&env, &turns};
  ApplyRuleOptions(options.rules, &services);
  services.build_dir = options.build_path.value_or("");
  services.compiler_path = options.compiler.value_or("");
  const generator::RunSummary summary = generator::RunGeneration(input, services);
  if (options.html) {
    // The page the wizard would show for this run, rendered by the wizard's own code.
    StreamResponse page(out);
    if (Status printed = wizard::WriteRunPage(page, input, summary);
        !printed.ok() && summary.end != generator::RunEnd::kNoFileService &&
        summary.end != generator::RunEnd::kTargetBusy) {
      err << "vorlintex: " << DisplayMessage(env, printed) << "\n";
    }
    PrintFailures(summary, env, err);
  } else {
    PrintSummary(summary, options, input.pages, env, out);
  }
  const bool run_made =
      summary.end == generator::RunEnd::kDone || summary.end == generator::RunEnd::kMissingInclude;
  if (options.check && run_made)
    ReportCheck(input, summary, services, env, options.html ? err : out);

  switch (summary.end) {
    case generator::RunEnd::kDone:
      if (summary.pages_left_out > 0) {
        err << "vorlintex: " << summary.pages_left_out
            << " page(s) were left out for a missing include file\n";
        return kExitMissingInclude;
      }
      return summary.failures.empty() ? kExitOk : kExitFailed;
    case generator::RunEnd::kMissingInclude:
      err << "vorlintex: the include file " << env.DisplayPath(summary.missing_include)
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
    case generator::RunEnd::kTargetBusy:
      err << "vorlintex: another run is writing into " << options.target_dir
          << "; nothing was written (without --no-wait the run waits for it)\n";
      return kExitTargetBusy;
    case generator::RunEnd::kNoFileService:
      break;
  }
  err << "vorlintex: the run stopped: " << DisplayMessage(env, summary.file_service_failure)
      << "\n";
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

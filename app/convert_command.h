// `vorlintex convert`: the generation run from the command line, with a plain-text summary
// (or the wizard's own page) and an exit status a script can test.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/rule_options.h"
#include "contract/env.h"

namespace CLI {
class App;
}

namespace vorlintex::app {

struct ConvertOptions {
  std::string source_dir;
  std::string target_dir;
  std::string dll_name;
  std::vector<std::string> pages;
  bool all = false;
  bool html = false;
  // Also check the pages, and write the check's HTML report into the target folder.
  bool check = false;
  // End at once, rather than wait, while another run writes into the target folder.
  bool no_wait = false;
  // A page a missing include file stops is left out and the run goes on.
  bool keep_going = false;
  // The pages of the source folder and of all its subfolders, in one project.
  bool recursive = false;
  // With --all or --recursive: also the files other pages include, which are left out.
  bool include_files_too = false;
  RuleOptions rules;
  // The target folder as the Windows machine that compiles sees it, for the build line.
  std::optional<std::string> build_path;
  // The compiler the build line runs, instead of the one the registry names.
  std::optional<std::string> compiler;
};

// The pages --all (the source folder's) or --recursive (the whole site's) takes, and the
// number of folders listed; the failures of generator::SitePages.
Status ListPages(Env& env, const std::string& source_dir, bool recursive,
                 std::vector<std::string>* pages, size_t* folders);

// Leaves out of `pages` the files other pages of them include (generator::IncludedPages), and
// says which on `out`; `verb` says what --include-files-too does with them ("converts").
void LeaveOutIncludeFiles(Env& env, const std::string& source_dir, std::vector<std::string>* pages,
                          std::string_view verb, std::ostream& out);

// Tells that --all found no pages in `source_dir`, and how many its subfolders hold; exit 1.
int NoPages(Env& env, const std::string& source_dir, std::ostream& err);

// Declares the command's options on `command`, filling `options` when it is parsed.
void AddConvertOptions(CLI::App* command, ConvertOptions* options);

// Runs the conversion the parsed options ask for. The exit status: 0 when every file was
// written, 1 when a file operation failed or the run could not be done (the source folder
// could not be listed for --all, or is the target), 2 when a missing include file ended the
// run (with keep_going: left a page out), 64 when a field (or a given --build-path or
// --compiler) is blank, a page is named with a folder part, or neither pages nor --all were
// given, 75 when another run was writing into the target folder and --no-wait was given
// (nothing was written). Without --no-wait the run waits for the other.
int Convert(ConvertOptions options, Env& env, std::ostream& out, std::ostream& err);

// Parses `args` (what follows "convert" on the command line), then converts.
int RunConvert(const std::vector<std::string>& args, Env& env, std::ostream& out,
               std::ostream& err);

}  // namespace vorlintex::app

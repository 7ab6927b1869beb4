// `vorlintex check`: reads the pages as a conversion would, writes nothing, and reports every
// line the conversion loses or leaves uncompilable.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/rule_options.h"
#include "contract/env.h"

namespace CLI {
class App;
}

namespace vorlintex::app {

struct CheckOptions {
  std::string source_dir;
  std::string target_dir;  // only for the build script's names
  std::string dll_name;    // likewise
  std::vector<std::string> pages;
  bool all = false;
  bool recursive = false;          // the pages of the subfolders too, as convert --recursive
  bool include_files_too = false;  // with --all or --recursive: also files others include
  std::string format = "text";     // or "json"
  std::string html_file;           // also write the HTML report here
  RuleOptions rules;               // the rules the pages are read by, as convert takes them
  // A page whose include file is missing is left out, as convert --keep-going leaves it,
  // rather than stopping the run.
  bool keep_going = false;
};

void AddCheckOptions(CLI::App* command, CheckOptions* options);

// Exit status: 0 nothing found, 1 findings, 2 an include file was missing, 64 usage.
int Check(CheckOptions options, Env& env, std::ostream& out, std::ostream& err);

}  // namespace vorlintex::app

// One source page, with its include files, into a class module that Visual Basic 6 compiles
// and that sends what the page sent: the compilable rules.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "compilable/page_module.h"
#include "compilable/rules_findings.h"
#include "contract/failure_log.h"
#include "contract/output_file.h"
#include "contract/text_file_service.h"

namespace vorlintex::compilable {

struct CompilablePage {
  std::string source_path;  // the page, as the run builds its path
  std::string site_root;    // where virtual includes are looked for
  // When not empty: include files are read only under this folder or the site root; a path
  // out of both is a failure (kRead) and a finding, and is not read.
  std::string include_root;
  std::string class_name;                // the class's name and its page method's
  fs::TextFileService* files = nullptr;  // include files are read through it
  // The page stream, open for reading at its first line; null when the page could not be
  // opened (it is then read as an empty page).
  std::unique_ptr<fs::TextStream> page;
  FailureLog* failures = nullptr;     // reads that failed
  RulesObserver* observer = nullptr;  // may be null
  // A check rather than a run: a missing include file is told and passed over.
  bool pass_over_missing_includes = false;
};

struct CompilableResult {
  // Set when a missing include file ended the translation: its path. Nothing was written.
  std::optional<std::string> missing_include;
  std::string class_name;  // as the module names it: see PageModule
  bool uses_regexp = false;
  std::vector<ClassModuleText> classes;   // the page's VBScript classes, for modules of their own
  std::vector<std::string> module_lines;  // the class module, every line
};

// Reads the page and its include files and makes the class module, in memory: the caller
// writes it, once it knows its name. On return the page stream is closed.
CompilableResult TranslateCompilable(CompilablePage& page);

// The whole text of a stream read line by line, each line end as the stream read it.
std::string ReadWholeText(fs::TextStream& stream, const std::string& path, FailureLog* failures);

}  // namespace vorlintex::compilable

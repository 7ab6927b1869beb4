// A dry run: the selected pages read and translated exactly as the generation run would,
// nothing written, and every line the translation loses or leaves uncompilable reported as a
// finding, with the names of the run that break the project or its build script.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "contract/env.h"
#include "generator/generation_run.h"

namespace vorlintex::generator {

struct Finding {
  std::string file;       // the page or include file the line came from; empty for the run's names
  int line = 0;           // 1-based; 0 for a finding on a whole file or on the run's names
  std::string_view kind;  // a short name, such as "text-before-code"
  std::string_view message;  // what happens to the line, in a sentence
  std::string source;        // the line as read
  std::string written;       // what the class module holds for it, lines joined by "\n"
};

struct CheckResult {
  size_t pages_read = 0;
  size_t pages_with_findings = 0;
  std::vector<Finding> findings;  // in the order of the pages, then of their lines
  bool missing_include = false;
};

// Every kind of finding, in the order reports list them.
const std::vector<std::string_view>& FindingKinds();

// Checks the pages of `input` against the files of `env`. A page that cannot be read is a
// finding of its own; the check goes on with the next page, also after a missing include.
CheckResult CheckPages(const RunInput& input, Env& env);

}  // namespace vorlintex::generator

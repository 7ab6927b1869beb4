// The findings of `vorlintex check` in three forms: compiler-style lines with a summary and
// JSON, printed, and an HTML report that shows each source line beside what the class module
// holds for it, written as a file through the platform like every file the program writes
// (CR LF line ends). `check` and `convert --check` both report through these.
#pragma once

#include <ostream>
#include <string>

#include "contract/env.h"
#include "contract/status.h"
#include "generator/page_check.h"

namespace vorlintex::app {

// One "FILE:LINE: warning: WHAT [kind]" line per finding, then the summary.
// Files are named as `env` spells them.
void PrintFindings(const generator::CheckResult& result, const Env& env, std::ostream& out);

// "Pages read: N; pages with findings: M" and the count of each kind found.
void PrintCheckSummary(const generator::CheckResult& result, std::ostream& out);

void PrintFindingsJson(const generator::CheckResult& result, const Env& env, std::ostream& out);

// Writes the HTML report to the file at `path` (created, or replacing a file of that name).
// Returns the first failure of the file service object or of the file, naming the file.
Status WriteFindingsHtml(const generator::CheckResult& result, Env& env, const std::string& path);

}  // namespace vorlintex::app

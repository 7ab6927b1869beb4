// The findings of `vorlintex check` in three forms: compiler-style lines with a summary, JSON,
// and an HTML report that shows each source line beside what the class module holds for it.
#pragma once

#include <ostream>

#include "generator/page_check.h"

namespace vorlintex::app {

// One "FILE:LINE: warning: WHAT [kind]" line per finding, then the summary.
void PrintFindings(const generator::CheckResult& result, std::ostream& out);

// "Pages read: N; pages with findings: M" and the count of each kind found.
void PrintCheckSummary(const generator::CheckResult& result, std::ostream& out);

void PrintFindingsJson(const generator::CheckResult& result, std::ostream& out);

void WriteFindingsHtml(const generator::CheckResult& result, std::ostream& out);

}  // namespace vorlintex::app

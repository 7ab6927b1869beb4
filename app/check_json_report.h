// The check as one JSON document, written as the check goes: the findings on the run's names,
// then each page with its findings (an include file's carry the directive that read it), the
// include files with findings it names, and its verdict with the module checker's first
// reasons; then the totals, the counts per kind and each kind's advice. Page text and names
// are converted to UTF-8 (pages are Windows-1252; a name that is UTF-8 already is kept).
#pragma once

#include <ostream>

#include "generator/page_check.h"

namespace vorlintex::app {

class JsonReport : public generator::CheckReporter {
 public:
  explicit JsonReport(std::ostream& out);

  void PageBegins(std::string_view file) override;
  void Found(const generator::Finding& finding) override;
  // The page's record lists the include files it names when it ends.
  void IncludeNamed(const generator::IncludeRecord&) override {}
  void PageEnds(const generator::PageRecord& page) override;
  void CheckEnds(const generator::CheckTotals& totals) override;

 private:
  void EndNames();

  std::ostream& out_;
  bool pages_begun_ = false;
  bool list_empty_ = true;  // of the list being written, names or a page's findings
};

}  // namespace vorlintex::app

// The check as compiler-style lines, for a terminal, an editor or CI: "FILE:LINE: warning:
// WHAT [kind]" for each finding as it is told, "In file included from PAGE:LINE:" above the
// findings of an include file, a note where a page includes a file whose findings were listed
// with another page (or at another directive), an error line for a class module that will not
// compile; then the summary, with one line of advice for each kind found. Bytes are printed as
// read.
#pragma once

#include <ostream>
#include <string>

#include "generator/page_check.h"

namespace vorlintex::app {

class TextReport : public generator::CheckReporter {
 public:
  // With `findings` false only the summary is printed (as `convert --check` does).
  TextReport(std::ostream& out, bool findings) : out_(out), findings_(findings) {}

  void PageBegins(std::string_view file) override;
  void Found(const generator::Finding& finding) override;
  void IncludeNamed(const generator::IncludeRecord& include) override;
  void PageEnds(const generator::PageRecord& page) override;
  void CheckEnds(const generator::CheckTotals& totals) override;

 private:
  std::ostream& out_;
  const bool findings_;
  std::string page_;
  // The directive whose include file's findings are being printed, so that its "In file
  // included from" line is printed once above them.
  std::string included_from_;
  int included_from_line_ = 0;
};

}  // namespace vorlintex::app

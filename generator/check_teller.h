// What the checks under both rule sets share: the kinds' places in FindingKinds(), the teller
// that passes findings on to the reporters and keeps the totals, and the include files whose
// findings were told. Used by page_check.cc and compilable_check.cc only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "compilable/rules_findings.h"
#include "generator/page_check.h"
#include "translator/translation_observer.h"

namespace vorlintex::generator::check {

// The losses come first in FindingKinds(), by translator::Loss in its order; then the kinds the
// check finds itself, then those of the compilable rules.
constexpr size_t kMissingInclude = static_cast<size_t>(translator::Loss::kMissingInclude);
constexpr size_t kUnreadablePage = kMissingInclude + 1;
constexpr size_t kPageName = kUnreadablePage + 1;
constexpr size_t kDllName = kPageName + 1;
constexpr size_t kBuildScriptName = kDllName + 1;
constexpr size_t kFirstRulesKind = kBuildScriptName + 1;

// The kind of a finding of the compilable rules.
size_t KindOf(compilable::RulesFinding finding);

// The message a missing include file is told with.
std::string MissingIncludeMessage(std::string_view file, bool keep_going);

// Tells the reporters, and keeps the totals. Shared by the run's names and every page.
class Teller {
 public:
  Teller(const std::vector<CheckReporter*>& reporters, CheckTotals* totals)
      : reporters_(reporters), totals_(totals) {
    totals_->counts.assign(FindingKinds().size(), 0);
  }
  void Tell(const Finding& finding) {
    ++totals_->findings;
    ++totals_->counts[finding.kind];
    for (CheckReporter* reporter : reporters_) reporter->Found(finding);
  }
  void PageBegins(std::string_view file) {
    for (CheckReporter* reporter : reporters_) reporter->PageBegins(file);
  }
  void PageEnds(const PageRecord& page) {
    ++totals_->pages_read;
    ++totals_->verdicts[static_cast<size_t>(page.verdict)];
    if (page.HasFindings()) ++totals_->pages_with_findings;
    if (page.verdict == Verdict::kStopsTheRun || page.verdict == Verdict::kLeftOut) {
      totals_->missing_include = true;
    }
    for (CheckReporter* reporter : reporters_) reporter->PageEnds(page);
  }
  void IncludeNamed(const IncludeRecord& include) {
    for (CheckReporter* reporter : reporters_) reporter->IncludeNamed(include);
  }
  void CheckEnds() {
    for (CheckReporter* reporter : reporters_) reporter->CheckEnds(*totals_);
  }

 private:
  const std::vector<CheckReporter*>& reporters_;
  CheckTotals* totals_;
};

// An include file whose findings were told: with which page, and how many.
struct ToldInclude {
  std::string page;
  size_t findings = 0;
};

// A finding of a whole file (line 1) or of the run's names (no file, line 0).
Finding FileFinding(std::string_view file, size_t kind, std::string_view source);

}  // namespace vorlintex::generator::check

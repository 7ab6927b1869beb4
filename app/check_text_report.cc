#include "app/check_text_report.h"

#include "modulecheck/module_checker.h"

namespace vorlintex::app {

using generator::FindingKinds;
using generator::Verdict;

void TextReport::PageBegins(std::string_view file) {
  page_.assign(file);
  included_from_.clear();
  included_from_line_ = 0;
}

void TextReport::Found(const generator::Finding& finding) {
  if (!findings_) return;
  if (finding.included_from_line != included_from_line_ ||
      finding.included_from != included_from_) {
    included_from_.assign(finding.included_from);
    included_from_line_ = finding.included_from_line;
    if (!included_from_.empty()) {
      out_ << "In file included from " << included_from_ << ":" << included_from_line_ << ":\n";
    }
  }
  if (finding.file.empty()) {
    out_ << "vorlintex";
  } else {
    out_ << finding.file << ":" << finding.line;
  }
  out_ << ": warning: " << finding.message << " [" << FindingKinds()[finding.kind].kind << "]\n";
}

void TextReport::IncludeNamed(const generator::IncludeRecord& include) {
  if (!findings_) return;
  included_from_.clear();
  included_from_line_ = 0;
  out_ << page_ << ":" << include.line << ": note: includes " << include.file << ", whose "
       << include.findings << (include.findings == 1 ? " finding is" : " findings are")
       << " listed with " << include.told_with << "\n";
}

void TextReport::PageEnds(const generator::PageRecord& page) {
  included_from_.clear();
  included_from_line_ = 0;
  if (!findings_) return;
  if (page.verdict == Verdict::kWillNotCompile && !page.module.first_reasons.empty()) {
    out_ << page.file << ":1: error: " << page.class_module << ": "
         << modulecheck::Explain(page.module.first_reasons.front());
    if (page.module.reason_count > 1) {
      out_ << " (" << page.module.reason_count << " reasons in all)";
    }
    out_ << " [will-not-compile]\n";
  }
}

void TextReport::CheckEnds(const generator::CheckTotals& totals) {
  out_ << "Pages read: " << totals.pages_read
       << "; pages with findings: " << totals.pages_with_findings << "\n";
  const auto& verdicts = totals.verdicts;
  if (totals.pages_read > 0) {
    out_ << "Pages that compile: " << verdicts[static_cast<size_t>(Verdict::kCompiles)]
         << "; will not compile: " << verdicts[static_cast<size_t>(Verdict::kWillNotCompile)]
         << "; stop the run: " << verdicts[static_cast<size_t>(Verdict::kStopsTheRun)];
    if (size_t unread = verdicts[static_cast<size_t>(Verdict::kCannotBeRead)]; unread > 0) {
      out_ << "; cannot be read: " << unread;
    }
    if (size_t left_out = verdicts[static_cast<size_t>(Verdict::kLeftOut)]; left_out > 0) {
      out_ << "; left out: " << left_out;
    }
    out_ << "\n";
  }
  for (size_t kind = 0; kind < FindingKinds().size(); ++kind) {
    if (totals.counts[kind] == 0) continue;
    out_ << "  " << FindingKinds()[kind].kind << ": " << totals.counts[kind] << "\n    "
         << FindingKinds()[kind].advice << "\n";
  }
}

}  // namespace vorlintex::app

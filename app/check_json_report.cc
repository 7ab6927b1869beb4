#include "app/check_json_report.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "contract/windows_1252.h"
#include "modulecheck/module_checker.h"

namespace vorlintex::app {
namespace {

using generator::FindingKinds;

// `text` must be UTF-8: quotes, backslashes and control characters are escaped.
std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

// Lines of a page: Windows-1252.
std::string PageText(std::string_view text) { return JsonString(Windows1252ToUtf8(text)); }
// Paths, and messages that hold one.
std::string Name(std::string_view text) { return JsonString(NameAsUtf8(text)); }

}  // namespace

JsonReport::JsonReport(std::ostream& out) : out_(out) { out_ << "{\"names\": ["; }

void JsonReport::EndNames() {
  if (pages_begun_) return;
  pages_begun_ = true;
  out_ << (list_empty_ ? "],\n\"pages\": [" : "\n],\n\"pages\": [");
  list_empty_ = true;
}

void JsonReport::PageBegins(std::string_view file) {
  const bool first_page = !pages_begun_;
  EndNames();
  out_ << (first_page ? "\n" : ",\n") << "{\"file\": " << Name(file) << ", \"findings\": [";
  list_empty_ = true;
}

void JsonReport::Found(const generator::Finding& finding) {
  out_ << (list_empty_ ? "\n" : ",\n") << "  {\"file\": " << Name(finding.file)
       << ", \"line\": " << finding.line
       << ", \"kind\": " << JsonString(FindingKinds()[finding.kind].kind)
       << ", \"message\": " << Name(finding.message) << ", \"source\": " << PageText(finding.source)
       << ", \"written\": " << PageText(finding.written) << ", \"included_from\": ";
  if (finding.included_from.empty()) {
    out_ << "null}";
  } else {
    out_ << "{\"file\": " << Name(finding.included_from)
         << ", \"line\": " << finding.included_from_line << "}}";
  }
  list_empty_ = false;
}

void JsonReport::PageEnds(const generator::PageRecord& page) {
  out_ << (list_empty_ ? "]" : "\n  ]") << ", \"includes\": [";
  const char* separator = "";
  for (const generator::IncludeRecord& include : page.includes) {
    out_ << separator << "{\"line\": " << include.line << ", \"file\": " << Name(include.file)
         << ", \"findings\": " << include.findings << ", \"told_with\": " << Name(include.told_with)
         << "}";
    separator = ", ";
  }
  out_ << "], \"verdict\": " << JsonString(generator::VerdictName(page.verdict))
       << ", \"class_module\": " << Name(page.class_module)
       << ", \"reasons\": " << page.module.reason_count << ", \"first_reasons\": [";
  separator = "";
  for (const modulecheck::Reason& reason : page.module.first_reasons) {
    out_ << separator << "{\"line\": " << reason.line
         << ", \"cause\": " << JsonString(modulecheck::CauseName(reason.cause))
         << ", \"message\": " << PageText(modulecheck::Explain(reason)) << "}";
    separator = ", ";
  }
  out_ << "]}";
  list_empty_ = true;
}

void JsonReport::CheckEnds(const generator::CheckTotals& totals) {
  const bool no_page = !pages_begun_;
  EndNames();
  out_ << (no_page ? "]" : "\n]") << ",\n\"pages_read\": " << totals.pages_read
       << ", \"pages_with_findings\": " << totals.pages_with_findings << ", \"verdicts\": {";
  for (size_t v = 0; v < generator::kVerdicts; ++v) {
    if (static_cast<generator::Verdict>(v) == generator::Verdict::kLeftOut &&
        totals.verdicts[v] == 0) {
      continue;  // only a check that keeps going leaves pages out
    }
    out_ << (v == 0 ? "" : ", ")
         << JsonString(generator::VerdictName(static_cast<generator::Verdict>(v))) << ": "
         << totals.verdicts[v];
  }
  std::string counts;
  std::string advice;
  for (size_t kind = 0; kind < FindingKinds().size(); ++kind) {
    if (totals.counts[kind] == 0) continue;
    const std::string name = JsonString(FindingKinds()[kind].kind);
    counts += (counts.empty() ? "" : ", ") + name + ": " + std::to_string(totals.counts[kind]);
    advice += (advice.empty() ? "" : ", ") + name + ": " + JsonString(FindingKinds()[kind].advice);
  }
  out_ << "},\n\"counts\": {" << counts << "},\n\"advice\": {" << advice << "}}\n";
}

}  // namespace vorlintex::app

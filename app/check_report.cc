#include "app/check_report.h"

#include <cstdio>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "contract/failure_log.h"
#include "contract/join.h"
#include "contract/output_file.h"
#include "html/escape.h"

namespace vorlintex::app {
namespace {

using generator::CheckResult;
using generator::Finding;

// Findings per kind, in the order of FindingKinds; kinds not found left out.
std::vector<std::pair<std::string_view, size_t>> CountsByKind(
    const std::vector<Finding>& findings) {
  std::vector<std::pair<std::string_view, size_t>> counts;
  for (std::string_view kind : generator::FindingKinds()) {
    size_t count = 0;
    for (const Finding& finding : findings) count += finding.kind == kind;
    if (count > 0) counts.emplace_back(kind, count);
  }
  return counts;
}

// The finding's place, its file spelled as `file`.
std::string Where(const Finding& finding, const std::string& file) {
  if (finding.file.empty()) return "vorlintex";
  if (finding.line == 0) return file;
  return file + ":" + std::to_string(finding.line);
}

// Bytes pass through as they are; quotes, backslashes and control bytes are escaped.
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

}  // namespace

void PrintFindings(const CheckResult& result, const Env& env, std::ostream& out) {
  for (const Finding& finding : result.findings) {
    out << Where(finding, env.DisplayPath(finding.file)) << ": warning: " << finding.message << " ["
        << finding.kind << "]\n";
  }
  PrintCheckSummary(result, out);
}

void PrintCheckSummary(const CheckResult& result, std::ostream& out) {
  out << "Pages read: " << result.pages_read
      << "; pages with findings: " << result.pages_with_findings << "\n";
  for (const auto& [kind, count] : CountsByKind(result.findings)) {
    out << "  " << kind << ": " << count << "\n";
  }
}

void PrintFindingsJson(const CheckResult& result, const Env& env, std::ostream& out) {
  out << "{\"pages_read\": " << result.pages_read
      << ", \"pages_with_findings\": " << result.pages_with_findings << ", \"counts\": {";
  const char* separator = "";
  for (const auto& [kind, count] : CountsByKind(result.findings)) {
    out << separator << JsonString(kind) << ": " << count;
    separator = ", ";
  }
  out << "}, \"findings\": [";
  separator = "\n";
  for (const Finding& finding : result.findings) {
    out << separator << "  {\"file\": " << JsonString(env.DisplayPath(finding.file))
        << ", \"line\": " << finding.line << ", \"kind\": " << JsonString(finding.kind)
        << ", \"message\": " << JsonString(finding.message)
        << ", \"source\": " << JsonString(finding.source)
        << ", \"written\": " << JsonString(finding.written) << "}";
    separator = ",\n";
  }
  out << (result.findings.empty() ? "]}\n" : "\n]}\n");
}

Status WriteFindingsHtml(const CheckResult& result, Env& env, const std::string& path) {
  using html::HtmlEscape;
  std::unique_ptr<fs::TextFileService> files;
  if (Status made = env.NewFileService(&files); !made.ok()) return made;
  FailureLog failures;
  OutputFile out(*files, path, &failures);
  auto line = [&out](std::initializer_list<std::string_view> pieces) {
    out.WriteLine(Join(pieces));
  };
  // Pages in the order their first finding came, each with its count per kind.
  std::vector<std::string> pages;
  std::map<std::string, std::map<std::string_view, size_t>> per_page;
  for (const Finding& finding : result.findings) {
    if (per_page.find(finding.file) == per_page.end()) pages.push_back(finding.file);
    ++per_page[finding.file][finding.kind];
  }
  const std::string pages_read = std::to_string(result.pages_read);
  const std::string pages_with_findings = std::to_string(result.pages_with_findings);
  line({"<!DOCTYPE html>"});
  line({"<html><head><meta charset=\"utf-8\"><title>vorlintex check</title>"});
  line(
      {"<style>body{font-family:sans-serif}table{border-collapse:collapse}"
       "td,th{border:1px solid #bbb;padding:2px 6px;vertical-align:top;text-align:left}"
       "pre{margin:0;white-space:pre-wrap}</style></head><body>"});
  line({"<h1>vorlintex check</h1>"});
  line({"<p>Pages read: ", pages_read, "; pages with findings: ", pages_with_findings, "</p>"});
  line({"<h2>Pages</h2>"});
  line({"<table><tr><th>File</th><th>Findings</th></tr>"});
  for (const std::string& page : pages) {
    std::string kinds;
    for (const auto& [kind, count] : per_page[page]) {
      if (!kinds.empty()) kinds += "<br>";
      kinds += HtmlEscape(kind) + ": " + std::to_string(count);
    }
    line({"<tr><td>", HtmlEscape(page.empty() ? "(the run's names)" : page), "</td><td>", kinds,
          "</td></tr>"});
  }
  line({"</table>"});
  line({"<h2>Findings</h2>"});
  line({"<table><tr><th>Where</th><th>What</th><th>Source line</th><th>Class module</th></tr>"});
  for (const Finding& finding : result.findings) {
    line({"<tr><td>", HtmlEscape(Where(finding, finding.file)), "</td><td>",
          HtmlEscape(finding.message), " [", HtmlEscape(finding.kind), "]</td><td><pre>",
          HtmlEscape(finding.source), "</pre></td><td><pre>", HtmlEscape(finding.written),
          "</pre></td></tr>"});
  }
  line({"</table>"});
  line({"</body></html>"});
  out.Close();
  if (out.WrittenWithoutFailure()) return Status::OK();
  const Failure& failed = failures.failures().front();
  return Status::IOError(failed.path, failed.reason);
}

}  // namespace vorlintex::app

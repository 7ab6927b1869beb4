#include "app/check_html_report.h"

#include <utility>

#include "contract/join.h"
#include "contract/windows_1252.h"
#include "html/escape.h"
#include "modulecheck/module_checker.h"

namespace vorlintex::app {
namespace {

using generator::FindingKinds;
using generator::Verdict;

// Enough to show what a kind does in a file; the text report lists every line.
constexpr size_t kShownExamples = 3;
constexpr size_t kShownLines = 40;

std::string Text(std::string_view page_bytes) {
  return html::HtmlEscape(Windows1252ToUtf8(page_bytes));
}
std::string Name(std::string_view name) { return html::HtmlEscape(NameAsUtf8(name)); }

std::string VerdictText(Verdict verdict) {
  switch (verdict) {
    case Verdict::kCompiles:
      return "compiles";
    case Verdict::kWillNotCompile:
      return "will not compile";
    case Verdict::kStopsTheRun:
      return "stops the run";
    case Verdict::kCannotBeRead:
      return "cannot be read";
    case Verdict::kLeftOut:
      return "left out";
  }
  return "";
}

std::string Count(size_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

// Wide lines wrap inside their cells; the summary, written last, is shown first.
constexpr char kStyle[] =
    "<style>body{font-family:sans-serif;margin:8px}.report{display:flex;flex-direction:column}"
    ".summary{order:-1}table{border-collapse:collapse;table-layout:fixed;width:100%;"
    "margin:4px 0}td,th{border:1px solid #bbb;padding:2px 6px;vertical-align:top;"
    "text-align:left;overflow-wrap:anywhere}col.n{width:7em}pre{margin:0;white-space:pre-wrap;"
    "overflow-wrap:anywhere}summary{cursor:pointer;overflow-wrap:anywhere}"
    "details{margin:2px 0}.v{color:#a00}</style>";

}  // namespace

HtmlReport::HtmlReport(Env& env, std::string path) {
  made_ = env.NewFileService(&files_);
  if (!made_.ok() || files_ == nullptr) {
    out_.emplace(std::move(path), nullptr, nullptr);
    return;
  }
  out_.emplace(*files_, std::move(path), &failures_);
  Line("<!DOCTYPE html>");
  Line(
      "<html lang=\"en\"><head><meta charset=\"utf-8\"><meta name=\"viewport\" "
      "content=\"width=device-width\"><title>vorlintex check</title>");
  Line(Join({kStyle, "</head><body>"}));
  Line("<h1>vorlintex check</h1><div class=\"report\">");
  Line("<section><h2>Pages</h2>");
}

HtmlReport::~HtmlReport() = default;

std::string HtmlReport::IncludeId(const std::string& file) {
  auto [it, added] = include_ids_.try_emplace(file, include_ids_.size() + 1);
  return "i" + std::to_string(it->second);
}

void HtmlReport::PageBegins(std::string_view) { groups_.clear(); }

void HtmlReport::Found(const generator::Finding& finding) {
  if (finding.file.empty()) {
    names_.push_back(Join({Text(finding.source), ": ", Name(finding.message), " [",
                           FindingKinds()[finding.kind].kind, "]"}));
    return;
  }
  Group* group = nullptr;
  for (Group& g : groups_) {
    if (g.kind == finding.kind && g.file == finding.file &&
        g.included_from_line == finding.included_from_line) {
      group = &g;
    }
  }
  if (group == nullptr) {
    group = &groups_.emplace_back();
    group->file.assign(finding.file);
    group->included_from_line = finding.included_from_line;
    group->kind = finding.kind;
  }
  ++group->count;
  if (group->lines.size() < kShownLines) group->lines.push_back(finding.line);
  if (group->examples.size() < kShownExamples) {
    group->examples.push_back(
        Group::Example{finding.line, Text(finding.source), Text(finding.written)});
  }
}

void HtmlReport::WriteGroups(const std::vector<Group>& groups) {
  const std::string* file = nullptr;
  int included_from_line = -1;
  for (const Group& group : groups) {
    if (file == nullptr || *file != group.file || included_from_line != group.included_from_line) {
      const bool first = file == nullptr;
      if (!first) Line("</table>");
      file = &group.file;
      included_from_line = group.included_from_line;
      if (included_from_line > 0) {
        Line(Join({"<h4 id=\"", IncludeId(group.file), "\">", Name(group.file),
                   ", included from line ", std::to_string(included_from_line), "</h4>"}));
      } else if (!first) {
        Line(Join({"<h4>", Name(group.file), "</h4>"}));  // back from an include file's lines
      }
      Line(
          "<table><colgroup><col class=\"n\"><col><col></colgroup><tr><th>Line</th>"
          "<th>Source line</th><th>Class module</th></tr>");
    }
    std::string lines;
    for (int line : group.lines) lines += (lines.empty() ? "" : ", ") + std::to_string(line);
    if (group.count > group.lines.size()) {
      lines += " and " + std::to_string(group.count - group.lines.size()) + " more";
    }
    const generator::FindingKind& kind = FindingKinds()[group.kind];
    Line(Join({"<tr><th colspan=\"3\">", kind.kind, ": ", std::to_string(group.count), " (line",
               group.count == 1 ? " " : "s ", lines, ")</th></tr>"}));
    for (const Group::Example& example : group.examples) {
      Line(Join({"<tr><td>", std::to_string(example.line), "</td><td><pre>", example.source,
                 "</pre></td><td><pre>", example.written, "</pre></td></tr>"}));
    }
  }
  if (file != nullptr) Line("</table>");
}

void HtmlReport::PageEnds(const generator::PageRecord& page) {
  size_t from_includes = 0;
  for (const generator::IncludeRecord& include : page.includes) {
    if (!include.told_here) from_includes += include.findings;
  }
  if (!page.HasFindings() && page.verdict == Verdict::kCompiles) return;
  const std::string id = "p" + std::to_string(pages_.size() + 1);
  pages_.push_back(PageLine{page.file, page.findings, from_includes, page.verdict});
  std::string counts = Count(page.findings, "finding", "findings");
  if (from_includes > 0) counts += " and " + std::to_string(from_includes) + " in include files";
  Line(Join({"<details id=\"", id, "\"><summary>", Name(page.file), ": ", counts, "; ",
             VerdictText(page.verdict), "</summary>"}));
  if (page.verdict == Verdict::kWillNotCompile) {
    std::string reasons;
    for (const modulecheck::Reason& reason : page.module.first_reasons) {
      reasons += "<br>" + Text(modulecheck::Explain(reason));
    }
    Line(Join({"<p class=\"v\">", Name(page.class_module), ": ",
               Count(page.module.reason_count, "reason", "reasons"), " it will not compile",
               reasons, "</p>"}));
  }
  WriteGroups(groups_);
  for (const generator::IncludeRecord& include : page.includes) {
    if (include.told_here) continue;
    Line(Join({"<p>Line ", std::to_string(include.line), " includes <a href=\"#",
               IncludeId(include.file), "\">", Name(include.file),
               "</a>: ", Count(include.findings, "finding", "findings"), ", shown with ",
               Name(include.told_with), ".</p>"}));
  }
  Line("</details>");
  groups_.clear();
}

void HtmlReport::CheckEnds(const generator::CheckTotals& totals) {
  const auto verdict = [&totals](Verdict v) {
    return std::to_string(totals.verdicts[static_cast<size_t>(v)]);
  };
  Line("</section>");
  Line("<section class=\"summary\"><h2>Summary</h2>");
  Line(Join({"<p>Pages read: ", std::to_string(totals.pages_read),
             "; pages with findings: ", std::to_string(totals.pages_with_findings), "<br>",
             "Pages that compile: ", verdict(Verdict::kCompiles), "; will not compile: ",
             verdict(Verdict::kWillNotCompile), "; stop the run: ", verdict(Verdict::kStopsTheRun),
             "; cannot be read: ", verdict(Verdict::kCannotBeRead),
             totals.verdicts[static_cast<size_t>(Verdict::kLeftOut)] == 0
                 ? ""
                 : "; left out: " + verdict(Verdict::kLeftOut),
             "</p>"}));
  for (const std::string& name : names_) Line(Join({"<p>", name, "</p>"}));
  if (!pages_.empty()) {
    Line("<h3>Pages to look at</h3>");
    Line(
        "<table><colgroup><col><col class=\"n\"><col class=\"n\"><col class=\"n\"></colgroup>"
        "<tr><th>Page</th><th>Findings</th><th>In include files</th><th>Verdict</th></tr>");
    for (size_t i = 0; i < pages_.size(); ++i) {
      const PageLine& page = pages_[i];
      Line(Join({"<tr><td><a href=\"#p", std::to_string(i + 1), "\">", Name(page.file),
                 "</a></td><td>", std::to_string(page.findings), "</td><td>",
                 std::to_string(page.from_includes), "</td><td>", VerdictText(page.verdict),
                 "</td></tr>"}));
    }
    Line("</table>");
  }
  if (totals.findings > 0) {
    Line("<h3>Kinds</h3>");
    Line(
        "<table><colgroup><col style=\"width:14em\"><col class=\"n\"><col><col></colgroup>"
        "<tr><th>Kind</th><th>Count</th><th>What happens</th><th>What to change</th></tr>");
    for (size_t kind = 0; kind < FindingKinds().size(); ++kind) {
      if (totals.counts[kind] == 0) continue;
      const generator::FindingKind& k = FindingKinds()[kind];
      Line(Join({"<tr><td>", k.kind, "</td><td>", std::to_string(totals.counts[kind]), "</td><td>",
                 html::HtmlEscape(k.what), "</td><td>", html::HtmlEscape(k.advice), "</td></tr>"}));
    }
    Line("</table>");
  }
  Line("</section></div></body></html>");
}

Status HtmlReport::Finish() {
  if (!made_.ok()) return made_;
  if (files_ == nullptr) return Status::Error(out_->path(), "no file service object");
  out_->Close();
  if (out_->WrittenWithoutFailure()) return Status::OK();
  const Failure& failed = failures_.failures().front();
  return Status::IOError(failed.path, failed.reason);
}

}  // namespace vorlintex::app

// The check as an HTML page, written as a file through the platform like every file the program
// writes (CR LF line ends). The summary comes first on screen (the pages to look at, then the
// kinds with their counts and advice), then each page folded, its findings grouped by file and
// kind: the count, the lines, and the first lines of each group shown beside what the class
// module holds for them. An include file's findings are shown once, with the first page that
// reads it; later pages link to them. Text is converted to UTF-8 (pages are Windows-1252).
//
// Memory: one page's groups at a time, each holding at most a few lines and line numbers, and
// a short record per page for the summary, which is written last and placed first by the
// style sheet.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "contract/env.h"
#include "contract/failure_log.h"
#include "contract/output_file.h"
#include "contract/status.h"
#include "generator/page_check.h"

namespace vorlintex::app {

class HtmlReport : public generator::CheckReporter {
 public:
  // Creates (or replaces) the file at `path` through a file service object of `env`.
  HtmlReport(Env& env, std::string path);
  ~HtmlReport() override;

  void PageBegins(std::string_view file) override;
  void Found(const generator::Finding& finding) override;
  // The page's record lists the include files it names when it ends.
  void IncludeNamed(const generator::IncludeRecord&) override {}
  void PageEnds(const generator::PageRecord& page) override;
  void CheckEnds(const generator::CheckTotals& totals) override;

  // Closes the file. Returns the first failure of the file service object or of the file,
  // naming the file; OK when the report was written whole.
  Status Finish();

 private:
  // The findings of one kind in one file of the page being written.
  struct Group {
    std::string file;
    int included_from_line = 0;  // 0 for the page's own lines
    size_t kind = 0;
    size_t count = 0;
    std::vector<int> lines;  // the first ones
    struct Example {
      int line;
      std::string source;
      std::string written;
    };
    std::vector<Example> examples;  // the first ones
  };
  // What the summary says of a page to look at.
  struct PageLine {
    std::string file;
    size_t findings;
    size_t from_includes;
    generator::Verdict verdict;
  };

  void Line(std::string_view text) { out_->WriteLine(text); }
  void WriteGroups(const std::vector<Group>& groups);
  std::string IncludeId(const std::string& file);

  Status made_;
  std::unique_ptr<fs::TextFileService> files_;
  FailureLog failures_;
  std::optional<OutputFile> out_;
  std::vector<Group> groups_;  // of the page being read, in the order first found
  std::vector<PageLine> pages_;
  std::map<std::string, size_t> include_ids_;
  std::vector<std::string> names_;  // findings on the run's names, as written
};

}  // namespace vorlintex::app

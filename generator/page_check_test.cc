#include "generator/page_check.h"

#include <gtest/gtest.h>

#include <string>

#include "generator/generation_run_test_texts.h"

namespace vorlintex::generator {
namespace {

// Writes down every call, one line each: "FILE:LINE [kind] source" for a finding (with "<
// PAGE:LINE" for an include file's), "= PAGE" when a page ends, with its count, the include
// files it names and its verdict.
class Recorder : public CheckReporter {
 public:
  void PageBegins(std::string_view file) override { told += "> " + std::string(file) + "\n"; }
  void Found(const Finding& f) override {
    told += std::string(f.file) + ":" + std::to_string(f.line) + " [" +
            std::string(FindingKinds()[f.kind].kind) + "] " + std::string(f.source);
    if (!f.included_from.empty()) {
      told += " < " + std::string(f.included_from) + ":" + std::to_string(f.included_from_line);
    }
    told += "\n";
  }
  void IncludeNamed(const IncludeRecord& i) override {
    told += "+ " + std::to_string(i.line) + " " + i.file + "\n";
  }
  void PageEnds(const PageRecord& page) override {
    told += "= " + page.file + " " + std::to_string(page.findings);
    for (const IncludeRecord& i : page.includes) {
      told += " (" + std::to_string(i.line) + " " + i.file + " " + std::to_string(i.findings) +
              (i.told_here ? " here" : " with " + i.told_with) + ")";
    }
    told += " " + std::string(VerdictName(page.verdict)) + "\n";
  }
  void CheckEnds(const CheckTotals& totals) override {
    told += "end " + std::to_string(totals.pages_read) + " " +
            std::to_string(totals.pages_with_findings) + " " + std::to_string(totals.findings) +
            (totals.missing_include ? " missing\n" : "\n");
  }
  std::string told;
};

TEST(PageCheckTest, TellsAsItGoes) {
  const struct {
    const char* name;
    RunInput input;
    std::vector<std::pair<std::string, std::string>> files;
    std::string told;
  } cases[] = {
      {"the run's names, and pages that cannot be read or named",
       {"C:\\src", "C:\\R&D", "My Shop.dll", {"my-page.asp", "gone.asp", "ok.asp"}},
       {{"C:\\src\\my-page.asp", "<p>a</p>\r\n"}, {"C:\\src\\ok.asp", "<p>a</p>\r\n"}},
       ":0 [dll-name] My Shop\n"
       ":0 [build-script-name] C:\\R&D\\My Shop.vbp\n"
       "> C:\\src\\my-page.asp\n"
       "C:\\src\\my-page.asp:1 [page-name] my-page\n"
       "= C:\\src\\my-page.asp 1 will-not-compile\n"
       "> C:\\src\\gone.asp\n"
       "C:\\src\\gone.asp:1 [unreadable-page] No such file or directory\n"
       "= C:\\src\\gone.asp 1 cannot-be-read\n"
       "> C:\\src\\ok.asp\n"
       "= C:\\src\\ok.asp 0 compiles\n"
       "end 3 2 4\n"},
      // Names as on disk; the passes before the body pass are told among its lines, in line
      // order; an include file is told once, with the first page and directive that read it.
      {"include files once, in line order",
       {"C:\\src", "C:\\out", "Shop", {"alter_add.asp", "b.asp"}},
       {{"C:\\src\\ALTER_ADD.ASP",
         "Hi <% a = 1 %>\r\n<!-- #include file=\"menu.inc\" -->\r\n"
         "<!-- #include file=\"gone.inc\" -->\r\n<!-- #include file=\"MENU.INC\" -->\r\n"
         "Ho <% a = 2 %>\r\n"},
        {"C:\\src\\b.asp", "<!-- #include file=\"menu.inc\" -->\r\n<p>b</p>\r\n"},
        {"C:\\src\\Menu.Inc", "M <% m = 1 %>\r\n<p>\xe9</p>\r\n"}},
       "> C:\\src\\ALTER_ADD.ASP\n"
       "C:\\src\\ALTER_ADD.ASP:1 [text-before-code] Hi <% a = 1 %>\n"
       "C:\\src\\Menu.Inc:1 [text-before-code] M <% m = 1 %> < C:\\src\\ALTER_ADD.ASP:2\n"
       "C:\\src\\Menu.Inc:2 [not-ascii] <p>\xe9</p> < C:\\src\\ALTER_ADD.ASP:2\n"
       "C:\\src\\ALTER_ADD.ASP:3 [missing-include] <!-- #include file=\"gone.inc\" -->\n"
       "+ 4 C:\\src\\Menu.Inc\n"
       "C:\\src\\ALTER_ADD.ASP:5 [text-before-code] Ho <% a = 2 %>\n"
       "= C:\\src\\ALTER_ADD.ASP 5 (2 C:\\src\\Menu.Inc 2 here)"
       " (4 C:\\src\\Menu.Inc 2 with C:\\src\\ALTER_ADD.ASP) stops-the-run\n"
       "> C:\\src\\b.asp\n"
       "+ 1 C:\\src\\Menu.Inc\n"
       "= C:\\src\\b.asp 0 (1 C:\\src\\Menu.Inc 2 with C:\\src\\ALTER_ADD.ASP) compiles\n"
       "end 2 2 5 missing\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::MemoryRun run;
    for (const auto& [path, bytes] : c.files) run.files->AddFile(path, bytes);
    Recorder recorder;
    const CheckTotals totals = CheckPages(c.input, run.env, {&recorder});
    EXPECT_EQ(recorder.told, c.told);
    size_t counted = 0;
    for (size_t count : totals.counts) counted += count;
    EXPECT_EQ(counted, totals.findings);
  }
}

// The missing include names the file it looked for; a page whose class module will not compile
// says so with the module checker's reasons.
TEST(PageCheckTest, MessagesAndVerdicts) {
  testing::MemoryRun run;
  run.files->AddFile("C:\\src\\a.asp", "<!-- #include file=\"inc\\gone.inc\" -->\r\n");
  run.files->AddFile("C:\\src\\b.asp", "<% Function F()\r\nEnd Function %>\r\n");
  struct Messages : CheckReporter {
    void PageBegins(std::string_view) override {}
    void Found(const Finding& f) override { told += std::string(f.message) + "\n"; }
    void IncludeNamed(const IncludeRecord&) override {}
    void PageEnds(const PageRecord& page) override {
      told += std::string(VerdictName(page.verdict)) + " " +
              std::to_string(page.module.reason_count) + "\n";
    }
    void CheckEnds(const CheckTotals&) override {}
    std::string told;
  } messages;
  CheckPages(RunInput{"C:\\src", "C:\\out", "Shop", {"a.asp", "b.asp"}}, run.env, {&messages});
  EXPECT_EQ(messages.told,
            "the include file C:\\src\\inc\\gone.inc does not exist: a run stops at this page\n"
            "stops-the-run 0\n"
            "a Function or Property lands inside the page method: Visual Basic will not compile "
            "it\n"
            "will-not-compile 1\n");
}

}  // namespace
}  // namespace vorlintex::generator

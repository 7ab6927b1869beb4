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
    CheckRules rules = {};
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
      // The compilable rules' findings, each at its line (a whole page's at line 1), an include
      // file's once, also when it includes itself; a page's class name is made to compile, and
      // a page whose include is missing is left out when the check keeps going.
      {"the compilable rules",
       {"C:\\src",
        "C:\\out",
        "Shop",
        {"a.asp", "b.asp", "c.asp", "2-a-page-named-to-make-a-long-progid.asp", "big.asp"},
        true,
        true},
       {{"C:\\src\\a.asp",
         "<!-- #include file=\"lib.inc\" -->\r\n<% Execute \"x = 1\" %>\r\n"
         "<script runat=\"server\" language=\"JScript\">var q;</script>\r\n<%#@~^AA==%>\r\n"
         "<!-- #include file=\"gone.inc\" -->\r\n"},
        {"C:\\src\\Lib.inc",
         "<% Sub L() : Eval(\"1\") : End Sub %>\r\n<!-- #include file=\"lib.inc\" -->\r\n"},
        {"C:\\src\\b.asp",
         "<!-- #include file=\"lib.inc\" -->\r\n<% Sub L() : End Sub %>\r\n<% Class Box\r\n"
         "Sub Add(v)\r\n%>\r\n"},
        {"C:\\src\\c.asp",
         "<% Class Box\r\nEnd Class %>\r\n<!-- #include file=\"open.inc\" -->\r\n"},
        {"C:\\src\\open.inc", "<% Sub Never() %>\r\n"},
        {"C:\\src\\2-a-page-named-to-make-a-long-progid.asp", "<p>x</p>\r\n"},
        {"C:\\src\\big.asp", "<% With o %>" + std::string(70000, 'x') + "<% End With %>"}},
       "> C:\\src\\a.asp\n"
       "C:\\src\\Lib.inc:1 [no-equivalent] <% Sub L() : Eval(\"1\") : End Sub %> < "
       "C:\\src\\a.asp:1\n"
       "C:\\src\\Lib.inc:2 [include-cycle] <!-- #include file=\"lib.inc\" --> < C:\\src\\a.asp:1\n"
       "C:\\src\\a.asp:2 [no-equivalent] <% Execute \"x = 1\" %>\n"
       "C:\\src\\a.asp:3 [foreign-script] <script runat=\"server\" language=\"JScript\">var "
       "q;</script>\n"
       "C:\\src\\a.asp:4 [encoded-script] <%#@~^AA==%>\n"
       "C:\\src\\a.asp:5 [missing-include] <!-- #include file=\"gone.inc\" -->\n"
       "= C:\\src\\a.asp 6 (1 C:\\src\\Lib.inc 2 here) left-out\n"
       "> C:\\src\\b.asp\n"
       "+ 1 C:\\src\\Lib.inc\n"
       "C:\\src\\b.asp:2 [procedure-redefined] <% Sub L() : End Sub %>\n"
       "C:\\src\\b.asp:3 [procedure-not-closed] <% Class Box\n"
       "= C:\\src\\b.asp 2 (1 C:\\src\\Lib.inc 2 with C:\\src\\a.asp) will-not-compile\n"
       "> C:\\src\\c.asp\n"
       "C:\\src\\open.inc:1 [procedure-not-closed] <% Sub Never() %> < C:\\src\\c.asp:3\n"
       "C:\\src\\c.asp:1 [class-redefined] Box\n"
       "= C:\\src\\c.asp 2 compiles\n"
       "> C:\\src\\2-a-page-named-to-make-a-long-progid.asp\n"
       "C:\\src\\2-a-page-named-to-make-a-long-progid.asp:1 [progid-too-long] "
       "Shop.p2_a_page_named_to_make_a_long_progid\n"
       "= C:\\src\\2-a-page-named-to-make-a-long-progid.asp 1 compiles\n"
       "> C:\\src\\big.asp\n"
       "C:\\src\\big.asp:1 [block-too-large] \n"
       "= C:\\src\\big.asp 1 will-not-compile\n"
       "end 5 5 12 missing\n",
       {RuleSet::kCompilable, ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::MemoryRun run;
    for (const auto& [path, bytes] : c.files) run.files->AddFile(path, bytes);
    Recorder recorder;
    const CheckTotals totals = CheckPages(c.input, run.env, {&recorder}, c.rules);
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

  // The compilable rules name what they concern; a page of a subfolder reads its includes
  // under the source folder or the site root only.
  run.files->AddFile(
      "C:\\src\\sub\\p.asp",
      "<!-- #include file=\"..\\..\\secret.inc\" -->\r\n"
      "<!-- #include virtual=\"/inc/gone.inc\" -->\r\n<% x = Eval(y)\r\nSub S() %>\r\n");
  RunInput site{"C:\\src", "C:\\out", "Shop", {"sub\\p.asp"}};
  site.subfolders = true;
  messages.told.clear();
  CheckPages(site, run.env, {&messages}, {RuleSet::kCompilable, "C:\\root"});
  EXPECT_EQ(messages.told,
            "the include file C:\\secret.inc lies outside the source folder and the site root: it "
            "is not read\n"
            "the include file C:\\root\\inc\\gone.inc does not exist: a run stops at this page\n"
            "Visual Basic 6 has no Eval: the statement is kept as written, and will not compile\n"
            "S is never closed: it is closed at the end of the page, and holds the rest of the "
            "page\n"
            "stops-the-run 1\n");
}

}  // namespace
}  // namespace vorlintex::generator

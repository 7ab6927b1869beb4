#include "app/cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/fault_injection_env.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"
#ifndef _WIN32
#include <stdlib.h>

#include "platform/posix_env.h"
#endif

namespace vorlintex::app {
namespace {

using Args = std::vector<std::string>;

// The pages to convert in C:\src, the pages to check in C:\chk.
class CliTest : public ::testing::Test {
 protected:
  CliTest() { AddFiles(); }

  void AddFiles() {
    env_.reset();
    files_ = fs::MemoryFileSystem::Create();
    memory_ = std::make_unique<MemoryEnv>(files_);
    env_ = std::make_unique<FaultInjectionEnv>(*memory_);
    files_->AddFile("C:\\src\\Orders.asp", "<p>Orders</p>\r\n");
    files_->AddFile("C:\\src\\menu.ASP", "<p>Menu</p>\r\n");
    files_->AddFile("C:\\src\\notes.txt", "notes\r\n");
    files_->AddFile("C:\\src\\top.inc", "<p>top</p>\r\n");
    files_->AddFile("C:\\chk\\a.asp", "Hi <% x = 1 %>\r\n<p>ok</p>\r\n");
    files_->AddFile("C:\\chk\\b.asp", "<p>b</p>\r\n");
    files_->AddFile("C:\\chk\\c.asp", "<!-- #include file=\"gone.inc\" -->\r\n");
    files_->AddFile("C:\\chk\\d.asp", "<!-- #include file=\"m.inc\" -->\r\n<p>caf\xe9</p>\r\n");
    files_->AddFile("C:\\chk\\E.ASP",
                    "<!-- #include file=\"M.INC\" -->\r\n<% Function F()\r\nEnd Function %>\r\n");
    files_->AddFile("C:\\chk\\m.inc", "M <% m = 1 %>\r\n");
    files_->AddFile("C:\\inc\\default.asp", "<!-- #include file=\"Menu.asp\" -->\r\n");
    files_->AddFile("C:\\inc\\menu.asp", "<p>Menu</p>\r\n");
    env_->FailOn(FileOperation::kCreateFolder, "C:\\elsewhere");
  }

  int Run(const Args& args) {
    out_.str("");
    err_.str("");
    // The command owns the Env it is given: a wrapper that injects nothing of its own lends it
    // the fixture's, whose faults and count outlast the command.
    return RunCli(
        args, [this] { return std::make_unique<FaultInjectionEnv>(*env_); }, out_, err_);
  }

  std::shared_ptr<fs::MemoryFileSystem> files_;
  std::unique_ptr<MemoryEnv> memory_;
  std::unique_ptr<FaultInjectionEnv> env_;
  std::ostringstream out_;
  std::ostringstream err_;
};

Args Convert(const Args& more, const std::string& target = "C:\\out") {
  Args args = {"convert", "--source", "C:\\src", "--target", target, "--dll", "Shop.dll"};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

Args Check(const Args& more) {
  Args args = {"check", "--source", "C:\\chk"};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// The head of every HTML report of check, up to its pages.
const std::string kReportHead =
    "<!DOCTYPE html>\r\n"
    "<html lang=\"en\"><head><meta charset=\"utf-8\"><meta name=\"viewport\" content=\"width="
    "device-width\"><title>vorlintex check</title>\r\n"
    "<style>body{font-family:sans-serif;margin:8px}.report{display:flex;flex-direction:column"
    "}.summary{order:-1}table{border-collapse:collapse;table-layout:fixed;width:100%;margin:4"
    "px 0}td,th{border:1px solid #bbb;padding:2px 6px;vertical-align:top;text-align:left;over"
    "flow-wrap:anywhere}col.n{width:7em}pre{margin:0;white-space:pre-wrap;overflow-wrap:anywh"
    "ere}summary{cursor:pointer;overflow-wrap:anywhere}details{margin:2px 0}.v{color:#a00}</s"
    "tyle></head><body>\r\n"
    "<h1>vorlintex check</h1><div class=\"report\">\r\n"
    "<section><h2>Pages</h2>\r\n";

// What each command line exits with, and a part of what it prints (on stdout when it exits
// zero, on stderr otherwise). A usage error is one line on stderr that points to the help, and
// nothing is written.
TEST_F(CliTest, ExitStatusAndMessage) {
  const struct {
    Args args;
    int status;
    std::string said;
  } cases[] = {
      {{"--version"}, 0, "vorlintex 1.0.0\n"},
      {{"--help"}, 0, "convert"},
      {{"serve", "--help"}, 0, "--listen"},
      {{"convert", "--help"},
       0,
       "\n  75  another run was writing into the target folder and --no-wait"},
      {Convert({"--html", "Orders.asp"}), 0, "Done generating all the VB files in C:\\out.<BR>"},
      {Convert({"--all"}), 0, "Pages converted into C:\\out: 2\n"},  // no text file, no .inc
      {{"convert", "--source", "C:\\chk", "--target", "C:\\out", "--dll", "x", "b.asp", "c.asp",
        "a.asp"},
       2,
       "vorlintex: the include file C:\\chk\\gone.inc was not found"},
      {Convert({"Orders.asp"}, "c:\\SRC"), 1, "the target directory is the source directory"},
      {{"convert", "--source", "C:", "--target", "C:\\out", "--dll", "x", "--all"},
       1,
       "vorlintex: no ASP pages found in C:; its subfolders hold 9, which --recursive converts; "
       "nothing was written\n"},
      {{"convert", "--source", "C:", "--target", "C:\\out", "--dll", "x", "--recursive"},
       2,
       "vorlintex: the include file C:\\chk\\gone.inc was not found"},
      {{"convert", "--source", "C:", "--target", "C:\\out", "--dll", "x", "--recursive",
        "--keep-going"},
       2,
       "vorlintex: 1 page(s) were left out for a missing include file\n"},
      {{"check", "--source", "C:", "--recursive"}, 2, ""},
      {Convert({"--recursive", "Orders.asp"}), 64, "--recursive"},
      {{"convert", "--source", "C:\\inc", "--target", "C:\\out", "--dll", "x", "--all"},
       0,
       "Include files left out of the pages (--include-files-too converts them): 1\n"
       "  menu.asp\nPages converted into C:\\out: 1\n"},
      {{"convert", "--source", "C:\\inc", "--target", "C:\\out", "--dll", "x", "--all",
        "--include-files-too"},
       0,
       "Pages converted into C:\\out: 2\n"},
      {{"check", "--source", "C:\\inc", "--all"},
       0,
       "Include files left out of the pages (--include-files-too checks them): 1\n  menu.asp\n"
       "Pages read: 1;"},
      {{"convert", "--source", "C:\\nowhere", "--target", "C:\\out", "--dll", "x", "--all"},
       1,
       "vorlintex: cannot list the source folder C:\\nowhere"},
      {{"check", "--source", "C:\\src\\Orders.asp", "--all"},
       1,
       "vorlintex: cannot list the source folder C:\\src\\Orders.asp"},
      {Convert({"--html", "Orders.asp"}, "C:\\elsewhere"), 1,
       "vorlintex: cannot create C:\\elsewhere: injected failure\n"},
      {Check({"b.asp"}), 0, "Pages read: 1; pages with findings: 0\n"},
      {Check({"b.asp", "--rules", "compilable"}), 0, "Pages read: 1; pages with findings: 0\n"},
      {Check({"b.asp", "--rules", "strict"}), 64, "--rules"},
      {Check({"c.asp", "--keep-going"}), 2, ""},
      {{"convert", "--source", "C:\\chk", "--target", "C:\\out", "--dll", "Shop", "E.ASP"},
       0,
       "\n1 of 1 class modules will not compile, as far as the module checker can tell: run "
       "vorlintex check --source C:\\chk --dll Shop E.ASP for the reasons\n"},
      {Check({"b.asp", "--dll", "my shop"}), 1, ""},
      {Check({"--all"}), 2, ""},
      {{}, 64, "vorlintex"},
      {{"frobnicate"}, 64, "frobnicate"},
      {{"serve", "--listen", "nowhere"}, 64, "--listen"},
      {{"serve", "--threads", "0"}, 64, "--threads"},
      {{"convert", "--source", "C:\\src"}, 64, "--target"},
      {Convert({}), 64, "name the pages"},
      {Convert({"--all", "Orders.asp"}), 64, "--all"},
      {Convert({"--nonsense", "Orders.asp"}), 64, "--nonsense"},
      {Convert({"--all"}, ""), 64, "--target cannot be blank"},
      {Convert({"--all", "--build-path", ""}), 64, "--build-path cannot be blank"},
      {Convert({"--all", "--compiler", ""}), 64, "--compiler cannot be blank"},
      {{"convert", "--source", "C:\\src", "--target", "C:\\out", "--dll", "../../x", "--all"},
       64,
       "Dll Name cannot contain \\, / or :."},
      {{"convert", "--source", "C:\\src", "--target", "C:\\out", "--dll", ".dll", "--all"},
       64,
       "--dll cannot be blank"},
      {Convert({"Orders.asp", "..\\secret.asp"}), 64,
       "'..\\secret.asp' is not a page of the source folder"},
      {Check({}), 64, "name the pages to check"},
      {Check({"b.asp", "--format", "xml"}), 64, "--format"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    AddFiles();
    EXPECT_EQ(Run(c.args), c.status);
    const std::string said = c.status == 0 ? out_.str() : err_.str();
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
    if (c.status == 64) {
      EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
      EXPECT_NE(said.find("--help"), std::string::npos) << said;
      EXPECT_EQ(out_.str(), "");
      EXPECT_FALSE(files_->FolderExists("C:\\out"));
    }
  }
}

// The counts are what is on disk: a page counts when all its files took their names.
TEST_F(CliTest, AFailedFileOperationExitsOneAndCountsWhatIsOnDisk) {
  env_->FailOn(FileOperation::kClose, "C:\\out\\orders.cls");
  EXPECT_EQ(Run(Convert({"Orders.asp", "menu.asp", "gone.asp"})), 1);
  EXPECT_EQ(out_.str(),
            "Pages converted into C:\\out: 1\n"
            "Files written: 7\n"
            "Build script to run: C:\\out\\Shop.bat\n"
            "Failures: 2\n"
            "  cannot write C:\\out\\orders.cls: injected failure\n"
            "  cannot read C:\\src\\gone.asp: No such file or directory\n");
  EXPECT_EQ(files_->AllFiles().size(), 7u + 12u);
}

// While another process (a second Env over the same store) holds the target folder, a
// conversion waits for it, and with --no-wait exits 75 at once, having written nothing.
TEST_F(CliTest, AConversionWaitsForTheTargetFolderOrWithNoWaitExitsAtOnce) {
  files_->AddFolder("C:\\out");
  MemoryEnv other(files_);
  std::unique_ptr<FolderTurn> held;
  ASSERT_TRUE(other.TakeFolderTurn("C:\\out", true, &held).ok());
  const size_t sources = files_->AllFiles().size();
  EXPECT_EQ(Run(Convert({"--no-wait", "Orders.asp"})), 75);
  EXPECT_EQ(err_.str(),
            "vorlintex: another run is writing into C:\\out; nothing was written (without "
            "--no-wait the run waits for it)\n");
  EXPECT_EQ(files_->AllFiles().size(), sources);
  int status = -1;
  std::thread waiting([&] { status = Run(Convert({"Orders.asp"})); });
  files_->turns().AwaitWaiters(1);
  EXPECT_EQ(files_->AllFiles().size(), sources);
  held.reset();
  waiting.join();
  EXPECT_EQ(status, 0);
  EXPECT_EQ(files_->AllFiles().size(), sources + 5);
}

// The build line names the project where the compiling machine sees it, and the compiler given;
// the files are still written where --target names them.
TEST_F(CliTest, BuildPathAndCompilerNameTheBuildLine) {
  ASSERT_EQ(Run(Convert({"--build-path", "C:\\build\\site", "--compiler", "D:\\VB\\VB6.EXE",
                         "Orders.asp"})),
            0)
      << err_.str();
  EXPECT_EQ(out_.str(),
            "Pages converted into C:\\out: 1\n"
            "Files written: 5\n"
            "Build script to run: C:\\out\\Shop.bat\n");
  EXPECT_EQ(files_->Contents("C:\\out\\Shop.bat"),
            "\"D:\\VB\\VB6.EXE\" C:\\build\\site\\Shop.vbp /m\r\n");
  ASSERT_EQ(Run({"convert", "--help"}), 0);
  EXPECT_NE(out_.str().find("--build-path WINDOWS_FOLDER"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("--compiler PATH"), std::string::npos) << out_.str();
}

// A run a missing include file stopped names the files it left as they were: the earlier
// project file stays, and the stopped page has none.
TEST_F(CliTest, AStoppedRunSaysWhichFilesItLeftAsTheyWere) {
  files_->AddFile("C:\\out\\Shop.vbp", "an earlier project\r\n");
  EXPECT_EQ(Run({"convert", "--source", "C:\\chk", "--target", "C:\\out", "--dll", "Shop", "b.asp",
                 "c.asp", "a.asp"}),
            2);
  EXPECT_EQ(out_.str(),
            "Pages converted into C:\\out: 1\n"
            "Files written: 3\n"
            "Files left as they were: 5\n"
            "  C:\\out\\c.cls\n"
            "  C:\\out\\c.asp\n"
            "  C:\\out\\c.vbw\n"
            "  C:\\out\\Shop.vbp\n"
            "  C:\\out\\Shop.bat\n");
  EXPECT_EQ(files_->Contents("C:\\out\\Shop.vbp"), "an earlier project\r\n");
  EXPECT_EQ(files_->AllFiles().size(), 12u + 1u + 3u);
}

// With --keep-going the page that lacks an include file is left out, its earlier files kept,
// and the pages after it are converted; the run still exits 2.
TEST_F(CliTest, KeepGoingLeavesOutThePageThatLacksAnInclude) {
  files_->AddFile("C:\\out\\c.cls", "an earlier class\r\n");
  EXPECT_EQ(Run({"convert", "--source", "C:\\chk", "--target", "C:\\out", "--dll", "Shop", "b.asp",
                 "c.asp", "a.asp", "--keep-going"}),
            2);
  EXPECT_EQ(out_.str(),
            "Pages converted into C:\\out: 2\n"
            "Files written: 8\n"
            "Pages left out for a missing include file: 1\n"
            "  c.asp: C:\\chk\\gone.inc\n"
            "Build script to run: C:\\out\\Shop.bat\n");
  EXPECT_EQ(err_.str(), "vorlintex: 1 page(s) were left out for a missing include file\n");
  EXPECT_EQ(files_->Contents("C:\\out\\c.cls"), "an earlier class\r\n");
  EXPECT_EQ(files_->Contents("C:\\out\\c.asp"), std::nullopt);
  EXPECT_NE(files_->Contents("C:\\out\\Shop.vbp").value_or("").find("Class=a; a.cls"),
            std::string::npos);
}

TEST_F(CliTest, CheckReportsInTextJsonAndHtml) {
  ASSERT_EQ(Run(Check({"a.asp", "d.asp", "e.asp"})), 1) << err_.str();
  EXPECT_EQ(
      out_.str(),
      "C:\\chk\\a.asp:1: warning: text before \"<%\" on a code line is dropped [text-before-cod"
      "e]\n"
      "In file included from C:\\chk\\d.asp:1:\n"
      "C:\\chk\\m.inc:1: warning: text before \"<%\" on a code line is dropped [text-before-cod"
      "e]\n"
      "C:\\chk\\d.asp:2: warning: bytes outside ASCII (or a byte order mark): Visual Basic 6 re"
      "ads class files in the system's ANSI code page [not-ascii]\n"
      "C:\\chk\\E.ASP:1: note: includes C:\\chk\\m.inc, whose 1 finding is listed with C:\\chk"
      "\\d.asp\n"
      "C:\\chk\\E.ASP:2: warning: a Function or Property lands inside the page method: Visual B"
      "asic will not compile it [procedure-in-page-method]\n"
      "C:\\chk\\E.ASP:1: error: e.cls: this module will not compile, at line 42, because a Func"
      "tion starts inside Sub e of line 33; procedures cannot nest [will-not-compile]\n"
      "Pages read: 3; pages with findings: 3\n"
      "Pages that compile: 2; will not compile: 1; stop the run: 0\n"
      "  text-before-code: 2\n"
      "    move the text before \"<%\" to a line of its own\n"
      "  procedure-in-page-method: 1\n"
      "    rewrite the Function or Property as a Sub: only Subs are moved out of the page metho"
      "d\n"
      "  not-ascii: 1\n"
      "    save the page in the site's ANSI code page without a byte order mark, or write such "
      "characters as HTML entities (\"&eacute;\")\n");
  // The report is a file the program writes, through the platform like every other.
  ASSERT_EQ(Run(Check({"a.asp", "b.asp", "--html", "C:\\chk\\check.html"})), 1) << err_.str();
  EXPECT_EQ(
      files_->Contents("C:\\chk\\check.html"),
      kReportHead +
          "<details id=\"p1\"><summary>C:\\chk\\a.asp: 1 finding; compiles</summary>\r\n"
          "<table><colgroup><col class=\"n\"><col><col></colgroup><tr><th>Line</th><th>Source line<"
          "/th><th>Class module</th></tr>\r\n"
          "<tr><th colspan=\"3\">text-before-code: 1 (line 1)</th></tr>\r\n"
          "<tr><td>1</td><td><pre>Hi &lt;% x = 1 %&gt;</pre></td><td><pre> x = 1 </pre></td></tr>\r"
          "\n"
          "</table>\r\n"
          "</details>\r\n"
          "</section>\r\n"
          "<section class=\"summary\"><h2>Summary</h2>\r\n"
          "<p>Pages read: 2; pages with findings: 1<br>Pages that compile: 2; will not compile: 0; "
          "stop the run: 0; cannot be read: 0</p>\r\n"
          "<h3>Pages to look at</h3>\r\n"
          "<table><colgroup><col><col class=\"n\"><col class=\"n\"><col class=\"n\"></colgroup><tr>"
          "<th>Page</th><th>Findings</th><th>In include files</th><th>Verdict</th></tr>\r\n"
          "<tr><td><a href=\"#p1\">C:\\chk\\a.asp</a></td><td>1</td><td>0</td><td>compiles</td></tr"
          ">\r\n"
          "</table>\r\n"
          "<h3>Kinds</h3>\r\n"
          "<table><colgroup><col style=\"width:14em\"><col class=\"n\"><col><col></colgroup><tr><th"
          ">Kind</th><th>Count</th><th>What happens</th><th>What to change</th></tr>\r\n"
          "<tr><td>text-before-code</td><td>1</td><td>text before &quot;&lt;%&quot; on a code line "
          "is dropped</td><td>move the text before &quot;&lt;%&quot; to a line of its own</td></tr>"
          "\r\n"
          "</table>\r\n"
          "</section></div></body></html>\r\n");
  EXPECT_EQ(Run(Check({"b.asp", "--html", "C:\\elsewhere\\check.html"})), 1);
  EXPECT_EQ(err_.str(),
            "vorlintex: cannot write C:\\elsewhere\\check.html: No such file or directory\n");

  // Page text in UTF-8, converted from Windows-1252.
  ASSERT_EQ(Run(Check({"d.asp", "e.asp", "c.asp", "--format", "json"})), 2) << err_.str();
  EXPECT_EQ(
      out_.str(),
      "{\"names\": [],\n"
      "\"pages\": [\n"
      "{\"file\": \"C:\\\\chk\\\\d.asp\", \"findings\": [\n"
      "  {\"file\": \"C:\\\\chk\\\\m.inc\", \"line\": 1, \"kind\": \"text-before-code\", \"mess"
      "age\": \"text before \\\"<%\\\" on a code line is dropped\", \"source\": \"M <% m = 1 %>"
      "\", \"written\": \" m = 1 \", \"included_from\": {\"file\": \"C:\\\\chk\\\\d.asp\", \"li"
      "ne\": 1}},\n"
      "  {\"file\": \"C:\\\\chk\\\\d.asp\", \"line\": 2, \"kind\": \"not-ascii\", \"message\": "
      "\"bytes outside ASCII (or a byte order mark): Visual Basic 6 reads class files in the sy"
      "stem's ANSI code page\", \"source\": \"<p>caf\xC3\xA9</p>\", \"written\": \"Response.Wri"
      "te (\\\"<p>caf\xC3\xA9</p>\\\" & vbCrlf)\", \"included_from\": null}\n"
      "  ], \"includes\": [{\"line\": 1, \"file\": \"C:\\\\chk\\\\m.inc\", \"findings\": 1, \"t"
      "old_with\": \"C:\\\\chk\\\\d.asp\"}], \"verdict\": \"compiles\", \"class_module\": \"d.c"
      "ls\", \"reasons\": 0, \"first_reasons\": []},\n"
      "{\"file\": \"C:\\\\chk\\\\E.ASP\", \"findings\": [\n"
      "  {\"file\": \"C:\\\\chk\\\\E.ASP\", \"line\": 2, \"kind\": \"procedure-in-page-method\""
      ", \"message\": \"a Function or Property lands inside the page method: Visual Basic will "
      "not compile it\", \"source\": \"<% Function F()\", \"written\": \" Function F()\", \"inc"
      "luded_from\": null}\n"
      "  ], \"includes\": [{\"line\": 1, \"file\": \"C:\\\\chk\\\\m.inc\", \"findings\": 1, \"t"
      "old_with\": \"C:\\\\chk\\\\d.asp\"}], \"verdict\": \"will-not-compile\", \"class_module"
      "\": \"e.cls\", \"reasons\": 1, \"first_reasons\": [{\"line\": 42, \"cause\": \"nested-pr"
      "ocedure\", \"message\": \"this module will not compile, at line 42, because a Function s"
      "tarts inside Sub e of line 33; procedures cannot nest\"}]},\n"
      "{\"file\": \"C:\\\\chk\\\\c.asp\", \"findings\": [\n"
      "  {\"file\": \"C:\\\\chk\\\\c.asp\", \"line\": 1, \"kind\": \"missing-include\", \"messa"
      "ge\": \"the include file C:\\\\chk\\\\gone.inc does not exist: a run stops at this page"
      "\", \"source\": \"<!-- #include file=\\\"gone.inc\\\" -->\", \"written\": \"\", \"includ"
      "ed_from\": null}\n"
      "  ], \"includes\": [], \"verdict\": \"stops-the-run\", \"class_module\": \"c.cls\", \"re"
      "asons\": 0, \"first_reasons\": []}\n"
      "],\n"
      "\"pages_read\": 3, \"pages_with_findings\": 3, \"verdicts\": {\"compiles\": 1, \"will-no"
      "t-compile\": 1, \"stops-the-run\": 1, \"cannot-be-read\": 0},\n"
      "\"counts\": {\"text-before-code\": 1, \"procedure-in-page-method\": 1, \"not-ascii\": 1,"
      " \"missing-include\": 1},\n"
      "\"advice\": {\"text-before-code\": \"move the text before \\\"<%\\\" to a line of its ow"
      "n\", \"procedure-in-page-method\": \"rewrite the Function or Property as a Sub: only Sub"
      "s are moved out of the page method\", \"not-ascii\": \"save the page in the site's ANSI "
      "code page without a byte order mark, or write such characters as HTML entities (\\\"&eac"
      "ute;\\\")\", \"missing-include\": \"add the include file to the source folder, or correc"
      "t the file name in the directive\"}}\n");

  // A conversion with a check adds its summary, and writes its report into the target.
  ASSERT_EQ(Run({"convert", "--source", "C:\\chk", "--target", "C:\\out", "--dll", "Shop",
                 "--check", "a.asp"}),
            0)
      << err_.str();
  EXPECT_EQ(out_.str(),
            "Pages converted into C:\\out: 1\n"
            "Files written: 5\n"
            "Build script to run: C:\\out\\Shop.bat\n"
            "Pages read: 1; pages with findings: 1\n"
            "Pages that compile: 1; will not compile: 0; stop the run: 0\n"
            "  text-before-code: 1\n"
            "    move the text before \"<%\" to a line of its own\n"
            "Check report: C:\\out\\Shop.check.html\n");
  const std::string report = files_->Contents("C:\\out\\Shop.check.html").value_or("");
  EXPECT_TRUE(report.starts_with("<!DOCTYPE html>\r\n")) << report;
  EXPECT_NE(report.find("<summary>C:\\chk\\a.asp: 1 finding; compiles</summary>"),
            std::string::npos)
      << report;
}

// Whole outputs of check, one command line each (and the HTML report it writes). In a site's
// subfolders a page is named by its path under the source folder, and its class by that path.
// With the compilable rules, a summary of convert too.
TEST_F(CliTest, CheckPrintsEachPageByItsPath) {
  const struct {
    Args args;
    int status;
    std::string out;
    std::string html_file = "";
    std::string html = "";
  } cases[] = {
      {{"check", "--source", "C:\\site", "--recursive"},
       1,
       "In file included from C:\\site\\top.asp:1:\n"
       "C:\\site\\inc\\m.inc:1: warning: text before \"<%\" on a code line is dropped [text-bef"
       "ore-code]\n"
       "C:\\site\\Admin\\Default.asp:1: note: includes C:\\site\\inc\\m.inc, whose 1 finding "
       "is listed with C:\\site\\top.asp\n"
       "C:\\site\\Admin\\Default.asp:2: warning: a Function or Property lands inside the page m"
       "ethod: Visual Basic will not compile it [procedure-in-page-method]\n"
       "C:\\site\\Admin\\Default.asp:1: error: admin_default.cls: this module will not compile, "
       "at line 42, because a Function starts inside Sub admin_default of line 33; procedures "
       "cannot nest [will-not-compile]\n"
       "Pages read: 2; pages with findings: 2\n"
       "Pages that compile: 1; will not compile: 1; stop the run: 0\n"
       "  text-before-code: 1\n"
       "    move the text before \"<%\" to a line of its own\n"
       "  procedure-in-page-method: 1\n"
       "    rewrite the Function or Property as a Sub: only Subs are moved out of the page "
       "method\n"},
      {{"check", "--source", "C:\\rul", "--all", "--rules", "compilable", "--keep-going"},
       2,
       "In file included from C:\\rul\\menu.asp:1:\n"
       "C:\\rul\\lib.inc:1: warning: Visual Basic 6 has no Execute: the statement is kept as "
       "written, and will not compile [no-equivalent]\n"
       "C:\\rul\\menu.asp:2: warning: the include file C:\\rul\\gone.inc does not exist: a run "
       "that keeps going leaves this page out [missing-include]\n"
       "C:\\rul\\shop.asp:3: warning: Visual Basic 6 has no Eval: the statement is kept as "
       "written, and will not compile [no-equivalent]\n"
       "C:\\rul\\shop.asp:1: error: Cart.cls: this module will not compile, at line 16, because "
       "\"Eval\" is VBScript's, unknown to Visual Basic 6 [will-not-compile]\n"
       "C:\\rul\\top.asp:1: note: includes C:\\rul\\lib.inc, whose 1 finding is listed with "
       "C:\\rul\\menu.asp\n"
       "C:\\rul\\top.asp:2: warning: Open is never closed: it is closed at the end of the page, "
       "and holds the rest of the page [procedure-not-closed]\n"
       "C:\\rul\\top.asp:1: error: top.cls: this module will not compile, at line 26, because "
       "\"Execute\" is VBScript's, unknown to Visual Basic 6 [will-not-compile]\n"
       "Pages read: 4; pages with findings: 3\n"
       "Pages that compile: 1; will not compile: 2; stop the run: 0; left out: 1\n"
       "  missing-include: 1\n"
       "    add the include file to the source folder, or correct the file name in the directive\n"
       "  no-equivalent: 2\n"
       "    rewrite the code without it: call the procedure by name rather than through GetRef or "
       "Execute, and compute the value rather than Eval it\n"
       "  procedure-not-closed: 1\n"
       "    close it where it ends, with End Sub, End Function, End Property or End Class\n"},
      {{"check", "--source", "C:\\rul", "shop.asp", "--rules", "compilable", "--format", "json"},
       1,
       "{\"names\": [],\n"
       "\"pages\": [\n"
       "{\"file\": \"C:\\\\rul\\\\shop.asp\", \"findings\": [\n"
       "  {\"file\": \"C:\\\\rul\\\\shop.asp\", \"line\": 3, \"kind\": \"no-equivalent\", "
       "\"message\": \"Visual Basic 6 has no Eval: the statement is kept as written, and will not "
       "compile\", \"source\": \"y = Eval(v)\", \"written\": \"\", \"included_from\": null}\n"
       "  ], \"includes\": [], \"verdict\": \"will-not-compile\", \"class_module\": \"Cart.cls\", "
       "\"reasons\": 1, \"first_reasons\": [{\"line\": 16, \"cause\": \"vbscript-only\", "
       "\"message\": \"this module will not compile, at line 16, because \\\"Eval\\\" is "
       "VBScript's, unknown to Visual Basic 6\"}]}\n"
       "],\n"
       "\"pages_read\": 1, \"pages_with_findings\": 1, \"verdicts\": {\"compiles\": 0, "
       "\"will-not-compile\": 1, \"stops-the-run\": 0, \"cannot-be-read\": 0},\n"
       "\"counts\": {\"no-equivalent\": 1},\n"
       "\"advice\": {\"no-equivalent\": \"rewrite the code without it: call the procedure by name "
       "rather than through GetRef or Execute, and compute the value rather than Eval it\"}}\n"},
      {{"check", "--source", "C:\\rul", "shop.asp", "--rules", "compilable", "--html",
        "C:\\rul\\r.html"},
       1,
       "C:\\rul\\shop.asp:3: warning: Visual Basic 6 has no Eval: the statement is kept as "
       "written, and will not compile [no-equivalent]\n"
       "C:\\rul\\shop.asp:1: error: Cart.cls: this module will not compile, at line 16, because "
       "\"Eval\" is VBScript's, unknown to Visual Basic 6 [will-not-compile]\n"
       "Pages read: 1; pages with findings: 1\n"
       "Pages that compile: 0; will not compile: 1; stop the run: 0\n"
       "  no-equivalent: 1\n"
       "    rewrite the code without it: call the procedure by name rather than through GetRef or "
       "Execute, and compute the value rather than Eval it\n",
       "C:\\rul\\r.html",
       kReportHead +
           "<details id=\"p1\"><summary>C:\\rul\\shop.asp: 1 finding; will not "
           "compile</summary>\r\n"
           "<p class=\"v\">Cart.cls: 1 reason it will not compile<br>this module will not compile, "
           "at line 16, because &quot;Eval&quot; is VBScript's, unknown to Visual Basic 6</p>\r\n"
           "<table><colgroup><col class=\"n\"><col><col></colgroup><tr><th>Line</th><th>Source "
           "line</th><th>Class module</th></tr>\r\n"
           "<tr><th colspan=\"3\">no-equivalent: 1 (line 3)</th></tr>\r\n"
           "<tr><td>3</td><td><pre>y = Eval(v)</pre></td><td><pre></pre></td></tr>\r\n"
           "</table>\r\n"
           "</details>\r\n"
           "</section>\r\n"
           "<section class=\"summary\"><h2>Summary</h2>\r\n"
           "<p>Pages read: 1; pages with findings: 1<br>Pages that compile: 0; will not compile: "
           "1; stop the run: 0; cannot be read: 0</p>\r\n"
           "<h3>Pages to look at</h3>\r\n"
           "<table><colgroup><col><col class=\"n\"><col class=\"n\"><col "
           "class=\"n\"></colgroup><tr><th>Page</th><th>Findings</th><th>In include "
           "files</th><th>Verdict</th></tr>\r\n"
           "<tr><td><a href=\"#p1\">C:\\rul\\shop.asp</a></td><td>1</td><td>0</td><td>will not "
           "compile</td></tr>\r\n"
           "</table>\r\n"
           "<h3>Kinds</h3>\r\n"
           "<table><colgroup><col style=\"width:14em\"><col "
           "class=\"n\"><col><col></colgroup><tr><th>Kind</th><th>Count</th><th>What "
           "happens</th><th>What to change</th></tr>\r\n"
           "<tr><td>no-equivalent</td><td>1</td><td>Eval, Execute, ExecuteGlobal or GetRef: Visual "
           "Basic 6 has no equivalent; the statement is kept as written, and will not "
           "compile</td><td>rewrite the code without it: call the procedure by name rather than "
           "through GetRef or Execute, and compute the value rather than Eval it</td></tr>\r\n"
           "</table>\r\n"
           "</section></div></body></html>\r\n"},
      {{"convert", "--source", "C:\\rul", "--target", "C:\\out", "--dll", "Shop", "--all",
        "--rules", "compilable", "--keep-going"},
       2,
       "Pages converted into C:\\out: 3\n"
       "Files written: 12\n"
       "Pages left out for a missing include file: 1\n"
       "  menu.asp: C:\\rul\\gone.inc\n"
       "Build script to run: C:\\out\\Shop.bat\n"
       "Class modules that will not compile: 2\n"
       "  C:\\out\\Cart.cls: this module will not compile, at line 16, because \"Eval\" is "
       "VBScript's, unknown to Visual Basic 6\n"
       "  C:\\out\\top.cls: this module will not compile, at line 26, because \"Execute\" is "
       "VBScript's, unknown to Visual Basic 6\n"
       "2 of 4 class modules will not compile, as far as the module checker can tell: run "
       "vorlintex check --source C:\\rul --all --dll Shop --keep-going --rules compilable for the "
       "reasons\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    AddFiles();
    files_->AddFile("C:\\site\\top.asp", "<!-- #include file=\"inc\\m.inc\" -->\r\n");
    files_->AddFile(
        "C:\\site\\Admin\\Default.asp",
        "<!-- #include file=\"..\\inc\\m.inc\" -->\r\n<% Function F()\r\nEnd Function %>\r\n");
    files_->AddFile("C:\\site\\inc\\m.inc", "M <% m = 1 %>\r\n");
    files_->AddFile("C:\\rul\\lib.inc", "<% Sub L() : Execute \"y = 1\" : End Sub %>\r\n");
    files_->AddFile(
        "C:\\rul\\menu.asp",
        "<!-- #include file=\"LIB.INC\" -->\r\n<!-- #include file=\"gone.inc\" -->\r\n");
    files_->AddFile("C:\\rul\\plain.asp", "<p>plain</p>\r\n");
    files_->AddFile("C:\\rul\\shop.asp",
                    "<% Class Cart\r\nSub Add(v)\r\ny = Eval(v)\r\nEnd Sub\r\nEnd Class %>\r\n");
    files_->AddFile("C:\\rul\\top.asp",
                    "<!-- #include file=\"lib.inc\" -->\r\n<% Sub Open()\r\n%>\r\n");
    EXPECT_EQ(Run(c.args), c.status) << err_.str();
    EXPECT_EQ(out_.str(), c.out);
    if (!c.html_file.empty()) {
      EXPECT_EQ(files_->Contents(c.html_file).value_or(""), c.html);
    }
  }
}

#ifndef _WIN32
std::string ReplaceAll(std::string text, std::string_view from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// On POSIX the paths printed are spelled with "/", so a shell can use each as it is; the files
// themselves still name the target as the run and the wizard write it. "@" stands for the test's
// folder.
TEST(CliPosixTest, PrintedPathsAreSpelledAsThePosixSystemSpellsThem) {
  std::string root = ::testing::TempDir() + "cli_paths_XXXXXX";
  ASSERT_NE(mkdtemp(root.data()), nullptr);
  std::filesystem::create_directory(root + "/src");
  std::ofstream(root + "/src/a.asp", std::ios::binary) << "Hi <% x = 1 %>\r\n";
  std::ofstream(root + "/src/b.asp", std::ios::binary) << "<!-- #include file=\"gone.inc\" -->\r\n";
  const struct {
    Args args;
    int status;
    std::string out;
    std::string err;
  } cases[] = {
      {{"convert", "--source", "@/src", "--target", "@/out", "--dll", "Forum", "--check", "a.asp",
        "gone.asp"},
       1,
       "Pages converted into @/out: 1\n"
       "Files written: 5\n"
       "Build script to run: @/out/Forum.bat\n"
       "Failures: 1\n"
       "  cannot read @/src/gone.asp: No such file or directory\n"
       "Pages read: 2; pages with findings: 2\n"
       "Pages that compile: 1; will not compile: 0; stop the run: 0; cannot be read: 1\n"
       "  text-before-code: 1\n"
       "    move the text before \"<%\" to a line of its own\n"
       "  unreadable-page: 1\n"
       "    make the page readable by the user who runs vorlintex\n"
       "Check report: @/out/Forum.check.html\n",
       ""},
      {{"convert", "--source", "@/src", "--target", "@/out2", "--dll", "Forum", "b.asp"},
       2,
       "Pages converted into @/out2: 0\n"
       "Files written: 0\n"
       "Files left as they were: 5\n"
       "  @/out2/b.cls\n  @/out2/b.asp\n  @/out2/b.vbw\n  @/out2/Forum.vbp\n  @/out2/Forum.bat\n",
       "vorlintex: the include file @/src/gone.inc was not found; the run stopped there (all "
       "include files must be in the same directory as the ASP pages)\n"},
      {{"check", "--source", "@/src", "a.asp"},
       1,
       "@/src/a.asp:1: warning: text before \"<%\" on a code line is dropped "
       "[text-before-code]\nPages read: 1; pages with findings: 1\n"
       "Pages that compile: 1; will not compile: 0; stop the run: 0\n"
       "  text-before-code: 1\n    move the text before \"<%\" to a line of its own\n",
       ""},
      {{"check", "--source", "@/nowhere", "--all"},
       1,
       "",
       "vorlintex: cannot list the source folder @/nowhere: No such file or directory\n"},
  };
  for (const auto& c : cases) {
    Args args;
    for (const std::string& arg : c.args) args.push_back(ReplaceAll(arg, "@", root));
    SCOPED_TRACE(::testing::PrintToString(args));
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli(
                  args, [] { return NewPosixEnv(); }, out, err),
              c.status);
    EXPECT_EQ(out.str(), ReplaceAll(c.out, "@", root));
    EXPECT_EQ(err.str(), ReplaceAll(c.err, "@", root));
  }
  // The paths printed name the files written; the build line keeps the run's spelling.
  std::ifstream script(root + "/out/Forum.bat", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(script), {}),
            "vb6 " + root + "/out\\Forum.vbp /m\r\n");
  EXPECT_TRUE(std::filesystem::exists(root + "/out/Forum.check.html"));
  std::filesystem::remove_all(root);
}
#endif

}  // namespace
}  // namespace vorlintex::app

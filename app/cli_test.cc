#include "app/cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <thread>

#include "platform/memory_env.h"
#include "platform/memory_file_service.h"

namespace vorlintex::app {
namespace {

using Args = std::vector<std::string>;

// The pages to convert in C:\src, the pages to check in C:\chk.
class CliTest : public ::testing::Test {
 protected:
  CliTest() { AddFiles(); }

  void AddFiles() {
    files_ = fs::MemoryFileSystem::Create();
    files_->AddFile("C:\\src\\Orders.asp", "<p>Orders</p>\r\n");
    files_->AddFile("C:\\src\\menu.ASP", "<p>Menu</p>\r\n");
    files_->AddFile("C:\\src\\notes.txt", "notes\r\n");
    files_->AddFile("C:\\src\\top.inc", "<p>top</p>\r\n");
    files_->AddFile("C:\\chk\\a.asp", "Hi <% x = 1 %>\r\n<p>ok</p>\r\n");
    files_->AddFile("C:\\chk\\b.asp", "<p>b</p>\r\n");
    files_->AddFile("C:\\chk\\c.asp", "<!-- #include file=\"gone.inc\" -->\r\n");
    files_->FailOn(fs::Operation::kCreateFolder, "C:\\elsewhere");
  }

  int Run(const Args& args) {
    out_.str("");
    err_.str("");
    return RunCli(
        args, [this] { return std::make_unique<MemoryEnv>(files_); }, out_, err_);
  }

  std::shared_ptr<fs::MemoryFileSystem> files_;
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
      {{"convert", "--source", "C:\\nowhere", "--target", "C:\\out", "--dll", "x", "--all"},
       1,
       "vorlintex: cannot list the source folder C:\\nowhere"},
      {{"check", "--source", "C:\\src\\Orders.asp", "--all"},
       1,
       "vorlintex: cannot list the source folder C:\\src\\Orders.asp"},
      {Convert({"--html", "Orders.asp"}, "C:\\elsewhere"), 1,
       "vorlintex: cannot create C:\\elsewhere: injected failure\n"},
      {Check({"b.asp"}), 0, "Pages read: 1; pages with findings: 0\n"},
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
  files_->FailOn(fs::Operation::kClose, "C:\\out\\orders.cls");
  EXPECT_EQ(Run(Convert({"Orders.asp", "menu.asp", "gone.asp"})), 1);
  EXPECT_EQ(out_.str(),
            "Pages converted into C:\\out: 1\n"
            "Files written: 7\n"
            "Build script to run: C:\\out\\Shop.bat\n"
            "Failures: 2\n"
            "  cannot write C:\\out\\orders.cls: injected failure\n"
            "  cannot read C:\\src\\gone.asp: No such file or directory\n");
  EXPECT_EQ(files_->AllFiles().size(), 7u + 7u);
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

TEST_F(CliTest, CheckReportsInTextJsonAndHtml) {
  // The report is a file the program writes, through the platform like every other.
  ASSERT_EQ(Run(Check({"a.asp", "b.asp", "--html", "C:\\chk\\check.html"})), 1) << err_.str();
  EXPECT_EQ(out_.str(),
            "C:\\chk\\a.asp:1: warning: text before \"<%\" on a code line is dropped "
            "[text-before-code]\n"
            "Pages read: 2; pages with findings: 1\n"
            "  text-before-code: 1\n");
  EXPECT_EQ(files_->Contents("C:\\chk\\check.html"),
            "<!DOCTYPE html>\r\n<html><head><meta charset=\"utf-8\"><title>vorlintex "
            "check</title>\r\n<style>body{font-family:sans-serif}table{border-collapse:collapse}"
            "td,th{border:1px solid #bbb;padding:2px 6px;vertical-align:top;text-align:left}"
            "pre{margin:0;white-space:pre-wrap}</style></head><body>\r\n"
            "<h1>vorlintex check</h1>\r\n<p>Pages read: 2; pages with findings: 1</p>\r\n"
            "<h2>Pages</h2>\r\n<table><tr><th>File</th><th>Findings</th></tr>\r\n"
            "<tr><td>C:\\chk\\a.asp</td><td>text-before-code: 1</td></tr>\r\n"
            "</table>\r\n<h2>Findings</h2>\r\n<table><tr><th>Where</th><th>What</th>"
            "<th>Source line</th><th>Class module</th></tr>\r\n"
            "<tr><td>C:\\chk\\a.asp:1</td><td>text before &quot;&lt;%&quot; on a code line is "
            "dropped [text-before-code]</td><td><pre>Hi &lt;% x = 1 %&gt;</pre></td>"
            "<td><pre> x = 1 </pre></td></tr>\r\n"
            "</table>\r\n</body></html>\r\n");
  EXPECT_EQ(Run(Check({"b.asp", "--html", "C:\\elsewhere\\check.html"})), 1);
  EXPECT_EQ(err_.str(),
            "vorlintex: cannot write C:\\elsewhere\\check.html: No such file or directory\n");

  ASSERT_EQ(Run(Check({"a.asp", "c.asp", "--format", "json"})), 2) << err_.str();
  EXPECT_EQ(out_.str(),
            "{\"pages_read\": 2, \"pages_with_findings\": 2, \"counts\": "
            "{\"text-before-code\": 1, \"missing-include\": 1}, \"findings\": [\n"
            "  {\"file\": \"C:\\\\chk\\\\a.asp\", \"line\": 1, \"kind\": \"text-before-code\", "
            "\"message\": \"text before \\\"<%\\\" on a code line is dropped\", \"source\": "
            "\"Hi <% x = 1 %>\", \"written\": \" x = 1 \"},\n"
            "  {\"file\": \"C:\\\\chk\\\\c.asp\", \"line\": 1, \"kind\": \"missing-include\", "
            "\"message\": \"the include file does not exist: a run stops at this page\", "
            "\"source\": \"<!-- #include file=\\\"gone.inc\\\" -->\", \"written\": \"\"}\n"
            "]}\n");

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
            "  text-before-code: 1\n"
            "Check report: C:\\out\\Shop.check.html\n");
  const std::string report = files_->Contents("C:\\out\\Shop.check.html").value_or("");
  EXPECT_TRUE(report.starts_with("<!DOCTYPE html>\r\n")) << report;
  EXPECT_NE(report.find("<td>C:\\chk\\a.asp:1</td>"), std::string::npos) << report;
}

}  // namespace
}  // namespace vorlintex::app

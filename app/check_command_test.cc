#include "app/check_command.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/cli.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"

namespace vorlintex::app {
namespace {

class CheckCommandTest : public ::testing::Test {
 protected:
  CheckCommandTest() : files_(fs::MemoryFileSystem::Create()) {
    files_->AddFile("C:\\src\\a.asp", "Hi <% x = 1 %>\r\n<p>ok</p>\r\n");
    files_->AddFile("C:\\src\\b.asp", "<p>b</p>\r\n");
    files_->AddFile("C:\\src\\c.asp", "<!-- #include file=\"gone.inc\" -->\r\n");
  }

  int Run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    args.insert(args.begin(), {"check", "--source", "C:\\src"});
    return RunCli(
        args, [this] { return std::make_unique<MemoryEnv>(files_); }, out_, err_);
  }

  std::shared_ptr<fs::MemoryFileSystem> files_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(CheckCommandTest, ExitStatusTellsWhatWasFound) {
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  for (const Case& c : std::vector<Case>{{{"b.asp"}, 0},
                                         {{"a.asp", "b.asp"}, 1},
                                         {{"--all"}, 2},
                                         {{"b.asp", "--dll", "my shop"}, 1},
                                         {{}, 64},
                                         {{"b.asp", "--format", "xml"}, 64}}) {
    EXPECT_EQ(Run(c.args), c.status) << ::testing::PrintToString(c.args) << err_.str();
  }
}

TEST_F(CheckCommandTest, TextJsonAndHtmlReports) {
  const std::string html_path = ::testing::TempDir() + "/check_report.html";
  ASSERT_EQ(Run({"a.asp", "b.asp", "--html", html_path}), 1) << err_.str();
  EXPECT_EQ(out_.str(),
            "C:\\src\\a.asp:1: warning: text before \"<%\" on a code line is dropped "
            "[text-before-code]\n"
            "Pages read: 2; pages with findings: 1\n"
            "  text-before-code: 1\n");
  std::ifstream html_file(html_path, std::ios::binary);
  std::stringstream html;
  html << html_file.rdbuf();
  EXPECT_EQ(html.str(),
            "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>vorlintex "
            "check</title>\n<style>body{font-family:sans-serif}table{border-collapse:collapse}"
            "td,th{border:1px solid #bbb;padding:2px 6px;vertical-align:top;text-align:left}"
            "pre{margin:0;white-space:pre-wrap}</style></head><body>\n"
            "<h1>vorlintex check</h1>\n<p>Pages read: 2; pages with findings: 1</p>\n"
            "<h2>Pages</h2>\n<table><tr><th>File</th><th>Findings</th></tr>\n"
            "<tr><td>C:\\src\\a.asp</td><td>text-before-code: 1</td></tr>\n"
            "</table>\n<h2>Findings</h2>\n<table><tr><th>Where</th><th>What</th>"
            "<th>Source line</th><th>Class module</th></tr>\n"
            "<tr><td>C:\\src\\a.asp:1</td><td>text before &quot;&lt;%&quot; on a code line is "
            "dropped [text-before-code]</td><td><pre>Hi &lt;% x = 1 %&gt;</pre></td>"
            "<td><pre> x = 1 </pre></td></tr>\n"
            "</table>\n</body></html>\n");

  ASSERT_EQ(Run({"a.asp", "c.asp", "--format", "json"}), 2) << err_.str();
  EXPECT_EQ(out_.str(),
            "{\"pages_read\": 2, \"pages_with_findings\": 2, \"counts\": "
            "{\"text-before-code\": 1, \"missing-include\": 1}, \"findings\": [\n"
            "  {\"file\": \"C:\\\\src\\\\a.asp\", \"line\": 1, \"kind\": \"text-before-code\", "
            "\"message\": \"text before \\\"<%\\\" on a code line is dropped\", \"source\": "
            "\"Hi <% x = 1 %>\", \"written\": \" x = 1 \"},\n"
            "  {\"file\": \"C:\\\\src\\\\c.asp\", \"line\": 1, \"kind\": \"missing-include\", "
            "\"message\": \"the include file does not exist: a run stops at this page\", "
            "\"source\": \"<!-- #include file=\\\"gone.inc\\\" -->\", \"written\": \"\"}\n"
            "]}\n");
}

TEST_F(CheckCommandTest, ConvertWithCheckAddsTheSummaryAndWritesTheReportIntoTheTarget) {
  out_.str("");
  ASSERT_EQ(RunCli(
                {"convert", "--source", "C:\\src", "--target", "C:\\out", "--dll", "Shop",
                 "--check", "a.asp"},
                [this] { return std::make_unique<MemoryEnv>(files_); }, out_, err_),
            0)
      << err_.str();
  EXPECT_EQ(out_.str(),
            "Pages converted into C:\\out: 1\n"
            "Files written: 5\n"
            "Build script to run: C:\\out\\Shop.bat\n"
            "Pages read: 1; pages with findings: 1\n"
            "  text-before-code: 1\n"
            "Check report: C:\\out\\Shop.check.html\n");
  std::optional<std::string> report = files_->Contents("C:\\out\\Shop.check.html");
  ASSERT_TRUE(report.has_value());
  EXPECT_TRUE(report->starts_with("<!DOCTYPE html>\r\n")) << *report;
  EXPECT_NE(report->find("<td>C:\\src\\a.asp:1</td>"), std::string::npos) << *report;
}

}  // namespace
}  // namespace vorlintex::app

#include "generator/generation_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generator/generation_run_test_texts.h"

namespace vorlintex::generator {
namespace {

using testing::HtmlClass;
using testing::kPageEnd;
using testing::kPageHead;
using testing::MemoryRun;
using testing::Project;
using testing::ReplacementPage;
using testing::Report;
using testing::Workspace;
using translator::testing::ExpectedHeader;
using translator::testing::ExpectedModule;
using Paths = std::vector<std::string>;

TEST(GenerationRunTest, ThreePagesOverAnEarlierRunsFiles) {
  MemoryRun run;
  run.files->AddFile("C:\\src\\a.asp", "<p>A</p>\r\n");
  run.files->AddFile("C:\\src\\b.asp", "<p>B</p>\r\n");
  run.files->AddFile("C:\\src\\c.asp", "<% x = 1 %>\r\n");
  run.files->AddFile("C:\\out\\a.cls", "an earlier run's class\r\n");
  run.files->AddFile("C:\\out\\Shop.vbp", "an earlier run's project\r\n");
  run.env.SetClassesRootDefaultValue("VisualBasic.VBZFile\\shell\\open\\command",
                                     "C:\\VB98\\vb6.exe \"%1\"");
  run.env.SetWindowsDirectory("");
  // The names are cut before ".asp" and ".dll" in any case, the target joined as typed.
  const RunSummary summary =
      run.Run("C:\\src", "C:\\out\\", "Shop.DLL", {"a.asp", "B.ASP", "c.asp.old"});
  ASSERT_TRUE(summary.host_failure.ok());
  EXPECT_EQ(run.response.body(), kPageHead + Report("C:\\src", "C:\\out\\", "Shop"));
  EXPECT_EQ(run.File("C:\\out\\Shop.vbp"), Project("Shop",
                                                   "Class=a; a.cls\r\n"
                                                   "Class=b; b.cls\r\n"
                                                   "Class=c; c.cls\r\n",
                                                   ""));
  EXPECT_EQ(run.File("C:\\out\\Shop.bat"), "\"C:\\VB98\\vb6.exe \" C:\\out\\\\Shop.vbp /m\r\n");
  EXPECT_EQ(run.File("C:\\out\\a.cls"), HtmlClass("a", "<p>A</p>"));
  EXPECT_EQ(run.File("C:\\out\\b.cls"), HtmlClass("b", "<p>B</p>"));
  EXPECT_EQ(run.File("C:\\out\\c.cls"), ExpectedModule("c", "", "", " x = 1 \r\n"));
  for (const std::string base : {"a", "b", "c"}) {
    EXPECT_EQ(run.File("C:\\out\\" + base + ".asp"), ReplacementPage(base, "Shop"));
    EXPECT_EQ(run.File("C:\\out\\" + base + ".vbw"), Workspace(base));
  }
  EXPECT_EQ(run.AllFiles().size(), 3u + 11u);
  EXPECT_EQ(run.observer.pages, (Paths{"a", "b", "c"}));
  EXPECT_EQ(run.observer.files.size(), 11u);
  EXPECT_EQ(run.observer.runs, 1);
  EXPECT_EQ(summary.pages_converted, 3u);
  EXPECT_EQ(summary.files_written, 11u);
  EXPECT_EQ(summary.build_script, "C:\\out\\\\Shop.bat");
  EXPECT_TRUE(summary.build_script_written);
  EXPECT_TRUE(summary.failures.empty());
}

// The files so far are kept as far as they got, and count as written.
TEST(GenerationRunTest, AMissingIncludeFileEndsTheRunAtItsPage) {
  MemoryRun run;
  run.files->AddFile("C:\\src\\a.asp", "<p>A</p>\r\n");
  run.files->AddFile("C:\\src\\b.asp",
                     "<p>B</p>\r\n"
                     "<!-- #include file=\"<b>&.inc\" -->\r\n"
                     "<p>after</p>\r\n");
  run.files->AddFile("C:\\src\\c.asp", "<p>C</p>\r\n");
  const RunSummary summary = run.Run("C:\\src", "C:\\out", "Shop", {"a.asp", "b.asp", "c.asp"});
  ASSERT_TRUE(summary.host_failure.ok());
  EXPECT_EQ(run.response.body(), kPageHead +
                                     std::string("<center>\r\n"
                                                 "The include file C:\\src\\&lt;b&gt;&amp;.inc "
                                                 "not found, all include file should be in the "
                                                 "same directory as the asp files.</center>\r\n") +
                                     kPageEnd);
  EXPECT_EQ(run.response.write_count(), 7 + 5);
  EXPECT_EQ(run.File("C:\\out\\a.cls"), HtmlClass("a", "<p>A</p>"));
  EXPECT_EQ(run.File("C:\\out\\a.asp"), ReplacementPage("a", "Shop"));
  EXPECT_EQ(run.File("C:\\out\\a.vbw"), Workspace("a"));
  EXPECT_EQ(run.File("C:\\out\\b.cls"), ExpectedHeader("b"));
  EXPECT_EQ(run.File("C:\\out\\b.asp"), "");
  EXPECT_EQ(run.File("C:\\out\\b.vbw"), "");
  EXPECT_EQ(run.File("C:\\out\\Shop.vbp"), testing::ProjectHead("Class=a; a.cls\r\n"));
  EXPECT_EQ(run.File("C:\\out\\Shop.bat"), "");
  EXPECT_EQ(run.observer.pages, (Paths{"a"}));
  EXPECT_EQ(run.observer.files.size(), 8u);
  EXPECT_EQ(summary.missing_include, "C:\\src\\<b>&.inc");
  EXPECT_EQ(summary.pages_converted, 1u);
  EXPECT_EQ(summary.files_written, 8u);
  EXPECT_FALSE(summary.build_script_written);
}

// A page that cannot be opened, or is named with a folder part, or whose class name another
// page took first, gets no file and no Class line; the files of an earlier run stay.
TEST(GenerationRunTest, APageThatCannotBeConvertedIsLeftOutAndReported) {
  const std::string not_a_page =
      ": the name holds a folder part, so it is not a page of the source folder<BR>\r\n";
  const struct {
    std::string selected;
    std::string report_line;
  } cases[] = {
      {"gone.asp", "Could not read C:\\src\\gone.asp: No such file or directory<BR>\r\n"},
      {"..\\gone.asp", "Could not read C:\\src\\..\\gone.asp" + not_a_page},
      {"x/gone.asp", "Could not read C:\\src\\x/gone.asp" + not_a_page},
      {"C:gone.asp", "Could not read C:\\src\\c:gone.asp" + not_a_page},
      {"B.ASP",
       "Could not write C:\\out\\b.cls: another page of that name came first in this "
       "run<BR>\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.selected);
    MemoryRun run;
    run.files->AddFile("C:\\src\\b.asp", "<p>B</p>\r\n");
    run.files->AddFile("C:\\src\\x\\gone.asp", "<p>elsewhere</p>\r\n");
    run.files->AddFile("C:\\gone.asp", "<p>elsewhere</p>\r\n");
    run.files->AddFile("C:\\out\\gone.cls", "an earlier run's class\r\n");
    const RunSummary summary = run.Run("C:\\src", "C:\\out", "Shop", {"b.asp", c.selected});
    ASSERT_TRUE(summary.host_failure.ok());
    EXPECT_EQ(run.response.body(), kPageHead + Report("C:\\src", "C:\\out", "Shop", c.report_line));
    EXPECT_EQ(run.File("C:\\out\\Shop.vbp"), Project("Shop", "Class=b; b.cls\r\n"));
    EXPECT_EQ(run.File("C:\\out\\b.cls"), HtmlClass("b", "<p>B</p>"));
    EXPECT_EQ(run.File("C:\\out\\b.asp"), ReplacementPage("b", "Shop"));
    // b's files, the project file and the build script; an earlier run's class stays.
    EXPECT_EQ(run.AllFiles().size(), 4u + 5u);
    EXPECT_EQ(run.File("C:\\out\\gone.cls"), "an earlier run's class\r\n");
    EXPECT_EQ(summary.pages_converted, 1u);
    EXPECT_EQ(summary.files_written, 5u);
  }
}

// The entry page's checks, made again in its order: the first that fails ends the run after
// the page head with its message, before any file work.
TEST(GenerationRunTest, FieldsThatFailTheirChecksAreRefusedWithoutTouchingAFile) {
  const char* const same =
      "Source and Target Directory cannot be the same, otherwise you overwritten your original "
      "ASP files.";
  const struct {
    std::string source, target, dll;
    const char* message;
  } cases[] = {
      {"C:\\src", "C:\\src", "Shop", same},
      {"C:\\src", "C:\\src\\", "Shop", same},
      {"C:\\src", "c:/SRC", "Shop", same},
      {"", "", "", "Source Directory cannot be blank."},
      {"C:\\src", "", "", "Target Directory cannot be blank."},
      {"C:\\src", "C:\\src", "", same},
      {"C:\\src", "C:\\out", "", "Dll Name cannot be blank."},
      {" ", "C:\\out", "Shop", nullptr},  // spaces are not blank
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source + "|" + c.target + "|" + c.dll);
    MemoryRun run;
    run.files->AddFile("C:\\src\\a.asp", "<p>A</p>\r\n");
    const long operations_before = run.files->OperationCount();
    const RunSummary summary = run.Run(c.source, c.target, c.dll, {"a.asp"});
    ASSERT_TRUE(summary.host_failure.ok());
    if (c.message == nullptr) {
      EXPECT_NE(run.files->OperationCount(), operations_before);
      continue;
    }
    EXPECT_EQ(run.response.body(), kPageHead + std::string(c.message) + "<BR>\r\n" + kPageEnd);
    EXPECT_EQ(run.response.write_count(), 7 + 3);
    EXPECT_EQ(run.files->OperationCount(), operations_before);
    EXPECT_EQ(summary.refused_same_folder, c.message == same);
    EXPECT_TRUE(summary.build_script.empty());
  }
}

// A failure of the page host ends the run where it happens and goes back to the host.
TEST(GenerationRunTest, AHostFailureEndsTheRun) {
  const struct {
    const char* what;
    int failing_write;  // 0: none
    bool files_done;
    std::string page;
  } cases[] = {
      {"no file service", 0, false, kPageHead},
      {"page head", 1, false, ""},
      {"report", 8, true, kPageHead},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryRun run;
    run.files->AddFile("C:\\src\\a.asp", "<p>A</p>\r\n");
    if (c.failing_write == 0) run.env.FailNewFileService("class not registered");
    if (c.failing_write != 0) run.response.FailFromWrite(c.failing_write);
    const long operations_before = run.files->OperationCount();
    const RunSummary summary = run.Run("C:\\src", "C:\\out", "Shop", {"a.asp"});
    EXPECT_FALSE(summary.host_failure.ok());
    if (c.failing_write == 0) {
      EXPECT_EQ(summary.host_failure.reason(), "class not registered");
    }
    EXPECT_EQ(run.response.body(), c.page);
    EXPECT_EQ(run.observer.runs, 1);
    if (c.files_done) {
      EXPECT_EQ(run.File("C:\\out\\a.cls"), HtmlClass("a", "<p>A</p>"));
      EXPECT_EQ(run.File("C:\\out\\Shop.bat"), "vb6 C:\\out\\Shop.vbp /m\r\n");
    } else {
      EXPECT_EQ(run.files->OperationCount(), operations_before);
    }
  }
}

}  // namespace
}  // namespace vorlintex::generator

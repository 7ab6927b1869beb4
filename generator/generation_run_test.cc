#include "generator/generation_run.h"

#include <gtest/gtest.h>

#include <string>

#include "generator/generation_run_test_texts.h"

namespace vorlintex::generator {
namespace {

using testing::kPageEnd;
using testing::kPageHead;
using testing::MemoryRun;

// Pages that cannot be converted are left out, with no file and no Class line: one that
// cannot be opened, one whose class name another page took first (and below, one named with a
// folder part). A missing include file ends the run at its page, which names it; the files so far
// are kept as far as they got, and count as written. The target folder of an earlier run is used as
// it is, its other files stay, and a target ending in a backslash is joined as typed.
TEST(GenerationRunTest, PagesLeftOutAndAMissingIncludeFileThatEndsTheRun) {
  MemoryRun run;
  run.files->AddFile("C:\\src\\a.asp", "<p>A</p>\r\n");
  run.files->AddFile("C:\\src\\b.asp",
                     "<p>B</p>\r\n"
                     "<!-- #include file=\"<b>&.inc\" -->\r\n"
                     "<p>after</p>\r\n");
  run.files->AddFile("C:\\src\\c.asp", "<p>C</p>\r\n");
  run.files->AddFile("C:\\out\\gone.cls", "an earlier run's class\r\n");
  run.files->AddFile("C:\\out\\b.cls", "an earlier run's class\r\n");
  const RunSummary summary =
      run.Run("C:\\src", "C:\\out\\", "Shop", {"a.asp", "gone.asp", "A.ASP", "b.asp", "c.asp"});
  ASSERT_TRUE(summary.host_failure.ok());
  EXPECT_EQ(run.response.body(), kPageHead +
                                     std::string("<center>\r\n"
                                                 "The include file C:\\src\\&lt;b&gt;&amp;.inc "
                                                 "not found, all include file should be in the "
                                                 "same directory as the asp files.</center>\r\n") +
                                     kPageEnd);
  EXPECT_EQ(run.response.write_count(), 7 + 5);
  std::string failures;  // as the report of a run that is not ended early shows them
  for (const Failure& f : summary.failures) {
    failures += (f.access == Access::kRead ? "read " : "write ") + f.path + ": " + f.reason + "\n";
  }
  EXPECT_EQ(failures,
            "read C:\\src\\gone.asp: No such file or directory\n"
            "write C:\\out\\\\a.cls: another page of that name came first in this run\n");
  EXPECT_EQ(run.File("C:\\out\\a.cls"), testing::HtmlClass("a", "<p>A</p>"));
  EXPECT_EQ(run.File("C:\\out\\a.asp"), testing::ReplacementPage("a", "Shop"));
  EXPECT_EQ(run.File("C:\\out\\b.cls"), translator::testing::ExpectedHeader("b"));
  EXPECT_EQ(run.File("C:\\out\\b.asp") + run.File("C:\\out\\b.vbw"), "");
  EXPECT_EQ(run.File("C:\\out\\Shop.vbp"), testing::Project("", "Class=a; a.cls\r\n"));
  EXPECT_EQ(run.File("C:\\out\\Shop.bat"), "");
  EXPECT_EQ(run.File("C:\\out\\gone.cls"), "an earlier run's class\r\n");
  EXPECT_EQ(run.files->AllFiles().size(), 4u + 8u);
  EXPECT_EQ(run.observer.files.size(), 8u);
  EXPECT_EQ(summary.missing_include, "C:\\src\\<b>&.inc");
  EXPECT_EQ(summary.build_script, "C:\\out\\\\Shop.bat");
  EXPECT_EQ(summary.pages_converted, 1u);
  EXPECT_EQ(summary.files_written, 8u);
  EXPECT_FALSE(summary.build_script_written);
}

std::string Refused(const std::string& message) {
  return kPageHead + message + "<BR>\r\n" + kPageEnd;
}

// A run ends early on fields that fail the entry page's checks (made again in its order: the
// first that fails ends the run after the page head with its message, before any file work),
// and on a failure of the page host, which goes back to the host.
TEST(GenerationRunTest, ARunRefusedOrFailedByItsHostEndsEarly) {
  const std::string same = Refused(
      "Source and Target Directory cannot be the same, otherwise you overwritten your original "
      "ASP files.");
  const std::string not_a_page =
      ": the name holds a folder part, so it is not a page of the source folder<BR>\r\n";
  const struct {
    std::string source, target, dll;
    int failing_write;  // the response write that fails; -1: no file service can be made
    std::string page;
    bool files_touched;
  } cases[] = {
      {"C:\\src", "c:/SRC", "Shop", 0, same, false},
      {"", "", "", 0, Refused("Source Directory cannot be blank."), false},
      {"C:\\src", "", "", 0, Refused("Target Directory cannot be blank."), false},
      {"C:\\src", "C:\\src", "", 0, same, false},
      {"C:\\src", "C:\\out", "", 0, Refused("Dll Name cannot be blank."), false},
      {" ", "C:\\out", "Shop", 0,  // spaces are not blank
       kPageHead + testing::Report(" ", "C:\\out", "Shop",
                                   "Could not read  \\a.asp: No such file or directory<BR>\r\n"
                                   "Could not read  \\../a.asp" +
                                       not_a_page + "Could not read  \\c:a.asp" + not_a_page),
       true},
      {"C:\\src", "C:\\out", "Shop", -1, kPageHead, false},
      {"C:\\src", "C:\\out", "Shop", 1, "", false},
      {"C:\\src", "C:\\out", "Shop", 8, kPageHead, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source + "|" + c.target + "|" + c.dll + "|" + std::to_string(c.failing_write));
    MemoryRun run;
    run.files->AddFile("C:\\src\\a.asp", "<p>A</p>\r\n");
    if (c.failing_write < 0) run.env.FailNewFileService("class not registered");
    if (c.failing_write > 0) run.response.FailFromWrite(c.failing_write);
    const long operations_before = run.files->OperationCount();
    const RunSummary summary = run.Run(c.source, c.target, c.dll, {"a.asp", "../a.asp", "C:a.asp"});
    EXPECT_EQ(run.response.body(), c.page);
    EXPECT_EQ(summary.host_failure.ok(), c.failing_write == 0);
    EXPECT_EQ(summary.refused_same_folder, c.page == same);
    EXPECT_EQ(run.files->OperationCount() != operations_before, c.files_touched);
    EXPECT_EQ(run.observer.runs, 1);
  }
}

}  // namespace
}  // namespace vorlintex::generator

#include "generator/generation_run.h"

#include <gtest/gtest.h>

#include <string>

#include "generator/generation_run_test_texts.h"

namespace vorlintex::generator {
namespace {

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
      run.Run("C:\\src", "C:\\out\\", "Shop.Dll", {"a.asp", "gone.asp", "A.ASP", "b.asp", "c.asp"});
  EXPECT_EQ(summary.end, RunEnd::kMissingInclude);
  EXPECT_EQ(summary.missing_include, "C:\\src\\<b>&.inc");
  EXPECT_EQ(summary.dll_name, "Shop");
  std::string failures;
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
  EXPECT_EQ(summary.build_script, "C:\\out\\\\Shop.bat");
  EXPECT_EQ(summary.pages_converted, 1u);
  EXPECT_EQ(summary.files_written, 8u);
  EXPECT_FALSE(summary.build_script_written);
}

}  // namespace
}  // namespace vorlintex::generator

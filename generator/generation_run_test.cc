#include "generator/generation_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "generator/generation_run_test_texts.h"
#ifndef _WIN32
#include <stdlib.h>

#include "platform/posix_env.h"
#endif

namespace vorlintex::generator {
namespace {

using testing::MemoryRun;

// Pages that cannot be converted are left out, with no file and no Class line: one that
// cannot be opened, one whose class name another page took first (and below, one named with a
// folder part). A missing include file ends the run at its page, which names it; the pages before
// keep their new files, which count as written, and the files not finished keep what an earlier
// run wrote, or stay missing. The target folder of an earlier run is used as it is, its other
// files stay, and a target ending in a backslash is joined as typed.
TEST(GenerationRunTest, PagesLeftOutAndAMissingIncludeFileThatEndsTheRun) {
  MemoryRun run;
  run.files->AddFile("C:\\src\\a.asp", "<p>A</p>\r\n");
  run.files->AddFile("C:\\src\\b.asp",
                     "<p>B</p>\r\n"
                     "<!-- #include file=\"<b>&.inc\" -->\r\n"
                     "<p>after</p>\r\n");
  run.files->AddFile("C:\\src\\c.asp", "<p>C</p>\r\n");
  run.files->AddFile("C:\\out\\gone.cls", "an earlier run's class\r\n");
  for (const char* earlier : {"b.cls", "b.asp", "Shop.vbp"}) {
    run.files->AddFile(std::string("C:\\out\\") + earlier, std::string("earlier ") + earlier);
  }
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
  EXPECT_EQ(run.File("C:\\out\\a.vbw"), "a = 242, 242, 873, 753, Z\r\n");
  for (const char* earlier : {"b.cls", "b.asp", "Shop.vbp"}) {
    EXPECT_EQ(run.File(std::string("C:\\out\\") + earlier), std::string("earlier ") + earlier);
  }
  EXPECT_EQ(run.File("C:\\out\\gone.cls"), "an earlier run's class\r\n");
  // The three sources, the four earlier files and a's three: no b.vbw, no Shop.bat.
  EXPECT_EQ(run.files->AllFiles().size(), 3u + 4u + 3u);
  EXPECT_EQ(summary.build_script, "C:\\out\\\\Shop.bat");
  EXPECT_EQ(summary.pages_converted, 1u);
  EXPECT_EQ(summary.files_written, 3u);
  const std::vector<std::string> left = {"C:\\out\\\\b.cls", "C:\\out\\\\b.asp", "C:\\out\\\\b.vbw",
                                         "C:\\out\\\\Shop.vbp", "C:\\out\\\\Shop.bat"};
  EXPECT_EQ(summary.files_left, left);
  EXPECT_FALSE(summary.build_script_written);
}

#ifndef _WIN32
// A POSIX folder may hold pages whose names differ only in letter case: the page selected is
// the one converted, and only a name not there as spelled is matched as Windows matches it (the
// first in byte order).
TEST(GenerationRunTest, ThePageSelectedIsReadWhereNamesDifferOnlyInCase) {
  std::string root = ::testing::TempDir() + "run_spellings_XXXXXX";
  ASSERT_NE(mkdtemp(root.data()), nullptr);
  std::filesystem::create_directory(root + "/src");
  for (const char* name : {"Default.asp", "default.ASP"}) {
    std::ofstream(root + "/src/" + name, std::ios::binary) << "<p>" << name << "</p>\r\n";
  }
  std::unique_ptr<Env> env = NewPosixEnv();
  const std::pair<const char*, const char*> cases[] = {{"default.ASP", "default.ASP"},
                                                       {"Default.asp", "Default.asp"},
                                                       {"DEFAULT.asp", "Default.asp"}};
  int run = 0;
  for (const auto& [selected, read] : cases) {
    const std::string target = root + "/out" + std::to_string(++run);
    const RunInput input{root + "/src", target, "Shop", {selected}};
    const RunSummary summary = RunGeneration(input, Services{env.get(), nullptr});
    EXPECT_TRUE(summary.failures.empty()) << selected;
    std::ifstream module(target + "/default.cls", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(module), {}),
              testing::HtmlClass("default", std::string("<p>") + read + "</p>"))
        << selected;
  }
  std::filesystem::remove_all(root);
}
#endif

}  // namespace
}  // namespace vorlintex::generator

// A three-page run, byte for byte, and the same run with one file operation failing, for every
// operation of the run in turn (each folder create, create, open, line read, line write and
// close): the run always ends, its summary names the file that failed, every other output is the
// clean run's byte for byte, and no source page is changed.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "generator/generation_run_test_texts.h"
#ifndef _WIN32
#include <stdlib.h>

#include "platform/posix_env.h"
#endif

namespace vorlintex::generator {
namespace {

using Files = std::map<std::string, std::string>;

// In folders with an ampersand, as is the DLL name, so the report must escape every path.
const Files kSources = {
    {"C:\\R&D\\src\\a.asp", "<p>A <%= Now %></p>\r\n"},
    {"C:\\R&D\\src\\b.asp", "<!-- #include file=\"menu.inc\" -->\r\n<p>B</p>\r\n"},
    {"C:\\R&D\\src\\c.asp", "<b>C</b>\r\n"},
    {"C:\\R&D\\src\\menu.inc", "<% Sub Menu() %>\r\n<a href=\"a.asp\">A</a>\r\n<% End Sub %>\r\n"},
};

struct RunResult {
  std::vector<Failure> failures;
  Files files;          // every file in the store after the run
  long operations = 0;  // file operations the run made
};

// One run of the three pages on a fresh store, which the page host sees end well; with
// `fail_at`, that operation of the run fails; with `unopenable`, every open of that source page.
RunResult RunThreePages(std::optional<long> fail_at, const char* unopenable = nullptr) {
  testing::MemoryRun run;
  for (const auto& [path, contents] : kSources) run.files->AddFile(path, contents);
  run.env.SetClassesRootDefaultValue("VisualBasic.VBZFile\\shell\\open\\command",
                                     "C:\\VB98\\vb6.exe \"%1\"");
  const long before = run.faults.OperationCount();
  if (fail_at) run.faults.FailNthOperation(*fail_at);
  if (unopenable != nullptr) run.faults.FailOn(FileOperation::kOpen, unopenable);
  const RunSummary summary =
      run.Run("C:\\R&D\\src", "C:\\R&D\\out", "S&p.DLL", {"a.asp", "B.ASP", "c.asp.old"});
  EXPECT_EQ(summary.end, RunEnd::kDone);
  RunResult result{summary.failures, {}, run.faults.OperationCount() - before};
  for (const std::string& path : run.files->AllFiles()) result.files[path] = run.File(path);
  return result;
}

std::string At(const Files& files, const std::string& path) {
  auto found = files.find(path);
  return found == files.end() ? "<no file>" : found->second;
}

// Whether a failure of `access` on `path`, or on a file in the folder `path` ends with, was told.
bool Reports(const std::vector<Failure>& failures, Access access, const std::string& path) {
  for (const Failure& failure : failures) {
    if (failure.access != access) continue;
    if (path.ends_with("\\") ? failure.path.starts_with(path) : failure.path == path) return true;
  }
  return false;
}

TEST(RunFaultsTest, EveryFailedOperationIsReportedAndLosesNothingElse) {
  const RunResult clean = RunThreePages(std::nullopt);
  ASSERT_TRUE(clean.failures.empty());
  ASSERT_EQ(clean.files.size(), kSources.size() + 11);
  // The names are cut before ".asp" and ".dll" in any case.
  EXPECT_EQ(clean.files.at("C:\\R&D\\out\\S&p.vbp"),
            testing::Project("S&p", "Class=a; a.cls\r\nClass=b; b.cls\r\nClass=c; c.cls\r\n"));
  EXPECT_EQ(clean.files.at("C:\\R&D\\out\\S&p.bat"),
            "\"C:\\VB98\\vb6.exe \" C:\\R&D\\out\\S&p.vbp /m\r\n");
  for (const std::string base : {"a", "b", "c"}) {
    const std::string out = "C:\\R&D\\out\\" + base;
    EXPECT_EQ(clean.files.at(out + ".asp") + clean.files.at(out + ".vbw"),
              testing::ReplacementPage(base, "S&p") + base + " = 242, 242, 873, 753, Z\r\n");
  }
  // The class modules are the page translation's, which has tests of its own; the include
  // file's procedure reached b's.
  EXPECT_EQ(clean.files.at("C:\\R&D\\out\\c.cls"), testing::HtmlClass("c", "<b>C</b>"));
  EXPECT_NE(clean.files.at("C:\\R&D\\out\\b.cls").find("Sub Menu()"), std::string::npos);
  EXPECT_GT(clean.operations, 60);
  // The outputs of a run in which each page in turn cannot be opened: that page's files and its
  // Class line are left out. A page is read as it was selected, up to its ".asp".
  std::map<std::string, Files> without_page;
  for (const char* page : {"C:\\R&D\\src\\a.asp", "C:\\R&D\\src\\B.ASP", "C:\\R&D\\src\\c.asp"}) {
    without_page[page] = RunThreePages(std::nullopt, page).files;
  }
  for (long k = 1; k <= clean.operations; ++k) {
    SCOPED_TRACE("operation " + std::to_string(k) + " of " + std::to_string(clean.operations));
    const RunResult faulty = RunThreePages(k);
    // Even a failing close of a stream that was only read from (the source page between
    // passes, the include file), which loses nothing, is reported.
    ASSERT_FALSE(faulty.failures.empty());
    for (const auto& [path, contents] : faulty.files) {
      EXPECT_EQ(clean.files.count(path), 1u) << path << " was not written by the clean run";
    }
    bool every_output_named = true;
    for (const auto& [path, contents] : clean.files) {
      if (kSources.count(path) != 0) {
        EXPECT_EQ(At(faulty.files, path), contents) << path;
        continue;
      }
      const bool named = Reports(faulty.failures, Access::kWrite, path);
      every_output_named = every_output_named && named;
      if (named) continue;
      // An output the report does not name is the clean run's, unless a failed read cut a class
      // module short, or left a page out as a page that cannot be opened is.
      bool as_expected =
          At(faulty.files, path) == contents ||
          (path.ends_with(".cls") && Reports(faulty.failures, Access::kRead, "C:\\R&D\\src\\"));
      for (const auto& [page, files] : without_page) {
        as_expected = as_expected || (Reports(faulty.failures, Access::kRead, page) &&
                                      At(files, path) == At(faulty.files, path));
      }
      EXPECT_TRUE(as_expected) << path << " differs";
    }
    // The summary names the file the failure was injected on; a target folder that could not
    // be made shows as every output file failing.
    bool injected_named = false;
    for (const Failure& failure : faulty.failures) {
      injected_named = injected_named || failure.reason == "injected failure";
    }
    EXPECT_TRUE(every_output_named || injected_named);
  }
}

#ifndef _WIN32
// A NUL byte in a posted folder name: the operating system reads a path only up to its first
// NUL, so the run would make and write files at a path other than the one it names. It must
// fail those files instead.
TEST(RunFaultsTest, ATargetHoldingANulMakesNothingAtThePathCutShort) {
  std::string root = ::testing::TempDir() + "run_faults_nul_XXXXXX";
  ASSERT_NE(mkdtemp(root.data()), nullptr);
  std::unique_ptr<Env> env = NewPosixEnv();
  const RunInput input{root, root + "/out" + std::string(1, '\0') + "/elsewhere", "Shop", {}};
  const RunSummary summary = RunGeneration(input, Services{env.get(), nullptr});
  EXPECT_EQ(summary.end, RunEnd::kDone);
  EXPECT_FALSE(std::filesystem::exists(root + "/out"));
  EXPECT_TRUE(Reports(summary.failures, Access::kWrite, summary.build_script));
  std::filesystem::remove_all(root);
}
#endif

}  // namespace
}  // namespace vorlintex::generator

// A three-page run, byte for byte, and the same run with one file operation failing, for every
// operation of the run in turn (each folder create, create, open, line read, line write and
// close): the run always ends, its report names the file that failed, every other output is the
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
  std::string page;
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
  const long before = run.files->OperationCount();
  if (fail_at) run.files->FailNthOperation(*fail_at);
  if (unopenable != nullptr) run.files->FailOn(fs::Operation::kOpen, unopenable);
  EXPECT_TRUE(run.Run("C:\\R&D\\src", "C:\\R&D\\out", "S&p.DLL", {"a.asp", "B.ASP", "c.asp.old"})
                  .host_failure.ok());
  RunResult result{run.response.body(), {}, run.files->OperationCount() - before};
  for (const std::string& path : run.files->AllFiles()) result.files[path] = run.File(path);
  return result;
}

std::string At(const Files& files, const std::string& path) {
  auto found = files.find(path);
  return found == files.end() ? "<no file>" : found->second;
}

bool Reports(const std::string& page, const char* access, std::string path) {
  for (size_t at = path.find('&'); at != std::string::npos; at = path.find('&', at + 1)) {
    path.insert(at + 1, "amp;");
  }
  return page.find(std::string("Could not ") + access + " " + path) != std::string::npos;
}

TEST(RunFaultsTest, EveryFailedOperationIsReportedAndLosesNothingElse) {
  const RunResult clean = RunThreePages(std::nullopt);
  ASSERT_EQ(clean.page, testing::kPageHead +
                            testing::Report("C:\\R&amp;D\\src", "C:\\R&amp;D\\out", "S&amp;p"));
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
  // Class line are left out.
  std::map<std::string, Files> without_page;
  for (const char* page : {"C:\\R&D\\src\\a.asp", "C:\\R&D\\src\\b.asp", "C:\\R&D\\src\\c.asp"}) {
    without_page[page] = RunThreePages(std::nullopt, page).files;
  }
  const std::string notes = clean.page.substr(clean.page.find("Important Notes"));
  for (long k = 1; k <= clean.operations; ++k) {
    SCOPED_TRACE("operation " + std::to_string(k) + " of " + std::to_string(clean.operations));
    const RunResult faulty = RunThreePages(k);
    EXPECT_TRUE(faulty.page.ends_with(notes)) << faulty.page;
    // Even a failing close of a stream that was only read from (the source page between
    // passes, the include file), which loses nothing, is reported.
    EXPECT_NE(faulty.page.find("Generation finished with errors in C:\\R&amp;D\\out."),
              std::string::npos);
    for (const auto& [path, contents] : faulty.files) {
      EXPECT_EQ(clean.files.count(path), 1u) << path << " was not written by the clean run";
    }
    bool every_output_named = true;
    for (const auto& [path, contents] : clean.files) {
      if (kSources.count(path) != 0) {
        EXPECT_EQ(At(faulty.files, path), contents) << path;
        continue;
      }
      every_output_named = every_output_named && Reports(faulty.page, "write", path);
      if (Reports(faulty.page, "write", path)) continue;
      // An output the report does not name is the clean run's, unless a failed read cut a class
      // module short, or left a page out as a page that cannot be opened is.
      bool as_expected = At(faulty.files, path) == contents ||
                         (path.ends_with(".cls") && Reports(faulty.page, "read", "C:\\R&D\\src\\"));
      for (const auto& [page, files] : without_page) {
        as_expected = as_expected || (Reports(faulty.page, "read", page) &&
                                      At(files, path) == At(faulty.files, path));
      }
      EXPECT_TRUE(as_expected) << path << " differs\n" << faulty.page;
    }
    // The report names the file the failure was injected on; a target folder that could not
    // be made shows as every output file failing.
    EXPECT_TRUE(every_output_named ||
                faulty.page.find(": injected failure<BR>\r\n") != std::string::npos)
        << faulty.page;
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
  host::MemoryResponse response;
  ASSERT_TRUE(
      RunGeneration(input, response, Services{env.get(), nullptr, nullptr}).host_failure.ok());
  EXPECT_FALSE(std::filesystem::exists(root + "/out"));
  EXPECT_NE(response.body().find("Could not write "), std::string::npos);
  std::filesystem::remove_all(root);
}
#endif

}  // namespace
}  // namespace vorlintex::generator

// A three-page run with one file operation failing, for every operation of the run in turn
// (each folder create, create, open, line read, line write and close): the run always ends,
// its report names the file that failed, every other output is the clean run's byte for byte,
// and no source page is changed.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "contract/memory_host.h"
#include "generator/generation_run.h"
#include "generator/services.h"
#include "generator/target_turns.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"
#include "platform/posix_env.h"

namespace vorlintex::generator {
namespace {

// Folder names with an ampersand, so the report must escape every path it names.
constexpr char kSourceDir[] = "C:\\R&D\\src";
constexpr char kTargetDir[] = "C:\\R&D\\out";

const std::map<std::string, std::string>& SourceFiles() {
  static const auto* files = new std::map<std::string, std::string>{
      {"C:\\R&D\\src\\a.asp",
       "<html>\r\n"
       "<p>A <%= Now %></p>\r\n"
       "</html>\r\n"},
      {"C:\\R&D\\src\\b.asp",
       "<!-- #include file=\"menu.inc\" -->\r\n"
       "<%\r\n"
       "Sub Hello()\r\n"
       "Response.Write \"hi\"\r\n"
       "End Sub\r\n"
       "%>\r\n"
       "<script language=\"vbscript\" runat=\"server\">\r\n"
       "Dim counter\r\n"
       "</script>\r\n"
       "<p>B \"<%= counter %>\"</p>\r\n"},
      {"C:\\R&D\\src\\c.asp", "<% x = 1 %>\r\n<b>C</b>\r\n"},
      {"C:\\R&D\\src\\menu.inc",
       "<% Sub Menu() %>\r\n"
       "<a href=\"a.asp\">A</a>\r\n"
       "<% End Sub %>\r\n"
       "<hr>\r\n"},
  };
  return *files;
}

// The class module made from each source file that a page reads (its own page or its
// include file): a failed read there may cut that class module short.
const std::map<std::string, std::string>& ClassModuleOfInput() {
  static const auto* modules = new std::map<std::string, std::string>{
      {"C:\\R&D\\src\\a.asp", "C:\\R&D\\out\\a.cls"},
      {"C:\\R&D\\src\\b.asp", "C:\\R&D\\out\\b.cls"},
      {"C:\\R&D\\src\\menu.inc", "C:\\R&D\\out\\b.cls"},
      {"C:\\R&D\\src\\c.asp", "C:\\R&D\\out\\c.cls"},
  };
  return *modules;
}

std::string Escaped(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

struct RunResult {
  Status status;
  std::string page;
  std::map<std::string, std::string> files;  // every file in the store after the run
  long operations = 0;                       // file operations the run made
};

// One run of the three pages on a fresh store; with `fail_at`, that operation of the run fails.
RunResult RunThreePages(std::optional<long> fail_at) {
  auto store = fs::MemoryFileSystem::Create();
  for (const auto& [path, contents] : SourceFiles()) store->AddFile(path, contents);
  MemoryEnv env(store);
  TargetTurns turns;
  RunInput input;
  input.source_dir = kSourceDir;
  input.target_dir = kTargetDir;
  input.dll_name = "Shop.dll";
  for (const char* page : {"a.asp", "B.ASP", "c.asp"}) input.pages.push_back(page);
  host::MemoryResponse response;

  const long before = store->OperationCount();
  if (fail_at) store->FailNthOperation(*fail_at);
  RunResult result;
  result.status = RunGeneration(input, response, Services{&env, &turns, nullptr}).host_failure;
  result.operations = store->OperationCount() - before;
  result.page = response.body();
  for (const std::string& path : store->AllFiles()) result.files[path] = *store->Contents(path);
  return result;
}

bool Reports(const std::string& page, const char* access, const std::string& path) {
  return page.find(std::string("Could not ") + access + " " + Escaped(path) + ": ") !=
         std::string::npos;
}

bool ReportsAny(const std::string& page, const std::string& path) {
  return Reports(page, "read", path) || Reports(page, "write", path);
}

TEST(RunFaultsTest, TheCleanRunWritesEveryFileAndReportsNoFailure) {
  const RunResult clean = RunThreePages(std::nullopt);
  ASSERT_TRUE(clean.status.ok()) << clean.status.ToString();
  EXPECT_NE(clean.page.find("Done generating all the VB files in C:\\R&amp;D\\out.<BR><BR>\r\n"),
            std::string::npos);
  EXPECT_EQ(clean.page.find("Could not"), std::string::npos);
  std::vector<std::string> paths;
  for (const auto& [path, contents] : clean.files) paths.push_back(path);
  std::vector<std::string> expected = {
      "C:\\R&D\\out\\a.asp",    "C:\\R&D\\out\\a.cls",    "C:\\R&D\\out\\a.vbw",
      "C:\\R&D\\out\\b.asp",    "C:\\R&D\\out\\b.cls",    "C:\\R&D\\out\\b.vbw",
      "C:\\R&D\\out\\c.asp",    "C:\\R&D\\out\\c.cls",    "C:\\R&D\\out\\c.vbw",
      "C:\\R&D\\out\\Shop.bat", "C:\\R&D\\out\\Shop.vbp",
  };
  for (const auto& [path, contents] : SourceFiles()) expected.push_back(path);
  std::sort(paths.begin(), paths.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(paths, expected);
  // The include file's procedure reached b's class module.
  EXPECT_NE(clean.files.at("C:\\R&D\\out\\b.cls").find("Sub Menu()"), std::string::npos);
  EXPECT_GT(clean.operations, 60);
}

// What a sweep over every operation of the run found, beyond what it checks on each run.
struct SweepResult {
  long operations = 0;
  // Failures that the report does not mention (each checked to have left every output as the
  // clean run wrote it).
  std::vector<long> unreported;
};

// Fails each operation of the three-page run in turn, on a fresh store each time.
SweepResult SweepEveryOperation() {
  const RunResult clean = RunThreePages(std::nullopt);
  EXPECT_TRUE(clean.status.ok());
  SweepResult sweep;
  sweep.operations = clean.operations;
  std::vector<std::string> outputs;
  for (const auto& [path, contents] : clean.files) {
    if (SourceFiles().count(path) == 0) outputs.push_back(path);
  }
  for (long k = 1; k <= clean.operations; ++k) {
    SCOPED_TRACE("operation " + std::to_string(k) + " of " + std::to_string(clean.operations));
    const RunResult faulty = RunThreePages(k);
    EXPECT_TRUE(faulty.status.ok()) << faulty.status.ToString();
    EXPECT_TRUE(faulty.page.ends_with("</BODY>\r\n</HTML>\r\n")) << faulty.page;

    // Source pages and the include file are never changed.
    for (const auto& [path, contents] : SourceFiles()) {
      auto found = faulty.files.find(path);
      EXPECT_TRUE(found != faulty.files.end() && found->second == contents) << path;
    }
    // Nothing appears that the clean run did not write.
    for (const auto& [path, contents] : faulty.files) {
      EXPECT_EQ(clean.files.count(path), 1u) << path;
    }
    // Every output the report does not name is the clean run's, byte for byte; a class module
    // may also differ when its page or include file could not be read.
    for (const std::string& path : outputs) {
      if (ReportsAny(faulty.page, path)) continue;
      bool input_failed = false;
      for (const auto& [input, module] : ClassModuleOfInput()) {
        input_failed = input_failed || (module == path && Reports(faulty.page, "read", input));
      }
      if (input_failed) continue;
      auto found = faulty.files.find(path);
      EXPECT_TRUE(found != faulty.files.end() && found->second == clean.files.at(path))
          << path << " differs\n"
          << faulty.page;
    }

    if (faulty.page.find("Could not ") == std::string::npos) {
      // Not reported: then the run must not claim less than it did, nor have lost anything
      // (every output was compared above).
      EXPECT_NE(faulty.page.find("Done generating all the VB files in C:\\R&amp;D\\out."),
                std::string::npos);
      sweep.unreported.push_back(k);
      continue;
    }
    EXPECT_NE(faulty.page.find("Generation finished with errors in C:\\R&amp;D\\out."),
              std::string::npos);
    // The report names the file the failure was injected on; a target folder that could not
    // be made shows as every output file failing.
    const bool names_injected = faulty.page.find(": injected failure<BR>\r\n") != std::string::npos;
    const bool names_every_output =
        std::all_of(outputs.begin(), outputs.end(),
                    [&](const std::string& path) { return Reports(faulty.page, "write", path); });
    EXPECT_TRUE(names_injected || names_every_output) << faulty.page;
  }
  return sweep;
}

TEST(RunFaultsTest, EveryFailedOperationIsReportedAndLosesNothingElse) {
  const SweepResult sweep = SweepEveryOperation();
  EXPECT_GT(sweep.operations, 60);
  // A failing close of a stream that was only read from (the source page between passes, the
  // include file) loses nothing, but is reported all the same.
  EXPECT_EQ(sweep.unreported, std::vector<long>{});
}

// A NUL byte in a posted folder name: the operating system reads a path only up to its first
// NUL, so the run would make and write files at a path other than the one it names. It must
// fail those files instead.
TEST(RunFaultsTest, ATargetHoldingANulMakesNothingAtThePathCutShort) {
  std::string root =
      (std::filesystem::path(::testing::TempDir()) / "run_faults_nul_XXXXXX").string();
  ASSERT_NE(mkdtemp(root.data()), nullptr);
  std::filesystem::create_directories(root + "/src");
  std::ofstream(root + "/src/a.asp", std::ios::binary) << "<p>A</p>\r\n";
  const std::string cut = root + "/out";
  std::unique_ptr<Env> env = NewPosixEnv();
  TargetTurns turns;
  RunInput input;
  input.source_dir = root + "/src";
  input.target_dir = cut + std::string(1, '\0') + "/elsewhere";
  input.dll_name = "Shop";
  input.pages.push_back("a.asp");
  host::MemoryResponse response;
  ASSERT_TRUE(
      RunGeneration(input, response, Services{env.get(), &turns, nullptr}).host_failure.ok());
  EXPECT_FALSE(std::filesystem::exists(cut));
  EXPECT_NE(response.body().find("Could not write "), std::string::npos);
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace vorlintex::generator

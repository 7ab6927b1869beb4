// Generation runs at the same time in one process, on the real file system: runs on different
// target folders go on in parallel without touching each other's output, and runs on one
// target folder take turns, so the folder ends holding the whole output of one of them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <latch>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "contract/env.h"
#include "contract/memory_host.h"
#include "generator/generation_run.h"
#include "generator/services.h"
#include "generator/target_turns.h"
#include "platform/posix_env.h"

namespace vorlintex::generator {
namespace {

namespace stdfs = std::filesystem;

// The bytes of every file of a folder, by name.
using FolderBytes = std::map<std::string, std::string>;

struct RunOutput {
  Status status;
  std::string page;
};

class ConcurrentRunsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (stdfs::path(::testing::TempDir()) / "concurrent_runs_XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    root_ = stdfs::canonical(templ).string();
  }
  void TearDown() override { stdfs::remove_all(root_); }

  // A source folder of three pages, long enough that interleaved writers would show, with a
  // mark of its own in every page so that outputs from different sources differ.
  std::string MakeSource(const std::string& name, const std::string& mark) {
    const std::string folder = root_ + "/" + name;
    stdfs::create_directories(folder);
    Write(folder + "/menu.inc", "<% Sub Menu() %>\r\n<a href=\"x.asp\">" + mark + "</a>\r\n");
    for (const char* page : {"default.asp", "Orders.asp", "list.asp"}) {
      std::string text = "<!-- #include file=\"menu.inc\" -->\r\n<html>\r\n";
      for (int line = 0; line < 200; ++line) {
        text += "<p>" + mark + " line " + std::to_string(line) + " <%= Now %> \"q\"</p>\r\n";
        if (line % 50 == 0) text += "<% x = " + std::to_string(line) + " %>\r\n";
      }
      Write(folder + "/" + page, text + "</html>\r\n");
    }
    return folder;
  }

  RunOutput Run(const std::string& source, const std::string& target) {
    RunInput input;
    input.source_dir = source;
    input.target_dir = target;
    input.dll_name = "Shop.dll";
    for (const char* page : {"default.asp", "orders.asp", "LIST.ASP"}) {
      input.pages.push_back(page);
    }
    host::MemoryResponse response;
    RunOutput output;
    output.status =
        RunGeneration(input, response, Services{env_.get(), &turns_, nullptr}).host_failure;
    output.page = response.body();
    return output;
  }

  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  static FolderBytes Read(const std::string& folder) {
    FolderBytes files;
    if (!stdfs::is_directory(folder)) return files;
    for (const stdfs::directory_entry& entry : stdfs::directory_iterator(folder)) {
      std::ifstream file(entry.path(), std::ios::binary);
      files[entry.path().filename().string()] =
          std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    return files;
  }

  std::string root_;
  std::unique_ptr<Env> env_ = NewPosixEnv();
  TargetTurns turns_;
};

TEST_F(ConcurrentRunsTest, ThirtyTwoRunsOnThirtyTwoFoldersEqualTheSameRunsOneAfterTheOther) {
  constexpr int kRuns = 32;
  const std::string source = MakeSource("src", "shared");
  std::vector<std::string> targets;
  for (int i = 0; i < kRuns; ++i) targets.push_back(root_ + "/out" + std::to_string(i));

  std::vector<RunOutput> one_by_one(kRuns);
  std::vector<FolderBytes> one_by_one_files(kRuns);
  for (int i = 0; i < kRuns; ++i) {
    one_by_one[i] = Run(source, targets[i]);
    one_by_one_files[i] = Read(targets[i]);
    stdfs::remove_all(targets[i]);
  }
  ASSERT_TRUE(one_by_one[0].status.ok());
  ASSERT_NE(one_by_one[0].page.find("Done generating all the VB files in "), std::string::npos);
  // Three pages of three files each, the project file and the build script.
  ASSERT_EQ(one_by_one_files[0].size(), 11u);

  std::vector<RunOutput> at_once(kRuns);
  std::latch start(kRuns);
  std::vector<std::thread> threads;
  for (int i = 0; i < kRuns; ++i) {
    threads.emplace_back([&, i] {
      start.arrive_and_wait();
      at_once[i] = Run(source, targets[i]);
    });
  }
  for (std::thread& thread : threads) thread.join();

  for (int i = 0; i < kRuns; ++i) {
    SCOPED_TRACE("run " + std::to_string(i));
    EXPECT_TRUE(at_once[i].status.ok());
    EXPECT_EQ(at_once[i].page, one_by_one[i].page);
    EXPECT_EQ(Read(targets[i]), one_by_one_files[i]);
  }
}

TEST_F(ConcurrentRunsTest, EightRunsOnOneFolderTakeTurnsAndLeaveTheOutputOfOne) {
  constexpr int kRuns = 8;
  const std::string target = root_ + "/out";
  // Each run converts pages of its own source folder, so each leaves different class modules.
  std::vector<std::string> sources;
  std::vector<FolderBytes> alone(kRuns);
  for (int i = 0; i < kRuns; ++i) {
    sources.push_back(MakeSource("src" + std::to_string(i), "source " + std::to_string(i)));
    ASSERT_TRUE(Run(sources[i], target).status.ok());
    alone[i] = Read(target);
    stdfs::remove_all(target);
  }
  ASSERT_NE(alone[0], alone[1]);

  std::vector<RunOutput> at_once(kRuns);
  std::latch start(kRuns);
  std::vector<std::thread> threads;
  for (int i = 0; i < kRuns; ++i) {
    threads.emplace_back([&, i] {
      start.arrive_and_wait();
      at_once[i] = Run(sources[i], target);
    });
  }
  for (std::thread& thread : threads) thread.join();

  for (int i = 0; i < kRuns; ++i) {
    SCOPED_TRACE("run " + std::to_string(i));
    EXPECT_TRUE(at_once[i].status.ok());
    // No run saw a failure: none wrote while another held the folder.
    EXPECT_NE(at_once[i].page.find("Done generating all the VB files in "), std::string::npos)
        << at_once[i].page;
  }
  const FolderBytes left = Read(target);
  int matching = 0;
  for (const FolderBytes& output : alone) matching += left == output ? 1 : 0;
  EXPECT_EQ(matching, 1) << "the folder holds a mix of runs";
}

}  // namespace
}  // namespace vorlintex::generator

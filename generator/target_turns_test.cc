#include "generator/target_turns.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "generator/generation_run_test_texts.h"

namespace vorlintex::generator {
namespace {

// A folder is known by its identity, one not there yet by its path as typed, folded. While a
// run holds the folder, a run of another process (a second Env over the same store) waits for
// it, and one told not to wait ends at once having written nothing; the turn is let go once,
// however it is moved. A folder the platform cannot lock still takes turns in the process.
TEST(TargetTurnsTest, ARunWaitsWhileAnotherHoldsItsTargetFolder) {
  testing::MemoryRun run;
  run.files->AddFile("C:\\src\\a.asp", "<p>A</p>\r\n");
  run.files->AddFolder("c:\\OUT");
  EXPECT_NE(TargetTurns::KeyOf(run.env, "C:\\out"), TargetTurns::KeyOf(run.env, "C:\\src"));
  EXPECT_EQ(TargetTurns::KeyOf(run.env, "D:\\New/A"), TargetTurns::KeyOf(run.env, "d:/new\\a"));
  EXPECT_NE(TargetTurns::KeyOf(run.env, "D:\\New\\A"), TargetTurns::KeyOf(run.env, "D:\\New\\B"));

  TargetTurns::Turn missing, again;
  ASSERT_TRUE(run.turns.Take(run.env, "D:\\New", true, &missing).ok());
  EXPECT_TRUE(missing.held() && !missing.among_processes());
  EXPECT_EQ(run.turns.Take(run.env, "d:/new", false, &again).code(), Status::Code::kBusy);
  EXPECT_FALSE(again.held());

  TargetTurns::Turn held;
  ASSERT_TRUE(run.turns.Take(run.env, "c:/OUT/", true, &held).ok());
  EXPECT_TRUE(held.among_processes());
  const RunSummary in_process = run.Run("C:\\src", "C:\\out", "Shop", {"a.asp"}, false);
  EXPECT_EQ(in_process.end, RunEnd::kTargetBusy);

  MemoryEnv other_env(run.files);
  TargetTurns other_turns;
  const RunInput input{"C:\\src", "C:\\out", "Shop", {"a.asp"}, false};
  EXPECT_EQ(RunGeneration(input, Services{&other_env, &other_turns}).end, RunEnd::kTargetBusy);
  EXPECT_EQ(run.files->AllFiles(), std::vector<std::string>{"C:\\src\\a.asp"});

  RunSummary waited;
  std::thread waiting([&] {
    RunInput waiting_input = input;
    waiting_input.wait = true;
    waited = RunGeneration(waiting_input, Services{&other_env, &other_turns});
  });
  run.files->turns().AwaitWaiters(1);
  EXPECT_FALSE(run.files->Contents("C:\\out\\Shop.bat"));  // it waits, having written nothing
  TargetTurns::Turn moved = std::move(held);
  EXPECT_FALSE(held.held());
  moved = TargetTurns::Turn();
  waiting.join();
  EXPECT_EQ(waited.end, RunEnd::kDone);
  EXPECT_EQ(run.File("C:\\OUT\\Shop.bat"), "vb6 C:\\out\\Shop.vbp /m\r\n");
}

// Holding the folder, a run removes the files in the making that killed runs left there: only
// names of that form, of this folder, in any letter case.
TEST(TargetTurnsTest, ARunHoldingTheFolderRemovesFilesInTheMakingLeftThere) {
  testing::MemoryRun run;
  run.files->AddFile("C:\\src\\a.asp", "<p>A</p>\r\n");
  const std::vector<std::string> left = {".vorlintex-0123456789abcdef.tmp",
                                         ".VORLINTEX-FEDCBA9876543210.TMP"};
  const std::vector<std::string> kept = {
      ".vorlintex-0123456789abcdeg.tmp", ".vorlintex-0123456789abcde.tmp",
      ".vorlintex-0123456789abcdef.tmp.cls", "a.tmp", "sub\\.vorlintex-0123456789abcdef.tmp"};
  for (const std::string& name : left) run.files->AddFile("C:\\out\\" + name, "half");
  for (const std::string& name : kept) run.files->AddFile("C:\\out\\" + name, "mine");
  ASSERT_EQ(run.Run("C:\\src", "C:\\out", "Shop", {"a.asp"}).end, RunEnd::kDone);
  for (const std::string& name : left) EXPECT_FALSE(run.files->Contents("C:\\out\\" + name));
  for (const std::string& name : kept) EXPECT_EQ(run.File("C:\\out\\" + name), "mine") << name;
  EXPECT_EQ(run.File("C:\\out\\a.vbw"), "a = 242, 242, 873, 753, Z\r\n");
}

}  // namespace
}  // namespace vorlintex::generator

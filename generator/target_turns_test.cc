#include "generator/target_turns.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "generator/generation_run_test_texts.h"

namespace vorlintex::generator {
namespace {

// A run waits while another holds its target folder, known by the folder's identity; a folder
// not there yet is known by its path as typed, folded. The turn between processes is taken
// inside the turn in this process and let go once, when the turn is given back, however the
// turn is moved.
TEST(TargetTurnsTest, ARunWaitsWhileAnotherHoldsItsTargetFolder) {
  testing::MemoryRun run;
  run.files->AddFile("C:\\src\\a.asp", "<p>A</p>\r\n");
  run.files->AddFolder("c:\\OUT");
  EXPECT_NE(TargetTurns::KeyOf(run.env, "C:\\out"), TargetTurns::KeyOf(run.env, "C:\\src"));
  EXPECT_EQ(TargetTurns::KeyOf(run.env, "D:\\New/A"), TargetTurns::KeyOf(run.env, "d:/new\\a"));
  EXPECT_NE(TargetTurns::KeyOf(run.env, "D:\\New\\A"), TargetTurns::KeyOf(run.env, "D:\\New\\B"));
  const std::string key = TargetTurns::KeyOf(run.env, "c:/OUT/");
  TargetTurns::Turn held = run.turns.Take(key);
  std::thread waiting(
      [&] { EXPECT_TRUE(run.Run("C:\\src", "C:\\out", "Shop", {"a.asp"}).end == RunEnd::kDone); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(run.files->Contents("C:\\out\\Shop.bat"));
  TargetTurns::Turn moved = std::move(held);
  EXPECT_FALSE(held.held());
  moved = TargetTurns::Turn();
  waiting.join();
  EXPECT_EQ(run.File("C:\\out\\Shop.bat"), "vb6 C:\\out\\Shop.vbp /m\r\n");
  EXPECT_EQ(run.process_turns, (std::vector<std::string>{"take " + key, "let go " + key,
                                                         "take " + key, "let go " + key}));
}

}  // namespace
}  // namespace vorlintex::generator

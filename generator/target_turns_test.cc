#include "generator/target_turns.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "generator/generation_run_test_texts.h"

namespace vorlintex::generator {
namespace {

// A run waits while another holds its target folder, known by the folder's identity; a folder
// not there yet is known by its path as typed, folded.
TEST(TargetTurnsTest, ARunWaitsWhileAnotherHoldsItsTargetFolder) {
  testing::MemoryRun run;
  run.files->AddFile("C:\\src\\a.asp", "<p>A</p>\r\n");
  run.files->AddFolder("c:\\OUT");
  EXPECT_NE(TargetTurns::KeyOf(run.env, "C:\\out"), TargetTurns::KeyOf(run.env, "C:\\out2"));
  EXPECT_EQ(TargetTurns::KeyOf(run.env, "D:\\New/A"), TargetTurns::KeyOf(run.env, "d:/new\\a"));
  EXPECT_NE(TargetTurns::KeyOf(run.env, "D:\\New\\A"), TargetTurns::KeyOf(run.env, "D:\\New\\B"));
  TargetTurns::Turn held = run.turns.Take(TargetTurns::KeyOf(run.env, "c:/OUT/"));
  std::thread waiting(
      [&] { EXPECT_TRUE(run.Run("C:\\src", "C:\\out", "Shop", {"a.asp"}).host_failure.ok()); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(run.files->Contents("C:\\out\\Shop.bat"));
  held = TargetTurns::Turn();
  waiting.join();
  EXPECT_EQ(run.File("C:\\out\\Shop.bat"), "vb6 C:\\out\\Shop.vbp /m\r\n");
}

// The turn between processes is taken inside the turn in this process and let go once, when
// the turn is given back, however the turn is moved.
TEST(TargetTurnsTest, TheTurnBetweenProcessesIsHeldInsideTheTurnInThisProcess) {
  std::vector<std::string> events;
  TargetTurns turns([&](const std::string& key) {
    events.push_back("take " + key);
    return std::shared_ptr<void>(nullptr,
                                 [&events, key](void*) { events.push_back("let go " + key); });
  });
  {
    TargetTurns::Turn turn = turns.Take("a");
    TargetTurns::Turn moved = std::move(turn);
    moved = turns.Take("b");
    events.push_back("running");
  }
  events.push_back("given back");
  // Had either turn not been given back, this would wait for ever.
  TargetTurns::Turn again = turns.Take("a");
  again = turns.Take("b");
  EXPECT_EQ(events, (std::vector<std::string>{"take a", "take b", "let go a", "running", "let go b",
                                              "given back", "take a", "take b", "let go a"}));
}

}  // namespace
}  // namespace vorlintex::generator

#include "generator/target_turns.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/memory_env.h"
#include "platform/memory_file_service.h"

namespace vorlintex::generator {
namespace {

TEST(TargetTurnsTest, RunsOnOneFolderNeverOverlap) {
  TargetTurns turns;
  std::atomic<int> inside{0};
  std::atomic<int> most_inside{0};
  std::atomic<int> entered{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i) {
        TargetTurns::Turn turn = turns.Take("folder:c:\\out");
        int now = ++inside;
        int seen = most_inside.load();
        while (now > seen && !most_inside.compare_exchange_weak(seen, now)) {
        }
        ++entered;
        std::this_thread::yield();
        --inside;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(entered.load(), 200);
  EXPECT_EQ(most_inside.load(), 1);
}

TEST(TargetTurnsTest, ASecondRunWaitsUntilTheFirstGivesTheTurnBack) {
  TargetTurns turns;
  TargetTurns::Turn first = turns.Take("folder:c:\\out");
  std::atomic<bool> second_entered{false};
  std::thread second([&] {
    TargetTurns::Turn turn = turns.Take("folder:c:\\out");
    second_entered = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(second_entered.load());
  first = TargetTurns::Turn();
  second.join();
  EXPECT_TRUE(second_entered.load());
}

TEST(TargetTurnsTest, RunsOnDifferentFoldersHoldTheirTurnsAtOnce) {
  TargetTurns turns;
  std::mutex mutex;
  std::condition_variable changed;
  int holding = 0;
  bool both_held = false;
  auto run = [&](const std::string& key) {
    TargetTurns::Turn turn = turns.Take(key);
    std::unique_lock<std::mutex> lock(mutex);
    ++holding;
    changed.notify_all();
    // Each keeps its turn until the other holds its own too; a generous bound keeps a
    // broken implementation from hanging the test.
    if (changed.wait_for(lock, std::chrono::seconds(10), [&] { return holding == 2; })) {
      both_held = true;
    }
  };
  std::thread a(run, "folder:c:\\out1");
  std::thread b(run, "folder:c:\\out2");
  a.join();
  b.join();
  EXPECT_TRUE(both_held);
}

TEST(TargetTurnsTest, AMovedTurnIsGivenBackOnce) {
  TargetTurns turns;
  TargetTurns::Turn moved;
  {
    TargetTurns::Turn turn = turns.Take("k");
    EXPECT_TRUE(turn.held());
    moved = std::move(turn);
    EXPECT_FALSE(turn.held());
  }
  EXPECT_TRUE(moved.held());
  std::atomic<bool> taken{false};
  std::thread other([&] {
    TargetTurns::Turn again = turns.Take("k");
    taken = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(taken.load());
  moved = TargetTurns::Turn();
  other.join();
  EXPECT_TRUE(taken.load());
}

// The turn between processes is held while the run holds its turn, and let go once, however
// the turn is moved.
TEST(TargetTurnsTest, TheTurnBetweenProcessesIsHeldInsideTheTurnInThisProcess) {
  std::vector<std::string> events;
  TargetTurns turns([&](const std::string& key) {
    events.push_back("take " + key);
    return std::shared_ptr<void>(nullptr,
                                 [&events, key](void*) { events.push_back("let go " + key); });
  });
  {
    TargetTurns::Turn turn = turns.Take("k");
    TargetTurns::Turn moved = std::move(turn);
    events.push_back("running");
  }
  events.push_back("given back");
  EXPECT_EQ(events, (std::vector<std::string>{"take k", "running", "let go k", "given back"}));
}

TEST(TargetTurnsTest, KeyIsTheFolderIdentityOrTheTypedPathFolded) {
  std::shared_ptr<fs::MemoryFileSystem> files = fs::MemoryFileSystem::Create();
  files->AddFolder("C:\\Out");
  MemoryEnv env(files);
  EXPECT_EQ(TargetTurns::KeyOf(env, "C:\\Out"), TargetTurns::KeyOf(env, "c:/OUT/"));
  EXPECT_NE(TargetTurns::KeyOf(env, "C:\\Out"), TargetTurns::KeyOf(env, "C:\\Out2"));
  EXPECT_EQ(TargetTurns::KeyOf(env, "D:\\New/Folder"), TargetTurns::KeyOf(env, "d:/new\\FOLDER"));
  EXPECT_NE(TargetTurns::KeyOf(env, "D:\\New\\Folder"), TargetTurns::KeyOf(env, "D:\\New\\Other"));
}

}  // namespace
}  // namespace vorlintex::generator

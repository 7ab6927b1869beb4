#include "platform/windows/win32_process_turn.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace vorlintex {
namespace {

// Each thread owns a mutex of its own taking, as each process would: a second holder of the
// same key waits, one of another key does not.
TEST(Win32ProcessTurnTest, ASecondHolderOfTheKeyWaitsForTheFirst) {
  std::shared_ptr<void> first = TakeNamedTurn("folder:1:2");
  ASSERT_NE(first, nullptr);
  std::atomic<bool> other_taken{false}, same_taken{false};
  std::thread([&] { other_taken = TakeNamedTurn("folder:1:3") != nullptr; }).join();
  EXPECT_TRUE(other_taken.load());
  std::thread same([&] { same_taken = TakeNamedTurn("folder:1:2") != nullptr; });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(same_taken.load());
  first.reset();
  same.join();
  EXPECT_TRUE(same_taken.load());
}

}  // namespace
}  // namespace vorlintex

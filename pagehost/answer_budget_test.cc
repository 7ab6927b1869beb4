#include "pagehost/answer_budget.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace vorlintex::pagehost {
namespace {

// Whether a Take of `bytes` returns within a short wait.
bool TakeReturns(AnswerBudget& budget, size_t bytes) {
  std::atomic<bool> taken = false;
  std::thread worker([&] {
    budget.Take(bytes);
    taken = true;
  });
  for (int i = 0; i < 50 && !taken; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  bool returned = taken;
  if (!returned) budget.Close();  // let the worker go
  worker.join();
  return returned;
}

TEST(AnswerBudgetTest, AWorkerWaitsOnlyWhenItsAnswerDoesNotFit) {
  AnswerBudget empty(100);
  EXPECT_TRUE(TakeReturns(empty, 1000));  // alone, even past the bound

  AnswerBudget full(100);
  full.Add(80);
  EXPECT_FALSE(full.Short());
  EXPECT_FALSE(TakeReturns(full, 30));
}

TEST(AnswerBudgetTest, RoomMadeLetsTheWaitingWorkerOn) {
  AnswerBudget budget(100);
  budget.Add(80);
  std::atomic<bool> taken = false;
  std::thread worker([&] {
    budget.Take(30);
    taken = true;
  });
  while (!budget.Wanted()) std::this_thread::yield();
  EXPECT_TRUE(budget.Short());  // what the I/O thread sees: close the slowest readers
  EXPECT_FALSE(taken);
  budget.Release(80);
  worker.join();
  EXPECT_TRUE(taken);
  EXPECT_FALSE(budget.Short());
}

}  // namespace
}  // namespace vorlintex::pagehost

#include "platform/windows/win32_process_turn.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace vorlintex {
namespace {

// A mutex belongs to the thread that takes it, as it would to another process: a second holder
// of the same key on another thread is refused while the first holds it, one of another key is
// not, and once the first lets go the key is free.
TEST(Win32ProcessTurnTest, ASecondHolderOfTheKeyIsRefusedWhileTheFirstHolds) {
  std::unique_ptr<FolderTurn> first;
  ASSERT_TRUE(TakeNamedTurn("folder:1:2", "C:\\out", true, &first).ok());
  auto try_from_another_thread = [](const char* key) {
    Status status;
    std::thread([&] {
      std::unique_ptr<FolderTurn> turn;
      status = TakeNamedTurn(key, "C:\\out", false, &turn);
    }).join();
    return status;
  };
  EXPECT_TRUE(try_from_another_thread("folder:1:3").ok());
  Status busy = try_from_another_thread("folder:1:2");
  EXPECT_EQ(busy.ToString(), "Busy: C:\\out: another run is writing into this folder");
  first.reset();
  EXPECT_TRUE(try_from_another_thread("folder:1:2").ok());
}

}  // namespace
}  // namespace vorlintex

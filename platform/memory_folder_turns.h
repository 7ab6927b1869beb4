// The turns of folders in an in-memory store, for tests: what locks on the folders are on disk,
// shared by every Env over one store as processes share a disk. A test can wait until a run is
// known to wait for a turn, so that it asserts an order, never a duration.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "contract/env.h"

namespace vorlintex::fs {

class MemoryFolderTurns : public std::enable_shared_from_this<MemoryFolderTurns> {
 public:
  static std::shared_ptr<MemoryFolderTurns> Create();

  // Env::TakeFolderTurn for the folder of lookup key `key`, named `path` in a failure; the
  // caller has found that the folder exists.
  Status Take(const std::string& key, const std::string& path, bool wait,
              std::unique_ptr<FolderTurn>* turn);
  // Returns once `count` takers wait for a turn that another holds.
  void AwaitWaiters(int count);

 private:
  class Turn;
  void Give(const std::string& key);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::set<std::string> held_;
  int waiters_ = 0;
};

}  // namespace vorlintex::fs

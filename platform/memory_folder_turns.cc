#include "platform/memory_folder_turns.h"

#include <utility>

namespace vorlintex::fs {

class MemoryFolderTurns::Turn final : public FolderTurn {
 public:
  Turn(std::shared_ptr<MemoryFolderTurns> turns, std::string key)
      : turns_(std::move(turns)), key_(std::move(key)) {}
  ~Turn() override { turns_->Give(key_); }

 private:
  const std::shared_ptr<MemoryFolderTurns> turns_;
  const std::string key_;
};

std::shared_ptr<MemoryFolderTurns> MemoryFolderTurns::Create() {
  return std::make_shared<MemoryFolderTurns>();
}

Status MemoryFolderTurns::Take(const std::string& key, const std::string& path, bool wait,
                               std::unique_ptr<FolderTurn>* turn) {
  turn->reset();
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (held_.contains(key)) {
      if (!wait) return Status::Busy(path, kFolderBusyReason);
      ++waiters_;
      changed_.notify_all();
      changed_.wait(lock, [&] { return !held_.contains(key); });
      --waiters_;
    }
    held_.insert(key);
  }
  *turn = std::make_unique<Turn>(shared_from_this(), key);
  return Status::OK();
}

void MemoryFolderTurns::AwaitWaiters(int count) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return waiters_ >= count; });
}

void MemoryFolderTurns::Give(const std::string& key) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    held_.erase(key);
  }
  changed_.notify_all();
}

}  // namespace vorlintex::fs

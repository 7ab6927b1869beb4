#include "generator/target_turns.h"

#include "contract/ascii.h"

namespace vorlintex::generator {

TargetTurns::Turn::Turn(Turn&& other) noexcept
    : turns_(std::exchange(other.turns_, nullptr)),
      key_(std::move(other.key_)),
      between_processes_(std::move(other.between_processes_)) {}

TargetTurns::Turn& TargetTurns::Turn::operator=(Turn&& other) noexcept {
  if (this != &other) {
    Release();
    turns_ = std::exchange(other.turns_, nullptr);
    key_ = std::move(other.key_);
    between_processes_ = std::move(other.between_processes_);
  }
  return *this;
}

TargetTurns::Turn::~Turn() { Release(); }

void TargetTurns::Turn::Release() {
  if (turns_ == nullptr) return;
  between_processes_.reset();
  std::exchange(turns_, nullptr)->Give(key_);
}

Status TargetTurns::Take(Env& env, const std::string& target_dir, bool wait, Turn* turn) {
  *turn = Turn();
  const std::string key = KeyOf(env, target_dir);
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!wait && busy_.contains(key)) {
      return Status::Busy(target_dir, kFolderBusyReason);
    }
    released_.wait(lock, [&] { return !busy_.contains(key); });
    busy_.insert(key);
  }
  Turn taken(this, key);
  // Asked only by the one thread of this process that holds the key, so that a process waits
  // for others with one thread at most, and takes a folder's turn once at a time.
  Status among = env.TakeFolderTurn(target_dir, wait, &taken.between_processes_);
  if (among.code() == Status::Code::kBusy) return among;
  *turn = std::move(taken);
  return Status::OK();
}

void TargetTurns::Give(const std::string& key) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    busy_.erase(key);
  }
  released_.notify_all();
}

std::string TargetTurns::KeyOf(Env& env, const std::string& target_dir) {
  if (std::optional<std::string> identity = env.FolderIdentity(target_dir)) {
    return "folder:" + *identity;
  }
  std::string typed = AsciiLower(target_dir);
  for (char& c : typed) {
    if (c == '/') c = '\\';
  }
  return "typed:" + typed;
}

}  // namespace vorlintex::generator

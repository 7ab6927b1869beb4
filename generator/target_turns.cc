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

TargetTurns::Turn TargetTurns::Take(const std::string& key) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    released_.wait(lock, [&] { return !busy_.contains(key); });
    busy_.insert(key);
  }
  Turn turn(this, key);
  // Asked only by the one thread of this process that holds the key, so that a process
  // waits for others with one thread at most.
  if (take_process_turn_) turn.between_processes_ = take_process_turn_(key);
  return turn;
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

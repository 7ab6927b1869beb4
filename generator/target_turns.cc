#include "generator/target_turns.h"

#include "contract/ascii.h"

namespace vorlintex::generator {

TargetTurns::Turn::Turn(Turn&& other) noexcept
    : turns_(std::exchange(other.turns_, nullptr)), key_(std::move(other.key_)) {}

TargetTurns::Turn& TargetTurns::Turn::operator=(Turn&& other) noexcept {
  if (this != &other) {
    Release();
    turns_ = std::exchange(other.turns_, nullptr);
    key_ = std::move(other.key_);
  }
  return *this;
}

TargetTurns::Turn::~Turn() { Release(); }

void TargetTurns::Turn::Release() {
  if (turns_ == nullptr) return;
  std::exchange(turns_, nullptr)->Give(key_);
}

TargetTurns::Turn TargetTurns::Take(const std::string& key) {
  std::unique_lock<std::mutex> lock(mutex_);
  released_.wait(lock, [&] { return !busy_.contains(key); });
  busy_.insert(key);
  return Turn(this, key);
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

#include "pagehost/session_store.h"

#include <utility>

#include "contract/ascii.h"
#include "platform/random_id.h"

namespace vorlintex::pagehost {
namespace {

// What a value costs beyond its bytes: the map's node and the strings' own parts.
constexpr size_t kValueOverhead = 128;
constexpr size_t kSessionOverhead = 256;

}  // namespace

SessionValues::SessionValues(std::shared_ptr<std::atomic<size_t>> total)
    : total_(std::move(total)), bytes_(kSessionOverhead) {
  if (total_) *total_ += bytes_;
}

SessionValues::~SessionValues() {
  if (total_) *total_ -= bytes_;
}

std::string SessionValues::Get(std::string_view name) const {
  std::string key = AsciiLower(name);
  std::lock_guard lock(mutex_);
  auto found = values_.find(key);
  return found == values_.end() ? std::string() : found->second;
}

void SessionValues::Set(std::string_view name, std::string_view value) {
  std::string key = AsciiLower(name);
  std::lock_guard lock(mutex_);
  auto [at, added] = values_.try_emplace(std::move(key));
  size_t before = added ? 0 : at->first.size() + at->second.size() + kValueOverhead;
  at->second = std::string(value);
  size_t after = at->first.size() + at->second.size() + kValueOverhead;
  bytes_ += after - before;
  if (total_) *total_ += after - before;  // unsigned: wraps back for a shorter value
}

SessionStore::SessionStore(SessionStoreOptions options) : options_(std::move(options)) {
  if (!options_.new_id) options_.new_id = NewRandomId;
  if (options_.max_sessions == 0) options_.max_sessions = 1;
}

bool SessionStore::LooksLikeId(std::string_view text) {
  if (text.size() != 32) return false;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

void SessionStore::DropExpiredLocked(SessionStoreOptions::Clock::time_point now) {
  while (!by_use_.empty()) {
    auto oldest = sessions_.find(by_use_.front());
    if (now - oldest->second.last_used < options_.idle_timeout && *total_ <= options_.max_bytes) {
      break;
    }
    sessions_.erase(oldest);
    by_use_.pop_front();
  }
}

std::shared_ptr<SessionValues> SessionStore::Find(std::string_view id) {
  if (!LooksLikeId(id)) return nullptr;
  auto now = options_.now();
  std::lock_guard lock(mutex_);
  DropExpiredLocked(now);
  auto found = sessions_.find(std::string(id));
  if (found == sessions_.end()) return nullptr;
  found->second.last_used = now;
  by_use_.splice(by_use_.end(), by_use_, found->second.position);
  return found->second.values;
}

Status SessionStore::Create(std::string* id, std::shared_ptr<SessionValues>* values) {
  std::string new_id;
  Status status = options_.new_id(&new_id);
  if (!status.ok()) return status;
  auto now = options_.now();
  std::lock_guard lock(mutex_);
  DropExpiredLocked(now);
  if (sessions_.count(new_id) != 0) return Status::Error("session id", "the id is in use");
  while (sessions_.size() >= options_.max_sessions) {
    sessions_.erase(by_use_.front());
    by_use_.pop_front();
  }
  auto values_ptr = std::make_shared<SessionValues>(total_);
  by_use_.push_back(new_id);
  sessions_.emplace(new_id, Entry{values_ptr, now, std::prev(by_use_.end())});
  *id = std::move(new_id);
  *values = std::move(values_ptr);
  return Status::OK();
}

size_t SessionStore::size() const {
  std::lock_guard lock(mutex_);
  return sessions_.size();
}

}  // namespace vorlintex::pagehost

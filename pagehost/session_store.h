// The user sessions of one server: values stored by the wizard's pages between requests of the
// same browser, found again by the id in its session cookie. A session ends after a time
// without requests, and the store holds a bounded number of sessions and of bytes in their
// values (past either, the least recently used go first), so no client can make it grow
// without limit.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "contract/status.h"

namespace vorlintex::pagehost {

// The values of one session. Names compare without regard to ASCII case, as the host's
// collections do. Two requests of one browser may run at once, so access is locked.
class SessionValues {
 public:
  // `total` counts the bytes of every session of a store; each adds its own while it lives.
  explicit SessionValues(std::shared_ptr<std::atomic<size_t>> total = nullptr);
  ~SessionValues();
  SessionValues(const SessionValues&) = delete;
  SessionValues& operator=(const SessionValues&) = delete;

  std::string Get(std::string_view name) const;
  void Set(std::string_view name, std::string_view value);

 private:
  std::shared_ptr<std::atomic<size_t>> total_;
  mutable std::mutex mutex_;
  size_t bytes_ = 0;
  std::map<std::string, std::string, std::less<>> values_;  // by ASCII lower-cased name
};

struct SessionStoreOptions {
  using Clock = std::chrono::steady_clock;
  std::chrono::steady_clock::duration idle_timeout = std::chrono::minutes(20);
  size_t max_sessions = 4096;
  // The bytes the sessions' values may hold together (names, values and a share for the
  // bookkeeping of each). A request may push past it by what it stores; the next request to
  // find or start a session pushes out the least recently used until it holds again.
  size_t max_bytes = 16 << 20;
  std::function<Clock::time_point()> now = [] { return Clock::now(); };
  // Makes a new session id; 128 random bits from the operating system unless replaced.
  std::function<Status(std::string*)> new_id;
};

class SessionStore {
 public:
  explicit SessionStore(SessionStoreOptions options = {});

  // The live session with this id, its idle time restarted; null when there is none (never
  // was, ended, or pushed out by newer sessions).
  std::shared_ptr<SessionValues> Find(std::string_view id);
  // Starts a new session, pushing out the least recently used one when the store is full.
  Status Create(std::string* id, std::shared_ptr<SessionValues>* values);

  size_t size() const;
  // The bytes held by the sessions' values, the sessions pushed out but still in use included.
  size_t bytes() const { return *total_; }
  // Whether `text` has the form of a session id (32 lower-case hexadecimal digits).
  static bool LooksLikeId(std::string_view text);

 private:
  struct Entry {
    std::shared_ptr<SessionValues> values;
    SessionStoreOptions::Clock::time_point last_used;
    std::list<std::string>::iterator position;  // in by_use_
  };

  // Drops the sessions past their idle time, then the least recently used past the bounds.
  void DropExpiredLocked(SessionStoreOptions::Clock::time_point now);

  SessionStoreOptions options_;
  std::shared_ptr<std::atomic<size_t>> total_ = std::make_shared<std::atomic<size_t>>(0);
  mutable std::mutex mutex_;
  std::unordered_map<std::string, Entry> sessions_;
  std::list<std::string> by_use_;  // ids, least recently used first
};

}  // namespace vorlintex::pagehost

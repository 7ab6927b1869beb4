// The bytes of answers made and not yet wholly sent, all connections together, against their
// bound. Workers make answers faster than slow clients take them; a worker whose answer does not
// fit waits (holding only the answer it made) while the I/O thread closes the connections that
// have taken nothing for longest, so the bound holds whatever the clients do.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace vorlintex::pagehost {

class AnswerBudget {
 public:
  explicit AnswerBudget(size_t limit) : limit_(limit) {}

  // A worker's answer of `bytes`: waits until it fits (or is alone, or the budget is closed).
  void Take(size_t bytes);
  // An answer made on the I/O thread (an error page): counted at once, it never waits.
  void Add(size_t bytes);
  void Release(size_t bytes);
  // Whether the held bytes and those the waiting workers want are past the bound.
  bool Short() const;
  // Whether a worker waits for room.
  bool Wanted() const;
  // From now on nothing waits: the server is stopping.
  void Close();

 private:
  const size_t limit_;
  mutable std::mutex mutex_;
  std::condition_variable room_;
  size_t held_ = 0;
  size_t wanted_ = 0;  // by the workers waiting
  bool closed_ = false;
};

}  // namespace vorlintex::pagehost

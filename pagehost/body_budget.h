// The bytes of request bodies being received or waiting for a worker, all connections
// together, against their bound. A body is counted at its declared length from the moment its
// head is accepted (its buffer is made that size as reading begins) until its page has run, so
// clients holding bodies unfinished cannot hold the server's memory: past the bound, a new body
// is refused instead of read. Taken on the I/O thread, given back on a worker too.
#pragma once

#include <atomic>
#include <cstddef>

namespace vorlintex::pagehost {

class BodyBudget {
 public:
  explicit BodyBudget(size_t limit) : limit_(limit) {}

  // Counts `bytes` and says true when they fit with those held; false, counting nothing, when
  // they do not.
  bool TryTake(size_t bytes);
  void Release(size_t bytes);

 private:
  const size_t limit_;
  std::atomic<size_t> held_{0};
};

}  // namespace vorlintex::pagehost

// A fixed pool of threads that run pages, so that a generation run taking seconds never holds
// the thread that reads and writes the sockets. A job goes to the worker that became idle last
// (its stack and caches are the warmest), or waits in order when all are busy.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vorlintex::pagehost {

class PageWorkers {
 public:
  explicit PageWorkers(size_t threads);
  // Finish() if not called.
  ~PageWorkers();
  PageWorkers(const PageWorkers&) = delete;
  PageWorkers& operator=(const PageWorkers&) = delete;

  void Run(std::function<void()> job);
  // Runs every job given so far, then ends the threads.
  void Finish();

 private:
  struct IdleWorker {
    std::condition_variable wake;
    std::optional<std::function<void()>> job;
  };

  void Work();

  std::mutex mutex_;
  std::deque<std::function<void()>> jobs_;
  std::vector<IdleWorker*> idle_;
  bool finishing_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace vorlintex::pagehost

#include "pagehost/page_workers.h"

#include <algorithm>

namespace vorlintex::pagehost {

PageWorkers::PageWorkers(size_t threads) {
  threads = std::max<size_t>(1, threads);
  for (size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
}

PageWorkers::~PageWorkers() { Finish(); }

void PageWorkers::Run(std::function<void()> job) {
  std::unique_lock lock(mutex_);
  if (idle_.empty()) {
    jobs_.push_back(std::move(job));
    return;
  }
  IdleWorker* worker = idle_.back();
  idle_.pop_back();
  worker->job = std::move(job);
  lock.unlock();
  worker->wake.notify_one();
}

void PageWorkers::Finish() {
  {
    std::lock_guard lock(mutex_);
    finishing_ = true;
    for (IdleWorker* worker : idle_) worker->wake.notify_one();
  }
  for (std::thread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}

void PageWorkers::Work() {
  IdleWorker self;
  while (true) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      if (jobs_.empty() && !finishing_) {
        idle_.push_back(&self);
        self.wake.wait(lock, [&] { return self.job || finishing_; });
        if (!self.job) std::erase(idle_, &self);
      }
      if (self.job) {
        job = std::move(*self.job);
        self.job.reset();
      } else if (!jobs_.empty()) {
        job = std::move(jobs_.front());
        jobs_.pop_front();
      } else {
        return;  // finishing, nothing left
      }
    }
    job();
  }
}

}  // namespace vorlintex::pagehost

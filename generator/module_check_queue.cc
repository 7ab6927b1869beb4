#include "generator/module_check_queue.h"

#include <system_error>
#include <utility>

#include "modulecheck/module_checker.h"

namespace vorlintex::generator {

void ModuleCheckQueue::Module::Line(std::string_view text) {
  text_.append(text);
  ends_.push_back(text_.size());
}

ModuleCheckQueue::~ModuleCheckQueue() { Stop(); }

void ModuleCheckQueue::Check(std::string path, Module&& module) {
  if (!started_) {
    started_ = true;
    try {
      thread_ = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
      // No thread to be had (a process at its limit): the run reads its modules itself.
    }
  }
  Job job{std::move(path), std::move(module)};
  if (!thread_.joinable()) {
    Read(job);
    return;
  }
  const size_t bytes = job.module.text_.size();
  bool wake = false;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (queued_bytes_ != 0 && queued_bytes_ + bytes > kQueuedBytes) {
      ready_.notify_one();
      room_.wait(lock, [&] { return queued_bytes_ == 0 || queued_bytes_ + bytes <= kQueuedBytes; });
    }
    queued_bytes_ += bytes;
    unwoken_bytes_ += bytes;
    jobs_.push_back(std::move(job));
    if (unwoken_bytes_ >= kWakeBytes) {
      wake = true;
      unwoken_bytes_ = 0;
    }
  }
  if (wake) ready_.notify_one();
}

ModuleCheckQueue::Module ModuleCheckQueue::NewModule(bool regexp_reference) {
  Module module(regexp_reference);
  std::lock_guard<std::mutex> lock(mutex_);
  if (!spare_.empty()) {
    module.text_ = std::move(spare_.back().text_);
    module.ends_ = std::move(spare_.back().ends_);
    spare_.pop_back();
  }
  return module;
}

void ModuleCheckQueue::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    ready_.wait(lock, [&] { return !jobs_.empty() || closing_; });
    if (jobs_.empty()) return;
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    Read(job);
    lock.lock();
    queued_bytes_ -= job.module.text_.size();
    // Two spare modules serve a run that gives one while the checker reads another.
    if (spare_.size() < 2) {
      job.module.text_.clear();
      job.module.ends_.clear();
      spare_.push_back(std::move(job.module));
    }
    room_.notify_one();
  }
}

void ModuleCheckQueue::Read(const Job& job) {
  const Module& module = job.module;
  modulecheck::ModuleChecker checker(modulecheck::ModuleContext{module.regexp_reference_});
  size_t start = 0;
  for (size_t end : module.ends_) {
    checker.Line(std::string_view(module.text_).substr(start, end - start));
    start = end;
  }
  modulecheck::ModuleVerdict verdict = checker.Finish();
  ++checked_;
  if (verdict.compiles) return;
  ++not_compiling_;
  if (first_faults_.size() < RunSummary::kKeptModuleFaults && !verdict.first_reasons.empty()) {
    first_faults_.push_back({job.path, modulecheck::Explain(verdict.first_reasons[0])});
  }
}

void ModuleCheckQueue::Stop() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  ready_.notify_one();
  thread_.join();
}

void ModuleCheckQueue::CountIn(RunSummary& summary) {
  Stop();
  summary.modules_checked += checked_;
  summary.modules_not_compiling += not_compiling_;
  for (RunSummary::ModuleFault& fault : first_faults_) {
    if (summary.first_module_faults.size() == RunSummary::kKeptModuleFaults) break;
    summary.first_module_faults.push_back(std::move(fault));
  }
  checked_ = 0;
  not_compiling_ = 0;
  first_faults_.clear();
}

}  // namespace vorlintex::generator

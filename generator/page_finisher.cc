#include "generator/page_finisher.h"

#include <system_error>
#include <utility>

#include "modulecheck/module_checker.h"

namespace vorlintex::generator {
size_t PageFinisher::BytesOf(const PageEnd& end) {
  size_t bytes = 0;
  for (const auto& [path, module] : end.modules) bytes += module.lines_.text().size();
  return bytes;
}

PageFinisher::~PageFinisher() {
  FinishAll([](Finished&) {});
}

PageFinisher::Module PageFinisher::NewModule(bool regexp_reference) {
  Module module(regexp_reference);
  std::lock_guard<std::mutex> lock(mutex_);
  if (!spare_.empty()) {
    module.lines_ = std::move(spare_.back().lines_);
    spare_.pop_back();
  }
  return module;
}

void PageFinisher::Finish(PageEnd end) {
  if (!started_) {
    started_ = true;
    try {
      thread_ = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
      // No thread to be had (a process at its limit): the run finishes its pages itself.
    }
  }
  if (!thread_.joinable()) {
    Finished finished = End(end);
    std::lock_guard<std::mutex> lock(mutex_);
    finished_.push_back(std::move(finished));
    return;
  }
  const size_t bytes = BytesOf(end);
  bool wake = false;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (queued_pages_ != 0 &&
        (queued_pages_ == kQueuedPages || queued_bytes_ + bytes > kQueuedBytes)) {
      // Full: waits until half is finished, so that the two threads do not wake each other
      // for every page.
      waiting_ = true;
      ready_.notify_one();
      room_.wait(lock, [&] {
        return queued_pages_ <= kQueuedPages / 2 && queued_bytes_ <= kQueuedBytes / 2;
      });
      waiting_ = false;
    }
    queued_bytes_ += bytes;
    ++queued_pages_;
    unwoken_bytes_ += bytes;
    ++unwoken_pages_;
    pages_.push_back(std::move(end));
    if (unwoken_bytes_ >= kWakeBytes || unwoken_pages_ >= kWakePages) {
      wake = true;
      unwoken_bytes_ = 0;
      unwoken_pages_ = 0;
    }
  }
  if (wake) ready_.notify_one();
}

void PageFinisher::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    ready_.wait(lock, [&] { return !pages_.empty() || closing_; });
    if (pages_.empty()) return;
    PageEnd end = std::move(pages_.front());
    pages_.pop_front();
    lock.unlock();
    Finished finished = End(end);
    const size_t bytes = BytesOf(end);
    lock.lock();
    queued_bytes_ -= bytes;
    --queued_pages_;
    finished_.push_back(std::move(finished));
    // Two spare modules serve a run that gives one while the thread reads another.
    for (auto& [path, module] : end.modules) {
      if (spare_.size() == 2) break;
      module.lines_.Clear();
      spare_.push_back(std::move(module));
    }
    if (waiting_ && queued_pages_ <= kQueuedPages / 2 && queued_bytes_ <= kQueuedBytes / 2) {
      room_.notify_one();
    }
  }
}

PageFinisher::Finished PageFinisher::End(PageEnd& end) {
  Finished finished;
  finished.all_written = !end.files.empty();
  for (std::unique_ptr<OutputFile>& file : end.files) {
    if (file->open()) file->Close();
    if (file->WrittenWithoutFailure()) {
      ++finished.files_written;
    } else {
      finished.all_written = false;
    }
    file.reset();
  }
  for (const auto& [path, module] : end.modules) Read(path, module);
  finished.failures = std::move(end.failures);
  return finished;
}

void PageFinisher::Read(const std::string& path, const Module& module) {
  modulecheck::ModuleChecker checker(modulecheck::ModuleContext{module.regexp_reference_});
  for (size_t i = 0; i < module.lines_.size(); ++i) checker.Line(module.lines_.Line(i));
  modulecheck::ModuleVerdict verdict = checker.Finish();
  ++checked_;
  if (verdict.compiles) return;
  ++not_compiling_;
  if (first_faults_.size() < RunSummary::kKeptModuleFaults && !verdict.first_reasons.empty()) {
    first_faults_.push_back({path, modulecheck::Explain(verdict.first_reasons[0])});
  }
}

void PageFinisher::TakeFinished(const std::function<void(Finished&)>& take) {
  std::deque<Finished> finished;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finished.swap(finished_);
  }
  for (Finished& page : finished) take(page);
}

void PageFinisher::FinishAll(const std::function<void(Finished&)>& take) {
  if (thread_.joinable()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closing_ = true;
    }
    ready_.notify_one();
    thread_.join();
    // A later page starts the thread again.
    closing_ = false;
    started_ = false;
  }
  TakeFinished(take);
}

void PageFinisher::CountIn(RunSummary& summary) {
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

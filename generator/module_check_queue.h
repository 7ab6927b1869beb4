// The module checker's reading of the class modules a run writes, on a thread of its own: the
// run goes on translating and writing the next page while the checker reads the last one, so
// the count of modules that will not compile costs the run next to nothing on a machine with
// a second processor.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "contract/output_file.h"
#include "generator/run_summary.h"

namespace vorlintex::generator {

class ModuleCheckQueue {
 public:
  // One class module's lines, taken as the run writes them.
  class Module : public LineTap {
   public:
    explicit Module(bool regexp_reference) : regexp_reference_(regexp_reference) {}
    void Line(std::string_view text) override;

   private:
    friend class ModuleCheckQueue;
    bool regexp_reference_;
    std::string text_;          // the lines one after another, without line ends
    std::vector<size_t> ends_;  // where each line ends in text_
  };

  // The modules given and not yet read never hold more than this, unless one module alone
  // does: past it, Check waits for the checker.
  static constexpr size_t kQueuedBytes = size_t{512} << 10;
  // The checker is woken once this much waits for it, not for every module: each waking costs
  // the run a system call.
  static constexpr size_t kWakeBytes = size_t{128} << 10;

  ModuleCheckQueue() = default;
  ModuleCheckQueue(const ModuleCheckQueue&) = delete;
  ModuleCheckQueue& operator=(const ModuleCheckQueue&) = delete;
  // Waits for the modules given, which are then not counted anywhere.
  ~ModuleCheckQueue();

  // An empty module to take the lines of one class module, in storage a module read before
  // gave back.
  Module NewModule(bool regexp_reference);
  // Gives the module written at `path` to the checker. The modules are read, and counted, in
  // the order they were given. Where no thread can be started, the module is read here.
  void Check(std::string path, Module&& module);
  // Waits until every module given is read, and adds what the checker found to `summary`:
  // the modules checked, those that will not compile, and the first few faults. Once only.
  void CountIn(RunSummary& summary);

 private:
  struct Job {
    std::string path;
    Module module;
  };
  void Work();
  void Read(const Job& job);  // on the checker's thread, or here without one
  void Stop();

  std::mutex mutex_;
  std::condition_variable ready_;  // a job was given, or the queue is closing
  std::condition_variable room_;   // a job was read
  std::deque<Job> jobs_;
  size_t queued_bytes_ = 0;    // of the jobs given and not yet read, the one being read included
  size_t unwoken_bytes_ = 0;   // given since the checker was last woken
  std::vector<Module> spare_;  // emptied modules, for their storage
  bool closing_ = false;
  bool started_ = false;
  std::thread thread_;

  // Written only by whoever reads the modules, and read after the thread is joined.
  size_t checked_ = 0;
  size_t not_compiling_ = 0;
  std::vector<RunSummary::ModuleFault> first_faults_;
};

}  // namespace vorlintex::generator

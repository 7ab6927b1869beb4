// The end of each page of a run, on a thread of its own: the page's files closed (written out
// and put in their names) and its class modules read by the module checker, while the run goes
// on translating the next page. What each page's end came to is handed back in the order the
// pages were given, so the run counts and reports it as if it had done it all itself.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "contract/failure_log.h"
#include "contract/kept_lines.h"
#include "contract/output_file.h"
#include "generator/run_summary.h"

namespace vorlintex::generator {

class PageFinisher {
 public:
  // One class module's lines, taken as the run writes them.
  class Module : public LineTap {
   public:
    explicit Module(bool regexp_reference) : regexp_reference_(regexp_reference) {}
    void Line(std::string_view text) override { lines_.Add(text); }

   private:
    friend class PageFinisher;
    bool regexp_reference_;
    KeptLines lines_;
  };

  // What is left of one page when its translation is done.
  struct PageEnd {
    // The page's output files, written and still open; closed in this order. A converted page
    // counts when every one of them takes its name.
    std::vector<std::unique_ptr<OutputFile>> files;
    // The class modules written for the page, each with the path it was written at.
    std::vector<std::pair<std::string, Module>> modules;
    // Every failure of the page; its files record theirs here as they close. Never null.
    std::unique_ptr<FailureLog> failures = std::make_unique<FailureLog>();
  };
  // What a page's end came to.
  struct Finished {
    size_t files_written = 0;
    bool all_written = false;  // files were given and every one took its name
    std::unique_ptr<FailureLog> failures;
  };

  // The pages given and not finished never hold more than these, unless one page alone does:
  // past them, Finish waits.
  static constexpr size_t kQueuedBytes = size_t{512} << 10;  // of class module lines
  static constexpr size_t kQueuedPages = 8;                  // each holds its files open
  // The thread is woken once this much waits for it, not for every page: each waking costs
  // the run a system call.
  static constexpr size_t kWakeBytes = size_t{128} << 10;
  static constexpr size_t kWakePages = 4;

  PageFinisher() = default;
  PageFinisher(const PageFinisher&) = delete;
  PageFinisher& operator=(const PageFinisher&) = delete;
  // Finishes the pages given; what they came to is then not handed back.
  ~PageFinisher();

  // An empty module to take the lines of one class module, in storage a module read before
  // gave back.
  Module NewModule(bool regexp_reference);
  // Gives a page's end to the thread; where no thread can be started, finishes it here.
  void Finish(PageEnd end);
  // Hands what each page finished so far came to to `take`, in the order the pages were given,
  // without waiting for the others.
  void TakeFinished(const std::function<void(Finished&)>& take);
  // Waits until every page given is finished, then hands them to `take` as TakeFinished does.
  void FinishAll(const std::function<void(Finished&)>& take);
  // Adds what the module checker found so far to `summary`: the modules checked, those that
  // will not compile, and the first few faults; after FinishAll, every module of the run.
  void CountIn(RunSummary& summary);

 private:
  // The bytes of class module lines a page's end holds.
  static size_t BytesOf(const PageEnd& end);
  void Work();
  Finished End(PageEnd& end);  // on the thread, or here without one
  void Read(const std::string& path, const Module& module);

  std::mutex mutex_;
  std::condition_variable ready_;  // a page was given, or the thread is asked to end
  std::condition_variable room_;   // a page was finished
  std::deque<PageEnd> pages_;
  std::deque<Finished> finished_;
  size_t queued_bytes_ = 0;  // of the pages given and not finished, the one being finished too
  size_t queued_pages_ = 0;
  size_t unwoken_bytes_ = 0;  // given since the thread was last woken
  size_t unwoken_pages_ = 0;
  std::vector<Module> spare_;  // emptied modules, for their storage
  bool waiting_ = false;       // Finish waits for room
  bool closing_ = false;
  bool started_ = false;
  std::thread thread_;

  // Written only by whoever finishes the pages; read once the pages given are finished.
  size_t checked_ = 0;
  size_t not_compiling_ = 0;
  std::vector<RunSummary::ModuleFault> first_faults_;
};

}  // namespace vorlintex::generator

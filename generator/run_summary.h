// How one generation run ended, for whoever started it outside the wizard (the command line
// prints it and derives its exit status from it).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "component/failure_log.h"
#include "component/status.h"

namespace vorlintex::generator {

struct RunSummary {
  // Base names of the pages the run went through to the end, in the order posted (a name
  // selected twice is listed twice). A page with recorded failures is still listed.
  std::vector<std::string> pages_converted;
  // Paths of the files that were created, fully written and closed without any failure, in
  // the order they were finished; each path once.
  std::vector<std::string> files_written;
  // The build script's path; empty when the run ended before building it.
  std::string build_script;
  // The file operations that failed and were skipped: the first failure of each file.
  std::vector<Failure> failures;
  // The include path of the missing include file that ended the run early.
  std::optional<std::string> missing_include;
  // True when the run was refused because the target directory is the source directory.
  bool refused_same_folder = false;
  // The failure that went to the page host (a failing Request or Response call, or no file
  // service object); OK otherwise.
  Status host_failure;
};

class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // Told once at the end of every run, whichever way it ended.
  virtual void RunFinished(const RunSummary& summary) = 0;
};

}  // namespace vorlintex::generator

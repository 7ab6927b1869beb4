// How one generation run ended, for whoever started it outside the wizard (the command line
// prints it and derives its exit status from it).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contract/failure_log.h"
#include "contract/status.h"

namespace vorlintex::generator {

struct RunSummary {
  // The pages the run went through to the end (a name selected twice counts twice). A page
  // with recorded failures still counts. Counts, not lists, so that nothing the run keeps
  // grows with the number of pages.
  size_t pages_converted = 0;
  // Files created, fully written and closed without any failure (a file written twice
  // counts twice).
  size_t files_written = 0;
  // The build script's path; empty when the run ended before building it.
  std::string build_script;
  // True when the build script was written without any failure.
  bool build_script_written = false;
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
  // Told as each page is done, with its base name.
  virtual void PageConverted(std::string_view /*base_name*/) {}
  // Told as each file is created, fully written and closed without any failure.
  virtual void FileWritten(std::string_view /*path*/) {}
  // Told once at the end of every run, whichever way it ended.
  virtual void RunFinished(const RunSummary& summary) = 0;
};

}  // namespace vorlintex::generator

// What one generation run did, as the run returns it: how it ended, the pages converted, the
// files written and the failures skipped. The run writes no page of its own: the wizard's
// third page and the command line each render this.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "contract/failure_log.h"
#include "contract/status.h"

namespace vorlintex::generator {

// How a run ended.
enum class RunEnd {
  kDone,            // it went through every selected page
  kRefused,         // a field failed its check; nothing of the run was done (`refused`)
  kMissingInclude,  // a missing include file ended it at a page (`missing_include`)
  kNoFileService,   // no file service object could be made (`file_service_failure`)
  kTargetBusy,      // another run held the target folder and the run was not to wait; the
                    // folder was made when missing, and no file was written
};

// The field check that refused a run, in the order the entry page's script makes them.
// A DLL name blank once cut before ".dll" is blank too; one with a folder part would put the
// project file and build script outside the target folder.
enum class RefusedField { kSourceBlank, kTargetBlank, kSameFolder, kNameBlank, kNameHasFolder };

struct RunSummary {
  RunEnd end = RunEnd::kDone;
  RefusedField refused = RefusedField::kSourceBlank;  // with kRefused
  std::string missing_include;                        // with kMissingInclude: its include path
  Status file_service_failure;                        // with kNoFileService

  // The DLL name the run derived from the one typed (cut before ".dll").
  std::string dll_name;
  // The pages whose class module, replacement page and workspace file were all written. A
  // page left out (not openable, named with a folder part, or of a class name taken) does not
  // count, nor does one of whose files any failed. Counts, not lists, so that nothing the run
  // keeps grows with the number of pages.
  size_t pages_converted = 0;
  // Files that took their names in the target folder: created, written and closed without
  // any failure.
  size_t files_written = 0;
  // With kMissingInclude: the files the stop left unfinished, which keep the file they had, or
  // none: the stopped page's class module, replacement page and workspace file, the project
  // file and the build script, in that order. Never more than these five.
  std::vector<std::string> files_left;
  // The build script's path; empty when the run ended before building it.
  std::string build_script;
  // True when the build script was written without any failure.
  bool build_script_written = false;
  // The class modules written that the module checker says Visual Basic 6 will not compile,
  // and for the first few of them the module's path and its first reason, in words.
  size_t modules_not_compiling = 0;
  size_t modules_checked = 0;  // every class module written, each read by the module checker
  struct ModuleFault {
    std::string path;
    std::string reason;
  };
  std::vector<ModuleFault> first_module_faults;  // at most kKeptModuleFaults
  static constexpr size_t kKeptModuleFaults = 5;
  // With RunInput::keep_going: the pages a missing include file left out (no files of their
  // own, the earlier run's kept), and for the first few the page and the include path it
  // looked for.
  size_t pages_left_out = 0;
  struct PageLeftOut {
    std::string page;
    std::string missing_include;
  };
  std::vector<PageLeftOut> first_pages_left_out;  // at most kKeptPagesLeftOut
  static constexpr size_t kKeptPagesLeftOut = 10;
  // The file operations that failed and were skipped: the first failure of each file.
  std::vector<Failure> failures;
};

}  // namespace vorlintex::generator

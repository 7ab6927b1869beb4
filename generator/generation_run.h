// The generation run: converts every selected page of the source directory into a class
// module and a replacement page in the target directory, writes the project, workspace and
// build script files, and writes the run's page (page head, then the completion report).
#pragma once

#include <string>
#include <vector>

#include "contract/host.h"
#include "contract/status.h"
#include "generator/run_summary.h"
#include "generator/services.h"

namespace vorlintex::generator {

// What a run converts: the three fields as the user typed them and the selected pages.
struct RunInput {
  std::string source_dir;
  std::string target_dir;
  std::string dll_name;            // as typed: the run cuts it before ".dll"
  std::vector<std::string> pages;  // file names of the source folder, in the order picked
};

// Runs one generation, writing its page to `response`. A failing file operation is recorded
// and skipped, and the run goes on. The run ends early, with summary.host_failure set, for
// what goes to the page host: a failing Write (the run ends there) or a file service object
// that cannot be made (the run ends after the page head). services.env is required;
// services.turns and services.observer may be null.
RunSummary RunGeneration(const RunInput& input, host::Response& response, const Services& services);

}  // namespace vorlintex::generator

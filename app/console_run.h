// A generation run started from the command line: the wizard's third page through a console
// page host, with the fields the selection page would post and no user session.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "component/env.h"
#include "component/status.h"
#include "generator/run_summary.h"

namespace vorlintex::app {

struct ConsoleRunInputs {
  std::string source_dir;
  std::string target_dir;
  std::string dll_name;
  std::vector<std::string> pages;  // the asplist values, in order
};

struct ConsoleRunResult {
  // What the component's page method returned.
  Status page_status;
  // The page the run wrote, as the wizard would show it.
  std::string page;
  // How the run ended; nothing when the run never began (the class could not be made).
  std::optional<generator::RunSummary> summary;
};

// Creates the wizard's class by its ProgID and runs its page method with PageNumber "2". The
// pages move into the request, so a long list is held once.
ConsoleRunResult RunConsoleGeneration(ConsoleRunInputs inputs, Env& env);

// The names the selection page would list for `source_dir`, in its order: the listing of
// `source_dir` + "\*.asp", kept when the lower-cased name holds ".asp" or ".inc".
std::vector<std::string> SelectablePages(Env& env, const std::string& source_dir);

}  // namespace vorlintex::app

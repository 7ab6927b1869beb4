// The rule options shared by convert, check and serve: which rules pages are converted by,
// and where virtual include paths start.
#pragma once

#include <string>

#include "generator/services.h"

namespace CLI {
class App;
}  // namespace CLI

namespace vorlintex::app {

struct RuleOptions {
  std::string rules = "classic";  // or "compilable"
  std::string site_root;          // empty: the source folder
};

void AddRuleOptions(CLI::App* command, RuleOptions* options);

// The options set on the services a run is given.
void ApplyRuleOptions(const RuleOptions& options, Services* services);

}  // namespace vorlintex::app

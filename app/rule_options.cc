#include "app/rule_options.h"

#include <CLI/CLI.hpp>

namespace vorlintex::app {

void AddRuleOptions(CLI::App* command, RuleOptions* options) {
  command
      ->add_option("--rules", options->rules,
                   "classic: the page line by line, as designed; compilable: a module that "
                   "Visual Basic 6 compiles")
      ->check(CLI::IsMember({"classic", "compilable"}))
      ->capture_default_str();
  command
      ->add_option("--site-root", options->site_root,
                   "With --rules compilable: the folder virtual include paths start from "
                   "(default: the source folder)")
      ->type_name("DIR");
}

void ApplyRuleOptions(const RuleOptions& options, Services* services) {
  services->rules = options.rules == "compilable" ? RuleSet::kCompilable : RuleSet::kClassic;
  services->site_root = options.site_root;
}

}  // namespace vorlintex::app

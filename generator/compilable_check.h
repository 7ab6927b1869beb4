// The check of a page under the compilable rules: the page read and translated as `convert
// --rules compilable` would, nothing written; the rules' findings told as they read it (an
// include file's at its directive, and once for the run); the verdict from the module checker
// on the modules that run would write.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "contract/env.h"
#include "contract/text_file_service.h"
#include "generator/check_teller.h"
#include "generator/run_names.h"
#include "modulecheck/module_checker.h"

namespace vorlintex::generator::check {

// What the check keeps for the run under the compilable rules: the VBScript classes met so far,
// by lower-case name, as a run writes each once.
struct CheckedClass {
  std::vector<std::string> lines;
  modulecheck::ModuleVerdict verdict;
};

// One page read and translated as `convert --rules compilable` would, its findings told and
// its verdict given from the modules that run would write. `classes` holds the run's classes
// from page to page.
void CheckCompilablePage(const RunInput& input, const CheckRules& rules, const PagePlace& place,
                         Env& env, fs::TextFileService* files, std::unique_ptr<fs::TextStream> text,
                         Teller& teller, std::map<std::string, ToldInclude>& told_includes,
                         std::map<std::string, CheckedClass>& classes, PageRecord& page);

}  // namespace vorlintex::generator::check

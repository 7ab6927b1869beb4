// vorlintex_module_verdict [--regexp] FILE.cls...: the module checker's verdict on class
// modules already written, one line each: "FILE: compiles", or "FILE: will not compile (N
// reasons): " and the first reason. --regexp: the project references the regular expression
// library. For measuring converted sites; exit status 1 when a module will not compile, 2 when
// a file cannot be read.
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "modulecheck/module_checker.h"

int main(int argc, char** argv) {
  vorlintex::modulecheck::ModuleContext context;
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--regexp") {
      context.regexp_reference = true;
      continue;
    }
    std::ifstream file{std::string(arg), std::ios::binary};
    if (!file) {
      std::cerr << arg << ": cannot be read\n";
      status = 2;
      continue;
    }
    vorlintex::modulecheck::ModuleChecker checker(context);
    for (std::string line; std::getline(file, line);) checker.Line(line);
    const vorlintex::modulecheck::ModuleVerdict verdict = checker.Finish();
    if (verdict.compiles) {
      std::cout << arg << ": compiles\n";
      continue;
    }
    if (status == 0) status = 1;
    std::cout << arg << ": will not compile (" << verdict.reason_count << " reasons): ";
    if (!verdict.first_reasons.empty()) {
      const vorlintex::modulecheck::Reason& first = verdict.first_reasons.front();
      std::cout << vorlintex::modulecheck::CauseName(first.cause) << ": "
                << vorlintex::modulecheck::Explain(first);
    }
    std::cout << "\n";
  }
  return status;
}

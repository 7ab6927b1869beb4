// The class modules a run gives the checker's thread are counted as one reading of each in
// the order given would count them, however far the run gets ahead of the checker.
#include "generator/module_check_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modulecheck/module_checker.h"

namespace vorlintex::generator {
namespace {

using Lines = std::vector<std::string>;

Lines ModuleLines(size_t index) {
  // Every third module lacks its VERSION line; every fifth names an invalid class. Some are
  // large, so that the modules given outgrow what may wait for the checker.
  Lines lines;
  if (index % 3 != 0) lines.push_back("VERSION 1.0 CLASS");
  for (const char* line : {"BEGIN", "  MultiUse = -1  'True", "END"}) lines.push_back(line);
  lines.push_back(index % 5 == 0 ? "Attribute VB_Name = \"1x\"" : "Attribute VB_Name = \"m\"");
  const size_t comments = index % 4 == 1 ? 40000 : 3;
  for (size_t i = 0; i < comments; ++i)
    lines.push_back("' a comment line of a module " + std::to_string(i));
  return lines;
}

TEST(ModuleCheckQueue, CountsAsOneReadingInOrderWould) {
  RunSummary expected;
  ModuleCheckQueue queue;
  for (size_t i = 0; i < 40; ++i) {
    const std::string path = "C:\\out\\m" + std::to_string(i) + ".cls";
    const bool regexp = i % 2 == 0;
    modulecheck::ModuleChecker checker(modulecheck::ModuleContext{regexp});
    ModuleCheckQueue::Module module = queue.NewModule(regexp);
    for (const std::string& line : ModuleLines(i)) {
      checker.Line(line);
      module.Line(line);
    }
    queue.Check(path, std::move(module));
    modulecheck::ModuleVerdict verdict = checker.Finish();
    ++expected.modules_checked;
    if (verdict.compiles) continue;
    ++expected.modules_not_compiling;
    if (expected.first_module_faults.size() < RunSummary::kKeptModuleFaults)
      expected.first_module_faults.push_back(
          {path, modulecheck::Explain(verdict.first_reasons[0])});
  }
  RunSummary summary;
  queue.CountIn(summary);
  EXPECT_EQ(summary.modules_checked, 40u);
  EXPECT_EQ(summary.modules_not_compiling, expected.modules_not_compiling);
  EXPECT_GT(summary.modules_not_compiling, RunSummary::kKeptModuleFaults);
  ASSERT_EQ(summary.first_module_faults.size(), RunSummary::kKeptModuleFaults);
  for (size_t i = 0; i < RunSummary::kKeptModuleFaults; ++i) {
    EXPECT_EQ(summary.first_module_faults[i].path, expected.first_module_faults[i].path);
    EXPECT_EQ(summary.first_module_faults[i].reason, expected.first_module_faults[i].reason);
  }
}

}  // namespace
}  // namespace vorlintex::generator

// The pages a run gives the finisher's thread come back closed and counted as one finishing of
// each in the order given would count them, however far the run gets ahead of the thread.
#include "generator/page_finisher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modulecheck/module_checker.h"
#include "platform/memory_env.h"
#include "platform/memory_file_service.h"

namespace vorlintex::generator {
namespace {

using Lines = std::vector<std::string>;

Lines ModuleLines(size_t index) {
  // Every third module lacks its VERSION line; every fifth names an invalid class. Some are
  // large, so that the modules given outgrow what may wait for the thread.
  Lines lines;
  if (index % 3 != 0) lines.push_back("VERSION 1.0 CLASS");
  for (const char* line : {"BEGIN", "  MultiUse = -1  'True", "END"}) lines.push_back(line);
  lines.push_back(index % 5 == 0 ? "Attribute VB_Name = \"1x\"" : "Attribute VB_Name = \"m\"");
  const size_t comments = index % 4 == 1 ? 40000 : 3;
  for (size_t i = 0; i < comments; ++i) {
    lines.push_back("' a comment line of a module " + std::to_string(i));
  }
  return lines;
}

TEST(PageFinisher, ClosesAndCountsAsOneFinishingInOrderWould) {
  auto store = fs::MemoryFileSystem::Create();
  store->AddFolder("C:\\out");
  MemoryEnv env(store);
  std::unique_ptr<fs::TextFileService> files;
  ASSERT_TRUE(env.NewFileService(&files).ok());

  RunSummary expected;
  std::vector<std::string> finished;  // what each page came to, in the order handed back
  std::vector<std::string> expected_finished;
  auto take = [&](PageFinisher::Finished& page) {
    std::string told = std::to_string(page.files_written) + (page.all_written ? " all" : "");
    for (const Failure& failure : page.failures->failures()) told += " " + failure.path;
    finished.push_back(told);
  };
  PageFinisher finisher;
  for (size_t i = 0; i < 40; ++i) {
    const std::string path = "C:\\out\\m" + std::to_string(i) + ".cls";
    // Every seventh page's second file is in a folder that is not there.
    const std::string second = (i % 7 == 0 ? "C:\\none\\p" : "C:\\out\\p") + std::to_string(i);
    const bool regexp = i % 2 == 0;
    PageFinisher::PageEnd end;
    end.files.push_back(std::make_unique<OutputFile>(*files, path, end.failures.get()));
    end.files.push_back(std::make_unique<OutputFile>(*files, second, end.failures.get()));
    end.files[1]->WriteLine("page " + std::to_string(i));
    modulecheck::ModuleChecker checker(modulecheck::ModuleContext{regexp});
    PageFinisher::Module module = finisher.NewModule(regexp);
    end.files[0]->SetTap(&module);
    for (const std::string& line : ModuleLines(i)) {
      checker.Line(line);
      end.files[0]->WriteLine(line);
    }
    end.files[0]->SetTap(nullptr);
    end.modules.emplace_back(path, std::move(module));
    finisher.Finish(std::move(end));
    if (i % 10 == 9) finisher.TakeFinished(take);
    expected_finished.push_back(i % 7 == 0 ? "1 " + second : "2 all");

    modulecheck::ModuleVerdict verdict = checker.Finish();
    ++expected.modules_checked;
    if (verdict.compiles) continue;
    ++expected.modules_not_compiling;
    if (expected.first_module_faults.size() < RunSummary::kKeptModuleFaults) {
      expected.first_module_faults.push_back(
          {path, modulecheck::Explain(verdict.first_reasons[0])});
    }
  }
  finisher.FinishAll(take);
  EXPECT_EQ(finished, expected_finished);
  EXPECT_EQ(store->Contents("C:\\out\\p39"), "page 39\r\n");
  std::string module_text;
  for (const std::string& line : ModuleLines(5)) module_text += line + "\r\n";
  EXPECT_EQ(store->Contents("C:\\out\\m5.cls"), module_text);

  RunSummary summary;
  finisher.CountIn(summary);
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

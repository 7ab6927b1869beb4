#include "generator/page_check.h"

#include <gtest/gtest.h>

#include <string>

#include "generator/generation_run_test_texts.h"

namespace vorlintex::generator {
namespace {

TEST(PageCheckTest, TheRunsNamesAndPagesThatCannotBeRead) {
  testing::MemoryRun run;
  run.files->AddFile("C:\\src\\my-page.asp", "<p>a</p>\r\n");
  run.files->AddFile("C:\\src\\ok.asp", "<p>a</p>\r\n");
  const CheckResult result = CheckPages(
      RunInput{"C:\\src", "C:\\R&D", "My Shop.dll", {"my-page.asp", "gone.asp", "ok.asp"}},
      run.env);
  std::string told;  // each finding as "where [kind] source"
  for (const Finding& f : result.findings) {
    told +=
        f.file + ":" + std::to_string(f.line) + " [" + std::string(f.kind) + "] " + f.source + "\n";
  }
  EXPECT_EQ(told,
            ":0 [dll-name] My Shop\n"
            ":0 [build-script-name] C:\\R&D\\My Shop.vbp\n"
            "C:\\src\\my-page.asp:0 [page-name] my-page\n"
            "C:\\src\\gone.asp:0 [unreadable-page] No such file or directory\n");
  EXPECT_EQ(result.pages_read, 3u);
  EXPECT_EQ(result.pages_with_findings, 2u);
  EXPECT_FALSE(result.missing_include);
}

}  // namespace
}  // namespace vorlintex::generator

#include "generator/page_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory_env.h"
#include "platform/memory_file_service.h"

namespace vorlintex::generator {
namespace {

// Each finding as "where [kind] source".
std::vector<std::string> Told(const CheckResult& result) {
  std::vector<std::string> told;
  for (const Finding& f : result.findings) {
    told.push_back(f.file + ":" + std::to_string(f.line) + " [" + std::string(f.kind) + "] " +
                   f.source);
  }
  return told;
}

TEST(PageCheckTest, TheRunsNamesAndPagesThatCannotBeRead) {
  auto files = fs::MemoryFileSystem::Create();
  files->AddFile("C:\\src\\my-page.asp", "<p>a</p>\r\n");
  files->AddFile("C:\\src\\ok.asp", "<p>a</p>\r\n");
  MemoryEnv env(files);
  const CheckResult result = CheckPages(
      RunInput{"C:\\src", "C:\\R&D", "My Shop.dll", {"my-page.asp", "gone.asp", "ok.asp"}}, env);
  EXPECT_EQ(Told(result), (std::vector<std::string>{
                              ":0 [dll-name] My Shop",
                              ":0 [build-script-name] C:\\R&D\\My Shop.vbp",
                              "C:\\src\\my-page.asp:0 [page-name] my-page",
                              "C:\\src\\gone.asp:0 [unreadable-page] No such file or directory",
                          }));
  EXPECT_EQ(result.pages_read, 3u);
  EXPECT_EQ(result.pages_with_findings, 2u);
  EXPECT_FALSE(result.missing_include);
}

}  // namespace
}  // namespace vorlintex::generator

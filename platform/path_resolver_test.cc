#include "platform/path_resolver.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file_service_test_harness.h"

namespace vorlintex {
namespace {

TEST(PathResolverTest, SpellingMapsSeparatorsOnly) {
  struct Case {
    const char* path;
    const char* spelled;
  } cases[] = {
      {"C:\\src\\Page.asp", "C:/src/Page.asp"},
      {"\\tmp\\\\a//b\\", "/tmp/a/b"},
      {"/", "/"},
      {"", ""},
      {"name", "name"},
      {"a\\..\\b", "a/../b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(PosixPathSpelling(c.path), c.spelled);
  }
}

TEST(PathResolverTest, ResolvesEachPartAsWindowsWould) {
  fs::PosixHarness harness;
  const std::string root = harness.Root();
  harness.Put("Site/Pages/Default.ASP", "");
  struct Case {
    std::string path;
    std::string resolved;
  } cases[] = {
      {root + "\\site\\pages\\default.asp", root + "/Site/Pages/Default.ASP"},
      {root + "/SITE//Pages\\", root + "/Site/Pages"},
      {root + "\\Site\\pages\\New.cls", root + "/Site/Pages/New.cls"},
      {root + "\\site\\Missing\\pages\\default.asp", root + "/Site/Missing/pages/default.asp"},
      {root + "\\site\\..\\SITE", root + "/Site/../Site"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ResolveWindowsPath(c.path), c.resolved);
  }
}

}  // namespace
}  // namespace vorlintex

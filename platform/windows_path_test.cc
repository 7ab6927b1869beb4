#include "platform/windows_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlintex {
namespace {

TEST(WindowsPathTest, SplitsOnBothSeparatorsAndSkipsEmptyParts) {
  struct Case {
    const char* path;
    std::vector<std::string_view> parts;
  } cases[] = {
      {"C:\\src\\page.asp", {"C:", "src", "page.asp"}},
      {"C:/src/page.asp", {"C:", "src", "page.asp"}},
      {"\\\\a//b\\/c\\", {"a", "b", "c"}},
      {"name", {"name"}},
      {"", {}},
      {"\\/", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(SplitWindowsPath(c.path), c.parts);
  }
}

TEST(WindowsPathTest, KeyFoldsOnlyAsciiLetters) {
  EXPECT_EQ(WindowsPathKey("C:/Site\\\\Default.ASP/"), "c:\\site\\default.asp");
  EXPECT_EQ(WindowsPathKey("\xC3\x89T\xC3\x89.asp"), "\xC3\x89t\xC3\x89.asp");
  EXPECT_EQ(WindowsPathKey("/"), "");
}

}  // namespace
}  // namespace vorlintex

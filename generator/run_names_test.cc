#include "generator/run_names.h"

#include <gtest/gtest.h>

namespace vorlintex::generator {
namespace {

TEST(RunNamesTest, ResolveDotPartsReadsThePathAsWindowsDoes) {
  const struct {
    const char* path;
    const char* resolved;
  } cases[] = {
      {"C:\\site\\Admin\\..\\inc\\m.inc", "C:\\site\\inc\\m.inc"},
      {"C:\\site\\.\\a\\.\\b.inc", "C:\\site\\a\\b.inc"},
      {"/srv/site/Admin\\..\\inc/m.inc", "/srv\\site\\inc\\m.inc"},
      {"C:\\..\\..\\m.inc", "C:\\m.inc"},
      {"/..\\m.inc", "/m.inc"},
      {"\\\\server\\share\\a\\..\\m.inc", "\\\\server\\share\\m.inc"},
      {"site\\..\\..\\up\\m.inc", "..\\up\\m.inc"},
      {"..\\..\\m.inc", "..\\..\\m.inc"},
      {"site\\a\\\\b", "site\\a\\b"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveDotParts(c.path), c.resolved) << c.path;
  }
}

}  // namespace
}  // namespace vorlintex::generator

#include "platform/windows_directory.h"

#include <stdlib.h>

#include <optional>
#include <string>

#include "gtest/gtest.h"

namespace vorlintex {
namespace {

// Sets or unsets WINDIR for one test and puts the old value back afterwards.
class WindirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = getenv("WINDIR")) saved_ = old;
  }
  void TearDown() override {
    if (saved_) {
      setenv("WINDIR", saved_->c_str(), 1);
    } else {
      unsetenv("WINDIR");
    }
  }

  std::optional<std::string> saved_;
};

TEST_F(WindirTest, UnsetGivesTheUsualWindowsDirectory) {
  unsetenv("WINDIR");
  EXPECT_EQ(WindowsDirectory(), "C:\\WINDOWS");
}

TEST_F(WindirTest, SetGivesItsValueWithoutTrailingSeparators) {
  struct Case {
    const char* windir;
    const char* expected;
  };
  const Case cases[] = {
      {"D:\\WinNT", "D:\\WinNT"},
      {"c:\\windows", "c:\\windows"},
      {"C:\\WINDOWS\\", "C:\\WINDOWS"},
      {"/opt/windows//", "/opt/windows"},
      {"", ""},
  };
  for (const Case& c : cases) {
    setenv("WINDIR", c.windir, 1);
    EXPECT_EQ(WindowsDirectory(), c.expected) << c.windir;
  }
}

}  // namespace
}  // namespace vorlintex

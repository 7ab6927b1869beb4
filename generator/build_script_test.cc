#include "generator/build_script.h"

#include <gtest/gtest.h>

namespace vorlintex::generator {
namespace {

// The registry lookup and the build line are in the whole runs' tests.
TEST(CompilerPathTest, RegistryValueGivesTheCompilerPath) {
  const struct {
    std::optional<std::string> value;
    std::string compiler_path;
  } cases[] = {
      {std::nullopt, ""},
      {"C:\\VB98\\vb6.exe \"%1\"", "C:\\VB98\\vb6.exe "},
      {"C:\\VB98\\VB6.EXE \"%1\"", "C:\\VB98\\VB6.EXE \"%1\""},  // capitals do not match
      {"vb6.exe", "vb6.exe"},
      {"vb6.exe vb6.exe", "vb6.exe "},
      {std::string(247, 'x') + "vb6.exe", std::string(247, 'x') + "vb6.exe"},  // 254 characters
      {std::string(248, 'x') + "vb6.exe", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompilerPathFrom(c.value), c.compiler_path) << c.value.value_or("no value");
  }
}

}  // namespace
}  // namespace vorlintex::generator

#include "generator/build_script.h"

#include <gtest/gtest.h>

#include "platform/memory_env.h"
#include "platform/memory_file_service.h"

namespace vorlintex::generator {
namespace {

// How the build script names the compiler is in the whole runs' tests.
TEST(CompilerPathTest, RegistryValueGivesTheCompilerPath) {
  const struct {
    const char* what;
    std::optional<std::string> value;
    std::string compiler_path;
  } cases[] = {
      {"no value", std::nullopt, ""},
      {"program and argument", "C:\\VB98\\vb6.exe \"%1\"", "C:\\VB98\\vb6.exe "},
      {"capitals do not match", "C:\\VB98\\VB6.EXE \"%1\"", "C:\\VB98\\VB6.EXE \"%1\""},
      {"exactly the program name", "vb6.exe", "vb6.exe"},
      {"first occurrence", "vb6.exe vb6.exe", "vb6.exe "},
      {"254 characters", std::string(247, 'x') + "vb6.exe", std::string(247, 'x') + "vb6.exe"},
      {"255 characters", std::string(248, 'x') + "vb6.exe", ""},
  };
  for (const auto& c : cases) {
    MemoryEnv env(fs::MemoryFileSystem::Create());
    env.SetClassesRootDefaultValue("VisualBasic.VBZFile\\shell\\open\\command", c.value);
    // A value under another key is not the compiler's.
    env.SetClassesRootDefaultValue("VisualBasic.Project\\shell\\open\\command", "C:\\vb6.exe");
    EXPECT_EQ(FindCompilerPath(env), c.compiler_path) << c.what;
  }
}

}  // namespace
}  // namespace vorlintex::generator

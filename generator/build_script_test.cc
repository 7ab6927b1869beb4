#include "generator/build_script.h"

#include <gtest/gtest.h>

#include "platform/memory_env.h"
#include "platform/memory_file_service.h"

namespace vorlintex::generator {
namespace {

TEST(CompilerPathTest, RegistryValueGivesTheCompilerPath) {
  struct Case {
    const char* what;
    std::optional<std::string> value;
    std::string compiler_path;
  };
  const Case cases[] = {
      {"no value", std::nullopt, ""},
      {"empty value", std::string(), ""},
      {"program and argument", "C:\\VB98\\vb6.exe \"%1\"", "C:\\VB98\\vb6.exe "},
      {"quoted program", "\"C:\\VB98\\vb6.exe\" \"%1\"", "\"C:\\VB98\\vb6.exe\""},
      {"capitals do not match", "C:\\VB98\\VB6.EXE \"%1\"", "C:\\VB98\\VB6.EXE \"%1\""},
      {"exactly the program name", "vb6.exe", "vb6.exe"},
      {"no program name", "notepad.exe %1", "notepad.exe %1"},
      {"first occurrence", "vb6.exe vb6.exe", "vb6.exe "},
      {"254 characters", std::string(247, 'x') + "vb6.exe", std::string(247, 'x') + "vb6.exe"},
      {"255 characters", std::string(248, 'x') + "vb6.exe", ""},
      {"300 characters", "C:\\VB98\\vb6.exe " + std::string(284, 'a'), ""},
  };
  for (const Case& c : cases) {
    MemoryEnv env(fs::MemoryFileSystem::Create());
    env.SetClassesRootDefaultValue("VisualBasic.VBZFile\\shell\\open\\command", c.value);
    std::string found = FindCompilerPath(env);
    EXPECT_EQ(found, c.compiler_path) << c.what;
    EXPECT_EQ(found.find('\0'), std::string::npos) << c.what;
  }
}

TEST(CompilerPathTest, AValueUnderAnotherKeyIsNotTheCompiler) {
  MemoryEnv env(fs::MemoryFileSystem::Create());
  env.SetClassesRootDefaultValue("VisualBasic.Project\\shell\\open\\command", "C:\\vb6.exe");
  EXPECT_EQ(FindCompilerPath(env), "");
}

std::string BuildScript(const std::string& compiler_path, const std::string& target_dir) {
  std::shared_ptr<fs::MemoryFileSystem> files = fs::MemoryFileSystem::Create();
  files->AddFolder("C:\\out");
  std::unique_ptr<fs::TextFileService> service = files->NewService();
  OutputFile script(*service, "C:\\out\\Shop.bat", nullptr);
  WriteBuildScript(script, compiler_path, target_dir, "Shop");
  EXPECT_TRUE(script.closed());
  return files->Contents("C:\\out\\Shop.bat").value_or("<no file>");
}

TEST(BuildScriptTest, OneLineWithTheCompilerInQuotesOrPlainVb6) {
  EXPECT_EQ(BuildScript("", "C:\\out"), "vb6 C:\\out\\Shop.vbp /m\r\n");
  EXPECT_EQ(BuildScript("C:\\VB98\\vb6.exe ", "C:\\out"),
            "\"C:\\VB98\\vb6.exe \" C:\\out\\Shop.vbp /m\r\n");
  EXPECT_EQ(BuildScript("\"C:\\VB98\\vb6.exe\"", "C:\\out"),
            "\"\"C:\\VB98\\vb6.exe\"\" C:\\out\\Shop.vbp /m\r\n");
  EXPECT_EQ(BuildScript("", "C:\\out\\"), "vb6 C:\\out\\\\Shop.vbp /m\r\n");
}

}  // namespace
}  // namespace vorlintex::generator

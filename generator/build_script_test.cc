#include "generator/build_script.h"

#include <gtest/gtest.h>

#include "generator/generation_run_test_texts.h"

namespace vorlintex::generator {
namespace {

// The registry lookup and the build line by default are also in the whole runs' tests.
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

// The build line of a run: the target folder as typed and the registry's compiler unless the run
// names where the compiling machine sees the folder, or the compiler; the files the run writes
// stay where the target folder names them.
TEST(BuildScriptTest, BuildLineNamesTheFolderAndCompilerTheRunGives) {
  const std::string registry = "C:\\VB98\\vb6.exe \"%1\"";
  const struct {
    std::optional<std::string> registry;
    std::string build_dir;
    std::string compiler;
    std::string line;
  } cases[] = {
      {std::nullopt, "", "", "vb6 /srv/site-dll\\Forum.vbp /m\r\n"},
      {registry, "", "", "\"C:\\VB98\\vb6.exe \" /srv/site-dll\\Forum.vbp /m\r\n"},
      {std::nullopt, "C:\\build\\site", "", "vb6 C:\\build\\site\\Forum.vbp /m\r\n"},
      {registry, "C:\\build\\site", "", "\"C:\\VB98\\vb6.exe \" C:\\build\\site\\Forum.vbp /m\r\n"},
      {std::nullopt, "", "D:\\VB\\VB6.EXE", "\"D:\\VB\\VB6.EXE\" /srv/site-dll\\Forum.vbp /m\r\n"},
      {registry, "C:\\b", "D:\\VB\\VB6.EXE", "\"D:\\VB\\VB6.EXE\" C:\\b\\Forum.vbp /m\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.build_dir + " " + c.compiler);
    testing::MemoryRun run;
    run.files->AddFile("/srv/site\\a.asp", "<p>a</p>\r\n");
    run.env.SetClassesRootDefaultValue(kCompilerCommandKey, c.registry);
    Services services{&run.faults, &run.turns};
    services.build_dir = c.build_dir;
    services.compiler_path = c.compiler;
    const RunSummary summary =
        RunGeneration({"/srv/site", "/srv/site-dll", "Forum", {"a.asp"}}, services);
    EXPECT_TRUE(summary.failures.empty());
    EXPECT_EQ(summary.build_script, "/srv/site-dll\\Forum.bat");
    EXPECT_EQ(run.File(summary.build_script), c.line);
    EXPECT_EQ(run.files->AllFiles().size(), 1u + 5u);
  }
}

}  // namespace
}  // namespace vorlintex::generator

// A generation run on the real file system aimed at its own source folder, however the
// folder is named: every source file stays as it was.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include "contract/memory_host.h"
#include "generator/generation_run.h"
#include "generator/generation_run_test_texts.h"
#include "platform/posix_env.h"

namespace vorlintex::generator {
namespace {

using testing::kPageHead;

class GenerationPosixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (std::filesystem::path(::testing::TempDir()) / "vorlintex-generation-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = std::filesystem::canonical(pattern).string();
    std::filesystem::create_directory(root_ + "/src");
    for (const auto& [name, bytes] : sources_) {
      std::ofstream(root_ + "/src/" + name, std::ios::binary) << bytes;
    }
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  // The names and bytes of every file in the source folder now.
  std::map<std::string, std::string> SourceFolder() {
    std::map<std::string, std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(root_ + "/src")) {
      std::ifstream in(entry.path(), std::ios::binary);
      found[entry.path().filename().string()] =
          std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return found;
  }

  std::string Run(const std::string& target) {
    RunInput input;
    input.source_dir = root_ + "/src";
    input.target_dir = target;
    input.dll_name = "Shop";
    input.pages.push_back("a.asp");
    input.pages.push_back("B.ASP");
    host::MemoryResponse response;
    Services services;
    services.env = env_.get();
    EXPECT_TRUE(RunGeneration(input, response, services).host_failure.ok());
    return response.body();
  }

  const std::map<std::string, std::string> sources_ = {
      {"a.asp", "<p>A</p>\r\n"},
      {"b.asp", "<!-- #include file=\"menu.inc\" -->\r\n<p>B</p>\r\n"},
      {"menu.inc", "<p>menu</p>\r\n"},
      {"Shop.vbp", "a project of my own\r\n"},
  };
  std::string root_;
  std::unique_ptr<Env> env_ = NewPosixEnv();
};

TEST_F(GenerationPosixTest, ATargetNamingTheSourceFolderLeavesEverySourceFileAsItWas) {
  std::filesystem::create_directory_symlink(root_ + "/src", root_ + "/link");
  const std::string targets[] = {root_ + "/src", root_ + "/src/", root_ + "\\src\\", root_ + "/SRC",
                                 root_ + "/link"};
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    EXPECT_EQ(Run(target), std::string(kPageHead) +
                               "Source and Target Directory cannot be the same, otherwise you "
                               "overwritten your original ASP files.<BR>\r\n"
                               "</BODY>\r\n"
                               "</HTML>\r\n");
    EXPECT_EQ(SourceFolder(), sources_);
  }
}

TEST_F(GenerationPosixTest, AnotherTargetGetsTheFilesAndTheSourcesStay) {
  const std::string body = Run(root_ + "/out");
  EXPECT_EQ(body.substr(std::string(kPageHead).size(), 36), "Done generating all the VB files in ");
  EXPECT_EQ(SourceFolder(), sources_);
  std::ifstream in(root_ + "/out/b.asp", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
            "<%\r\n"
            "Dim cb\r\n"
            "Set cb = Server.CreateObject(\"tShop.b\")\r\n"
            "cb.b\r\n"
            "Set cb = Nothing\r\n"
            "%>\r\n");
  EXPECT_TRUE(std::filesystem::exists(root_ + "/out/a.cls"));
  EXPECT_TRUE(std::filesystem::exists(root_ + "/out/Shop.vbp"));
}

}  // namespace
}  // namespace vorlintex::generator

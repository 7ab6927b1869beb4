#include "platform/posix_env.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace vorlintex {
namespace {

// A temporary folder, with WINEPREFIX and WINDIR put back as they were afterwards.
class PosixEnvTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Save("WINEPREFIX", &saved_prefix_);
    Save("WINDIR", &saved_windir_);
    std::string templ = (std::filesystem::path(::testing::TempDir()) / "posix_env_XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    root_ = std::filesystem::canonical(templ).string();
  }
  void TearDown() override {
    Restore("WINEPREFIX", saved_prefix_);
    Restore("WINDIR", saved_windir_);
    std::filesystem::remove_all(root_);
  }

  void WriteFile(const std::string& relative, const std::string& contents) {
    std::filesystem::create_directories(
        std::filesystem::path(root_ + "/" + relative).parent_path());
    std::ofstream(root_ + "/" + relative, std::ios::binary) << contents;
  }

  std::string root_;
  // The listing's names; a failure is recorded in last_listing_.
  std::vector<std::string> Listed(const std::string& pattern) {
    std::vector<std::string> names;
    last_listing_ = env_->ListFiles(pattern, &names);
    return names;
  }

  std::unique_ptr<Env> env_ = NewPosixEnv();
  Status last_listing_;

 private:
  static void Save(const char* name, std::optional<std::string>* saved) {
    if (const char* value = getenv(name)) *saved = value;
  }
  static void Restore(const char* name, const std::optional<std::string>& saved) {
    if (saved) {
      setenv(name, saved->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }

  std::optional<std::string> saved_prefix_;
  std::optional<std::string> saved_windir_;
};

TEST_F(PosixEnvTest, FileServiceWritesWhatTheListingThenFinds) {
  std::unique_ptr<fs::TextFileService> service;
  ASSERT_TRUE(env_->NewFileService(&service).ok());
  ASSERT_NE(service, nullptr);
  ASSERT_TRUE(service->CreateFolder(root_ + "\\Site").ok());
  std::unique_ptr<fs::TextStream> stream;
  ASSERT_TRUE(service->CreateTextFile(root_ + "\\site\\Menu.ASP", &stream).ok());
  ASSERT_TRUE(stream->WriteLine("<% x %>").ok());
  ASSERT_TRUE(stream->Close().ok());
  WriteFile("Site/default.asp", "");
  WriteFile("Site/notes.txt", "");

  EXPECT_EQ(Listed(root_ + "\\SITE\\*.asp"), (std::vector<std::string>{"default.asp", "Menu.ASP"}));
  EXPECT_TRUE(last_listing_.ok());
  EXPECT_EQ(Listed(root_ + "\\missing\\*.asp"), std::vector<std::string>{});
  EXPECT_TRUE(last_listing_.IsNotFound()) << last_listing_.ToString();
  // An existing folder that cannot be read is not a missing one.
  if (geteuid() != 0) {
    chmod((root_ + "/Site").c_str(), 0);
    EXPECT_EQ(Listed(root_ + "\\site\\*.asp"), std::vector<std::string>{});
    EXPECT_EQ(last_listing_.code(), Status::Code::kIOError) << last_listing_.ToString();
    chmod((root_ + "/Site").c_str(), 0755);
  }
}

TEST_F(PosixEnvTest, FolderIdentityIsTheSameForEverySpellingOfOneFolder) {
  std::filesystem::create_directories(root_ + "/Pages");
  std::filesystem::create_directories(root_ + "/Other");
  const std::optional<std::string> pages = env_->FolderIdentity(root_ + "/Pages");
  ASSERT_TRUE(pages.has_value());
  EXPECT_EQ(env_->FolderIdentity(root_ + "\\pages\\"), pages);
  EXPECT_NE(env_->FolderIdentity(root_ + "\\Other"), pages);
  EXPECT_EQ(env_->FolderIdentity(root_ + "\\nowhere"), std::nullopt);
}

TEST_F(PosixEnvTest, RegistryValueComesFromTheWinePrefix) {
  WriteFile("prefix/system.reg",
            "WINE REGISTRY Version 2\n\n"
            "[Software\\\\Classes\\\\VisualBasic.VBZFile\\\\shell\\\\open\\\\command] 1\n"
            "@=\"C:\\\\VB98\\\\vb6.exe \\\"%1\\\"\"\n");
  setenv("WINEPREFIX", (root_ + "/prefix").c_str(), 1);
  EXPECT_EQ(env_->ClassesRootDefaultValue("VisualBasic.VBZFile\\shell\\open\\command"),
            "C:\\VB98\\vb6.exe \"%1\"");
  EXPECT_EQ(env_->ClassesRootDefaultValue("VisualBasic.VBPFile"), std::nullopt);
  setenv("WINEPREFIX", (root_ + "/noprefix").c_str(), 1);
  EXPECT_EQ(env_->ClassesRootDefaultValue("VisualBasic.VBZFile\\shell\\open\\command"),
            std::nullopt);
}

TEST_F(PosixEnvTest, WindowsDirectoryFollowsWindir) {
  unsetenv("WINDIR");
  EXPECT_EQ(env_->WindowsDirectory(), "C:\\WINDOWS");
  setenv("WINDIR", "D:\\WinNT", 1);
  EXPECT_EQ(env_->WindowsDirectory(), "D:\\WinNT");
}

}  // namespace
}  // namespace vorlintex

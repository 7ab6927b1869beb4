#include "platform/memory_env.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vorlintex {
namespace {

TEST(MemoryEnvTest, FileServicesShareTheStore) {
  auto files = fs::MemoryFileSystem::Create();
  files->AddFolder("C:\\out");
  MemoryEnv env(files);
  std::unique_ptr<fs::TextFileService> service;
  ASSERT_TRUE(env.NewFileService(&service).ok());
  std::unique_ptr<fs::TextStream> stream;
  ASSERT_TRUE(service->CreateTextFile("C:\\out\\a.txt", &stream).ok());
  ASSERT_TRUE(stream->WriteLine("a").ok());
  ASSERT_TRUE(stream->Close().ok());
  EXPECT_EQ(env.files().Contents("c:/OUT/A.TXT"), "a\r\n");
  std::vector<std::string> names;
  EXPECT_TRUE(env.ListFiles("C:\\out\\*.txt", &names).ok());
  EXPECT_EQ(names, std::vector<std::string>{"a.txt"});
  EXPECT_TRUE(env.ListFiles("C:\\nowhere\\*.txt", &names).IsNotFound());
  EXPECT_TRUE(names.empty());
}

TEST(MemoryEnvTest, NewFileServiceCanBeToldToFail) {
  MemoryEnv env(fs::MemoryFileSystem::Create());
  env.FailNewFileService("Class not registered");
  std::unique_ptr<fs::TextFileService> service;
  Status status = env.NewFileService(&service);
  EXPECT_EQ(status.path(), "Scripting.FileSystemObject");
  EXPECT_EQ(status.reason(), "Class not registered");
  EXPECT_EQ(service, nullptr);
}

TEST(MemoryEnvTest, RegistryValueAndWindowsDirectoryAreWhatTheTestSets) {
  MemoryEnv env(fs::MemoryFileSystem::Create());
  const std::string key = "VisualBasic.VBZFile\\shell\\open\\command";
  EXPECT_EQ(env.ClassesRootDefaultValue(key), std::nullopt);
  env.SetClassesRootDefaultValue(key, "\"C:\\VB98\\VB6.EXE\" \"%1\"");
  EXPECT_EQ(env.ClassesRootDefaultValue(key), "\"C:\\VB98\\VB6.EXE\" \"%1\"");
  EXPECT_EQ(env.ClassesRootDefaultValue("Other"), std::nullopt);
  EXPECT_EQ(env.WindowsDirectory(), "C:\\WINDOWS");
  env.SetWindowsDirectory("D:\\WINNT");
  EXPECT_EQ(env.WindowsDirectory(), "D:\\WINNT");
}

TEST(MemoryEnvTest, FolderIdentityIsEqualExactlyForTheSameFolder) {
  auto files = fs::MemoryFileSystem::Create();
  files->AddFile("C:\\src\\page.asp", "");
  files->AddFolder("C:\\srcx");
  MemoryEnv env(files);
  std::optional<std::string> source = env.FolderIdentity("C:\\src");
  ASSERT_TRUE(source.has_value());
  EXPECT_EQ(env.FolderIdentity("C:\\src\\"), source);
  EXPECT_EQ(env.FolderIdentity("c:/SRC"), source);
  EXPECT_EQ(env.FolderIdentity("C:\\\\src"), source);
  EXPECT_NE(env.FolderIdentity("C:\\srcx"), source);
  EXPECT_TRUE(env.FolderIdentity("C:\\srcx").has_value());
  EXPECT_EQ(env.FolderIdentity("C:\\src\\page.asp"), std::nullopt);
  EXPECT_EQ(env.FolderIdentity("C:\\missing"), std::nullopt);
}

}  // namespace
}  // namespace vorlintex

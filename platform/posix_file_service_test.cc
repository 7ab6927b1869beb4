// What only the real file system on POSIX has: links, pipes and names in several letter cases
// at once.
#include "platform/posix_file_service.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/file_service_test_harness.h"
#include "platform/windows_directory.h"

namespace vorlintex {
namespace {

// What stands at a name is replaced by the new file, never written through: a file linked
// elsewhere keeps its bytes. Of several spellings of a name the exact one wins, else the first
// in byte order. Only ordinary files are read: a pipe with no writer, whose open would wait
// for one, is refused at once.
TEST(PosixFileServiceTest, LinksPipesAndSeveralSpellingsOfOneName) {
  fs::DiskHarness harness;
  const std::string root = harness.Root();
  for (const char* name : {"outside.txt", "a.TXT", "A.txt", "site/x.txt", "SITE/x.txt"}) {
    harness.Put(name, std::string(name) + "\r\n");
  }
  std::filesystem::create_hard_link(harness.Native("outside.txt"), harness.Native("site/hard.cls"));
  std::filesystem::create_symlink(harness.Native("outside.txt"), harness.Native("site/Soft.CLS"));
  std::filesystem::create_directory_symlink(harness.Native("SITE"), harness.Native("link"));
  ASSERT_EQ(mkfifo(harness.Native("pipe.asp").c_str(), 0600), 0);
  for (const char* name : {"site\\hard.cls", "site\\soft.cls"}) {
    std::unique_ptr<fs::TextStream> stream;
    ASSERT_TRUE(harness.service().CreateTextFile(root + "\\" + name, &stream).ok());
    ASSERT_TRUE(stream->WriteLine(name).ok() && stream->Close().ok());
  }
  EXPECT_EQ(harness.Get("outside.txt"), "outside.txt\r\n");
  EXPECT_EQ(harness.Names("site"), (fs::Lines{"Soft.CLS", "hard.cls", "x.txt"}));
  const std::pair<const char*, const char*> cases[] = {
      {"a.txt", "A.txt"},
      {"a.TXT", "a.TXT"},
      {"sItE\\X.txt", "SITE/x.txt"},
      {"LINK\\x.txt", "SITE/x.txt"},
      {"site\\SOFT.cls", "site\\soft.cls"},
      {"PIPE.asp", "not an ordinary file (a pipe, device or socket), so it is not read"}};
  for (const auto& [path, first] : cases) {
    std::unique_ptr<fs::TextStream> stream;
    std::string line;
    Status status = harness.service().OpenTextFile(root + "\\" + path, &stream);
    if (status.ok()) status = stream->ReadLine(&line);
    EXPECT_EQ(status.ok() ? line : status.reason(), first) << path;
  }
  // A folder it makes is as open as the umask allows, as any program's would be.
  ASSERT_TRUE(harness.service().CreateFolder(root + "\\made").ok());
  const mode_t mask = umask(0);
  umask(mask);
  struct stat made {};
  EXPECT_EQ(stat(harness.Native("made").c_str(), &made) == 0 ? made.st_mode & 07777 : 0,
            0777 & ~mask);
  EXPECT_EQ(harness.env().FolderIdentity(root + "\\link"),
            harness.env().FolderIdentity(root + "\\SITE"));
  EXPECT_NE(harness.env().FolderIdentity(root + "\\link"),
            harness.env().FolderIdentity(root + "\\site"));
}

// The Windows folder named in every project file's references: WINDIR without its trailing
// separators, else the usual one.
TEST(PosixEnvTest, WindowsDirectoryFromWindir) {
  const std::pair<std::optional<std::string>, const char*> cases[] = {
      {std::nullopt, "C:\\WINDOWS"}, {"D:\\WinNT", "D:\\WinNT"}, {"C:\\W\\/", "C:\\W"}, {"", ""}};
  for (const auto& [windir, expected] : cases) {
    fs::ScopedVariable variable("WINDIR", windir);
    EXPECT_EQ(WindowsDirectory(), expected) << windir.value_or("(unset)");
  }
}

}  // namespace
}  // namespace vorlintex

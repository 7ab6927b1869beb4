// What only the real file system on POSIX has: links, pipes and devices, full disks, names in
// several letter cases at once, and the environment variables it reads.
#include "platform/posix_file_service.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/file_service_test_harness.h"

namespace vorlintex {
namespace {

class PosixFileServiceTest : public ::testing::Test {
 protected:
  Status Read(const std::string& path, std::string* line) {
    std::unique_ptr<fs::TextStream> stream;
    Status status = service_.OpenTextFile(path, &stream);
    return status.ok() ? stream->ReadLine(line) : status;
  }

  fs::DiskHarness harness_;
  std::string root_ = harness_.Root();
  fs::TextFileService& service_ = harness_.service();
};

TEST_F(PosixFileServiceTest, AWriteErrorShowsAtTheWriteThatFlushesOrAtClose) {
  std::unique_ptr<fs::TextStream> big, small;
  ASSERT_TRUE(service_.CreateTextFile(root_ + "/big.txt", &big).ok());
  ASSERT_TRUE(service_.CreateTextFile(root_ + "\\small.txt", &small).ok());
  harness_.FailWrites("");
  ASSERT_TRUE(small->WriteLine("short").ok());
  Status failed;
  int written = 0;
  while (failed.ok() && written++ < 1000) failed = big->WriteLine(std::string(1000, 'x'));
  EXPECT_LT(written, 100);  // the first full block
  const std::pair<Status, std::string> failures[] = {
      {failed, root_ + "/big.txt"},
      {big->WriteLine("more"), root_ + "/big.txt"},
      {small->Close(), root_ + "\\small.txt"},
  };
  for (const auto& [status, path] : failures) {
    EXPECT_EQ(status.path(), path);
    EXPECT_EQ(status.reason(), "File too large");
  }
  EXPECT_FALSE(big->Close().ok());
}

// What stands at the name is replaced by the new file, never written through: a file linked
// elsewhere keeps its bytes, in any letter case of the name.
TEST_F(PosixFileServiceTest, ALinkAtTheNameIsReplacedNotFollowed) {
  harness_.Put("outside.txt", "outside\r\n");
  const std::string outside = harness_.Native("outside.txt");
  const struct {
    const char* existing;  // the name in the folder
    bool hard;
    std::string target;
  } cases[] = {{"page.cls", false, outside},
               {"page.cls", true, outside},
               {"Page.CLS", false, outside},
               {"page.cls", false, "/nonexistent/target"}};
  for (const auto& c : cases) {
    const std::string folder = "out" + std::to_string(&c - cases);
    std::filesystem::create_directory(harness_.Native(folder));
    const std::string at = harness_.Native(folder + "/" + c.existing);
    c.hard ? std::filesystem::create_hard_link(c.target, at)
           : std::filesystem::create_symlink(c.target, at);
    std::unique_ptr<fs::TextStream> stream;
    ASSERT_TRUE(service_.CreateTextFile(root_ + "\\" + folder + "\\page.cls", &stream).ok());
    ASSERT_TRUE(stream->WriteLine("new").ok());
    ASSERT_TRUE(stream->Close().ok());
    EXPECT_EQ(harness_.Get("outside.txt"), "outside\r\n");
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(at)));
    EXPECT_EQ(harness_.Get(folder + "/" + c.existing), "new\r\n");
    EXPECT_EQ(harness_.Names(folder), fs::Lines{c.existing}) << folder;
  }
}

// Only ordinary files are read: a pipe with no writer, whose open would wait for one, and a
// device are refused at once; a file that fails to read ends its stream.
TEST_F(PosixFileServiceTest, OnlyOrdinaryFilesAreRead) {
  ASSERT_EQ(mkfifo(harness_.Native("pipe.asp").c_str(), 0600), 0);
  std::string line;
  for (const std::string& path : {root_ + "\\PIPE.asp", std::string("/dev/null")}) {
    Status status = Read(path, &line);
    EXPECT_EQ(status.path(), path);
    EXPECT_EQ(status.reason(),
              "not an ordinary file (a pipe, device or socket), so it is not read");
  }
  // Reading the process's own memory from address 0 fails with an I/O error.
  std::unique_ptr<fs::TextStream> stream;
  if (!service_.OpenTextFile("/proc/self/mem", &stream).ok()) GTEST_SKIP() << "no /proc";
  EXPECT_TRUE(stream->AtEndOfStream());
  EXPECT_EQ(stream->ReadLine(&line).reason(), "Input/output error");
  EXPECT_TRUE(stream->AtEndOfStream());
}

// An exact spelling wins; else the first of several in byte order, for files and folders.
TEST_F(PosixFileServiceTest, SeveralSpellingsResolveToTheExactOrTheFirstInByteOrder) {
  for (const char* name : {"a.TXT", "A.txt", "site/x.txt", "SITE/x.txt", "Site/x.txt"}) {
    harness_.Put(name, std::string(name) + "\r\n");
  }
  std::filesystem::create_directory_symlink(harness_.Native("Site"), harness_.Native("link"));
  const std::pair<const char*, const char*> cases[] = {{"a.txt", "A.txt"},
                                                       {"a.TXT", "a.TXT"},
                                                       {"site\\X.TXT", "site/x.txt"},
                                                       {"Site\\x.txt", "Site/x.txt"},
                                                       {"sItE\\x.txt", "SITE/x.txt"},
                                                       {"LINK\\x.txt", "Site/x.txt"}};
  std::string line;
  for (const auto& [path, first] : cases) {
    EXPECT_TRUE(Read(root_ + "\\" + path, &line).ok());
    EXPECT_EQ(line, first) << path;
  }
  EXPECT_EQ(PosixFolderIdentity(root_ + "\\link"), PosixFolderIdentity(root_ + "\\Site"));
  EXPECT_NE(PosixFolderIdentity(root_ + "\\site"), PosixFolderIdentity(root_ + "\\SITE"));
}

// A folder that cannot be read is not a missing one; a NUL would list some other folder.
TEST_F(PosixFileServiceTest, AListingThatFailsSaysWhy) {
  harness_.Put("Site/page.asp", "");
  Env& env = harness_.env();
  fs::Lines names;
  EXPECT_EQ(env.ListFiles(root_ + std::string("\\x\0y\\*.asp", 11), &names).code(),
            Status::Code::kInvalidArgument);
  if (geteuid() != 0) {
    chmod(harness_.Native("Site").c_str(), 0);
    EXPECT_EQ(env.ListFiles(root_ + "\\site\\*.asp", &names).code(), Status::Code::kIOError);
    chmod(harness_.Native("Site").c_str(), 0755);
  }
}

TEST(WindowsDirectoryTest, IsWindirWithoutTrailingSeparatorsElseTheUsualOne) {
  const std::pair<std::optional<std::string>, const char*> cases[] = {
      {std::nullopt, "C:\\WINDOWS"},
      {"D:\\WinNT", "D:\\WinNT"},
      {"C:\\WINDOWS\\", "C:\\WINDOWS"},
      {"/opt/windows//", "/opt/windows"},
      {"", ""}};
  for (const auto& [windir, expected] : cases) {
    fs::ScopedVariable scoped("WINDIR", windir);
    EXPECT_EQ(NewNativeEnv()->WindowsDirectory(), expected);
  }
}

}  // namespace
}  // namespace vorlintex

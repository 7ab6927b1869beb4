// What only the real file system on POSIX has: links, pipes and devices, full disks, names in
// several letter cases at once, and the environment variables it reads.
#include "platform/posix_file_service.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>

#include "platform/file_service_test_harness.h"
#include "platform/posix_env.h"

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
  fs::FileSizeLimit full(0);
  Status failed;
  int written = 0;
  while (failed.ok() && written++ < 1000) failed = big->WriteLine(std::string(1000, 'x'));
  EXPECT_EQ(failed.path(), root_ + "/big.txt");
  EXPECT_EQ(failed.reason(), "File too large");
  EXPECT_LT(written, 100);  // the first full block
  EXPECT_EQ(big->WriteLine("more").reason(), "File too large");
  EXPECT_FALSE(big->Close().ok());
  ASSERT_TRUE(small->WriteLine("short").ok());
  Status closed = small->Close();
  EXPECT_EQ(closed.path(), root_ + "\\small.txt");
  EXPECT_EQ(closed.reason(), "File too large");
}

// What stands at the name is replaced by the new file, never written through: a file linked
// elsewhere keeps its bytes, in any letter case of the name.
TEST_F(PosixFileServiceTest, ALinkAtTheNameIsReplacedNotFollowed) {
  const struct {
    const char* existing;  // the name in the folder
    bool hard;
    const char* target;  // relative to the case's folder
  } cases[] = {
      {"page.cls", false, "keep/outside.txt"},
      {"page.cls", true, "keep/outside.txt"},
      {"Page.CLS", false, "keep/outside.txt"},
      {"page.cls", false, "/nonexistent/target"},
  };
  int index = 0;
  for (const auto& c : cases) {
    const std::string folder = "out" + std::to_string(index++);
    SCOPED_TRACE(folder);
    harness_.Put(folder + "/keep/outside.txt", "outside\r\n");
    const std::string at = harness_.Native(folder + "/" + c.existing);
    const std::string target =
        c.target[0] == '/' ? c.target : harness_.Native(folder) + "/" + c.target;
    c.hard ? std::filesystem::create_hard_link(target, at)
           : std::filesystem::create_symlink(target, at);
    std::unique_ptr<fs::TextStream> stream;
    ASSERT_TRUE(service_.CreateTextFile(root_ + "\\" + folder + "\\page.cls", &stream).ok());
    ASSERT_TRUE(stream->WriteLine("new").ok());
    ASSERT_TRUE(stream->Close().ok());
    EXPECT_EQ(harness_.Get(folder + "/keep/outside.txt"), "outside\r\n");
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(at)));
    EXPECT_EQ(harness_.Get(folder + "/" + c.existing), "new\r\n");
    EXPECT_EQ(harness_.Names(folder), fs::Lines{c.existing});
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
  Status status = stream->ReadLine(&line);
  EXPECT_EQ(status.path(), "/proc/self/mem");
  EXPECT_EQ(status.reason(), "Input/output error");
  EXPECT_TRUE(stream->AtEndOfStream());
}

// An exact spelling wins; else the first of several in byte order, for files and folders.
TEST_F(PosixFileServiceTest, SeveralSpellingsResolveToTheExactOrTheFirstInByteOrder) {
  harness_.Put("a.TXT", "lower\r\n");
  harness_.Put("A.txt", "upper\r\n");
  harness_.Put("site/lower.asp", "");
  harness_.Put("SITE/upper.asp", "");
  harness_.Put("Site/mixed.asp", "");
  std::string line;
  EXPECT_TRUE(Read(root_ + "\\a.txt", &line).ok());
  EXPECT_EQ(line, "upper");
  EXPECT_TRUE(Read(root_ + "\\a.TXT", &line).ok());
  EXPECT_EQ(line, "lower");
  std::unique_ptr<Env> env = NewPosixEnv();
  fs::Lines names;
  const std::pair<const char*, const char*> folders[] = {
      {"site", "lower.asp"}, {"Site", "mixed.asp"}, {"sItE", "upper.asp"}};
  for (const auto& [folder, name] : folders) {
    EXPECT_TRUE(env->ListFiles(root_ + "\\" + folder + "\\*.asp", &names).ok());
    EXPECT_EQ(names, fs::Lines{name}) << folder;
  }
}

TEST_F(PosixFileServiceTest, FolderIdentityFollowsLinks) {
  harness_.Put("Src/page.asp", "");
  std::filesystem::create_directory_symlink(harness_.Native("Src"), harness_.Native("link"));
  const std::optional<std::string> source = PosixFolderIdentity(root_ + "\\Src");
  ASSERT_TRUE(source.has_value());
  EXPECT_EQ(PosixFolderIdentity(root_ + "\\link"), source);
  EXPECT_EQ(PosixFolderIdentity(root_ + "\\Src\\..\\Src"), source);
  EXPECT_EQ(PosixFolderIdentity(""), std::nullopt);
}

// A folder that cannot be read is not a missing one; a NUL would list some other folder.
TEST_F(PosixFileServiceTest, AListingThatFailsSaysWhy) {
  harness_.Put("Site/page.asp", "");
  harness_.Put("here.asp", "");
  std::unique_ptr<Env> env = NewPosixEnv();
  fs::Lines names;
  EXPECT_EQ(env->ListFiles(root_ + std::string("\\x\0y\\*.asp", 11), &names).code(),
            Status::Code::kInvalidArgument);
  if (geteuid() != 0) {
    chmod(harness_.Native("Site").c_str(), 0);
    EXPECT_EQ(env->ListFiles(root_ + "\\site\\*.asp", &names).code(), Status::Code::kIOError);
    EXPECT_EQ(names, fs::Lines{});
    chmod(harness_.Native("Site").c_str(), 0755);
  }
  // An empty folder part is the current folder.
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(root_);
  EXPECT_TRUE(env->ListFiles("\\*.asp", &names).ok());
  EXPECT_EQ(names, fs::Lines{"here.asp"});
  EXPECT_TRUE(env->ListFiles("*.asp", &names).ok());
  EXPECT_EQ(names, fs::Lines{"here.asp"});
  std::filesystem::current_path(previous);
}

TEST(WindowsDirectoryTest, IsWindirWithoutTrailingSeparatorsElseTheUsualOne) {
  const struct {
    std::optional<std::string> windir;
    const char* expected;
  } cases[] = {
      {std::nullopt, "C:\\WINDOWS"},
      {"D:\\WinNT", "D:\\WinNT"},
      {"C:\\WINDOWS\\", "C:\\WINDOWS"},
      {"/opt/windows//", "/opt/windows"},
      {"", ""},
  };
  std::unique_ptr<Env> env = NewPosixEnv();
  for (const auto& c : cases) {
    fs::ScopedVariable windir("WINDIR", c.windir);
    EXPECT_EQ(env->WindowsDirectory(), c.expected) << c.windir.value_or("unset");
  }
}

}  // namespace
}  // namespace vorlintex

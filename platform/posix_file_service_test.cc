#include "platform/posix_file_service.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_service_test_harness.h"

namespace vorlintex {
namespace {

class PosixFileServiceTest : public ::testing::Test {
 protected:
  fs::PosixHarness harness_;
  std::string root_ = harness_.Root();
  std::unique_ptr<fs::TextFileService> service_ = NewPosixFileService();
};

TEST_F(PosixFileServiceTest, WriteErrorShowsAtTheFlushingWriteLine) {
  std::unique_ptr<fs::TextStream> stream;
  ASSERT_TRUE(service_->CreateTextFile(root_ + "/full.txt", &stream).ok());
  fs::FileSizeLimit full(0);
  const std::string line(1000, 'x');
  Status failed;
  int written = 0;
  while (failed.ok() && written < 1000) {
    failed = stream->WriteLine(line);
    ++written;
  }
  EXPECT_EQ(failed.path(), root_ + "/full.txt");
  EXPECT_EQ(failed.reason(), "File too large");
  EXPECT_LT(written, 100);  // the first full block
  EXPECT_EQ(stream->WriteLine("more").reason(), "File too large");
  EXPECT_FALSE(stream->Close().ok());
}

TEST_F(PosixFileServiceTest, WriteErrorShowsAtClose) {
  std::unique_ptr<fs::TextStream> stream;
  ASSERT_TRUE(service_->CreateTextFile(root_ + "\\full.txt", &stream).ok());
  fs::FileSizeLimit full(0);
  ASSERT_TRUE(stream->WriteLine("short").ok());
  Status closed = stream->Close();
  EXPECT_EQ(closed.path(), root_ + "\\full.txt");
  EXPECT_EQ(closed.reason(), "File too large");
}

// What stands at the name is replaced by the new file, never written through: a file linked
// elsewhere keeps its bytes, in any letter case of the name.
TEST_F(PosixFileServiceTest, ALinkAtTheNameIsReplacedNotFollowed) {
  struct Case {
    const char* name;
    const char* existing;  // the name in the folder
    const char* path;      // the name given to the service
    void (*make)(const std::string& outside, const std::string& at);
  };
  const Case cases[] = {
      {"symbolic link", "page.cls", "page.cls",
       [](const std::string& outside, const std::string& at) {
         std::filesystem::create_symlink(outside, at);
       }},
      {"hard link", "page.cls", "page.cls",
       [](const std::string& outside, const std::string& at) {
         std::filesystem::create_hard_link(outside, at);
       }},
      {"symbolic link in another case", "Page.CLS", "page.cls",
       [](const std::string& outside, const std::string& at) {
         std::filesystem::create_symlink(outside, at);
       }},
      {"dangling symbolic link", "page.cls", "page.cls",
       [](const std::string& /*outside*/, const std::string& at) {
         std::filesystem::create_symlink("/nonexistent/target", at);
       }},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = "out" + std::to_string(index++);
    harness_.Put(folder + "/keep/outside.txt", "outside\r\n");
    const std::string native = root_ + "/" + folder;
    c.make(native + "/keep/outside.txt", native + "/" + c.existing);
    std::unique_ptr<fs::TextStream> stream;
    ASSERT_TRUE(service_->CreateTextFile(root_ + "\\" + folder + "\\" + c.path, &stream).ok());
    ASSERT_TRUE(stream->WriteLine("new").ok());
    ASSERT_TRUE(stream->Close().ok());
    EXPECT_EQ(harness_.Get(folder + "/keep/outside.txt"), "outside\r\n");
    EXPECT_TRUE(std::filesystem::is_regular_file(
        std::filesystem::symlink_status(native + "/" + c.existing)));
    EXPECT_EQ(harness_.Get(folder + "/" + c.existing), "new\r\n");
    EXPECT_EQ(harness_.Names(folder), std::vector<std::string>{c.existing});
  }
}

TEST_F(PosixFileServiceTest, FailingReadEndsTheStream) {
  // Reading the process's own memory from address 0 fails with an I/O error.
  std::unique_ptr<fs::TextStream> stream;
  if (!service_->OpenTextFile("/proc/self/mem", &stream).ok()) GTEST_SKIP() << "no /proc";
  EXPECT_TRUE(stream->AtEndOfStream());
  std::string line;
  Status status = stream->ReadLine(&line);
  EXPECT_EQ(status.path(), "/proc/self/mem");
  EXPECT_EQ(status.reason(), "Input/output error");
  EXPECT_TRUE(stream->AtEndOfStream());
}

TEST_F(PosixFileServiceTest, SeveralSpellingsResolveToTheFirstInByteOrder) {
  harness_.Put("a.TXT", "lower\r\n");
  harness_.Put("A.txt", "upper\r\n");
  std::unique_ptr<fs::TextStream> stream;
  ASSERT_TRUE(service_->OpenTextFile(root_ + "\\a.txt", &stream).ok());
  std::string line;
  ASSERT_TRUE(stream->ReadLine(&line).ok());
  EXPECT_EQ(line, "upper");
  // An exact spelling wins over the order.
  ASSERT_TRUE(service_->OpenTextFile(root_ + "\\a.TXT", &stream).ok());
  ASSERT_TRUE(stream->ReadLine(&line).ok());
  EXPECT_EQ(line, "lower");
}

TEST_F(PosixFileServiceTest, FolderIdentityIsEqualExactlyForTheSameFolder) {
  harness_.Put("Src/page.asp", "");
  harness_.Put("Other/page.asp", "");
  std::filesystem::create_directory_symlink(root_ + "/Src", root_ + "/link");
  std::optional<std::string> source = PosixFolderIdentity(root_ + "\\Src");
  ASSERT_TRUE(source.has_value());
  EXPECT_EQ(PosixFolderIdentity(root_ + "\\Src\\"), source);
  EXPECT_EQ(PosixFolderIdentity(root_ + "/src"), source);
  EXPECT_EQ(PosixFolderIdentity(root_ + "\\\\SRC//"), source);
  EXPECT_EQ(PosixFolderIdentity(root_ + "\\link"), source);
  EXPECT_EQ(PosixFolderIdentity(root_ + "\\Src\\..\\Src"), source);
  ASSERT_TRUE(PosixFolderIdentity(root_ + "\\Other").has_value());
  EXPECT_NE(PosixFolderIdentity(root_ + "\\Other"), source);
  EXPECT_EQ(PosixFolderIdentity(root_ + "\\Src\\page.asp"), std::nullopt);
  EXPECT_EQ(PosixFolderIdentity(root_ + "\\Missing"), std::nullopt);
  EXPECT_EQ(PosixFolderIdentity(""), std::nullopt);
}

TEST_F(PosixFileServiceTest, SeparateServicesOnSeveralThreads) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([this, t] {
      auto service = NewPosixFileService();
      std::string folder = root_ + "\\T" + std::to_string(t);
      ASSERT_TRUE(service->CreateFolder(folder).ok());
      for (int i = 0; i < 20; ++i) {
        std::unique_ptr<fs::TextStream> stream;
        std::string path = folder + "\\f" + std::to_string(i) + ".txt";
        ASSERT_TRUE(service->CreateTextFile(path, &stream).ok());
        ASSERT_TRUE(stream->WriteLine(path).ok());
        ASSERT_TRUE(stream->Close().ok());
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t) {
    EXPECT_EQ(harness_.Names("T" + std::to_string(t)).size(), 20u);
  }
  std::string last = root_ + "\\T3\\f19.txt";
  EXPECT_EQ(harness_.Get("T3/f19.txt"), last + "\r\n");
}

// Only ordinary files are read: a pipe with no writer, whose open would wait for one, and a
// device are refused at once.
TEST_F(PosixFileServiceTest, APipeOrADeviceIsRefusedWithoutWaiting) {
  const std::string fifo = root_ + "/pipe.asp";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {root_ + "\\PIPE.asp", std::string("/dev/null")}) {
    SCOPED_TRACE(path);
    std::unique_ptr<fs::TextStream> stream;
    Status status = service_->OpenTextFile(path, &stream);
    EXPECT_EQ(status.path(), path);
    EXPECT_EQ(status.reason(),
              "not an ordinary file (a pipe, device or socket), so it is not read");
    EXPECT_EQ(stream, nullptr);
  }
}

// Ordinary files of sizes about a read block: the size shortcut never cuts one short.
TEST_F(PosixFileServiceTest, OrdinaryFilesAreReadToTheirEnd) {
  constexpr size_t kBlock = 64 * 1024;
  for (size_t size : {size_t{1}, kBlock - 1, kBlock, kBlock + 1, 2 * kBlock, 3 * kBlock + 7}) {
    SCOPED_TRACE(size);
    std::string bytes(size, 'x');
    bytes.back() = 'y';
    harness_.Put("f.txt", bytes);
    std::unique_ptr<fs::TextStream> stream;
    ASSERT_TRUE(service_->OpenTextFile(root_ + "/f.txt", &stream).ok());
    std::string line;
    ASSERT_TRUE(stream->ReadLine(&line).ok());
    EXPECT_EQ(line, bytes);
    EXPECT_TRUE(stream->AtEndOfStream());
    EXPECT_FALSE(stream->ReadLine(&line).ok());
  }
}

}  // namespace
}  // namespace vorlintex

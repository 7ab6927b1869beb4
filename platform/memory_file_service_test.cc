// What only the in-memory file system does: count its operations and fail the ones it is told
// to, for the fault tests of the run.
#include "platform/memory_file_service.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory_env.h"

namespace vorlintex::fs {
namespace {

// One small run over the store: a folder, a written file, a read file. 10 operations.
std::vector<Status> SmallRun(TextFileService& service) {
  std::vector<Status> statuses;
  std::unique_ptr<TextStream> out;
  std::unique_ptr<TextStream> in;
  statuses.push_back(service.CreateFolder("C:\\out"));                 // 1
  statuses.push_back(service.CreateTextFile("C:\\src\\a.cls", &out));  // 2
  if (out) statuses.push_back(out->WriteLine("one"));                  // 3
  if (out) statuses.push_back(out->WriteLine("two"));                  // 4
  if (out) statuses.push_back(out->Close());                           // 5
  statuses.push_back(service.OpenTextFile("C:\\src\\page.asp", &in));  // 6
  std::string line;
  while (in && !in->AtEndOfStream()) statuses.push_back(in->ReadLine(&line));  // 7, 8, 9
  if (in) statuses.push_back(in->Close());                                     // 10
  return statuses;
}

// Without a failure every operation but FileExists counts; with one, the n-th counted from
// when it was asked for fails, and only that one (and the close after a failed write).
TEST(MemoryFileSystemTest, FailNthOperationFailsEachOperationInTurn) {
  for (long n = 0; n <= 10; ++n) {
    SCOPED_TRACE("operation " + std::to_string(n));
    auto files = MemoryFileSystem::Create();
    files->AddFile("C:\\src\\page.asp", "a\r\nb\r\nc\r\n");
    auto service = files->NewService();
    ASSERT_TRUE(service->CreateFolder("C:\\first").ok());
    EXPECT_TRUE(service->FileExists("C:\\src\\page.asp"));
    if (n > 0) files->FailNthOperation(n);
    std::vector<Status> statuses = SmallRun(*service);
    // Operations after a failing create or open are skipped, so the n-th status is still the
    // n-th operation's.
    ASSERT_GE(statuses.size(), static_cast<size_t>(n));
    for (size_t i = 0; i < statuses.size(); ++i) {
      const bool close_after_failed_write = i + 1 == 5 && (n == 3 || n == 4);
      if (i + 1 == static_cast<size_t>(n) || close_after_failed_write) {
        EXPECT_EQ(statuses[i].reason(), "injected failure");
      } else {
        EXPECT_TRUE(statuses[i].ok()) << i << ": " << statuses[i].ToString();
      }
    }
    EXPECT_EQ(files->FolderExists("C:\\out"), n != 1);
    EXPECT_EQ(files->Contents("C:\\src\\a.cls"),
              n >= 2 && n <= 5 ? std::nullopt : std::optional<std::string>("one\r\ntwo\r\n"));
    if (n == 0) {
      EXPECT_EQ(files->OperationCount(), 11);
    }
  }
}

// A failure told for one operation on one path, in any spelling, lasts; a failing read ends its
// stream and a failing close still closes it.
TEST(MemoryFileSystemTest, FailOnNamesOneOperationOnOnePath) {
  auto files = MemoryFileSystem::Create();
  files->AddFile("C:\\src\\page.asp", "a\r\n");
  files->AddFile("C:\\src\\other.asp", "x\r\n");
  files->FailOn(Operation::kOpen, "c:/SRC/Page.asp");
  files->FailOn(Operation::kRead, "C:\\src\\other.asp");
  files->FailOn(Operation::kClose, "C:\\src\\out.txt");
  auto service = files->NewService();
  std::unique_ptr<TextStream> stream;
  for (int attempt = 0; attempt < 2; ++attempt) {
    Status status = service->OpenTextFile("C:\\src\\page.asp", &stream);
    EXPECT_EQ(status.path(), "C:\\src\\page.asp");
    EXPECT_EQ(status.reason(), "injected failure");
    EXPECT_EQ(stream, nullptr);
  }
  EXPECT_TRUE(service->FileExists("C:\\src\\page.asp"));

  ASSERT_TRUE(service->OpenTextFile("C:\\src\\other.asp", &stream).ok());
  EXPECT_FALSE(stream->AtEndOfStream());
  std::string line;
  EXPECT_EQ(stream->ReadLine(&line).reason(), "injected failure");
  EXPECT_TRUE(stream->AtEndOfStream());

  ASSERT_TRUE(service->CreateTextFile("C:\\src\\out.txt", &stream).ok());
  ASSERT_TRUE(stream->WriteLine("kept").ok());
  EXPECT_EQ(stream->Close().reason(), "injected failure");
  EXPECT_EQ(stream->WriteLine("late").reason(), "Bad file descriptor");
  EXPECT_EQ(files->Contents("C:\\src\\out.txt"), std::nullopt);

  MemoryEnv env(files);
  env.FailNewFileService("Class not registered");
  std::unique_ptr<TextFileService> none = files->NewService();
  Status status = env.NewFileService(&none);
  EXPECT_EQ(status.path(), "Scripting.FileSystemObject");
  EXPECT_EQ(status.reason(), "Class not registered");
  EXPECT_EQ(none, nullptr);
}

TEST(MemoryFileSystemTest, AddFileMakesFoldersAndKeepsTheFirstSpelling) {
  auto files = MemoryFileSystem::Create();
  files->AddFile("C:/Site/Pages\\Default.ASP", "one");
  EXPECT_TRUE(files->FolderExists("C:\\SITE\\pages\\"));
  EXPECT_FALSE(files->FolderExists("C:\\Site\\Pages\\Default.ASP"));
  files->AddFile("c:\\site\\pages\\default.asp", "two");
  files->AddFile("c:\\site\\pages\\new.inc", "three");
  EXPECT_EQ(files->AllFiles(),
            (std::vector<std::string>{"C:\\Site\\Pages\\Default.ASP", "C:\\Site\\Pages\\new.inc"}));
  EXPECT_EQ(files->Contents("C:\\site\\PAGES\\DEFAULT.asp"), "two");
  EXPECT_EQ(files->Contents("C:\\site\\pages"), std::nullopt);
}

}  // namespace
}  // namespace vorlintex::fs

#include "platform/memory_file_service.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace vorlintex::fs {
namespace {

using Names = std::vector<std::string>;

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

std::shared_ptr<MemoryFileSystem> SourceTree() {
  auto files = MemoryFileSystem::Create();
  files->AddFile("C:\\src\\page.asp", "a\r\nb\r\nc\r\n");
  return files;
}

TEST(MemoryFileSystemTest, CountsEveryFileOperation) {
  auto files = SourceTree();
  EXPECT_EQ(files->OperationCount(), 0);
  auto service = files->NewService();
  EXPECT_TRUE(service->FileExists("C:\\src\\page.asp"));  // not counted
  std::vector<Status> statuses = SmallRun(*service);
  EXPECT_EQ(statuses.size(), 10u);
  for (const Status& status : statuses) EXPECT_TRUE(status.ok()) << status.ToString();
  EXPECT_EQ(files->OperationCount(), 10);
}

TEST(MemoryFileSystemTest, FailNthOperationFailsEachOperationInTurn) {
  for (long n = 1; n <= 10; ++n) {
    SCOPED_TRACE("operation " + std::to_string(n));
    auto files = SourceTree();
    files->FailNthOperation(n);
    auto service = files->NewService();
    std::vector<Status> statuses = SmallRun(*service);
    // Operations after a failing create or open are skipped, so the n-th status is still the
    // n-th operation's.
    ASSERT_GE(statuses.size(), static_cast<size_t>(n));
    for (size_t i = 0; i < statuses.size(); ++i) {
      if (i + 1 == static_cast<size_t>(n)) {
        EXPECT_EQ(statuses[i].reason(), "injected failure");
      } else {
        EXPECT_TRUE(statuses[i].ok()) << i << ": " << statuses[i].ToString();
      }
    }
  }
}

TEST(MemoryFileSystemTest, FailNthCountsFromNow) {
  auto files = SourceTree();
  auto service = files->NewService();
  EXPECT_TRUE(service->CreateFolder("C:\\one").ok());
  files->FailNthOperation(2);
  EXPECT_TRUE(service->CreateFolder("C:\\two").ok());
  Status status = service->CreateFolder("C:\\three");
  EXPECT_EQ(status.path(), "C:\\three");
  EXPECT_EQ(status.reason(), "injected failure");
  EXPECT_FALSE(files->FolderExists("C:\\three"));
  EXPECT_TRUE(service->CreateFolder("C:\\four").ok());
}

TEST(MemoryFileSystemTest, FailOnNamesOneOperationOnOnePath) {
  auto files = SourceTree();
  files->AddFile("C:\\src\\other.asp", "x\r\n");
  files->FailOn(Operation::kOpen, "c:/SRC/Page.asp");
  auto service = files->NewService();
  std::unique_ptr<TextStream> stream;
  for (int attempt = 0; attempt < 2; ++attempt) {
    Status status = service->OpenTextFile("C:\\src\\page.asp", &stream);
    EXPECT_EQ(status.reason(), "injected failure");
    EXPECT_EQ(stream, nullptr);
  }
  EXPECT_TRUE(service->OpenTextFile("C:\\src\\other.asp", &stream).ok());
  EXPECT_TRUE(service->FileExists("C:\\src\\page.asp"));
}

TEST(MemoryFileSystemTest, FailingReadEndsTheStream) {
  auto files = SourceTree();
  files->FailOn(Operation::kRead, "C:\\src\\page.asp");
  auto service = files->NewService();
  std::unique_ptr<TextStream> stream;
  ASSERT_TRUE(service->OpenTextFile("C:\\src\\page.asp", &stream).ok());
  EXPECT_FALSE(stream->AtEndOfStream());
  std::string line;
  EXPECT_FALSE(stream->ReadLine(&line).ok());
  EXPECT_TRUE(stream->AtEndOfStream());
}

TEST(MemoryFileSystemTest, FailingWriteLeavesTheLineOut) {
  auto files = SourceTree();
  auto service = files->NewService();
  std::unique_ptr<TextStream> stream;
  ASSERT_TRUE(service->CreateTextFile("C:\\src\\out.txt", &stream).ok());
  ASSERT_TRUE(stream->WriteLine("kept").ok());
  files->FailNthOperation(1);
  EXPECT_FALSE(stream->WriteLine("lost").ok());
  EXPECT_TRUE(stream->WriteLine("after").ok());
  EXPECT_EQ(files->Contents("C:\\src\\out.txt"), "kept\r\nafter\r\n");
}

TEST(MemoryFileSystemTest, FailingCloseStillClosesTheStream) {
  auto files = SourceTree();
  files->FailOn(Operation::kClose, "C:\\src\\out.txt");
  auto service = files->NewService();
  std::unique_ptr<TextStream> stream;
  ASSERT_TRUE(service->CreateTextFile("C:\\src\\out.txt", &stream).ok());
  ASSERT_TRUE(stream->WriteLine("kept").ok());
  EXPECT_EQ(stream->Close().reason(), "injected failure");
  EXPECT_EQ(stream->WriteLine("late").reason(), "Bad file descriptor");
  EXPECT_EQ(files->Contents("C:\\src\\out.txt"), "kept\r\n");
}

TEST(MemoryFileSystemTest, AddFileMakesFoldersAndKeepsSpelling) {
  auto files = MemoryFileSystem::Create();
  files->AddFile("C:/Site/Pages\\Default.ASP", "one");
  EXPECT_TRUE(files->FolderExists("c:\\site"));
  EXPECT_TRUE(files->FolderExists("C:\\SITE\\pages\\"));
  EXPECT_FALSE(files->FolderExists("C:\\Site\\Pages\\Default.ASP"));
  files->AddFile("c:\\site\\pages\\default.asp", "two");
  files->AddFile("c:\\site\\pages\\new.inc", "three");
  EXPECT_EQ(files->AllFiles(), (Names{"C:\\Site\\Pages\\Default.ASP", "C:\\Site\\Pages\\new.inc"}));
  EXPECT_EQ(files->Contents("C:\\site\\PAGES\\DEFAULT.asp"), "two");
  EXPECT_EQ(files->Contents("C:\\site\\pages"), std::nullopt);
  EXPECT_EQ(files->Contents("C:\\site\\pages\\missing"), std::nullopt);
}

TEST(MemoryFileSystemTest, CreatedFoldersAndFilesKeepTheSpellingGiven) {
  auto files = MemoryFileSystem::Create();
  files->AddFolder("D:\\");
  auto service = files->NewService();
  EXPECT_TRUE(service->CreateFolder("d:\\Target").ok());
  std::unique_ptr<TextStream> stream;
  ASSERT_TRUE(service->CreateTextFile("D:/TARGET/Page.CLS", &stream).ok());
  EXPECT_EQ(files->AllFiles(), Names{"D:\\Target\\Page.CLS"});
}

TEST(MemoryFileSystemTest, ListsOrdinaryVisibleFilesInListingOrder) {
  auto files = MemoryFileSystem::Create();
  files->AddFile("C:\\site\\menu.ASP", "");
  files->AddFile("C:\\site\\Default.asp", "");
  files->AddFile("C:\\site\\notes.txt", "");
  files->AddFile("C:\\site\\.hidden.asp", "");
  files->AddFile("C:\\site\\_first.asp", "");
  files->AddFile("C:\\site\\inner\\deep.asp", "");
  files->AddFolder("C:\\site\\folder.asp");
  files->AddFile("C:\\sitex\\other.asp", "");
  struct Case {
    const char* pattern;
    Names names;
  } cases[] = {
      // Listing order compares upper-cased names, so "_" (after "Z") sorts last.
      {"C:\\site\\*.asp", {"Default.asp", "menu.ASP", "_first.asp"}},
      {"c:/SITE/*.ASP", {"Default.asp", "menu.ASP", "_first.asp"}},
      {"C:\\site\\\\*.asp", {"Default.asp", "menu.ASP", "_first.asp"}},
      {"C:\\site\\*", {"Default.asp", "menu.ASP", "notes.txt", "_first.asp"}},
      {"C:\\site\\m?nu.*", {"menu.ASP"}},
      {"C:\\site\\*.inc", {}},
      {"C:\\missing\\*.asp", {}},
      {"C:\\site\\notes.txt\\*", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    std::vector<std::string> names;
    files->ListFiles(c.pattern, &names).IgnoreError();
    EXPECT_EQ(names, c.names);
  }
}

TEST(MemoryFileSystemTest, ServicesOnSeveralThreadsShareOneStore) {
  auto files = MemoryFileSystem::Create();
  files->AddFolder("C:\\out");
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([files, t] {
      auto service = files->NewService();
      for (int i = 0; i < 50; ++i) {
        std::unique_ptr<TextStream> stream;
        std::string path = "C:\\out\\f" + std::to_string(t) + "_" + std::to_string(i);
        ASSERT_TRUE(service->CreateTextFile(path, &stream).ok());
        ASSERT_TRUE(stream->WriteLine(path).ok());
        ASSERT_TRUE(stream->Close().ok());
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(files->AllFiles().size(), 200u);
  EXPECT_EQ(files->Contents("C:\\out\\f3_49"), "C:\\out\\f3_49\r\n");
  EXPECT_EQ(files->OperationCount(), 600);
}

}  // namespace
}  // namespace vorlintex::fs

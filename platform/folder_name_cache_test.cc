#include "platform/folder_name_cache.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_service_test_harness.h"

namespace vorlintex {
namespace {

using Answer = FolderNameCache::Answer;
using Exact = FolderNameCache::Exact;

// Long enough that a folder's read is trusted, not read again for having just changed.
void LetTheFolderSettle() { std::this_thread::sleep_for(std::chrono::milliseconds(120)); }

bool MakeFile(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  return fd >= 0 && close(fd) == 0;
}

class FolderNameCacheTest : public ::testing::Test {
 protected:
  // A folder under the test's root holding `count` files "n<i>.asp".
  std::string FolderOf(const std::string& name, int count) {
    for (int i = 0; i < count; ++i) harness_.Put(name + "/n" + std::to_string(i) + ".asp", "");
    if (count == 0) harness_.Put(name + "/.keep", "");
    return root_ + "/" + name;
  }

  fs::PosixHarness harness_;
  std::string root_ = harness_.Root();
};

TEST_F(FolderNameCacheTest, AnswersAsTheFolderHoldsWhetherReadOrRemembered) {
  harness_.Put("Site/Default.ASP", "");
  harness_.Put("Site/page.ASP", "");
  harness_.Put("Site/Page.asp", "");
  harness_.Put("Site/Sub/x.inc", "");
  harness_.Put("Site/.vorlintex-0123456789abcdef.tmp", "");  // a file in the making
  const std::string site = root_ + "/Site";
  struct Case {
    std::string folder;
    std::string name;
    Exact exact;
    Answer::Kind kind;
    std::string spelling;
  } cases[] = {
      {site, "default.asp", Exact::kMissing, Answer::kOther, "Default.ASP"},
      {site, "Default.ASP", Exact::kUnchecked, Answer::kExact, ""},
      {site, "PAGE.ASP", Exact::kMissing, Answer::kOther, "Page.asp"},
      {site, "page.ASP", Exact::kUnchecked, Answer::kExact, ""},
      {site, "SUB", Exact::kMissing, Answer::kOther, "Sub"},
      {site, ".VORLINTEX-0123456789ABCDEF.TMP", Exact::kMissing, Answer::kOther,
       ".vorlintex-0123456789abcdef.tmp"},
      {site, "new.asp", Exact::kUnchecked, Answer::kNone, ""},
      {site, "new.asp", Exact::kMissing, Answer::kNone, ""},
      {root_ + "/site", "default.asp", Exact::kMissing, Answer::kNoFolder, ""},
      {site + "/Default.ASP", "x", Exact::kMissing, Answer::kNoFolder, ""},
  };
  FolderNameCache cache(1 << 20);
  for (const char* round : {"read", "remembered"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(round) + " " + c.folder + " " + c.name);
      Answer answer = cache.Find(c.folder, c.name, c.exact);
      EXPECT_EQ(answer.kind, c.kind);
      EXPECT_EQ(answer.spelling, c.spelling);
      EXPECT_EQ(answer.stamp.has_value(), c.kind != Answer::kNoFolder);
    }
    LetTheFolderSettle();
  }
  EXPECT_TRUE(cache.Knows(site));
  EXPECT_EQ(cache.FolderCount(), 1u);
}

TEST_F(FolderNameCacheTest, NotedEntriesAreFoundAndOutsideChangesAreSeen) {
  const std::string folder = FolderOf("Out", 3);
  LetTheFolderSettle();
  FolderNameCache cache(1 << 20);
  for (int i = 0; i < 50; ++i) {
    std::string name = "Made" + std::to_string(i) + ".cls";
    Answer answer = cache.Find(folder, name, Exact::kUnchecked);
    ASSERT_EQ(answer.kind, Answer::kNone) << name;
    ASSERT_TRUE(MakeFile(folder + "/" + name));
    cache.NoteCreated(folder, name, answer.stamp);
  }
  EXPECT_TRUE(cache.Knows(folder));
  EXPECT_EQ(cache.Find(folder, "made49.CLS", Exact::kMissing).spelling, "Made49.cls");

  // A name made behind its back, in a later clock tick, changes the folder's stamp.
  LetTheFolderSettle();
  harness_.Put("Out/Other.cls", "");
  EXPECT_EQ(cache.Find(folder, "other.cls", Exact::kMissing).spelling, "Other.cls");

  // A note whose stamp is not the one held lets go of the folder.
  std::optional<FolderStamp> stale = StampOf(root_);
  ASSERT_TRUE(MakeFile(folder + "/late.cls"));
  cache.NoteCreated(folder, "late.cls", stale);
  EXPECT_FALSE(cache.Knows(folder));
  EXPECT_EQ(cache.Find(folder, "LATE.cls", Exact::kMissing).spelling, "late.cls");
}

TEST_F(FolderNameCacheTest, KeepsWithinItsBudgetByLettingGoOfTheLeastRecentlyUsed) {
  const std::string a = FolderOf("A", 100);
  const std::string b = FolderOf("B", 100);
  const std::string c = FolderOf("C", 100);
  LetTheFolderSettle();
  FolderNameCache measure(1 << 20);
  measure.Find(a, "x", Exact::kMissing);
  const size_t one_folder = measure.MemoryBytes();
  ASSERT_GT(one_folder, 100u * 8);

  FolderNameCache cache(2 * one_folder + one_folder / 2);
  cache.Find(a, "x", Exact::kMissing);
  cache.Find(b, "x", Exact::kMissing);
  cache.Find(a, "n1.ASP", Exact::kMissing);  // A is now used more recently than B
  cache.Find(c, "x", Exact::kMissing);
  EXPECT_TRUE(cache.Knows(a));
  EXPECT_FALSE(cache.Knows(b));
  EXPECT_TRUE(cache.Knows(c));
  EXPECT_LE(cache.MemoryBytes(), 2 * one_folder + one_folder / 2);

  // A folder larger than the whole budget is kept while in use, alone.
  const std::string big = FolderOf("Big", 1000);
  LetTheFolderSettle();
  Answer answer = cache.Find(big, "N999.asp", Exact::kMissing);
  EXPECT_EQ(answer.spelling, "n999.asp");
  EXPECT_TRUE(cache.Knows(big));
  EXPECT_EQ(cache.FolderCount(), 1u);
}

// The page host runs generations on different folders at once, sharing one cache whose budget
// forces folders out while others are being looked up.
TEST_F(FolderNameCacheTest, FoldersUsedOnSeveralThreadsAtOnce) {
  constexpr int kThreads = 4;
  std::vector<std::string> folders;
  for (int t = 0; t < kThreads; ++t) folders.push_back(FolderOf("T" + std::to_string(t), 20));
  LetTheFolderSettle();
  FolderNameCache cache(4096);
  std::vector<std::thread> threads;
  std::vector<int> wrong(kThreads, 0);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      const std::string& folder = folders[t];
      for (int i = 0; i < 100; ++i) {
        std::string name = "Made" + std::to_string(i) + ".cls";
        Answer answer = cache.Find(folder, name, Exact::kUnchecked);
        if (answer.kind != Answer::kNone || !MakeFile(folder + "/" + name)) ++wrong[t];
        cache.NoteCreated(folder, name, answer.stamp);
        if (cache
                .Find(folder, std::string("N").append(std::to_string(i % 20)).append(".ASP"),
                      Exact::kMissing)
                .spelling != "n" + std::to_string(i % 20) + ".asp") {
          ++wrong[t];
        }
        if (cache.Find(folder, "made" + std::to_string(i) + ".cls", Exact::kMissing).spelling !=
            name) {
          ++wrong[t];
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(kThreads, 0));
}

}  // namespace
}  // namespace vorlintex

// Windows paths on POSIX, from the bottom up: the compact name set of one folder, the cache of
// folders' names, and the resolver that walks a path through them.
#include "platform/path_resolver.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "contract/ascii.h"
#include "platform/file_service_test_harness.h"
#include "platform/folder_name_cache.h"
#include "platform/folder_name_set.h"

namespace vorlintex {
namespace {

using Answer = FolderNameCache::Answer;
using Exact = FolderNameCache::Exact;
using Match = FolderNameSet::Match;

TEST(FolderNameSetTest, FindsTheLeastSpellingWithoutRegardToCase) {
  const std::string long_lower(70, 'x');
  const std::string capital_first = "A" + long_lower;
  const struct {
    const char* title;
    std::vector<std::string> added;
    std::string looked_up;
    Match match;
    std::string spelling;
  } cases[] = {
      {"absent", {"page.asp"}, "other.asp", Match::kNone, ""},
      {"capitals given back", {"Default.ASP"}, "dEFAULT.asp", Match::kSpelled, "Default.ASP"},
      {"small letters given back", {"default.asp"}, "DEFAULT.ASP", Match::kSpelled, "default.asp"},
      {"bytes beyond ASCII", {"Caf\xC3\xA9"}, "CAF\xC3\xA9", Match::kSpelled, "Caf\xC3\xA9"},
      {"other case beyond ASCII", {"\xC3\xA9"}, "\xC3\x89", Match::kNone, ""},
      {"least of two, lesser last", {"page", "Page"}, "page", Match::kSpelled, "Page"},
      {"least of three", {"pAge", "PAGE", "paGE"}, "page", Match::kSpelled, "PAGE"},
      {"all small is greatest", {"page", "pagE"}, "PAGE", Match::kSpelled, "pagE"},
      {"capital first", {capital_first}, "a" + long_lower, Match::kSpelled, capital_first},
      {"capital beyond 64 bytes", {long_lower + "B"}, long_lower + "b", Match::kUnsure, ""},
      {"long name all small", {long_lower}, long_lower, Match::kSpelled, long_lower},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    FolderNameSet set;
    for (const std::string& name : c.added) set.Add(name);
    std::string spelling;
    EXPECT_EQ(set.Find(c.looked_up, &spelling), c.match);
    EXPECT_EQ(c.match == Match::kSpelled ? spelling : "", c.spelling);
  }
  EXPECT_NE(FolderNameKey(""), 0u);
}

// A folder of a large site, some names added in two spellings: every name found, none
// invented, in little memory.
TEST(FolderNameSetTest, ManyNamesStayFindableAndCompact) {
  constexpr int kNames = 40000;
  FolderNameSet set;
  for (int i = 0; i < kNames; ++i) {
    std::string name = "page" + std::to_string(i) + ".cls";
    if (i % 10 == 0) set.Add("P" + name.substr(1));
    set.Add(name);
  }
  std::string spelling;
  for (int i = 0; i < kNames; ++i) {
    std::string looked_up = "PAGE" + std::to_string(i) + ".CLS";
    ASSERT_EQ(set.Find(looked_up, &spelling), Match::kSpelled) << looked_up;
    ASSERT_EQ(spelling, (i % 10 == 0 ? "Page" : "page") + std::to_string(i) + ".cls");
    ASSERT_EQ(set.Find("page" + std::to_string(i) + ".vbw", &spelling), Match::kNone) << i;
  }
  EXPECT_EQ(set.size(), static_cast<size_t>(kNames));
  EXPECT_EQ(set.capitalised(), static_cast<size_t>(kNames / 10));
  // 8 bytes a slot at most 80% full when grown, 16 more a capitalised name.
  EXPECT_LE(set.MemoryBytes(), kNames * 16 + kNames / 10 * 32);
}

// Long enough that a folder's read is trusted, not read again for having just changed.
void LetTheFolderSettle() { std::this_thread::sleep_for(std::chrono::milliseconds(120)); }

bool MakeFile(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return fd >= 0 && close(fd) == 0;
}

class FolderNamesTest : public ::testing::Test {
 protected:
  // A folder under the test's root holding `count` files "n<i>.asp".
  std::string FolderOf(const std::string& name, int count) {
    for (int i = 0; i < count; ++i) harness_.Put(name + "/n" + std::to_string(i) + ".asp", "");
    return harness_.Native(name);
  }

  fs::DiskHarness harness_;
  std::string root_ = harness_.Root();
};

TEST_F(FolderNamesTest, CacheAnswersAsTheFolderHoldsWhetherReadOrRemembered) {
  harness_.Put("Site/Default.ASP", "");
  harness_.Put("Site/page.ASP", "");
  harness_.Put("Site/Page.asp", "");
  harness_.Put("Site/Sub/x.inc", "");
  harness_.Put("Site/.vorlintex-0123456789abcdef.tmp", "");  // a file in the making
  const std::string site = root_ + "/Site";
  const struct {
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
    for (const auto& c : cases) {
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

TEST_F(FolderNamesTest, NotedEntriesAreFoundAndOutsideChangesAreSeen) {
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

TEST_F(FolderNamesTest, CacheKeepsWithinItsBudgetByLettingGoOfTheLeastRecentlyUsed) {
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
}

// The parts after a missing one are kept as given; entries added behind the resolver's back
// are seen, in a folder read before or not.
TEST_F(FolderNamesTest, ResolvesEachPartAsWindowsWould) {
  harness_.Put("Site/Read/old.asp", "");
  LetTheFolderSettle();
  harness_.Put("Site/Fresh/old.asp", "");
  EXPECT_EQ(ResolveWindowsPath(root_ + "\\site\\read\\OLD.asp"), root_ + "/Site/Read/old.asp");
  const struct {
    const char* add;  // a file put there first
    const char* path;
    const char* resolved;
  } cases[] = {
      {"", "site\\Missing\\read\\a.asp", "Site/Missing/read/a.asp"},
      {"", "site\\..\\SITE", "Site/../Site"},
      {"", "site\\read\\new.asp", "Site/Read/new.asp"},
      {"Site/Read/NEW.asp", "site\\read\\new.asp", "Site/Read/NEW.asp"},
      {"", "site\\fresh\\new.asp", "Site/Fresh/new.asp"},
      {"Site/Fresh/NEW.asp", "site\\fresh\\new.asp", "Site/Fresh/NEW.asp"},
  };
  for (const auto& c : cases) {
    if (*c.add) harness_.Put(c.add, "");
    EXPECT_EQ(ResolveWindowsPath(root_ + "\\" + c.path), root_ + "/" + c.resolved) << c.path;
  }
}

// A dangling link is an entry spelled exactly: it is the one named, even where stat and open
// call it missing and another entry differs from it only in case.
TEST_F(FolderNamesTest, AnEntrySpelledExactlyWinsEvenWhenItLeadsNowhere) {
  harness_.Put("Site/X.ASP", "real");
  ASSERT_EQ(symlink("nowhere", harness_.Native("Site/x.asp").c_str()), 0);
  EXPECT_EQ(ResolveWindowsPath(root_ + "\\Site\\x.asp"), root_ + "/Site/x.asp");
  EXPECT_EQ(ResolveMissingSpelling(root_ + "\\Site\\x.asp"), root_ + "/Site/x.asp");
  EXPECT_EQ(ResolveMissingSpelling(root_ + "\\site\\X.asp"), root_ + "/Site/X.ASP");
  std::unique_ptr<fs::TextStream> stream;
  EXPECT_FALSE(harness_.service().OpenTextFile(root_ + "\\Site\\x.asp", &stream).ok());
  EXPECT_FALSE(harness_.service().FileExists(root_ + "\\Site\\x.asp"));
  EXPECT_TRUE(harness_.service().FileExists(root_ + "\\Site\\x.ASP"));
}

// Each create resolves where its file goes; a new name is then known without reading the
// folder again, in any letter case, and the files in the making come and go without the
// folder's names being let go.
TEST_F(FolderNamesTest, CreatesWhereWindowsWould) {
  const std::string folder = root_ + "\\Out";
  ASSERT_TRUE(harness_.service().CreateFolder(folder).ok());
  fs::Lines names;
  for (int i = 0; i < 60; ++i) {
    std::string name = "Page" + std::to_string(i) + ".cls";
    std::unique_ptr<fs::TextStream> stream;
    ASSERT_TRUE(harness_.service().CreateTextFile(folder + "\\" + name, &stream).ok());
    ASSERT_TRUE(harness_.service().CreateTextFile(folder + "\\" + AsciiLower(name), &stream).ok());
    ASSERT_TRUE(stream->WriteLine(name).ok());
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(harness_.Names("Out"), names);
  EXPECT_EQ(harness_.Get("Out/Page7.cls"), "Page7.cls\r\n");
  EXPECT_TRUE(FolderNameCache::Instance().Knows(PosixPathSpelling(folder)));
}

}  // namespace
}  // namespace vorlintex

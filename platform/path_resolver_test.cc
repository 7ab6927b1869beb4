#include "platform/path_resolver.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "contract/ascii.h"
#include "platform/file_service_test_harness.h"
#include "platform/posix_file_service.h"

namespace vorlintex {
namespace {

TEST(PathResolverTest, SpellingMapsSeparatorsOnly) {
  struct Case {
    const char* path;
    const char* spelled;
  } cases[] = {
      {"C:\\src\\Page.asp", "C:/src/Page.asp"},
      {"\\tmp\\\\a//b\\", "/tmp/a/b"},
      {"/", "/"},
      {"", ""},
      {"name", "name"},
      {"a\\..\\b", "a/../b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(PosixPathSpelling(c.path), c.spelled);
  }
}

TEST(PathResolverTest, ResolvesEachPartAsWindowsWould) {
  fs::PosixHarness harness;
  const std::string root = harness.Root();
  harness.Put("Site/Pages/Default.ASP", "");
  struct Case {
    std::string path;
    std::string resolved;
  } cases[] = {
      {root + "\\site\\pages\\default.asp", root + "/Site/Pages/Default.ASP"},
      {root + "/SITE//Pages\\", root + "/Site/Pages"},
      {root + "\\Site\\pages\\New.cls", root + "/Site/Pages/New.cls"},
      {root + "\\site\\Missing\\pages\\default.asp", root + "/Site/Missing/pages/default.asp"},
      {root + "\\site\\..\\SITE", root + "/Site/../Site"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ResolveWindowsPath(c.path), c.resolved);
  }
}

TEST(PathResolverTest, SeesEntriesAddedBehindItsBack) {
  fs::PosixHarness harness;
  const std::string root = harness.Root();
  harness.Put("Site/old.asp", "");
  EXPECT_EQ(ResolveWindowsPath(root + "\\site\\new.asp"), root + "/Site/new.asp");
  harness.Put("Site/NEW.asp", "");
  EXPECT_EQ(ResolveWindowsPath(root + "\\site\\new.asp"), root + "/Site/NEW.asp");
  std::filesystem::remove(root + "/Site/NEW.asp");
  harness.Put("Site/New.ASP", "");
  EXPECT_EQ(ResolveWindowsPath(root + "\\site\\new.asp"), root + "/Site/New.ASP");
}

TEST(PathResolverTest, SeesEntriesAddedBehindItsBackToAFolderReadEarlier) {
  fs::PosixHarness harness;
  const std::string root = harness.Root();
  harness.Put("Site/old.asp", "");
  // Long enough that the folder's read is trusted, not re-read for being just changed.
  std::this_thread::sleep_for(std::chrono::milliseconds(120));
  EXPECT_EQ(ResolveWindowsPath(root + "\\site\\OLD.asp"), root + "/Site/old.asp");
  EXPECT_EQ(ResolveWindowsPath(root + "\\site\\new.asp"), root + "/Site/new.asp");
  harness.Put("Site/NEW.asp", "");
  EXPECT_EQ(ResolveWindowsPath(root + "\\site\\new.asp"), root + "/Site/NEW.asp");
}

TEST(PathResolverTest, FilesItCreatesAreFoundInAnyCase) {
  fs::PosixHarness harness;
  const std::string folder = harness.Root() + "\\Out";
  std::unique_ptr<fs::TextFileService> service = NewPosixFileService();
  ASSERT_TRUE(service->CreateFolder(folder).ok());
  std::vector<std::string> names;
  for (int i = 0; i < 60; ++i) {
    std::string name = "Page" + std::to_string(i) + ".cls";
    std::unique_ptr<fs::TextStream> stream;
    ASSERT_TRUE(service->CreateTextFile(folder + "\\" + name, &stream).ok());
    ASSERT_TRUE(service->CreateTextFile(folder + "\\" + AsciiLower(name), &stream).ok());
    ASSERT_TRUE(stream->WriteLine(name).ok());
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(harness.Names("Out"), names);
  EXPECT_EQ(harness.Get("Out/Page7.cls"), "Page7.cls\r\n");
}

// A dangling link is an entry spelled exactly: it is the one named, even where stat and open
// call it missing and another entry differs from it only in case.
TEST(PathResolverTest, AnEntrySpelledExactlyWinsEvenWhenItLeadsNowhere) {
  fs::PosixHarness harness;
  const std::string root = harness.Root();
  harness.Put("Site/X.ASP", "real");
  ASSERT_EQ(symlink("nowhere", (root + "/Site/x.asp").c_str()), 0);
  EXPECT_EQ(ResolveWindowsPath(root + "\\Site\\x.asp"), root + "/Site/x.asp");
  EXPECT_EQ(ResolveMissingSpelling(root + "\\Site\\x.asp"), root + "/Site/x.asp");
  EXPECT_EQ(ResolveMissingSpelling(root + "\\site\\X.asp"), root + "/Site/X.ASP");
  std::unique_ptr<fs::TextFileService> service = NewPosixFileService();
  std::unique_ptr<fs::TextStream> stream;
  EXPECT_FALSE(service->OpenTextFile(root + "\\Site\\x.asp", &stream).ok());
  EXPECT_FALSE(service->FileExists(root + "\\Site\\x.asp"));
  EXPECT_TRUE(service->FileExists(root + "\\Site\\x.ASP"));
}

// Each create resolves where its file goes; a new name is then known without reading the
// folder again, in any letter case.
TEST(PathResolverTest, CreatesWhereWindowsWould) {
  fs::PosixHarness harness;
  const std::string root = harness.Root();
  harness.Put("Site/Out/Keep.cls", "");
  // Makes the file (as the file service does) and gives where it went.
  auto create = [](const std::string& path) {
    std::string made;
    bool ok = CreateAtWindowsPath(path, [&](const std::string& resolved) {
      made = resolved;
      int fd = open(resolved.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
      return fd >= 0 && close(fd) == 0;
    });
    return ok ? made : "failed: " + made;
  };
  struct Case {
    std::string path;
    std::string made;
  } cases[] = {
      {root + "\\site\\OUT\\new.cls", root + "/Site/Out/new.cls"},
      {root + "\\SITE\\out\\NEW.CLS", root + "/Site/Out/new.cls"},
      {root + "\\Site\\Out\\KEEP.cls", root + "/Site/Out/Keep.cls"},
      {root + "/Site/Out/Other.cls", root + "/Site/Out/Other.cls"},
      {root + "/Site/Out/other.CLS", root + "/Site/Out/Other.cls"},
      {root + "\\site\\missing\\a.cls", "failed: " + root + "/Site/missing/a.cls"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(create(c.path), c.made);
  }
  EXPECT_EQ(harness.Names("Site/Out"),
            (std::vector<std::string>{"Keep.cls", "Other.cls", "new.cls"}));
}

}  // namespace
}  // namespace vorlintex

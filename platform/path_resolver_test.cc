// The names of folders on POSIX, as the resolver of Windows paths keeps them: what the contract
// tests, driving them through the file service, cannot see.
#include "platform/path_resolver.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "contract/ascii.h"
#include "platform/file_service_test_harness.h"
#include "platform/folder_name_cache.h"
#include "platform/folder_name_set.h"
#include "platform/posix_file_service.h"

namespace vorlintex {
namespace {

using Match = FolderNameSet::Match;

TEST(FolderNameSetTest, FindsTheLeastSpellingWithoutRegardToCase) {
  const std::string long_lower(70, 'x');
  const std::tuple<std::vector<std::string>, std::string, Match, std::string> cases[] = {
      {{"page.asp"}, "gape.asp", Match::kNone, ""},
      {{"Default.ASP"}, "dEFAULT.asp", Match::kSpelled, "Default.ASP"},
      {{"pAge", "PAGE", "paGE"}, "page", Match::kSpelled, "PAGE"},
      {{"A" + long_lower}, "a" + long_lower, Match::kSpelled, "A" + long_lower},
      {{long_lower + "B"}, long_lower + "b", Match::kUnsure, ""},  // a capital beyond 64 bytes
  };
  for (const auto& [added, looked_up, match, expected] : cases) {
    FolderNameSet set;
    for (const std::string& name : added) set.Add(name);
    std::string spelling;
    EXPECT_EQ(set.Find(looked_up, &spelling), match) << looked_up;
    EXPECT_EQ(match == Match::kSpelled ? spelling : "", expected) << looked_up;
  }
}

// Names created, in any letter case, are known without reading the folder again; the files
// in the making come and go without the folder's names being let go. They are kept in the
// cache the service was given.
TEST(FolderNamesTest, CreatesWhereWindowsWould) {
  fs::DiskHarness harness;
  auto folders = std::make_shared<FolderNameCache>();
  std::unique_ptr<fs::TextFileService> service = NewPosixFileService(folders);
  const std::string folder = harness.Root() + "\\Out";
  ASSERT_TRUE(service->CreateFolder(folder).ok());
  fs::Lines names;
  for (int i = 10; i < 40; ++i) {
    std::string name = "Page" + std::to_string(i) + ".cls";
    std::unique_ptr<fs::TextStream> stream;
    ASSERT_TRUE(service->CreateTextFile(folder + "\\" + name, &stream).ok());
    ASSERT_TRUE(service->CreateTextFile(folder + "\\" + AsciiLower(name), &stream).ok());
    ASSERT_TRUE(stream->WriteLine(name).ok());
    names.push_back(name);
  }
  // A stream may outlive its service, and the Env that made it.
  std::unique_ptr<fs::TextStream> last;
  ASSERT_TRUE(service->CreateTextFile(folder + "\\Last.cls", &last).ok());
  service.reset();
  ASSERT_TRUE(last->Close().ok());
  names.insert(names.begin(), "Last.cls");
  EXPECT_EQ(harness.Names("Out"), names);
  EXPECT_TRUE(folders->Knows(PosixPathSpelling(folder)));
  // Another cache reads the folder for itself.
  FolderNameCache other;
  EXPECT_EQ(ResolveWindowsPath(other, folder + "\\page39.CLS"),
            PosixPathSpelling(folder) + "/Page39.cls");
  EXPECT_TRUE(other.Knows(PosixPathSpelling(folder)));
}

}  // namespace
}  // namespace vorlintex

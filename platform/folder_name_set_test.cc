#include "platform/folder_name_set.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlintex {
namespace {

using Match = FolderNameSet::Match;

TEST(FolderNameSetTest, FindsTheLeastSpellingWithoutRegardToCase) {
  const std::string long_lower(70, 'x');
  struct Case {
    const char* title;
    std::vector<std::string> added;
    std::string looked_up;
    Match match;
    std::string spelling;
  } cases[] = {
      {"absent", {"page.asp"}, "other.asp", Match::kNone, ""},
      {"empty set", {}, "page.asp", Match::kNone, ""},
      {"same spelling", {"Default.ASP"}, "Default.ASP", Match::kSpelled, "Default.ASP"},
      {"capitals given back", {"Default.ASP"}, "dEFAULT.asp", Match::kSpelled, "Default.ASP"},
      {"small letters given back", {"default.asp"}, "DEFAULT.ASP", Match::kSpelled, "default.asp"},
      {"bytes beyond ASCII kept",
       {"Caf\xC3\xA9.asp"},
       "CAF\xC3\xA9.ASP",
       Match::kSpelled,
       "Caf\xC3\xA9.asp"},
      {"least of two, lesser first",
       {"Page.asp", "page.ASP"},
       "PAGE.asp",
       Match::kSpelled,
       "Page.asp"},
      {"least of two, lesser last",
       {"page.ASP", "Page.asp"},
       "page.asp",
       Match::kSpelled,
       "Page.asp"},
      {"least of three", {"pAge", "paGE", "PAGE"}, "page", Match::kSpelled, "PAGE"},
      {"all small is greatest", {"page", "pagE"}, "PAGE", Match::kSpelled, "pagE"},
      {"capital within 64 bytes of a long name",
       {"A" + long_lower},
       "a" + long_lower,
       Match::kSpelled,
       "A" + long_lower},
      {"capital beyond 64 bytes", {long_lower + "B"}, long_lower + "b", Match::kUnsure, ""},
      {"long name all small", {long_lower}, long_lower, Match::kSpelled, long_lower},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    FolderNameSet set;
    for (const std::string& name : c.added) set.Add(name);
    std::string spelling;
    EXPECT_EQ(set.Find(c.looked_up, &spelling), c.match);
    if (c.match == Match::kSpelled) {
      EXPECT_EQ(spelling, c.spelling);
    }
  }
}

TEST(FolderNameSetTest, AddingASpellingAgainKeepsOneName) {
  FolderNameSet set;
  set.Add("Page.asp");
  set.Add("page.asp");
  set.Add("Page.asp");
  set.Add("other.asp");
  EXPECT_EQ(set.size(), 2u);
  EXPECT_EQ(set.capitalised(), 1u);
}

// A folder of a large site: every name found, none invented, in little memory.
TEST(FolderNameSetTest, ManyNamesStayFindableAndCompact) {
  constexpr int kNames = 40000;
  FolderNameSet set;
  for (int i = 0; i < kNames; ++i) {
    std::string name = "page" + std::to_string(i) + ".cls";
    if (i % 10 == 0) name[0] = 'P';
    set.Add(name);
  }
  std::string spelling;
  for (int i = 0; i < kNames; ++i) {
    std::string looked_up = "PAGE" + std::to_string(i) + ".CLS";
    ASSERT_EQ(set.Find(looked_up, &spelling), Match::kSpelled) << looked_up;
    std::string expected = (i % 10 == 0 ? "Page" : "page") + std::to_string(i) + ".cls";
    ASSERT_EQ(spelling, expected);
  }
  for (int i = 0; i < kNames; ++i) {
    std::string absent = "page" + std::to_string(i) + ".vbw";
    ASSERT_EQ(set.Find(absent, &spelling), Match::kNone) << absent;
  }
  EXPECT_EQ(set.size(), static_cast<size_t>(kNames));
  EXPECT_EQ(set.capitalised(), static_cast<size_t>(kNames / 10));
  // 8 bytes a slot at most 80% full when grown, 16 more a capitalised name.
  EXPECT_LE(set.MemoryBytes(), kNames * 16 + kNames / 10 * 32);
}

TEST(FolderNameSetTest, KeyIgnoresAsciiCaseOnly) {
  EXPECT_EQ(FolderNameKey("Default.ASP"), FolderNameKey("default.asp"));
  EXPECT_NE(FolderNameKey("default.asp"), FolderNameKey("default.aspx"));
  EXPECT_NE(FolderNameKey("\xC3\xA9"), FolderNameKey("\xC3\x89"));
  EXPECT_NE(FolderNameKey(""), 0u);
}

}  // namespace
}  // namespace vorlintex

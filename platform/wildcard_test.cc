#include "platform/wildcard.h"

#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace vorlintex {
namespace {

struct SplitCase {
  const char* pattern;
  const char* folder;
  const char* name;
};

TEST(SplitListingPatternTest, CutsAtTheLastSeparatorOfEitherKind) {
  const SplitCase cases[] = {
      {"C:\\pages\\*.asp", "C:\\pages", "*.asp"},
      {"C:\\pages\\\\*.asp", "C:\\pages\\", "*.asp"},
      {"\\*.asp", "", "*.asp"},
      {"/srv/www/*.asp", "/srv/www", "*.asp"},
      {"a\\b/c\\d.asp", "a\\b/c", "d.asp"},
      {"a/b\\c/d.asp", "a/b\\c", "d.asp"},
      {"*.asp", "", "*.asp"},
      {"pages\\", "pages", ""},
      {"", "", ""},
  };
  for (const SplitCase& c : cases) {
    const ListingPattern split = SplitListingPattern(c.pattern);
    EXPECT_EQ(split.folder, c.folder) << c.pattern;
    EXPECT_EQ(split.name, c.name) << c.pattern;
  }
}

struct MatchCase {
  const char* pattern;
  const char* name;
  bool matches;
};

TEST(MatchesWildcardTest, Table) {
  const MatchCase cases[] = {
      {"*.asp", "Default.ASP", true},
      {"*.asp", "menu.asp", true},
      {"*.asp", "page.aspx", false},
      {"*.asp", "a.asp.old", false},
      {"*.asp", ".asp", true},
      {"*.asp", "asp", false},
      {"*.ASP", "default.asp", true},
      {"*.inc", "header.INC", true},
      {"?.asp", "a.asp", true},
      {"?.asp", "ab.asp", false},
      {"?.asp", ".asp", false},
      {"??", "ab", true},
      {"??", "a", false},
      {"a*b*c", "abc", true},
      {"a*b*c", "aXXbYYc", true},
      {"a*b*c", "aXXcYYb", false},
      {"a*b*c", "abcabc", true},
      {"*a*", "banana", true},
      {"*x*", "banana", false},
      {"**", "", true},
      {"*", "anything at all", true},
      {"*", "", true},
      {"", "", true},
      {"", "a", false},
      {"a", "", false},
      {"*?", "", false},
      {"*?", "z", true},
      {"\xC3\xA9*.asp", "\xC3\xA9t\xC3\xA9.asp", true},
      // Only ASCII letters fold: the UTF-8 bytes of É and é differ.
      {"\xC3\x89.asp", "\xC3\xA9.asp", false},
      {"?\xA9.asp", "\xC3\xA9.asp", true},
      {"[a].asp", "[a].asp", true},
      {"[a].asp", "a.asp", false},
  };
  for (const MatchCase& c : cases) {
    EXPECT_EQ(MatchesWildcard(c.pattern, c.name), c.matches)
        << "pattern \"" << c.pattern << "\" name \"" << c.name << "\"";
  }
}

TEST(MatchesWildcardTest, ManyStarsAgainstALongMismatchStillAnswers) {
  // A pattern that forces exponential work in a naive recursive matcher.
  std::string pattern;
  for (int i = 0; i < 40; ++i) pattern += "*a";
  pattern += "b";
  const std::string name(4000, 'a');
  EXPECT_FALSE(MatchesWildcard(pattern, name));
  EXPECT_TRUE(MatchesWildcard(pattern, name + "b"));
}

TEST(SortAsWindowsListingTest, OrdersByUpperCasedBytesThenOwnBytes) {
  std::vector<std::string> names = {
      "b", "_a", "B", "a", "A", "\xE9t\xE9.asp", "Z", "~", "ab", "AB", "Ab", "aB", "\x80", "1", ""};
  SortAsWindowsListing(&names);
  const std::vector<std::string> expected = {
      "", "1", "A", "a", "AB", "Ab", "aB", "ab", "B", "b", "Z", "_a", "~", "\x80", "\xE9t\xE9.asp"};
  EXPECT_EQ(names, expected);
}

TEST(SortAsWindowsListingTest, UnderscoreSortsAfterLettersOfEitherCase) {
  std::vector<std::string> names = {"_menu.asp", "menu.asp", "Default.asp", "zeta.asp"};
  SortAsWindowsListing(&names);
  const std::vector<std::string> expected = {"Default.asp", "menu.asp", "zeta.asp", "_menu.asp"};
  EXPECT_EQ(names, expected);
}

}  // namespace
}  // namespace vorlintex

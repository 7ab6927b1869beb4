// The name rules both platforms share: paths split on either separator, wildcard patterns, and
// the order of a Windows listing. Only ASCII letters fold: the UTF-8 bytes of É and é differ.
#include "platform/wildcard.h"

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/windows_path.h"

namespace vorlintex {
namespace {

TEST(WindowsPathTest, SplitsOnBothSeparatorsAndSkipsEmptyParts) {
  const struct {
    const char* path;
    std::vector<std::string_view> parts;
    const char* key;
  } cases[] = {
      {"C:/Site\\\\Default.ASP/", {"C:", "Site", "Default.ASP"}, "c:\\site\\default.asp"},
      {"\\\\a//b\\/c", {"a", "b", "c"}, "a\\b\\c"},
      {"\xC3\x89T\xC3\x89", {"\xC3\x89T\xC3\x89"}, "\xC3\x89t\xC3\x89"},
      {"\\/", {}, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitWindowsPath(c.path), c.parts) << c.path;
    EXPECT_EQ(WindowsPathKey(c.path), c.key) << c.path;
  }
}

TEST(MatchesWildcardTest, StarIsAnyRunQuestionMarkOneByte) {
  const struct {
    const char* pattern;
    const char* name;
    bool matches;
  } cases[] = {
      {"*.asp", "Default.ASP", true},
      {"*.asp", "page.aspx", false},
      {"*.asp", ".asp", true},
      {"*.asp", "asp", false},
      {"?.asp", "a.asp", true},
      {"?.asp", "ab.asp", false},
      {"??", "a", false},
      {"a*b*c", "aXXbYYc", true},
      {"a*b*c", "aXXcYYb", false},
      {"a*b*c", "abcabc", true},
      {"*x*", "banana", false},
      {"**", "", true},
      {"", "a", false},
      {"a", "", false},
      {"*?", "", false},
      {"*?", "z", true},
      {"\xC3\x89", "\xC3\xA9", false},
      {"?\xA9", "\xC3\xA9", true},
      {"[a].asp", "a.asp", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchesWildcard(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
  }
  // A pattern that forces exponential work in a naive recursive matcher.
  std::string pattern;
  for (int i = 0; i < 40; ++i) pattern += "*a";
  EXPECT_FALSE(MatchesWildcard(pattern + "b", std::string(4000, 'a')));
  EXPECT_TRUE(MatchesWildcard(pattern + "b", std::string(4000, 'a') + "b"));
}

TEST(SortAsWindowsListingTest, OrdersByUpperCasedBytesThenOwnBytes) {
  std::vector<std::string> names = {
      "b", "_a", "B", "a", "A", "\xE9t\xE9.asp", "Z", "~", "ab", "AB", "Ab", "aB", "\x80", "1", ""};
  SortAsWindowsListing(&names);
  const std::vector<std::string> expected = {
      "", "1", "A", "a", "AB", "Ab", "aB", "ab", "B", "b", "Z", "_a", "~", "\x80", "\xE9t\xE9.asp"};
  EXPECT_EQ(names, expected);
}

}  // namespace
}  // namespace vorlintex

// The name rules shared by both platforms: paths split on either separator, wildcard patterns,
// and the order of a Windows listing.
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
      {"C:\\src\\page.asp", {"C:", "src", "page.asp"}, "c:\\src\\page.asp"},
      {"C:/Site\\\\Default.ASP/", {"C:", "Site", "Default.ASP"}, "c:\\site\\default.asp"},
      {"\\\\a//b\\/c\\", {"a", "b", "c"}, "a\\b\\c"},
      {"\xC3\x89T\xC3\x89.asp", {"\xC3\x89T\xC3\x89.asp"}, "\xC3\x89t\xC3\x89.asp"},
      {"", {}, ""},
      {"\\/", {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(SplitWindowsPath(c.path), c.parts);
    EXPECT_EQ(WindowsPathKey(c.path), c.key);
  }
}

TEST(SplitListingPatternTest, CutsAtTheLastSeparatorOfEitherKind) {
  const struct {
    const char* pattern;
    const char* folder;
    const char* name;
  } cases[] = {
      {"C:\\pages\\*.asp", "C:\\pages", "*.asp"},
      {"C:\\pages\\\\*.asp", "C:\\pages\\", "*.asp"},
      {"\\*.asp", "", "*.asp"},
      {"a\\b/c\\d.asp", "a\\b/c", "d.asp"},
      {"a/b\\c/d.asp", "a/b\\c", "d.asp"},
      {"*.asp", "", "*.asp"},
      {"pages\\", "pages", ""},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    const ListingPattern split = SplitListingPattern(c.pattern);
    EXPECT_EQ(split.folder, c.folder) << c.pattern;
    EXPECT_EQ(split.name, c.name) << c.pattern;
  }
}

TEST(MatchesWildcardTest, Table) {
  const struct {
    const char* pattern;
    const char* name;
    bool matches;
  } cases[] = {
      {"*.asp", "Default.ASP", true},
      {"*.asp", "page.aspx", false},
      {"*.asp", "a.asp.old", false},
      {"*.asp", ".asp", true},
      {"*.asp", "asp", false},
      {"*.ASP", "default.asp", true},
      {"?.asp", "a.asp", true},
      {"?.asp", "ab.asp", false},
      {"?.asp", ".asp", false},
      {"??", "a", false},
      {"a*b*c", "aXXbYYc", true},
      {"a*b*c", "aXXcYYb", false},
      {"a*b*c", "abcabc", true},
      {"*a*", "banana", true},
      {"*x*", "banana", false},
      {"**", "", true},
      {"*", "anything at all", true},
      {"", "", true},
      {"", "a", false},
      {"a", "", false},
      {"*?", "", false},
      {"*?", "z", true},
      // Only ASCII letters fold: the UTF-8 bytes of É and é differ.
      {"\xC3\x89.asp", "\xC3\xA9.asp", false},
      {"?\xA9.asp", "\xC3\xA9.asp", true},
      {"[a].asp", "[a].asp", true},
      {"[a].asp", "a.asp", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchesWildcard(c.pattern, c.name), c.matches)
        << "pattern \"" << c.pattern << "\" name \"" << c.name << "\"";
  }
  // A pattern that forces exponential work in a naive recursive matcher.
  std::string pattern;
  for (int i = 0; i < 40; ++i) pattern += "*a";
  const std::string name(4000, 'a');
  EXPECT_FALSE(MatchesWildcard(pattern + "b", name));
  EXPECT_TRUE(MatchesWildcard(pattern + "b", name + "b"));
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

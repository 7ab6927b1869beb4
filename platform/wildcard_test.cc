// The wildcard patterns both platforms share: the contract tests list folders through them;
// these check the corners a listing seldom meets. Only ASCII letters fold, and "?" is one byte.
#include "platform/wildcard.h"

#include <string>

#include "gtest/gtest.h"

namespace vorlintex {
namespace {

// Each pattern with a name it matches and one it does not.
TEST(MatchesWildcardTest, StarIsAnyRunQuestionMarkOneByte) {
  const char* const cases[][3] = {{"*.asp", ".asp", "asp"},
                                  {"?.asp", "a.asp", "ab.asp"},
                                  {"a*b*c", "abcabc", "aXXcYYb"},
                                  {"", "", "a"},
                                  {"*?", "z", ""},
                                  {"?\xA9", "\xC3\xA9", "\xA9"},
                                  {"\xC3\x89", "\xC3\x89", "\xC3\xA9"},
                                  {"[a].asp", "[a].asp", "a.asp"}};
  for (const auto& [pattern, matched, unmatched] : cases) {
    EXPECT_TRUE(MatchesWildcard(pattern, matched)) << pattern;
    EXPECT_FALSE(MatchesWildcard(pattern, unmatched)) << pattern;
  }
  // A pattern that forces exponential work in a naive recursive matcher.
  std::string pattern;
  for (int i = 0; i < 40; ++i) pattern += "*a";
  EXPECT_FALSE(MatchesWildcard(pattern + "b", std::string(4000, 'a')));
  EXPECT_TRUE(MatchesWildcard(pattern + "b", std::string(4000, 'a') + "b"));
}

}  // namespace
}  // namespace vorlintex

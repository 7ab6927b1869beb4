#include "translator/line_marks.h"

#include <gtest/gtest.h>

namespace vorlintex::translator {
namespace {

struct IgnoringSpacesCase {
  std::string_view text;
  std::string_view pattern;
  size_t expected;
};

TEST(FindLastIgnoringSpaces, FindsLastStartInTheLine) {
  constexpr size_t kNone = std::string_view::npos;
  const IgnoringSpacesCase cases[] = {
      {"<%@ x", "<%@", 0},
      {"a < % @ b", "<%@", 2},
      {"<%@ <%  @", "<%@", 4},
      {"<% x @", "<%@", kNone},
      {"<%", "<%@", kNone},
      {"option   explicit", "optionexplicit", 0},
      {"xoption explici t", "optionexplicit", 1},
      {"optionexplici", "optionexplicit", kNone},
      {"", "<%@", kNone},
  };
  for (const IgnoringSpacesCase& c : cases) {
    EXPECT_EQ(FindLastIgnoringSpaces(c.text, c.pattern), c.expected) << c.text;
  }
}

}  // namespace
}  // namespace vorlintex::translator

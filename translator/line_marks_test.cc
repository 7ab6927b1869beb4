#include "translator/line_marks.h"

#include <gtest/gtest.h>

#include <string>

#include "component/ascii.h"

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
      {"<% Option EXPLICIT %>", "optionexplicit", 3},
      {"<% @ OptionExplicit", "<%@", 0},
      {"xoption explici t", "optionexplicit", 1},
      {"optionexplici", "optionexplicit", kNone},
      {"", "<%@", kNone},
  };
  for (const IgnoringSpacesCase& c : cases) {
    EXPECT_EQ(FindLastIgnoringSpaces(c.text, c.pattern), c.expected) << c.text;
  }
}

// A line with rests after several "%>": the answers for each rest start, against the markers
// searched for in the rest alone.
TEST(LineMarks, RestMarkersFromEachStart) {
  const std::string_view line = "<!-- x %> #INCLUDE %> <% Sub a %> end %> <!";
  LineMarks marks;
  marks.FindRuleMarks(line);
  for (size_t start = 0; start <= line.size(); ++start) {
    std::string rest = AsciiLower(line.substr(start));
    EXPECT_EQ(marks.CodeOpenFrom(line, start), rest.find("<%") != std::string::npos) << start;
    EXPECT_EQ(marks.CommentOpenFrom(line, start), rest.find("<!") != std::string::npos) << start;
    EXPECT_EQ(marks.IncludeWordFrom(line, start), rest.find("#include") != std::string::npos)
        << start;
    EXPECT_EQ(marks.SubWordFrom(line, start), rest.find("sub ") != std::string::npos) << start;
  }
  marks.FindRuleMarks("plain text");
  EXPECT_FALSE(marks.SubWordFrom("plain text", 0));
  EXPECT_FALSE(marks.CodeOpenFrom("plain text", 0));
}

}  // namespace
}  // namespace vorlintex::translator

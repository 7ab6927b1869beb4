#include "translator/line_marks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "contract/ascii.h"

namespace vorlintex::translator {
namespace {

constexpr size_t kNone = std::string_view::npos;

struct IgnoringSpacesCase {
  std::string_view text;
  size_t from;
  std::string_view pattern;
  size_t anchor;
  size_t expected;
};

TEST(FindIgnoringSpaces, FindsFirstStartFromTheGivenPlace) {
  const IgnoringSpacesCase cases[] = {
      {"<%@ x", 0, "<%@", 2, 0},
      {"a < % @ b", 0, "<%@", 2, 2},
      {"<%@ <%  @", 1, "<%@", 2, 4},
      {"<% x @", 0, "<%@", 2, kNone},
      {"<%", 0, "<%@", 2, kNone},
      {"@<%", 0, "<%@", 2, kNone},
      {"option   explicit", 0, "optionexplicit", 7, 0},
      {"<% Option EXPLICIT %>", 0, "optionexplicit", 7, 3},
      {"xoption explici t", 0, "optionexplicit", 7, 1},
      {"optionexplici", 0, "optionexplicit", 7, kNone},
      {"option explicit", 1, "optionexplicit", 7, kNone},
      {"  x  ", 0, "optionexplicit", 7, kNone},
      {"", 0, "<%@", 2, kNone},
  };
  for (const IgnoringSpacesCase& c : cases) {
    EXPECT_EQ(FindIgnoringSpaces(c.text, c.from, c.pattern, c.anchor), c.expected) << c.text;
  }
}

std::string CompactTestCopy(std::string_view text) {
  std::string compact;
  for (char c : text) {
    if (c != ' ') compact.push_back(AsciiLower(c));
  }
  return compact;
}

// Random lines with rests after several "%>": each marker from each start, the starts growing
// as the rests of a line come one after the other, against a search in the rest alone.
TEST(LineMarks, MarkersFromEachStartAsInTheRestAlone) {
  const std::string_view pieces[] = {
      "<!",  "<%",     "%>",       "@", "<%@", "< % @", "#INCLUDE", "#include",       "Sub ",
      "sub", "Option", "EXPLICIT", " ", "  ",  "x",     "a",        "option explicit"};
  std::mt19937 random(5);
  LineMarks marks;
  for (int round = 0; round < 3000; ++round) {
    std::string line;
    for (int i = random() % 12; i > 0; --i) line += pieces[random() % std::size(pieces)];
    marks.StartLine(FindLineBytes(line));
    for (size_t start = 0; start <= line.size(); start += 1 + random() % 3) {
      std::string rest = AsciiLower(line.substr(start));
      std::string compact = CompactTestCopy(line.substr(start));
      ASSERT_EQ(marks.CodeOpenFrom(line, start), rest.find("<%") != kNone) << line << start;
      ASSERT_EQ(marks.CommentOpenFrom(line, start), rest.find("<!") != kNone) << line << start;
      ASSERT_EQ(marks.IncludeWordFrom(line, start), rest.find("#include") != kNone)
          << line << start;
      ASSERT_EQ(marks.SubWordFrom(line, start), rest.find("sub ") != kNone) << line << start;
      ASSERT_EQ(marks.DirectiveOpenFrom(line, start), compact.find("<%@") != kNone)
          << line << start;
      ASSERT_EQ(marks.OptionExplicitFrom(line, start), compact.find("optionexplicit") != kNone)
          << line << start;
    }
  }
}

}  // namespace
}  // namespace vorlintex::translator

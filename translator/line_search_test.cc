// The line helpers against plain searches of a copy of the line, on random lines with lengths
// around the sixteen-byte blocks and from every start.
#include "translator/line_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "contract/ascii.h"
#include "translator/line_forms.h"
#include "translator/line_marks.h"

namespace vorlintex::translator {
namespace {

constexpr size_t kNone = std::string_view::npos;

// The keyword searched for in the lower-case copy of the normalised line: only A-Z fold, so
// '@' and '`' next to the letters and bytes of 128 and more never do.
std::string TestCopyOfNormalised(std::string_view line) {
  std::string copy(line);
  for (char& c : copy) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c == '\t') c = ' ';
  }
  return copy;
}

TEST(LineSearch, SameAsPlainSearchesAtEveryStart) {
  const std::string_view keywords[] = {"sub ", "end sub", "#include", "runat", "</script>", "<!"};
  using namespace std::string_view_literals;
  const std::string_view alphabet = "sSuUbB \tendENDrRaAtT#iIcClL<!/p>%\"^@`xX\0\xff\xf3\xd3"sv;
  std::mt19937 random(7);
  for (int round = 0; round < 6000; ++round) {
    std::string line(random() % 70, ' ');
    for (char& c : line) c = random() % 3 ? alphabet[random() % alphabet.size()] : 'a';
    // Now and then a whole keyword, in mixed case and with tabs for spaces, so that long lines
    // hold matches too.
    std::string_view keyword = keywords[random() % std::size(keywords)];
    if (random() % 2 == 0 && line.size() >= keyword.size()) {
      size_t at = random() % (line.size() - keyword.size() + 1);
      for (size_t i = 0; i < keyword.size(); ++i) {
        char c = keyword[i];
        if (random() % 2 && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (random() % 2 && c == ' ') c = '\t';
        line[at + i] = c;
      }
    }
    std::string copy = TestCopyOfNormalised(line);
    for (size_t from = 0; from <= line.size(); ++from) {
      ASSERT_EQ(Keyword(keyword).FindIn(line, from), copy.find(keyword, from))
          << "keyword '" << keyword << "' from " << from << " in '" << line << "'";
      ASSERT_EQ(FindEitherByte(line, from, '"', '^'), line.find_first_of("\"^", from)) << line;
      ASSERT_EQ(SkipSpaces(line, from), std::min(line.find_first_not_of(' ', from), line.size()))
          << line;
    }
    EXPECT_EQ(FindEitherByte(line, line.size() + 1, '"', '^'), kNone);

    LineBytes bytes = FindLineBytes(line);
    ASSERT_EQ(bytes.tab, line.find('\t') != kNone) << line;
    ASSERT_EQ(bytes.hash, line.find('#') != kNone) << line;
    ASSERT_EQ(bytes.percent, line.find('%') != kNone) << line;
    ASSERT_EQ(bytes.quote, line.find('"') != kNone) << line;
    ASSERT_EQ(bytes.at_sign, line.find('@') != kNone) << line;
    ASSERT_EQ(bytes.x, line.find_first_of("xX") != kNone) << line;
    ASSERT_EQ(bytes.b, line.find_first_of("bB") != kNone) << line;

    for (char placeholder : {'^', '"'}) {
      std::string expected;
      for (char c : line)
        expected += c == '"' ? "\"\"" : std::string(1, c == placeholder ? '"' : c);
      std::string out(2 * line.size() + 16, '\0');
      char* end = CopyDoublingQuotes(line, placeholder, out.data());
      ASSERT_EQ(std::string(out.data(), end), expected) << line;
    }

    std::string trimmed = line.substr(std::min(line.find_first_not_of(' '), line.size()));
    std::string expected = line, replaced = line, normalised = line;
    std::replace(expected.begin(), expected.end(), '\t', ' ');
    ReplaceTabsWithSpaces(&replaced);
    ASSERT_EQ(replaced, expected) << line;
    NormaliseLine(&normalised);
    ASSERT_EQ(normalised, expected.substr(line.size() - trimmed.size())) << line;
    TrimLeadingSpaces(&line);
    ASSERT_EQ(line, trimmed);
  }
}

// Random lines with rests after several "%>": each marker from each start, the starts growing
// as the rests of a line come one after the other, against a search in the rest alone; the
// searches ignoring spaces give the place where the match starts.
TEST(LineMarks, MarkersFromEachStartAsInTheRestAlone) {
  const std::string_view pieces[] = {"<!",
                                     "<%",
                                     "%>",
                                     "@",
                                     "<%@",
                                     "< % @",
                                     "#INCLUDE",
                                     "#include",
                                     "Sub ",
                                     "sub",
                                     "Option",
                                     "EXPLICIT",
                                     " ",
                                     "  ",
                                     "x",
                                     "a",
                                     "option explicit",
                                     "optionexplici"};
  std::mt19937 random(5);
  LineMarks marks;
  for (int round = 0; round < 4000; ++round) {
    std::string line;
    for (int i = random() % 12; i > 0; --i) line += pieces[random() % std::size(pieces)];
    std::string compact;  // the test copy without spaces, and where each of its bytes stood
    std::vector<size_t> place;
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] != ' ') compact += AsciiLower(line[i]), place.push_back(i);
    }
    auto find_ignoring_spaces = [&](std::string_view pattern, size_t from) {
      size_t k = compact.find(pattern);
      while (k != kNone && place[k] < from) k = compact.find(pattern, k + 1);
      return k == kNone ? kNone : place[k];
    };
    marks.StartLine(FindLineBytes(line));
    for (size_t start = 0; start <= line.size(); start += 1 + random() % 3) {
      std::string rest = AsciiLower(line.substr(start));
      size_t directive = find_ignoring_spaces("<%@", start);
      size_t option = find_ignoring_spaces("optionexplicit", start);
      ASSERT_EQ(FindIgnoringSpaces(line, start, "<%@", 2), directive) << line << start;
      ASSERT_EQ(FindIgnoringSpaces(line, start, "optionexplicit", 7), option) << line << start;
      ASSERT_EQ(marks.CodeOpenFrom(line, start), rest.find("<%") != kNone) << line << start;
      ASSERT_EQ(marks.CommentOpenFrom(line, start), rest.find("<!") != kNone) << line << start;
      ASSERT_EQ(marks.IncludeWordFrom(line, start), rest.find("#include") != kNone)
          << line << start;
      ASSERT_EQ(marks.SubWordFrom(line, start), rest.find("sub ") != kNone) << line << start;
      ASSERT_EQ(marks.DirectiveOpenFrom(line, start), directive != kNone) << line << start;
      ASSERT_EQ(marks.OptionExplicitFrom(line, start), option != kNone) << line << start;
    }
  }
}

}  // namespace
}  // namespace vorlintex::translator

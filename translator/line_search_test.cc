#include "translator/line_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace vorlintex::translator {
namespace {

constexpr size_t kNone = std::string_view::npos;

// The plain forms: the keyword searched for in the lower-case copy of the normalised line.
std::string TestCopyOfNormalised(std::string_view line) {
  std::string copy(line);
  for (char& c : copy) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c == '\t') c = ' ';
  }
  return copy;
}

struct KeywordCase {
  std::string_view text;
  std::string_view keyword;
  size_t from;
  size_t expected;
};

TEST(Keyword, MatchesLettersInEitherCaseAndTabsAsSpaces) {
  const KeywordCase cases[] = {
      {"End Sub", "sub ", 0, kNone},
      {"End Sub ", "sub ", 0, 4},
      {"Sub\tA()", "sub ", 0, 0},
      {"x = SUB  ", "sub ", 0, 4},
      {"sub sub sub ", "sub ", 1, 4},
      {"<!-- #INCLUDE file=\"a\" -->", "#include", 0, 5},
      {"#includ", "#include", 0, kNone},
      {"<SCRIPT runAt=server>", "runat", 0, 8},
      {"</Script >", "</script>", 0, kNone},
      {"end\tsub", "end sub", 0, 0},
      // Only A-Z fold: '@' and '`' sit next to the letters, bytes of 128 and more never fold.
      {"@UB `ub \xd3UB ", "sub ", 0, kNone},
      {"\xf3ub Sub ", "sub ", 0, 4},
      {"sub ", "sub ", 1, kNone},
      {"", "sub ", 0, kNone},
  };
  for (const KeywordCase& c : cases) {
    EXPECT_EQ(Keyword(c.keyword).FindIn(c.text, c.from), c.expected) << c.text;
  }
}

// Every start and every length around the sixteen-byte blocks, on lines drawn from the bytes
// the keywords are made of, against a search of the test copy.
TEST(Keyword, SameAsSearchOfTestCopyAtEveryStart) {
  const std::string_view keywords[] = {"sub ", "end sub", "#include", "runat", "</script>", "<!"};
  using namespace std::string_view_literals;
  const std::string_view alphabet = "sSuUbB \tendENDrRaAtT#iIcClL<!/p>%\"x\0\xff"sv;
  std::mt19937 random(7);
  for (int round = 0; round < 4000; ++round) {
    std::string line(random() % 70, ' ');
    for (char& c : line) c = alphabet[random() % alphabet.size()];
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
    }
  }
}

TEST(FindEitherByte, SameAsPlainSearchAtEveryStart) {
  std::mt19937 random(11);
  for (int round = 0; round < 2000; ++round) {
    std::string line(random() % 70, 'a');
    for (char& c : line) {
      if (random() % 12 == 0) c = random() % 2 ? '"' : '^';
    }
    for (size_t from = 0; from <= line.size() + 1; ++from) {
      ASSERT_EQ(FindEitherByte(line, from, '"', '^'), line.find_first_of("\"^", from))
          << "from " << from << " in '" << line << "'";
    }
  }
}

TEST(NextMatch, AnswersEachLaterStartAsAFreshSearch) {
  static constexpr Keyword kSub("sub ");
  NextMatch next([](std::string_view text, size_t from) { return kSub.FindIn(text, from); });
  const std::string line = "a sub b %> c %> sub %> d";
  for (size_t from = 0; from <= line.size(); ++from) {
    EXPECT_EQ(next.InFrom(line, from), kSub.FindIn(line, from) != kNone) << from;
  }
  next.Reset();
  EXPECT_FALSE(next.InFrom("no keyword here", 0));
  EXPECT_FALSE(next.InFrom("no keyword here", 3));
}

TEST(FindLineBytes, SameAsOneSearchForEachByte) {
  using namespace std::string_view_literals;
  const std::string_view alphabet = "aBb \t#%\"@xX\0\xff<"sv;
  std::mt19937 random(17);
  for (int round = 0; round < 20000; ++round) {
    std::string line(random() % 50, ' ');
    for (char& c : line) c = random() % 4 ? 'a' : alphabet[random() % alphabet.size()];
    LineBytes bytes = FindLineBytes(line);
    EXPECT_EQ(bytes.tab, line.find('\t') != kNone) << line;
    EXPECT_EQ(bytes.hash, line.find('#') != kNone) << line;
    EXPECT_EQ(bytes.percent, line.find('%') != kNone) << line;
    EXPECT_EQ(bytes.quote, line.find('"') != kNone) << line;
    EXPECT_EQ(bytes.at_sign, line.find('@') != kNone) << line;
    ASSERT_EQ(bytes.x, line.find_first_of("xX") != kNone) << line;
    ASSERT_EQ(bytes.b, line.find_first_of("bB") != kNone) << line;
  }
}

TEST(CopyDoublingQuotes, SameAsPlainReplacementAtEveryLength) {
  std::mt19937 random(19);
  for (int round = 0; round < 5000; ++round) {
    std::string text(random() % 60, 'a');
    for (char& c : text) {
      if (random() % 5 == 0) c = "\"^b"[random() % 3];
    }
    for (char placeholder : {'^', '"'}) {
      std::string expected;
      for (char c : text) {
        if (c == '"') {
          expected += "\"\"";
        } else {
          expected += c == placeholder ? '"' : c;
        }
      }
      std::string out(2 * text.size() + 16, '\0');
      char* end = CopyDoublingQuotes(text, placeholder, out.data());
      ASSERT_EQ(std::string(out.data(), end), expected) << text;
    }
  }
}

TEST(SkipSpaces, StopsAtTheFirstOtherByte) {
  EXPECT_EQ(SkipSpaces("   \tx", 0), 3u);
  EXPECT_EQ(SkipSpaces("a  b", 1), 3u);
  EXPECT_EQ(SkipSpaces("    ", 2), 4u);
  EXPECT_EQ(SkipSpaces("", 0), 0u);
}

}  // namespace
}  // namespace vorlintex::translator

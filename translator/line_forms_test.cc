#include "translator/line_forms.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlintex::translator {
namespace {

struct FormsCase {
  std::string line;
  std::string trimmed;
  std::string normalised;
};

TEST(LineForms, TrimmedAndNormalised) {
  const FormsCase cases[] = {
      {"   <p>a</p>  ", "<p>a</p>  ", "<p>a</p>  "},
      {"\t x", "\t x", "  x"},
      {"  \tx\ty", "\tx\ty", " x y"},
      {"\t\t", "\t\t", "  "},
      {"    ", "", ""},
      {"", "", ""},
      {std::string("  \0 a", 5), std::string("\0 a", 3), std::string("\0 a", 3)},
  };
  for (const FormsCase& c : cases) {
    std::string trimmed = c.line;
    TrimLeadingSpaces(&trimmed);
    EXPECT_EQ(trimmed, c.trimmed);
    std::string normalised = c.line;
    NormaliseLine(&normalised);
    EXPECT_EQ(normalised, c.normalised);
  }
}

// Every byte value: only A-Z change, to a-z; tabs become spaces in the normalised copy only.
TEST(LineForms, TestCopiesFoldAsciiLettersOnly) {
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte.push_back(static_cast<char>(b));
  std::string expected = every_byte;
  for (char& c : expected) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  std::string test_copy = "stale text that is longer than nothing";
  FormTestCopy(every_byte, &test_copy);
  EXPECT_EQ(test_copy, expected);

  expected['\t'] = ' ';
  FormNormalisedTestCopy(every_byte, &test_copy);
  EXPECT_EQ(test_copy, expected);
}

}  // namespace
}  // namespace vorlintex::translator

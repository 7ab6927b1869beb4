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

// Long lines go sixteen bytes at a time: tabs in every place of a block and of the tail.
TEST(LineForms, TabsBecomeSpacesAtEveryPosition) {
  for (size_t size = 0; size < 40; ++size) {
    for (size_t tab = 0; tab < size; ++tab) {
      std::string line(size, 'a');
      line[tab] = '\t';
      line[size - 1 - tab] = '\t';
      std::string expected = line;
      expected[tab] = expected[size - 1 - tab] = ' ';
      ReplaceTabsWithSpaces(&line);
      ASSERT_EQ(line, expected) << size << " " << tab;
    }
  }
}

}  // namespace
}  // namespace vorlintex::translator

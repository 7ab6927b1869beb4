#include "html/escape.h"

#include <gtest/gtest.h>

namespace vorlintex::html {
namespace {

TEST(HtmlEscapeTest, EscapesTheFourMarkupCharactersAndNothingElse) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"", ""},
      {"C:\\out", "C:\\out"},
      {"C:\\Tom & Jerry", "C:\\Tom &amp; Jerry"},
      {"<script>", "&lt;script&gt;"},
      {"say \"hi\"", "say &quot;hi&quot;"},
      {"&amp;", "&amp;amp;"},
      {"it's 'quoted'", "it's 'quoted'"},
      {std::string("caf\xC3\xA9 \x80\xFF", 9), std::string("caf\xC3\xA9 \x80\xFF", 9)},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(HtmlEscape(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace vorlintex::html

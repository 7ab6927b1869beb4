#include "pagehost/page_charset.h"

#include <gtest/gtest.h>

namespace vorlintex::pagehost {
namespace {

// What a browser posts from an iso-8859-1 page, and the UTF-8 the core gets.
TEST(PageCharsetTest, PostedValuesReachTheCoreInUtf8) {
  const struct {
    std::string posted;
    std::string utf8;
  } cases[] = {
      {"/tmp/src-site", "/tmp/src-site"},
      {"/tmp/src-caf\xE9", "/tmp/src-caf\xC3\xA9"},
      {"\x80\x9F\xFF", "\xE2\x82\xAC\xC5\xB8\xC3\xBF"},  // Windows-1252, not ISO-8859-1
      {"\x81\x8D", "\xC2\x81\xC2\x8D"},                  // undefined: the control of its number
      {"/tmp/&#22823;&#x1F600;", "/tmp/\xE5\xA4\xA7\xF0\x9F\x98\x80"},
      {"&#128;&#X152;", "\xC2\x80&#X152;"},  // U+0080 has no byte; U+0152 is 0x8C
      // References the page could carry, or to no character, are text the user typed.
      {"&#233;&#0;&#xD800;&#1114112;&#65", "&#233;&#0;&#xD800;&#1114112;&#65"},
      {"&#;&#x;&&#9731;", "&#;&#x;&\xE2\x98\x83"},
  };
  for (const auto& c : cases) EXPECT_EQ(PostedToUtf8(c.posted), c.utf8) << c.posted;
}

// What the core writes, and the bytes of the page: what the browser posts back of a UTF-8
// text is what the core wrote.
TEST(PageCharsetTest, PageTextIsWrittenSoThatItIsPostedBackAsWritten) {
  const struct {
    std::string utf8;
    std::string page;
    bool utf8_text = true;
  } cases[] = {
      {"<p>C:\\src</p>\r\n", "<p>C:\\src</p>\r\n"},
      {"value=\"/tmp/src-caf\xC3\xA9\"", "value=\"/tmp/src-caf\xE9\""},
      {"\xE2\x82\xAC\xC5\xB8\xC2\x81", "\x80\x9F\x81"},
      {"\xE5\xA4\xA7\xF0\x9F\x98\x80\xC2\x80", "&#22823;&#128512;&#128;"},
      // Not UTF-8 (a lone byte, a cut sequence, an overlong one, a surrogate): as written.
      {"\xE9\xE5\xA4\xC0\xAF\xED\xA0\x80", "\xE9\xE5\xA4\xC0\xAF\xED\xA0\x80", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToPage(c.utf8), c.page) << c.utf8;
    if (c.utf8_text) {
      EXPECT_EQ(PostedToUtf8(c.page), c.utf8) << c.utf8;
    }
  }
}

}  // namespace
}  // namespace vorlintex::pagehost

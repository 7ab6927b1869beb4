#include "pagehost/form_body.h"

#include <gtest/gtest.h>

namespace vorlintex::pagehost {
namespace {

TEST(ParseFormBodyTest, SplitsAndDecodesFieldsInOrderUpToTheFirstBadOne) {
  const std::string malformed = "malformed percent-encoding";
  const std::string nul = "a field may not hold a NUL byte (%00)";
  struct Case {
    std::string body;
    FormFields expected;
    std::string error;  // in the reason; empty: parsed
  };
  const Case cases[] = {
      {"", {}, ""},
      {"a=1&b=2&a=3", {{"a", "1"}, {"b", "2"}, {"a", "3"}}, ""},
      {"sourcedir=c%3A%5Cinetpub%5Cwwwroot", {{"sourcedir", "c:\\inetpub\\wwwroot"}}, ""},
      {"dllname=my+dll+name&x=%2B%2b", {{"dllname", "my dll name"}, {"x", "++"}}, ""},
      {"flag&empty=", {{"flag", ""}, {"empty", ""}}, ""},
      {"&&a=b=c&&", {{"a", "b=c"}}, ""},
      {"n%61me=v", {{"name", "v"}}, ""},
      // Bytes are not converted: a Latin-1 byte and a UTF-8 pair stay as sent.
      {"f=caf%E9&g=caf%C3%A9", {{"f", "caf\xE9"}, {"g", "caf\xC3\xA9"}}, ""},
      {"raw=\xE9;/?", {{"raw", "\xE9;/?"}}, ""},
      {"a=%", {}, malformed},
      {"a=%4", {}, malformed},
      {"a=%zz", {}, malformed},
      {"a=1&b=%G0&c=3", {{"a", "1"}}, malformed},
      {"z=a%00b", {}, nul},
      {std::string("raw=a\0b", 7), {}, nul},
  };
  for (const Case& c : cases) {
    FormFields fields;
    Status status = ParseFormBody(c.body, &fields);
    EXPECT_EQ(fields, c.expected) << c.body;
    if (c.error.empty()) {
      EXPECT_TRUE(status.ok()) << c.body << ": " << status.ToString();
    } else {
      EXPECT_NE(status.reason().find(c.error), std::string::npos)
          << c.body << ": " << status.ToString();
    }
  }
}

}  // namespace
}  // namespace vorlintex::pagehost

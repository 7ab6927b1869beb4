#include "pagehost/form_body.h"

#include <gtest/gtest.h>

#include <tuple>

namespace vorlintex::pagehost {
namespace {

TEST(ParseFormBodyTest, SplitsAndDecodesFieldsInOrderUpToTheFirstBadOne) {
  const std::string malformed = "malformed percent-encoding";
  const std::string nul = "a field may not hold a NUL byte (%00)";
  // A body, the fields parsed, and what the reason says when the parse fails (empty: it does not).
  const std::tuple<std::string, FormFields, std::string> cases[] = {
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
  for (const auto& [body, expected, error] : cases) {
    FormFields fields;
    Status status = ParseFormBody(body, &fields);
    EXPECT_EQ(fields, expected) << body;
    EXPECT_EQ(status.ok(), error.empty()) << body << ": " << status.ToString();
    EXPECT_NE(status.reason().find(error), std::string::npos) << body << ": " << status.ToString();
  }
}

}  // namespace
}  // namespace vorlintex::pagehost

#include "pagehost/form_body.h"

#include <gtest/gtest.h>

namespace vorlintex::pagehost {
namespace {

struct ParseCase {
  const char* body;
  FormFields expected;
};

TEST(ParseFormBodyTest, SplitsAndDecodesFieldsInOrder) {
  const ParseCase cases[] = {
      {"", {}},
      {"PageNumber=1", {{"PageNumber", "1"}}},
      {"a=1&b=2&a=3", {{"a", "1"}, {"b", "2"}, {"a", "3"}}},
      {"sourcedir=c%3A%5Cinetpub%5Cwwwroot", {{"sourcedir", "c:\\inetpub\\wwwroot"}}},
      {"dllname=my+dll+name", {{"dllname", "my dll name"}}},
      {"x=%2B%2b", {{"x", "++"}}},
      {"flag&empty=", {{"flag", ""}, {"empty", ""}}},
      {"&&a=1&&", {{"a", "1"}}},
      {"a=b=c", {{"a", "b=c"}}},
      {"n%61me=v", {{"name", "v"}}},
      // Bytes are not converted: a Latin-1 byte and a UTF-8 pair stay as sent.
      {"f=caf%E9&g=caf%C3%A9", {{"f", "caf\xE9"}, {"g", "caf\xC3\xA9"}}},
      {"raw=\xE9;/?", {{"raw", "\xE9;/?"}}},
  };
  for (const ParseCase& c : cases) {
    FormFields fields;
    Status status = ParseFormBody(c.body, &fields);
    EXPECT_TRUE(status.ok()) << c.body << ": " << status.ToString();
    EXPECT_EQ(fields, c.expected) << c.body;
  }
}

TEST(ParseFormBodyTest, RejectsMalformedPercentEncoding) {
  const char* bodies[] = {"a=%", "a=%4", "a=%zz", "a=%4g&b=1", "%=x", "ok=1&bad=50%"};
  for (const char* body : bodies) {
    FormFields fields;
    Status status = ParseFormBody(body, &fields);
    EXPECT_FALSE(status.ok()) << body;
    EXPECT_NE(status.reason().find("malformed percent-encoding"), std::string::npos) << body;
  }
}

TEST(ParseFormBodyTest, RejectsANulByteRawOrEncoded) {
  const std::string bodies[] = {"z=a%00b", "%00=x", std::string("raw=a\0b", 8), "a=1&t=%00"};
  for (const std::string& body : bodies) {
    FormFields fields;
    Status status = ParseFormBody(body, &fields);
    EXPECT_FALSE(status.ok()) << body;
    EXPECT_EQ(status.reason(), "a field may not hold a NUL byte (%00)") << body;
  }
}

TEST(ParseFormBodyTest, KeepsTheFieldsBeforeABadOne) {
  FormFields fields;
  EXPECT_FALSE(ParseFormBody("a=1&b=%G0&c=3", &fields).ok());
  EXPECT_EQ(fields, (FormFields{{"a", "1"}}));
}

TEST(PercentDecodeTest, NamesThePlaceOfTheFault) {
  std::string decoded;
  Status status = PercentDecode("ab%x1", &decoded);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.path(), "ab%x1");
  EXPECT_EQ(status.reason(),
            "malformed percent-encoding at byte 3 (a \"%\" must be followed by two hex digits)");
}

}  // namespace
}  // namespace vorlintex::pagehost

#include "contract/windows_1252.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlintex {
namespace {

// Every byte of the range that differs from Latin-1, the undefined ones, both ends of the
// Latin-1 half and ASCII, each against its UTF-8 bytes.
TEST(Windows1252Test, EachByteAsUtf8) {
  const struct {
    unsigned char byte;
    const char* utf8;
  } cases[] = {
      {0x00, std::string_view("\0", 1).data()},
      {'A', "A"},
      {0x7F, "\x7f"},
      {0x80, "\xe2\x82\xac"},  // euro sign
      {0x81, "\xc2\x81"},
      {0x82, "\xe2\x80\x9a"},
      {0x83, "\xc6\x92"},
      {0x84, "\xe2\x80\x9e"},
      {0x85, "\xe2\x80\xa6"},
      {0x86, "\xe2\x80\xa0"},
      {0x87, "\xe2\x80\xa1"},
      {0x88, "\xcb\x86"},
      {0x89, "\xe2\x80\xb0"},
      {0x8A, "\xc5\xa0"},
      {0x8B, "\xe2\x80\xb9"},
      {0x8C, "\xc5\x92"},
      {0x8D, "\xc2\x8d"},
      {0x8E, "\xc5\xbd"},
      {0x8F, "\xc2\x8f"},
      {0x90, "\xc2\x90"},
      {0x91, "\xe2\x80\x98"},
      {0x92, "\xe2\x80\x99"},
      {0x93, "\xe2\x80\x9c"},
      {0x94, "\xe2\x80\x9d"},
      {0x95, "\xe2\x80\xa2"},
      {0x96, "\xe2\x80\x93"},
      {0x97, "\xe2\x80\x94"},
      {0x98, "\xcb\x9c"},
      {0x99, "\xe2\x84\xa2"},
      {0x9A, "\xc5\xa1"},
      {0x9B, "\xe2\x80\xba"},
      {0x9C, "\xc5\x93"},
      {0x9D, "\xc2\x9d"},
      {0x9E, "\xc5\xbe"},
      {0x9F, "\xc5\xb8"},
      {0xA0, "\xc2\xa0"},
      {0xE9, "\xc3\xa9"},
      {0xFF, "\xc3\xbf"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.byte));
    const std::string expected = c.byte == 0 ? std::string(1, '\0') : std::string(c.utf8);
    EXPECT_EQ(Windows1252ToUtf8(std::string(1, static_cast<char>(c.byte))), expected);
  }
  EXPECT_EQ(Windows1252ToUtf8("caf\xe9 \x93"
                              "a\x94"),
            "caf\xc3\xa9 \xe2\x80\x9c"
            "a\xe2\x80\x9d");
}

// Whatever the bytes, the result is UTF-8; a name is converted only when it is not UTF-8.
TEST(Windows1252Test, ResultIsUtf8AndNamesConvertOnlyWhenNeeded) {
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte.push_back(static_cast<char>(b));
  EXPECT_TRUE(IsUtf8(Windows1252ToUtf8(every_byte)));
  const struct {
    std::string text;
    bool utf8;
  } cases[] = {
      {"plain", true},
      {"caf\xc3\xa9", true},
      {"\xf0\x9f\x98\x80", true},
      {"caf\xe9", false},
      {"\xc3", false},
      {"\xc0\xaf", false},          // overlong
      {"\xed\xa0\x80", false},      // a surrogate
      {"\xf4\x90\x80\x80", false},  // past U+10FFFF
      {"\x80", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(IsUtf8(c.text), c.utf8);
    EXPECT_EQ(NameAsUtf8(c.text), c.utf8 ? c.text : Windows1252ToUtf8(c.text));
  }
}

}  // namespace
}  // namespace vorlintex

#include "pagehost/percent_decoding.h"

#include <gtest/gtest.h>

#include <tuple>

namespace vorlintex::pagehost {
namespace {

TEST(PercentDecodedTest, DecodesEscapesKeepsBadOnesAndTellsWhereTheFirstIs) {
  constexpr size_t kNone = std::string::npos;
  // Text, how "+" is read, the decoded text, and the offset of the first bad "%".
  const std::tuple<std::string, PlusSign, std::string, size_t> cases[] = {
      {"/a+b%20c", PlusSign::kKept, "/a+b c", kNone},
      {"a+b%20c", PlusSign::kSpace, "a b c", kNone},
      {"%2B%2b%41", PlusSign::kSpace, "++A", kNone},
      {"caf%E9%00", PlusSign::kKept, std::string("caf\xE9\0", 5), kNone},
      {"/x%0AGET%zz", PlusSign::kKept, "/x\nGET%zz", 8},
      {"a%4", PlusSign::kSpace, "a%4", 1},
      {"%%41%", PlusSign::kKept, "%A%", 0},
      {"a=%g0+%", PlusSign::kSpace, "a=%g0 %", 2},
  };
  for (const auto& [text, plus, decoded, malformed] : cases) {
    size_t malformed_at = 0;
    EXPECT_EQ(PercentDecoded(text, plus, &malformed_at), decoded) << text;
    EXPECT_EQ(malformed_at, malformed) << text;
  }
}

}  // namespace
}  // namespace vorlintex::pagehost

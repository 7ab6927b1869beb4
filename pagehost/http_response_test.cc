#include "pagehost/http_response.h"

#include <gtest/gtest.h>

#include <utility>

namespace vorlintex::pagehost {
namespace {

// The phrases come from Boost.Beast; a Boost that renamed one would change what the server sends.
TEST(StatusReasonTest, IsTheUsualPhraseOfEveryStatusTheServerSends) {
  const std::pair<int, std::string_view> cases[] = {
      {200, "OK"},
      {302, "Found"},
      {400, "Bad Request"},
      {403, "Forbidden"},
      {404, "Not Found"},
      {405, "Method Not Allowed"},
      {408, "Request Timeout"},
      {411, "Length Required"},
      {413, "Payload Too Large"},
      {414, "URI Too Long"},
      {415, "Unsupported Media Type"},
      {431, "Request Header Fields Too Large"},
      {500, "Internal Server Error"},
      {501, "Not Implemented"},
      {505, "HTTP Version Not Supported"},
      {299, "Error"},
      {-1, "Error"},
  };
  for (const auto& [status, reason] : cases) EXPECT_EQ(StatusReason(status), reason) << status;
}

}  // namespace
}  // namespace vorlintex::pagehost

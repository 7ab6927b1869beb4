#include "pagehost/http_response.h"

#include <gtest/gtest.h>

namespace vorlintex::pagehost {
namespace {

TEST(HttpResponseTest, WritesTheWholeResponse) {
  HostResponse page;
  page.status = 405;
  page.content_type = "text/html; charset=iso-8859-1";
  page.body = "<p>no</p>";
  page.headers = {{"Allow", "GET, HEAD"}, {"Set-Cookie", "a=b"}};
  struct Case {
    ResponseFraming framing;
    const char* bytes;
  };
  const Case cases[] = {
      {{},
       "HTTP/1.1 405 Method Not Allowed\r\nAllow: GET, HEAD\r\nSet-Cookie: a=b\r\n"
       "Content-Type: text/html; charset=iso-8859-1\r\nContent-Length: 9\r\n\r\n<p>no</p>"},
      {{.head_only = true, .close = true},
       "HTTP/1.1 405 Method Not Allowed\r\nAllow: GET, HEAD\r\nSet-Cookie: a=b\r\n"
       "Content-Type: text/html; charset=iso-8859-1\r\nContent-Length: 9\r\n"
       "Connection: close\r\n\r\n"},
      {{.keep_alive_1_0 = true},
       "HTTP/1.1 405 Method Not Allowed\r\nAllow: GET, HEAD\r\nSet-Cookie: a=b\r\n"
       "Content-Type: text/html; charset=iso-8859-1\r\nContent-Length: 9\r\n"
       "Connection: keep-alive\r\n\r\n<p>no</p>"},
  };
  for (const Case& c : cases) EXPECT_EQ(ResponseBytes(page, c.framing), c.bytes);

  HostResponse empty;
  EXPECT_EQ(ResponseBytes(empty, {}), "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
}

}  // namespace
}  // namespace vorlintex::pagehost

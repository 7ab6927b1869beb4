#include "pagehost/http_request_parser.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlintex::pagehost {
namespace {

using State = HttpRequestParser::State;

// The parser's verdict on `bytes` given whole; 0 when the head is good, -1 when more is needed.
int Verdict(const std::string& bytes, HttpLimits limits = HttpLimits()) {
  HttpRequestParser parser(limits);
  State state = parser.Parse(bytes);
  if (state == State::kNeedMore) return -1;
  return state == State::kDone ? 0 : parser.error().status;
}

TEST(HttpRequestParserTest, ParsesTheFieldsThePageHostUses) {
  const std::string bytes =
      "\r\nPOST /morvane%2Easp?PageNumber=1&a=%41 HTTP/1.1\r\n"
      "host: 127.0.0.1:8080\r\n"
      "Content-Type:application/x-www-form-urlencoded  \r\n"
      "Origin: http://127.0.0.1:8080\r\n"
      "Referer: http://127.0.0.1:8080/morvane.asp\r\n"
      "Cookie: vorlintex_session=abc\r\n"
      "Sec-Fetch-Site: same-origin\r\n"
      "Content-Length: 12\r\n"
      "Content-Length: 12\r\n"
      "X-Other: \tanything \x80\xff\r\n"
      "\r\n"
      "PageNumber=1";
  HttpRequestParser parser{HttpLimits()};
  ASSERT_EQ(parser.Parse(bytes), State::kDone) << parser.error().detail;
  const HttpRequestHead& head = parser.head();
  EXPECT_EQ(parser.head_size(), bytes.size() - 12);
  EXPECT_EQ(head.method, "POST");
  EXPECT_EQ(head.path, "/morvane.asp");
  EXPECT_EQ(head.query, "PageNumber=1&a=%41");
  EXPECT_EQ(head.minor_version, 1);
  EXPECT_EQ(head.content_length, 12u);
  EXPECT_TRUE(head.keep_alive);
  EXPECT_EQ(head.host, "127.0.0.1:8080");
  EXPECT_EQ(head.content_type, "application/x-www-form-urlencoded");
  EXPECT_EQ(head.origin, "http://127.0.0.1:8080");
  EXPECT_EQ(head.referer, "http://127.0.0.1:8080/morvane.asp");
  EXPECT_EQ(head.cookie, "vorlintex_session=abc");
  EXPECT_EQ(head.fetch_site, "same-origin");
}

TEST(HttpRequestParserTest, JudgesEveryHead) {
  const std::string line_8k = "GET /" + std::string(8 * 1024 - 14, 'a') + " HTTP/1.1\r\n";
  ASSERT_EQ(line_8k.size(), 8 * 1024 + 2u);
  std::string lines_100;
  for (int i = 0; i < 100; ++i) lines_100 += "X: v\r\n";
  struct Case {
    const char* name;
    std::string bytes;
    int verdict;  // 0 good, -1 more needed, else the status
  };
  const Case cases[] = {
      {"bare LF line ends", "GET / HTTP/1.1\nHost: h\n\n", 0},
      {"HTTP/1.0", "GET / HTTP/1.0\r\n\r\n", 0},
      {"OPTIONS *", "OPTIONS * HTTP/1.1\r\n\r\n", 0},
      {"absolute form", "GET http://h/morvane.asp?x=1 HTTP/1.1\r\n\r\n", 0},
      {"head not ended", "GET / HTTP/1.1\r\nHost: h\r\n", -1},
      {"empty lines only", "\r\n\r\n\r\n", -1},
      {"request line of 8 KiB", line_8k + "\r\n", 0},
      {"request line over 8 KiB", "GET /a" + line_8k.substr(5), 414},
      {"8 KiB without a space", std::string(9000, 'G'), 400},
      {"100 header lines", "GET / HTTP/1.1\r\n" + lines_100 + "\r\n", 0},
      {"101 header lines", "GET / HTTP/1.1\r\n" + lines_100 + "X: v\r\n", 431},
      {"head over 64 KiB", "GET / HTTP/1.1\r\nX: " + std::string(70000, 'v'), 431},
      {"one word", "GARBAGE\r\n\r\n", 400},
      {"method only", "GET\r\n\r\n", 400},
      {"a fourth word", "GET / HTTP/1.1 extra\r\n\r\n", 400},
      {"two spaces", "GET  / HTTP/1.1\r\n\r\n", 400},
      {"method not a token", "G(T / HTTP/1.1\r\n\r\n", 400},
      {"NUL in the request line", std::string("GET /a\0b HTTP/1.1\r\n\r\n", 21), 400},
      {"target not a path", "GET morvane.asp HTTP/1.1\r\n\r\n", 400},
      {"HTTP/9.9", "GET / HTTP/9.9\r\n\r\n", 505},
      {"HTTP/2.0 judged before the head ends", "GET / HTTP/2.0\r\n", 505},
      {"no version", "GET / HTTX/1.1\r\n\r\n", 400},
      {"NUL in a value", std::string("GET / HTTP/1.1\r\nCookie: a=\0\r\n\r\n", 31), 400},
      {"CR in a value", "GET / HTTP/1.1\r\nCookie: a=\rb\r\n\r\n", 400},
      {"DEL in a value", "GET / HTTP/1.1\r\nX: a\x7f\r\n\r\n", 400},
      {"folded line", "GET / HTTP/1.1\r\nX: a\r\n b\r\n\r\n", 400},
      {"space before colon", "GET / HTTP/1.1\r\nHost : h\r\n\r\n", 400},
      {"no colon", "GET / HTTP/1.1\r\nHost\r\n\r\n", 400},
      {"empty name", "GET / HTTP/1.1\r\n: v\r\n\r\n", 400},
      {"negative length", "GET / HTTP/1.1\r\nContent-Length: -5\r\n\r\n", 400},
      {"length with a sign", "GET / HTTP/1.1\r\nContent-Length: +5\r\n\r\n", 400},
      {"empty length", "GET / HTTP/1.1\r\nContent-Length:\r\n\r\n", 400},
      {"length list", "GET / HTTP/1.1\r\nContent-Length: 5, 5\r\n\r\n", 400},
      {"differing lengths", "POST / HTTP/1.1\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\n",
       400},
      {"length over the limit", "POST / HTTP/1.1\r\nContent-Length: 1048577\r\n\r\n", 413},
      {"length at the limit", "POST / HTTP/1.1\r\nContent-Length: 1048576\r\n\r\n", 0},
      {"length of 30 digits",
       "POST / HTTP/1.1\r\nContent-Length: 999999999999999999999999999999\r\n\r\n", 413},
      {"chunked", "POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 411},
      {"gzip", "POST / HTTP/1.1\r\nTransfer-Encoding: gzip\r\n\r\n", 501},
      {"both lengths",
       "POST / HTTP/1.1\r\nContent-Length: 10\r\nTransfer-Encoding: chunked\r\n\r\n", 411},
      {"two hosts", "GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n", 400},
      {"two origins", "GET / HTTP/1.1\r\nOrigin: a\r\norigin: a\r\n\r\n", 400},
      {"syntax judged before size", "POST / HTTP/1.1\r\nContent-Length: 9999999\r\nX\r\n\r\n", 400},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Verdict(c.bytes), c.verdict) << c.name;
  }
}

TEST(HttpRequestParserTest, KeepAliveFollowsTheVersionAndConnection) {
  struct Case {
    const char* bytes;
    bool keep_alive;
  };
  const Case cases[] = {
      {"GET / HTTP/1.1\r\n\r\n", true},
      {"GET / HTTP/1.1\r\nConnection: close\r\n\r\n", false},
      {"GET / HTTP/1.1\r\nConnection: Keep-Alive, CLOSE\r\n\r\n", false},
      {"GET / HTTP/1.0\r\n\r\n", false},
      {"GET / HTTP/1.0\r\nConnection: keep-alive\r\n\r\n", true},
      {"GET / HTTP/1.0\r\nConnection: TE, Keep-Alive\r\n\r\n", true},
  };
  for (const Case& c : cases) {
    HttpRequestParser parser{HttpLimits()};
    ASSERT_EQ(parser.Parse(c.bytes), State::kDone) << c.bytes;
    EXPECT_EQ(parser.head().keep_alive, c.keep_alive) << c.bytes;
  }
}

// A head arriving a byte at a time gets the same verdict as one arriving whole, and the parser
// knows from its first byte that a request has begun (what starts the head's deadline).
TEST(HttpRequestParserTest, ByteByByteAgreesWithWhole) {
  const std::string heads[] = {
      "\r\nGET /a?b HTTP/1.1\r\nHost: h\r\nContent-Length: 3\r\n\r\nabc",
      "GET / HTTP/1.1\r\nX: a\r\n b\r\n\r\n",
      "GET / HTTP/1.1\r\n" + std::string(200, 'X') + ": v\r\n\r\n",
  };
  HttpLimits small;
  small.max_head = 128;
  for (const std::string& head : heads) {
    for (const HttpLimits& limits : {HttpLimits(), small}) {
      HttpRequestParser whole(limits);
      State expected = whole.Parse(head);
      HttpRequestParser trickled(limits);
      State state = State::kNeedMore;
      for (size_t size = 1; size <= head.size() && state == State::kNeedMore; ++size) {
        state = trickled.Parse(std::string_view(head).substr(0, size));
        EXPECT_EQ(trickled.started(), size > 2 || head[0] != '\r') << head << " at " << size;
      }
      ASSERT_EQ(state, expected) << head;
      if (state == State::kDone) {
        EXPECT_EQ(trickled.head_size(), whole.head_size());
        EXPECT_EQ(trickled.head().path, whole.head().path);
      } else {
        EXPECT_EQ(trickled.error().status, whole.error().status);
      }
    }
  }
}

TEST(HttpRequestParserTest, ResetReadiesTheNextRequest) {
  HttpRequestParser parser{HttpLimits()};
  ASSERT_EQ(parser.Parse("POST /a HTTP/1.1\r\nContent-Length: 1\r\nCookie: c\r\n\r\n"),
            State::kDone);
  parser.Reset();
  ASSERT_EQ(parser.Parse("GET /b HTTP/1.1\r\n\r\n"), State::kDone);
  EXPECT_EQ(parser.head().path, "/b");
  EXPECT_EQ(parser.head().content_length, 0u);
  EXPECT_FALSE(parser.head().cookie);
}

}  // namespace
}  // namespace vorlintex::pagehost

#include <algorithm>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_entries.h"
#include "pagehost/http_connection.h"
#include "pagehost/http_request_parser.h"

namespace vorlintex::fuzz {
namespace {

using pagehost::HttpConnection;
using pagehost::HttpRequestParser;

// Small limits, so that inputs of a few kilobytes reach every one of them.
pagehost::HttpLimits SmallLimits() {
  pagehost::HttpLimits limits;
  limits.max_request_line = 128;
  limits.max_head = 1024;
  limits.max_header_lines = 8;
  limits.max_body = 256;
  return limits;
}

bool HasControlByte(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    unsigned char byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7f;
  });
}

bool IsStatusOfABadHead(int status) {
  for (int known : {400, 408, 411, 413, 414, 431, 501, 505}) {
    if (status == known) return true;
  }
  return false;
}

// The parser's rules on one head: the same verdict whole and in pieces, and a head it accepts
// keeps every limit and carries no control byte into the page host.
void CheckParser(std::string_view bytes, size_t piece) {
  const pagehost::HttpLimits limits = SmallLimits();
  HttpRequestParser whole(limits);
  const HttpRequestParser::State verdict = whole.Parse(bytes);
  HttpRequestParser pieces(limits);
  HttpRequestParser::State state = HttpRequestParser::State::kNeedMore;
  for (size_t size = std::min(piece, bytes.size()); state == HttpRequestParser::State::kNeedMore;
       size = std::min(size + piece, bytes.size())) {
    state = pieces.Parse(bytes.substr(0, size));
    if (size == bytes.size()) break;
  }
  FUZZ_CHECK(state == verdict);
  if (verdict == HttpRequestParser::State::kError) {
    FUZZ_CHECK(pieces.error().status == whole.error().status);
    FUZZ_CHECK(IsStatusOfABadHead(whole.error().status));
  }
  if (verdict != HttpRequestParser::State::kDone) return;
  const pagehost::HttpRequestHead& head = whole.head();
  FUZZ_CHECK(pieces.head_size() == whole.head_size());
  FUZZ_CHECK(whole.head_size() <= limits.max_head);
  FUZZ_CHECK(head.content_length <= limits.max_body);
  FUZZ_CHECK(!head.method.empty() && !HasControlByte(head.method));
  FUZZ_CHECK(!head.method.empty() && head.method.find(' ') == std::string::npos);
  FUZZ_CHECK(!HasControlByte(head.query) && head.query.find(' ') == std::string::npos);
  FUZZ_CHECK(head.minor_version == 0 || head.minor_version == 1);
  for (const auto* field : {&head.host, &head.content_type, &head.origin, &head.referer,
                            &head.cookie, &head.fetch_site}) {
    if (*field) FUZZ_CHECK(!HasControlByte(**field));
  }
}

// A connection fed the input in pieces and answering every request at once: it never holds
// more than its limits allow, and it ends up reading, failed or closed, never stuck.
void CheckConnection(std::string_view bytes, size_t piece) {
  const pagehost::HttpLimits limits = SmallLimits();
  const pagehost::SteadyTime start = pagehost::SteadyTime() + std::chrono::hours(1);
  HttpConnection connection(limits, pagehost::HttpTimeouts(), start);
  pagehost::HostResponse page;
  page.body = "answer";
  size_t requests = 0;
  size_t fed = 0;
  while (connection.state() != HttpConnection::State::kClosed) {
    switch (connection.state()) {
      case HttpConnection::State::kReading:
        if (fed == bytes.size()) {
          connection.Expire(connection.Deadline());
          FUZZ_CHECK(connection.state() == HttpConnection::State::kFailed ||
                     connection.state() == HttpConnection::State::kClosed);
          if (connection.state() == HttpConnection::State::kFailed) {
            FUZZ_CHECK(connection.error().status == 408);
          }
          break;
        }
        connection.Received(bytes.substr(fed, piece), start);
        fed += std::min(piece, bytes.size() - fed);
        // Unread input never grows past a head and a body, plus what came with the last piece.
        FUZZ_CHECK(connection.BufferedCapacity() <=
                   2 * (limits.max_head + limits.max_body + piece) + 64 * 1024);
        break;
      case HttpConnection::State::kHeadReady:
        connection.ReadBody(start);
        break;
      case HttpConnection::State::kRequestReady: {
        const pagehost::HttpRequest request = connection.TakeRequest();
        FUZZ_CHECK(request.body.size() == request.head.content_length);
        ++requests;
        connection.Respond(page, start);
        break;
      }
      case HttpConnection::State::kFailed:
        FUZZ_CHECK(IsStatusOfABadHead(connection.error().status));
        connection.Respond(page, start);
        FUZZ_CHECK(connection.Output().find("Connection: close\r\n") != std::string_view::npos);
        break;
      case HttpConnection::State::kHandling:
        FUZZ_CHECK(false);  // every request is answered as it is taken
        break;
      case HttpConnection::State::kWriting:
        connection.Sent(connection.Output().size(), start);
        break;
      case HttpConnection::State::kClosed:
        break;
    }
  }
  FUZZ_CHECK(requests <= bytes.size() / 14 + 1);  // "A / HTTP/1.1\n\n" is the shortest
}

}  // namespace

int HttpRequestInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte says in pieces of how many bytes the rest arrives.
  const size_t piece = data[0] == 0 ? 1 : data[0];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  CheckParser(bytes, piece);
  CheckConnection(bytes, piece);
  return 0;
}

}  // namespace vorlintex::fuzz

#include <algorithm>
#include <boost/asio/buffer.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_entries.h"
#include "pagehost/request_head.h"

namespace vorlintex::fuzz {
namespace {

namespace http = boost::beast::http;

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
  for (int known : {400, 411, 413, 414, 431, 501, 505}) {
    if (status == known) return true;
  }
  return false;
}

struct Verdict {
  int status = 0;  // 0: served; 1: the input ended first; else the status of the refusal
  pagehost::HttpRequestHead head;
};

// The requests of one connection as the server reads them (HttpConnection::ParseHead): each head
// through Beast's parser, fed what has arrived (`piece` bytes more each time) and judged by the
// page host's rules on the way and once whole; each body skipped; up to the first refusal,
// which ends the connection.
std::vector<Verdict> ReadRequests(std::string_view bytes, size_t piece) {
  const pagehost::HttpLimits limits = SmallLimits();
  std::vector<Verdict> verdicts;
  size_t start = 0;
  while (start < bytes.size()) {
    pagehost::RequestParser parser;
    pagehost::LimitParser(limits, &parser);
    size_t arrived = start;
    size_t parsed = start;
    Verdict verdict;
    while (true) {
      boost::beast::error_code error = http::error::need_more;
      if (arrived > parsed) {
        error = {};
        parsed += parser.put(boost::asio::buffer(bytes.data() + parsed, arrived - parsed), error);
        if (!error && !parser.is_header_done()) error = http::error::need_more;
      }
      const std::string_view unparsed = bytes.substr(parsed, arrived - parsed);
      if (error && error != http::error::need_more) {
        verdict.status = pagehost::HeadFailure(error, parser, unparsed, limits).status;
        break;
      }
      if (!error) {
        if (auto failure = pagehost::JudgeHead(parser, limits, &verdict.head)) {
          verdict.status = failure->status;
        }
        break;
      }
      if (auto too_long = pagehost::JudgeRequestLine(parser, unparsed, limits)) {
        verdict.status = too_long->status;
        break;
      }
      if (arrived == bytes.size()) {
        verdict.status = 1;
        break;
      }
      arrived = std::min(bytes.size(), arrived + piece);
    }
    verdicts.push_back(verdict);
    if (verdict.status != 0) break;
    // The body; the next request follows.
    start = parsed + verdict.head.content_length;
  }
  return verdicts;
}

// The page host's rules on a head it serves: every limit kept, and no control byte or space
// carried where it could forge a line of the log or a header of the answer.
void CheckServed(const pagehost::HttpRequestHead& head) {
  const pagehost::HttpLimits limits = SmallLimits();
  FUZZ_CHECK(head.content_length <= limits.max_body);
  FUZZ_CHECK(!head.method.empty() && !HasControlByte(head.method));
  FUZZ_CHECK(head.method.find(' ') == std::string::npos);
  FUZZ_CHECK(head.method.size() + head.query.size() + 10 <= limits.max_request_line);
  FUZZ_CHECK(!HasControlByte(head.query) && head.query.find(' ') == std::string::npos);
  FUZZ_CHECK(!head.path.empty());
  FUZZ_CHECK(head.minor_version == 0 || head.minor_version == 1);
  for (const auto* field : {&head.host, &head.content_type, &head.origin, &head.referer,
                            &head.cookie, &head.fetch_site}) {
    if (*field) FUZZ_CHECK(!HasControlByte(**field));
  }
}

}  // namespace

int HttpRequestInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte says in pieces of how many bytes the rest arrives.
  const size_t piece = data[0] == 0 ? 1 : data[0];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::vector<Verdict> in_pieces = ReadRequests(bytes, piece);
  const std::vector<Verdict> whole = ReadRequests(bytes, bytes.size() + 1);
  for (const std::vector<Verdict>* verdicts : {&in_pieces, &whole}) {
    FUZZ_CHECK(verdicts->size() <= bytes.size() / 16 + 1);  // "A / HTTP/1.1\r\n\r\n" is shortest
    for (const Verdict& verdict : *verdicts) {
      if (verdict.status == 0) CheckServed(verdict.head);
      if (verdict.status > 1) FUZZ_CHECK(IsStatusOfABadHead(verdict.status));
    }
  }
  // A request served whole is served the same however its bytes arrive.
  if (!whole.empty() && whole[0].status == 0) {
    FUZZ_CHECK(!in_pieces.empty() && in_pieces[0].status == 0);
    FUZZ_CHECK(in_pieces[0].head.path == whole[0].head.path);
    FUZZ_CHECK(in_pieces[0].head.query == whole[0].head.query);
    FUZZ_CHECK(in_pieces[0].head.content_length == whole[0].head.content_length);
  }
  return 0;
}

}  // namespace vorlintex::fuzz

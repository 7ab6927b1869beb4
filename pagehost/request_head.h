// A request head as the page host takes it from Boost.Beast's parser: the parser checks the
// syntax, the head size and the body limit; this adds the page host's own rules (the request
// line and header-count limits, HTTP/1.0 and 1.1 only, no transfer coding, no repeated header
// that an access check reads) and the statuses and explanations a refused head is answered with.
#pragma once

#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "pagehost/http_limits.h"
#include "pagehost/page_host.h"

namespace vorlintex::pagehost {

using RequestParser = boost::beast::http::request_parser<boost::beast::http::string_body>;

// What a request head says that the page host needs.
struct HttpRequestHead {
  std::string method;
  std::string path;   // percent-decoded, without the query string
  std::string query;  // after "?", still encoded
  int minor_version = 1;
  size_t content_length = 0;
  bool keep_alive = true;
  // The client waits for "100 Continue" before it sends the body.
  bool expect_continue = false;
  std::optional<std::string> content_type;
  // The Host header, or the authority of an absolute-form target, which takes its place.
  std::optional<std::string> host;
  std::optional<std::string> origin;
  std::optional<std::string> referer;
  std::optional<std::string> cookie;
  std::optional<std::string> fetch_site;  // Sec-Fetch-Site
  // The authority of an absolute-form target ("http://name:port/path").
  std::optional<std::string> target_authority;
};

struct HttpHeadError {
  int status = 400;
  std::string detail;
};

// Sets the parser's limits on the head and the body.
void LimitParser(const HttpLimits& limits, RequestParser* parser);

// The method, version, path and query of the request line the parser has read; false when the
// target is not a path.
bool TakeRequestLine(const RequestParser& parser, HttpRequestHead* head);

// After the parser has read a whole head: fills `head`, or says why the request is refused
// (`head` then holds what could be read of it, for the log).
std::optional<HttpHeadError> JudgeHead(const RequestParser& parser, const HttpLimits& limits,
                                       HttpRequestHead* head);

// A request line over its limit, judged as soon as that is known, not when the head is whole:
// on the line the parser has taken, or else on what has arrived of it (`unparsed`, the bytes
// the parser has not taken).
std::optional<HttpHeadError> JudgeRequestLine(const RequestParser& parser,
                                              std::string_view unparsed, const HttpLimits& limits);

// The answer to a head the parser failed on with `error`.
HttpHeadError HeadFailure(boost::beast::error_code error, const RequestParser& parser,
                          std::string_view unparsed, const HttpLimits& limits);

HostRequest ToHostRequest(const HttpRequestHead& head, std::string_view body);

}  // namespace vorlintex::pagehost
